#include "TOVKContEdit/ui/MainFrame.h"

#include "TOVKContEdit/res/resource.h"
#include "framework/GlyphIcon.h"
#include "framework/LongOperation.h"
#include "platform/CommandGuard.h"
#include "platform/Strings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace
{
constexpr unsigned kSeparator = 0;
constexpr int kRecentFileCount = 16;

// The status-bar prompt and the tool tip of a command: "prompt\ntip".
QString PromptPart(unsigned id, int part)
{
    const QString text = Strings::Load(id);
    const QStringList parts = text.split(u'\n');
    return part < parts.size() ? parts.at(part) : QString();
}

bool IsCheckable(unsigned id)
{
    return id == ID_VIEW_TOOLBAR || id == ID_VIEW_STATUS_BAR || id == ID_VIEW_CONTENTS_TOOLBAR ||
           (id >= ID_LANGUAGE_JAPANESE && id <= ID_LANGUAGE_DUTCH);
}

QIcon ToolIcon(unsigned id)
{
    QStyle* style = QApplication::style();
    switch (id)
    {
    case ID_FILE_NEW:
        return style->standardIcon(QStyle::SP_FileIcon);
    case ID_FILE_OPEN:
        return style->standardIcon(QStyle::SP_DialogOpenButton);
    case ID_FILE_SAVE:
        return style->standardIcon(QStyle::SP_DialogSaveButton);
    case ID_EDIT_CUT:
        return GlyphIcon(QStringLiteral("\u2702"), Qt::black);
    case ID_EDIT_COPY:
        return GlyphIcon(QStringLiteral("\u2750"), Qt::black);
    case ID_EDIT_PASTE:
        return GlyphIcon(QStringLiteral("\u25A4"), Qt::black);
    case ID_APP_ABOUT:
        return GlyphIcon(QStringLiteral("?"), Qt::darkBlue);
    case ID_EDIT_ADD:
        return GlyphIcon(QStringLiteral("+"), Qt::darkGreen);
    case ID_EDIT_SORT:
        return GlyphIcon(QStringLiteral("\u21C5"), Qt::darkBlue);
    case ID_EDIT_MOVEUP:
        return GlyphIcon(QStringLiteral("\u25B2"), Qt::darkBlue);
    case ID_EDIT_MOVEDOWN:
        return GlyphIcon(QStringLiteral("\u25BC"), Qt::darkBlue);
    case ID_EDIT_PLAYVOICE:
        return GlyphIcon(QStringLiteral("\u25B6"), Qt::darkGreen);
    case ID_EDIT_STOPVOICE:
        return GlyphIcon(QStringLiteral("\u25A0"), Qt::darkRed);
    case ID_FILE_OUTPUT:
        return GlyphIcon(QStringLiteral("\u21E8"), Qt::darkRed);
    default:
        break;
    }
    if (id >= ID_LANGUAGE_JAPANESE && id <= ID_LANGUAGE_DUTCH)
    {
        static const char* const codes[] = {"JP", "EN", "FR", "GE", "IT", "SP", "CN", "KR", "DU"};
        return GlyphIcon(QString::fromLatin1(codes[id - ID_LANGUAGE_JAPANESE]), Qt::black);
    }
    return QIcon();
}
} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QString::number(IDR_MAINFRAME));
    setAttribute(Qt::WA_DeleteOnClose, false);
}

CMainFrame::~CMainFrame()
{
    // The view goes first: it unregisters its commands from a frame that is still whole.
    delete takeCentralWidget();
}

unsigned CMainFrame::MenuTextId(unsigned commandId)
{
    return commandId >= 57344 ? IDS_MENU_FRAMEWORK_BASE + (commandId - 57344)
                              : IDS_MENU_ITEM_BASE + (commandId - 32768);
}

int CMainFrame::OnCreate()
{
    setWindowIcon(ProgramIcon(QStringLiteral("\u266A"), Qt::darkGreen));
    BuildMenu();
    if (!BuildToolBars())
        return -1;
    BuildStatusBar();
    m_idle = new QTimer(this);
    m_idle->setInterval(250);
    connect(m_idle, &QTimer::timeout, this, [this] { UpdateCommandUI(); });
    m_idle->start();
    UpdateCommandUI();
    return 0;
}

QAction* CMainFrame::MakeAction(unsigned id)
{
    if (QAction* existing = m_actions.value(id))
        return existing;
    auto* action = new QAction(this);
    action->setObjectName(QString::number(id));
    action->setText(Strings::Load(MenuTextId(id)));
    action->setStatusTip(PromptPart(id, 0));
    action->setToolTip(PromptPart(id, 1));
    action->setIcon(ToolIcon(id));
    action->setIconVisibleInMenu(false);
    action->setCheckable(IsCheckable(id));
    // The accelerators of resource 128; window-scoped, so a disabled window takes none.
    switch (id)
    {
    case ID_FILE_NEW:
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
        break;
    case ID_FILE_OPEN:
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
        break;
    case ID_FILE_SAVE:
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
        break;
    case ID_EDIT_CUT:
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
        break;
    case ID_EDIT_COPY:
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
        break;
    case ID_EDIT_PASTE:
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
        break;
    default:
        break;
    }
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    m_actions.insert(id, action);
    addAction(action);
    return action;
}

