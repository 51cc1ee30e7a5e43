// Version block, shell and spreadsheet opening, wave output backends.
#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/Shell.h"
#include "platform/Spreadsheet.h"
#include "platform/VersionInfo.h"
#include "platform/WaveOut.h"

#include <QFile>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace
{
const VersionString JapaneseStrings[] = {
    {u"FileVersion", u"1, 0, 0, 3"},
    {u"ProductName", u"Quorvane KP ガイド エディタ"},
};
const VersionString EnglishStrings[] = {
    {u"FileVersion", u"1, 0, 0, 3 en"},
};
const VersionLanguage Languages[] = {
    {0x041104B0, JapaneseStrings, 2},
    {0x040904E4, EnglishStrings, 1},
};
const VersionBlock Block = {Languages, 2};

TEST(VersionInfo, QueryByKeyAndLanguage)
{
    QString value = "untouched";
    VersionInfo::Install(nullptr);
    EXPECT_FALSE(VersionInfo::Query("FileVersion", 0x041104B0, value));
    VersionInfo::Install(&Block);
    EXPECT_TRUE(VersionInfo::IsInstalled());
    EXPECT_TRUE(VersionInfo::Query("FileVersion", 0x041104B0, value));
    EXPECT_EQ(value, "1, 0, 0, 3");
    EXPECT_TRUE(VersionInfo::Query("productname", 0x041104B0, value));
    EXPECT_EQ(value, QString::fromUtf8("Quorvane KP ガイド エディタ"));
    EXPECT_TRUE(VersionInfo::Query("FileVersion", 0x040904E4, value));
    EXPECT_EQ(value, "1, 0, 0, 3 en");
    value = "untouched";
    EXPECT_FALSE(VersionInfo::Query("ProductName", 0x040904E4, value));
    EXPECT_FALSE(VersionInfo::Query("FileVersion", 0x041103A4, value));
    EXPECT_EQ(value, "untouched");
    EXPECT_EQ(VersionInfo::SubBlock("FileVersion", 0x041104B0),
              "\\StringFileInfo\\041104B0\\FileVersion");
    EXPECT_EQ(VersionInfo::SubBlock("X", 0x4E4), "\\StringFileInfo\\000004E4\\X");
    VersionInfo::Install(nullptr);
}

// Sets an environment variable (or removes it, for nullptr) while it lives.
class EnvironmentValue
{
public:
    EnvironmentValue(const char* name, const QByteArray* value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_previous(qgetenv(name))
    {
        Set(value);
    }
    ~EnvironmentValue() { Set(m_had ? &m_previous : nullptr); }
    void Set(const QByteArray* value)
    {
        if (value)
            qputenv(m_name, *value);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_previous;
};

TEST(Shell, ADesktopSessionAnswersOnlyWhenItsSocketAcceptsAConnection)
{
    const QString folder = TestSupport::NewFolder("session");
    const QByteArray socketPath = QFile::encodeName(folder) + "/wayland-7";
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);

    EnvironmentValue display("DISPLAY", nullptr);
    EnvironmentValue wayland("WAYLAND_DISPLAY", nullptr);
    const QByteArray runtime = QFile::encodeName(folder);
    EnvironmentValue runtimeDir("XDG_RUNTIME_DIR", &runtime);
    struct Case
    {
        const char* name;
        QByteArray display; // "-" for none
        QByteArray wayland;
        bool answers;
    };
    const Case cases[] = {
        {"nothing set", "-", "-", false},
        {"no X server on that number", ":4093", "-", false},
        {"no X server on that screen", "unix:4093.0", "-", false},
        {"not a display", "nonsense", "-", false},
        {"Wayland socket by path", "-", socketPath, true},
        {"Wayland socket in the runtime folder", ":4093", "wayland-7", true},
        {"Wayland name of no socket", "-", "wayland-8", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        display.Set(c.display == "-" ? nullptr : &c.display);
        wayland.Set(c.wayland == "-" ? nullptr : &c.wayland);
        EXPECT_EQ(Shell::DesktopSessionAnswers(), c.answers);
    }
    ::close(listener);
    wayland.Set(&socketPath);
    EXPECT_FALSE(Shell::DesktopSessionAnswers()) << "a socket left behind by a session that ended";
}

TEST(Shell, RecordingBackendTakesTheCalls)
{
    {
        RecordingShell shell;
        shell.result = false;
        QStringList failed;
        EXPECT_FALSE(Shell::Open("/out/index.html", [&](const QString& p) { failed << p; }));
        EXPECT_FALSE(Shell::OpenDetached("/out/index_en.html"));
        EXPECT_EQ(shell.opened, (QStringList{"/out/index.html", "/out/index_en.html"}));
        // A refusal is told the way the desktop's opener tells it.
        EXPECT_EQ(failed, QStringList{"xdg-open"});
    }
    RecordingSpreadsheet sheet;
    sheet.installed = false;
    EXPECT_FALSE(Spreadsheet::IsInstalled());
    EXPECT_TRUE(Spreadsheet::OpenReadOnly("/p/Query.xml"));
    EXPECT_EQ(sheet.opened, QStringList{"/p/Query.xml"});
}

class SpreadsheetDesktop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name :
             {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS", "PATH"})
            saved.emplace_back(name, qgetenv(name));
        root = TestSupport::NewFolder("desktop");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + "/config"));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root + "/etc"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(root + "/data"));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(root + "/share"));
        qputenv("PATH", QFile::encodeName(root + "/bin"));
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved)
            qputenv(name, value);
    }
    std::vector<std::pair<const char*, QByteArray>> saved;
    QString root;
};

