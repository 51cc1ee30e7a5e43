// The content scan over a full project (10,000 works in nine languages: 90,000 data files on
// the local disk, warm cache) beside a plain loop that opens each of the same files and reads
// its first 196 bytes; and saving and opening the largest project file.
//
// QUORVANE_BENCH_DIR names the folder for the project (default: the temporary folder); the
// tree is made once and kept, so later runs start warm.
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/res/Strings.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
constexpr int kWorks = 10000;
constexpr int kFileSize = 1024;
const char* const kCodes[] = {"jp", "en", "fr", "ge", "it", "sp", "cn", "kr", "du"};

QString BenchFolder()
{
    const QString base = qEnvironmentVariable("QUORVANE_BENCH_DIR", QDir::tempPath());
    return base + QStringLiteral("/ostrelin-bench");
}

// The project tree with every data file, made once; the paths in scan order.
const QString& Project(std::vector<std::string>* paths = nullptr)
{
    static const QString project = BenchFolder() + QStringLiteral("/full");
    static std::vector<std::string> all;
    if (all.empty())
    {
        QByteArray bytes(kFileSize, '\x5a');
        for (int language = 0; language < 9; ++language)
        {
            const QString folder = project + QStringLiteral("/convert/output/contents/") +
                                   QLatin1String(kCodes[language]);
            QDir().mkpath(folder);
            for (int n = 1; n <= kWorks; ++n)
            {
                const QString path =
                    folder + QStringLiteral("/C%1%2.bin")
                                 .arg(QLatin1String(kCodes[language]).toString().toUpper())
                                 .arg(n, 5, 10, QLatin1Char('0'));
                all.push_back(QFile::encodeName(path).toStdString());
                if (QFile::exists(path))
                    continue;
                qToLittleEndian(quint32(n), bytes.data() + 0x0C);
                for (int u = 0; u < 80; ++u)
                    qToLittleEndian(quint16(u < 60 ? u'a' + (n + u) % 26 : 0),
                                    bytes.data() + 0x24 + 2 * u);
                QFile file(path);
                if (file.open(QIODevice::WriteOnly))
                    file.write(bytes);
            }
        }
    }
    if (paths)
        *paths = all;
    return project;
}

void BM_ScanContentFiles(benchmark::State& state)
{
    const QString project = Project();
    COstrelinDoc doc;
    doc.ScanContentFiles(project); // warm the cache
    for (auto _ : state)
    {
        doc.ScanContentFiles(project);
        benchmark::DoNotOptimize(doc.GetBindData().m_mapWorks.size());
    }
    if (doc.GetBindData().m_mapWorks.size() != std::size_t(kWorks) ||
        doc.GetBindData().m_wContentLanguages != 0x01FF)
        state.SkipWithError("scan found the wrong works");
    state.counters["files"] = 9.0 * kWorks;
}
BENCHMARK(BM_ScanContentFiles)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The reference: open each data file, read its first 196 bytes, close it.
void BM_ReferenceOpenRead196(benchmark::State& state)
{
    std::vector<std::string> paths;
    Project(&paths);
    char buffer[196];
    for (auto _ : state)
    {
        long total = 0;
        for (const std::string& path : paths)
        {
            const int fd = ::open(path.c_str(), O_RDONLY);
            if (fd < 0)
                continue;
            total += ::read(fd, buffer, sizeof buffer);
            ::close(fd);
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["files"] = double(paths.size());
}
BENCHMARK(BM_ReferenceOpenRead196)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// 999 guide numbers, 64 servers each carrying all of them.
void FillLargest(CBindData& data)
{
    for (int g = 1; g <= 999; ++g)
        data.AddGuide(g, g);
    for (int s = 0; s < 64; ++s)
    {
        const QString name = QStringLiteral("S%1").arg(s, 4, 10, QLatin1Char('0'));
        data.AddServer(name);
        CServer* server = data.FindServer(name);
        for (int g = 1; g <= 999; ++g)
            server->m_setGuides.insert(g);
    }
    for (QString& path : data.m_strTitleImage)
        path = BenchFolder() + QStringLiteral("/convert/input/bmp/title.bmp");
}

void BM_SaveLargestProject(benchmark::State& state)
{
    COstrelinDoc doc;
    FillLargest(doc.GetBindData());
    const QString path = BenchFolder() + QStringLiteral("/largest.olx");
    for (auto _ : state)
    {
        if (!doc.OnSaveDocument(path))
            state.SkipWithError("save failed");
    }
    state.counters["bytes"] = double(QFile(path).size());
}
BENCHMARK(BM_SaveLargestProject)->Unit(benchmark::kMicrosecond);

void BM_OpenLargestProject(benchmark::State& state)
{
    const QString path = BenchFolder() + QStringLiteral("/largest.olx");
    {
        COstrelinDoc doc;
        FillLargest(doc.GetBindData());
        doc.OnSaveDocument(path);
    }
    COstrelinDoc doc;
    for (auto _ : state)
    {
        if (!doc.OnOpenDocument(path))
            state.SkipWithError("open failed");
    }
    if (doc.GetBindData().m_listServers.size() != 64)
        state.SkipWithError("wrong server count");
}
BENCHMARK(BM_OpenLargestProject)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Strings::Install(OstrelinStringsJA());
    QDir().mkpath(BenchFolder());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
