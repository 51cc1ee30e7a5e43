#include "framework/ProgressDlgBase.h"

#include "framework/DialogLayout.h"
#include "framework/ProgressPump.h"
#include "platform/Messages.h"
#include "platform/Strings.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

CProgressDlgBase::CProgressDlgBase(const Ids& ids, int step)
    : QDialog(nullptr), m_nCaptionID(ids.caption), m_nStep(step), m_ids(ids)
{
    // No parent: a disabled owner would otherwise disable this window with it.
    setObjectName(QString::number(ids.dialog));
}

CProgressDlgBase::~CProgressDlgBase()
{
    if (m_created)
        DestroyWindow();
}

bool CProgressDlgBase::Attach(QWidget* owner, const DialogLayout& layout)
{
    m_owner = owner;
    if (m_owner && m_owner->isEnabled())
    {
        m_owner->setEnabled(false);
        m_bParentDisabled = true;
    }
    if (!OnInitDialog(layout))
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

bool CProgressDlgBase::OnInitDialog(const DialogLayout& layout)
{
    layout.SizeDialog(this, 230, 70);
    m_text = new QLabel(this);
    m_text->setObjectName(QString::number(m_ids.text));
    m_text->setTextFormat(Qt::PlainText);
    layout.Place(m_text, 7, 7, 216, 10);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QString::number(m_ids.bar));
    m_progress->setTextVisible(false);
    layout.Place(m_progress, 7, 21, 216, 12);
    m_percent = new QLabel(this);
    m_percent->setObjectName(QString::number(m_ids.percent));
    layout.Place(m_percent, 7, 37, 60, 10);
    m_cancel = new QPushButton(Strings::Load(m_ids.cancelText), this);
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

bool CProgressDlgBase::DestroyWindow()
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

int CProgressDlgBase::GetPos() const
{
    return m_progress ? m_progress->value() : m_nLower;
}

void CProgressDlgBase::SetPos(int position)
{
    if (m_progress)
        m_progress->setValue(qBound(m_nLower, position, m_nUpper));
}

void CProgressDlgBase::PumpMessages()
{
    ProgressPump::PumpMessages();
}

void CProgressDlgBase::SetPercentText(const QString& text)
{
    if (m_percent && m_percent->text() != text)
        m_percent->setText(text);
}

void CProgressDlgBase::OnOK() {}

void CProgressDlgBase::OnCancel()
{
    m_bCancel = true;
}

void CProgressDlgBase::accept()
{
    OnOK();
}

void CProgressDlgBase::reject()
{
    OnCancel();
}

void CProgressDlgBase::closeEvent(QCloseEvent* event)
{
    if (m_destroying)
    {
        event->accept();
        return;
    }
    OnCancel();
    event->ignore();
}
