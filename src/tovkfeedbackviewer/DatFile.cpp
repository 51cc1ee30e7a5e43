#include "tovkfeedbackviewer/DatFile.h"

#include "platform/ConsoleName.h"
#include "tovkfeedbackviewer/Console.h"
#include "tovkfeedbackviewer/ErrorType.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace
{
constexpr std::array<std::uint16_t, 256> MakeCrc16Table()
{
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i)
    {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        table[i] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

bool IsValidSectionHeader(const std::uint8_t* header, const std::uint8_t* body,
                          std::size_t expectedLength)
{
    const std::uint32_t length = ReadU32(header + 8);
    if (length != expectedLength)
        return false;
    if (HeaderKind(header) != KindDatHeader)
        return false;
    if (!CheckBlockHeader(header))
        return false;
    return CheckCrc16(body, length, ReadU16(header + 12));
}
} // namespace

const std::array<std::uint16_t, 256> g_crc16Table = MakeCrc16Table();
CDatFileCache g_datFiles;

std::uint16_t Crc16(const std::uint8_t* data, std::size_t length)
{
    // Eight bytes per step through tables derived from g_crc16Table (slice k: a byte followed
    // by k zero bytes), then byte by byte; the same value as the byte-wise loop alone.
    static const auto slices = []
    {
        std::array<std::array<std::uint16_t, 256>, 8> t{};
        t[0] = g_crc16Table;
        for (std::size_t k = 1; k < 8; ++k)
        {
            for (std::size_t i = 0; i < 256; ++i)
                t[k][i] = static_cast<std::uint16_t>((t[k - 1][i] >> 8) ^
                                                     g_crc16Table[t[k - 1][i] & 0xFF]);
        }
        return t;
    }();
    std::uint16_t crc = 0;
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8)
    {
        const std::uint8_t* p = data + i;
        crc = static_cast<std::uint16_t>(slices[7][(crc ^ p[0]) & 0xFF] ^
                                         slices[6][((crc >> 8) ^ p[1]) & 0xFF] ^ slices[5][p[2]] ^
                                         slices[4][p[3]] ^ slices[3][p[4]] ^ slices[2][p[5]] ^
                                         slices[1][p[6]] ^ slices[0][p[7]]);
    }
    for (; i < length; ++i)
        crc = static_cast<std::uint16_t>((crc >> 8) ^ g_crc16Table[(crc ^ data[i]) & 0xFF]);
    return crc;
}

bool CheckCrc16(const std::uint8_t* data, std::size_t length, std::uint16_t expected)
{
    return Crc16(data, length) == expected;
}

bool CheckBlockHeader(const std::uint8_t* header)
{
    return CheckCrc16(header, 14, ReadU16(header + 14)) &&
           CheckCrc16(header + 16, 14, ReadU16(header + 30));
}

bool IsValidDefinitionArea(const std::uint8_t* area)
{
    const unsigned kind = HeaderKind(area);
    std::size_t entrySize = 0;
    int entryCount = 0;
    if (kind == KindEnq)
    {
        entrySize = Dat::QuestionnaireEntrySize;
        entryCount = Dat::QuestionnaireEntryCount;
    }
    else if (kind == KindLog)
    {
        entrySize = Dat::WorkEntrySize;
        entryCount = Dat::WorkEntryCount;
    }
    else
    {
        return false;
    }
    for (int i = 0; i < entryCount; ++i)
    {
        const std::uint8_t* entry = area + entrySize * static_cast<std::size_t>(i);
        if (!CheckBlockHeader(entry))
            return false;
        const unsigned entryKind = HeaderKind(entry);
        if (entryKind != KindEmpty && entryKind != kind)
            return false;
    }
    return true;
}

bool IsValidDatFile(const std::uint8_t* image, std::size_t size)
{
    if (image == nullptr || size < Dat::MinimumSize)
        return false;
    if (ReadU32(image + 20) != 0)
        return false;
    if (!IsValidSectionHeader(image, image + Dat::DefinitionOffset, size - Dat::HeaderSize))
        return false;
    if (!IsValidSectionHeader(image + Dat::RecordHeaderOffset, image + Dat::RecordsOffset,
                              size - Dat::RecordsOffset))
        return false;
    return IsValidDefinitionArea(image + Dat::DefinitionOffset);
}

std::uint64_t DatFileSizeOf(const std::uint8_t* header)
{
    return std::uint64_t(ReadU32(header + 8)) + Dat::HeaderSize;
}

