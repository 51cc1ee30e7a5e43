#include "common/FakeClock.h"
#include "common/TestSupport.h"
#include "platform/ToolRun.h"

#include <QElapsedTimer>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
CommandLine Shell(const QString& script)
{
    return CommandLine("/bin/sh", QStringList{"-c", script, "sh"});
}

bool ProcessGone(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) != 0;
}

TEST(ToolRun, OneOutcomeForEachWayAProgramEnds)
{
    const QString folder = TestSupport::NewFolder();
    struct Case
    {
        const char* name;
        CommandLine command;
        bool cancelAfterStart;
        ToolResult::Outcome outcome;
        int exitCode;
    };
    const Case cases[] = {
        {"ends well", Shell("exit 0"), false, ToolResult::Exited, 0},
        {"exit code", Shell("exit 2"), false, ToolResult::Exited, 2},
        {"signal", Shell("kill -SEGV $$"), false, ToolResult::Signalled, 0},
        {"hang, cancel", Shell("exec sleep 60"), true, ToolResult::Cancelled, 0},
        {"not startable", CommandLine(folder + "/none"), false, ToolResult::NotStarted, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        int pumps = 0;
        int asked = 0;
        ToolWait wait;
        wait.sliceMs = 10;
        wait.pump = [&pumps] { ++pumps; };
        wait.cancel = [&] { return c.cancelAfterStart && ++asked >= 3; };
        QElapsedTimer timer;
        timer.start();
        const ToolResult result = RunTool(c.command, folder, wait);
        EXPECT_LT(timer.elapsed(), 10000);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(result.Succeeded(), c.outcome == ToolResult::Exited && c.exitCode == 0);
        EXPECT_EQ(result.error.isEmpty(), c.outcome != ToolResult::NotStarted);
        if (c.cancelAfterStart)
        {
            EXPECT_GE(pumps, 3);
        }
    }
}

TEST(ToolRun, CancelKillsAndReapsTheChildWithinASecond)
{
    ToolRun run;
    ASSERT_TRUE(run.Start(CommandLine("/bin/sleep", {"60"}), QString()));
    EXPECT_TRUE(run.IsRunning());
    // A second start while it runs is refused and leaves the first alone.
    EXPECT_FALSE(run.Start(CommandLine("/bin/true"), QString()));
    QElapsedTimer timer;
    timer.start();
    ToolWait wait;
    wait.cancel = [&timer] { return timer.elapsed() > 50; };
    const ToolResult result = run.Wait(wait);
    EXPECT_EQ(result.outcome, ToolResult::Cancelled);
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(run.IsRunning());
}

TEST(ToolRun, TheEndOfTheRunKillsAChildStillRunning)
{
    qint64 pid = 0;
    {
        ToolRun run;
        const QString out = TestSupport::NewFolder() + "/pid";
        run.SetStandardOutputFile(out);
        ASSERT_TRUE(run.Start(Shell("echo $$; exec sleep 60"), QString()));
        QElapsedTimer timer;
        timer.start();
        while (TestSupport::ReadFile(out).isEmpty() && timer.elapsed() < 5000)
            usleep(10000);
        EXPECT_TRUE(run.IsRunning());
        pid = TestSupport::ReadFile(out).trimmed().toLongLong();
    }
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(ProcessGone(pid));
}

TEST(ToolRun, OutputGoesToTheGivenFileAndTheFolderIsCurrent)
{
    const QString folder = TestSupport::NewFolder("work dir");
    ToolRun run;
    run.SetStandardOutputFile(folder + "/log");
    ASSERT_TRUE(run.Start(Shell("pwd; exit 5"), folder));
    const ToolResult result = run.Wait({});
    EXPECT_EQ(result.outcome, ToolResult::Exited);
    EXPECT_EQ(result.exitCode, 5);
    EXPECT_EQ(TestSupport::ReadFile(folder + "/log"), (folder + "\n").toUtf8());
}
} // namespace

namespace
{
TEST(ToolRun, CancelEndsTheHelpersOfTheProgramAndServesEventsWhileItReaps)
{
    const QString folder = TestSupport::NewFolder();
    // The program and its helper ignore the polite request; the helper keeps writing.
    ToolRun run;
    ASSERT_TRUE(run.Start(Shell("trap '' TERM; (trap '' TERM; while :; do echo x >> written; "
                                "sleep 0.02; done) & echo $! > helper; exec sleep 60"),
                          folder));
    const qint64 group = run.ProcessId();
    FakeClock clock;
    bool asked = false;
    clock.At(40000, [&asked] { asked = true; });
    int pumps = 0;
    ToolWait wait;
    wait.pump = [&pumps] { ++pumps; };
    wait.cancel = [&] { return asked && !TestSupport::ReadFile(folder + "/written").isEmpty(); };
    wait.clock = &clock;
    QElapsedTimer timer;
    timer.start();
    const ToolResult result = run.Wait(wait);
    EXPECT_EQ(result.outcome, ToolResult::Cancelled);
    EXPECT_GE(clock.Now(), 40000);
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_GE(pumps, 4000);
    EXPECT_FALSE(run.IsRunning());
    EXPECT_EQ(TestSupport::LiveProcessesOfGroup(group), 0);
    const QByteArray written = TestSupport::ReadFile(folder + "/written");
    usleep(100000);
    EXPECT_EQ(TestSupport::ReadFile(folder + "/written"), written);
}

TEST(ToolRun, TheDestructorEndsTheGroupToo)
{
    const QString folder = TestSupport::NewFolder();
    qint64 group = 0;
    {
        ToolRun run;
        ASSERT_TRUE(run.Start(Shell("sleep 60 & echo $! > helper; exec sleep 60"), folder));
        group = run.ProcessId();
        QElapsedTimer timer;
        timer.start();
        while (TestSupport::ReadFile(folder + "/helper").isEmpty() && timer.elapsed() < 5000)
            usleep(5000);
    }
    ASSERT_FALSE(TestSupport::ReadFile(folder + "/helper").isEmpty());
    EXPECT_EQ(TestSupport::LiveProcessesOfGroup(group), 0);
}
} // namespace
