#include "platform/ExternalTool.h"

#include "platform/Path.h"
#include "platform/Wine.h"

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
