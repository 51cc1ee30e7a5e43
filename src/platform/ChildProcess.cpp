#include "platform/ChildProcess.h"

#include "platform/Path.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <unistd.h>

ChildProcess::ChildProcess() = default;

ChildProcess::~ChildProcess()
{
    if (m_process && m_process->state() != QProcess::NotRunning)
    {
        // The child outlives its holder: the process object goes once the child has ended.
        QProcess* process = m_process.release();
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    }
}

void ChildProcess::SetStandardOutputFile(const QString& path)
{
    m_stdout = path;
}

void ChildProcess::SetStandardErrorFile(const QString& path)
{
    m_stderr = path;
}

void ChildProcess::SetStandardInputFile(const QString& path)
{
    m_stdin = path;
}

bool ChildProcess::Start(const CommandLine& command, const QString& workingFolder)
{
    if (m_process && m_process->state() != QProcess::NotRunning)
        return false;
    m_process = std::make_unique<QProcess>();
    // A bare name is looked up on PATH; a path goes through Resolve like every file.
    const QString native = Path::ToNative(command.program);
    m_process->setProgram(native.contains(u'/') ? Path::Resolve(native) : native);
    m_process->setArguments(command.arguments);
    if (!command.environment.isEmpty())
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& variable : command.environment)
        {
            const qsizetype equals = variable.indexOf(u'=');
            environment.insert(variable.left(equals), variable.mid(equals + 1));
        }
        m_process->setProcessEnvironment(environment);
    }
    if (!workingFolder.isEmpty())
        m_process->setWorkingDirectory(Path::Resolve(workingFolder));
    m_process->setStandardInputFile(m_stdin.isEmpty() ? QProcess::nullDevice()
                                                      : Path::Resolve(m_stdin));
    m_process->setStandardOutputFile(m_stdout.isEmpty() ? QProcess::nullDevice()
                                                        : Path::Resolve(m_stdout));
    m_process->setStandardErrorFile(m_stderr.isEmpty() ? QProcess::nullDevice()
                                                       : Path::Resolve(m_stderr));
    // Runs in the child between fork and exec: a group of its own, led by the child.
    m_process->setChildProcessModifier([] { ::setpgid(0, 0); });
    m_process->start(QIODevice::ReadOnly);
    if (!m_process->waitForStarted(StartLimitMs))
    {
        m_error = m_process->errorString();
        if (m_process->state() != QProcess::NotRunning)
        {
            KillGroup();
            m_process->waitForFinished(StartLimitMs);
        }
        m_process.reset();
        return false;
    }
    return true;
}

bool ChildProcess::IsRunning() const
{
    if (!m_process)
        return false;
    // Looks at the child now rather than at the last event the loop delivered.
    if (m_process->state() != QProcess::NotRunning)
        m_process->waitForFinished(0);
    return m_process->state() != QProcess::NotRunning;
}

bool ChildProcess::WaitFor(int ms)
{
    if (!m_process)
        return true;
    if (m_process->state() == QProcess::NotRunning)
        return true;
    m_process->waitForFinished(ms);
    return m_process->state() == QProcess::NotRunning;
}

int ChildProcess::ExitCode() const
{
    if (!m_process)
        return -1;
    if (IsRunning())
        return STILL_ACTIVE;
    if (m_process->exitStatus() == QProcess::CrashExit)
        return -1;
    return m_process->exitCode();
}

bool ChildProcess::Crashed() const
{
    return m_process && !IsRunning() && m_process->exitStatus() == QProcess::CrashExit;
}

qint64 ChildProcess::ProcessId() const
{
    return m_process ? m_process->processId() : 0;
}

void ChildProcess::KillGroup()
{
    // Only while the leader is not reaped: its id cannot name another group meanwhile.
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return;
    const qint64 pid = m_process->processId();
    if (pid > 0)
        ::kill(-pid_t(pid), SIGKILL);
    m_process->kill();
}

QString ChildProcess::ErrorString() const
{
    if (!m_error.isEmpty())
        return m_error;
    return m_process ? m_process->errorString() : QString();
}