TEST_F(SpreadsheetDesktop, NothingRegisteredMeansNotInstalled)
{
    EXPECT_TRUE(Spreadsheet::ReadOnlyCommand("/p/a.xml").program.isEmpty());
    EXPECT_FALSE(Spreadsheet::IsInstalled());
    EXPECT_FALSE(Spreadsheet::OpenReadOnly("/p/a.xml"));
}

TEST_F(SpreadsheetDesktop, OfficeOnPathOpensInViewMode)
{
    const QString office = TestSupport::WriteFile(root + "/bin/libreoffice", "#!/bin/sh\n");
    QFile::setPermissions(office,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const CommandLine command = Spreadsheet::ReadOnlyCommand("/p/with space.xml");
    EXPECT_EQ(command.program, office);
    EXPECT_EQ(command.arguments, (QStringList{"--calc", "--view", "/p/with space.xml"}));
    EXPECT_TRUE(Spreadsheet::IsInstalled());
}

TEST_F(SpreadsheetDesktop, RegisteredProgramComesFirst)
{
    TestSupport::WriteFile(
        root + "/config/mimeapps.list",
        "[Added Associations]\napplication/vnd.ms-excel=other.desktop;\n"
        "[Default Applications]\napplication/vnd.ms-excel=missing.desktop;sheet.desktop;\n");
    TestSupport::WriteFile(root + "/share/applications/sheet.desktop",
                           "[Desktop Entry]\nName=Sheet\nExec=\"/opt/my sheet/run\" --readonly %U\n"
                           "[Desktop Action New]\nExec=/opt/sheet --new\n");
    const CommandLine command = Spreadsheet::ReadOnlyCommand("/p/a.xml");
    EXPECT_EQ(command.program, "/opt/my sheet/run");
    EXPECT_EQ(command.arguments, (QStringList{"--readonly", "/p/a.xml"}));
    EXPECT_TRUE(Spreadsheet::IsInstalled());
}

TEST(Spreadsheet, ExecFieldCodes)
{
    struct Case
    {
        QString exec;
        QStringList expected;
    };
    const Case cases[] = {
        {"calc %f", {"calc", "/a b.xml"}},
        {"calc", {"calc", "/a b.xml"}},
        {"calc --view %1", {"calc", "--view", "/a b.xml"}},
        {"calc %i %c --x=%f 100%%", {"calc", "--x=/a b.xml", "100%"}},
        {"\"/opt/a \\\"b\\\"\" -o", {"/opt/a \"b\"", "-o", "/a b.xml"}},
        {"", {}},
    };
    for (const Case& c : cases)
    {
        const CommandLine command = Spreadsheet::CommandFromExec(c.exec, "/a b.xml");
        QStringList got;
        if (!command.program.isEmpty())
            got = QStringList{command.program} + command.arguments;
        EXPECT_EQ(got, c.expected) << c.exec.toStdString();
    }
}

TEST(WaveOut, RecordingBackendRecordsThePlayback)
{
    RecordingWaveOut out;
    int done = 0;
    out.SetDoneCallback([&] { ++done; });
    WaveFormat format;
    format.channels = 2;
    format.samplesPerSecond = 22050;
    format.bitsPerSample = 16;
    format.blockAlign = 4;
    format.averageBytesPerSecond = 88200;
    EXPECT_FALSE(out.Write(QByteArray(4, 'x')));
    ASSERT_TRUE(out.Open(0, format));
    EXPECT_TRUE(out.Write(QByteArray(1024, 'x')));
    out.SetVolume(3276 | (3276u << 16));
    out.Restart();
    out.FinishPlaying();
    out.Pause();
    out.Reset();
    out.Close();
    EXPECT_EQ(out.calls, (QStringList{"Write 4", "Open 0", "Write 1024", "SetVolume 0x0ccc0ccc",
                                      "Restart", "Pause", "Reset", "Close"}));
    EXPECT_EQ(out.format, format);
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(out.IsOpen());
    out.failOpen = true;
    EXPECT_FALSE(out.Open(-1, format));
}

TEST(WaveOut, DefaultBackendRunsWithOrWithoutADevice)
{
    std::unique_ptr<WaveOut> out = WaveOut::CreateDefault();
    ASSERT_TRUE(out);
    WaveFormat format;
    format.channels = 1;
    format.samplesPerSecond = 8000;
    format.bitsPerSample = 8;
    format.blockAlign = 1;
    format.averageBytesPerSecond = 8000;
    if (out->DeviceCount() == 0)
    {
        EXPECT_FALSE(out->Open(-1, format));
        EXPECT_FALSE(out->IsOpen());
        EXPECT_FALSE(out->Write(QByteArray(8000, '\x80')));
    }
    else if (out->Open(out->DeviceCount() - 1, format))
    {
        EXPECT_TRUE(out->Write(QByteArray(800, '\x80')));
        out->Pause();
        out->Reset();
        out->Close();
        EXPECT_FALSE(out->IsOpen());
    }
    // A format the device cannot take is refused rather than played wrongly.
    format.bitsPerSample = 12;
    EXPECT_FALSE(out->Open(-1, format));
}
} // namespace
