#include "TOVKContEdit/ui/ProgressDlg.h"

#include "TOVKContEdit/res/resource.h"
#include "framework/DialogLayout.h"
#include "framework/ProgressPump.h"

#include <QApplication>
#include <QProgressBar>

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

// Template 148: progress bar, label, percent text and Cancel.
CProgressDlg::CProgressDlg()
    : CProgressDlgBase({IDD_PROGRESS, IDS_PROGRESS_CAPTION, IDC_PROGRESS_LABEL, IDC_PROGRESS_BAR,
                        IDC_PROGRESS_PERCENT, IDS_PROGRESS_CANCEL},
                       2)
{
}

bool CProgressDlg::Create(QWidget* owner)
{
    if (!Attach(owner ? owner : SafeOwner(), DialogLayout(DialogLayout::DialogFont())))
        return false;
    show();
    return true;
}

int CProgressDlg::StepIt()
{
    PumpMessages();
    if (!ProgressBar())
        return m_nUpper;
    const int position = ProgressBar()->value();
    if (position >= m_nUpper)
        return m_nUpper;
    // The bar stops at its upper bound like the platform's control.
    ProgressBar()->setValue(qMin(m_nUpper, position + m_nStep));
    const int now = ProgressBar()->value();
    UpdatePercent(now);
    return now;
}

void CProgressDlg::UpdatePercent(int position)
{
    SetPercentText(ProgressPump::PercentText(position, m_nLower, m_nUpper));
}

int CProgressDlg::Complete()
{
    const int previous = GetPos();
    SetPos(m_nUpper);
    UpdatePercent(m_nUpper);
    return previous;
}
