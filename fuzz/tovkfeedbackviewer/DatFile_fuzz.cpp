// Arbitrary bytes as a record file: loading from disk, validation, then both merges and the
// four reports. A short input is widened into a valid file so the merges are reached too.
#include "tovkfeedbackviewer/AccessLog.h"
#include "tovkfeedbackviewer/DatFile.h"
#include "tovkfeedbackviewer/Questionnaire.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
void PutU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

void SealHeader(std::vector<std::uint8_t>& bytes, std::size_t at)
{
    PutU16(bytes, at + 14, Crc16(bytes.data() + at, 14));
    PutU16(bytes, at + 30, Crc16(bytes.data() + at + 16, 14));
}

// The input as definition entries and records, with every header and CRC made right.
std::vector<std::uint8_t> Widen(const std::uint8_t* data, std::size_t size)
{
    const bool log = size > 0 && (data[0] & 1);
    const std::size_t entrySize = log ? Dat::WorkEntrySize : Dat::QuestionnaireEntrySize;
    const int entryCount = log ? Dat::WorkEntryCount : Dat::QuestionnaireEntryCount;
    const std::size_t recordBytes = size > 64 ? (size - 64) : 0;
    std::vector<std::uint8_t> file(Dat::RecordsOffset + recordBytes, 0);
    // Spread the first bytes over the entries, the rest become records.
    for (int e = 0; e < entryCount; ++e)
    {
        const std::size_t at = Dat::DefinitionOffset + entrySize * static_cast<std::size_t>(e);
        const std::size_t take = std::min<std::size_t>(size, entrySize);
        std::memcpy(file.data() + at, data, take);
        if (e > 0 && (size < 2 || data[1] & (1 << (e % 8))))
            std::memset(file.data() + at, 0, entrySize);
        else
        {
            const std::uint32_t word =
                (file[at] | (file[at + 1] << 8) | (file[at + 2] << 16)) & 0x0F0FFFFFu;
            PutU32(file, at, word | ((log ? KindLog : KindEnq) << 20));
        }
        SealHeader(file, at);
    }
    if (recordBytes)
        std::memcpy(file.data() + Dat::RecordsOffset, data + 64, recordBytes);
    PutU32(file, 0xE020, KindDatHeader << 20);
    PutU32(file, 0xE028, static_cast<std::uint32_t>(recordBytes));
    PutU16(file, 0xE02C, Crc16(file.data() + Dat::RecordsOffset, recordBytes));
    SealHeader(file, 0xE020);
    PutU32(file, 0, KindDatHeader << 20);
    PutU32(file, 8, static_cast<std::uint32_t>(file.size() - 0x20));
    PutU16(file, 12, Crc16(file.data() + 0x20, file.size() - 0x20));
    SealHeader(file, 0);
    return file;
}

// The input as a file on disk: read when, and only when, its size is the one its outer
// header allows, and then byte for byte.
void Load(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("X.DAT")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        return;
    file.close();
    CDatFileImage image;
    image.Load(Path::FolderReader(folder.path()), {QStringLiteral("X.DAT"), "X.DAT"});
    const bool fits = size >= Dat::MinimumSize && DatFileSizeOf(data) == size;
    if (image.HasBuffer() != fits || image.Size() != (fits ? size : 0) ||
        (fits && std::memcmp(image.Data(), data, size) != 0))
    {
        std::fprintf(stderr, "the file was read against its header\n");
        std::abort();
    }
}

void Merge(const std::uint8_t* data, std::size_t size)
{
    if (!IsValidDatFile(data, size))
        return;
    CDatFileImage image;
    image.Assign(QStringLiteral("fuzz.DAT"), data, size);
    CQuestionnaireList questionnaires;
    CAccessLog log;
    ExtractEnqRecords(image, questionnaires);
    ExtractLogRecords(image, log);
    ExtractEnqRecords(image, questionnaires); // a second copy: every record a duplicate
    ExtractLogRecords(image, log);
    static QTemporaryDir folder;
    const QString prefix = folder.path() + QStringLiteral("/ENQ_");
    questionnaires.WriteAllEnqXml(prefix);
    questionnaires.WriteAllEnqCsv(prefix);
    log.WriteLogXml(folder.path() + QStringLiteral("/LOG.xml"));
    log.WriteLogCsv(folder.path() + QStringLiteral("/LOG.csv"));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Load(data, size);
    Merge(data, size);
    const std::vector<std::uint8_t> widened = Widen(data, size);
    Load(widened.data(), widened.size());
    Merge(widened.data(), widened.size());
    return 0;
}
