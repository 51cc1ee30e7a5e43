#include "Ostrelin/ui/ContentListDialog.h"

#include "Ostrelin/model/BindData.h"
#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/BindList.h"
#include "Ostrelin/ui/ContentCheckDialog.h"
#include "Ostrelin/ui/ContentEditDialog.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/WorkTexts.h"
#include "platform/Messages.h"
#include "platform/Strings.h"

#include <QPushButton>
#include <vector>

namespace
{
int GuideNumberOf(const CReportList* list, int row)
{
    return ReadNumberIn(list->GetItemText(row, 0), 1, kMaxGuideNo);
}

ReportRow AddRow()
{
    return {{Strings::Load(IDS_ADD_ROW), QString(), QString()}, StateBlank, 0};
}
} // namespace

CContentListDialog::CContentListDialog(QWidget* parent) : CListStepPage(parent)
{
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 376, 278);
    setObjectName(QString::number(IDD_CONTENT_LIST));

    CreateList(layout, IDC_LIST, false, 8, 8, 360, 180);

    struct Button
    {
        unsigned id;
        unsigned text;
        int x, y, cx, cy;
        void (CContentListDialog::*handler)();
    };
    const Button buttons[] = {
        {IDC_MOVE_UP, IDS_MOVE_UP_BUTTON, 8, 196, 32, 14, &CContentListDialog::OnMoveUp},
        {IDC_MOVE_DOWN, IDS_MOVE_DOWN_BUTTON, 44, 196, 32, 14, &CContentListDialog::OnMoveDown},
        {IDC_DELETE, IDS_DELETE_BUTTON, 84, 196, 48, 14, &CContentListDialog::OnDelete},
        {IDC_RENUMBER, IDS_RENUMBER_BUTTON, 8, 215, 124, 18, &CContentListDialog::OnRenumber},
        {IDC_REGISTER_SEQUENTIAL, IDS_REGISTER_SEQUENTIAL_BUTTON, 282, 198, 86, 18,
         &CContentListDialog::OnRegisterSequential},
        {IDC_REGISTER_BY_WORK_NUMBER, IDS_REGISTER_BY_WORK_NUMBER_BUTTON, 282, 222, 86, 18,
         &CContentListDialog::OnRegisterByWorkNumber},
        {IDC_CHECK_BY_WORK_NUMBER, IDS_CHECK_BY_WORK_NUMBER, 282, 252, 86, 18,
         &CContentListDialog::OnCheck},
    };
    for (const Button& b : buttons)
        ConnectCommand(CreateButton(layout, b.id, b.text, b.x, b.y, b.cx, b.cy),
                       &QPushButton::clicked, b.handler);
    OnInitDialog();
}

bool CContentListDialog::OnInitDialog()
{
    m_list->SetStateImages(true);
    m_list->SetColumns({Strings::Load(IDS_COLUMN_GUIDE_NUMBER),
                        Strings::Load(IDS_COLUMN_WORK_NUMBER),
                        Strings::Load(IDS_COLUMN_DESCRIPTION)},
                       {96, 96, 800});
    FillList();
    return true;
}

void CContentListDialog::FillList()
{
    std::vector<ReportRow> rows;
    const CBindData* data = GetActiveProjectData();
    qint32 previous = 0;
    if (data != nullptr)
    {
        rows.reserve(2 * data->m_mapGuides.size() + 1);
        for (const auto& [guideNo, entry] : data->m_mapGuides)
        {
            if (entry->m_nGuideNo != previous + 1)
                rows.push_back(AddRow());
            rows.push_back({{NumberText(entry->m_nGuideNo), NumberText(entry->m_nWorkNo),
                             GuideEntryNote(*data, *entry)},
                            entry->m_wError == 0 ? StateOk : StateError,
                            0});
            previous = entry->m_nGuideNo;
        }
    }
    if (previous < kMaxGuideNo)
        rows.push_back(AddRow());
    m_list->SetRows(std::move(rows));
}

