// The longest time the window goes without serving events while the Output command waits
// for a converter that runs for the given time (ms): the stand-in converter under the tests'
// output bench. Reported as the counter longest_without_events_ms.
#include "TOVKContEdit/ui/output_fixture.h"
#include "common/EventGap.h"
#include "common/TestSupport.h"
#include "common/WaitBenchmark.h"

namespace
{
constexpr int JP = 0;

class ConverterRun : public OutputFixture::Bench
{
public:
    // Runs the Output command once over one Japanese row; the longest gap in ms.
    qint64 LongestGap(int converterMs)
    {
        MakeProject(QStringLiteral("wait"));
        m_start = TestSupport::StandinFolder();
        ShowFrame();
        m_output.SetToolSource([this] { return m_tools; });
        AddRow(1, {JP});
        Control("sleep " + QByteArray::number(converterMs) + '\n');
        m_messages.Answer(IDYES);
        const EventGapProbe probe;
        m_output.OnFileOutput();
        TearDown();
        return probe.LongestGapMs();
    }

private:
    void TestBody() override {}
};

void BM_WindowServedDuringConverterRun(benchmark::State& state)
{
    WaitBenchmark::ReportLongestGap(state,
                                    [&] { return ConverterRun().LongestGap(int(state.range(0))); });
}
BENCHMARK(BM_WindowServedDuringConverterRun)->Arg(3000)->Apply(WaitBenchmark::OneRun);
} // namespace

int main(int argc, char** argv)
{
    return WaitBenchmark::Main(argc, argv);
}
