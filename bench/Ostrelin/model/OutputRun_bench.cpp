// The output's hot paths at the largest sizes the hub allows:
// - the pre-output check of up to 996 guide numbers in nine languages (8,964 content files
//   of 64 KB on the local disk, warm cache), beside a plain open, read of the header bytes
//   and close of each of the same files;
// - the information file of one content server carrying up to 996 guide numbers in nine
//   languages (8,964 rows), written as its rows are made, beside writing the same bytes with
//   one write, plain and as an atomic replace, and beside listing the nine language folders;
// - the screen bitmap of a 254-colour title, beside Qt's conversion of the same picture to
//   an indexed picture.
//
// QUORVANE_BENCH_DIR names the folder for the project (default: the temporary folder); the
// tree is made once and kept, so later runs start warm.
#include "Ostrelin/model/BindXml.h"
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/model/OutputRun.h"
#include "Ostrelin/model/TitleScreen.h"
#include "Ostrelin/res/Strings.h"
#include "platform/AtomicFile.h"
#include "platform/XmlWriter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QtEndian>
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
constexpr int kGuides = 999;
constexpr int kFileSize = 64 * 1024;
const char* const kCodes[] = {"JP", "EN", "FR", "GE", "IT", "SP", "CN", "KR", "DU"};

QString BenchFolder()
{
    const QString base = qEnvironmentVariable("QUORVANE_BENCH_DIR", QDir::tempPath());
    return base + QStringLiteral("/ostrelin-output-bench");
}

// Every guide number up to `guides` plays its own work (work n in file n) in every language.
void Fill(CBindData& data, int guides = kGuides)
{
    data.m_wGuideLanguages = 0x01FF;
    for (int n = 1; n <= guides; ++n)
    {
        data.AddWork(n, n, QStringLiteral("w"), 0x01FF);
        data.AddGuide(n, n);
    }
}

// The project with its content files, made once; the paths of the files of the first
// `guides` works in every language.
const QString& Project(std::vector<std::string>* paths = nullptr, int guides = kGuides)
{
    static const QString project = BenchFolder() + QStringLiteral("/full");
    static std::vector<std::string> all;
    if (all.empty())
    {
        QByteArray bytes(kFileSize, '\x5a');
        for (const char* code : kCodes)
        {
            const QString folder = project + QStringLiteral("/convert/output/contents/") +
                                   QString::fromLatin1(code).toLower();
            QDir().mkpath(folder);
            for (int n = 1; n <= kGuides; ++n)
            {
                const QString path = folder + QStringLiteral("/C%1%2.bin")
                                                  .arg(QLatin1String(code))
                                                  .arg(n, 5, 10, QLatin1Char('0'));
                all.push_back(QFile::encodeName(path).toStdString());
                if (QFile::exists(path))
                    continue;
                qToLittleEndian(quint32(n), bytes.data() + 0x0C);
                QFile file(path);
                if (file.open(QIODevice::WriteOnly))
                    file.write(bytes);
            }
        }
    }
    if (paths)
    {
        paths->clear();
        for (std::size_t i = 0; i < all.size(); ++i)
            if (int(i % kGuides) < guides)
                paths->push_back(all[i]);
    }
    return project;
}

// The check over n guide numbers in nine languages: 249, 498 and 996 (the hub's largest).
void BM_PreOutputCheck(benchmark::State& state)
{
    const int guides = int(state.range(0));
    const QString projectPath = Project() + QStringLiteral("/Guide.olx");
    COstrelinDoc doc;
    Fill(doc.GetBindData(), guides);
    for (auto _ : state)
    {
        QString report;
        bool cancelled = false;
        benchmark::DoNotOptimize(
            COutputRun(doc, projectPath, {}, {}).CheckStepData(report, &cancelled));
        if (!report.isEmpty())
            state.SkipWithError("the check found problems");
    }
    state.SetItemsProcessed(state.iterations() * guides * 9);
}
BENCHMARK(BM_PreOutputCheck)->Arg(249)->Arg(498)->Arg(996)->Unit(benchmark::kMillisecond);

