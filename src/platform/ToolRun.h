#pragma once
// Running an external program to its end: started from an argument vector in a given
// folder, waited for in slices while the caller's pump keeps the windows alive, a cancel
// test on every slice that kills and reaps the child, and one outcome. Every external
// program (converter, title replacer, bind tool, editors) runs this way.
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
    };
    Outcome outcome = NotStarted;
    int exitCode = 0; // meaningful for Exited only
    QString error;    // why it could not be started

    bool Succeeded() const { return outcome == Exited && exitCode == 0; }
};

struct ToolWait
{
    // How long one slice waits for the end before the pump and the cancel test run.
    int sliceMs = 10;
    // Runs once per slice (event pumping, progress steps); may be empty.
    std::function<void()> pump;
    // Asked once per slice after the pump; true kills the child. May be empty.
    std::function<bool()> cancel;
};

class ToolRun
{
public:
    ToolRun();
    ~ToolRun(); // a child still running is killed and reaped
    ToolRun(const ToolRun&) = delete;
    ToolRun& operator=(const ToolRun&) = delete;

    // Standard output into this file (created or truncated) instead of the null device.
    void SetStandardOutputFile(const QString& path);

    // False (outcome NotStarted) when the program could not be started, or when this run
    // already has a child that still runs.
    bool Start(const CommandLine& command, const QString& workingFolder);
    bool IsRunning() const;
    qint64 ProcessId() const;
    // Waits in slices until the child has ended or the cancel test asked to stop it.
    ToolResult Wait(const ToolWait& wait);
    // Kills a running child and reaps it; the outcome becomes Cancelled.
    void Cancel();
    // The outcome once the child has ended (NotStarted before a start or while it runs).
    ToolResult Result() const;

private:
    std::unique_ptr<ChildProcess> m_process;
    QString m_stdout;
    QString m_error;
    bool m_cancelled = false;
};

// Start and Wait in one.
ToolResult RunTool(const CommandLine& command, const QString& workingFolder,
                   const ToolWait& wait = {});
// The shape of RunTool, so a caller can be given another way to run (a test double).
using ToolRunner = std::function<ToolResult(const CommandLine& command,
                                            const QString& workingFolder, const ToolWait& wait)>;
