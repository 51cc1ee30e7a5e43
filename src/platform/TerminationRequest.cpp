#include "platform/TerminationRequest.h"

#include "platform/FileDescriptor.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace
{
// The self-pipe: the signal handler may only write a byte.
FileDescriptor g_signalRead;
FileDescriptor g_signalWrite;
struct sigaction g_previous;
struct sigaction g_previousHangUp;

void OnTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_signalWrite.Get(), &byte, 1);
}
} // namespace

TerminationRequest::TerminationRequest(std::function<void()> onRequest)
    : m_onRequest(std::move(onRequest))
{
    // Close-on-exec: the programs a window starts must not hold the pipe.
    int ends[2];
    if (g_signalRead.IsOpen() || pipe2(ends, O_CLOEXEC) != 0)
        return;
    g_signalRead.Reset(ends[0]);
    g_signalWrite.Reset(ends[1]);
    m_notifier = std::make_unique<QSocketNotifier>(g_signalRead.Get(), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated,
                     [this]
                     {
                         char byte = 0;
                         [[maybe_unused]] const ssize_t got = read(g_signalRead.Get(), &byte, 1);
                         if (m_onRequest)
                             m_onRequest();
                     });
    struct sigaction action = {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &g_previous);
    sigaction(SIGHUP, &action, &g_previousHangUp);
}

TerminationRequest::~TerminationRequest()
{
    if (!m_notifier)
        return;
    sigaction(SIGTERM, &g_previous, nullptr);
    sigaction(SIGHUP, &g_previousHangUp, nullptr);
    m_notifier.reset();
    g_signalRead.Reset();
    g_signalWrite.Reset();
}
