#pragma once
// The converter's picture: a BMP decoded by QImage, with the bits per pixel its header
// states, the 15-bit palette made from its colour table and its 8 x 8 tiles.
#include "bmp2vcx/VccFile.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>

// The largest picture held, in pixels (one byte of tile data each). QImageReader's
// allocation limit, when lower, lowers it.
constexpr qint64 MaxPicturePixels = qint64(1) << 28;

// The allocation limit that lets QImageReader decode every picture held (it counts four
// bytes per pixel), in megabytes.
constexpr int ReaderLimitForMaxPicture = int(MaxPicturePixels * 4 / (1024 * 1024));

struct CPicture
{
    // Null when the file could not be loaded, does not hold every pixel its header states
    // or the picture is too large.
    QImage image;
    int width = 0; // 0 x 0 when the file could not be loaded
    int height = 0;
    int bitsPerPixel = 0;  // as the BMP header states; 0 without a readable header
    bool tooLarge = false; // beyond what is held or decoded: its size is known, it is not decoded
    // The header states a depth other than 8 bits: its size is known and, as it is refused
    // whatever its pixels hold, it is not decoded.
    bool notIndexed = false;
};

// Only BMP content is read, whatever the file is called; only a regular file is opened.
CPicture LoadPicture(const QString& path);
CPicture LoadPictureFromBytes(const QByteArray& bytes);

// 8-bit components to 5 bits each (red in bits 0-4, green 5-9, blue 10-14); a component
// that is not 0 never becomes 0.
quint16 ConvertColour(QRgb colour);

// The first 256 entries of the colour table; entries beyond it are 0x7C1F.
VccPalette ConvertPalette(const QList<QRgb>& colourTable);

// The 8-bit indexed picture's tiles, row by row, each tile 8 rows of 8 indices, in a
// zero-filled buffer of bufferSize bytes (at least width x height). The width and height
// must be multiples of 8.
QByteArray CutTiles(const QImage& image, qsizetype bufferSize);
