#pragma once
// The hub's modeless progress dialog of the output: a message, a bar, a percent text and
// Cancel. While it exists it holds its owner disabled; each step first empties the event
// queue. The cancel flag, once raised, stays raised.
#include "framework/ProgressDlgBase.h"
#include "platform/OutputProgress.h"

class CProgressDlg : public CProgressDlgBase, public COutputProgress
{
    Q_OBJECT
public:
    CProgressDlg();

    // Disables the owner (the given window, else the application's main window) when it is
    // enabled and builds the dialog. False when it could not be made (the owner is enabled
    // again).
    bool Create(QWidget* owner = nullptr);

    void SetRange(int lower, int upper);
    void SetStep(int step) override;
    void SetMessageText(const QString& text);

    // Once the percent text reads "100%" nothing happens and the upper bound is returned;
    // otherwise pumps, steps the bar and updates the percent text.
    int StepIt() override;
    void PumpMessages() override { CProgressDlgBase::PumpMessages(); }
    // The percent of the position, capped at 100, written only when it changes.
    void UpdatePercent(int position);
    // Pumps, then puts the bar at its end; returns the previous position.
    int Complete() override;
    bool IsCancelRequested() const override { return CProgressDlgBase::IsCancelRequested(); }

    QLabel* MessageLabel() const { return TextLabel(); }
};
