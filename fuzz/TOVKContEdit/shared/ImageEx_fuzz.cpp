// The guide-picture check on arbitrary bytes behind the "BM" that the check requires.
// The image decoder is not instrumented, so random bytes alone almost never decode: an
// odd first byte makes the rest drive a well-formed header (size, depth, palette) with
// arbitrary palette and pixel bytes, and the verdict is compared with the per-pixel rule.
#include "TOVKContEdit/shared/ImageEx.h"

#include <QByteArray>
#include <QImage>
#include <algorithm>
#include <cstdint>
#include <unordered_set>

namespace
{
void PutU16(QByteArray& b, std::uint32_t v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

void PutU32(QByteArray& b, std::uint32_t v)
{
    PutU16(b, v & 0xFFFF);
    PutU16(b, v >> 16);
}

// Reads the fuzz input byte by byte; past its end it yields zeros.
struct Input
{
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t Next() { return at < size ? data[at++] : 0; }
};

QByteArray StructuredBmp(Input& in)
{
    static const int widths[] = {256, 255, 257, 8};
    static const int heights[] = {192, 191, 193, 8};
    static const int depths[] = {8, 8, 4, 1, 24, 32, 16, 8};
    const std::uint8_t shape = in.Next();
    const int width = widths[shape & 3];
    const int height = heights[(shape >> 2) & 3];
    const int bits = depths[(shape >> 4) & 7];
    const bool topDown = (shape & 0x80) != 0;
    const int colours = bits <= 8 ? std::min(1 << bits, int(in.Next()) + 1) : 0;

    const int stride = ((width * bits + 31) / 32) * 4;
    const int offset = 14 + 40 + 4 * colours;
    QByteArray b("BM");
    PutU32(b, std::uint32_t(offset + stride * height));
    PutU32(b, 0);
    PutU32(b, std::uint32_t(offset));
    PutU32(b, 40);
    PutU32(b, std::uint32_t(width));
    PutU32(b, topDown ? std::uint32_t(-height) : std::uint32_t(height));
    PutU16(b, 1);
    PutU16(b, std::uint32_t(bits));
    PutU32(b, 0);
    PutU32(b, std::uint32_t(stride * height));
    PutU32(b, 2835);
    PutU32(b, 2835);
    PutU32(b, std::uint32_t(colours));
    PutU32(b, 0);
    for (int i = 0; i < colours; ++i)
    {
        b.append(char(in.Next()));
        b.append(char(in.Next()));
        b.append(char(in.Next()));
        b.append(char(0));
    }
    // The pixel bytes repeat what is left of the input (zeros when nothing is).
    const std::size_t start = in.at;
    const std::size_t left = in.size - start;
    QByteArray pixels(stride * height, '\0');
    for (qsizetype i = 0; left > 0 && i < pixels.size(); ++i)
        pixels[i] = char(in.data[start + std::size_t(i) % left]);
    b.append(pixels);
    return b;
}

// The rule as stated: 256 x 192 at 8 bits, at most 255 distinct pixel colours.
bool PerPixelRule(const CImageEx& image)
{
    if (image.GetWidth() != CImageEx::GuideWidth || image.GetHeight() != CImageEx::GuideHeight ||
        image.GetBPP() != 8)
        return false;
    std::unordered_set<QRgb> colours;
    const QImage& picture = image.Image();
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            colours.insert(picture.pixel(x, y) & 0xFFFFFF);
    return colours.size() <= 255;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Out-of-range palette indices make the decoder warn on every pixel read.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in{data, size};
    const bool structured = (in.Next() & 1) != 0;
    QByteArray bytes;
    if (structured)
    {
        bytes = StructuredBmp(in);
    }
    else
    {
        bytes = QByteArray("BM");
        bytes.append(reinterpret_cast<const char*>(data + in.at), qsizetype(size - in.at));
    }
    CImageEx image;
    const bool loaded = image.LoadFromBytes(bytes);
    const bool valid = image.IsValidGuideImage();
    if (valid && image.Flags() != 0)
        __builtin_trap();
    if (loaded && valid != PerPixelRule(image))
        __builtin_trap();
    return 0;
}
