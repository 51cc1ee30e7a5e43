#include "platform/Spreadsheet.h"

#include "platform/Path.h"

#include <QProcess>
#include <QStandardPaths>

namespace
{
QString OfficeProgram()
{
    for (const char* name : {"libreoffice", "soffice", "localc"})
    {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

class DesktopSpreadsheet : public SpreadsheetBackend
{
public:
    bool IsInstalled() override { return !OfficeProgram().isEmpty(); }
    bool OpenReadOnly(const QString& path) override
    {
        const CommandLine command = Spreadsheet::ReadOnlyCommand(path);
        if (command.program.isEmpty())
            return false;
        return QProcess::startDetached(command.program, command.arguments);
    }
};

DesktopSpreadsheet g_desktop;
SpreadsheetBackend* g_backend = nullptr;
} // namespace

SpreadsheetBackend::~SpreadsheetBackend() = default;

RecordingSpreadsheet::RecordingSpreadsheet() : m_previous(&Spreadsheet::Current())
{
    Spreadsheet::SetBackend(this);
}

RecordingSpreadsheet::~RecordingSpreadsheet()
{
    if (&Spreadsheet::Current() == this)
        Spreadsheet::SetBackend(m_previous);
}

bool RecordingSpreadsheet::OpenReadOnly(const QString& path)
{
    opened << path;
    return result;
}

CommandLine Spreadsheet::ReadOnlyCommand(const QString& path)
{
    const QString program = OfficeProgram();
    if (program.isEmpty())
        return CommandLine();
    return CommandLine(program,
                       {QStringLiteral("--calc"), QStringLiteral("--view"), Path::Resolve(path)});
}

bool Spreadsheet::IsInstalled()
{
    return Current().IsInstalled();
}

bool Spreadsheet::OpenReadOnly(const QString& path)
{
    return Current().OpenReadOnly(path);
}

SpreadsheetBackend& Spreadsheet::Current()
{
    return g_backend ? *g_backend : g_desktop;
}

void Spreadsheet::SetBackend(SpreadsheetBackend* backend)
{
    g_backend = backend;
}