const std::uint8_t* FindQuestionnaireEntry(const std::uint8_t* area, unsigned language)
{
    if (HeaderKind(area) != KindEnq)
        return nullptr;
    for (int i = 0; i < Dat::QuestionnaireEntryCount; ++i)
    {
        const std::uint8_t* entry =
            area + Dat::QuestionnaireEntrySize * static_cast<std::size_t>(i);
        if (HeaderKind(entry) == KindEnq && HeaderLanguage(entry) == language)
            return entry;
    }
    return nullptr;
}

const std::uint8_t* FindWorkEntry(unsigned guide, const std::uint8_t* area, unsigned language)
{
    if (HeaderKind(area) != KindLog)
        return nullptr;
    for (int i = 0; i < Dat::WorkEntryCount; ++i)
    {
        const std::uint8_t* entry = area + Dat::WorkEntrySize * static_cast<std::size_t>(i);
        if (HeaderKind(entry) == KindLog && HeaderLanguage(entry) == language &&
            ReadU16(entry + Dat::WorkGuideOffset) == guide)
            return entry;
    }
    return nullptr;
}

QString ReadFixedText(const std::uint8_t* field, int maximum)
{
    QString text;
    for (int i = 0; i < maximum; ++i)
    {
        const char16_t unit = ReadU16(field + 2 * i);
        if (unit == 0)
            break;
        text += QChar(unit);
    }
    return text;
}

int QuestionCount(const std::uint8_t* entry)
{
    return std::min<int>(entry[Dat::QuestionCountOffset], Dat::MaxQuestions);
}

const std::uint8_t* QuestionBlock(const std::uint8_t* entry, int question)
{
    return entry + Dat::QuestionBlocksOffset +
           Dat::QuestionBlockSize * static_cast<std::size_t>(question);
}

int AnswerCount(const std::uint8_t* block)
{
    return std::min<int>(block[1], Dat::MaxAnswers);
}

void CDatFileImage::Load(const Path::FolderReader& folder, const Path::Entry& entry)
{
    m_path = Path::Append(folder.Folder(), entry.name);
    Free();
    Path::ReadOnlyFile file = folder.Open(entry);
    if (!file.IsOpen())
    {
        Console::Out(QStringLiteral("can't open %1\n").arg(ConsoleName(m_path)));
        throw ErrRead;
    }
    // The outer header fixes the size of a valid file: nothing is allocated for a file of
    // another size, and no more than that size is read.
    const qint64 length = file.Size();
    std::uint8_t header[Dat::HeaderSize];
    if (length < qint64(Dat::MinimumSize) ||
        file.Read(header, qint64(Dat::HeaderSize)) != qint64(Dat::HeaderSize) ||
        DatFileSizeOf(header) != std::uint64_t(length))
        return;
    const auto size = static_cast<std::size_t>(length);
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[size]);
    if (!buffer)
        return;
    std::memcpy(buffer.get(), header, Dat::HeaderSize);
    const qint64 rest = length - qint64(Dat::HeaderSize);
    if (file.Read(buffer.get() + Dat::HeaderSize, rest) != rest)
        return;
    m_buffer = std::move(buffer);
    m_size = size;
}

void CDatFileImage::Free()
{
    m_buffer.reset();
    m_size = 0;
}

const std::uint8_t* CDatFileImage::DefinitionArea(unsigned kind) const
{
    if (!m_buffer || m_size < Dat::MinimumSize)
        return nullptr;
    const std::uint8_t* area = m_buffer.get() + Dat::DefinitionOffset;
    return HeaderKind(area) == kind ? area : nullptr;
}

std::size_t CDatFileImage::RecordCount() const
{
    if (!m_buffer || m_size < Dat::MinimumSize)
        return 0;
    return (m_size - Dat::RecordsOffset) / Dat::RecordSize;
}

DatRecord CDatFileImage::Record(std::size_t index) const
{
    DatRecord record;
    std::memcpy(record.bytes.data(), m_buffer.get() + Dat::RecordsOffset + index * Dat::RecordSize,
                Dat::RecordSize);
    return record;
}

void CDatFileImage::Assign(const QString& path, const std::uint8_t* data, std::size_t size)
{
    m_path = path;
    m_buffer.reset(size ? new std::uint8_t[size] : nullptr);
    if (size)
        std::memcpy(m_buffer.get(), data, size);
    m_size = size;
}

CDatFileImage& CDatFileCache::Get(const Path::FolderReader& folder, const Path::Entry& entry)
{
    const QByteArray& native = folder.NativeFolder();
    CDatFileImage& image = m_images[native.isEmpty() ? entry.native : native + '/' + entry.native];
    if (!image.HasBuffer())
        image.Load(folder, entry);
    return image;
}

void CDatFileCache::FreeDatFiles()
{
    for (auto& [path, image] : m_images)
        image.Free();
}
