#pragma once
// What the benchmarks of a tool wait share: one measured run per benchmark, its longest time
// without serving events as the counter longest_without_events_ms, and a main that gives the
// run the tests' private environment and an application object.
#include "common/TestSupport.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace WaitBenchmark
{
// Runs `measure` (returning the longest gap in ms) once per iteration.
template <typename Measure> void ReportLongestGap(benchmark::State& state, Measure measure)
{
    for (auto _ : state)
        state.counters["longest_without_events_ms"] = double(measure());
}

// One measured run, in milliseconds on the wall clock: BENCHMARK(...)->Apply(OneRun).
inline void OneRun(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
}

inline int Main(int argc, char** argv)
{
    const TestSupport::PrivateEnvironment environment;
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
} // namespace WaitBenchmark
