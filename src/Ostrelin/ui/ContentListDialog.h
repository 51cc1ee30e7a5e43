#pragma once
// Step page 5: the guide-number registrations, with add rows in the gaps, moves, deletes,
// the bulk registrations, renumbering and the check in work-number order.
#include "Ostrelin/ui/ListStepPage.h"

class CContentCheckDialog;
class CContentEditDialog;

class CContentListDialog : public CListStepPage
{
    Q_OBJECT
public:
    explicit CContentListDialog(QWidget* parent = nullptr);

    bool OnInitDialog();
    void FillList() override;
    bool CheckStep(QString& error) override;

    void OnDblClkList() override;
    void OnMoveUp();
    void OnMoveDown();
    void OnDelete();
    void OnRegisterSequential();
    void OnRegisterByWorkNumber();
    void OnRenumber();
    void OnCheck();

protected:
    // The modal runs; tests drive the dialogs through them.
    virtual int RunEditDialog(CContentEditDialog& dialog);
    virtual int RunCheckDialog(CContentCheckDialog& dialog);

private:
    // The selected rows' guide numbers, top to bottom; add rows are skipped.
    QList<int> SelectedGuideNumbers() const;
    // After a change: the window updates, the refill, and the same row index on top.
    void RefillKeepingTop(int top);
    void SelectGuideNumbers(const QList<int>& numbers);
};
