#include "Ostrelin/ui/MainFrame.h"

#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/MainFormView.h"
#include "Ostrelin/ui/StepPage.h"
#include "Ostrelin/ui/TrefTabCtrl.h"
#include "framework/GlyphIcon.h"
#include "framework/LongOperation.h"
#include "platform/CommandGuard.h"
#include "platform/Strings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace
{
// The status-bar prompt or the tool tip of a command: "prompt\ntip".
QString PromptPart(unsigned id, int part)
{
    const QStringList parts = Strings::Load(id).split(u'\n');
    return part < parts.size() ? parts.at(part) : QString();
}

constexpr int kIdleMs = 200;
} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QString::number(IDR_MAINFRAME));
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::MakeAction(unsigned id, unsigned textId)
{
    auto* action = new QAction(textId ? Strings::Load(textId) : PromptPart(id, 1), this);
    action->setObjectName(QString::number(id));
    action->setStatusTip(PromptPart(id, 0));
    action->setToolTip(PromptPart(id, 1));
    // Ctrl+N, O and S come through the application's key routing, not as shortcuts.
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    m_actions.insert(id, action);
    return action;
}

int CMainFrame::OnCreate()
{
    setWindowIcon(ProgramIcon(QStringLiteral("\u2630"), Qt::darkBlue));
    // The window has the size of its form and cannot be resized by its border.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    QStyle* style = QApplication::style();
    QAction* fileNew = MakeAction(ID_FILE_NEW, IDS_MENU_FILE_NEW);
    fileNew->setIcon(style->standardIcon(QStyle::SP_FileIcon));
    QAction* fileOpen = MakeAction(ID_FILE_OPEN, IDS_MENU_FILE_OPEN);
    fileOpen->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
    QAction* fileSave = MakeAction(ID_FILE_SAVE, IDS_MENU_FILE_SAVE);
    fileSave->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    MakeAction(ID_FILE_SAVE_AS, 0);
    QAction* exit = MakeAction(ID_APP_EXIT, IDS_MENU_APP_EXIT);
    QAction* about = MakeAction(ID_APP_ABOUT, IDS_MENU_APP_ABOUT);
    about->setIcon(style->standardIcon(QStyle::SP_MessageBoxQuestion));
    MakeAction(ID_CONTENT_EDITOR, 0);
    MakeAction(ID_QUERY_EDITOR, 0);
    QAction* toolbar = MakeAction(ID_VIEW_TOOLBAR, IDS_MENU_VIEW_TOOLBAR);
    toolbar->setCheckable(true);
    toolbar->setChecked(true);

    QMenu* file = menuBar()->addMenu(Strings::Load(IDS_MENU_FILE));
    file->addAction(fileNew);
    file->addAction(fileOpen);
    file->addAction(fileSave);
    file->addSeparator();
    file->addAction(exit);
    QMenu* view = menuBar()->addMenu(Strings::Load(IDS_MENU_VIEW));
    view->addAction(toolbar);
    QMenu* help = menuBar()->addMenu(Strings::Load(IDS_MENU_HELP));
    help->addAction(about);
    for (QMenu* menu : {file, view, help})
        connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandUI(); });

    m_wndToolBar = addToolBar(QString());
    m_wndToolBar->setObjectName(QStringLiteral("toolbar"));
    m_wndToolBar->setIconSize(QSize(16, 15));
    m_wndToolBar->addAction(fileNew);
    m_wndToolBar->addAction(fileOpen);
    m_wndToolBar->addAction(fileSave);
    m_wndToolBar->addSeparator();
    m_wndToolBar->addAction(about);
    connect(m_wndToolBar, &QToolBar::visibilityChanged, toolbar, &QAction::setChecked);
    m_handlers.insert(ID_VIEW_TOOLBAR,
                      [this] { m_wndToolBar->setVisible(!m_wndToolBar->isVisible()); });

    m_message = new QLabel(Strings::Load(IDS_IDLE_MESSAGE));
    statusBar()->addWidget(m_message, 1);
    // The key-state indicators: sized for their texts; the key states are not read.
    for (unsigned id : {IDS_INDICATOR_CAPS, IDS_INDICATOR_NUM, IDS_INDICATOR_SCRL})
    {
        auto* pane = new QLabel(this);
        pane->setObjectName(QString::number(id));
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(Strings::Load(id)) + 8);
        statusBar()->addPermanentWidget(pane);
    }

    m_idle = new QTimer(this);
    m_idle->setInterval(kIdleMs);
    connect(m_idle, &QTimer::timeout, this, [this] { UpdateCommandUI(); });
    m_idle->start();
    return 0;
}

void CMainFrame::SetView(CMainFormView* view)
{
    m_pView = view;
    setCentralWidget(view);
    m_handlers.insert(ID_FILE_NEW, [view] { view->OnFileNew(); });
    m_handlers.insert(ID_FILE_OPEN, [view] { view->OnFileOpen(); });
    m_handlers.insert(ID_FILE_SAVE, [view] { view->OnFileSave(); });
    m_handlers.insert(ID_FILE_SAVE_AS, [view] { view->OnFileSaveAs(); });
    m_handlers.insert(ID_APP_EXIT, [view] { view->OnAppExit(); });
    m_handlers.insert(ID_APP_ABOUT, [view] { view->OnAppAbout(); });
    m_handlers.insert(ID_CONTENT_EDITOR, [view] { view->OnContentEditor(); });
    m_handlers.insert(ID_QUERY_EDITOR, [view] { view->OnQueryEditor(); });
    UpdateCommandUI();
}

bool CMainFrame::IsEnabled(unsigned id) const
{
    if (!m_handlers.contains(id))
        return false;
    // About changes nothing; everything else waits for the busy state to end.
    if (IsBusy() && id != ID_APP_ABOUT && id != ID_VIEW_TOOLBAR)
        return false;
    if (id == ID_FILE_SAVE)
        return m_pView && m_pView->OnUpdateFileSave();
    return true;
}

bool CMainFrame::OnCommand(unsigned id)
{
    if (!IsEnabled(id))
        return false;
    RunCommandHandler(m_handlers.value(id), IDS_MEMORY_EXCEPTION, IDS_COMMAND_FAILED);
    UpdateCommandUI();
    return true;
}

void CMainFrame::UpdateCommandUI()
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(IsEnabled(it.key()));
}

bool CMainFrame::IsBusy()
{
    return CLongOperation::IsBusy();
}

bool CMainFrame::IsBusyAround(const QWidget* widget)
{
    return widget && qobject_cast<const CMainFrame*>(widget->window()) && IsBusy();
}

QString CMainFrame::MessageText() const
{
    return m_message ? m_message->text() : QString();
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip && m_message)
    {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        m_message->setText(tip.isEmpty() ? Strings::Load(IDS_IDLE_MESSAGE) : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // An editor that still runs (named to the author), another long operation, or a
    // cancelled save keeps the window.
    if ((m_pView && !m_pView->CheckEditorsClosed()) || IsBusy())
    {
        event->ignore();
        return;
    }
    if (m_pView && m_pView->GetDocument() && !m_pView->GetDocument()->SaveModified())
    {
        event->ignore();
        return;
    }
    if (m_idle)
        m_idle->stop();
    event->accept();
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Repaint the page after another window covered it.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_pView &&
        m_pView->GetTabs())
    {
        if (CStepPage* page = m_pView->GetTabs()->GetCurrentPageWindow())
            page->update();
    }
}
