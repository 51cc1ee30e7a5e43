// Wine's side of a Windows tool: paths there and back through the prefix's drive links,
// the ANSI code page of a locale, and the values read from an exported registry key.
#include "Printers.h"
#include "common/FakeClock.h"
#include "common/WineTest.h"
#include "platform/ToolRun.h"
#include "platform/Wine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <clocale>
#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
TEST(WinePath, NativePathsGoToDriveZAndComeBackThroughThePrefixLinks)
{
    EXPECT_EQ(Wine::WindowsPath("/home/a b/\u4e2d.xml"), "Z:\\home\\a b\\\u4e2d.xml");
    EXPECT_EQ(Wine::WindowsPath("/"), "Z:\\");
    EXPECT_EQ(Wine::WindowsPath("rel/x"), "rel\\x");
    EXPECT_EQ(Wine::WindowsPath(""), "");

    const QString prefix = TestSupport::NewFolder(QStringLiteral("prefix"));
    const QString drive = prefix + QStringLiteral("/drive_c");
    QDir().mkpath(prefix + QStringLiteral("/dosdevices"));
    QDir().mkpath(drive);
    QFile::link(QStringLiteral("../drive_c"), prefix + QStringLiteral("/dosdevices/c:"));
    const QByteArray before = qgetenv("WINEPREFIX");
    qputenv("WINEPREFIX", prefix.toUtf8());

    struct Case
    {
        QString windows;
        QString native;
    };
    const Case cases[] = {
        {"Z:\\home\\a b\\q.xml", "/home/a b/q.xml"},
        {"z:/tmp/x", "/tmp/x"}, // no z: link in this prefix: the root
        {"C:\\users\\Me\\q.xml", drive + "/users/Me/q.xml"},
        {"c:\\", drive},
        {"D:\\q.xml", ""},            // a drive the prefix does not map
        {"\\\\server\\share\\q", ""}, // no drive
        {"q.xml", ""},
        {"/already/native", "/already/native"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Wine::NativePath(c.windows), c.native) << c.windows.toStdString();

    // A name Wine wrote in another letter case is found as Wine finds it.
    QDir().mkpath(drive + "/Users/me");
    TestSupport::WriteFile(drive + "/Users/me/q3.xml", "x");
    EXPECT_EQ(Wine::NativePath("C:\\USERS\\ME\\Q3.XML"), drive + "/Users/me/q3.xml");
    EXPECT_EQ(Wine::NativePath("C:\\USERS\\ME\\new.xml"), drive + "/Users/me/new.xml");

    // A z: link that points elsewhere wins over the default.
    QFile::link(drive, prefix + QStringLiteral("/dosdevices/z:"));
    EXPECT_EQ(Wine::NativePath("Z:\\x"), drive + "/x");
    qputenv("WINEPREFIX", before);
    if (before.isEmpty())
        qunsetenv("WINEPREFIX");
}

TEST(WineLoader, TheMachineTypeComesFromThePeHeader)
{
    const QString folder = TestSupport::NewFolder();
    struct Case
    {
        const char* name;
        QByteArray bytes;
        Wine::Machine machine;
    };
    const Case cases[] = {
        {"i386", TestSupport::WindowsProgram(0x014C), Wine::Machine::I386},
        {"x86-64", TestSupport::WindowsProgram(0x8664), Wine::Machine::X8664},
        {"ARM", TestSupport::WindowsProgram(0x01C4), Wine::Machine::Unknown},
        {"no MZ", TestSupport::WindowsProgram(0x014C, 0x80, "ZM"), Wine::Machine::Unknown},
        {"header past the end", TestSupport::WindowsProgram(0x014C, 0x7FFFFFF0),
         Wine::Machine::Unknown},
        {"a script", "#!/bin/sh\n", Wine::Machine::Unknown},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Wine::MachineOf(TestSupport::WriteFile(folder + "/p.exe", c.bytes)), c.machine);
    }
    EXPECT_EQ(Wine::MachineOf(folder + "/none.exe"), Wine::Machine::Unknown);
}

// A Wine installation laid out as Debian's: the launcher in bin, its loaders in lib/wine.
class WineLoaderChoice : public ::testing::Test
{
protected:
    void SetUp() override { m_path = qgetenv("PATH"); }
    void TearDown() override { qputenv("PATH", m_path); }

