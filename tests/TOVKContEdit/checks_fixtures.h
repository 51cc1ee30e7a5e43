#pragma once
// Small BMP and WAV files built in code for the content-check, voice and archive tests.
#include <QByteArray>
#include <QList>
#include <QRgb>
#include <QString>
#include <cstdint>
#include <functional>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace ChecksFixtures
{
inline void PutU16(QByteArray& b, std::uint32_t v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

inline void PutU32(QByteArray& b, std::uint32_t v)
{
    PutU16(b, v & 0xFFFF);
    PutU16(b, v >> 16);
}

// A bottom-up BMP. For 1, 4 and 8 bits, index(x, y) picks a palette entry; for 24 bits,
// rgb(x, y) gives the colour.
inline QByteArray MakeBmp(int width, int height, int bits, const QList<QRgb>& palette,
                          const std::function<std::uint32_t(int, int)>& pixel)
{
    const int stride = ((width * bits + 31) / 32) * 4;
    const int paletteBytes = bits <= 8 ? 4 * static_cast<int>(palette.size()) : 0;
    const int offset = 14 + 40 + paletteBytes;
    QByteArray b("BM");
    PutU32(b, offset + stride * height);
    PutU32(b, 0);
    PutU32(b, offset);
    PutU32(b, 40);
    PutU32(b, width);
    PutU32(b, height);
    PutU16(b, 1);
    PutU16(b, bits);
    PutU32(b, 0);
    PutU32(b, stride * height);
    PutU32(b, 2835);
    PutU32(b, 2835);
    PutU32(b, bits <= 8 ? palette.size() : 0);
    PutU32(b, 0);
    if (bits <= 8)
    {
        for (QRgb c : palette)
        {
            b.append(char(qBlue(c)));
            b.append(char(qGreen(c)));
            b.append(char(qRed(c)));
            b.append(char(0));
        }
    }
    for (int y = height - 1; y >= 0; --y)
    {
        QByteArray row(stride, '\0');
        for (int x = 0; x < width; ++x)
        {
            const std::uint32_t v = pixel(x, y);
            if (bits == 24)
            {
                row[3 * x] = char(qBlue(v));
                row[3 * x + 1] = char(qGreen(v));
                row[3 * x + 2] = char(qRed(v));
            }
            else
            {
                const int perByte = 8 / bits;
                const int shift = 8 - bits * (1 + x % perByte);
                row[x / perByte] = char(uchar(row[x / perByte]) | (v << shift));
            }
        }
        b.append(row);
    }
    return b;
}

// A grey ramp of n entries.
inline QList<QRgb> GreyPalette(int n)
{
    QList<QRgb> p;
    for (int i = 0; i < n; ++i)
        p.append(qRgb(i, i, 255 - i));
    return p;
}

// 256 x 192, 8 bits, pixels using the first `colors` palette entries.
inline QByteArray GuideBmp(int colors)
{
    return MakeBmp(256, 192, 8, GreyPalette(256),
                   [colors](int x, int y) { return std::uint32_t((y * 256 + x) % colors); });
}

inline QByteArray Chunk(const char* tag, std::uint32_t size, const QByteArray& body)
{
    QByteArray b(tag, 4);
    PutU32(b, size);
    b.append(body);
    return b;
}

inline QByteArray FormatBody(int channels, std::uint32_t rate, int bits, int formatTag = 1)
{
    QByteArray f;
    PutU16(f, formatTag);
    PutU16(f, channels);
    PutU32(f, rate);
    PutU32(f, rate * channels * bits / 8);
    PutU16(f, channels * bits / 8);
    PutU16(f, bits);
    return f;
}

// "RIFF" size "WAVE" and the given chunks.
inline QByteArray Riff(const QByteArray& chunks)
{
    QByteArray b("RIFF");
    PutU32(b, 4 + chunks.size());
    b.append("WAVE");
    b.append(chunks);
    return b;
}

inline QByteArray MakeWav(int channels, std::uint32_t rate, int bits, const QByteArray& samples)
{
    return Riff(Chunk("fmt ", 16, FormatBody(channels, rate, bits)) +
                Chunk("data", samples.size(), samples));
}

inline QByteArray Samples(int count, char seed = 1)
{
    QByteArray s(count, '\0');
    for (int i = 0; i < count; ++i)
        s[i] = char(seed + i * 7);
    return s;
}
} // namespace ChecksFixtures
