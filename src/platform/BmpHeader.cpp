#include "platform/BmpHeader.h"

#include "platform/Path.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace
{
std::uint32_t U16(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
}

std::uint32_t U32(const unsigned char* p)
{
    return U16(p) | (U16(p + 2) << 16);
}
} // namespace

int BmpHeaderInfo::ColorTableEntries() const
{
    if (bitsPerPixel >= 1 && bitsPerPixel <= 8 && colorsUsed == 0)
        return 1 << bitsPerPixel;
    return colorsUsed;
}

bool ReadBmpHeader(const QByteArray& bytes, BmpHeaderInfo& info)
{
    info = BmpHeaderInfo();
    if (bytes.size() < 14 + 12)
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    if (p[0] != 'B' || p[1] != 'M')
        return false;
    info.fileSize = U32(p + 2);
    info.dataOffset = U32(p + 10);
    const unsigned char* h = p + 14;
    info.headerSize = U32(h);
    if (info.headerSize == 12)
    {
        info.width = int(U16(h + 4));
        info.height = int(U16(h + 6));
        info.planes = int(U16(h + 8));
        info.bitsPerPixel = int(U16(h + 10));
        return true;
    }
    if (info.headerSize < 40 || bytes.size() < 14 + 40)
        return false;
    const std::int32_t width = std::int32_t(U32(h + 4));
    const std::int32_t height = std::int32_t(U32(h + 8));
    if (width < 0 || height == INT32_MIN)
        return false;
    info.width = width;
    info.topDown = height < 0;
    info.height = height < 0 ? -height : height;
    info.planes = int(U16(h + 12));
    info.bitsPerPixel = int(U16(h + 14));
    info.compression = int(U32(h + 16));
    info.imageSize = U32(h + 20);
    const std::uint32_t used = U32(h + 32);
    const std::uint32_t important = U32(h + 36);
    info.colorsUsed = used > std::uint32_t(INT_MAX) ? INT_MAX : int(used);
    info.colorsImportant = important > std::uint32_t(INT_MAX) ? INT_MAX : int(important);
    return true;
}

bool ReadBmpHeader(const QString& path, BmpHeaderInfo& info)
{
    info = BmpHeaderInfo();
    const Path::ReadOnlyFile file = Path::OpenRegularFile(path);
    QByteArray head(std::min<qint64>(file.Size(), BmpHeaderBytes), Qt::Uninitialized);
    return file.IsOpen() && file.ReadAt(0, head.data(), head.size()) == head.size() &&
           ReadBmpHeader(head, info);
}

BmpRead ReadBmp8(const QString& path, QImage& image)
{
    image = QImage();
    const Path::ReadOnlyFile file = Path::OpenRegularFile(path);
    if (!file.IsOpen())
        return BmpRead::Failed;
    // A guide picture (50 KB) comes in one read; a larger file reads the rest after.
    constexpr qint64 kFirstRead = 64 * 1024;
    QByteArray bytes(std::min(file.Size(), kFirstRead), Qt::Uninitialized);
    if (bytes.size() < 14 + 12 || file.ReadAt(0, bytes.data(), bytes.size()) != bytes.size() ||
        !bytes.startsWith("BM"))
        return BmpRead::Failed;
    BmpHeaderInfo info;
    if (!ReadBmpHeader(bytes, info))
        return BmpRead::OtherForm;
    // The Windows info headers: the first, and the fourth and fifth versions.
    const bool windows = info.headerSize == 40 || info.headerSize == 108 || info.headerSize == 124;
    if (!windows || info.planes != 1 || info.bitsPerPixel != 8 || info.compression != 0)
        return BmpRead::OtherForm;
    const qint64 colors = info.ColorTableEntries();
    if (colors < 1 || colors > 256 || info.width == 0 || info.height == 0)
        return BmpRead::OtherForm;
    // The colour table after the info header, the rows from the data offset on, each padded
    // to four bytes. Rows inside the colour table, or a file cut short, are left to the
    // general decoder.
    const qint64 tableAt = 14 + qint64(info.headerSize);
    const qint64 stride = (qint64(info.width) + 3) / 4 * 4;
    const qint64 end = qint64(info.dataOffset) + stride * info.height;
    if (tableAt + 4 * colors > qint64(info.dataOffset) || end > file.Size())
        return BmpRead::OtherForm;
    if (end > bytes.size())
    {
        const qint64 read = bytes.size();
        bytes.resize(end);
        if (file.ReadAt(read, bytes.data() + read, end - read) != end - read)
            return BmpRead::OtherForm;
    }
    const auto at = [&](qint64 offset)
    { return reinterpret_cast<const unsigned char*>(bytes.constData()) + offset; };

    QImage picture(info.width, info.height, QImage::Format_Indexed8);
    if (picture.isNull())
        return BmpRead::OtherForm;
    QList<QRgb> table(colors);
    for (qint64 i = 0; i < colors; ++i)
    {
        const unsigned char* entry = at(tableAt + 4 * i);
        table[i] = qRgb(entry[2], entry[1], entry[0]);
    }
    picture.setColorTable(table);
    for (int row = 0; row < info.height; ++row)
    {
        const int y = info.topDown ? row : info.height - 1 - row;
        std::copy_n(at(info.dataOffset + row * stride), info.width, picture.scanLine(y));
    }
    image = std::move(picture);
    return BmpRead::Done;
}