    // `loader32`/`loader64`: "" absent, "runs", or "exec error" (a file the kernel refuses).
    QString Install(const char* loader32, const char* loader64)
    {
        const QString root = TestSupport::NewFolder(QStringLiteral("wine"));
        Executable(root + "/bin/wine", "#!/bin/sh\nexit 0\n");
        const auto loader = [&root](const QString& name, const QByteArray& kind)
        {
            if (kind == "runs")
                Executable(root + "/lib/wine/" + name, "#!/bin/sh\nexit 0\n");
            else if (kind == "exec error")
                Executable(root + "/lib/wine/" + name, QByteArray("\x7f"
                                                                  "ELF\1\1\1\0\0\0\0\0",
                                                                  12));
        };
        loader(QStringLiteral("wine"), loader32);
        loader(QStringLiteral("wine64"), loader64);
        qputenv("PATH", (root + "/bin").toUtf8());
        return root;
    }
    static void Executable(const QString& path, const QByteArray& bytes)
    {
        TestSupport::WriteFile(path, bytes);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QByteArray m_path;
};

TEST_F(WineLoaderChoice, TheLauncherWhereTheThirtyTwoBitLoaderRunsElseTheSixtyFourBitOne)
{
    using M = Wine::Machine;
    struct Case
    {
        const char* name;
        const char* loader32;
        const char* loader64;
        M machine;
        const char* program; // relative to the installation; "" for none
        bool cannotRun32;
    };
    const Case cases[] = {
        {"32-bit loader runs, i386", "runs", "runs", M::I386, "/bin/wine", false},
        {"32-bit loader runs, x86-64", "runs", "runs", M::X8664, "/bin/wine", false},
        {"exec error, x86-64", "exec error", "runs", M::X8664, "/lib/wine/wine64", false},
        {"exec error, unknown", "exec error", "runs", M::Unknown, "/lib/wine/wine64", false},
        {"exec error, i386", "exec error", "runs", M::I386, "", true},
        {"no 32-bit loader, x86-64", "", "runs", M::X8664, "/lib/wine/wine64", false},
        {"no 32-bit loader, i386", "", "runs", M::I386, "", true},
        {"another layout", "", "", M::I386, "/bin/wine", false},
    };
    const QByteArray loaderBefore = qgetenv("WINELOADER");
    qunsetenv("WINELOADER");
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QString root = Install(c.loader32, c.loader64);
        const Wine::Loader loader = Wine::LoaderFor(c.machine);
        EXPECT_EQ(loader.program, *c.program ? root + c.program : QString());
        EXPECT_EQ(loader.cannotRun32, c.cannotRun32);
        // The 64-bit loader is told where it is, as Debian's launcher tells it.
        EXPECT_EQ(loader.environment.contains("WINELOADER=" + root + "/lib/wine/wine64"),
                  QByteArray(c.program) == "/lib/wine/wine64");
    }
    if (!loaderBefore.isEmpty())
        qputenv("WINELOADER", loaderBefore);

    // A program that no loader here can run gives a command that is never started.
    const QString root = Install("exec error", "runs");
    const QString program =
        TestSupport::WriteFile(root + "/Tool.exe", TestSupport::WindowsProgram(0x014C));
    const CommandLine command = Wine::ProgramCommand(program, {"-i"});
    EXPECT_TRUE(command.cannotRun32);
    EXPECT_EQ(command.windowsProgram, program);
}

