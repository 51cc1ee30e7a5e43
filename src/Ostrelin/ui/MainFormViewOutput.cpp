// The main view's two output steps, run by the output page under m_pProgressDlg: without a
// progress dialog they go through to their end without a pause.
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/model/OutputRun.h"
#include "Ostrelin/ui/ChildProcesses.h"
#include "Ostrelin/ui/MainFormView.h"
#include "Ostrelin/ui/OstrelinApp.h"
#include "Ostrelin/ui/ProgressDlg.h"
#include "framework/LongOperation.h"

bool CMainFormView::CheckStepData(QString& report, bool* cancelled)
{
    return ::CheckStepData(*GetDocument(), m_strProjectPath, report, cancelled, m_pProgressDlg);
}

bool CMainFormView::RunOutput(bool* cancelled, QStringList* warnings)
{
    COutputRun run(*GetDocument(), m_strProjectPath, m_strAppFolder, m_strBinFolder);
    run.SetProgress(m_pProgressDlg);
    run.SetWaitClock(CLongOperation::Clock());
    if (CProgressDlg* progress = m_pProgressDlg)
        run.SetWaitText([progress](const QString& text) { progress->SetMessageText(text); });
    // An editor that ended, or another program, may have removed the shared tools.
    if (COstrelinApp* app = COstrelinApp::Current())
        run.SetToolFolder(app->LoadToolArchive() ? app->m_strToolFolder : QString());
    // The hub's own wait: its windows stay painted and the project commands are refused.
    run.SetTitleRunner([](const CommandLine& command, const QString&, const ToolWait& wait)
                       { return RunProcessAndWait(command, wait); });
    run.RunOutput(cancelled);
    if (warnings)
        *warnings = run.Warnings();
    return true;
}
