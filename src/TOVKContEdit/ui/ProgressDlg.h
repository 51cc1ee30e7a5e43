#pragma once
// The modeless progress dialog of a long operation on the user-interface thread. While it
// exists it holds its owner disabled; each step first empties the event queue, which keeps
// the program painted.
#include "framework/ProgressDlgBase.h"
#include "platform/OutputProgress.h"

class CProgressDlg : public CProgressDlgBase, public COutputProgress
{
    Q_OBJECT
public:
    CProgressDlg();

    // Disables the owner (the given window, else the application's main window) when it is
    // enabled, builds and shows the dialog. False when it could not be made (the owner is
    // enabled again).
    bool Create(QWidget* owner = nullptr);

    // Pumps the events; below the upper bound, steps the bar and updates the percent text.
    // Returns the position after the step, or the upper bound without stepping.
    int StepIt() override;
    void SetStep(int step) override { m_nStep = step; }
    void PumpMessages() override { CProgressDlgBase::PumpMessages(); }
    bool IsCancelRequested() const override { return CProgressDlgBase::IsCancelRequested(); }
    // Puts the bar at its upper bound; returns the previous position.
    int Complete() override;
    // Writes the percent text of the position, only when it changes.
    void UpdatePercent(int position);

    QLabel* Label() const { return TextLabel(); }
};
