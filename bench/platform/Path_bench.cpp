// Hot paths of the platform layer against what a user could run on the same data: the raw
// folder listing, Qt's own DOM serialiser, QString::arg.
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/XmlDocument.h"
#include "platform/XmlWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <dirent.h>

namespace
{
constexpr int DataFiles = 90000;

// One language folder of the largest project: 90,000 data files, names in mixed case.
const QString& DataFolder()
{
    static QTemporaryDir root;
    static const QString folder = []
    {
        const QString f = root.path() + "/output/contents/en";
        QDir().mkpath(f);
        for (int i = 0; i < DataFiles; ++i)
        {
            QFile file(f + QString::fromLatin1(i % 2 ? "/CEN%1.bin" : "/cen%1.BIN")
                               .arg(i, 5, 10, QLatin1Char('0')));
            file.open(QIODevice::WriteOnly);
        }
        return f;
    }();
    return folder;
}

void BM_PathFind(benchmark::State& state)
{
    const QString folder = DataFolder();
    for (auto _ : state)
    {
        const QStringList found = Path::Find(folder, "CEN?????.bin", Path::FindFilesOnly);
        if (found.size() != DataFiles)
            state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_PathFind)->Unit(benchmark::kMillisecond);

// Reference: the bare listing of the same folder, like `ls -f`.
void BM_ReferenceReaddir(benchmark::State& state)
{
    const QByteArray folder = QFile::encodeName(DataFolder());
    for (auto _ : state)
    {
        DIR* dir = opendir(folder.constData());
        int n = 0;
        while (dirent* e = readdir(dir))
            n += e->d_name[0] != '.';
        closedir(dir);
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_ReferenceReaddir)->Unit(benchmark::kMillisecond);

void BM_ReferenceQDirSorted(benchmark::State& state)
{
    const QString folder = DataFolder();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}
BENCHMARK(BM_ReferenceQDirSorted)->Unit(benchmark::kMillisecond);

void BM_ResolveExact(benchmark::State& state)
{
    const QString path = DataFolder() + "/CEN00001.bin";
    for (auto _ : state)
        benchmark::DoNotOptimize(Path::Resolve(path));
}
BENCHMARK(BM_ResolveExact)->Unit(benchmark::kMicrosecond);

// The folder named in another case: one small listing per unmatched component.
void BM_ResolveFolderCase(benchmark::State& state)
{
    QString path = DataFolder();
    path.replace("/output/contents/en", "/OUTPUT/Contents/EN");
    path += "/CEN00001.bin";
    for (auto _ : state)
        benchmark::DoNotOptimize(Path::Resolve(path));
}
BENCHMARK(BM_ResolveFolderCase)->Unit(benchmark::kMicrosecond);

// A content tree of 90,000 records with eight children each.
const QDomDocument& ContentTree()
{
    static XmlDocument doc = []
    {
        XmlDocument d = XmlDocument::WithRoot("ContentBody");
        const QString path60 = QString(56, u'p') + ".bmp";
        const QString text60 = u'"' + QString(58, u't') + u'"';
        for (int i = 0; i < DataFiles; ++i)
        {
            QDomElement info = d.AddElement(d.Root(), "ContentInfo");
            d.AddElement(info, "nLangType", QString::number(i % 9));
            d.AddElement(info, "nProductNo", QString::number(i / 9 + 1));
            d.AddElement(info, "nProductImgCnt", "2");
            d.AddElement(info, "strProductImg1", path60);
            d.AddElement(info, "strProductImg2", path60);
            d.AddElement(info, "strProductWav", path60);
            d.AddElement(info, "strProductTxt", text60);
            d.AddElement(info, "strProductCmt", text60);
        }
        return d;
    }();
    return doc.Dom();
}

void BM_XmlSerialize(benchmark::State& state)
{
    const QDomDocument& doc = ContentTree();
    for (auto _ : state)
        benchmark::DoNotOptimize(XmlWriter::Serialize(doc));
}
BENCHMARK(BM_XmlSerialize)->Unit(benchmark::kMillisecond);

// Reference: Qt's own indented serialiser (UTF-8) over the same tree.
void BM_ReferenceQDomToByteArray(benchmark::State& state)
{
    const QDomDocument& doc = ContentTree();
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.toByteArray(1));
}
BENCHMARK(BM_ReferenceQDomToByteArray)->Unit(benchmark::kMillisecond);

void BM_XmlLoad(benchmark::State& state)
{
    const QByteArray bytes = XmlWriter::Serialize(ContentTree());
    for (auto _ : state)
    {
        XmlDocument doc;
        if (!doc.LoadBytes(bytes))
            state.SkipWithError("load failed");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_XmlLoad)->Unit(benchmark::kMillisecond);

void BM_FormatMessage(benchmark::State& state)
{
    const QString pattern = "File Image %2!d! of %1!s! is not a BMP file.";
    const QList<QVariant> args = {QStringLiteral("Work 12"), 2};
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatMessage(pattern, args));
}
BENCHMARK(BM_FormatMessage);

void BM_ReferenceQStringArg(benchmark::State& state)
{
    const QString pattern = "File Image %2 of %1 is not a BMP file.";
    for (auto _ : state)
        benchmark::DoNotOptimize(pattern.arg(QStringLiteral("Work 12")).arg(2));
}
BENCHMARK(BM_ReferenceQStringArg);
} // namespace

BENCHMARK_MAIN();
