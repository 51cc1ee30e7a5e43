#include "bmp2vcx/Picture.h"

#include "platform/BmpHeader.h"
#include "platform/RegularFileDevice.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

namespace
{
constexpr int TileSide = 8;
constexpr int BmpRgb = 0;
constexpr int BmpRle8 = 1;

// What QImageReader counts against its allocation limit: four bytes per pixel, whatever
// the depth.
qint64 DecodedBytes(int width, int height)
{
    return qint64(width) * height * 4;
}

// Beyond this the reader refuses to decode; 0 means no limit.
qint64 ReaderLimitBytes()
{
    const int megabytes = QImageReader::allocationLimit();
    return megabytes > 0 ? qint64(megabytes) * 1024 * 1024 : std::numeric_limits<qint64>::max();
}

// Reads the bytes after a position of the device in chunks, so that a long pixel stream
// is never held whole.
class ByteStream
{
public:
    ByteStream(QIODevice& device, qint64 start) : m_device(device), m_ok(device.seek(start)) {}

    bool Next(quint8& byte)
    {
        if (m_at == m_chunk.size())
        {
            m_chunk = m_ok ? m_device.read(ChunkBytes) : QByteArray();
            m_at = 0;
            if (m_chunk.isEmpty())
                return false;
        }
        byte = quint8(m_chunk[m_at++]);
        return true;
    }

private:
    static constexpr qint64 ChunkBytes = 64 * 1024;
    QIODevice& m_device;
    bool m_ok;
    QByteArray m_chunk;
    qsizetype m_at = 0;
};

// Where the decoder starts on the pixels: at the stated offset, or right after the colour
// table when the offset points back into the headers.
qint64 PixelStart(const BmpHeaderInfo& header)
{
    const qint64 entryBytes = header.headerSize == 12 ? 3 : 4;
    const qint64 tableEnd =
        14 + qint64(header.headerSize) + qint64(header.ColorTableEntries()) * entryBytes;
    return std::max(qint64(header.dataOffset), tableEnd);
}

// Walks an RLE8 stream and paints it into a zero-filled picture: pixels the stream skips
// stay 0. Nothing when a run or a jump leaves the picture, or the file ends before the
// stream does.
std::optional<QImage> DecodeRle8(QIODevice& device, const BmpHeaderInfo& header)
{
    // Compressed pictures are stored bottom-up only.
    if (header.topDown)
        return std::nullopt;
    const int width = header.width;
    const int height = header.height;
    QImage image(width, height, QImage::Format_Indexed8);
    if (image.isNull())
        return std::nullopt;
    image.fill(0);
    ByteStream stream(device, PixelStart(header));
    int x = 0;
    int y = 0;
    while (y < height)
    {
        quint8 count = 0;
        quint8 code = 0;
        if (!stream.Next(count) || !stream.Next(code))
            return std::nullopt;
        uchar* line = image.scanLine(height - 1 - y);
        if (count > 0)
        {
            if (count > width - x)
                return std::nullopt;
            std::memset(line + x, code, count);
            x += count;
            continue;
        }
        switch (code)
        {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of picture
            return image;
        case 2: // jump right and up
        {
            quint8 right = 0;
            quint8 up = 0;
            if (!stream.Next(right) || !stream.Next(up) || right > width - x || up >= height - y)
                return std::nullopt;
            x += right;
            y += up;
            break;
        }
        default: // that many literal pixels, padded to an even count
        {
            if (code > width - x)
                return std::nullopt;
            for (int i = 0; i < code; ++i)
            {
                quint8 pixel = 0;
                if (!stream.Next(pixel))
                    return std::nullopt;
                line[x++] = pixel;
            }
            quint8 pad = 0;
            if ((code & 1) && !stream.Next(pad))
                return std::nullopt;
            break;
        }
        }
    }
    return image;
}

// The header (when it could be read) gives the bits per pixel, which QImage does not keep,
// and the size, so that a picture beyond what is held is known without decoding it. An
// 8-bit picture is decoded only when its file holds every pixel: the decoder leaves what
// it does not find unwritten.
CPicture Load(QIODevice& device, const BmpHeaderInfo& header)
{
    CPicture picture;
    picture.bitsPerPixel = header.bitsPerPixel;
    if (header.bitsPerPixel != 8)
    {
        // Refused whatever its pixels hold; decoding a large one would fail and name
        // the wrong reason.
        picture.width = header.width;
        picture.height = header.height;
        picture.notIndexed = true;
        return picture;
    }
    if (qint64(header.width) * header.height > MaxPicturePixels ||
        DecodedBytes(header.width, header.height) > ReaderLimitBytes())
    {
        picture.width = header.width;
        picture.height = header.height;
        picture.tooLarge = true;
        return picture;
    }

    std::optional<QImage> painted;
    if (header.compression == BmpRle8)
    {
        painted = DecodeRle8(device, header);
        if (!painted)
            return picture;
    }
    else
    {
        const qint64 stride = (qint64(header.width) * 8 + 31) / 32 * 4;
        if (header.compression != BmpRgb ||
            PixelStart(header) + stride * header.height > device.size())
            return picture;
    }

    if (!device.seek(0))
        return picture;
    QImageReader reader(&device, "bmp");
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull())
        return picture;
    if (painted)
    {
        // The reader gives the colour table; the pixels are the ones painted above.
        painted->setColorTable(image.colorTable());
        image = std::move(*painted);
    }
    picture.image = image;
    picture.width = image.width();
    picture.height = image.height();
    return picture;
}
} // namespace

