#include "Ostrelin/ui/WaitEditorDialog.h"

#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/MainFormView.h"
#include "framework/LongOperation.h"
#include "platform/Strings.h"
#include "platform/WinePreparingNote.h"

#include <QCloseEvent>
#include <QLabel>
#include <QWindow>

namespace
{
constexpr int kRegistrySliceMs = 10;
} // namespace

CWaitEditorDialog::CWaitEditorDialog(const QString& message, CMainFormView* parent)
    // No parent: the disabled main window would otherwise disable this box with it.
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_strMessage(message), m_pView(parent)
{
    setObjectName(QString::number(IDD_WAIT_EDITOR));
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 186, 95);
    m_stcMessage = new QLabel(this);
    m_stcMessage->setObjectName(QString::number(IDC_WAIT_MESSAGE));
    m_stcMessage->setAlignment(Qt::AlignCenter);
    layout.Place(m_stcMessage, 7, 43, 172, 8);
}

bool CWaitEditorDialog::OnInitDialog()
{
    m_stcMessage->setText(m_strMessage);
    setWindowTitle(Strings::Load(IDS_APP_TITLE));
    return true;
}

bool CWaitEditorDialog::ContinueModal() const
{
    return m_pView && m_pView->IsAnyEditorRunning();
}

void CWaitEditorDialog::Open()
{
    // The main window is disabled rather than blocked by a modal box: the toolkit drops
    // the close request of a blocked window, and that one must be answered.
    QWidget* owner = m_pView->window();
    m_bOwnerDisabled = owner->isEnabled();
    if (m_bOwnerDisabled)
        owner->setEnabled(false);
    winId();
    if (windowHandle() && owner->windowHandle())
        windowHandle()->setTransientParent(owner->windowHandle());
    move(owner->geometry().center() - rect().center());
    show();
}

void CWaitEditorDialog::Close()
{
    hide();
    if (m_bOwnerDisabled)
        m_pView->window()->setEnabled(true);
    m_bOwnerDisabled = false;
}

int CWaitEditorDialog::DoModal(const CLongOperation& operation)
{
    OnInitDialog();
    if (!ContinueModal())
        return 0;
    Open();
    const ToolWait wait = operation.Wait();
    while (ContinueModal())
    {
        for (CProcessHolder* holder : {&m_pView->m_piContentEditor, &m_pView->m_piQueryEditor})
        {
            if (IsProcessRunning(*holder))
                holder->process->Wait(wait);
        }
    }
    Close();
    return QDialog::Accepted;
}

void CWaitEditorDialog::RunRegistryCall(const std::function<void(std::function<void()>)>& call)
{
    OnInitDialog();
    Open();
    {
        WinePreparingNote note(Strings::Load(IDS_WINE_PREPARING), m_strMessage,
                               [this](const QString& text) { m_stcMessage->setText(text); }, {});
        // The slice of the long operation's wait.
        call([&note] { note.Slice(kRegistrySliceMs); });
    }
    Close();
}

void CWaitEditorDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
}
