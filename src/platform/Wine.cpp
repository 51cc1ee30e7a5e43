#include "platform/Wine.h"

#include "platform/Path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <cerrno>
#include <clocale>
#include <sys/stat.h>
#include <unistd.h>

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

bool Wine::LoaderRuns(const QString& loader, const ToolWait& wait, bool* cancelled)
{
    if (cancelled)
        *cancelled = false;
    static QHash<QString, bool> known;
    const auto found = known.constFind(loader);
    if (found != known.cend())
        return *found;
    ToolRun probe;
    probe.SetStandardErrorFile(QProcess::nullDevice());
    if (!probe.Start(CommandLine(loader, {QStringLiteral("--version")}), QString()))
    {
        known.insert(loader, false);
        return false;
    }
    // The limit counts the slices, so a test clock's time bounds it as real time does.
    ToolWait bounded = wait;
    bool stopped = false;
    int waited = 0;
    bounded.cancel = [&]
    {
        if (wait.cancel && wait.cancel())
        {
            stopped = true;
            return true;
        }
        waited += wait.sliceMs > 0 ? wait.sliceMs : 1;
        return waited >= LoaderProbeLimitMs;
    };
    const bool runs = probe.Wait(bounded).Succeeded();
    if (stopped)
    {
        if (cancelled)
            *cancelled = true;
        return false;
    }
    known.insert(loader, runs);
    return runs;
}

Wine::Loader Wine::LoaderFor(Machine machine, const ToolWait& wait, bool* cancelled)
{
    Loader loader;
    loader.program = Program();
    const QString loader32 = Loader32();
    const QString loader64 = Loader64();
    // Another layout than Debian's: the launcher is all there is to go by.
    if (loader.program.isEmpty() || (!QFileInfo::exists(loader32) && !QFileInfo::exists(loader64)))
        return loader;
    if (QFileInfo::exists(loader32) && LoaderRuns(loader32, wait, cancelled))
        return loader;
    if (cancelled && *cancelled)
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

Wine::PrefixState Wine::PrefixStateOf(const QString& prefix)
{
    const QByteArray path = QFile::encodeName(prefix);
    struct stat status;
    if (::stat(path.constData(), &status) == 0)
    {
        if (!S_ISDIR(status.st_mode))
            return PrefixState::NotAFolder;
        return status.st_uid == ::getuid() ? PrefixState::Usable : PrefixState::NotOwned;
    }
    if (errno != ENOENT)
        return PrefixState::CannotCreate;
    // Wine makes the last component only.
    const QByteArray parent = QFile::encodeName(QFileInfo(prefix).absolutePath());
    if (::stat(parent.constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        ::access(parent.constData(), W_OK | X_OK) != 0)
        return PrefixState::CannotCreate;
    return PrefixState::Usable;
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
    // Wine takes its system locale from the same setlocale() answer; where that is "C" (the
    // locale is not installed) it goes by the name in LC_ALL.
    QByteArray locale = std::setlocale(LC_CTYPE, nullptr);
    if (locale.isEmpty() || locale == "C")
        locale = qgetenv("LC_ALL");
    return AnsiCodePageOf(locale);
}

QByteArray Wine::AnsiCodePageOf(const QByteArray& locale)
{
    // language_TERRITORY@modifier without the character set; "C" and "POSIX" are US English.
    QByteArray name = locale;
    const qsizetype dot = name.indexOf('.');
    if (dot >= 0)
    {
        const qsizetype at = name.indexOf('@', dot);
        name.remove(dot, (at < 0 ? name.size() : at) - dot);
    }
    // Wine's locale data, name by name: every locale whose ANSI code page is not 1252 (the
    // one of US English, and of every name Wine does not know). A locale without an ANSI
    // code page of its own runs with UTF-8.
    struct Entry
    {
        const char* codePage;
        const char* names;
    };
    static const Entry table[] = {
        {"UTF-8", " am am_ET as as_IN bn bn_BD bn_IN bo bo_CN chr chr_US dv dv_MV dz "
                  " dz_BT en_AE gu gu_IN hi hi_IN hy hy_AM ii_CN ka ka_GE kk kk_KZ "
                  " kk_KZ@cyrillic km km_KH kn kn_IN kok kok_IN ks_IN@devanagari lo "
                  " lo_LA mi mi_NZ mi_NZ@latin ml ml_IN mni mni_IN mr mr_IN mt mt_MT my "
                  " my_MM ne ne_IN ne_NP om om_ET or or_IN pa pa_IN ps ps_AF sa sa_IN "
                  " sa_IN@devanagari sd_IN@devanagari si si_LK so so_SO st st_ZA syr "
                  " syr_SY ta ta_IN ta_LK te te_IN ti ti_ER ti_ET ts ts_ZA ve ve_ZA yi "},
        {"windows-874", " th th_TH "},
        {"CP932", " ja ja_JP "},
        {"windows-936", " zh zh_CN zh_SG "},
        {"windows-949", " ko ko_KR "},
        {"windows-950", " zh_HK zh_MO zh_TW "},
        {"windows-1250", " bs bs_BA@latin cs cs_CZ hr hr_BA hr_HR hu hu_HU pl pl_PL ro ro_MD "
                         " ro_RO sk sk_SK sl sl_SI sq sq_AL sr sr_BA@latin sr_ME@latin "
                         " sr_RS@latin tk tk_TM tk_TM@latin "},
        {"windows-1251", " az_AZ@cyrillic ba_RU ba_RU@cyrillic be be_BY bg bg_BG bs_BA@cyrillic "
                         " ky ky_KG ky_KG@cyrillic mk mk_MK mn mn_MN mn_MN@cyrillic ru ru_MD "
                         " ru_RU sah sah_RU sah_RU@cyrillic sr_BA@cyrillic sr_ME@cyrillic "
                         " sr_RS@cyrillic tg tg_TJ tg_TJ@cyrillic tt tt_RU tt_RU@cyrillic uk "
                         " uk_UA uz_UZ@cyrillic "},
        {"windows-1253", " el el_GR "},
        {"windows-1254", " az az_AZ@latin tr tr_TR uz uz_UZ@latin "},
        {"windows-1255", " he he_IL "},
        {"windows-1256", " ar ar_AE ar_BH ar_DZ ar_EG ar_IQ ar_JO ar_KW ar_LB ar_LY ar_MA ar_OM "
                         " ar_QA ar_SA ar_SY ar_TN ar_YE ckb ckb_IQ fa fa_AF fa_IR ku prs_AF sd "
                         " sd_PK ug ug_CN ur ur_IN ur_PK "},
        {"windows-1257", " et et_EE lt lt_LT lv lv_LV "},
        {"windows-1258", " vi vi_VN "},
    };
    const auto find = [](const QByteArray& key) -> const char*
    {
        if (key.isEmpty())
            return nullptr;
        const QByteArray word = ' ' + key + ' ';
        for (const Entry& entry : table)
        {
            if (QByteArray(entry.names).contains(word))
                return entry.codePage;
        }
        return nullptr;
    };
    if (const char* codePage = find(name))
        return codePage;
    // Wine turns only these modifiers into a script of the name and ignores any other.
    const qsizetype at = name.indexOf('@');
    if (at >= 0)
    {
        const QByteArray modifier = name.mid(at + 1);
        if (modifier != "latin" && modifier != "cyrillic" && modifier != "devanagari")
        {
            if (const char* codePage = find(name.left(at)))
                return codePage;
        }
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
