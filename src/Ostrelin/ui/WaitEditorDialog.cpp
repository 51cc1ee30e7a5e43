#include "Ostrelin/ui/WaitEditorDialog.h"

#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/MainFormView.h"
#include "platform/Strings.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>

namespace
{
// How often the box looks at the editors; the original looked after every message.
constexpr int kPollMs = 50;
} // namespace

CWaitEditorDialog::CWaitEditorDialog(const QString& message, CMainFormView* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_strMessage(message), m_pView(parent)
{
    setObjectName(QString::number(IDD_WAIT_EDITOR));
    setModal(true);
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 186, 95);
    m_stcMessage = new QLabel(this);
    m_stcMessage->setObjectName(QString::number(IDC_WAIT_MESSAGE));
    m_stcMessage->setAlignment(Qt::AlignCenter);
    layout.Place(m_stcMessage, 7, 43, 172, 8);
    m_timer = new QTimer(this);
    m_timer->setInterval(kPollMs);
    connect(m_timer, &QTimer::timeout, this, &CWaitEditorDialog::Poll);
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

int CWaitEditorDialog::DoModal()
{
    OnInitDialog();
    if (!ContinueModal())
        return 0;
    m_timer->start();
    const int result = exec();
    m_timer->stop();
    return result;
}

void CWaitEditorDialog::Poll()
{
    if (!ContinueModal())
        done(QDialog::Accepted);
}

void CWaitEditorDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
}
