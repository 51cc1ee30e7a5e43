// N outputs made in one folder: through a folder held open (one listing for the run), into a
// fresh folder and into one where the files exist already, beside the least a program could
// do (open, write, close each file in place).
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

namespace
{
const QByteArray kReport(4096, 'r');

QString Name(int i)
{
    return QStringLiteral("ENQ_%1.xml").arg(i, 5, 10, QLatin1Char('0'));
}

void Sizes(benchmark::internal::Benchmark* bench)
{
    for (const int count : {1000, 2000, 4000, 8000})
        bench->Arg(count);
    bench->Unit(benchmark::kMillisecond)->UseRealTime();
}

void WriteAll(const QString& folder, int count)
{
    const OutputFolder out(folder);
    for (int i = 0; i < count; ++i)
        if (!ReplaceFile(out, Name(i), kReport))
            std::abort();
}

void BM_OutputsIntoAFreshFolder(benchmark::State& state)
{
    const int count = int(state.range(0));
    QTemporaryDir root;
    int run = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        const QString folder = root.path() + QStringLiteral("/run%1").arg(++run);
        QDir().mkpath(folder);
        state.ResumeTiming();
        WriteAll(folder, count);
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_OutputsIntoAFreshFolder)->Apply(Sizes);

void BM_OutputsIntoAnExistingFolder(benchmark::State& state)
{
    const int count = int(state.range(0));
    QTemporaryDir root;
    WriteAll(root.path(), count);
    for (auto _ : state)
        WriteAll(root.path(), count);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_OutputsIntoAnExistingFolder)->Apply(Sizes);

// Reference: each file written in place, nothing beside it, no rename.
void BM_PlainWritesInPlace(benchmark::State& state)
{
    const int count = int(state.range(0));
    QTemporaryDir root;
    for (auto _ : state)
        for (int i = 0; i < count; ++i)
        {
            const QByteArray path = QFile::encodeName(root.path() + u'/' + Name(i));
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
            if (fd < 0 ||
                ::write(fd, kReport.constData(), std::size_t(kReport.size())) != kReport.size())
                std::abort();
            ::close(fd);
        }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_PlainWritesInPlace)
    ->Arg(1000)
    ->Arg(8000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
} // namespace

BENCHMARK_MAIN();
