#include "platform/BmpHeader.h"

#include "platform/Path.h"

#include <algorithm>
#include <climits>

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