// The loader probe is a tool run: events served on every slice, given up after its limit of
// the wait's own clock, stopped by the cancel test; a finished probe is asked once only.
TEST_F(WineLoaderChoice, TheLoaderProbeServesEventsIsBoundedCancellableAndAskedOnce)
{
    const QString folder = TestSupport::NewFolder(QStringLiteral("probe"));
    // Each run of the loader leaves a line in its count file.
    const auto loader = [&folder](const QString& name, const QByteArray& end)
    {
        const QString path = folder + u'/' + name;
        Executable(path,
                   "#!/bin/sh\necho run >> '" + (path + ".count").toUtf8() + "'\n" + end + "\n");
        return path;
    };
    const auto runs = [](const QString& loader)
    { return TestSupport::ReadFile(loader + ".count").count("run"); };
    struct Case
    {
        const char* name;
        QByteArray end;
        int cancelAfter; // slices; 0: never
        bool runs;
        bool cancelled;
        int runsAfterSecondAsk;
    };
    const Case cases[] = {
        {"runs", "exit 0", 0, true, false, 1},
        {"fails", "exit 3", 0, false, false, 1},
        {"hangs: given up at the limit", "exec sleep 600", 0, false, false, 1},
        {"hangs: cancelled, not remembered", "exec sleep 600", 3, false, true, 2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QString path = loader(QString::fromLatin1(c.name).replace(u' ', u'_'), c.end);
        FakeClock clock;
        int pumps = 0;
        int asked = 0;
        ToolWait wait;
        wait.sliceMs = 1000;
        wait.clock = &clock;
        wait.pump = [&pumps] { ++pumps; };
        wait.cancel = [&] { return c.cancelAfter > 0 && ++asked >= c.cancelAfter; };
        bool cancelled = !c.cancelled;
        EXPECT_EQ(Wine::LoaderRuns(path, wait, &cancelled), c.runs);
        EXPECT_EQ(cancelled, c.cancelled);
        if (QByteArray(c.name).startsWith("hangs"))
        {
            EXPECT_GT(pumps, 0);
            EXPECT_LE(clock.Now(), Wine::LoaderProbeLimitMs + ToolRun::ReapLimitMs);
        }
        wait.cancel = {};
        FakeClock second;
        wait.clock = &second;
        EXPECT_EQ(Wine::LoaderRuns(path, wait), c.runs && !c.cancelled);
        // A hung loader may be killed before its first line: its second probe shows on the
        // clock instead.
        if (QByteArray(c.name).startsWith("hangs"))
            EXPECT_EQ(second.Now() > 0, c.runsAfterSecondAsk == 2);
        else
            EXPECT_EQ(runs(path), c.runsAfterSecondAsk);
    }
}

// Wine makes a missing prefix itself, the last component only, and refuses one that is no
// folder or that another user owns.
TEST(WinePrefix, AFolderOfTheUsersOrOneWineCanMakeIsUsable)
{
    const QString folder = TestSupport::NewFolder(QStringLiteral("prefixes"));
    QDir().mkpath(folder + "/own");
    TestSupport::WriteFile(folder + "/file", "x");
    QFile::link(folder + "/own", folder + "/link to own");
    QFile::link(folder + "/file", folder + "/link to file");
    QDir().mkpath(folder + "/other");
    // Root owns what it makes: the other user's folder is given away; without root, the root
    // folder is one of another user's.
    const bool root = ::getuid() == 0;
    if (root)
    {
        ASSERT_EQ(::chown(QFile::encodeName(folder + "/other").constData(), 65534, 65534), 0);
    }
    const QString other = root ? folder + "/other" : QStringLiteral("/");
    using S = Wine::PrefixState;
    struct Case
    {
        QString prefix;
        S state;
    };
    const Case cases[] = {
        {folder + "/own", S::Usable},
        {folder + "/link to own", S::Usable},
        {folder + "/new", S::Usable},
        {folder + "/file", S::NotAFolder},
        {folder + "/link to file", S::NotAFolder},
        {other, S::NotOwned},
        {folder + "/no/new", S::CannotCreate},
        {folder + "/file/new", S::CannotCreate},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Wine::PrefixStateOf(c.prefix), c.state) << c.prefix.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder + "/new"));
}

TEST(WineCodePage, TheLocaleDecidesTheAnsiCodePageAndEachOneDecodes)
{
    struct Case
    {
        const char* locale;
        const char* codePage;
    };
    const Case cases[] = {
        {"C", "windows-1252"},
        {"C.UTF-8", "windows-1252"},
        {"POSIX", "windows-1252"},
        {"en_US.UTF-8", "windows-1252"},
        {"de_DE@euro", "windows-1252"},
        {"ja_JP.UTF-8", "CP932"},
        {"ja_JP.eucJP", "CP932"},
        {"zh_CN.UTF-8", "windows-936"},
        {"zh_TW.UTF-8", "windows-950"},
        {"ko_KR.UTF-8", "windows-949"},
        {"pl_PL.UTF-8", "windows-1250"},
        {"ru_RU.UTF-8", "windows-1251"},
        {"el_GR.UTF-8", "windows-1253"},
        {"tr_TR.UTF-8", "windows-1254"},
        {"he_IL.UTF-8", "windows-1255"},
        {"ar_EG.UTF-8", "windows-1256"},
        {"lt_LT.UTF-8", "windows-1257"},
        {"vi_VN.UTF-8", "windows-1258"},
        {"th_TH.UTF-8", "windows-874"},
        // Where Wine's own locale data differs from what the language alone suggests.
        {"sr_RS.UTF-8", "windows-1252"},
        {"sr_RS@latin", "windows-1250"},
        {"sr_RS.UTF-8@cyrillic", "windows-1251"},
        {"az_AZ.UTF-8", "windows-1252"},
        {"bs_BA.UTF-8", "windows-1252"},
        {"kk_KZ.UTF-8", "UTF-8"},
        {"hi_IN.UTF-8", "UTF-8"},
        {"ka_GE.UTF-8", "UTF-8"},
        {"hy_AM.UTF-8", "UTF-8"},
        {"uz_UZ@cyrillic", "windows-1251"},
        {"be_BY@latin", "windows-1252"},
        {"ru_DE.UTF-8", "windows-1252"},
        // Any other modifier is ignored.
        {"tt_RU@iqtelif", "windows-1251"},
        {"ja_JP@x", "CP932"},
        {"", "windows-1252"},
    };
    for (const Case& c : cases)
    {
        const QByteArray codePage = Wine::AnsiCodePageOf(c.locale);
        EXPECT_EQ(codePage, QByteArray(c.codePage)) << c.locale;
        EXPECT_TRUE(QStringDecoder(codePage.constData()).isValid()) << c.locale;
    }
    // A locale that is not installed reads as "C"; Wine then goes by LC_ALL.
    const QByteArray before = std::setlocale(LC_CTYPE, nullptr);
    const QByteArray lcAll = qgetenv("LC_ALL");
    std::setlocale(LC_CTYPE, "C");
    qputenv("LC_ALL", "ja_JP.UTF-8");
    EXPECT_EQ(Wine::AnsiCodePage(), "CP932");
    qunsetenv("LC_ALL");
    EXPECT_EQ(Wine::AnsiCodePage(), "windows-1252");
    std::setlocale(LC_CTYPE, before.constData());
    if (!lcAll.isEmpty())
        qputenv("LC_ALL", lcAll);

    QStringDecoder sjis("CP932");
    EXPECT_EQ(sjis(QByteArray("\x93\xfa\x96\x7b")), QStringLiteral("\u65e5\u672c"));
}

