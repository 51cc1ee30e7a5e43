#include "Ostrelin/ui/ChildProcesses.h"

#include "Ostrelin/model/PathHelpers.h"
#include "Ostrelin/res/resource.h"
#include "framework/LongOperation.h"
#include "platform/HandOver.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Spreadsheet.h"
#include "platform/Strings.h"
#include "platform/TempFolder.h"
#include "platform/Wine.h"

#include <QCoreApplication>
#include <QFile>

namespace
{
QString g_appFolderOverride;
} // namespace

bool IsProcessRunning(const CProcessHolder& holder)
{
    return holder.process && holder.process->IsRunning();
}

QString GetAppFolder()
{
    if (!g_appFolderOverride.isEmpty())
        return g_appFolderOverride;
    return QCoreApplication::applicationDirPath();
}

QString GetBinFolder()
{
    return AppendPath(GetAppFolder(), QStringLiteral("bin"));
}

void SetAppFolderOverride(const QString& folder)
{
    g_appFolderOverride = folder;
}

bool StartChildProcess(CProcessHolder& holder, const CommandLine& command,
                       const QString& currentFolder)
{
    if (IsProcessRunning(holder))
        return false;
    // A failed start stays in the holder, so its outcome tells why.
    holder.process = std::make_unique<ToolRun>();
    const QString folder = currentFolder.isEmpty() ? GetAppFolder() : currentFolder;
    return holder.process->Start(command, folder);
}

ToolResult RunProcessAndWait(const CommandLine& command, std::function<void()> step)
{
    const CLongOperation operation;
    return operation.RunTool(command, GetBinFolder(), std::move(step));
}

ToolResult RunProcessAndWait(const CommandLine& command, const ToolWait& wait)
{
    return RunTool(command, GetBinFolder(), wait);
}

OpenFailed ReportOpenFailure(const QString& path)
{
    return [path](const QString& program) {
        AfxMessageBox(FormatString(IDS_OPEN_FAILED, {path, program}), MB_OK | MB_ICONEXCLAMATION);
    };
}

bool OpenXmlInExcel(const QString& xmlPath)
{
    if (!Spreadsheet::IsInstalled())
        return false;
    return Spreadsheet::OpenReadOnly(xmlPath, ReportOpenFailure(xmlPath));
}

bool ClearRegistryString(const QString& name)
{
    return HandOver::ClearValue(name);
}

bool ReadRegistryString(const QString& name, QString& value)
{
    return HandOver::ReadValue(name, value);
}

namespace
{
QString HandOverKey()
{
    return QStringLiteral("Software\\%1\\%2")
        .arg(QStringLiteral("Quorvane"), QStringLiteral("KPVantiloq"));
}
} // namespace

bool ClearRegistryString(const QString& name, const ExternalTool& editor, ToolResult* result,
                         std::function<void()> step)
{
    if (!editor.IsWindows())
        return ClearRegistryString(name);
    const ToolResult cleared =
        RunProcessAndWait(Wine::ClearValueCommand(HandOverKey(), name), std::move(step));
    if (result)
        *result = cleared;
    return cleared.Succeeded();
}

bool ReadRegistryString(const QString& name, QString& value, const ExternalTool& editor,
                        std::function<void()> step)
{
    if (!editor.IsWindows())
        return ReadRegistryString(name, value);
    const QString folder = TempFolder();
    if (folder.isEmpty())
        return false;
    const QString file = AppendPath(folder, QStringLiteral("KPVantiloq.reg"));
    QFile::remove(file);
    const bool exported =
        RunProcessAndWait(Wine::ExportKeyCommand(HandOverKey(), file), std::move(step)).Succeeded();
    const std::optional<QByteArray> read =
        exported ? Path::OpenRegularFile(file).ReadAll() : std::nullopt;
    const QByteArray bytes = read.value_or(QByteArray());
    QFile::remove(file);
    QString text;
    if (!Wine::ReadExportedValue(bytes, name, text) || text.size() > HandOver::MaxValueLength)
        return false;
    const QString native = Wine::NativePath(text);
    if (native.isEmpty() && !text.isEmpty())
        return false;
    value = native;
    return true;
}