CPicture LoadPicture(const QString& path)
{
    // Anything but a regular file (a pipe would never end) is a file that cannot be loaded;
    // so is one that shrinks while it is read.
    RegularFileDevice file(path);
    BmpHeaderInfo header;
    if (!file.isOpen() || !ReadBmpHeader(file.read(BmpHeaderBytes), header))
        return {};
    CPicture picture = Load(file, header);
    if (file.HasFailed())
        return {};
    return picture;
}

CPicture LoadPictureFromBytes(const QByteArray& bytes)
{
    BmpHeaderInfo header;
    QBuffer buffer;
    buffer.setData(bytes);
    if (!ReadBmpHeader(bytes, header) || !buffer.open(QIODevice::ReadOnly))
        return {};
    return Load(buffer, header);
}

quint16 ConvertColour(QRgb colour)
{
    const auto reduce = [](int component)
    {
        const int shifted = component >> 3;
        return component != 0 && shifted == 0 ? 1 : shifted;
    };
    return quint16(reduce(qRed(colour)) | reduce(qGreen(colour)) << 5 |
                   reduce(qBlue(colour)) << 10);
}

VccPalette ConvertPalette(const QList<QRgb>& colourTable)
{
    VccPalette palette;
    palette.fill(0x7C1F);
    const qsizetype count = std::min<qsizetype>(colourTable.size(), qsizetype(palette.size()));
    for (qsizetype i = 0; i < count; ++i)
        palette[std::size_t(i)] = ConvertColour(colourTable[i]);
    return palette;
}

QByteArray CutTiles(const QImage& image, qsizetype bufferSize)
{
    const int tilesPerRow = image.width() / TileSide;
    const int tileRows = image.height() / TileSide;
    const qsizetype needed = qsizetype(tilesPerRow) * tileRows * TileSide * TileSide;
    QByteArray tiles(std::max(bufferSize, needed), '\0');
    if (image.format() != QImage::Format_Indexed8)
        return tiles;
    char* out = tiles.data();
    for (int ty = 0; ty < tileRows; ++ty)
    {
        for (int tx = 0; tx < tilesPerRow; ++tx)
        {
            for (int row = 0; row < TileSide; ++row)
            {
                const uchar* line = image.constScanLine(ty * TileSide + row);
                std::memcpy(out, line + tx * TileSide, TileSide);
                out += TileSide;
            }
        }
    }
    return tiles;
}
