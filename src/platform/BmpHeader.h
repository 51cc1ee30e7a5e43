#pragma once
// Reads only the header bytes of a BMP file (file header + info header), for what QImage
// does not report (1- and 4-bit files come back as 8-bit indexed); and reads the one form
// the guide pictures take, uncompressed 8 bits per pixel, whole and without a decoder.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>

struct BmpHeaderInfo
{
    std::uint32_t fileSize = 0;   // bfSize as stored
    std::uint32_t dataOffset = 0; // bfOffBits
    std::uint32_t headerSize = 0; // biSize (12 for the old core header)
    int width = 0;
    int height = 0;       // absolute value; see topDown
    bool topDown = false; // the stored height was negative
    int planes = 0;
    int bitsPerPixel = 0;
    int compression = 0; // BI_RGB 0, BI_RLE8 1, BI_RLE4 2, BI_BITFIELDS 3
    std::uint32_t imageSize = 0;
    int colorsUsed = 0; // biClrUsed as stored (0 = the full table for <= 8 bits)
    int colorsImportant = 0;
    // Entries of the colour table: colorsUsed, or 2^bits for <= 8 bits when it is 0.
    int ColorTableEntries() const;
};

// The bytes the reader needs at most.
constexpr int BmpHeaderBytes = 14 + 40;

// False when the file is missing, too short, not "BM" or the header is not sane.
bool ReadBmpHeader(const QString& path, BmpHeaderInfo& info);
bool ReadBmpHeader(const QByteArray& bytes, BmpHeaderInfo& info);

enum class BmpRead
{
    Done,
    // A file starting with "BM" that this reader leaves to the general decoder: compressed,
    // other depths or planes, the old core header, a header that is not sane, rows that
    // overlap the colour table, a file cut short.
    OtherForm,
    Failed, // no regular file, or none that starts with "BM" and a header's first bytes
};

// An uncompressed 8-bit BMP with a colour table of at most 256 entries, read through one
// descriptor (header, colour table, pixel rows) into an indexed picture, top row first, its
// colour table as the file holds it (opaque).
BmpRead ReadBmp8(const QString& path, QImage& image);
