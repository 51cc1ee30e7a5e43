// The content table at its full size (10,000 rows, nine languages, 60-character paths and
// descriptions): free numbers, paste, sort, and saving and opening files of 22,500, 45,000
// and 90,000 records, with xmllint parsing the same file as the yardstick.
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <random>

namespace
{
QString Text60(const QString& head, int n)
{
    return (head + QString::number(n)).leftJustified(60, u'x');
}

void FillRow(ContentRow& row, int n)
{
    row.itemNumber = n;
    row.imageCount = 2;
    row.comment = QStringLiteral("comment %1").arg(n);
    for (int lang = 0; lang < LanguageCount; ++lang)
    {
        const QString tag = QStringLiteral("/museum/guide/%1/%2/").arg(lang).arg(n);
        row.image1[lang] = Text60(tag + "image1_", n) + ".bmp";
        row.image2[lang] = Text60(tag + "image2_", n) + ".bmp";
        row.voice[lang] = Text60(tag + "voice_", n) + ".wav";
        row.description[lang] = Text60(QStringLiteral("Work %1 line one\r\nline two ").arg(n), n);
    }
}

void Fill(CTOVKContEditDoc& doc, int rows)
{
    doc.ClearRows();
    for (int i = 0; i < rows; ++i)
        FillRow(doc.GetRow(doc.AddRow(true)), i + 1);
}

QString Folder()
{
    static QTemporaryDir dir;
    return dir.path();
}

// The file of the first `rows` rows of the full table (nine records a row), made once.
QString FileOf(int rows)
{
    static std::map<int, QString> paths;
    QString& path = paths[rows];
    if (path.isEmpty())
    {
        CTOVKContEditDoc doc;
        Fill(doc, rows);
        path = Folder() + QStringLiteral("/rows%1.xml").arg(rows);
        doc.OnSaveDocument(path);
    }
    return path;
}

void BM_GetFreeItemNumber(benchmark::State& state)
{
    CTOVKContEditDoc doc;
    Fill(doc, static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.GetFreeItemNumber());
}
BENCHMARK(BM_GetFreeItemNumber)->Arg(MaxContentRows)->Arg(MaxContentRows - 1);

void BM_PasteTakenNumbers(benchmark::State& state)
{
    // 5,000 rows numbered 1..5000 and a copy of them all: every pasted row is renumbered.
    CTOVKContEditDoc doc;
    Fill(doc, 5000);
    for (auto _ : state)
    {
        state.PauseTiming();
        for (int i = 0; i < 5000; ++i)
            doc.GetRow(i).marked = 1;
        doc.CopyMarkedRows();
        state.ResumeTiming();
        benchmark::DoNotOptimize(doc.PasteRows(2500));
        state.PauseTiming();
        doc.DeleteMarkedRows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PasteTakenNumbers)->Unit(benchmark::kMillisecond);

void BM_SortByItemNumberRenumber(benchmark::State& state)
{
    CTOVKContEditDoc doc;
    Fill(doc, MaxContentRows);
    std::mt19937 random(7);
    for (auto _ : state)
    {
        state.PauseTiming();
        for (int i = 0; i < doc.GetRowCount(); ++i)
            doc.GetRow(i).itemNumber = static_cast<int>(random() % 20000);
        state.ResumeTiming();
        doc.SortByItemNumber(true);
    }
}
BENCHMARK(BM_SortByItemNumberRenumber)->Unit(benchmark::kMillisecond);

// Saving and opening 2,500, 5,000 and 10,000 rows (22,500 to 90,000 records).
void BM_OnSaveDocument(benchmark::State& state)
{
    CTOVKContEditDoc doc;
    Fill(doc, int(state.range(0)));
    const QString path = Folder() + "/save.xml";
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.OnSaveDocument(path));
    state.counters["bytes"] = static_cast<double>(QFile(path).size());
}
BENCHMARK(BM_OnSaveDocument)
    ->Arg(MaxContentRows / 4)
    ->Arg(MaxContentRows / 2)
    ->Arg(MaxContentRows)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

void BM_OnOpenDocument(benchmark::State& state)
{
    const QString path = FileOf(int(state.range(0)));
    CTOVKContEditDoc doc;
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.OnOpenDocument(path));
    state.counters["rows"] = doc.GetRowCount();
}
BENCHMARK(BM_OnOpenDocument)
    ->Arg(MaxContentRows / 4)
    ->Arg(MaxContentRows / 2)
    ->Arg(MaxContentRows)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// The yardstick: a C parser reading the same file without building anything.
void BM_XmllintNoout(benchmark::State& state)
{
    const QString path = FileOf(int(state.range(0)));
    for (auto _ : state)
    {
        const int code = QProcess::execute("xmllint", {"--noout", path});
        if (code != 0)
            state.SkipWithError("xmllint failed");
    }
}
BENCHMARK(BM_XmllintNoout)
    ->Arg(MaxContentRows / 4)
    ->Arg(MaxContentRows / 2)
    ->Arg(MaxContentRows)
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
