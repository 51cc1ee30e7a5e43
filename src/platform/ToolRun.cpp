#include "platform/ToolRun.h"

#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/TempFolder.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>

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

// Wine's own first lines are enough to tell why; the rest is noise of its services.
constexpr int kWineLinesShown = 5;
constexpr qint64 kStandardErrorRead = 64 * 1024;

QString FileNameOf(const CommandLine& command)
{
    return Path::FindFileName(Path::ToNative(
        command.windowsProgram.isEmpty() ? command.program : command.windowsProgram));
}
} // namespace

QString ToolResult::NotStartedReason(unsigned cannotRun32Id, unsigned wineFailedId,
                                     unsigned prefixUnusableId) const
{
    if (outcome != NotStarted)
        return {};
    switch (reason)
    {
    case CannotRun32:
        return FormatString(cannotRun32Id, {program});
    case WineFailed:
        return FormatString(wineFailedId, {program, wineOutput});
    case PrefixUnusable:
        return FormatString(prefixUnusableId, {program, prefix});
    case StartFailed:
        break;
    }
    return {};
}

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

void ToolRun::SetStandardErrorFile(const QString& path)
{
    m_stderr = path;
}

bool ToolRun::Start(const CommandLine& command, const QString& workingFolder)
{
    if (IsRunning())
        return false;
    m_cancelled = false;
    m_error.clear();
    m_command = command;
    m_process.reset();
    m_cannotRun32 = command.cannotRun32;
    if (m_cannotRun32)
        return false;
    m_stderrFile = m_stderr;
    if (m_stderrFile.isEmpty())
    {
        const QString folder = TempFolder();
        if (!folder.isEmpty())
            m_stderrFile = Path::Append(folder, Path::RemoveExtension(FileNameOf(command)) +
                                                    QStringLiteral(".err"));
    }
    auto process = std::make_unique<ChildProcess>();
    if (!m_stdout.isEmpty())
        process->SetStandardOutputFile(m_stdout);
    if (!m_stderrFile.isEmpty())
        process->SetStandardErrorFile(m_stderrFile);
    if (!process->Start(command, workingFolder))
    {
        m_error = process->ErrorString();
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

void ToolRun::ReadWineVerdict(ToolResult& result) const
{
    QFile file(m_stderrFile);
    if (m_stderrFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    static const QRegularExpression debugChannel(
        QStringLiteral("^([0-9a-fA-F]+:)?(err|warn|fixme|trace):"));
    QStringList shown;
    bool wineSaid = false;
    for (QString line : QString::fromUtf8(file.read(kStandardErrorRead)).split(u'\n'))
    {
        if (line.endsWith(u'\r'))
            line.chop(1);
        // Wine's own report of an exception nothing handled (with or without its debugger).
        if (line.startsWith(QLatin1String("wine: Unhandled ")) ||
            line.startsWith(QLatin1String("Unhandled exception: ")))
        {
            result.outcome = ToolResult::Signalled;
            result.exitCode = 0;
            return;
        }
        if (line.trimmed().isEmpty() || debugChannel.match(line).hasMatch())
            continue;
        // The note of a prefix made on this first start is no failure.
        if (line.startsWith(QLatin1String("wine: ")) &&
            !line.startsWith(QLatin1String("wine: created the configuration directory")))
            wineSaid = true;
        if (shown.size() < kWineLinesShown)
            shown << line;
    }
    if (result.outcome != ToolResult::Exited || result.exitCode == 0)
        return;
    // The launcher's shell could not execute the loader (126), or found none (127).
    const bool launcherFailed =
        (result.exitCode == 126 || result.exitCode == 127) && !shown.isEmpty();
    if (wineSaid || launcherFailed)
    {
        result.outcome = ToolResult::NotStarted;
        result.reason = ToolResult::WineFailed;
        result.exitCode = 0;
        result.wineOutput = shown.join(u'\n');
    }
}

ToolResult ToolRun::Result() const
{
    ToolResult result;
    result.program = FileNameOf(m_command);
    if (!m_process)
    {
        result.error = m_error;
        if (m_cannotRun32)
            result.reason = ToolResult::CannotRun32;
        else if (!m_command.windowsProgram.isEmpty() && !m_error.isEmpty())
        {
            // The loader itself could not be executed.
            result.reason = ToolResult::WineFailed;
            result.wineOutput = m_error;
        }
        return result;
    }
    if (m_cancelled)
        result.outcome = ToolResult::Cancelled;
    else if (m_process->IsRunning())
        result.outcome = ToolResult::Running;
    else if (m_process->Crashed())
        result.outcome = ToolResult::Signalled;
    else
    {
        result.outcome = ToolResult::Exited;
        result.exitCode = m_process->ExitCode();
    }
    if (!m_command.windowsProgram.isEmpty() && result.outcome == ToolResult::Exited)
        ReadWineVerdict(result);
    return result;
}

ToolResult RunTool(const CommandLine& command, const QString& workingFolder, const ToolWait& wait)
{
    ToolRun run;
    if (!run.Start(command, workingFolder))
        return run.Result();
    return run.Wait(wait);
}
