#pragma once
// Running an external program to its end: started from an argument vector in a given
// folder, in a process group of its own, waited for in slices; on every slice the events
// are served, then the progress steps, then the cancel test, which kills the group and
// reaps the child while the events are still served. One outcome. Every external program
// (converter, title replacer, bind tool, editors) runs this way. Its standard
// error goes to a file in the private temporary folder, "<program>.err", unless the caller
// names one; for a Windows program that file tells Wine's own failures (the program never
// ran) and an unhandled exception (an abnormal end, like a signal) from an exit code.
#include "platform/ChildProcess.h"
#include "platform/CommandLine.h"

#include <QString>
#include <functional>
#include <memory>

struct ToolResult
{
    enum Outcome
    {
        NotStarted, // the program could not be started
        Exited,     // it ended by itself with exitCode
        Signalled,  // it was ended by a signal (crash, kill from outside)
        Cancelled,  // the cancel test said so: it was killed and reaped
        Running,    // it has not ended yet
    };
    // Why a program was not started.
    enum Reason
    {
        StartFailed,    // the program file could not be executed
        CannotRun32,    // an i386 Windows program where no 32-bit Wine loader runs
        WineFailed,     // Wine could not start the Windows program (loader, prefix)
        PrefixUnusable, // Wine's prefix folder is not a folder of this user's, nor creatable
    };
    Outcome outcome = NotStarted;
    int exitCode = 0; // meaningful for Exited only
    QString error;    // why it could not be started
    Reason reason = StartFailed;
    QString program;    // the program's file name as its author knows it ("marvex.exe")
    QString wineOutput; // for WineFailed: the first lines of what Wine printed
    QString prefix;     // for PrefixUnusable: the prefix folder

    bool Succeeded() const { return outcome == Exited && exitCode == 0; }
    // For the author, after the not-started message: the string table's text for an i386
    // program that cannot run here (its insert: the program), for Wine's failure (the
    // program, then Wine's lines) or for a prefix Wine cannot use (the program, then the
    // prefix); empty for any other outcome.
    QString NotStartedReason(unsigned cannotRun32Id, unsigned wineFailedId,
                             unsigned prefixUnusableId) const;
};

// How the time of a wait passes: by default the slice really waits for the child's end; a
// test clock looks at the child and moves its own time on by the slice.
class WaitClock
{
public:
    virtual ~WaitClock() = default;
    // Waits up to ms for the child's end; true when it has ended.
    virtual bool WaitSlice(ChildProcess& child, int ms) = 0;
};

struct ToolWait
{
    // How long one slice waits for the end before the pump and the cancel test run.
    int sliceMs = 10;
    // Serves the events once per slice, whatever the progress shows; empty: the event
    // queue is emptied.
    std::function<void()> pump;
    // Asked once per slice after the pump and the step; true kills the child. May be empty.
    std::function<bool()> cancel;
    // Advances the progress once per slice after the pump; may be empty.
    std::function<void()> step;
    // Null: real time.
    WaitClock* clock = nullptr;
};

class ToolRun
{
public:
    ToolRun();
    // How long a killed child may take to be reaped before the wait gives up on it.
    static constexpr int ReapLimitMs = 10000;

    ~ToolRun(); // a child still running is killed with its group and reaped
    ToolRun(const ToolRun&) = delete;
    ToolRun& operator=(const ToolRun&) = delete;

    // Standard output into this file (created or truncated) instead of the null device.
    void SetStandardOutputFile(const QString& path);
    // Standard error into this file instead of "<program>.err" in the temporary folder.
    void SetStandardErrorFile(const QString& path);

    // False (outcome NotStarted) when the program could not be started, or when this run
    // already has a child that still runs.
    bool Start(const CommandLine& command, const QString& workingFolder);
    bool IsRunning() const;
    qint64 ProcessId() const;
    // Waits in slices until the child has ended or the cancel test asked to stop it.
    ToolResult Wait(const ToolWait& wait);
    // Kills a running child with its group and reaps it, serving the events meanwhile as
    // the wait says; the outcome becomes Cancelled.
    void Cancel(const ToolWait& wait = {});
    // The outcome so far: NotStarted before a start, Running until the child has ended.
    ToolResult Result() const;

private:
    // The outcome a Windows program's end means, from what Wine printed.
    void ReadWineVerdict(ToolResult& result) const;

    std::unique_ptr<ChildProcess> m_process;
    CommandLine m_command;
    QString m_stdout;
    QString m_stderr;
    QString m_stderrFile; // of the last start
    QString m_error;
    bool m_cancelled = false;
    bool m_cannotRun32 = false;
};

// Start and Wait in one.
ToolResult RunTool(const CommandLine& command, const QString& workingFolder,
                   const ToolWait& wait = {});
// The shape of RunTool, so a caller can be given another way to run (a test double).
using ToolRunner = std::function<ToolResult(const CommandLine& command,
                                            const QString& workingFolder, const ToolWait& wait)>;
