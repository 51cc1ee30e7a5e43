#pragma once
// The common shape of the step pages: a child dialog under the step tabs with the step
// contract. CheckStep empties the error, appends one line ending in "\r\n" per problem and
// is true exactly when it appended nothing.
#include <QWidget>

#include <functional>

class QKeyEvent;
class QShowEvent;

class CStepPage : public QWidget
{
    Q_OBJECT
public:
    explicit CStepPage(QWidget* parent = nullptr) : QWidget(parent) {}

    // Pages without a check have no step error.
    virtual bool CheckStep(QString& error);
    // The page's refresh from the project data (pages 0..6).
    virtual void Refresh() {}
    // Enter while the page is current reaches the page here; true when it used the key.
    virtual bool PreTranslateMessage(QKeyEvent* event);
    // The tab control's activation notice when the page is shown or hidden.
    virtual void OnActivate(bool active);
    // The page's own update when the program shows it (a show by the window system, as
    // when the main window comes back from the task bar, does not count).
    virtual void OnShowWindow(bool show);

    // Runs a command of the page under the framework's guard: whatever it throws ends in the
    // standard message and goes no further. False when it threw.
    static bool RunGuarded(const std::function<void()>& command);
    // The same for a command that works on the project: refused (false) while the main
    // frame the widget lies in is busy.
    static bool RunGuarded(const QWidget* widget, const std::function<void()>& command);

protected:
    // Connects a control's notice to one of the page's handlers through RunGuarded. The
    // handler takes the first arguments of the signal it wants, like a plain connection.
    template <typename Sender, typename Signal, typename Page, typename... Args>
    void ConnectCommand(const Sender* sender, Signal signal, void (Page::*handler)(Args...))
    {
        Page* page = static_cast<Page*>(this);
        connect(sender, signal, this,
                [page, handler](Args... args)
                { RunGuarded(page, [&] { (page->*handler)(args...); }); });
    }
    // The same for a handler with no arguments made on the spot.
    template <typename Sender, typename Signal>
    void ConnectCommand(const Sender* sender, Signal signal, std::function<void()> handler)
    {
        connect(sender, signal, this,
                [this, handler = std::move(handler)] { RunGuarded(this, handler); });
    }

    void showEvent(QShowEvent* event) override;
};
