#pragma once
// Step page 5: the guide-number registrations, with add rows in the gaps, moves, deletes,
// the bulk registrations, renumbering and the check in work-number order.
#include "Ostrelin/ui/StepPage.h"

class CContentCheckDialog;
class CContentEditDialog;
class CReportList;
class QPushButton;
class QShowEvent;

class CContentListDialog : public CStepPage
{
    Q_OBJECT
public:
    explicit CContentListDialog(QWidget* parent = nullptr);

    bool OnInitDialog();
    // Rebuilds every row from the active project.
    void FillList();
    void Refresh() override { FillList(); }
    bool CheckStep(QString& error) override;
    bool PreTranslateMessage(QKeyEvent* event) override;

    void OnDblClkList();
    void OnMoveUp();
    void OnMoveDown();
    void OnDelete();
    void OnRegisterSequential();
    void OnRegisterByWorkNumber();
    void OnRenumber();
    void OnCheck();
    void OnShowWindow(bool show);

    CReportList* List() const { return m_list; }

protected:
    // The modal runs; tests drive the dialogs through them.
    virtual int RunEditDialog(CContentEditDialog& dialog);
    virtual int RunCheckDialog(CContentCheckDialog& dialog);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The selected rows' guide numbers, top to bottom; add rows are skipped.
    QList<int> SelectedGuideNumbers() const;
    // After a change: the window updates, the refill, and the same row index on top.
    void RefillKeepingTop(int top);
    void SelectGuideNumbers(const QList<int>& numbers);
    void ReselectGuide(int guideNo, int top);

    CReportList* m_list = nullptr;
};
