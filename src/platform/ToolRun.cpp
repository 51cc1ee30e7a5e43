#include "platform/ToolRun.h"

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
    const int slice = wait.sliceMs > 0 ? wait.sliceMs : 1;
    while (m_process && !m_process->WaitFor(slice))
    {
        if (wait.pump)
            wait.pump();
        // The pump may have ended the child already; its own end wins over a late cancel.
        if (wait.cancel && m_process->IsRunning() && wait.cancel())
        {
            Cancel();
            break;
        }
    }
    return Result();
}

void ToolRun::Cancel()
{
    if (!IsRunning())
        return;
    m_cancelled = true;
    m_process->Terminate();
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
