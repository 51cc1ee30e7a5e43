// The whole viewer run on card copies of 250k, 500k and 1M records (half questionnaire
// answers, half accesses, 1,000 per file: 500 + 500 files for 1M), beside writing the run's
// output bytes to the same folder and `cat` of the input files to the null device.
#include "platform/Shell.h"
#include "tovkfeedbackviewer/AccessLog.h"
#include "tovkfeedbackviewer/Console.h"
#include "tovkfeedbackviewer/DatFile.h"
#include "tovkfeedbackviewer/DatFixture.h"
#include "tovkfeedbackviewer/FeedbackViewer.h"
#include "tovkfeedbackviewer/Questionnaire.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

using namespace DatFixture;

namespace
{
constexpr int RecordsPerFile = 1000;

struct Card
{
    std::unique_ptr<QTemporaryDir> folder;
    QStringList files;
    qint64 bytes = 0;
};

std::uint32_t TimeOf(int n)
{
    // Spread over days, hours, minutes and seconds of 2024 and 2025.
    return PackTime(2024 + (n / 4000000) % 2, 1 + (n / 200000) % 12, 1 + (n / 8000) % 28,
                    (n / 3600) % 24, (n / 60) % 60, n % 60);
}

// files questionnaire files and as many log files; every tenth file is a copy of the one
// before (the same card read twice), records arrive slightly out of order.
Card MakeCard(int files)
{
    Card card;
    card.folder = std::make_unique<QTemporaryDir>();
    const QString root = card.folder->path();
    const QByteArray areas[] = {
        SampleQuestionnaireArea(),
        QuestionnaireArea({{0, {{false, "満足度", {"高い", "普通", "低い"}}}},
                           {1, {{false, "Satisfaction", {"High", "Middle", "Low"}}}}})};
    std::vector<WorkEntry> works;
    for (int w = 0; w < 20; ++w)
    {
        works.push_back({0, static_cast<std::uint32_t>(100 + w), static_cast<std::uint16_t>(w + 1),
                         QStringLiteral("作品の説明 %1").arg(w)});
        works.push_back({1, static_cast<std::uint32_t>(100 + w), static_cast<std::uint16_t>(w + 1),
                         QStringLiteral("Description of work %1").arg(w)});
    }
    const QByteArray logArea = LogArea(works);
    QByteArray previousEnq;
    QByteArray previousLog;
    for (int f = 0; f < files; ++f)
    {
        QByteArray enq = previousEnq;
        QByteArray log = previousLog;
        if (f % 10 != 9)
        {
            std::vector<QByteArray> answers;
            std::vector<QByteArray> accesses;
            for (int i = 0; i < RecordsPerFile; ++i)
            {
                const int n = f * RecordsPerFile + (i ^ 3);
                const QByteArray mac = Mac({0x00, 0x16, f & 0xFF, (f >> 8) & 0xFF, i & 0xFF, 7});
                answers.push_back(
                    Answer(TimeOf(n), static_cast<unsigned>(i % 2), mac, {1 << (i % 3), i % 4}));
                accesses.push_back(
                    Access(TimeOf(n), static_cast<unsigned>(i % 2), 1 + i % 20, mac));
            }
            enq = DatFile(areas[f % 2], answers);
            log = DatFile(logArea, accesses);
        }
        card.files
            << WriteCardFile(root,
                             QStringLiteral("ENQ%1/E%2.DAT").arg(f / 100).arg(f, 4, 10, QChar('0')),
                             enq)
            << WriteCardFile(root,
                             QStringLiteral("LOG%1/L%2.DAT").arg(f / 100).arg(f, 4, 10, QChar('0')),
                             log);
        card.bytes += enq.size() + log.size();
        previousEnq = enq;
        previousLog = log;
    }
    return card;
}

Card& CardFor(int records)
{
    static std::map<int, Card> cards;
    auto found = cards.find(records);
    if (found == cards.end())
        found = cards.emplace(records, MakeCard(records / RecordsPerFile / 2)).first;
    return found->second;
}

void BM_ViewerRun(benchmark::State& state)
{
    Card& card = CardFor(static_cast<int>(state.range(0)));
    const QString out = card.folder->path() + "/out";
    RecordingShell shell;
    for (auto _ : state)
    {
        Console::Capture capture;
        const int result =
            FeedbackViewerMain({"TOVKFeedbackViewer", "-in", card.folder->path(), "-out", out});
        if (result != 0)
            state.SkipWithError("the run failed");
    }
    qint64 written = 0;
    for (const QFileInfo& info : QDir(out + "/Data").entryInfoList(QDir::Files))
        written += info.size();
    state.counters["input_MB"] = static_cast<double>(card.bytes) / 1e6;
    state.counters["output_MB"] = static_cast<double>(written) / 1e6;
    state.SetBytesProcessed(state.iterations() * card.bytes);
}

// Reference: the bytes of the run's output written to the same folder, file by file in
// pieces of 64 KiB, as any program writing that much would.
void BM_WriteSameBytes(benchmark::State& state)
{
    Card& card = CardFor(static_cast<int>(state.range(0)));
    const QString out = card.folder->path() + "/out";
    {
        RecordingShell shell;
        Console::Capture capture;
        if (FeedbackViewerMain({"TOVKFeedbackViewer", "-in", card.folder->path(), "-out", out}) !=
            0)
            state.SkipWithError("the run failed");
    }
    std::vector<std::pair<QString, qint64>> files;
    qint64 total = 0;
    for (const QString& folder : {out, out + "/Data"})
        for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files))
        {
            files.emplace_back(info.filePath(), info.size());
            total += info.size();
        }
    const QByteArray piece(64 * 1024, 'x');
    for (auto _ : state)
    {
        for (const auto& [path, size] : files)
        {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                state.SkipWithError("not written");
            for (qint64 done = 0; done < size; done += piece.size())
                file.write(piece.constData(), std::min<qint64>(piece.size(), size - done));
        }
    }
    state.counters["output_MB"] = static_cast<double>(total) / 1e6;
    state.SetBytesProcessed(state.iterations() * total);
}

// Reading, validating and merging alone (the reports' order included), without writing.
void BM_ReadAndMerge(benchmark::State& state)
{
    Card& card = CardFor(static_cast<int>(state.range(0)));
    const QString app = AppFolder(card.folder->path());
    const QStringList folders = QDir(app).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (auto _ : state)
    {
        g_questionnaires.Clear();
        g_accessLog.Clear();
        g_datFiles.Clear();
        for (const QString& folder : folders)
            ScanDatFolder(Path::FolderReader(app + "/" + folder));
        for (std::size_t i = 0; i < g_questionnaires.Count(); ++i)
            benchmark::DoNotOptimize(g_questionnaires.At(i).Answers().size());
        benchmark::DoNotOptimize(g_accessLog.Accesses().size());
    }
    state.SetBytesProcessed(state.iterations() * card.bytes);
}

void BM_CatSameFiles(benchmark::State& state)
{
    Card& card = CardFor(static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        QProcess cat;
        cat.setStandardOutputFile(QProcess::nullDevice());
        cat.start("cat", card.files);
        cat.waitForFinished(-1);
    }
    state.SetBytesProcessed(state.iterations() * card.bytes);
}
} // namespace

BENCHMARK(BM_ViewerRun)
    ->Arg(250000)
    ->Arg(500000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_WriteSameBytes)
    ->Arg(250000)
    ->Arg(500000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ReadAndMerge)
    ->Arg(250000)
    ->Arg(500000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_CatSameFiles)
    ->Arg(250000)
    ->Arg(500000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
