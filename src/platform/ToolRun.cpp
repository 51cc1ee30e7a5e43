#include "platform/ToolRun.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace
{
// A slice of the wait: the child's end, or the slice's length.
bool WaitSlice(const ToolWait& wait, ChildProcess& child, int ms)
{
    return wait.clock ? wait.clock->WaitSlice(child, ms) : child.WaitFor(ms);
}

void Pump(const ToolWait& wait)
{
    if (wait.pump)
        wait.pump();
    else if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

int SliceOf(const ToolWait& wait)
{
    return wait.sliceMs > 0 ? wait.sliceMs : 1;
}
} // namespace

ToolRun::ToolRun() = default;

ToolRun::~ToolRun()
{
    if (IsRunning())
        Cancel();
}

void ToolRun::SetStandardOutputFile(const QString& path)
{
    m_stdout = path;
}

bool ToolRun::Start(const CommandLine& command, const QString& workingFolder)
{
    if (IsRunning())
        return false;
    m_cancelled = false;
    m_error.clear();
    auto process = std::make_unique<ChildProcess>();
    if (!m_stdout.isEmpty())
        process->SetStandardOutputFile(m_stdout);
    if (!process->Start(command, workingFolder, true))
    {
        m_error = process->ErrorString();
        m_process.reset();
        return false;
    }
    m_process = std::move(process);
    return true;
}

bool ToolRun::IsRunning() const
{
    return m_process && m_process->IsRunning();
}

qint64 ToolRun::ProcessId() const
{
    return m_process ? m_process->ProcessId() : 0;
}

ToolResult ToolRun::Wait(const ToolWait& wait)
{
    const int slice = SliceOf(wait);
    while (m_process && !WaitSlice(wait, *m_process, slice))
    {
        Pump(wait);
        if (wait.step)
            wait.step();
        // The pump may have ended the child already; its own end wins over a late cancel.
        if (wait.cancel && m_process->IsRunning() && wait.cancel())
        {
            Cancel(wait);
            break;
        }
    }
    return Result();
}

void ToolRun::Cancel(const ToolWait& wait)
{
    if (!IsRunning())
        return;
    m_cancelled = true;
    m_process->KillGroup();
    const int slice = SliceOf(wait);
    for (int waited = 0; waited < ReapLimitMs && !WaitSlice(wait, *m_process, slice);
         waited += slice)
        Pump(wait);
}

ToolResult ToolRun::Result() const
{
    ToolResult result;
    if (!m_process)
    {
        result.error = m_error;
        return result;
    }
    if (m_cancelled)
        result.outcome = ToolResult::Cancelled;
    else if (m_process->IsRunning())
        result.outcome = ToolResult::NotStarted;
    else if (m_process->Crashed())
        result.outcome = ToolResult::Signalled;
    else
    {
        result.outcome = ToolResult::Exited;
        result.exitCode = m_process->ExitCode();
    }
    return result;
}

ToolResult RunTool(const CommandLine& command, const QString& workingFolder, const ToolWait& wait)
{
    ToolRun run;
    if (!run.Start(command, workingFolder))
        return run.Result();
    return run.Wait(wait);
}
