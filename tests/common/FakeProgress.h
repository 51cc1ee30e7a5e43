#pragma once
// A progress dialog without a window for the runs behind COutputProgress, with the strictest
// rule of the real dialogs: once the percent text reads "100%" a step neither pumps nor moves
// the bar (the hub's dialog; the content editor's still pumps there, which no run may rely
// on). A pump serves the queued events (a Cancel click the test queued is only seen through
// one) and raises the cancel flag when the test's condition holds.
#include "platform/OutputProgress.h"

#include <QCoreApplication>
#include <algorithm>
#include <functional>
#include <vector>

namespace TestSupport
{
class FakeProgress : public COutputProgress
{
public:
    // The range the hub's output sets.
    static constexpr int kUpper = 10000;

    // The range 0..upper and the first step size (the content editor's dialog: 100 and 2).
    explicit FakeProgress(int upper = kUpper, int step = 10) : m_upper(upper), m_step(step) {}

    void SetStep(int step) override { m_step = step; }
    int StepIt() override
    {
        if (m_pos * 100 / m_upper >= 100)
            return m_upper;
        PumpMessages();
        m_pos = std::min(m_upper, m_pos + m_step);
        steps.push_back(m_step);
        return m_pos;
    }
    void PumpMessages() override
    {
        ++pumps;
        QCoreApplication::processEvents();
        if (!cancel && cancelWhen && cancelWhen())
            cancel = true;
    }
    bool IsCancelRequested() const override { return cancel; }
    int Complete() override
    {
        const int previous = m_pos;
        PumpMessages();
        completedFrom = previous;
        m_pos = m_upper;
        return previous;
    }
    int Position() const { return m_pos; }
    // Moves the bar as the owner of the dialog does (no pump).
    void SetPosition(int position) { m_pos = position; }
    int Count(int step) const { return int(std::count(steps.begin(), steps.end(), step)); }
    // The Cancel button pressed: seen at the next pump.
    void ClickCancel()
    {
        QMetaObject::invokeMethod(
            qApp, [this] { cancel = true; }, Qt::QueuedConnection);
    }

    std::function<bool()> cancelWhen;
    bool cancel = false;
    int pumps = 0;
    int completedFrom = -1;
    std::vector<int> steps;

private:
    int m_upper;
    int m_step;
    int m_pos = 0;
};
} // namespace TestSupport
