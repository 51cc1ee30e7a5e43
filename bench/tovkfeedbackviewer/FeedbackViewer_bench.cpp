// The whole viewer run on card copies of 250k, 500k and 1M records (half questionnaire
// answers, half accesses, 1,000 per file: 500 + 500 files for 1M), beside writing the run's
// output bytes to the same folder and `cat` of the input files to the null device. Then the
// run on 1,000 to 8,000 questionnaires (one file and one answer each, so three reports per
// questionnaire) and on 4,000 questionnaires whose areas differ only in bytes that no check
// reads and that give one word-wise FNV-1a hash, each into a fresh and into an existing
// report folder.
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
#include <cstring>
#include <map>
#include <memory>
#include <unistd.h>

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
// The word-wise FNV-1a over a whole area that once grouped the questionnaires.
std::uint64_t OldAreaHash(const char* area, std::size_t words)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (std::size_t i = 0; i < words; ++i)
    {
        std::uint64_t word;
        std::memcpy(&word, area + 8 * i, 8);
        hash = (hash ^ word) * 0x100000001b3ULL;
    }
    return hash;
}

constexpr int QuestionnairesPerFolder = 1000;

// count files of one questionnaire each (one answer), below root's application folder;
// false when the one-hash areas do not share their hash.
bool WriteQuestionnaires(const QString& root, int count, bool oneHash)
{
    std::uint64_t firstHash = 0;
    const QByteArray answer =
        Answer(PackTime(2024, 5, 5, 10, 0, 0), 0, Mac({1, 2, 3, 4, 5, 6}), {1});
    QByteArray area = SampleQuestionnaireArea();
    // The unread tail after the nine entries: its first two words pick the hash's state.
    constexpr qsizetype tail = 9 * 6144;
    const std::uint64_t before = OldAreaHash(area.constData(), tail / 8);
    for (int i = 0; i < count; ++i)
    {
        if (oneHash)
        {
            const std::uint64_t first = std::uint64_t(i) + 1;
            const std::uint64_t second = (before ^ first) * 0x100000001b3ULL;
            std::memcpy(area.data() + tail, &first, 8);
            std::memcpy(area.data() + tail + 8, &second, 8);
            const std::uint64_t hash = OldAreaHash(area.constData(), Dat::DefinitionSize / 8);
            if (i == 0)
                firstHash = hash;
            else if (hash != firstHash)
                return false;
        }
        else
        {
            area = QuestionnaireArea(
                {{0, {{false, QStringLiteral("Question %1").arg(i), {"A", "B"}}}}});
        }
        WriteCardFile(root,
                      QStringLiteral("ENQ%1/Q%2.DAT")
                          .arg(i / QuestionnairesPerFolder)
                          .arg(i, 5, 10, QChar('0')),
                      DatFile(area, {answer}));
    }
    return true;
}

// Cards of 1,000 to 8,000 questionnaires share the files of the largest through hard links;
// empty when the card cannot be made as asked.
QString QuestionnaireCardFor(int count, bool oneHash)
{
    static std::map<std::pair<int, bool>, QString> cards;
    static QTemporaryDir root;
    const auto key = std::make_pair(count, oneHash);
    if (const auto found = cards.find(key); found != cards.end())
        return found->second;
    const QString master = root.path() + (oneHash ? "/one-hash" : "/distinct");
    const int masterCount = oneHash ? 4000 : 8000;
    if (!QFileInfo::exists(master) && !WriteQuestionnaires(master, masterCount, oneHash))
        return QString();
    QString card = master;
    if (count != masterCount)
    {
        card = root.path() + QStringLiteral("/card-%1").arg(count);
        const QString app = AppFolder(master);
        for (int f = 0; f < count / QuestionnairesPerFolder; ++f)
        {
            const QString sub = QStringLiteral("/ENQ%1").arg(f);
            QDir().mkpath(AppFolder(card) + sub);
            for (const QString& name : QDir(app + sub).entryList(QDir::Files))
                ::link(QFile::encodeName(app + sub + u'/' + name).constData(),
                       QFile::encodeName(AppFolder(card) + sub + u'/' + name).constData());
        }
    }
    return cards.emplace(key, card).first->second;
}

void RunViewer(benchmark::State& state, const QString& card, const QString& out)
{
    RecordingShell shell;
    Console::Capture capture;
    if (FeedbackViewerMain({"TOVKFeedbackViewer", "-in", card, "-out", out}) != 0)
        state.SkipWithError("the run failed");
}

void QuestionnaireRuns(benchmark::State& state, bool oneHash, bool fresh)
{
    const int count = static_cast<int>(state.range(0));
    const QString card = QuestionnaireCardFor(count, oneHash);
    if (card.isEmpty())
    {
        state.SkipWithError("no card");
        return;
    }
    QTemporaryDir outputs;
    int run = 0;
    const QString existing = outputs.path() + "/existing";
    if (!fresh)
        RunViewer(state, card, existing);
    for (auto _ : state)
    {
        const QString out =
            fresh ? outputs.path() + QStringLiteral("/fresh-%1").arg(++run) : existing;
        RunViewer(state, card, out);
        if (fresh)
        {
            state.PauseTiming();
            QDir(out).removeRecursively();
            state.ResumeTiming();
        }
    }
    if (static_cast<int>(g_questionnaires.Count()) != count)
        state.SkipWithError("the areas were not told apart");
    state.counters["questionnaires"] = count;
}

void BM_QuestionnairesIntoAFreshFolder(benchmark::State& state)
{
    QuestionnaireRuns(state, false, true);
}

void BM_QuestionnairesIntoAnExistingFolder(benchmark::State& state)
{
    QuestionnaireRuns(state, false, false);
}

void BM_OneHashAreasIntoAFreshFolder(benchmark::State& state)
{
    QuestionnaireRuns(state, true, true);
}

void BM_OneHashAreasIntoAnExistingFolder(benchmark::State& state)
{
    QuestionnaireRuns(state, true, false);
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

void QuestionnaireCounts(benchmark::internal::Benchmark* benchmark)
{
    for (const int count : {1000, 2000, 4000, 8000})
        benchmark->Arg(count);
}

BENCHMARK(BM_QuestionnairesIntoAFreshFolder)
    ->Apply(QuestionnaireCounts)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_QuestionnairesIntoAnExistingFolder)
    ->Apply(QuestionnaireCounts)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_OneHashAreasIntoAFreshFolder)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OneHashAreasIntoAnExistingFolder)
    ->Arg(4000)
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
