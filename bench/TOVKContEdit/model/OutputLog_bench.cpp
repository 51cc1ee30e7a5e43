// The converter's report from a log of 20 MB of findings with the abort marker at its end,
// beside a plain scan of the same bytes for line ends, the least any reader does.
#include "TOVKContEdit/model/OutputLog.h"
#include "TOVKContEdit/res/Strings.h"

#include <QByteArray>
#include <benchmark/benchmark.h>

namespace
{
const QByteArray& TwentyMegabyteLog()
{
    static const QByteArray log = []
    {
        QByteArray bytes;
        for (int i = 0; bytes.size() < 20 * 1024 * 1024; ++i)
            bytes += "Error : marvex : pnum = " + QByteArray::number(i) + "\n";
        return bytes + "ABORTED!!\n";
    }();
    return log;
}

void BM_ReadConverterLog(benchmark::State& state)
{
    Strings::Install(ContEditStringsEN());
    for (auto _ : state)
    {
        ConverterReport report;
        ReadConverterLog(TwentyMegabyteLog(), report);
        benchmark::DoNotOptimize(report.aborted);
    }
    state.SetBytesProcessed(state.iterations() * TwentyMegabyteLog().size());
}
BENCHMARK(BM_ReadConverterLog)->Unit(benchmark::kMillisecond);

// Reference: every line end found, nothing else done.
void BM_ScanLineEnds(benchmark::State& state)
{
    for (auto _ : state)
    {
        const QByteArray& bytes = TwentyMegabyteLog();
        qsizetype lines = 0;
        for (qsizetype at = bytes.indexOf('\n'); at >= 0; at = bytes.indexOf('\n', at + 1))
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(state.iterations() * TwentyMegabyteLog().size());
}
BENCHMARK(BM_ScanLineEnds)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
