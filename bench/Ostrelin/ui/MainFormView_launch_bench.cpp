// The longest time the window goes without serving events while the hub waits for a content
// editor that runs for the given time (ms): the stand-in editor under the tests' hub bench.
// Reported as the counter longest_without_events_ms.
#include "Ostrelin/ui/hub_fixture.h"
#include "common/EventGap.h"
#include "common/TestSupport.h"
#include "common/WaitBenchmark.h"

namespace
{
class EditorRun : public HubFixture::Bench
{
public:
    // One start of the content editor on a project of one work; the longest gap in ms.
    qint64 LongestGap(int editorMs)
    {
        SetUp();
        HubFixture::InstallProgram(TestSupport::StandinFolder() +
                                       QStringLiteral("/conteditstub/TOVKContEditJP"),
                                   m_binFolder, QStringLiteral("TOVKContEditJP"));
        UseEditorStandins();
        Control({QStringLiteral("sleep %1").arg(editorMs)});
        MakeView();
        m_frame->show();
        OpenProject(MakeProject(QStringLiteral("wait"), {1}));
        const EventGapProbe probe;
        View().OnContentEditor();
        const qint64 gap = probe.LongestGapMs();
        TearDown();
        return gap;
    }

private:
    void TestBody() override {}
};

void BM_WindowServedDuringEditorRun(benchmark::State& state)
{
    WaitBenchmark::ReportLongestGap(state,
                                    [&] { return EditorRun().LongestGap(int(state.range(0))); });
}
BENCHMARK(BM_WindowServedDuringEditorRun)->Arg(3000)->Apply(WaitBenchmark::OneRun);
} // namespace

int main(int argc, char** argv)
{
    return WaitBenchmark::Main(argc, argv);
}
