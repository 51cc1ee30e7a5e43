#include "platform/Opener.h"

#include "platform/ChildProcess.h"
#include "platform/Path.h"
#include "platform/TempFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

namespace
{
// How often the watched program is looked at.
constexpr int LookMs = 50;

// Lives while the program is watched; goes with the application at the latest. The program
// itself is left running when the watch ends.
class Watch : public QObject
{
public:
    Watch(std::unique_ptr<ChildProcess> child, QString program, OpenFailed failed, int watchMs)
        : QObject(QCoreApplication::instance()), m_child(std::move(child)),
          m_program(std::move(program)), m_failed(std::move(failed)), m_watchMs(watchMs)
    {
        m_clock.start();
        connect(&m_timer, &QTimer::timeout, this, &Watch::Look);
        m_timer.start(LookMs);
    }

private:
    void Look()
    {
        const bool ended = !m_child->IsRunning();
        if (!ended && !m_clock.hasExpired(m_watchMs))
            return;
        m_timer.stop();
        deleteLater();
        // A crash reads as -1: an error end too.
        if (ended && m_child->ExitCode() != 0 && m_failed)
            m_failed(m_program);
    }

    std::unique_ptr<ChildProcess> m_child;
    QString m_program;
    OpenFailed m_failed;
    int m_watchMs;
    QElapsedTimer m_clock;
    QTimer m_timer;
};
} // namespace

bool Opener::Start(const CommandLine& command, const QString& workingFolder,
                   const OpenFailed& failed, int watchMs)
{
    const QString program = Path::FindFileName(Path::ToNative(command.program));
    auto child = std::make_unique<ChildProcess>();
    const QString temp = TempFolder();
    if (!temp.isEmpty())
        child->SetStandardErrorFile(Path::Append(temp, program + QStringLiteral(".err")));
    if (!child->Start(command, workingFolder))
    {
        if (failed)
            failed(program);
        return false;
    }
    if (QCoreApplication::instance() != nullptr)
        new Watch(std::move(child), program, failed, watchMs);
    return true;
}
