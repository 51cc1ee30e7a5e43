// Writes a few pictures into the fuzz corpus folder, so that fuzzing starts from BMPs that
// decode (8-, 4- and 24-bit, bottom-up and top-down, a guide-sized one, run-length coded,
// with the old core header) and from ones that promise more than they hold (pixels cut, the
// pixel offset past the end, runs beyond the picture).
#include "BmpFixture.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    struct Seed
    {
        const char* name;
        int width;
        int height;
        int bits;
        bool topDown;
        int colours;
    };
    const Seed seeds[] = {
        {"seed-8bit", 16, 8, 8, false, 256}, {"seed-8bit-topdown", 8, 16, 8, true, 16},
        {"seed-4bit", 8, 8, 4, false, 16},   {"seed-24bit", 8, 8, 24, false, 0},
        {"seed-odd", 12, 8, 8, false, 2},    {"seed-guide", 256, 192, 8, false, 4},
    };
    const auto write = [&folder](const char* name, const QByteArray& bytes)
    {
        QFile file(folder + QLatin1Char('/') + QLatin1String(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    for (const Seed& seed : seeds)
    {
        BmpFixture::Spec spec;
        spec.width = seed.width;
        spec.height = seed.height;
        spec.bitsPerPixel = seed.bits;
        spec.topDown = seed.topDown;
        spec.colours = BmpFixture::GreyRamp(seed.colours);
        const unsigned mask = seed.bits == 24 ? 0xFFFFFFu : unsigned(seed.colours - 1);
        spec.pixel = [mask](int x, int y) { return unsigned(x * 31 + y * 17) & mask; };
        if (!write(seed.name, BmpFixture::Make(spec)))
            return 1;
    }

    BmpFixture::Spec square;
    square.width = 64;
    square.height = 64;
    square.colours = BmpFixture::GreyRamp(256);
    square.pixel = [](int x, int y) { return unsigned(x + y) & 0xFF; };
    const QByteArray whole = BmpFixture::Make(square);
    QByteArray offsetPastEnd = whole;
    qToLittleEndian(quint32(whole.size() + 16), offsetPastEnd.data() + 10);
    // Runs, a literal run, a jump, the end of a line and the end of the picture.
    const QByteArray stream("\x04\x07\x00\x03\x18\x19\x1a\x00\x00\x02\x05\x02"
                            "\x0a\x09\x00\x00\x40\x03\x00\x01",
                            20);
    const QByteArray overflow("\x30\x01\x30\x02\x00\x01", 6);
    const struct
    {
        const char* name;
        QByteArray bytes;
    } more[] = {
        {"seed-rle8", BmpFixture::MakeRle8(square, stream)},
        {"seed-core", BmpFixture::MakeCore(square)},
        {"seed-cut-pixels", whole.left(whole.size() - 4000)},
        {"seed-offset-past-end", offsetPastEnd},
        {"seed-rle8-overflow", BmpFixture::MakeRle8(square, overflow)},
        {"seed-rle8-cut", BmpFixture::MakeRle8(square, stream.left(9))},
    };
    // A zero byte after each keeps it out of guide mode, where a 64 x 64 picture is refused
    // before its pixels count.
    for (const auto& seed : more)
        if (!write(seed.name, seed.bytes + '\0'))
            return 1;
    return 0;
}
