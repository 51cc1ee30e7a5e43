#include "platform/Spreadsheet.h"

#include "platform/Path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

namespace
{
// The types a spreadsheet program registers for, newest first.
const char* const SpreadsheetTypes[] = {
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
    "application/vnd.ms-excel",
    "application/vnd.oasis.opendocument.spreadsheet",
};

QStringList SearchDirs(const char* homeVariable, const QString& homeDefault,
                       const char* dirsVariable, const QString& dirsDefault, const QString& sub)
{
    QStringList out;
    QString home = qEnvironmentVariable(homeVariable);
    if (home.isEmpty())
        home = homeDefault;
    out << home + sub;
    QString dirs = qEnvironmentVariable(dirsVariable);
    if (dirs.isEmpty())
        dirs = dirsDefault;
    for (const QString& d : dirs.split(u':', Qt::SkipEmptyParts))
        out << d + sub;
    return out;
}

// The value of key in [group] of a desktop-entry style file.
QString ReadEntry(const QString& file, const QString& group, const QString& key)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&f);
    bool inGroup = false;
    while (!in.atEnd())
    {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'['))
        {
            inGroup = line == u'[' + group + u']';
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && line.left(eq).trimmed() == key)
            return line.mid(eq + 1).trimmed();
    }
    return QString();
}

// The desktop file of the default program for a spreadsheet type, from the mimeapps.list files.
QString DefaultDesktopFile()
{
    const QString home = QDir::homePath();
    QStringList lists;
    for (const QString& d :
         SearchDirs("XDG_CONFIG_HOME", home + "/.config", "XDG_CONFIG_DIRS", "/etc/xdg", ""))
        lists << d + "/mimeapps.list";
    const QStringList appDirs = SearchDirs("XDG_DATA_HOME", home + "/.local/share", "XDG_DATA_DIRS",
                                           "/usr/local/share:/usr/share", "/applications");
    for (const QString& d : appDirs)
        lists << d + "/mimeapps.list";
    for (const char* type : SpreadsheetTypes)
    {
        for (const QString& list : lists)
        {
            const QString ids = ReadEntry(list, "Default Applications", QString::fromLatin1(type));
            for (const QString& id : ids.split(u';', Qt::SkipEmptyParts))
            {
                for (const QString& d : appDirs)
                {
                    const QString file = d + u'/' + id.trimmed();
                    if (QFileInfo(file).isFile())
                        return file;
                }
            }
        }
    }
    return QString();
}

// Splits a desktop entry's Exec value into arguments (double quotes with backslash escapes).
QStringList SplitExec(const QString& exec)
{
    QStringList out;
    QString current;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < exec.size(); ++i)
    {
        const QChar c = exec[i];
        if (quoted)
        {
            if (c == u'\\' && i + 1 < exec.size())
                current += exec[++i];
            else if (c == u'"')
                quoted = false;
            else
                current += c;
        }
        else if (c == u'"')
        {
            quoted = true;
            any = true;
        }
        else if (c == u' ' || c == u'\t')
        {
            if (any || !current.isEmpty())
                out << current;
            current.clear();
            any = false;
        }
        else
            current += c;
    }
    if (any || !current.isEmpty())
        out << current;
    return out;
}

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
    bool IsInstalled() override
    {
        return !Spreadsheet::ReadOnlyCommand(QStringLiteral("x")).program.isEmpty();
    }
    bool OpenReadOnly(const QString& path, const OpenFailed& failed) override
    {
        const CommandLine command = Spreadsheet::ReadOnlyCommand(path);
        if (command.program.isEmpty())
            return false;
        const QString folder = Path::RemoveFileSpec(Path::Resolve(path));
        return Opener::Start(command, QFileInfo(folder).isDir() ? folder : QString(), failed);
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

bool RecordingSpreadsheet::OpenReadOnly(const QString& path, const OpenFailed& failed)
{
    opened << path;
    if (!result && failed)
        failed(program);
    return result;
}

CommandLine Spreadsheet::CommandFromExec(const QString& exec, const QString& path)
{
    const QStringList parts = SplitExec(exec);
    if (parts.isEmpty())
        return CommandLine();
    QStringList args;
    bool placed = false;
    for (qsizetype i = 1; i < parts.size(); ++i)
    {
        const QString& part = parts[i];
        if (part == u"%f" || part == u"%F" || part == u"%u" || part == u"%U" || part == u"%1")
        {
            args << path;
            placed = true;
            continue;
        }
        // Other field codes (%i, %c, %k, ...) carry nothing here; "%%" is a percent sign.
        QString arg;
        for (qsizetype k = 0; k < part.size(); ++k)
        {
            if (part[k] == u'%' && k + 1 < part.size())
            {
                const QChar code = part[++k];
                if (code == u'%')
                    arg += u'%';
                else if (code == u'f' || code == u'F' || code == u'u' || code == u'U' ||
                         code == u'1')
                {
                    arg += path;
                    placed = true;
                }
                continue;
            }
            arg += part[k];
        }
        if (!arg.isEmpty())
            args << arg;
    }
    if (!placed)
        args << path;
    return CommandLine(parts.first(), args);
}

CommandLine Spreadsheet::ReadOnlyCommand(const QString& path)
{
    const QString resolved = Path::Resolve(path);
    const QString desktop = DefaultDesktopFile();
    if (!desktop.isEmpty())
    {
        const QString exec = ReadEntry(desktop, "Desktop Entry", "Exec");
        CommandLine command = CommandFromExec(exec, resolved);
        if (!command.program.isEmpty())
            return command;
    }
    const QString program = OfficeProgram();
    if (program.isEmpty())
        return CommandLine();
    return CommandLine(program, {QStringLiteral("--calc"), QStringLiteral("--view"), resolved});
}

bool Spreadsheet::IsInstalled()
{
    return Current().IsInstalled();
}

bool Spreadsheet::OpenReadOnly(const QString& path, const OpenFailed& failed)
{
    return Current().OpenReadOnly(path, failed);
}

SpreadsheetBackend& Spreadsheet::Current()
{
    return g_backend ? *g_backend : g_desktop;
}

void Spreadsheet::SetBackend(SpreadsheetBackend* backend)
{
    g_backend = backend;
}
