#pragma once
// The content editor's main window: menu 128, the main and the contents toolbar on one
// row, the status bar, and the view as its client. Every command is one QAction routed to
// the handler registered for its id; update handlers set enable and check states before a
// menu shows and on idle.
#include <QHash>
#include <QMainWindow>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;

// What an update handler sets for one command.
class CCmdUI
{
public:
    explicit CCmdUI(unsigned id) : m_nID(id) {}
    void Enable(bool enable = true) { m_bEnabled = enable; }
    void SetCheck(int check = 1) { m_bChecked = check != 0; }
    void SetRadio(bool on = true) { m_bChecked = on; }

    unsigned m_nID;
    bool m_bEnabled = true;
    bool m_bChecked = false;
};

class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    using CommandHandler = std::function<void()>;
    using UpdateHandler = std::function<void(CCmdUI&)>;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Builds the menu, both toolbars and the status bar; -1 when that failed.
    int OnCreate();

    // The handler of a command id (a later registration replaces an earlier one). A command
    // without a handler is disabled. Without an update handler a command is enabled.
    void SetCommandHandler(unsigned id, CommandHandler onCommand, UpdateHandler onUpdate = {});
    void RemoveCommandHandler(unsigned id);
    // Runs the command's handler. Refused (false) while the frame is busy, when the update
    // handler disables it or when it has no handler. No exception leaves it: one is shown
    // as a message.
    bool OnCommand(unsigned id);
    // Runs the update handler of every command and applies the states to the actions.
    void UpdateCommandUI();
    void UpdateCommandUI(unsigned id);

    QAction* Action(unsigned id) const;
    QMenu* MenuBarPopup(int index) const;
    QToolBar* MainToolBar() const { return m_wndToolBar; }
    QToolBar* ContentsToolBar() const { return m_wndContentsBar; }

    // While a long operation runs (it serves the events meanwhile), every command is
    // refused and the window does not close.
    static bool IsBusy();

    // The recent-file entries under File; an empty list shows the disabled placeholder.
    void SetRecentFiles(const QStringList& paths);
    // Opens recent-file entry index (0-based) when selected.
    void SetRecentFileHandler(std::function<void(int)> handler);

    // The view as the frame's client.
    void SetView(QWidget* view);
    QWidget* GetActiveView() const;

    // Asked before the window closes (the document's prompt to save changes); false keeps it.
    void SetCloseHandler(std::function<bool()> canClose);

    // The text of the message pane; empty shows the idle prompt.
    void SetMessageText(const QString& text);
    QString MessageText() const;

    // The string id of a menu item's text.
    static unsigned MenuTextId(unsigned commandId);

    // OnBarCheck / OnUpdateControlBarMenu of the three bar commands.
    void OnBarCheck(unsigned id);
    void OnUpdateControlBarMenu(CCmdUI& cmdUI);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    QAction* MakeAction(unsigned id);
    QMenu* MakeMenu(unsigned textId);
    void BuildMenu();
    bool BuildToolBars();
    void BuildStatusBar();
    void ApplyUpdate(unsigned id, QAction* action);

    struct Route
    {
        CommandHandler onCommand;
        UpdateHandler onUpdate;
    };
    QHash<unsigned, Route> m_routes;
    QHash<unsigned, QAction*> m_actions;
    QList<QMenu*> m_popups;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentPlaceholder = nullptr;
    QList<QAction*> m_recentActions;
    std::function<void(int)> m_recentHandler;
    std::function<bool()> m_closeHandler;
    QToolBar* m_wndToolBar = nullptr;
    QToolBar* m_wndContentsBar = nullptr;
    QLabel* m_message = nullptr;
    QTimer* m_idle = nullptr;
};
