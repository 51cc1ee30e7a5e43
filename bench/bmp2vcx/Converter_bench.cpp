// The converter's hot paths beside references a user could run: decoding the same BMP with
// QImage alone, and copying the same number of bytes.
#include "BmpFixture.h"
#include "bmp2vcx/Converter.h"
#include "bmp2vcx/Picture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>

namespace
{
QByteArray Picture(int width, int height)
{
    BmpFixture::Spec spec;
    spec.width = width;
    spec.height = height;
    spec.colours = BmpFixture::GreyRamp(256);
    spec.pixel = [](int x, int y) { return unsigned(x * 7 + y * 13) & 0xFF; };
    return BmpFixture::Make(spec);
}

// Side of the square picture in pixels.
void BM_CutTiles(benchmark::State& state)
{
    const int side = int(state.range(0));
    const QImage image = LoadPictureFromBytes(Picture(side, side)).image;
    for (auto _ : state)
        benchmark::DoNotOptimize(CutTiles(image, qsizetype(side) * side));
    state.SetBytesProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_CutTiles)->Arg(256)->Arg(4096);

void BM_CopyReference(benchmark::State& state)
{
    const int side = int(state.range(0));
    const QByteArray source(qsizetype(side) * side, 'x');
    QByteArray target(source.size(), '\0');
    for (auto _ : state)
    {
        std::memcpy(target.data(), source.constData(), std::size_t(source.size()));
        benchmark::DoNotOptimize(target.data());
    }
    state.SetBytesProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_CopyReference)->Arg(256)->Arg(4096);

// The whole run on a file, guide mode (256 x 192) and a large picture.
void BM_ConvertFile(benchmark::State& state)
{
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    QTemporaryDir folder;
    const QString input = folder.filePath(QStringLiteral("pic.bmp"));
    QFile file(input);
    file.open(QIODevice::WriteOnly);
    file.write(Picture(width, height));
    file.close();
    const QStringList arguments{"bmp2vcx", "-i", input, "-o", folder.path()};
    for (auto _ : state)
    {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        if (Bmp2Vcx::wmain(arguments, out, err, "UTF-8") != 0)
            state.SkipWithError("conversion failed");
    }
    state.SetBytesProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_ConvertFile)->Args({256, 192})->Args({4096, 4096})->Unit(benchmark::kMillisecond);

void BM_DecodeReference(benchmark::State& state)
{
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    const QByteArray bytes = Picture(width, height);
    for (auto _ : state)
        benchmark::DoNotOptimize(QImage::fromData(bytes, "BMP"));
    state.SetBytesProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_DecodeReference)->Args({256, 192})->Args({4096, 4096})->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
