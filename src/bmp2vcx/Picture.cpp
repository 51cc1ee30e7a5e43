#include "bmp2vcx/Picture.h"

#include "platform/BmpHeader.h"
#include "platform/Path.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <cstring>
#include <limits>

namespace
{
constexpr int TileSide = 8;

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

// The header (when it could be read) gives the bits per pixel, which QImage does not keep,
// and the size, so that a picture beyond what is held is known without decoding it.
CPicture Load(QIODevice& device, const BmpHeaderInfo* header)
{
    CPicture picture;
    if (header)
    {
        picture.bitsPerPixel = header->bitsPerPixel;
        if (header->bitsPerPixel != 8)
        {
            // Refused whatever its pixels hold; decoding a large one would fail and name
            // the wrong reason.
            picture.width = header->width;
            picture.height = header->height;
            picture.notIndexed = true;
            return picture;
        }
        if (qint64(header->width) * header->height > MaxPicturePixels ||
            DecodedBytes(header->width, header->height) > ReaderLimitBytes())
        {
            picture.width = header->width;
            picture.height = header->height;
            picture.tooLarge = true;
            return picture;
        }
    }

    QImageReader reader(&device, "bmp");
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    if (image.isNull())
        return picture;
    picture.image = image;
    picture.width = image.width();
    picture.height = image.height();
    return picture;
}
} // namespace

CPicture LoadPicture(const QString& path)
{
    const QString resolved = Path::Resolve(path);
    BmpHeaderInfo header;
    const bool hasHeader = ReadBmpHeader(resolved, header);
    QFile file(resolved);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return Load(file, hasHeader ? &header : nullptr);
}

CPicture LoadPictureFromBytes(const QByteArray& bytes)
{
    BmpHeaderInfo header;
    const bool hasHeader = ReadBmpHeader(bytes, header);
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    return Load(buffer, hasHeader ? &header : nullptr);
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
