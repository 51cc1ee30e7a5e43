#include "Ostrelin/ui/TrefTabCtrl.h"

#include "Ostrelin/ui/MainFrame.h"
#include "Ostrelin/ui/StepPage.h"
#include "platform/Messages.h"

#include <QPalette>
#include <QPointer>
#include <QSignalBlocker>

CTrefTabCtrl::CTrefTabCtrl(QWidget* parent) : QTabBar(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setExpanding(false);
    setDrawBase(true);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
    connect(this, &QTabBar::currentChanged, this, &CTrefTabCtrl::OnCurrentChanged);
}

CTrefTabCtrl::~CTrefTabCtrl()
{
    for (int i = 0; i < m_nCount; ++i)
    {
        // The page may have gone with its parent already.
        QPointer<CStepPage> page = m_aPages[i].page;
        delete page.data();
        m_aPages[i].page = nullptr;
    }
}

bool CTrefTabCtrl::AddPage(const QString& title, CStepPage* page)
{
    if (m_nCount >= kMaxPages || page == nullptr)
        return false;
    m_aPages[m_nCount] = {title, page};
    {
        // The first tab becomes the selection without being clicked.
        const QSignalBlocker blocker(this);
        addTab(title);
    }
    ++m_nCount;
    m_nLastSel = currentIndex();
    page->move(10, 40);
    page->hide();
    return true;
}

bool CTrefTabCtrl::SelectPage()
{
    if (m_bSwitching)
        return false;
    m_bSwitching = true;
    const int selection = currentIndex();
    if (m_nCurrent >= 0 && m_nCurrent < m_nCount && m_aPages[m_nCurrent].page)
    {
        m_aPages[m_nCurrent].page->OnActivate(false);
        m_aPages[m_nCurrent].page->hide();
    }
    m_nCurrent = selection;
    if (CStepPage* page = Page(selection))
    {
        page->show();
        page->raise();
        page->OnActivate(true);
        page->update();
    }
    m_bSwitching = false;
    return true;
}

void CTrefTabCtrl::FitTabs(int width)
{
    // All steps stay in view on the form's one row, as with the template's narrow font.
    QFont narrow = font();
    while (sizeHint().width() > width && narrow.pointSizeF() > 6)
    {
        narrow.setPointSizeF(narrow.pointSizeF() - 0.5);
        setFont(narrow);
    }
    setGeometry(0, 0, width, sizeHint().height());
}

CStepPage* CTrefTabCtrl::Page(int index) const
{
    return index >= 0 && index < m_nCount ? m_aPages[index].page : nullptr;
}

CStepPage* CTrefTabCtrl::GetCurrentPageWindow() const
{
    return Page(m_nCurrent);
}

void CTrefTabCtrl::SetCurSel(int index)
{
    const QSignalBlocker blocker(this);
    setCurrentIndex(index);
    m_nLastSel = currentIndex();
}

void CTrefTabCtrl::OnSelChanging() {}

void CTrefTabCtrl::OnSelChange()
{
    SelectPage();
    setFocus();
}

void CTrefTabCtrl::OnCurrentChanged(int)
{
    OnSelChanging();
    OnSelChange();
    m_nLastSel = currentIndex();
}

CProgressTabCtrl::CProgressTabCtrl(QWidget* parent) : CTrefTabCtrl(parent) {}

void CProgressTabCtrl::CheckPage(int step)
{
    if (step < 0 || step >= kMaxPages)
        return;
    QString& error = m_strErrors[step];
    CStepPage* page = Page(step);
    if (step <= StepServers && page)
        page->CheckStep(error);
    else
        error.clear();
}

void CProgressTabCtrl::UpdateStepStates()
{
    for (int step = 0; step < StepCount; ++step)
        CheckPage(step);
    int reachable = 0;
    while (reachable < StepCount && m_strErrors[reachable].isEmpty())
        ++reachable;
    if (reachable == m_nReachable)
        return;
    m_nReachable = reachable;
    if (currentIndex() > reachable)
    {
        SetCurSel(reachable);
        SelectPage();
    }
    ApplyTabColors();
    update();
    if (CStepPage* page = GetCurrentPageWindow())
        page->update();
}

QColor CProgressTabCtrl::TabColor(int index) const
{
    if (index <= m_nReachable)
        return palette().color(QPalette::Active, QPalette::WindowText);
    return palette().color(QPalette::Disabled, QPalette::WindowText);
}

void CProgressTabCtrl::OnSelChanging()
{
    m_nPrevSel = m_nLastSel;
}

void CProgressTabCtrl::OnSelChange()
{
    // The pages stay as they are while the project is busy.
    if (CMainFrame::IsBusyAround(this))
    {
        SetCurSel(m_nPrevSel);
        return;
    }
    const int target = currentIndex();
    const int old = m_nPrevSel;
    for (int step = qMax(old, 0); step < target; ++step)
    {
        if (m_strErrors[step].isEmpty())
            continue;
        SetCurSel(step);
        if (step != old)
        {
            SelectPage();
            repaint();
            if (CStepPage* page = GetCurrentPageWindow())
                page->repaint();
        }
        AfxMessageBox(m_strErrors[step], MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    SelectPage();
    setFocus();
}

void CProgressTabCtrl::tabInserted(int index)
{
    CTrefTabCtrl::tabInserted(index);
    ApplyTabColors();
}

void CProgressTabCtrl::ApplyTabColors()
{
    for (int i = 0; i < count(); ++i)
        setTabTextColor(i, TabColor(i));
}
