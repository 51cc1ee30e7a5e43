#include "Ostrelin/ui/ProgressDlg.h"

#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/HubLayout.h"
#include "framework/ProgressPump.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

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

// Template 151: message text, bar, percent text and Cancel.
CProgressDlg::CProgressDlg()
    : CProgressDlgBase({IDD_OUTPUT_PROGRESS, IDS_OUTPUT_PROGRESS_CAPTION, IDC_PROGRESS_MESSAGE,
                        IDC_PROGRESS_BAR, IDC_PROGRESS_PERCENT, IDS_PROGRESS_CANCEL},
                       10)
{
}

bool CProgressDlg::Create(QWidget* owner)
{
    return Attach(owner ? owner->window() : SafeOwner(), HubLayout());
}

void CProgressDlg::SetRange(int lower, int upper)
{
    m_nLower = lower;
    m_nUpper = upper;
    if (ProgressBar())
        ProgressBar()->setRange(lower, upper);
}

void CProgressDlg::SetStep(int step)
{
    m_nStep = step;
}

void CProgressDlg::SetMessageText(const QString& text)
{
    if (MessageLabel())
        MessageLabel()->setText(text);
}

int CProgressDlg::StepIt()
{
    if (!ProgressBar() || (PercentLabel() && PercentLabel()->text() == kFull))
        return m_nUpper;
    PumpMessages();
    // The bar stops at its upper bound rather than starting over.
    ProgressBar()->setValue(qMin(m_nUpper, ProgressBar()->value() + m_nStep));
    const int position = ProgressBar()->value();
    UpdatePercent(position);
    return position;
}

void CProgressDlg::UpdatePercent(int position)
{
    const int percent = qMin(100, ProgressPump::Percent(position, m_nLower, m_nUpper));
    SetPercentText(QStringLiteral("%1%").arg(percent));
}

int CProgressDlg::Complete()
{
    const int previous = GetPos();
    PumpMessages();
    SetPos(kCompletePosition);
    UpdatePercent(kCompletePosition);
    return previous;
}
