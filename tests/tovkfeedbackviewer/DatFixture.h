#pragma once
// Builders for the handheld's record files (".DAT") and card-copy trees, for tests and
// benchmarks: correct headers and CRCs unless a test breaks them on purpose.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace DatFixture
{
constexpr int DefinitionSize = 0xE000;
constexpr int RecordsOffset = 0xE040;

// CRC-16/ARC, bit by bit (independent of the program's table).
inline std::uint16_t Crc(const char* data, qsizetype length)
{
    std::uint16_t crc = 0;
    for (qsizetype i = 0; i < length; ++i)
    {
        crc ^= static_cast<std::uint8_t>(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

inline void PutU16(QByteArray& bytes, qsizetype at, std::uint16_t value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

inline void PutU32(QByteArray& bytes, qsizetype at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline void PutText(QByteArray& bytes, qsizetype at, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        PutU16(bytes, at + 2 * i, text[i].unicode());
}

inline std::uint32_t KindWord(unsigned kind, unsigned language = 0)
{
    return (kind << 20) | (language << 24);
}

// Sets the two header CRCs of the 32-byte block at the offset.
inline void SealHeader(QByteArray& bytes, qsizetype at)
{
    PutU16(bytes, at + 14, Crc(bytes.constData() + at, 14));
    PutU16(bytes, at + 30, Crc(bytes.constData() + at + 16, 14));
}

inline std::uint32_t PackTime(int year, int month, int day, int hour, int minute, int second)
{
    return static_cast<std::uint32_t>((year - 2000) | (month << 6) | (day << 10) | (hour << 15) |
                                      (minute << 20)) |
           (static_cast<std::uint32_t>(second) << 26);
}

struct Question
{
    bool multi = false;
    QString text;
    std::vector<QString> answers;
    int answerCount = -1; // -1: the number of answers given
};

struct QuestionnaireEntry
{
    unsigned language = 0;
    std::vector<Question> questions;
    int questionCount = -1; // -1: the number of questions given
};

// A questionnaire definition area: the entries in slot order.
inline QByteArray QuestionnaireArea(const std::vector<QuestionnaireEntry>& entries)
{
    QByteArray area(DefinitionSize, '\0');
    for (std::size_t slot = 0; slot < entries.size(); ++slot)
    {
        const QuestionnaireEntry& entry = entries[slot];
        const qsizetype at = static_cast<qsizetype>(slot) * 6144;
        PutU32(area, at, KindWord(8, entry.language));
        area[at + 67] =
            static_cast<char>(entry.questionCount >= 0 ? entry.questionCount
                                                       : static_cast<int>(entry.questions.size()));
        for (std::size_t q = 0; q < entry.questions.size() && q < 16; ++q)
        {
            const Question& question = entry.questions[q];
            const qsizetype block = at + 68 + 360 * static_cast<qsizetype>(q);
            area[block] = question.multi ? 1 : 0;
            area[block + 1] = static_cast<char>(question.answerCount >= 0
                                                    ? question.answerCount
                                                    : static_cast<int>(question.answers.size()));
            PutText(area, block + 4, question.text.left(50));
            for (std::size_t a = 0; a < question.answers.size() && a < 8; ++a)
                PutText(area, block + 104 + 32 * static_cast<qsizetype>(a),
                        question.answers[a].left(16));
        }
        SealHeader(area, at);
    }
    return area;
}

struct WorkEntry
{
    unsigned language = 0;
    std::uint32_t workNumber = 0;
    std::uint16_t guide = 0;
    QString description;
};

// A log definition area: the work entries in slot order (at most 40).
inline QByteArray LogArea(const std::vector<WorkEntry>& works)
{
    QByteArray area(DefinitionSize, '\0');
    for (std::size_t slot = 0; slot < works.size() && slot < 40; ++slot)
    {
        const WorkEntry& work = works[slot];
        const qsizetype at = static_cast<qsizetype>(slot) * 1024;
        PutU32(area, at, KindWord(6, work.language));
        PutU16(area, at + 16, work.guide);
        PutU32(area, at + 44, work.workNumber);
        PutText(area, at + 68, work.description.left(160));
        SealHeader(area, at);
    }
    return area;
}

inline QByteArray Mac(std::initializer_list<int> bytes)
{
    QByteArray mac;
    for (int b : bytes)
        mac.append(static_cast<char>(b));
    return mac;
}

inline QByteArray Record(std::uint32_t time, unsigned kind, unsigned language, unsigned guide,
                         const QByteArray& mac, const QByteArray& answers = {})
{
    QByteArray record(32, '\0');
    PutU32(record, 0, time);
    PutU32(record, 4, KindWord(kind, language) | (guide & 0x3FF));
    for (qsizetype i = 0; i < mac.size() && i < 6; ++i)
        record[10 + i] = mac[i];
    for (qsizetype i = 0; i < answers.size() && i < 16; ++i)
        record[16 + i] = answers[i];
    return record;
}

// An answer record: answer byte q holds the chosen answers of question q + 1.
inline QByteArray Answer(std::uint32_t time, unsigned language, const QByteArray& mac,
                         std::initializer_list<int> answerBytes)
{
    QByteArray answers;
    for (int b : answerBytes)
        answers.append(static_cast<char>(b));
    return Record(time, 9, language, 0, mac, answers);
}

inline QByteArray Access(std::uint32_t time, unsigned language, unsigned guide,
                         const QByteArray& mac)
{
    return Record(time, 6, language, guide, mac);
}

// A whole file: outer header, the area, record header and the records (plus loose bytes).
inline QByteArray DatFile(const QByteArray& area, const std::vector<QByteArray>& records,
                          const QByteArray& trailing = {})
{
    QByteArray file(RecordsOffset, '\0');
    file.replace(0x20, DefinitionSize, area);
    for (const QByteArray& record : records)
        file += record;
    file += trailing;
    const auto size = static_cast<std::uint32_t>(file.size());
    PutU32(file, 0xE020, KindWord(12));
    PutU32(file, 0xE028, size - RecordsOffset);
    PutU16(file, 0xE02C, Crc(file.constData() + RecordsOffset, size - RecordsOffset));
    SealHeader(file, 0xE020);
    PutU32(file, 0, KindWord(12));
    PutU32(file, 8, size - 0x20);
    PutU16(file, 12, Crc(file.constData() + 0x20, size - 0x20));
    SealHeader(file, 0);
    return file;
}

// Re-seals every header and body CRC after a test changed the bytes of a file.
inline void Reseal(QByteArray& file)
{
    const auto size = static_cast<std::uint32_t>(file.size());
    PutU16(file, 0xE02C, Crc(file.constData() + RecordsOffset, size - RecordsOffset));
    SealHeader(file, 0xE020);
    PutU16(file, 12, Crc(file.constData() + 0x20, size - 0x20));
    SealHeader(file, 0);
}

inline QString AppFolder(const QString& cardRoot)
{
    return cardRoot + QStringLiteral("/private/kp/app/6D2E7A10");
}

// Writes a file below the card's application folder ("ENQ001/A.DAT"); returns its path.
inline QString WriteCardFile(const QString& cardRoot, const QString& relative,
                             const QByteArray& bytes)
{
    const QString path = AppFolder(cardRoot) + u'/' + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write(bytes);
    return path;
}

// A small questionnaire in Japanese and English with two questions.
inline QByteArray SampleQuestionnaireArea()
{
    return QuestionnaireArea({
        {0,
         {{false,
           QStringLiteral("展示はいかがでしたか"),
           {QStringLiteral("良い"), QStringLiteral("普通"), QStringLiteral("悪い")}},
          {true,
           QStringLiteral("どの作品が好きですか"),
           {QStringLiteral("絵画"), QStringLiteral("彫刻")}}}},
        {1,
         {{false,
           QStringLiteral("How was the exhibition?"),
           {QStringLiteral("Good"), QStringLiteral("Fair"), QStringLiteral("Poor")}},
          {true,
           QStringLiteral("Which works did you like?"),
           {QStringLiteral("Paintings"), QStringLiteral("Sculptures")}}}},
    });
}

// Three works in Japanese and English.
inline QByteArray SampleLogArea()
{
    return LogArea({
        {0, 101, 1, QStringLiteral("睡蓮")},
        {1, 101, 1, QStringLiteral("Water Lilies")},
        {0, 102, 2, QStringLiteral("考える人")},
        {1, 102, 2, QStringLiteral("The Thinker")},
        {0, 103, 3, QStringLiteral("夜警")},
    });
}
} // namespace DatFixture