bool CContentListDialog::CheckStep(QString& error)
{
    error.clear();
    const CBindData* data = GetActiveProjectData();
    if (data == nullptr || data->m_mapGuides.empty())
        error += Strings::Load(IDS_NEED_REGISTRATION);
    quint16 errors = 0;
    if (data != nullptr)
    {
        for (const auto& [guideNo, entry] : data->m_mapGuides)
            errors |= entry->m_wError;
    }
    if (errors & 1)
        error += Strings::Load(IDS_INCOMPLETE_WORKS);
    return error.isEmpty();
}

QList<int> CContentListDialog::SelectedGuideNumbers() const
{
    QList<int> numbers;
    for (int row : m_list->GetSelectedRows())
    {
        const int guideNo = GuideNumberOf(m_list, row);
        if (guideNo > 0)
            numbers << guideNo;
    }
    return numbers;
}

void CContentListDialog::RefillKeepingTop(int top)
{
    OnProjectDataChanged();
    FillList();
    m_list->ScrollToTopIndex(top);
}

void CContentListDialog::SelectGuideNumbers(const QList<int>& numbers)
{
    // Rows and numbers are both ascending: one walk over each.
    qsizetype next = 0;
    for (int row = 0; row < m_list->GetItemCount() && next < numbers.size(); ++row)
    {
        const int guideNo = GuideNumberOf(m_list, row);
        if (guideNo <= 0)
            continue;
        while (next < numbers.size() && numbers[next] < guideNo)
            ++next;
        if (next < numbers.size() && numbers[next] == guideNo)
        {
            m_list->SetItemState(row, true, false);
            ++next;
        }
    }
}

