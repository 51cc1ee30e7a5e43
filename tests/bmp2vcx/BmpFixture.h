#pragma once
// Builds small BMP files in memory for the converter's tests, benchmarks and fuzz seeds.
#include <QByteArray>
#include <QList>
#include <QRgb>
#include <QtEndian>
#include <functional>

namespace BmpFixture
{
struct Spec
{
    int width = 8;
    int height = 8;
    int bitsPerPixel = 8; // 1, 4 or 8 (indexed) or 24
    bool topDown = false;
    // The colour table (indexed pictures); written as given, its length is biClrUsed.
    QList<QRgb> colours;
    // The pixel at (x, y), y counted from the top: a colour index, or an RGB value at 24 bits.
    std::function<unsigned(int x, int y)> pixel = [](int, int) { return 0u; };
};

inline void PutU16(QByteArray& bytes, quint16 value)
{
    char raw[2];
    qToLittleEndian(value, raw);
    bytes.append(raw, 2);
}

inline void PutU32(QByteArray& bytes, quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

// A grey ramp of the given length: entry i is (i, i, i).
inline QList<QRgb> GreyRamp(int count)
{
    QList<QRgb> colours;
    for (int i = 0; i < count; ++i)
        colours.append(qRgb(i, i, i));
    return colours;
}

inline QByteArray Make(const Spec& spec)
{
    const int bpp = spec.bitsPerPixel;
    const int rowBytes = ((spec.width * bpp + 31) / 32) * 4;
    const int tableBytes = bpp <= 8 ? int(spec.colours.size()) * 4 : 0;
    const int dataOffset = 14 + 40 + tableBytes;
    const int imageBytes = rowBytes * spec.height;

    QByteArray bytes;
    bytes.append("BM", 2);
    PutU32(bytes, quint32(dataOffset + imageBytes));
    PutU32(bytes, 0);
    PutU32(bytes, quint32(dataOffset));
    PutU32(bytes, 40);
    PutU32(bytes, quint32(spec.width));
    PutU32(bytes, quint32(spec.topDown ? -spec.height : spec.height));
    PutU16(bytes, 1);
    PutU16(bytes, quint16(bpp));
    PutU32(bytes, 0); // BI_RGB
    PutU32(bytes, quint32(imageBytes));
    PutU32(bytes, 2835);
    PutU32(bytes, 2835);
    PutU32(bytes, bpp <= 8 ? quint32(spec.colours.size()) : 0);
    PutU32(bytes, 0);
    for (int i = 0; bpp <= 8 && i < spec.colours.size(); ++i)
    {
        const QRgb c = spec.colours[i];
        bytes.append(char(qBlue(c)));
        bytes.append(char(qGreen(c)));
        bytes.append(char(qRed(c)));
        bytes.append('\0');
    }
    for (int row = 0; row < spec.height; ++row)
    {
        const int y = spec.topDown ? row : spec.height - 1 - row;
        QByteArray line(rowBytes, '\0');
        for (int x = 0; x < spec.width; ++x)
        {
            const unsigned v = spec.pixel(x, y);
            if (bpp == 24)
            {
                line[x * 3] = char(qBlue(v));
                line[x * 3 + 1] = char(qGreen(v));
                line[x * 3 + 2] = char(qRed(v));
            }
            else
            {
                const int bit = x * bpp;
                const int shift = 8 - bpp - bit % 8;
                line[bit / 8] = char(uchar(line[bit / 8]) | ((v & ((1u << bpp) - 1)) << shift));
            }
        }
        bytes.append(line);
    }
    return bytes;
}

// An 8-bit picture of the given Spec's size and colour table whose pixels are the given RLE8
// stream (compression 1).
inline QByteArray MakeRle8(const Spec& spec, const QByteArray& stream)
{
    Spec header = spec;
    header.height = 1;
    const qint32 height = spec.topDown ? -spec.height : spec.height;
    const qsizetype dataOffset = 14 + 40 + 4 * spec.colours.size();
    QByteArray bytes = Make(header).left(dataOffset) + stream;
    qToLittleEndian(quint32(bytes.size()), bytes.data() + 2);
    qToLittleEndian(height, bytes.data() + 22);
    qToLittleEndian(quint32(1), bytes.data() + 30);
    qToLittleEndian(quint32(stream.size()), bytes.data() + 34);
    return bytes;
}

// The given Spec's 8-bit picture with the old 12-byte core header and its 3-byte colour entries.
inline QByteArray MakeCore(const Spec& spec)
{
    const QByteArray full = Make(spec);
    const qsizetype tableBytes = 3 * spec.colours.size();
    const QByteArray pixels = full.mid(14 + 40 + 4 * spec.colours.size());
    QByteArray bytes;
    bytes.append("BM", 2);
    PutU32(bytes, quint32(14 + 12 + tableBytes + pixels.size()));
    PutU32(bytes, 0);
    PutU32(bytes, quint32(14 + 12 + tableBytes));
    PutU32(bytes, 12);
    PutU16(bytes, quint16(spec.width));
    PutU16(bytes, quint16(spec.height));
    PutU16(bytes, 1);
    PutU16(bytes, quint16(spec.bitsPerPixel));
    for (const QRgb c : spec.colours)
    {
        bytes.append(char(qBlue(c)));
        bytes.append(char(qGreen(c)));
        bytes.append(char(qRed(c)));
    }
    return bytes + pixels;
}
// The usage text the converter prints, as its users know it.
inline constexpr char kUsage[] =
    "\n"
    "-------------------------------------------------------------\n"
    "Usage : bmp2vcx.exe -i c:\\quibbet\\hoge.bmp -o c:\\temp\\ [-tovkguide]\n"
    "\n"
    "Make vcg/vcl file from bmp file(256 index color only).\n"
    "\n"
    "  Options:\n"
    "\n"
    "    -tovkguide : the image size shuoud be 256x200. and Charblock is replaced 0x000 with "
    "0x300.\n"
    "\n";
} // namespace BmpFixture
