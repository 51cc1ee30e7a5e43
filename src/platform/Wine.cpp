#include "platform/Wine.h"

#include "platform/Path.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <clocale>

QString Wine::Program()
{
    return QStandardPaths::findExecutable(QStringLiteral("wine"));
}

QString Wine::Prefix()
{
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (!prefix.isEmpty())
        return prefix;
    return QDir::homePath() + QStringLiteral("/.wine");
}

Wine::Machine Wine::MachineOf(const QString& program)
{
    constexpr qsizetype kHead = 4096;
    const std::optional<QByteArray> head = Path::ReadFileHead(program, kHead);
    if (!head || !head->startsWith("MZ"))
        return Machine::Unknown;
    const auto byte = [&head](qsizetype at) { return quint32(quint8(head->at(at))); };
    const quint32 pe = byte(0x3C) | byte(0x3D) << 8 | byte(0x3E) << 16 | byte(0x3F) << 24;
    if (pe > quint32(kHead - 6) || head->mid(pe, 4) != QByteArray("PE\0\0", 4))
        return Machine::Unknown;
    switch (byte(pe + 4) | byte(pe + 5) << 8)
    {
    case 0x014C:
        return Machine::I386;
    case 0x8664:
        return Machine::X8664;
    default:
        return Machine::Unknown;
    }
}

namespace
{
QString LoaderFolder()
{
    const QString launcher = Wine::Program();
    if (launcher.isEmpty())
        return {};
    return QDir::cleanPath(QFileInfo(QFileInfo(launcher).canonicalFilePath()).path() +
                           QStringLiteral("/../lib/wine"));
}
} // namespace

QString Wine::Loader32()
{
    const QString folder = LoaderFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/wine");
}

QString Wine::Loader64()
{
    const QString folder = LoaderFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/wine64");
}

bool Wine::LoaderRuns(const QString& loader)
{
    static QHash<QString, bool> known;
    const auto found = known.constFind(loader);
    if (found != known.cend())
        return *found;
    QProcess probe;
    probe.setProgram(loader);
    probe.setArguments({QStringLiteral("--version")});
    probe.setStandardInputFile(QProcess::nullDevice());
    probe.setStandardOutputFile(QProcess::nullDevice());
    probe.setStandardErrorFile(QProcess::nullDevice());
    probe.start();
    bool runs = probe.waitForStarted(-1) && probe.waitForFinished(30000) &&
                probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
    if (probe.state() != QProcess::NotRunning)
    {
        probe.kill();
        probe.waitForFinished();
        runs = false;
    }
    known.insert(loader, runs);
    return runs;
}

Wine::Loader Wine::LoaderFor(Machine machine)
{
    Loader loader;
    loader.program = Program();
    const QString loader32 = Loader32();
    const QString loader64 = Loader64();
    // Another layout than Debian's: the launcher is all there is to go by.
    if (loader.program.isEmpty() || (!QFileInfo::exists(loader32) && !QFileInfo::exists(loader64)))
        return loader;
    if (QFileInfo::exists(loader32) && LoaderRuns(loader32))
        return loader;
    if (machine == Machine::I386)
    {
        loader.program.clear();
        loader.cannotRun32 = true;
        return loader;
    }
    if (!QFileInfo::exists(loader64))
        return loader;
    // As Debian's launcher sets them when it takes the 64-bit loader itself.
    loader.program = loader64;
    if (qEnvironmentVariableIsEmpty("WINELOADER"))
        loader.environment << QStringLiteral("WINELOADER=") + loader64;
    if (qEnvironmentVariableIsEmpty("WINEDEBUG"))
        loader.environment << QStringLiteral("WINEDEBUG=fixme-all");
    return loader;
}

CommandLine Wine::ProgramCommand(const QString& program, const QStringList& arguments)
{
    const Loader loader = LoaderFor(MachineOf(program));
    CommandLine command(loader.program, QStringList{program} + arguments);
    command.environment = loader.environment;
    // Without its debugger Wine shows no crash dialog: an unhandled exception ends the
    // program at once, with Wine's own line about it on standard error.
    QString overrides = qEnvironmentVariable("WINEDLLOVERRIDES");
    if (!overrides.isEmpty())
        overrides += u';';
    command.environment << QStringLiteral("WINEDLLOVERRIDES=") + overrides +
                               QStringLiteral("winedbg.exe=d");
    command.windowsProgram = program;
    command.cannotRun32 = loader.cannotRun32;
    return command;
}

QString Wine::WindowsPath(const QString& nativePath)
{
    QString path = nativePath;
    path.replace(u'/', u'\\');
    return nativePath.startsWith(u'/') ? QStringLiteral("Z:") + path : path;
}

