#include "TOVKContEdit/ui/ProgressDlg.h"

#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/shared/ProgressPump.h"
#include "TOVKContEdit/ui/DialogLayout.h"
#include "platform/Messages.h"
#include "platform/Strings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

namespace
{
QWidget* SafeOwner()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QMainWindow"))
            return w;
    return QApplication::activeWindow();
}
} // namespace

CProgressDlg::CProgressDlg() : QDialog(nullptr), m_nCaptionID(IDS_PROGRESS_CAPTION)
{
    // No parent: a disabled owner would otherwise disable this window with it.
    setObjectName(QString::number(IDD_PROGRESS));
}

CProgressDlg::~CProgressDlg()
{
    if (m_created)
        DestroyWindow();
}

bool CProgressDlg::Create(QWidget* owner)
{
    m_owner = owner ? owner : SafeOwner();
    if (m_owner && m_owner->isEnabled())
    {
        m_owner->setEnabled(false);
        m_bParentDisabled = true;
    }
    if (!OnInitDialog())
    {
        if (m_bParentDisabled && m_owner)
            m_owner->setEnabled(true);
        m_bParentDisabled = false;
        return false;
    }
    m_created = true;
    if (m_owner)
    {
        if (m_owner->windowHandle() && !windowHandle())
            winId();
        if (windowHandle() && m_owner->windowHandle())
            windowHandle()->setTransientParent(m_owner->windowHandle());
        move(m_owner->geometry().center() - rect().center());
    }
    show();
    return true;
}

bool CProgressDlg::OnInitDialog()
{
    // Template 148: progress bar, label, percent text and Cancel.
    const DialogLayout layout(DialogLayout::DialogFont());
    layout.SizeDialog(this, 230, 70);
    m_label = new QLabel(this);
    m_label->setObjectName(QString::number(IDC_PROGRESS_LABEL));
    layout.Place(m_label, 7, 7, 216, 10);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QString::number(IDC_PROGRESS_BAR));
    m_progress->setTextVisible(false);
    layout.Place(m_progress, 7, 21, 216, 12);
    m_percent = new QLabel(this);
    m_percent->setObjectName(QString::number(IDC_PROGRESS_PERCENT));
    layout.Place(m_percent, 7, 37, 60, 10);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QString::number(IDCANCEL));
    m_cancel->setText(Strings::Load(IDS_PROGRESS_CANCEL));
    m_cancel->setAutoDefault(false);
    layout.Place(m_cancel, 173, 50, 50, 14);
    connect(m_cancel, &QPushButton::clicked, this, [this] { OnCancel(); });

    m_progress->setRange(m_nLower, m_nUpper);
    m_progress->setValue(m_nLower);
    if (m_nCaptionID != 0)
        setWindowTitle(Strings::Load(m_nCaptionID));
    return true;
}

bool CProgressDlg::DestroyWindow()
{
    if (m_destroying)
        return false;
    m_destroying = true;
    if (m_bParentDisabled && m_owner)
        m_owner->setEnabled(true);
    m_bParentDisabled = false;
    m_created = false;
    hide();
    m_destroying = false;
    return true;
}

void CProgressDlg::PumpMessages()
{
    ProgressPump::PumpMessages();
}

int CProgressDlg::StepIt()
{
    PumpMessages();
    if (!m_progress)
        return m_nUpper;
    const int position = m_progress->value();
    if (position >= m_nUpper)
        return m_nUpper;
    // The bar stops at its upper bound like the platform's control.
    m_progress->setValue(qMin(m_nUpper, position + m_nStep));
    const int now = m_progress->value();
    UpdatePercent(now);
    return now;
}

void CProgressDlg::UpdatePercent(int position)
{
    if (!m_percent)
        return;
    const QString text = ProgressPump::PercentText(position, m_nLower, m_nUpper);
    if (m_percent->text() != text)
        m_percent->setText(text);
}

int CProgressDlg::GetPos() const
{
    return m_progress ? m_progress->value() : m_nLower;
}

void CProgressDlg::SetPos(int position)
{
    if (m_progress)
        m_progress->setValue(qBound(m_nLower, position, m_nUpper));
}

void CProgressDlg::OnOK() {}

void CProgressDlg::OnCancel()
{
    m_bCancel = true;
}

void CProgressDlg::accept()
{
    OnOK();
}

void CProgressDlg::reject()
{
    OnCancel();
}

void CProgressDlg::closeEvent(QCloseEvent* event)
{
    if (m_destroying)
    {
        event->accept();
        return;
    }
    OnCancel();
    event->ignore();
}
