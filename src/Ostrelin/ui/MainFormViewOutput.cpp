// The main view's output run, and its two steps over the run: without a progress dialog they
// go through to their end without a pause.
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/model/OutputRun.h"
#include "Ostrelin/ui/ChildProcesses.h"
#include "Ostrelin/ui/MainFormView.h"
#include "Ostrelin/ui/OstrelinApp.h"
#include "Ostrelin/ui/ProgressDlg.h"
#include "framework/LongOperation.h"

COutputRun CMainFormView::OutputRun(CProgressDlg* progress) const
{
    COutputRun run(*GetDocument(), m_strProjectPath, m_strAppFolder, m_strBinFolder, progress);
    run.SetWaitClock(CLongOperation::Clock());
    if (progress)
        run.SetWaitText([progress](const QString& text) { progress->SetMessageText(text); });
    // An editor that ended, or another program, may have removed the shared tools.
    run.SetToolSource(
        []
        {
            COstrelinApp* app = COstrelinApp::Current();
            return app && app->LoadToolArchive() ? app->m_strToolFolder : QString();
        });
    // The hub's own wait: its windows stay painted and the project commands are refused.
    run.SetTitleRunner([](const CommandLine& command, const QString&, const ToolWait& wait)
                       { return RunProcessAndWait(command, wait); });
    return run;
}

bool CMainFormView::CheckStepData(QString& report, bool* cancelled)
{
    return OutputRun(m_pProgressDlg).CheckStepData(report, cancelled);
}

bool CMainFormView::RunOutput(bool* cancelled)
{
    *cancelled = OutputRun(m_pProgressDlg).RunOutput().result != COutputRun::Outcome::Done;
    return true;
}
