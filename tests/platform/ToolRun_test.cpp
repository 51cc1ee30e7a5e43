#include "common/FakeClock.h"
#include "common/TestSupport.h"
#include "platform/TempFolder.h"
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

TEST(ToolRun, TheResultSaysTheChildRunsUntilItHasEnded)
{
    ToolRun run;
    EXPECT_EQ(run.Result().outcome, ToolResult::NotStarted);
    ASSERT_TRUE(run.Start(Shell("exec sleep 60"), QString()));
    const ToolResult running = run.Result();
    EXPECT_EQ(running.outcome, ToolResult::Running);
    EXPECT_FALSE(running.Succeeded());
    EXPECT_TRUE(running.error.isEmpty());
    run.Cancel();
    EXPECT_EQ(run.Result().outcome, ToolResult::Cancelled);

    // A child that ends by itself is seen to have ended without a wait.
    ASSERT_TRUE(run.Start(Shell("exit 3"), QString()));
    QElapsedTimer timer;
    timer.start();
    while (run.IsRunning() && timer.elapsed() < 5000)
        usleep(10000);
    const ToolResult ended = run.Result();
    EXPECT_EQ(ended.outcome, ToolResult::Exited);
    EXPECT_EQ(ended.exitCode, 3);
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

TEST(ToolRun, StandardErrorGoesToAFileNamedAfterTheProgramUnlessOneIsGiven)
{
    const QString folder = TestSupport::NewFolder();
    const QString program = folder + "/durnap";
    TestSupport::WriteFile(program, "#!/bin/sh\necho said >&2\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(RunTool(CommandLine(program), folder).Succeeded());
    EXPECT_EQ(TestSupport::ReadFile(TempFolder() + "/durnap.err"), "said\n");

    ToolRun run;
    run.SetStandardErrorFile(folder + "/given.err");
    ASSERT_TRUE(run.Start(CommandLine(program), folder));
    run.Wait({});
    EXPECT_EQ(TestSupport::ReadFile(folder + "/given.err"), "said\n");
}

// What a Windows program's end means is read from what Wine printed: its own failures are
// not-started outcomes, an exception nothing handled is an abnormal end.
TEST(ToolRun, WinesOwnWordsDecideTheOutcomeOfAWindowsProgram)
{
    const QString folder = TestSupport::NewFolder();
    struct Case
    {
        const char* name;
        const char* stderrText;
        int exit;
        ToolResult::Outcome outcome;
        int exitCode;
        ToolResult::Reason reason;
        const char* shown; // Wine's lines in the result
    };
    using R = ToolResult;
    const Case cases[] = {
        {"ends well", "", 0, R::Exited, 0, R::StartFailed, ""},
        {"the program's own code", "bad input\n", 3, R::Exited, 3, R::StartFailed, ""},
        {"a new prefix is no failure", "wine: created the configuration directory '/p'\n", 2,
         R::Exited, 2, R::StartFailed, ""},
        {"exception",
         "wine: Unhandled page fault on write access to 0000000000000000 at "
         "address 0000000140007CAD (thread 0198), starting debugger...\n",
         5, R::Signalled, 0, R::StartFailed, ""},
        {"exception seen by the debugger",
         "Unhandled exception: page fault on write access to 0x0 in 64-bit code\n", 5, R::Signalled,
         0, R::StartFailed, ""},
        {"loader cannot be executed",
         "/usr/bin/wine: 40: exec: /usr/lib/wine/wine: Exec format error\n", 126, R::NotStarted, 0,
         R::WineFailed, "/usr/bin/wine: 40: exec: /usr/lib/wine/wine: Exec format error"},
        {"prefix of another user",
         "0044:err:winediag:nodrv_CreateWindow no driver\nwine: '/p' is not owned by you\n", 1,
         R::NotStarted, 0, R::WineFailed, "wine: '/p' is not owned by you"},
        {"broken registry",
         "system.reg is not a valid registry file\nwine: could not load kernel32.dll, status "
         "c000035a\n\n",
         1, R::NotStarted, 0, R::WineFailed,
         "system.reg is not a valid registry file\nwine: could not load kernel32.dll, status "
         "c000035a"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QString text = folder + "/stderr";
        TestSupport::WriteFile(text, c.stderrText);
        CommandLine command =
            Shell(QStringLiteral("cat \"%1\" >&2; exit %2").arg(text).arg(c.exit));
        command.windowsProgram = folder + "/MARVEX.exe";
        const ToolResult result = RunTool(command, folder);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(result.reason, c.reason);
        EXPECT_EQ(result.wineOutput, QString::fromUtf8(c.shown));
        EXPECT_EQ(result.program, "MARVEX.exe");
        // Beside the converter's log, named after the Windows program.
        EXPECT_EQ(TestSupport::ReadFile(TempFolder() + "/MARVEX.err"), QByteArray(c.stderrText));
    }
    // A native program's words are its own.
    const ToolResult native =
        RunTool(Shell("echo 'wine: Unhandled page fault' >&2; exit 5"), folder);
    EXPECT_EQ(native.outcome, ToolResult::Exited);
    EXPECT_EQ(native.exitCode, 5);
}

TEST(ToolRun, AProgramThatNoLoaderCanRunIsNeverStarted)
{
    const QString folder = TestSupport::NewFolder();
    CommandLine command = Shell("touch started");
    command.windowsProgram = folder + "/halbrine.exe";
    command.cannotRun32 = true;
    ToolRun run;
    EXPECT_FALSE(run.Start(command, folder));
    const ToolResult result = run.Result();
    EXPECT_EQ(result.outcome, ToolResult::NotStarted);
    EXPECT_EQ(result.reason, ToolResult::CannotRun32);
    EXPECT_EQ(result.program, "halbrine.exe");
    EXPECT_FALSE(QFile::exists(folder + "/started"));

    // A loader that cannot be executed at all is Wine's failure too.
    command = CommandLine(folder + "/no-loader", {"x.exe"});
    command.windowsProgram = "x.exe";
    const ToolResult loaderMissing = RunTool(command, folder);
    EXPECT_EQ(loaderMissing.outcome, ToolResult::NotStarted);
    EXPECT_EQ(loaderMissing.reason, ToolResult::WineFailed);
    EXPECT_FALSE(loaderMissing.wineOutput.isEmpty());
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
