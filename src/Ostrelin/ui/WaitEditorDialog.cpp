#include "Ostrelin/ui/WaitEditorDialog.h"

#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/MainFormView.h"
#include "framework/LongOperation.h"
#include "platform/Strings.h"

#include <QCloseEvent>
#include <QLabel>
#include <QWindow>

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

int CWaitEditorDialog::DoModal(const CLongOperation& operation)
{
    OnInitDialog();
    if (!ContinueModal())
        return 0;
    // The main window is disabled rather than blocked by a modal box: the toolkit drops
    // the close request of a blocked window, and that one must be answered.
    QWidget* owner = m_pView->window();
    const bool disabled = owner->isEnabled();
    if (disabled)
        owner->setEnabled(false);
    winId();
    if (windowHandle() && owner->windowHandle())
        windowHandle()->setTransientParent(owner->windowHandle());
    move(owner->geometry().center() - rect().center());
    show();
    const ToolWait wait = operation.Wait();
    while (ContinueModal())
    {
        for (CProcessHolder* holder : {&m_pView->m_piContentEditor, &m_pView->m_piQueryEditor})
        {
            if (IsProcessRunning(*holder))
                holder->process->Wait(wait);
        }
    }
    hide();
    if (disabled)
        owner->setEnabled(true);
    return QDialog::Accepted;
}

void CWaitEditorDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
}
