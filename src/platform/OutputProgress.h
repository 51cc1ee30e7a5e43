#pragma once
// What the outputs of both programs need of their progress dialog: steps that pump the
// event queue (each dialog with its own rule for a full bar), the step size, the cancel flag
// the dialog's Cancel button raises, and the jump to the end.
class COutputProgress
{
public:
    virtual ~COutputProgress() = default;

    virtual void SetStep(int step) = 0;
    // Pumps the events and advances the bar by one step; returns the position.
    virtual int StepIt() = 0;
    virtual void PumpMessages() = 0;
    virtual bool IsCancelRequested() const = 0;
    // Sets the bar to its end; returns the previous position.
    virtual int Complete() = 0;
};
