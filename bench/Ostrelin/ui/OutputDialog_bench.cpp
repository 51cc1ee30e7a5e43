// The longest time the window goes without serving events while the output page's Output
// waits for the title replacer, then for the bind tool, each running for the given time (ms):
// the stand-in tools under the tests' hub bench. Reported as the counter
// longest_without_events_ms.
#include "Ostrelin/OutputFixtures.h"
#include "Ostrelin/ui/OstrelinApp.h"
#include "Ostrelin/ui/OutputDialog.h"
#include "Ostrelin/ui/hub_fixture.h"
#include "common/EventGap.h"
#include "common/TestSupport.h"
#include "common/WaitBenchmark.h"

#include <QPushButton>

namespace
{
using TestSupport::NewFolder;
using TestSupport::WriteFile;

enum Waiter
{
    TitleReplacer,
    BindTool
};

class ToolRuns : public HubFixture::Bench
{
public:
    // One output of a project with a Japanese title to replace; the longest gap in ms.
    qint64 LongestGap(Waiter waiter, int toolMs)
    {
        SetUp();
        for (const char* tool : {"durnap", "halbrine"})
            QFile::link(TestSupport::StandinFolder() + u'/' + QString::fromLatin1(tool),
                        m_binFolder + u'/' + QString::fromLatin1(tool));
        const QString toolControl = NewFolder(QStringLiteral("durnap-control")) + "/c";
        const QString titleControl = NewFolder(QStringLiteral("halbrine-control")) + "/c";
        const QString sleep = QStringLiteral("sleep %1\n").arg(toolMs);
        WriteFile(toolControl, (waiter == BindTool ? "work\n" + sleep : "work\n").toUtf8());
        WriteFile(titleControl, (waiter == TitleReplacer ? sleep : QString()).toUtf8());
        qputenv("DURNAP_RECORD", NewFolder(QStringLiteral("durnap-records")).toUtf8());
        qputenv("DURNAP_CONTROL", toolControl.toUtf8());
        qputenv("HALBRINE_RECORD", NewFolder(QStringLiteral("halbrine-records")).toUtf8());
        qputenv("HALBRINE_CONTROL", titleControl.toUtf8());

        COstrelinApp app;
        app.LoadToolArchive();
        MakeView().window()->show();
        OpenProject(MakeProject(QStringLiteral("guide")));
        CBindData& data = Doc().GetBindData();
        data.m_wGuideLanguages = 0x0001;
        data.m_wTitleLanguages = 0x0001;
        data.m_strTitleImage[0] = WriteFile(NewFolder(QStringLiteral("pictures")) + "/jp.bmp",
                                            OutputFixtures::TwoColourTitle());
        auto* page = new COutputDialog(&View());

        const EventGapProbe probe;
        page->OutputButton()->click();
        const qint64 gap = probe.LongestGapMs();
        for (const char* name :
             {"DURNAP_RECORD", "DURNAP_CONTROL", "HALBRINE_RECORD", "HALBRINE_CONTROL"})
            qunsetenv(name);
        TearDown();
        return gap;
    }

private:
    void TestBody() override {}
};

void BM_WindowServedDuringToolRun(benchmark::State& state)
{
    WaitBenchmark::ReportLongestGap(
        state, [&] { return ToolRuns().LongestGap(Waiter(state.range(0)), int(state.range(1))); });
}
BENCHMARK(BM_WindowServedDuringToolRun)
    ->ArgNames({"bind_tool", "ms"})
    ->Args({TitleReplacer, 3000})
    ->Args({BindTool, 3000})
    ->Apply(WaitBenchmark::OneRun);
} // namespace

int main(int argc, char** argv)
{
    return WaitBenchmark::Main(argc, argv);
}
