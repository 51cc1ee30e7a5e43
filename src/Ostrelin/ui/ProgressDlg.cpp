#include "Ostrelin/ui/ProgressDlg.h"

#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/HubLayout.h"
#include "TOVKContEdit/shared/ProgressPump.h"
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
constexpr int kCompletePosition = 10000;
const QString kFull = QStringLiteral("100%");

QWidget* SafeOwner()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QMainWindow") && w->isVisible())
            return w;
    return QApplication::activeWindow();
}
} // namespace

CProgressDlg::CProgressDlg() : QDialog(nullptr), m_nCaptionID(IDS_OUTPUT_PROGRESS_CAPTION)
{
    // No parent: a disabled owner would otherwise disable this window with it.
    setObjectName(QString::number(IDD_OUTPUT_PROGRESS));
}

CProgressDlg::~CProgressDlg()
{
    if (m_created)
        DestroyWindow();
}

bool CProgressDlg::Create(QWidget* owner)
{
    m_owner = owner ? owner->window() : SafeOwner();
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
    return true;
}

bool CProgressDlg::OnInitDialog()
{
    // Template 151: message text, bar, percent text and Cancel.
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 230, 70);
    m_message = new QLabel(this);
    m_message->setObjectName(QString::number(IDC_PROGRESS_MESSAGE));
    m_message->setTextFormat(Qt::PlainText);
    layout.Place(m_message, 7, 7, 216, 10);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QString::number(IDC_PROGRESS_BAR));
    m_progress->setTextVisible(false);
    layout.Place(m_progress, 7, 21, 216, 12);
    m_percent = new QLabel(this);
    m_percent->setObjectName(QString::number(IDC_PROGRESS_PERCENT));
    layout.Place(m_percent, 7, 37, 60, 10);
    m_cancel = new QPushButton(Strings::Load(IDS_PROGRESS_CANCEL), this);
    m_cancel->setObjectName(QString::number(IDCANCEL));
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

void CProgressDlg::SetRange(int lower, int upper)
{
    m_nLower = lower;
    m_nUpper = upper;
    if (m_progress)
        m_progress->setRange(lower, upper);
}

void CProgressDlg::SetPos(int position)
{
    if (m_progress)
        m_progress->setValue(qBound(m_nLower, position, m_nUpper));
}

int CProgressDlg::GetPos() const
{
    return m_progress ? m_progress->value() : m_nLower;
}

void CProgressDlg::SetStep(int step)
{
    m_nStep = step;
}

void CProgressDlg::SetMessageText(const QString& text)
{
    if (m_message)
        m_message->setText(text);
}

int CProgressDlg::StepIt()
{
    if (!m_progress || (m_percent && m_percent->text() == kFull))
        return m_nUpper;
    PumpMessages();
    // The bar stops at its upper bound rather than starting over.
    m_progress->setValue(qMin(m_nUpper, m_progress->value() + m_nStep));
    const int position = m_progress->value();
    UpdatePercent(position);
    return position;
}

void CProgressDlg::PumpMessages()
{
    ProgressPump::PumpMessages();
}

void CProgressDlg::UpdatePercent(int position)
{
    if (!m_percent)
        return;
    const int percent = qMin(100, ProgressPump::Percent(position, m_nLower, m_nUpper));
    const QString text = QStringLiteral("%1%").arg(percent);
    if (m_percent->text() != text)
        m_percent->setText(text);
}

int CProgressDlg::Complete()
{
    const int previous = GetPos();
    PumpMessages();
    SetPos(kCompletePosition);
    UpdatePercent(kCompletePosition);
    return previous;
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
