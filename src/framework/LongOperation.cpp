#include "framework/LongOperation.h"

#include "framework/ProgressPump.h"

#include <QTimer>
#include <utility>

namespace
{
CLongOperation* g_current = nullptr;
WaitClock* g_clock = nullptr;
bool g_terminating = false;
std::function<void()> g_end;

void EndProgramLater()
{
    if (!g_end)
        return;
    // From the event loop: the operation's callers have unwound by then.
    QTimer::singleShot(0, [end = std::exchange(g_end, {})] { end(); });
}
} // namespace

CLongOperation::CLongOperation() : m_outer(g_current)
{
    g_current = this;
    // An operation begun after a termination request is over before it starts.
    if (g_terminating)
        m_cancelled = true;
}

CLongOperation::~CLongOperation()
{
    g_current = m_outer;
    if (g_current == nullptr && g_terminating)
        EndProgramLater();
}

bool CLongOperation::IsBusy()
{
    return g_current != nullptr;
}

CLongOperation* CLongOperation::Current()
{
    return g_current;
}

void CLongOperation::RequestCancel()
{
    m_cancelled = true;
    if (m_onCancel)
        m_onCancel();
}

bool CLongOperation::IsCancelRequested() const
{
    return m_cancelled || (m_cancelTest && m_cancelTest());
}

ToolWait CLongOperation::Wait(std::function<void()> step, int sliceMs) const
{
    ToolWait wait;
    wait.sliceMs = sliceMs;
    wait.clock = g_clock;
    wait.pump = [] { ProgressPump::PumpMessages(); };
    wait.step = std::move(step);
    wait.cancel = [this] { return IsCancelRequested(); };
    return wait;
}

ToolResult CLongOperation::RunTool(const CommandLine& command, const QString& workingFolder,
                                   std::function<void()> step, int sliceMs) const
{
    return ::RunTool(command, workingFolder, Wait(std::move(step), sliceMs));
}

void CLongOperation::SetWaitClock(WaitClock* clock)
{
    g_clock = clock;
}

WaitClock* CLongOperation::Clock()
{
    return g_clock;
}

void CLongOperation::RequestTermination(std::function<void()> end)
{
    g_terminating = true;
    g_end = std::move(end);
    if (g_current == nullptr)
    {
        EndProgramLater();
        return;
    }
    for (CLongOperation* operation = g_current; operation; operation = operation->m_outer)
        operation->RequestCancel();
}

bool CLongOperation::IsTerminationRequested()
{
    return g_terminating;
}

void CLongOperation::ResetTermination()
{
    g_terminating = false;
    g_end = {};
}
