#include "TOVKContEdit/shared/ImageEx.h"

#include "platform/BmpHeader.h"
#include "platform/Path.h"
#include "platform/RegularFileDevice.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_set>

namespace
{
int DepthOf(const QImage& image, const QByteArray& head)
{
    BmpHeaderInfo info;
    if (ReadBmpHeader(head, info))
        return info.bitsPerPixel;
    return image.depth();
}
} // namespace

bool CImageEx::Load(const QString& path)
{
    Destroy();
    RegularFileDevice file(path);
    if (!file.isOpen())
        return false;
    const QByteArray head = file.read(BmpHeaderBytes);
    file.seek(0);
    QImageReader reader(&file);
    m_image = reader.read();
    // A file that shrank while it was decoded is not taken with blank rows.
    if (file.HasFailed())
        m_image = QImage();
    if (m_image.isNull())
        return false;
    m_bitsPerPixel = DepthOf(m_image, head);
    return true;
}

bool CImageEx::LoadBmp(const QString& path)
{
    Destroy();
    switch (ReadBmp8(path, m_image))
    {
    case BmpRead::Done:
        m_bitsPerPixel = 8;
        return true;
    case BmpRead::OtherForm:
        return Load(path);
    case BmpRead::Failed:
        break;
    }
    return false;
}

bool CImageEx::LoadFromBytes(const QByteArray& bytes)
{
    Destroy();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    m_image = reader.read();
    if (m_image.isNull())
        return false;
    m_bitsPerPixel = DepthOf(m_image, bytes.left(BmpHeaderBytes));
    return true;
}

void CImageEx::Destroy()
{
    m_image = QImage();
    m_bitsPerPixel = 0;
}

int CImageEx::CountDistinctColors(int limit) const
{
    if (m_image.format() == QImage::Format_Indexed8)
    {
        // The pixels are palette indices: collect the indices in use, then the distinct
        // RGB values among their palette entries (at most 256: sorted, not hashed). The
        // indices are read eight at a time; what is left is one store per pixel.
        std::array<std::uint8_t, 256> used{};
        const int width = m_image.width();
        const int height = m_image.height();
        const uchar* line = m_image.constBits();
        for (int y = 0; y < height; ++y, line += m_image.bytesPerLine())
        {
            int x = 0;
            for (; x + 8 <= width; x += 8)
            {
                std::uint64_t eight;
                std::memcpy(&eight, line + x, sizeof eight);
                used[eight & 0xFF] = used[(eight >> 8) & 0xFF] = 1;
                used[(eight >> 16) & 0xFF] = used[(eight >> 24) & 0xFF] = 1;
                used[(eight >> 32) & 0xFF] = used[(eight >> 40) & 0xFF] = 1;
                used[(eight >> 48) & 0xFF] = used[eight >> 56] = 1;
            }
            for (; x < width; ++x)
                used[line[x]] = 1;
        }
        const QList<QRgb> palette = m_image.colorTable();
        std::array<QRgb, 256> colors;
        std::size_t count = 0;
        for (int i = 0; i < 256; ++i)
            if (used[i])
                colors[count++] = i < palette.size() ? palette[i] & 0xFFFFFF : 0;
        std::sort(colors.begin(), colors.begin() + count);
        const auto distinct = std::unique(colors.begin(), colors.begin() + count) - colors.begin();
        return std::min(static_cast<int>(distinct), limit + 1);
    }
    const QImage rgb = m_image.convertToFormat(QImage::Format_RGB32);
    std::unordered_set<QRgb> colors;
    for (int y = 0; y < rgb.height(); ++y)
    {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
        {
            colors.insert(line[x] & 0xFFFFFF);
            if (static_cast<int>(colors.size()) > limit)
                return static_cast<int>(colors.size());
        }
    }
    return static_cast<int>(colors.size());
}

bool CImageEx::IsValidGuideImage()
{
    return IsValidPicture(GuideWidth, GuideHeight, MaxGuideColors);
}

bool CImageEx::IsValidTitleImage()
{
    return IsValidPicture(TitleWidth, TitleHeight, MaxTitleColors);
}

bool CImageEx::IsValidPicture(int width, int height, int maxColors)
{
    m_flags = 0;
    if (IsNull())
    {
        m_flags = FlagNoBitmap;
        return false;
    }
    if (GetWidth() != width || GetHeight() != height)
        m_flags |= FlagWrongSize;
    if (GetBPP() != 8)
        m_flags |= FlagWrongDepth;
    if (m_flags != 0)
        return false;
    // The colours are counted only in a picture of the right size and depth.
    if (CountDistinctColors(maxColors) > maxColors)
        m_flags |= FlagTooManyColors;
    return m_flags == 0;
}

bool CImageEx::LoadAndCheck(const QString& path)
{
    Destroy();
    m_flags = FlagNoBitmap;
    if (path.isEmpty() || Path::IsDirectory(path) || !Path::FileExists(path))
        return false;
    if (!Load(path))
        return false;
    return IsValidTitleImage();
}
