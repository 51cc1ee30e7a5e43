#pragma once
// The record files ("*.DAT") that the handheld writes: layout, CRC, validation, lookups
// into the definition area, and the cache of loaded files.
#include "platform/Path.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

namespace Dat
{
constexpr std::size_t HeaderSize = 32;
constexpr std::size_t DefinitionOffset = 0x20;
constexpr std::size_t DefinitionSize = 0xE000;
constexpr std::size_t RecordHeaderOffset = 0xE020;
constexpr std::size_t RecordsOffset = 0xE040;
constexpr std::size_t MinimumSize = RecordsOffset;
constexpr std::size_t RecordSize = 32;

constexpr std::size_t QuestionnaireEntrySize = 6144;
constexpr int QuestionnaireEntryCount = 9;
constexpr std::size_t QuestionCountOffset = 67;
constexpr std::size_t QuestionBlocksOffset = 68;
constexpr std::size_t QuestionBlockSize = 360;
constexpr std::size_t QuestionTextOffset = 4;
constexpr std::size_t AnswerTextsOffset = 104;
constexpr std::size_t AnswerTextSize = 32;
constexpr int MaxQuestions = 16;
constexpr int MaxAnswers = 8;
constexpr int QuestionTextLength = 50;
constexpr int AnswerTextLength = 16;

constexpr std::size_t WorkEntrySize = 1024;
constexpr int WorkEntryCount = 40;
constexpr std::size_t WorkGuideOffset = 16;
constexpr std::size_t WorkNumberOffset = 44;
constexpr std::size_t WorkDescriptionOffset = 68;
constexpr int DescriptionLength = 160;

constexpr int LanguageCount = 9;
} // namespace Dat

enum DatBlockKind : unsigned
{
    KindEmpty = 0,
    KindLog = 6,
    KindEnq = 8,
    KindEnqAnswer = 9,
    KindDatHeader = 12,
};

inline std::uint16_t ReadU16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t ReadU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
// Kind and language of a block header's (or a record's second) kind word.
inline unsigned KindOf(std::uint32_t word)
{
    return (word >> 20) & 0xF;
}
inline unsigned LanguageOf(std::uint32_t word)
{
    return (word >> 24) & 0xF;
}
inline unsigned HeaderKind(const std::uint8_t* header)
{
    return KindOf(ReadU32(header));
}
inline unsigned HeaderLanguage(const std::uint8_t* header)
{
    return LanguageOf(ReadU32(header));
}

// CRC-16/ARC (reflected 0xA001, initial 0, no final XOR).
extern const std::array<std::uint16_t, 256> g_crc16Table;
std::uint16_t Crc16(const std::uint8_t* data, std::size_t length);
bool CheckCrc16(const std::uint8_t* data, std::size_t length, std::uint16_t expected);
bool CheckBlockHeader(const std::uint8_t* header);
bool IsValidDefinitionArea(const std::uint8_t* area);
bool IsValidDatFile(const std::uint8_t* image, std::size_t size);
// The size the file rule allows the file whose outer header this is: its outer length plus
// the header.
std::uint64_t DatFileSizeOf(const std::uint8_t* header);

// The first questionnaire entry of the language, or nullptr.
const std::uint8_t* FindQuestionnaireEntry(const std::uint8_t* area, unsigned language);
// The first work entry of the language with that 16-bit guide number, or nullptr.
const std::uint8_t* FindWorkEntry(unsigned guide, const std::uint8_t* area, unsigned language);
// The UTF-16LE units of a fixed slot up to the first NUL, at most maximum units.
QString ReadFixedText(const std::uint8_t* field, int maximum);

// Question count and answer count of a questionnaire entry, clamped to what a slot holds.
int QuestionCount(const std::uint8_t* entry);
const std::uint8_t* QuestionBlock(const std::uint8_t* entry, int question);
int AnswerCount(const std::uint8_t* block);

// The six fields of a PackedTime, packed most significant first so that comparing the
// keys compares year, month, day, hour, minute and second in that order.
inline std::uint32_t TimeKey(std::uint32_t packed)
{
    const std::uint32_t year = packed & 0x3F;
    const std::uint32_t month = (packed >> 6) & 0xF;
    const std::uint32_t day = (packed >> 10) & 0x1F;
    const std::uint32_t hour = (packed >> 15) & 0x1F;
    const std::uint32_t minute = (packed >> 20) & 0x3F;
    const std::uint32_t second = (packed >> 26) & 0x3F;
    return (year << 26) | (month << 22) | (day << 17) | (hour << 12) | (minute << 6) | second;
}

struct DatRecord
{
    std::array<std::uint8_t, Dat::RecordSize> bytes{};

    std::uint32_t PackedTime() const { return ReadU32(bytes.data()); }
    std::uint32_t Word() const { return ReadU32(bytes.data() + 4); }
    unsigned Kind() const { return KindOf(Word()); }
    unsigned Language() const { return LanguageOf(Word()); }
    unsigned Guide() const { return Word() & 0x3FF; }
    const std::uint8_t* Mac() const { return bytes.data() + 10; }
    std::uint8_t AnswerByte(int question) const { return bytes[16 + question]; }
};

class CDatFileImage
{
public:
    // Reads the file of the folder's listing, by its bytes; prints "can't open" and throws
    // ErrRead when it cannot be opened. A file whose size is not the one its outer header
    // allows, or below the smallest valid one, is not read: the image stays empty.
    void Load(const Path::FolderReader& folder, const Path::Entry& entry);
    void Free();

    const QString& Path() const { return m_path; }
    const std::uint8_t* Data() const { return m_buffer.get(); }
    std::size_t Size() const { return m_size; }
    bool HasBuffer() const { return m_buffer != nullptr; }
    // The definition area when the image holds one of the kind, else nullptr.
    const std::uint8_t* DefinitionArea(unsigned kind) const;
    // The records after the definition area (0 when the image is too short for one), and a
    // copy of one of them.
    std::size_t RecordCount() const;
    DatRecord Record(std::size_t index) const;

    // For images built in memory (tests, fuzzing).
    void Assign(const QString& path, const std::uint8_t* data, std::size_t size);

private:
    QString m_path;
    std::unique_ptr<std::uint8_t[]> m_buffer;
    std::size_t m_size = 0;
};

// Loaded files by full path (the bytes the file system holds), in path order; lives for the
// whole run.
class CDatFileCache
{
public:
    // The image of the folder's file, loaded when it has no buffer yet.
    CDatFileImage& Get(const Path::FolderReader& folder, const Path::Entry& entry);
    void FreeDatFiles();
    void Clear() { m_images.clear(); }
    std::size_t Count() const { return m_images.size(); }

private:
    std::map<QByteArray, CDatFileImage> m_images;
};

extern CDatFileCache g_datFiles;
