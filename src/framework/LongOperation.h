#pragma once
// The one owner of a long operation of a program's main window (an output, an editor
// launch, the registry calls through Wine): while one lives the window is busy, so the
// commands that would change the data under it are refused and the window does not close;
// the operation's tool runs wait through it, serving the events on every slice whatever
// the progress bar shows and asking its cancel test on every slice. A termination request
// (the session ending) that comes meanwhile cancels the operation, lets it clean up as a
// Cancel does, and ends the program once the operation is over.
#include "platform/ToolRun.h"

#include <functional>

class CLongOperation
{
public:
    // Makes the main window busy for the life of the object (operations may nest).
    CLongOperation();
    ~CLongOperation();
    CLongOperation(const CLongOperation&) = delete;
    CLongOperation& operator=(const CLongOperation&) = delete;

    // True while any long operation lives.
    static bool IsBusy();
    // The innermost operation that lives; null when none.
    static CLongOperation* Current();

    // What a cancel does besides raising the flag (the progress dialog's Cancel, so the
    // operation's own cancel tests see it).
    void SetCancelHandler(std::function<void()> handler) { m_onCancel = std::move(handler); }
    // Where else a cancel may be asked for (the progress dialog's flag).
    void SetCancelTest(std::function<bool()> test) { m_cancelTest = std::move(test); }
    void RequestCancel();
    bool IsCancelRequested() const;

    // The wait on a tool of this operation: events served and the cancel test asked on
    // every slice; `step` (may be empty) advances the progress after the events.
    ToolWait Wait(std::function<void()> step = {}, int sliceMs = 10) const;
    // Starts the program and waits for it as above.
    ToolResult RunTool(const CommandLine& command, const QString& workingFolder,
                       std::function<void()> step = {}, int sliceMs = 10) const;

    // How the time of the waits passes; null (the default) is real time. For tests.
    static void SetWaitClock(WaitClock* clock);
    static WaitClock* Clock();

    // A termination request: every living operation is cancelled; when the last one ends,
    // `end` runs from the event loop. Without an operation `end` runs at once.
    static void RequestTermination(std::function<void()> end);
    // True from a termination request on: messages that wait for the author are skipped.
    static bool IsTerminationRequested();
    // Forgets a request (tests).
    static void ResetTermination();

private:
    CLongOperation* m_outer;
    std::function<void()> m_onCancel;
    std::function<bool()> m_cancelTest;
    bool m_cancelled = false;
};
