// Hot paths of the content checks: the guide-picture check and the output check of a
// full table whose files exist on disk, in one language and in all nine, beside a raw read
// of the same files.
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
#include <map>
#include <memory>
#include <vector>

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

// The full table: 10,000 rows, each with two pictures and a voice of its own on disk
// (30,000 files), named alike in all nine languages; made once.
constexpr int FullRows = 10000;

struct FullTable
{
    QTemporaryDir dir;
    CTOVKContEditDoc doc;
    std::vector<QString> files; // row by row: picture 1, picture 2, voice
};

FullTable& Table()
{
    static FullTable table;
    if (table.files.empty())
    {
        const QByteArray picture = GuideBmp(200);
        const QByteArray voice = MakeWav(1, 16000, 16, Samples(32000));
        for (int i = 0; i < FullRows; ++i)
        {
            ContentRow& row = table.doc.GetRow(table.doc.AddRow(true));
            row.itemNumber = i + 1;
            const QString base = table.dir.path() + QString("/w%1").arg(i);
            WriteBytes(base + "a.bmp", picture);
            WriteBytes(base + "b.bmp", picture);
            WriteBytes(base + ".wav", voice);
            table.files.insert(table.files.end(), {base + "a.bmp", base + "b.bmp", base + ".wav"});
            for (int language = 0; language < LanguageCount; ++language)
            {
                row.image1[language] = base + "a.bmp";
                row.image2[language] = base + "b.bmp";
                row.voice[language] = base + ".wav";
                row.description[language] = "A description";
            }
        }
    }
    return table;
}

// The first `rows` rows of the full table.
CTOVKContEditDoc& TableOf(int rows)
{
    static std::map<int, std::unique_ptr<CTOVKContEditDoc>> docs;
    std::unique_ptr<CTOVKContEditDoc>& doc = docs[rows];
    if (!doc)
    {
        doc = std::make_unique<CTOVKContEditDoc>();
        for (int i = 0; i < rows; ++i)
            doc->GetRow(doc->AddRow(true)) = Table().doc.GetRow(i);
    }
    return *doc;
}

// An Output run's checks over 2,500, 5,000 and 10,000 rows in one language (range 1) or all
// nine (range 9): each file is judged once in the run.
void BM_CheckLanguageFullTable(benchmark::State& state)
{
    CTOVKContEditDoc& doc = TableOf(int(state.range(0)));
    const int languages = int(state.range(1));
    RecordingMessages messages;
    for (auto _ : state)
    {
        CFileVerdicts verdicts;
        doc.SetFileVerdicts(&verdicts);
        for (int language = 0; language < languages; ++language)
            benchmark::DoNotOptimize(doc.CheckLanguage(language));
        doc.SetFileVerdicts(nullptr);
    }
    state.counters["rows/s"] = benchmark::Counter(
        double(state.range(0)) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CheckLanguageFullTable)
    ->ArgsProduct({{FullRows / 4, FullRows / 2, FullRows}, {1, 9}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// Reference: the same files read whole, once each.
void BM_ReadSameFiles(benchmark::State& state)
{
    const std::size_t count = std::size_t(state.range(0)) * 3;
    const std::vector<QString>& files = Table().files;
    for (auto _ : state)
    {
        for (std::size_t i = 0; i < count; ++i)
        {
            QFile file(files[i]);
            if (file.open(QIODevice::ReadOnly))
                benchmark::DoNotOptimize(file.readAll());
        }
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(count));
}
BENCHMARK(BM_ReadSameFiles)
    ->Arg(FullRows / 4)
    ->Arg(FullRows / 2)
    ->Arg(FullRows)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
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