// Reference: a plain open, read of the header bytes the check uses, and close of each of the
// same files.
void BM_ReadEveryHead(benchmark::State& state)
{
    std::vector<std::string> paths;
    Project(&paths, int(state.range(0)));
    std::vector<char> buffer(kContentHeaderSize);
    for (auto _ : state)
    {
        for (const std::string& path : paths)
        {
            const int fd = ::open(path.c_str(), O_RDONLY);
            if (fd < 0)
                continue;
            benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
            ::close(fd);
        }
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(paths.size()));
}
BENCHMARK(BM_ReadEveryHead)->Arg(249)->Arg(498)->Arg(996)->Unit(benchmark::kMillisecond);

// For scale: every content file read whole, as a reader of the whole file would.
void BM_ReadEveryFileWhole(benchmark::State& state)
{
    std::vector<std::string> paths;
    Project(&paths);
    std::vector<char> buffer(kFileSize);
    for (auto _ : state)
    {
        for (const std::string& path : paths)
        {
            const int fd = ::open(path.c_str(), O_RDONLY);
            if (fd < 0)
                continue;
            while (::read(fd, buffer.data(), buffer.size()) > 0)
            {
            }
            ::close(fd);
        }
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(paths.size()));
}
BENCHMARK(BM_ReadEveryFileWhole)->Unit(benchmark::kMillisecond);

// The project data of one content server carrying the first `guides` guide numbers.
struct FullServer
{
    explicit FullServer(int guides)
    {
        Fill(data, guides);
        data.AddServer(QStringLiteral("A0001"));
        server = data.FindServer(QStringLiteral("A0001"));
        server->m_nRole = RoleContents;
        for (int n = 1; n <= guides; ++n)
            server->m_setGuides.insert(n);
    }

    void Rows(const OutputPaths& paths, const BindInfoSink& add) const
    {
        CDiskSpelling spelling;
        AppendServerRows(data, *server, paths.contentsFolder, paths.queryFolder, add, spelling);
    }

    BindInfoRows Rows(const OutputPaths& paths) const
    {
        BindInfoRows rows;
        CDiskSpelling spelling;
        AppendServerRows(data, *server, paths.contentsFolder, paths.queryFolder, rows, spelling);
        return rows;
    }

    CBindData data;
    CServer* server = nullptr;
};

QByteArray InformationBytes(int guides)
{
    const OutputPaths paths(Project() + QStringLiteral("/Guide.olx"));
    return XmlWriter::Serialize(CXmlBindInfoFile::BuildDocument(FullServer(guides).Rows(paths)));
}

// The information file of a content server with n guide numbers in nine languages, written
// as the output does it: each language folder listed once, every name spelt as on disk, and
// each row written as it is made.
void BM_InformationFile(benchmark::State& state)
{
    const int guides = int(state.range(0));
    const FullServer project(guides);
    const OutputPaths paths(Project() + QStringLiteral("/Guide.olx"));
    const QString path = BenchFolder() + QStringLiteral("/KPGEditor_Info.xml");
    for (auto _ : state)
    {
        CBindInfoWriter file(path);
        project.Rows(paths, [&file](const CBindInfoItem& row) { file.Add(row); });
        if (!file.Commit())
            state.SkipWithError("not saved");
    }
    QFile written(path);
    if (!written.open(QIODevice::ReadOnly) || written.readAll() != InformationBytes(guides))
        state.SkipWithError("not the bytes of the document tree");
    state.SetItemsProcessed(state.iterations() * guides * 9);
}
BENCHMARK(BM_InformationFile)
    ->Arg(249)
    ->Arg(498)
    ->Arg(996)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Where the information file's time goes: the rows alone, made and dropped ...
void BM_InformationRows(benchmark::State& state)
{
    const int guides = int(state.range(0));
    const FullServer project(guides);
    const OutputPaths paths(Project() + QStringLiteral("/Guide.olx"));
    for (auto _ : state)
        project.Rows(paths, [](const CBindInfoItem& row) { benchmark::DoNotOptimize(&row); });
    state.SetItemsProcessed(state.iterations() * guides * 9);
}
BENCHMARK(BM_InformationRows)->Arg(996)->Unit(benchmark::kMillisecond)->UseRealTime();

