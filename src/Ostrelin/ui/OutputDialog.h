#pragma once
// Step 7, "7. 出力": a read-only summary of what the output produces and where, and the
// button that runs the output under the progress dialog.
#include "Ostrelin/ui/StepPage.h"

class CMainFormView;
class QPlainTextEdit;
class QPushButton;

class COutputDialog : public CStepPage
{
    Q_OBJECT
public:
    explicit COutputDialog(CMainFormView* owner);

    bool OnInitDialog();
    void UpdateSummary();
    void Refresh() override { UpdateSummary(); }

    // The output: the check, then the run; the completion, cancel or report at the end.
    void OnOutput();

    QPlainTextEdit* SummaryEdit() const { return m_edtSummary; }
    QPushButton* OutputButton() const { return m_btnOutput; }

    // The summary is rebuilt whenever the page is shown.
    void OnShowWindow(bool show) override;

private:
    void RunOutputCommand();

    CMainFormView* m_pOwner;
    QPlainTextEdit* m_edtSummary = nullptr;
    QPushButton* m_btnOutput = nullptr;
};
