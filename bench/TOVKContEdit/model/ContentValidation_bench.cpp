// Hot paths of the content checks: the guide-picture check and the output check of a
// full table whose files exist on disk.
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/model/ContentValidation.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/model/WavePlayer.h"
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/shared/ImageEx.h"
#include "platform/RecordingMessages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace ChecksFixtures;

namespace
{
void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// The colour count on a decoded 256 x 192 picture with 255 colours (the worst that passes).
void BM_IsValidGuideImage(benchmark::State& state)
{
    CImageEx image;
    image.LoadFromBytes(GuideBmp(255));
    for (auto _ : state)
        benchmark::DoNotOptimize(image.IsValidGuideImage());
}
BENCHMARK(BM_IsValidGuideImage)->Unit(benchmark::kMicrosecond);

// The same with the file read and decoded, as ValidateContentFile does.
void BM_ValidatePictureFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/p.bmp";
    WriteBytes(path, GuideBmp(255));
    for (auto _ : state)
        benchmark::DoNotOptimize(ValidateContentFile(path, 4, false));
}
BENCHMARK(BM_ValidatePictureFile)->Unit(benchmark::kMicrosecond);

// The voice check reads only the chunk headers, whatever the voice's length.
void BM_ValidateVoiceFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/v.wav";
    WriteBytes(path, MakeWav(1, 16000, 16, Samples(int(state.range(0)))));
    for (auto _ : state)
        benchmark::DoNotOptimize(ValidateContentFile(path, 6, false));
}
BENCHMARK(BM_ValidateVoiceFile)
    ->Arg(64 * 1024)
    ->Arg(5 * 1024 * 1024)
    ->Unit(benchmark::kMicrosecond);

// CheckLanguage over 10,000 rows, each with two pictures and a voice of its own on disk.
void BM_CheckLanguageFullTable(benchmark::State& state)
{
    constexpr int English = 1;
    QTemporaryDir dir;
    const QByteArray picture = GuideBmp(200);
    const QByteArray voice = MakeWav(1, 16000, 16, Samples(32000));
    CTOVKContEditDoc doc;
    for (int i = 0; i < 10000; ++i)
    {
        ContentRow& row = doc.GetRow(doc.AddRow(true));
        row.itemNumber = i + 1;
        const QString base = dir.path() + QString("/w%1").arg(i);
        WriteBytes(base + "a.bmp", picture);
        WriteBytes(base + "b.bmp", picture);
        WriteBytes(base + ".wav", voice);
        row.image1[English] = base + "a.bmp";
        row.image2[English] = base + "b.bmp";
        row.voice[English] = base + ".wav";
        row.description[English] = "A description";
    }
    RecordingMessages messages;
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.CheckLanguage(English));
    state.counters["rows/s"] =
        benchmark::Counter(10000.0 * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CheckLanguageFullTable)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Strings::Install(ContEditStringsEN());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
