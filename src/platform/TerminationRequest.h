#pragma once
// A termination request to the process (SIGTERM, or SIGHUP as when the session ends) handed
// to the event loop: the handler runs from the loop, never inside the signal, so it may
// close windows the usual way. One holder at a time; the earlier disposition comes back with the
// holder's end.
#include <functional>
#include <memory>

class QSocketNotifier;

class TerminationRequest
{
public:
    explicit TerminationRequest(std::function<void()> onRequest);
    ~TerminationRequest();
    TerminationRequest(const TerminationRequest&) = delete;
    TerminationRequest& operator=(const TerminationRequest&) = delete;

    // False when the request could not be caught (no pipe, or another holder exists).
    bool IsInstalled() const { return m_notifier != nullptr; }

private:
    std::function<void()> m_onRequest;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