void CContentListDialog::OnDblClkList()
{
    CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return;
    const int row = SingleSelectedRow();
    if (row < 0)
        return;
    const int guideNo = GuideNumberOf(m_list, row);
    int reselect = -1;
    int top = 0;
    if (guideNo > 0)
    {
        const CGuideEntry* entry = data->FindGuide(guideNo);
        if (entry == nullptr)
            return;
        const qint32 oldWork = entry->m_nWorkNo;
        CContentEditDialog dialog(entry, this);
        if (RunEditDialog(dialog) != IDOK)
            return;
        if (dialog.m_nGuideNo == guideNo && dialog.m_nWorkNo == oldWork)
            return;
        top = m_list->GetTopIndex();
        if (dialog.m_nWorkNo != oldWork)
            data->SetGuideWork(guideNo, dialog.m_nWorkNo);
        if (dialog.m_nGuideNo != guideNo)
            data->SwapGuides(guideNo, dialog.m_nGuideNo);
        reselect = dialog.m_nGuideNo;
    }
    else
    {
        if (data->m_mapWorks.empty())
        {
            AfxMessageBox(IDS_NO_WORKS_TO_ADD, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        int proposed = 1;
        if (row > 0)
        {
            const qint64 above = LeadingNumber(m_list->GetItemText(row - 1, 0)) + 1;
            proposed = above >= 1 && above <= kMaxGuideNo ? int(above) : 1;
        }
        CGuideEntry fresh;
        fresh.m_nGuideNo = proposed;
        fresh.m_nWorkNo = -1;
        CContentEditDialog dialog(&fresh, this);
        if (RunEditDialog(dialog) != IDOK)
            return;
        top = m_list->GetTopIndex();
        data->AddGuide(dialog.m_nGuideNo, dialog.m_nWorkNo);
        reselect = dialog.m_nGuideNo;
    }
    OnProjectDataChanged();
    FillList();
    if (reselect >= 1 && reselect <= kMaxGuideNo)
        RevealFirst([&](int row) { return GuideNumberOf(m_list, row) == reselect; }, top);
}

void CContentListDialog::OnMoveUp()
{
    CBindData* data = GetActiveProjectData();
    const QList<int> numbers = SelectedGuideNumbers();
    if (data == nullptr)
        return;
    if (numbers.contains(1))
    {
        AfxMessageBox(FormatString(IDS_CANNOT_MOVE_UP, {1}), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (numbers.isEmpty())
        return;
    for (int guideNo : numbers)
        data->SwapGuides(guideNo, guideNo - 1);
    RefillKeepingTop(m_list->GetTopIndex());
    QList<int> moved;
    for (int guideNo : numbers)
        moved << guideNo - 1;
    SelectGuideNumbers(moved);
}

void CContentListDialog::OnMoveDown()
{
    CBindData* data = GetActiveProjectData();
    const QList<int> numbers = SelectedGuideNumbers();
    if (data == nullptr)
        return;
    if (numbers.contains(kMaxGuideNo))
    {
        AfxMessageBox(FormatString(IDS_CANNOT_MOVE_DOWN, {kMaxGuideNo}),
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (numbers.isEmpty())
        return;
    for (qsizetype i = numbers.size() - 1; i >= 0; --i)
        data->SwapGuides(numbers[i], numbers[i] + 1);
    RefillKeepingTop(m_list->GetTopIndex());
    QList<int> moved;
    for (int guideNo : numbers)
        moved << guideNo + 1;
    SelectGuideNumbers(moved);
}

void CContentListDialog::OnDelete()
{
    CBindData* data = GetActiveProjectData();
    const QList<int> numbers = SelectedGuideNumbers();
    if (data == nullptr || numbers.isEmpty())
        return;
    for (qsizetype i = numbers.size() - 1; i >= 0; --i)
        data->RemoveGuide(numbers[i]);
    RefillKeepingTop(m_list->GetTopIndex());
}

void CContentListDialog::OnRegisterSequential()
{
    CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return;
    if (AfxMessageBox(IDS_ASK_REGISTER_SEQUENTIAL, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    data->ClearGuides();
    qint32 next = 1;
    for (const auto& [workNo, work] : data->m_mapWorks)
    {
        if (next > kMaxGuideNo)
            break;
        data->AddGuide(next, work->m_nWorkNo);
        ++next;
    }
    OnProjectDataChanged();
    FillList();
    const int registered = next - 1;
    if (registered > 0)
        AfxMessageBox(FormatString(IDS_REGISTERED_SEQUENTIAL, {registered}),
                      MB_OK | MB_ICONINFORMATION);
    else
        AfxMessageBox(IDS_NOTHING_TO_REGISTER, MB_OK | MB_ICONINFORMATION);
}

void CContentListDialog::OnRegisterByWorkNumber()
{
    CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return;
    if (AfxMessageBox(IDS_ASK_REGISTER_BY_WORK_NUMBER, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    data->ClearGuides();
    bool skipped = false;
    for (const auto& [workNo, work] : data->m_mapWorks)
    {
        const qint32 number = work->m_nWorkNo;
        if (number >= 1 && number <= kMaxGuideNo)
            data->AddGuide(number, number);
        else
            skipped = true;
    }
    OnProjectDataChanged();
    FillList();
    const int registered = int(data->m_mapGuides.size());
    if (skipped)
        AfxMessageBox(IDS_WORKS_FROM_1000_SKIPPED, MB_OK | MB_ICONINFORMATION);
    else if (registered > 0)
        AfxMessageBox(FormatString(IDS_REGISTERED_BY_WORK_NUMBER, {registered}),
                      MB_OK | MB_ICONINFORMATION);
    else
        AfxMessageBox(IDS_NOTHING_TO_REGISTER, MB_OK | MB_ICONINFORMATION);
}

void CContentListDialog::OnRenumber()
{
    CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return;
    if (AfxMessageBox(IDS_ASK_RENUMBER, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    data->RenumberGuides();
    OnProjectDataChanged();
    FillList();
}

void CContentListDialog::OnCheck()
{
    CContentCheckDialog dialog(window());
    RunCheckDialog(dialog);
}

int CContentListDialog::RunEditDialog(CContentEditDialog& dialog)
{
    return dialog.DoModal();
}

int CContentListDialog::RunCheckDialog(CContentCheckDialog& dialog)
{
    return dialog.DoModal();
}
