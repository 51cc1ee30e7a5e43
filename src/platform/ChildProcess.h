#pragma once
// A started program: still running, wait with time-out, exit code, kill. Started from an
// argument vector, never through a shell, as the leader of a process group of its own, so
// the helpers it starts can be ended with it; standard input, output and error go to the
// null device unless redirected.
#include "platform/CommandLine.h"

#include <QString>
#include <memory>

class QProcess;

constexpr int STILL_ACTIVE = 259;

class ChildProcess
{
public:
    ChildProcess();
    ~ChildProcess(); // the child is left running; only the holder goes
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Standard output into this file (created or truncated) instead of the null device.
    void SetStandardOutputFile(const QString& path);
    // Standard error into this file instead of the null device.
    void SetStandardErrorFile(const QString& path);
    // Standard input from this file instead of the null device.
    void SetStandardInputFile(const QString& path);

    // How long Start waits for the program to be running before it gives up.
    static constexpr int StartLimitMs = 10000;

    bool Start(const CommandLine& command, const QString& workingFolder = QString());
    // True until the child has ended (whatever code it returned).
    bool IsRunning() const;
    // Waits up to ms (-1: no limit); true when the child has ended.
    bool WaitFor(int ms);
    // STILL_ACTIVE while running; the exit code after; -1 when never started or crashed.
    int ExitCode() const;
    // True when the child ended by a signal.
    bool Crashed() const;
    qint64 ProcessId() const;
    // Kills the child's whole process group (the child, and the helpers it started that
    // are still in it) and returns at once: the child is reaped by a later wait.
    void KillGroup();
    QString ErrorString() const;

private:
    std::unique_ptr<QProcess> m_process;
    QString m_stdout;
    QString m_stderr;
    QString m_stdin;
    QString m_error;
};
