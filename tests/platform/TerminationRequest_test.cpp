#include "platform/TerminationRequest.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

namespace
{
volatile std::sig_atomic_t g_earlier = 0;

void EarlierHandler(int)
{
    g_earlier = g_earlier + 1;
}

// Runs the event loop until the condition holds or two seconds have passed.
bool LoopUntil(const std::function<bool()>& condition)
{
    QDeadlineTimer deadline(2000);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

TEST(TerminationRequest, TheSignalReachesTheHandlerThroughTheEventLoopOnly)
{
    int requests = 0;
    TerminationRequest request([&requests] { ++requests; });
    ASSERT_TRUE(request.IsInstalled());
    std::raise(SIGTERM);
    EXPECT_EQ(requests, 0) << "the handler ran inside the signal";
    EXPECT_TRUE(LoopUntil([&] { return requests == 1; }));
    std::raise(SIGTERM);
    std::raise(SIGTERM);
    EXPECT_TRUE(LoopUntil([&] { return requests == 3; }));
    // The session's end may come as a hang-up.
    std::raise(SIGHUP);
    EXPECT_TRUE(LoopUntil([&] { return requests == 4; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(requests, 4);
}

TEST(TerminationRequest, OneHolderAtATimeAndTheEarlierHandlerComesBack)
{
    std::signal(SIGTERM, EarlierHandler);
    g_earlier = 0;
    int first = 0;
    {
        TerminationRequest request([&first] { ++first; });
        ASSERT_TRUE(request.IsInstalled());
        TerminationRequest second([] { ADD_FAILURE() << "a second holder got the request"; });
        EXPECT_FALSE(second.IsInstalled());
        std::raise(SIGTERM);
        EXPECT_TRUE(LoopUntil([&] { return first == 1; }));
        EXPECT_EQ(g_earlier, 0);
    }
    std::raise(SIGTERM);
    EXPECT_EQ(g_earlier, 1);

    // After the end of the first holder a new one can take the request.
    int again = 0;
    {
        TerminationRequest request([&again] { ++again; });
        ASSERT_TRUE(request.IsInstalled());
        std::raise(SIGTERM);
        EXPECT_TRUE(LoopUntil([&] { return again == 1; }));
    }
    EXPECT_EQ(first, 1);
    std::signal(SIGTERM, SIG_DFL);
}
} // namespace