QByteArray Exported(const QString& text)
{
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return QByteArray("\xff\xfe") +
           encoder(QString(text).replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

TEST(WineRegistry, AStringValueIsReadFromTheExportedKeyWithItsEscapesUndone)
{
    const QByteArray file = Exported("Windows Registry Editor Version 5.00\n\n"
                                     "[HKEY_CURRENT_USER\\Software\\Quorvane\\KPVantiloq]\n"
                                     "\"LastContentFile\"=\"\"\n"
                                     "\"lastqueryfile\"=\"Z:\\\\tmp\\\\\u00e4 \\\"q\\\".xml\"\n"
                                     "\"Count\"=dword:00000003\n"
                                     "\"Bytes\"=hex:01,02\n\n");
    QString value = QStringLiteral("before");
    EXPECT_TRUE(Wine::ReadExportedValue(file, "LastQueryFile", value));
    EXPECT_EQ(value, "Z:\\tmp\\\u00e4 \"q\".xml");
    EXPECT_TRUE(Wine::ReadExportedValue(file, "LastContentFile", value));
    EXPECT_EQ(value, "");

    value = QStringLiteral("before");
    for (const char* name : {"Count", "Bytes", "Missing"})
        EXPECT_FALSE(Wine::ReadExportedValue(file, name, value)) << name;
    EXPECT_FALSE(Wine::ReadExportedValue(QByteArray(), "LastQueryFile", value));
    EXPECT_FALSE(
        Wine::ReadExportedValue(Exported("\"LastQueryFile\"=\"Z:\\\\cut"), "LastQueryFile", value));
    EXPECT_EQ(value, "before");
}

// The commands as Wine's own "reg" runs them: a value of an earlier run cleared, the key
// exported to a path with a blank and read back empty; a key that is not there exports
// nothing.
TEST(WineRegistry, AClearedValueReadsBackEmptyFromTheExportedKey)
{
    REQUIRE_WINE();
    const QString key = QStringLiteral("Software\\Quorvane\\KPVantiloq");
    // The value an earlier run left, set the way the clear sets it.
    CommandLine earlier = Wine::ClearValueCommand(key, "LastQueryFile");
    earlier.arguments[earlier.arguments.indexOf("/d") + 1] = QStringLiteral("Z:\\earlier run.xml");
    const QString folder = TestSupport::NewFolder(QStringLiteral("a b"));
    ASSERT_TRUE(RunTool(earlier, folder).Succeeded());
    ASSERT_TRUE(RunTool(Wine::ClearValueCommand(key, "LastQueryFile"), folder).Succeeded());
    const QString file = folder + QStringLiteral("/k.reg");
    ASSERT_TRUE(RunTool(Wine::ExportKeyCommand(key, file), folder).Succeeded());
    QString value = QStringLiteral("before");
    EXPECT_TRUE(Wine::ReadExportedValue(TestSupport::ReadFile(file), "LastQueryFile", value));
    EXPECT_EQ(value, "");

    const QString missing = folder + QStringLiteral("/missing.reg");
    EXPECT_FALSE(
        RunTool(Wine::ExportKeyCommand(key + QStringLiteral("\\NotThere"), missing), folder)
            .Succeeded());
    EXPECT_FALSE(QFileInfo::exists(missing));
}
} // namespace