// ... and the save of rows already built and kept.
void BM_InformationSave(benchmark::State& state)
{
    const int guides = int(state.range(0));
    const OutputPaths paths(Project() + QStringLiteral("/Guide.olx"));
    const BindInfoRows rows = FullServer(guides).Rows(paths);
    const QString path = BenchFolder() + QStringLiteral("/KPGEditor_Info.xml");
    for (auto _ : state)
    {
        if (!CXmlBindInfoFile().Save(path, rows))
            state.SkipWithError("not saved");
    }
    state.SetItemsProcessed(state.iterations() * guides * 9);
}
BENCHMARK(BM_InformationSave)->Arg(996)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reference: the same file's bytes written in one go.
void BM_WriteSameBytes(benchmark::State& state)
{
    const QByteArray bytes = InformationBytes(int(state.range(0)));
    const QString path = BenchFolder() + QStringLiteral("/same-bytes.xml");
    for (auto _ : state)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) < 0)
            state.SkipWithError("not written");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_WriteSameBytes)
    ->Arg(249)
    ->Arg(498)
    ->Arg(996)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Reference: the same bytes written into a new file, the last one removed. Unlike a file cut
// to nothing and written again, a new file is not written out to the disk at its close.
void BM_WriteSameBytesNewFile(benchmark::State& state)
{
    const QByteArray bytes = InformationBytes(int(state.range(0)));
    const std::string path =
        QFile::encodeName(BenchFolder() + QStringLiteral("/same-bytes-new.xml")).toStdString();
    for (auto _ : state)
    {
        ::unlink(path.c_str());
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, bytes.constData(), std::size_t(bytes.size())) != bytes.size())
            state.SkipWithError("not written");
        if (fd >= 0)
            ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_WriteSameBytesNewFile)
    ->Arg(249)
    ->Arg(498)
    ->Arg(996)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Reference: the same bytes replacing the file the way the author's documents are replaced
// (a temporary file flushed to the disk, then renamed over the old one).
void BM_WriteSameBytesAtomically(benchmark::State& state)
{
    const QByteArray bytes = InformationBytes(int(state.range(0)));
    const QString path = BenchFolder() + QStringLiteral("/same-bytes-atomic.xml");
    for (auto _ : state)
    {
        if (!ReplaceFile(path, bytes, nullptr, FileKind::Document))
            state.SkipWithError("not written");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_WriteSameBytesAtomically)
    ->Arg(249)
    ->Arg(498)
    ->Arg(996)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Reference: the nine language folders listed with readdir and nothing kept, the least a
// spelling of the names as they are on disk costs.
void BM_ListLanguageFolders(benchmark::State& state)
{
    std::vector<std::string> folders;
    for (const char* code : kCodes)
        folders.push_back(QFile::encodeName(Project() +
                                            QStringLiteral("/convert/output/contents/") +
                                            QString::fromLatin1(code).toLower())
                              .toStdString());
    std::int64_t names = 0;
    for (auto _ : state)
    {
        for (const std::string& folder : folders)
        {
            DIR* dir = opendir(folder.c_str());
            if (dir == nullptr)
                continue;
            while (const dirent* entry = readdir(dir))
                benchmark::DoNotOptimize(entry->d_name[0]);
            closedir(dir);
            names += kGuides + 2;
        }
    }
    state.SetItemsProcessed(names);
}
BENCHMARK(BM_ListLanguageFolders)->Unit(benchmark::kMillisecond)->UseRealTime();

QImage Title254()
{
    QImage image(256, 64, QImage::Format_Indexed8);
    QList<QRgb> palette;
    for (int i = 0; i < 254; ++i)
        palette << qRgb(i, 255 - i, (i * 7) % 256);
    image.setColorTable(palette);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, uint((x * 3 + y * 5) % 254));
    return image;
}

void BM_TitleScreenBitmap(benchmark::State& state)
{
    const QImage title = Title254();
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildTitleScreenBitmap(title));
}
BENCHMARK(BM_TitleScreenBitmap)->Unit(benchmark::kMicrosecond);

// Reference: Qt's own conversion of the decoded picture to a 256-colour picture.
void BM_QtIndexedConversion(benchmark::State& state)
{
    const QImage title = Title254().convertToFormat(QImage::Format_RGB32);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            title.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither));
}
BENCHMARK(BM_QtIndexedConversion)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Strings::Install(OstrelinStringsJA());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
