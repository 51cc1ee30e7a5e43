#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/ChildProcess.h"
#include "platform/CommandLine.h"

#include <QElapsedTimer>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
CommandLine Shell(const QString& script, const QStringList& args = {})
{
    return CommandLine("/bin/sh", QStringList{"-c", script, "sh"} + args);
}

TEST(CommandLine, DisplayFormQuotesWhatNeedsIt)
{
    struct Case
    {
        CommandLine command;
        QString expected;
    };
    const Case cases[] = {
        {CommandLine("/app/bin/marvex", {"-i", "/p/in put.xml", "-o", "/p/out"}),
         "\"/app/bin/marvex\" -i \"/p/in put.xml\" -o /p/out"},
        {CommandLine("prog"), "\"prog\""},
        {CommandLine("prog", {""}), "\"prog\" \"\""},
        {CommandLine("prog", {"say \"hi\""}), "\"prog\" \"say \\\"hi\\\"\""},
        {CommandLine("prog", {"a\tb"}), "\"prog\" \"a\tb\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.command.toString(), c.expected);
}

TEST(ChildProcess, ArgumentsArriveAsGivenWithoutAShell)
{
    const QString folder = TestSupport::NewFolder();
    const QString out = folder + "/out.txt";
    ChildProcess child;
    child.SetStandardOutputFile(out);
    // Each argument on its own line: blanks, quotes and shell characters stay untouched.
    ASSERT_TRUE(child.Start(
        CommandLine("/usr/bin/printf", {"%s\\n", "a b", "\"q\"", "$HOME", "x;y", ""}), folder));
    ASSERT_TRUE(child.WaitFor(10000));
    EXPECT_EQ(child.ExitCode(), 0);
    EXPECT_EQ(TestSupport::ReadFile(out), "a b\n\"q\"\n$HOME\nx;y\n\n");
}

TEST(ChildProcess, WorkingFolderAndNullDevices)
{
    const QString folder = TestSupport::NewFolder("work");
    const QString out = folder + "/out.txt";
    ChildProcess child;
    child.SetStandardOutputFile(out);
    // Input is the null device, so cat ends at once; errors are dropped.
    ASSERT_TRUE(child.Start(Shell("pwd; cat; echo err >&2; echo done"), folder));
    ASSERT_TRUE(child.WaitFor(10000));
    EXPECT_EQ(TestSupport::ReadFile(out), (folder + "\ndone\n").toUtf8());
}

TEST(ChildProcess, ErrorAndInputRedirection)
{
    const QString folder = TestSupport::NewFolder();
    const QString in = TestSupport::WriteFile(folder + "/in.txt", "line\n");
    ChildProcess child;
    child.SetStandardInputFile(in);
    child.SetStandardOutputFile(folder + "/out.txt");
    child.SetStandardErrorFile(folder + "/err.txt");
    ASSERT_TRUE(child.Start(Shell("cat; echo oops >&2")));
    ASSERT_TRUE(child.WaitFor(10000));
    EXPECT_EQ(TestSupport::ReadFile(folder + "/out.txt"), "line\n");
    EXPECT_EQ(TestSupport::ReadFile(folder + "/err.txt"), "oops\n");
}

TEST(ChildProcess, RunningMeansNotFinishedEvenWithCode259)
{
    ChildProcess child;
    EXPECT_EQ(child.ExitCode(), -1);
    EXPECT_FALSE(child.IsRunning());
    ASSERT_TRUE(child.Start(Shell("sleep 0.3; exit 3")));
    EXPECT_TRUE(child.IsRunning());
    EXPECT_EQ(child.ExitCode(), STILL_ACTIVE);
    EXPECT_FALSE(child.WaitFor(10));
    // Polling alone (no event loop) sees the end.
    QElapsedTimer timer;
    timer.start();
    while (child.IsRunning() && timer.elapsed() < 10000)
        usleep(10000);
    EXPECT_FALSE(child.IsRunning());
    EXPECT_EQ(child.ExitCode(), 3);

    ChildProcess odd;
    ASSERT_TRUE(odd.Start(Shell("exit 259")));
    ASSERT_TRUE(odd.WaitFor(10000));
    EXPECT_FALSE(odd.IsRunning());
    // The system keeps eight bits of the code: 259 arrives as 3.
    EXPECT_EQ(odd.ExitCode(), 259 & 0xFF);
}

TEST(ChildProcess, ProgramPathIsResolvedIgnoringCase)
{
    const QString folder = TestSupport::NewFolder("app");
    const QString tool =
        TestSupport::WriteFile(folder + "/bin/durnap", "#!/bin/sh\necho \"$@\" > \"$PWD/args\"\n");
    QFile::setPermissions(tool,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ChildProcess child;
    ASSERT_TRUE(
        child.Start(CommandLine(folder + "/BIN/Durnap", {"-conf", "a b"}), folder + "/Bin"));
    ASSERT_TRUE(child.WaitFor(10000));
    EXPECT_EQ(child.ExitCode(), 0);
    EXPECT_EQ(TestSupport::ReadFile(folder + "/bin/args"), "-conf a b\n");
}

TEST(ChildProcess, StartFailureAndKill)
{
    ChildProcess missing;
    EXPECT_FALSE(missing.Start(CommandLine(TestSupport::NewFolder() + "/no-such-program")));
    EXPECT_FALSE(missing.IsRunning());
    EXPECT_FALSE(missing.ErrorString().isEmpty());

    ChildProcess child;
    ASSERT_TRUE(child.Start(CommandLine("/bin/sleep", {"30"})));
    // The child leads a group of its own.
    EXPECT_EQ(::getpgid(pid_t(child.ProcessId())), pid_t(child.ProcessId()));
    child.KillGroup();
    ASSERT_TRUE(child.WaitFor(5000));
    EXPECT_FALSE(child.IsRunning());
    EXPECT_TRUE(child.Crashed());
    EXPECT_NE(child.ExitCode(), STILL_ACTIVE);
}

TEST(ChildProcess, ChildOutlivesItsHolder)
{
    qint64 pid = 0;
    {
        ChildProcess child;
        ASSERT_TRUE(child.Start(CommandLine("/bin/sleep", {"30"})));
        pid = child.ProcessId();
    }
    ASSERT_GT(pid, 0);
    EXPECT_EQ(::kill(pid_t(pid), 0), 0);
    ::kill(pid_t(pid), SIGKILL);
}
} // namespace