QString Wine::NativePath(const QString& windowsPath)
{
    if (windowsPath.startsWith(u'/'))
        return windowsPath;
    if (windowsPath.size() < 2 || windowsPath.at(1) != u':' || !windowsPath.at(0).isLetter() ||
        windowsPath.at(0).unicode() >= 0x80)
        return {};
    const QChar drive = windowsPath.at(0).toLower();
    const QFileInfo link(Prefix() + QStringLiteral("/dosdevices/") + drive + u':');
    QString root = link.symLinkTarget();
    if (root.isEmpty() && drive == u'z')
        root = QStringLiteral("/");
    if (root.isEmpty())
        return {};
    QString rest = windowsPath.mid(2);
    rest.replace(u'\\', u'/');
    // Wine finds a name that is not there letter for letter by matching it without regard
    // to case, one component after the other.
    return Path::Resolve(QDir::cleanPath(root + u'/' + rest));
}

QByteArray Wine::AnsiCodePage()
{
    // Wine takes its system locale from the same setlocale() answer.
    return AnsiCodePageOf(std::setlocale(LC_CTYPE, nullptr));
}

QByteArray Wine::AnsiCodePageOf(const QByteArray& locale)
{
    // "C" and "POSIX" are US English.
    QByteArray name = locale;
    for (const char mark : {'.', '@'})
    {
        if (name.contains(mark))
            name.truncate(name.indexOf(mark));
    }
    const qsizetype underscore = name.indexOf('_');
    const QByteArray language = underscore < 0 ? name : name.left(underscore);
    const QByteArray territory = underscore < 0 ? QByteArray() : name.mid(underscore + 1);
    struct Entry
    {
        const char* languages;
        const char* codePage;
    };
    static const Entry table[] = {
        {" ja ", "CP932"},
        {" ko ", "windows-949"},
        {" th ", "windows-874"},
        {" vi ", "windows-1258"},
        {" cs hu pl ro sk sl hr sq bs ", "windows-1250"},
        {" ru uk be bg mk kk ky tt mn sr ", "windows-1251"},
        {" el ", "windows-1253"},
        {" tr az ", "windows-1254"},
        {" he ", "windows-1255"},
        {" ar fa ur ", "windows-1256"},
        {" et lv lt ", "windows-1257"},
    };
    if (language == "zh")
    {
        const bool traditional = territory == "TW" || territory == "HK" || territory == "MO";
        return traditional ? "windows-950" : "windows-936";
    }
    for (const Entry& entry : table)
    {
        if (!language.isEmpty() && QByteArray(entry.languages).contains(" " + language + " "))
            return entry.codePage;
    }
    return "windows-1252";
}

namespace
{
// Wine's own "reg", a 64-bit program in the prefix: it runs where any loader does.
CommandLine RegCommand(const QStringList& arguments)
{
    const Wine::Loader loader = Wine::LoaderFor(Wine::Machine::X8664);
    CommandLine command(loader.program, QStringList{QStringLiteral("reg")} + arguments);
    command.environment = loader.environment;
    command.windowsProgram = QStringLiteral("reg.exe");
    return command;
}
} // namespace

CommandLine Wine::ClearValueCommand(const QString& key, const QString& name)
{
    return RegCommand({QStringLiteral("add"), QStringLiteral("HKEY_CURRENT_USER\\") + key,
                       QStringLiteral("/v"), name, QStringLiteral("/t"), QStringLiteral("REG_SZ"),
                       QStringLiteral("/d"), QString(), QStringLiteral("/f")});
}

CommandLine Wine::ExportKeyCommand(const QString& key, const QString& file)
{
    return RegCommand({QStringLiteral("export"), QStringLiteral("HKEY_CURRENT_USER\\") + key,
                       WindowsPath(file), QStringLiteral("/y")});
}

namespace
{
// The text of a quoted .reg string starting at `at` (just after the opening quote); `end`
// gets the position after the closing quote, -1 when there is none.
QString Unescape(const QString& line, qsizetype at, qsizetype& end)
{
    QString text;
    for (qsizetype i = at; i < line.size(); ++i)
    {
        const QChar c = line.at(i);
        if (c == u'"')
        {
            end = i + 1;
            return text;
        }
        if (c == u'\\' && i + 1 < line.size())
        {
            const QChar next = line.at(++i);
            text += next == u'n'   ? QChar(u'\n')
                    : next == u'r' ? QChar(u'\r')
                    : next == u'0' ? QChar(u'\0')
                                   : next;
        }
        else
        {
            text += c;
        }
    }
    end = -1;
    return text;
}
} // namespace

bool Wine::ReadExportedValue(const QByteArray& exported, const QString& name, QString& value)
{
    QStringDecoder decoder(QStringDecoder::Utf16LE);
    const QString text = decoder(exported.startsWith("\xff\xfe") ? exported.mid(2) : exported);
    for (QString line : text.split(u'\n'))
    {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!line.startsWith(u'"'))
            continue;
        qsizetype end = -1;
        const QString valueName = Unescape(line, 1, end);
        if (end < 0 || valueName.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (line.mid(end, 2) != QStringLiteral("=\""))
            return false;
        const QString result = Unescape(line, end + 2, end);
        if (end < 0)
            return false;
        value = result;
        return true;
    }
    return false;
}
