// The one owner of a long operation: the busy state while any lives, the cancel that a
// termination request brings, and the program's end once the last operation is over.
#include "common/FakeClock.h"
#include "framework/LongOperation.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace
{
class LongOperationTest : public ::testing::Test
{
protected:
    void TearDown() override { CLongOperation::ResetTermination(); }
};

TEST_F(LongOperationTest, BusyWhileAnyOperationLives)
{
    EXPECT_FALSE(CLongOperation::IsBusy());
    {
        const CLongOperation outer;
        EXPECT_EQ(CLongOperation::Current(), &outer);
        {
            const CLongOperation inner;
            EXPECT_EQ(CLongOperation::Current(), &inner);
        }
        EXPECT_EQ(CLongOperation::Current(), &outer);
        EXPECT_TRUE(CLongOperation::IsBusy());
    }
    EXPECT_FALSE(CLongOperation::IsBusy());
}

TEST_F(LongOperationTest, ATerminationRequestCancelsEveryOperationAndEndsAfterTheLast)
{
    int ends = 0;
    bool dialogCancelled = false;
    {
        CLongOperation outer;
        outer.SetCancelHandler([&dialogCancelled] { dialogCancelled = true; });
        {
            const CLongOperation inner;
            CLongOperation::RequestTermination([&ends] { ++ends; });
            EXPECT_TRUE(inner.IsCancelRequested());
            EXPECT_TRUE(outer.IsCancelRequested());
            EXPECT_TRUE(dialogCancelled);
            // An operation begun now is over before it starts.
            const CLongOperation late;
            EXPECT_TRUE(late.IsCancelRequested());
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(ends, 0) << "the program ended while an operation still ran";
    }
    EXPECT_EQ(ends, 0) << "the end ran inside the operation's caller";
    QCoreApplication::processEvents();
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(CLongOperation::IsTerminationRequested());
}

TEST_F(LongOperationTest, WithoutAnOperationTheProgramEndsFromTheEventLoop)
{
    int ends = 0;
    CLongOperation::RequestTermination([&ends] { ++ends; });
    EXPECT_EQ(ends, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(ends, 1);
}

TEST_F(LongOperationTest, TheWaitOfAToolServesEventsAndStopsItOnACancelFromElsewhere)
{
    CLongOperation operation;
    bool dialogFlag = false;
    operation.SetCancelTest([&dialogFlag] { return dialogFlag; });
    FakeClock clock;
    CLongOperation::SetWaitClock(&clock);
    int served = 0;
    // The dialog's Cancel, as a queued click seen only when the events are served.
    clock.At(40000,
             [&]
             {
                 QMetaObject::invokeMethod(
                     qApp,
                     [&]
                     {
                         ++served;
                         dialogFlag = true;
                     },
                     Qt::QueuedConnection);
             });
    int steps = 0;
    const ToolResult result =
        operation.RunTool(CommandLine("/bin/sleep", {"60"}), QString(), [&steps] { ++steps; });
    CLongOperation::SetWaitClock(nullptr);
    EXPECT_EQ(result.outcome, ToolResult::Cancelled);
    EXPECT_EQ(served, 1);
    EXPECT_GE(steps, 4000);
    EXPECT_GE(clock.Now(), 40000);
    EXPECT_LT(clock.Now(), 60000);
}
} // namespace
