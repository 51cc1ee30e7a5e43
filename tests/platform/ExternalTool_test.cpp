// Finding an external program and the form of what it is given: native first, else the
// Windows program through Wine when Wine is there; Windows paths only for a Windows tool.
#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/ExternalTool.h"
#include "platform/Wine.h"

#include <QFile>
#include <gtest/gtest.h>

namespace
{
class ToolLookup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_path = qgetenv("PATH");
        m_root = TestSupport::NewFolder(QStringLiteral("app root"));
        m_bin = m_root + QStringLiteral("/bin");
        m_wineFolder = m_root + QStringLiteral("/wine");
        Program(m_wineFolder + QStringLiteral("/wine"));
    }
    void TearDown() override { qputenv("PATH", m_path); }

    static void Program(const QString& path)
    {
        TestSupport::WriteFile(path, "#!/bin/sh\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void WineInstalled(bool installed)
    {
        const QString empty = m_root + QStringLiteral("/empty");
        qputenv("PATH", (installed ? m_wineFolder : empty).toUtf8());
    }

    QByteArray m_path;
    QString m_root, m_bin, m_wineFolder;
};

TEST_F(ToolLookup, NativeFirstThenTheWindowsProgramThroughWineElseMissing)
{
    struct Case
    {
        const char* name;
        QStringList files; // in bin
        bool wine;
        ExternalTool::Kind kind;
        QString program; // relative to bin
    };
    using K = ExternalTool::Kind;
    const Case cases[] = {
        {"native only", {"marvex"}, true, K::Native, "marvex"},
        {"native beside the Windows one", {"marvex", "marvex.exe"}, true, K::Native, "marvex"},
        {"Windows one in another case", {"MarVex.EXE"}, true, K::Windows, "MarVex.EXE"},
        {"Windows one without Wine", {"marvex.exe"}, false, K::Missing, "marvex"},
        {"neither", {"durnap.exe", "marvex.bat"}, true, K::Missing, "marvex"},
        {"a folder of the name", {"marvex.exe/x"}, true, K::Missing, "marvex"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QString bin = TestSupport::NewFolder(QStringLiteral("bin"));
        for (const QString& file : c.files)
            Program(bin + u'/' + file);
        WineInstalled(c.wine);
        const ExternalTool tool = ExternalTool::Find(bin, QStringLiteral("marvex"));
        EXPECT_EQ(tool.GetKind(), c.kind);
        EXPECT_EQ(tool.Program(), bin + u'/' + c.program);
    }
}

TEST_F(ToolLookup, OnlyAWindowsToolIsGivenWindowsPathsAndStartedThroughWine)
{
    Program(m_bin + QStringLiteral("/durnap"));
    Program(m_bin + QStringLiteral("/halbrine.exe"));
    WineInstalled(true);
    const QString wine = m_wineFolder + QStringLiteral("/wine");

    const ExternalTool native = ExternalTool::Find(m_bin, QStringLiteral("durnap"));
    const QString file = m_root + QStringLiteral("/in put/a.xml");
    EXPECT_EQ(native.ToolPath(file), file);
    EXPECT_EQ(native.Command({"-conf", file}),
              CommandLine(m_bin + QStringLiteral("/durnap"), {"-conf", file}));
    EXPECT_TRUE(native.OutputEncoding().isEmpty());

    const ExternalTool windows = ExternalTool::Find(m_bin, QStringLiteral("halbrine"));
    const QString windowsFile = QStringLiteral("Z:") + QString(file).replace(u'/', u'\\');
    EXPECT_EQ(windows.ToolPath(file), windowsFile);
    const CommandLine command = windows.Command({"-i", windowsFile});
    EXPECT_EQ(command.program, wine);
    EXPECT_EQ(command.arguments,
              (QStringList{m_bin + QStringLiteral("/halbrine.exe"), "-i", windowsFile}));
    EXPECT_EQ(command.windowsProgram, m_bin + QStringLiteral("/halbrine.exe"));
    // Wine's crash dialog is off for the run, added to what the user set.
    qputenv("WINEDLLOVERRIDES", "mshtml=");
    EXPECT_TRUE(windows.Command({}).environment.contains("WINEDLLOVERRIDES=mshtml=;winedbg.exe=d"));
    qunsetenv("WINEDLLOVERRIDES");
    EXPECT_EQ(windows.OutputEncoding(), Wine::AnsiCodePage());

    // A missing tool's start fails on the native name.
    const ExternalTool missing = ExternalTool::Find(m_bin, QStringLiteral("marvex"));
    EXPECT_EQ(missing.Command({"-i"}), CommandLine(m_bin + QStringLiteral("/marvex"), {"-i"}));
    EXPECT_EQ(missing.ToolPath(file), file);
}
// What can be known without running the tool: it is there and executable; a Windows one has
// a loader here for its machine type and a prefix Wine can use. Nothing is started for it.
TEST_F(ToolLookup, AToolIsStartableWhenItsProgramLoaderAndPrefixAreThere)
{
    // Debian's layout, where the kernel refuses the 32-bit loader and the 64-bit one runs.
    const QString wine = m_root + QStringLiteral("/debian wine");
    Program(wine + QStringLiteral("/bin/wine"));
    TestSupport::WriteFile(wine + QStringLiteral("/lib/wine/wine"),
                           QByteArray("\x7f"
                                      "ELF\1\1\1\0\0\0\0\0",
                                      12));
    QFile::setPermissions(wine + QStringLiteral("/lib/wine/wine"),
                          QFile::ReadOwner | QFile::ExeOwner);
    Program(wine + QStringLiteral("/lib/wine/wine64"));
    qputenv("PATH", (wine + QStringLiteral("/bin")).toUtf8());
    const QByteArray prefixBefore = qgetenv("WINEPREFIX");
    const QString prefixes = TestSupport::NewFolder(QStringLiteral("prefixes"));
    TestSupport::WriteFile(prefixes + QStringLiteral("/file"), "x");

    using R = ToolResult::Reason;
    struct Case
    {
        const char* name;
        QString file; // in bin
        QByteArray bytes;
        bool executable;
        QString prefix; // below the prefixes' folder
        bool startable;
        R reason;
    };
    const QByteArray x8664 = TestSupport::WindowsProgram(0x8664);
    const QByteArray i386 = TestSupport::WindowsProgram(0x014C);
    const Case cases[] = {
        {"native", "marvex", "#!/bin/sh\n", true, "new", true, R::StartFailed},
        {"native, not executable", "marvex", "#!/bin/sh\n", false, "new", false, R::StartFailed},
        {"missing", "durnap", "#!/bin/sh\n", true, "new", false, R::StartFailed},
        {"x86-64, new prefix", "marvex.exe", x8664, false, "new", true, R::StartFailed},
        {"i386 without a 32-bit loader", "marvex.exe", i386, false, "new", false, R::CannotRun32},
        {"prefix is a file", "marvex.exe", x8664, false, "file", false, R::PrefixUnusable},
        {"prefix cannot be made", "marvex.exe", x8664, false, "no/new", false, R::PrefixUnusable},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QString bin = TestSupport::NewFolder(QStringLiteral("bin"));
        const QString program = TestSupport::WriteFile(bin + u'/' + c.file, c.bytes);
        if (c.executable)
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString prefix = prefixes + u'/' + c.prefix;
        qputenv("WINEPREFIX", prefix.toUtf8());
        const ExternalTool tool = ExternalTool::Find(bin, QStringLiteral("marvex"));
        ToolResult why;
        why.outcome = ToolResult::Exited;
        EXPECT_EQ(tool.IsStartable(&why), c.startable);
        if (c.startable)
            continue;
        EXPECT_EQ(why.outcome, ToolResult::NotStarted);
        EXPECT_EQ(why.reason, c.reason);
        EXPECT_EQ(why.prefix, c.reason == R::PrefixUnusable ? prefix : QString());
        if (c.reason != R::StartFailed)
        {
            EXPECT_EQ(why.program, c.file);
        }
    }
    EXPECT_FALSE(QFile::exists(prefixes + QStringLiteral("/new")));
    qputenv("WINEPREFIX", prefixBefore);
    if (prefixBefore.isEmpty())
        qunsetenv("WINEPREFIX");
}

// A cancel while the loader is probed stops the check: the tool is neither startable nor
// found not to be.
TEST_F(ToolLookup, ACancelDuringTheLoaderProbeEndsTheCheckAsCancelled)
{
    const QString wine = m_root + QStringLiteral("/slow wine");
    Program(wine + QStringLiteral("/bin/wine"));
    TestSupport::WriteFile(wine + QStringLiteral("/lib/wine/wine"),
                           "#!/bin/sh\nexec /bin/sleep 600\n");
    QFile::setPermissions(wine + QStringLiteral("/lib/wine/wine"),
                          QFile::ReadOwner | QFile::ExeOwner);
    qputenv("PATH", (wine + QStringLiteral("/bin")).toUtf8());
    TestSupport::WriteFile(m_bin + QStringLiteral("/marvex.exe"),
                           TestSupport::WindowsProgram(0x8664));
    int asked = 0;
    ToolWait wait;
    wait.cancel = [&asked] { return ++asked >= 3; };
    ToolResult why;
    EXPECT_FALSE(ExternalTool::Find(m_bin, QStringLiteral("marvex")).IsStartable(&why, wait));
    EXPECT_EQ(why.outcome, ToolResult::Cancelled);
}
} // namespace
