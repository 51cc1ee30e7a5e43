// A document's program is left to run on its own; one that cannot start or that ends with an
// error within the watch is reported by its file name, one that ends well or keeps running
// is not.
#include "common/TestSupport.h"
#include "platform/Opener.h"
#include "platform/TempFolder.h"

#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

namespace
{
QString Script(const QString& folder, const QString& name, const QByteArray& body,
               bool executable = true)
{
    const QString path = TestSupport::WriteFile(folder + "/" + name, "#!/bin/sh\n" + body);
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    QFile::setPermissions(path, permissions);
    return path;
}

TEST(Opener, FailuresAreReportedByTheProgramsName)
{
    const QString folder = TestSupport::NewFolder("openers");
    const struct
    {
        const char* name;
        QString program;
        bool started;
        bool reported;
    } cases[] = {
        {"not there", folder + "/missing-opener", false, true},
        // Not executable: refused by the kernel for root too.
        {"not executable", Script(folder, "plain-opener", "exit 0\n", false), false, true},
        {"ends with an error", Script(folder, "failing-opener", "echo no browser >&2\nexit 4\n"),
         true, true},
        {"killed by a signal", Script(folder, "crashing-opener", "kill -9 $$\n"), true, true},
        {"ends well", Script(folder, "good-opener", "exit 0\n"), true, false},
        // An error after the watch is the program's own business.
        {"fails late", Script(folder, "late-opener", "sleep 1\nexit 4\n"), true, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        QStringList reported;
        const bool started = Opener::Start(
            CommandLine(c.program, {"/p/page.html"}), QString(),
            [&](const QString& program) { reported << program; }, 300);
        EXPECT_EQ(started, c.started);
        if (c.reported)
            EXPECT_TRUE(QTest::qWaitFor([&] { return !reported.isEmpty(); }, 10000));
        else
            QTest::qWait(1500);
        EXPECT_EQ(reported,
                  c.reported ? QStringList{QFileInfo(c.program).fileName()} : QStringList());
    }
    // What the failing one said is kept for the author.
    EXPECT_EQ(TestSupport::ReadFile(TempFolder() + "/failing-opener.err"), "no browser\n");
}

// A program still running when the watch ends is neither waited for nor ended.
TEST(Opener, AProgramThatKeepsRunningIsLeftRunning)
{
    const QString folder = TestSupport::NewFolder("running");
    const QString marker = folder + "/done";
    const QString program =
        Script(folder, "slow-opener", "sleep 1\ntouch '" + marker.toUtf8() + "'\nexit 3\n");
    bool reported = false;
    ASSERT_TRUE(Opener::Start(
        CommandLine(program), QString(), [&](const QString&) { reported = true; }, 100));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(marker); }, 10000));
    QTest::qWait(200);
    EXPECT_FALSE(reported);
}
} // namespace
