#pragma once
// The hub's main window: fixed size, menu 128, the flat tool bar (New, Open, Save, About),
// the status bar, and the main view as its client. Every command is one QAction routed to
// the view; the Save command's state follows its update handler before a menu shows and
// on idle. The window closes only when no started editor runs and the project may go.
#include <QHash>
#include <QMainWindow>
#include <functional>

class CMainFormView;
class QAction;
class QLabel;
class QTimer;
class QToolBar;

class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Builds the menu, the tool bar and the status bar; -1 when that failed.
    int OnCreate();
    void SetView(CMainFormView* view);
    CMainFormView* GetActiveView() const { return m_pView; }

    // Runs the command's handler unless its update handler disables it. No exception
    // leaves it: one is shown as the framework's message.
    bool OnCommand(unsigned id);
    void UpdateCommandUI();
    QAction* Action(unsigned id) const { return m_actions.value(id); }
    QToolBar* ToolBar() const { return m_wndToolBar; }
    QString MessageText() const;

    // While a long operation runs (the output, an editor is waited for, a registry call
    // through Wine) the commands that change, replace, save or leave the project are
    // refused, whatever window is active.
    static bool IsBusy();
    // The busy state of the main frame the widget lies in (false outside one).
    static bool IsBusyAround(const QWidget* widget);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    QAction* MakeAction(unsigned id, unsigned textId);
    bool IsEnabled(unsigned id) const;

    CMainFormView* m_pView = nullptr;
    QHash<unsigned, QAction*> m_actions;
    QHash<unsigned, std::function<void()>> m_handlers;
    QToolBar* m_wndToolBar = nullptr;
    QLabel* m_message = nullptr;
    QTimer* m_idle = nullptr;
};
