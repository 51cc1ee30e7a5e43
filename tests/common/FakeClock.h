#pragma once
// Fake time for the waits on a tool: each slice only looks at the child (after a pause of a
// fraction of a millisecond, so the child gets the processor) and moves the clock on by the
// slice's length; actions fire once their time has come. A hung tool can so be waited on
// for minutes of the clock in a moment of real time.
#include "platform/ToolRun.h"

#include <QtGlobal>
#include <functional>
#include <map>
#include <unistd.h>

class FakeClock : public WaitClock
{
public:
    bool WaitSlice(ChildProcess& child, int ms) override
    {
        if (child.WaitFor(0))
            return true;
        ::usleep(200);
        m_now += ms;
        while (!m_actions.empty() && m_actions.begin()->first <= m_now)
        {
            const auto action = m_actions.begin()->second;
            m_actions.erase(m_actions.begin());
            action();
        }
        return child.WaitFor(0);
    }

    // Runs the action once the clock has reached the time.
    void At(qint64 ms, std::function<void()> action) { m_actions.emplace(ms, std::move(action)); }
    qint64 Now() const { return m_now; }

private:
    qint64 m_now = 0;
    std::multimap<qint64, std::function<void()>> m_actions;
};