QMenu* CMainFrame::MakeMenu(unsigned textId)
{
    auto* menu = new QMenu(Strings::Load(textId), this);
    menu->setObjectName(QString::number(textId));
    connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandUI(); });
    return menu;
}

void CMainFrame::BuildMenu()
{
    const auto fill = [this](QMenu* menu, std::initializer_list<unsigned> ids)
    {
        for (unsigned id : ids)
        {
            if (id == kSeparator)
                menu->addSeparator();
            else
                menu->addAction(MakeAction(id));
        }
    };

    m_fileMenu = MakeMenu(IDS_MENU_FILE);
    fill(m_fileMenu, {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, kSeparator,
                      ID_FILE_OUTPUT, kSeparator});
    m_recentPlaceholder = new QAction(Strings::Load(IDS_MENU_RECENT_FILES), this);
    m_recentPlaceholder->setObjectName(QString::number(ID_FILE_MRU_FILE1));
    m_recentPlaceholder->setEnabled(false);
    m_fileMenu->addAction(m_recentPlaceholder);
    m_fileMenu->addSeparator();
    fill(m_fileMenu, {ID_APP_EXIT});

    QMenu* edit = MakeMenu(IDS_MENU_EDIT);
    fill(edit, {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, kSeparator, ID_EDIT_DELETE, ID_EDIT_ADD,
                ID_EDIT_MOVEUP, ID_EDIT_MOVEDOWN, kSeparator, ID_EDIT_SORT, kSeparator,
                ID_EDIT_PLAYVOICE, ID_EDIT_STOPVOICE});

    QMenu* view = MakeMenu(IDS_MENU_VIEW);
    fill(view, {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_CONTENTS_TOOLBAR, kSeparator});
    QMenu* language = MakeMenu(IDS_MENU_LANGUAGE);
    for (unsigned id = ID_LANGUAGE_JAPANESE; id <= ID_LANGUAGE_DUTCH; ++id)
        language->addAction(MakeAction(id));
    view->addMenu(language);

    QMenu* help = MakeMenu(IDS_MENU_HELP);
    fill(help, {ID_APP_ABOUT});

    m_popups = {m_fileMenu, edit, view, help};
    for (QMenu* menu : m_popups)
        menuBar()->addMenu(menu);
    m_popups.append(language);

    // The bar commands are the frame's own.
    for (unsigned id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_CONTENTS_TOOLBAR})
        SetCommandHandler(
            id, [this, id] { OnBarCheck(id); }, [this](CCmdUI& ui) { OnUpdateControlBarMenu(ui); });
}

bool CMainFrame::BuildToolBars()
{
    const auto fill = [this](QToolBar* bar, std::initializer_list<unsigned> ids)
    {
        for (unsigned id : ids)
        {
            if (id == kSeparator)
                bar->addSeparator();
            else
                bar->addAction(MakeAction(id));
        }
    };
    m_wndToolBar = new QToolBar(Strings::Load(IDS_MENU_TOOLBAR_MAIN), this);
    m_wndToolBar->setObjectName(QString::number(ID_VIEW_TOOLBAR));
    m_wndToolBar->setIconSize(QSize(16, 15));
    fill(m_wndToolBar, {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, kSeparator, ID_EDIT_CUT,
                        ID_EDIT_COPY, ID_EDIT_PASTE, kSeparator, ID_APP_ABOUT});
    m_wndContentsBar = new QToolBar(Strings::Load(IDS_MENU_TOOLBAR_CONTENTS), this);
    m_wndContentsBar->setObjectName(QString::number(ID_VIEW_CONTENTS_TOOLBAR));
    m_wndContentsBar->setIconSize(QSize(16, 15));
    fill(m_wndContentsBar, {ID_EDIT_ADD, ID_EDIT_SORT, ID_EDIT_MOVEUP, ID_EDIT_MOVEDOWN,
                            ID_EDIT_PLAYVOICE, ID_EDIT_STOPVOICE, ID_FILE_OUTPUT, kSeparator});
    for (unsigned id = ID_LANGUAGE_JAPANESE; id <= ID_LANGUAGE_DUTCH; ++id)
        m_wndContentsBar->addAction(MakeAction(id));
    // Both dock anywhere; the contents bar sits on the main bar's row, right of it.
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
    addToolBar(Qt::TopToolBarArea, m_wndContentsBar);
    return true;
}

void CMainFrame::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QString::number(ID_VIEW_STATUS_BAR));
    bar->setSizeGripEnabled(true);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("0"));
    bar->addWidget(m_message, 1);
    // The key-state indicators: sized for their texts; the key states are not read.
    for (unsigned id : {ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL})
    {
        auto* pane = new QLabel(this);
        pane->setObjectName(QString::number(id));
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(Strings::Load(id)) + 8);
        bar->addPermanentWidget(pane);
    }
    SetMessageText(QString());
}

void CMainFrame::SetCommandHandler(unsigned id, CommandHandler onCommand, UpdateHandler onUpdate)
{
    m_routes.insert(id, Route{std::move(onCommand), std::move(onUpdate)});
    UpdateCommandUI(id);
}

