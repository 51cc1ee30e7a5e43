#include "Ostrelin/ui/OutputDialog.h"

#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/model/OutputRun.h"
#include "Ostrelin/model/ProjectFolders.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/MainFormView.h"
#include "Ostrelin/ui/ProgressDlg.h"
#include "Ostrelin/ui/ReportDialog.h"
#include "framework/LongOperation.h"
#include "platform/CommandGuard.h"
#include "platform/Messages.h"
#include "platform/Strings.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

namespace
{
constexpr int kProgressUpper = 10000;
} // namespace

COutputDialog::COutputDialog(CMainFormView* owner) : CStepPage(owner), m_pOwner(owner)
{
    setObjectName(QString::number(IDD_OUTPUT));
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 280, 234);
    m_edtSummary = new QPlainTextEdit(this);
    m_edtSummary->setObjectName(QString::number(IDC_OUTPUT_SUMMARY));
    m_edtSummary->setReadOnly(true);
    layout.Place(m_edtSummary, 8, 8, 264, 192);
    m_btnOutput = new QPushButton(Strings::Load(IDS_OUTPUT_BUTTON), this);
    m_btnOutput->setObjectName(QString::number(IDC_OUTPUT));
    layout.Place(m_btnOutput, 8, 208, 64, 18);
    connect(m_btnOutput, &QPushButton::clicked, this, &COutputDialog::OnOutput);
    OnInitDialog();
}

bool COutputDialog::OnInitDialog()
{
    UpdateSummary();
    return true;
}

void COutputDialog::UpdateSummary()
{
    const COstrelinDoc* doc = m_pOwner ? m_pOwner->GetDocument() : nullptr;
    if (doc == nullptr)
        return;
    QString text = BuildOutputSummary(doc->GetBindData(), m_pOwner->m_strProjectPath);
    m_edtSummary->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void COutputDialog::OnShowWindow(bool show)
{
    if (show)
        UpdateSummary();
}

void COutputDialog::OnOutput()
{
    // Nothing thrown below leaves the button's handler; the dialog goes with the stack.
    RunCommandHandler([this] { RunOutputCommand(); }, IDS_MEMORY_EXCEPTION, IDS_COMMAND_FAILED);
}

void COutputDialog::RunOutputCommand()
{
    CMainFormView* view = m_pOwner;
    if (view == nullptr || view->GetDocument() == nullptr || view->IsBusy())
        return;
    // One long operation from the check to the last message: nothing replaces, changes,
    // saves or leaves the project meanwhile, whatever window is active; a termination
    // request cancels the run like the Cancel button.
    CLongOperation operation;
    // What an output that never ended held aside comes back before anything else; then the
    // output starts from the data on disk.
    CLastOutput(view->m_strProjectPath).Recover();
    view->RescanChangedContent();
    auto progress = std::make_unique<CProgressDlg>();
    if (!progress->Create(view))
        return;
    operation.SetCancelHandler([dialog = progress.get()] { dialog->RequestCancel(); });
    // The view knows the dialog while it lives; the run is given it.
    view->m_pProgressDlg = progress.get();
    progress->SetRange(0, kProgressUpper);
    progress->SetPos(0);
    progress->setWindowTitle(Strings::Load(IDS_OUTPUT_PROGRESS_CAPTION));
    progress->SetMessageText(Strings::Load(IDS_OUTPUT_PROGRESS_TEXT));
    progress->show();

    COutputRun run = view->OutputRun(progress.get());
    bool cancelled = false;
    QString report;
    const bool passed = run.CheckStepData(report, &cancelled);
    COutputRun::Outcome outcome;
    if (cancelled)
        outcome.result = COutputRun::Outcome::Cancelled;
    else if (passed)
        outcome = run.RunOutput();
    operation.SetCancelHandler({});
    progress.reset();
    // The program ends: the run has put the last output back, nothing waits for the author.
    if (CLongOperation::IsTerminationRequested())
        return;
    if (!passed)
    {
        CReportDialog dialog(Strings::Load(IDS_CHECK_FOUND), report, this);
        dialog.DoModal();
        return;
    }
    if (!outcome.message.isEmpty())
        AfxMessageBox(outcome.message, outcome.flags);
    if (outcome.result != COutputRun::Outcome::Done)
        AfxMessageBox(IDS_OUTPUT_CANCELLED, MB_OK | MB_ICONINFORMATION);
    else if (outcome.warnings.isEmpty())
        AfxMessageBox(IDS_OUTPUT_DONE, MB_OK | MB_ICONINFORMATION);
    else
        AfxMessageBox(outcome.warnings.join(u'\n'), MB_OK | MB_ICONEXCLAMATION);
}
