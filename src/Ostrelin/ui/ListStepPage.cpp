#include "Ostrelin/ui/ListStepPage.h"

#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/BindList.h"
#include "framework/DialogLayout.h"
#include "platform/Messages.h"
#include "platform/Strings.h"

#include <QKeyEvent>
#include <QPushButton>

namespace
{
bool IsEditKey(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
           key->key() == Qt::Key_Space;
}
} // namespace

void CListStepPage::CreateList(const DialogLayout& layout, unsigned id, bool clickableHeader, int x,
                               int y, int cx, int cy)
{
    m_list = new CReportList(this, true, clickableHeader);
    m_list->setObjectName(QString::number(id));
    layout.Place(m_list, x, y, cx, cy);
    m_list->installEventFilter(this);
    ConnectCommand(m_list, &CReportList::ItemDoubleClicked, &CListStepPage::OnDblClkList);
}

QPushButton* CListStepPage::CreateButton(const DialogLayout& layout, unsigned id, unsigned text,
                                         int x, int y, int cx, int cy)
{
    auto* button = new QPushButton(Strings::Load(text), this);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    layout.Place(button, x, y, cx, cy);
    return button;
}

int CListStepPage::SingleSelectedRow() const
{
    const QList<int> selected = m_list->GetSelectedRows();
    if (selected.isEmpty())
        return -1;
    if (selected.size() > 1)
    {
        AfxMessageBox(IDS_CANNOT_EDIT_SEVERAL, MB_OK | MB_ICONEXCLAMATION);
        return -1;
    }
    return selected.first();
}

void CListStepPage::RevealFirst(const std::function<bool(int row)>& matches, int top)
{
    for (int row = 0; row < m_list->GetItemCount(); ++row)
    {
        if (matches(row))
        {
            m_list->RevealAndFocus(row, top);
            return;
        }
    }
}

bool CListStepPage::PreTranslateMessage(QKeyEvent* event)
{
    if (event != nullptr && m_list->hasFocus() && IsEditKey(event))
    {
        OnDblClkList();
        return true;
    }
    return false;
}

bool CListStepPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        IsEditKey(static_cast<QKeyEvent*>(event)))
    {
        RunGuarded(this, [this] { OnDblClkList(); });
        return true;
    }
    return CStepPage::eventFilter(watched, event);
}

void CListStepPage::OnShowWindow(bool show)
{
    if (show)
        FillList();
}
