#include "platform/ExternalTool.h"

#include "platform/Path.h"
#include "platform/Wine.h"

#include <QFile>
#include <unistd.h>

ExternalTool ExternalTool::Find(const QString& folder, const QString& baseName)
{
    ExternalTool tool;
    tool.m_program = Path::Append(folder, baseName);
    if (Path::IsRegularFile(tool.m_program))
    {
        tool.m_kind = Kind::Native;
        tool.m_program = Path::Resolve(tool.m_program);
        return tool;
    }
    const QStringList windows =
        Path::Find(folder, baseName + QStringLiteral(".exe"), Path::FindFilesOnly);
    if (!windows.isEmpty() && !Wine::Program().isEmpty())
    {
        tool.m_kind = Kind::Windows;
        tool.m_program = Path::Append(Path::Resolve(folder), windows.first());
    }
    return tool;
}

bool ExternalTool::IsStartable(ToolResult* why, const ToolWait& wait) const
{
    ToolResult result;
    result.program = Path::FindFileName(m_program);
    const auto notStartable = [&](ToolResult::Outcome outcome, ToolResult::Reason reason)
    {
        result.outcome = outcome;
        result.reason = reason;
        if (why)
            *why = result;
        return false;
    };
    if (m_kind == Kind::Missing)
    {
        result.error = QStringLiteral("no program ") + m_program;
        return notStartable(ToolResult::NotStarted, ToolResult::StartFailed);
    }
    if (m_kind == Kind::Native)
    {
        if (::access(QFile::encodeName(m_program).constData(), X_OK) != 0)
        {
            result.error = QStringLiteral("not executable: ") + m_program;
            return notStartable(ToolResult::NotStarted, ToolResult::StartFailed);
        }
        return true;
    }
    bool cancelled = false;
    const Wine::Loader loader = Wine::LoaderFor(Wine::MachineOf(m_program), wait, &cancelled);
    if (cancelled)
        return notStartable(ToolResult::Cancelled, ToolResult::StartFailed);
    if (loader.cannotRun32)
        return notStartable(ToolResult::NotStarted, ToolResult::CannotRun32);
    if (Wine::PrefixStateOf(Wine::Prefix()) != Wine::PrefixState::Usable)
    {
        result.prefix = Wine::Prefix();
        return notStartable(ToolResult::NotStarted, ToolResult::PrefixUnusable);
    }
    return true;
}

QString ExternalTool::ToolPath(const QString& nativePath) const
{
    return IsWindows() ? Wine::WindowsPath(nativePath) : nativePath;
}

CommandLine ExternalTool::Command(const QStringList& arguments) const
{
    if (!IsWindows())
        return CommandLine(m_program, arguments);
    return Wine::ProgramCommand(m_program, arguments);
}

QByteArray ExternalTool::OutputEncoding() const
{
    return IsWindows() ? Wine::AnsiCodePage() : QByteArray();
}
