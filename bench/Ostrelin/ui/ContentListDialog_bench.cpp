// The works registration page refilled after one edit with 999 registrations over 10,000
// works, the work settings dialog opened on those 10,000 works, the server list page with 64
// content servers of 999 guide numbers each, and the server settings dialog after "<" on such a
// server. Target: under 50 ms each.
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/res/Strings.h"
#include "Ostrelin/ui/BindList.h"
#include "Ostrelin/ui/ContentEditDialog.h"
#include "Ostrelin/ui/ContentListDialog.h"
#include "Ostrelin/ui/WdbEditDialog.h"
#include "Ostrelin/ui/WdbListDialog.h"
#include "platform/Messages.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace
{
class BenchHost : public CProjectHost
{
public:
    COstrelinDoc* GetActiveDocument() override { return &doc; }
    QString GetProjectPath() const override { return QStringLiteral("/bench/Guide.olx"); }
    void UpdateWindowTitle() override {}
    void UpdateStepStates() override {}
    void OnFileSave() override {}

    COstrelinDoc doc;
};

// 10,000 works in nine languages, 999 registrations, and optionally 64 content servers
// that each carry every guide number.
BenchHost& Project(bool servers)
{
    static BenchHost host;
    CBindData& data = host.doc.GetBindData();
    if (data.m_mapWorks.empty())
    {
        data.m_wGuideLanguages = 0x01FF;
        for (int w = 1; w <= 10000; ++w)
            data.AddWork(w, w, QStringLiteral("作品の説明 %1").arg(w), 0x01FF);
        for (int g = 1; g <= 999; ++g)
            data.AddGuide(g, g * 10);
    }
    data.ClearServers();
    if (servers)
    {
        for (int s = 0; s < 64; ++s)
        {
            const QString name = QStringLiteral("S%1").arg(s, 4, 10, QLatin1Char('0'));
            data.AddServer(name);
            CServer* server = data.FindServer(name);
            server->m_nRole = RoleContents;
            for (int g = 1; g <= 999; ++g)
                server->m_setGuides.insert(g);
        }
    }
    SetProjectHost(&host);
    return host;
}

void BM_WorksPageRefillAfterAnEdit(benchmark::State& state)
{
    BenchHost& host = Project(false);
    CContentListDialog page;
    CBindData& data = host.doc.GetBindData();
    int round = 0;
    for (auto _ : state)
    {
        data.SetGuideWork(500, 1 + (round++ % 10000));
        OnProjectDataChanged();
        page.FillList();
        benchmark::DoNotOptimize(page.List()->GetItemCount());
    }
}
BENCHMARK(BM_WorksPageRefillAfterAnEdit)->Unit(benchmark::kMillisecond);

void BM_WorkDialogOpensOnAllWorks(benchmark::State& state)
{
    BenchHost& host = Project(false);
    const CGuideEntry* entry = host.doc.GetBindData().FindGuide(500);
    for (auto _ : state)
    {
        CContentEditDialog dialog(entry);
        dialog.OnInitDialog();
        benchmark::DoNotOptimize(dialog.WorksList()->GetItemCount());
    }
}
BENCHMARK(BM_WorkDialogOpensOnAllWorks)->Unit(benchmark::kMillisecond);

void BM_ServerPageRefillAfterAnEdit(benchmark::State& state)
{
    BenchHost& host = Project(true);
    CWdbListDialog page;
    CServer* server = host.doc.GetBindData().FindServer(QStringLiteral("S0031"));
    int round = 0;
    for (auto _ : state)
    {
        server->m_nChannel = (round++ % 2) ? 7 : 13;
        OnProjectDataChanged();
        page.FillList();
        benchmark::DoNotOptimize(page.List()->GetItemCount());
    }
}
BENCHMARK(BM_ServerPageRefillAfterAnEdit)->Unit(benchmark::kMillisecond);

void BM_ServerDialogAfterStoring(benchmark::State& state)
{
    BenchHost& host = Project(true);
    CServer source = *host.doc.GetBindData().FindServer(QStringLiteral("S0000"));
    source.m_setGuides.erase(500);
    CWdbEditDialog dialog(&source);
    dialog.OnInitDialog();
    const int row = [&]
    {
        for (int r = 0; r < dialog.StorableList()->GetItemCount(); ++r)
            if (dialog.StorableList()->GetItemText(r, 0) == QStringLiteral("500"))
                return r;
        return 0;
    }();
    for (auto _ : state)
    {
        dialog.m_server.m_setGuides.erase(500);
        dialog.StorableList()->clearSelection();
        dialog.StorableList()->SetItemState(row, true, false);
        dialog.OnAddWorks();
        benchmark::DoNotOptimize(dialog.StoredList()->GetItemCount());
    }
}
BENCHMARK(BM_ServerDialogAfterStoring)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Strings::Install(OstrelinStringsJA());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetProjectHost(nullptr);
    return 0;
}
