// Both built programs start on a project's convert folder under the offscreen platform,
// unpack their tools, and on a termination request close the window and exit cleanly.
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/shared/ToolArchive.h"
#include "common/TestSupport.h"
#include "platform/Profile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace
{
bool WaitUntil(const std::function<bool()>& condition, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!condition())
    {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

TEST(AppProcess, StartsAndClosesCleanly)
{
    struct Case
    {
        const char* program;
        QString title;
    } cases[] = {
        {"TOVKContEditEN", QStringLiteral("Quorvane KP Guide Editor - Contents")},
        {"TOVKContEditJP", QStringLiteral("QuorvaneKP ガイド エディタ - コンテンツ")},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.program);
        const QString program = QStringLiteral(QUORVANE_APP_DIR "/bin/") + QLatin1String(c.program);
        ASSERT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString();
        const QString convert = TestSupport::NewFolder(QStringLiteral("project")) + "/convert";
        QDir().mkpath(convert);
        const QString tools = ToolFolderPath();
        ASSERT_FALSE(tools.isEmpty());
        QFile::remove(Profile::FilePath(c.title));

        SKIP_WHILE_THE_USER_RUNS(c.program);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, {QStringLiteral("-d"), convert});
        ASSERT_TRUE(process.waitForStarted(10000));
        EXPECT_TRUE(WaitUntil([&tools] { return QFileInfo(tools + "/exe").isDir(); }, 15000));
        // The window is up once the event loop runs; give it a moment.
        QThread::msleep(500);
        EXPECT_EQ(process.state(), QProcess::Running);
        process.terminate();
        ASSERT_TRUE(process.waitForFinished(15000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        EXPECT_FALSE(QFileInfo::exists(tools));
        EXPECT_EQ(Profile(c.title).GetString("Settings", "ItemWidth").count(u','), 7);
    }
}

// "--help" is answered from a terminal without any display: the usage of the build's own
// language, exit code 0, no window.
TEST(AppProcess, HelpPrintsTheUsageWithoutADisplay)
{
    const struct
    {
        const char* program;
        const StringTable& strings;
    } cases[] = {
        {"TOVKContEditEN", ContEditStringsEN()},
        {"TOVKContEditJP", ContEditStringsJA()},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.program);
        QProcess process;
        // A window system that cannot be reached: a program that needs one would abort.
        QProcessEnvironment environment = TestSupport::EnvironmentWithoutDisplay();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(QUORVANE_APP_DIR "/bin/") + QLatin1String(c.program),
                      {QStringLiteral("--help")});
        ASSERT_TRUE(process.waitForFinished(15000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        const QString usage = c.strings.Load(IDS_USAGE);
        EXPECT_TRUE(usage.contains(QLatin1String(c.program) + " -d "));
        EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()), usage);
        EXPECT_EQ(process.readAllStandardError(), QByteArray());
    }
}
} // namespace
