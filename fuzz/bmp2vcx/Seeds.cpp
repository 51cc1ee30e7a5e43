// Writes a few valid pictures into the fuzz corpus folder, so that fuzzing starts from
// BMPs that decode: 8-, 4- and 24-bit, bottom-up and top-down, a guide-sized one.
#include "BmpFixture.h"

#include <QDir>
#include <QFile>

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
        QFile file(folder + QLatin1Char('/') + QLatin1String(seed.name));
        if (!file.open(QIODevice::WriteOnly) || file.write(BmpFixture::Make(spec)) < 0)
            return 1;
    }
    return 0;
}