void CMainFrame::RemoveCommandHandler(unsigned id)
{
    m_routes.remove(id);
    UpdateCommandUI(id);
}

bool CMainFrame::OnCommand(unsigned id)
{
    if (IsBusy())
        return false;
    const auto route = m_routes.constFind(id);
    if (route == m_routes.constEnd() || !route->onCommand)
        return false;
    if (route->onUpdate)
    {
        CCmdUI state(id);
        route->onUpdate(state);
        if (!state.m_bEnabled)
        {
            UpdateCommandUI(id);
            return false;
        }
    }
    // Copy: the handler may replace its own registration.
    const CommandHandler handler = route->onCommand;
    RunCommandHandler(handler, IDS_MEMORY_EXCEPTION, IDS_COMMAND_FAILED);
    UpdateCommandUI();
    return true;
}

void CMainFrame::ApplyUpdate(unsigned id, QAction* action)
{
    CCmdUI state(id);
    const auto route = m_routes.constFind(id);
    if (route == m_routes.constEnd() || !route->onCommand)
        state.Enable(false);
    else if (route->onUpdate)
    {
        try
        {
            route->onUpdate(state);
        }
        catch (...)
        {
            state.Enable(false);
        }
    }
    if (IsBusy())
        state.Enable(false);
    action->setEnabled(state.m_bEnabled);
    if (action->isCheckable())
        action->setChecked(state.m_bChecked);
}

void CMainFrame::UpdateCommandUI()
{
    for (auto it = m_actions.constBegin(); it != m_actions.constEnd(); ++it)
        ApplyUpdate(it.key(), it.value());
    for (QAction* recent : m_recentActions)
        recent->setEnabled(!IsBusy());
}

void CMainFrame::UpdateCommandUI(unsigned id)
{
    if (QAction* action = m_actions.value(id))
        ApplyUpdate(id, action);
}

QAction* CMainFrame::Action(unsigned id) const
{
    return m_actions.value(id);
}

QMenu* CMainFrame::MenuBarPopup(int index) const
{
    return index >= 0 && index < m_popups.size() ? m_popups.at(index) : nullptr;
}

bool CMainFrame::IsBusy()
{
    return CLongOperation::IsBusy();
}

void CMainFrame::SetRecentFiles(const QStringList& paths)
{
    if (!m_fileMenu)
        return;
    for (QAction* action : m_recentActions)
    {
        m_fileMenu->removeAction(action);
        delete action;
    }
    m_recentActions.clear();
    const int count = qMin<int>(paths.size(), kRecentFileCount);
    m_recentPlaceholder->setVisible(count == 0);
    for (int i = 0; i < count; ++i)
    {
        auto* action = new QAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(paths.at(i))), this);
        action->setObjectName(QString::number(ID_FILE_MRU_FILE1 + i));
        connect(action, &QAction::triggered, this,
                [this, i]
                {
                    if (!IsBusy() && m_recentHandler)
                        m_recentHandler(i);
                });
        m_fileMenu->insertAction(m_recentPlaceholder, action);
        m_recentActions.append(action);
    }
}

void CMainFrame::SetRecentFileHandler(std::function<void(int)> handler)
{
    m_recentHandler = std::move(handler);
}

void CMainFrame::SetView(QWidget* view)
{
    setCentralWidget(view);
}

QWidget* CMainFrame::GetActiveView() const
{
    return centralWidget();
}

void CMainFrame::SetCloseHandler(std::function<bool()> canClose)
{
    m_closeHandler = std::move(canClose);
}

void CMainFrame::SetMessageText(const QString& text)
{
    if (m_message)
        m_message->setText(text.isEmpty() ? Strings::Load(IDS_IDLE_MESSAGE) : text);
}

QString CMainFrame::MessageText() const
{
    return m_message ? m_message->text() : QString();
}

void CMainFrame::OnBarCheck(unsigned id)
{
    QWidget* bar = nullptr;
    if (id == ID_VIEW_TOOLBAR)
        bar = m_wndToolBar;
    else if (id == ID_VIEW_CONTENTS_TOOLBAR)
        bar = m_wndContentsBar;
    else if (id == ID_VIEW_STATUS_BAR)
        bar = statusBar();
    if (bar)
        bar->setVisible(bar->isHidden());
}

void CMainFrame::OnUpdateControlBarMenu(CCmdUI& cmdUI)
{
    const QWidget* bar = nullptr;
    if (cmdUI.m_nID == ID_VIEW_TOOLBAR)
        bar = m_wndToolBar;
    else if (cmdUI.m_nID == ID_VIEW_CONTENTS_TOOLBAR)
        bar = m_wndContentsBar;
    else if (cmdUI.m_nID == ID_VIEW_STATUS_BAR)
        bar = statusBar();
    cmdUI.Enable(bar != nullptr);
    cmdUI.SetCheck(bar && !bar->isHidden());
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (IsBusy() || (m_closeHandler && !m_closeHandler()))
    {
        event->ignore();
        return;
    }
    event->accept();
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip)
    {
        SetMessageText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}
