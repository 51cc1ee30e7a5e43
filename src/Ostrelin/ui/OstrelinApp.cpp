#include "Ostrelin/ui/OstrelinApp.h"

#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/MainFormView.h"
#include "Ostrelin/ui/MainFrame.h"
#include "Ostrelin/ui/SplashDialog.h"
#include "Ostrelin/ui/StepPage.h"
#include "Ostrelin/ui/TrefTabCtrl.h"
#include "TOVKContEdit/shared/ToolArchive.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/SingleInstance.h"
#include "platform/Strings.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace
{
const QString kMutexName = QStringLiteral("Quorvane KPSonavelBindEditor");
COstrelinApp* g_current = nullptr;
} // namespace

COstrelinApp::StartKind COstrelinApp::ParseCommandLine(const QStringList& arguments)
{
    StartKind kind = StartKind::Normal;
    for (const QString& argument : arguments)
    {
        if (!argument.startsWith(u'/') && !argument.startsWith(u'-'))
            continue;
        const QString flag = argument.mid(1).toLower();
        if (flag == u"embedding" || flag == u"automation")
            kind = StartKind::Embedded;
        else if (flag == u"unregister" || flag == u"unregserver")
            kind = StartKind::Unregister;
        else if (flag == u"register" || flag == u"regserver")
            kind = StartKind::Register;
    }
    return kind;
}

COstrelinApp::COstrelinApp()
{
    g_current = this;
}

COstrelinApp::~COstrelinApp()
{
    ExitInstance();
    if (g_current == this)
        g_current = nullptr;
}

COstrelinApp* COstrelinApp::Current()
{
    return g_current;
}

CMainFormView* COstrelinApp::GetView() const
{
    return m_frame ? m_frame->GetActiveView() : nullptr;
}

bool COstrelinApp::InitInstance(const QStringList& arguments)
{
    const QString title = Strings::Load(IDS_APP_TITLE);
    Messages::SetApplicationTitle(title);

    m_instance = std::make_unique<SingleInstance>(kMutexName);
    if (!m_instance->TryAcquire())
    {
        m_instance.reset();
        AfxMessageBox(IDS_CANNOT_DOUBLE_START, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }

    m_profile = std::make_unique<Profile>(title);
    m_recent = std::make_unique<RecentFileList>(*m_profile, RecentFileCount);
    m_recent->Load();

    CSplashDialog splash;
    splash.DoModal();

    switch (ParseCommandLine(arguments))
    {
    case StartKind::Embedded:
        return true;
    case StartKind::Register:
    case StartKind::Unregister:
        return false;
    case StartKind::Normal:
        break;
    }

    LoadToolArchive();
    if (!CreateMainWindow())
        return false;
    m_frame->show();
    return true;
}

bool COstrelinApp::CreateMainWindow()
{
    m_frame = std::make_unique<CMainFrame>();
    if (m_frame->OnCreate() == -1)
    {
        m_frame.reset();
        return false;
    }
    auto* view = new CMainFormView(m_frame.get());
    m_frame->SetView(view);
    view->OnInitialUpdate();
    // Until a project is made or opened the frame shows the document template's names.
    const QStringList names = Strings::Load(IDR_MAINFRAME).split(u'\n');
    m_frame->setWindowTitle(QStringLiteral("%1 - %2").arg(names.value(1), names.value(0)));
    qApp->installEventFilter(this);
    return true;
}

int COstrelinApp::ExitInstance()
{
    if (m_exited)
        return 0;
    m_exited = true;
    if (qApp)
        qApp->removeEventFilter(this);
    m_frame.reset();
    // The tools stay while another program still uses them.
    m_toolHold.Release();
    RemoveTools(m_strToolFolder);
    if (m_recent)
        m_recent->Save();
    m_instance.reset();
    return 0;
}

bool COstrelinApp::LoadToolArchive()
{
    return UnpackTools(m_toolHold, m_strToolFolder);
}

bool COstrelinApp::PreTranslateMessage(QKeyEvent* event)
{
    if (event->type() != QEvent::KeyPress || !m_frame ||
        QApplication::activeWindow() != m_frame.get())
        return false;
    CMainFormView* view = GetView();
    if (view == nullptr)
        return false;
    if (event->modifiers() & Qt::ControlModifier)
    {
        // Not used up: the key goes on like any other.
        switch (event->key())
        {
        case Qt::Key_N:
            CStepPage::RunGuarded([view] { view->OnFileNew(); });
            break;
        case Qt::Key_O:
            CStepPage::RunGuarded([view] { view->OnFileOpen(); });
            break;
        case Qt::Key_S:
            CStepPage::RunGuarded([view] { view->OnFileSave(); });
            break;
        default:
            break;
        }
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
    {
        // While the project is busy the key goes nowhere.
        if (view->IsBusy())
            return true;
        CStepPage* page = view->GetTabs() ? view->GetTabs()->GetCurrentPageWindow() : nullptr;
        if (page)
        {
            // Enter never reaches the page's buttons: the list pages take it as a double
            // click, the others ignore it.
            CStepPage::RunGuarded([page, event] { page->PreTranslateMessage(event); });
            return true;
        }
    }
    return false;
}

bool COstrelinApp::eventFilter(QObject* watched, QEvent* event)
{
    // Each key press reaches the main window's native window once, before the widgets.
    if (event->type() == QEvent::KeyPress && m_frame && watched == m_frame->windowHandle())
        return PreTranslateMessage(static_cast<QKeyEvent*>(event));
    return QObject::eventFilter(watched, event);
}
