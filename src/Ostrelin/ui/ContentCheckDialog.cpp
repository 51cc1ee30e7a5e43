#include "Ostrelin/ui/ContentCheckDialog.h"

#include "Ostrelin/model/BindData.h"
#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/BindList.h"
#include "Ostrelin/ui/WorkTexts.h"
#include "framework/DialogLayout.h"
#include "platform/Messages.h"
#include "platform/Strings.h"

#include <QPushButton>
#include <vector>

CContentCheckDialog::CContentCheckDialog(QWidget* parent) : QDialog(parent)
{
    const DialogLayout layout(DialogLayout::DialogFont(QStringLiteral("MS Shell Dlg"), 8));
    layout.SizeDialog(this, 436, 209);
    setObjectName(QString::number(IDD_CONTENT_CHECK));
    setWindowTitle(Strings::Load(IDS_CHECK_BY_WORK_NUMBER));

    m_list = new CReportList(this, true, true);
    m_list->setObjectName(QString::number(IDC_CHECK_LIST));
    layout.Place(m_list, 6, 6, 426, 166);
    connect(m_list, &CReportList::ColumnClicked, this, &CContentCheckDialog::OnHeaderItemClick);

    auto* ok = new QPushButton(Strings::Load(IDS_OK_BUTTON), this);
    ok->setObjectName(QString::number(IDOK));
    ok->setDefault(true);
    layout.Place(ok, 378, 180, 50, 14);
    connect(ok, &QPushButton::clicked, this, [this] { done(IDOK); });
}

bool CContentCheckDialog::OnInitDialog()
{
    m_list->SetStateImages(true);
    m_list->SetColumns({Strings::Load(IDS_COLUMN_WORK_NUMBER),
                        Strings::Load(IDS_COLUMN_GUIDE_NUMBER),
                        Strings::Load(IDS_COLUMN_DESCRIPTION)},
                       {96, 96, 800});
    FillList();
    return true;
}

void CContentCheckDialog::FillList()
{
    std::vector<ReportRow> rows;
    if (const CBindData* data = GetActiveProjectData())
    {
        rows.reserve(data->m_mapGuides.size());
        for (const auto& [guideNo, entry] : data->m_mapGuides)
            rows.push_back({{NumberText(entry->m_nWorkNo), NumberText(entry->m_nGuideNo),
                             GuideEntryNote(*data, *entry)},
                            entry->m_wError == 0 ? StateOk : StateError,
                            0});
    }
    m_list->SetRows(std::move(rows));
    m_list->SortItems([this](const ReportRow& a, const ReportRow& b)
                      { return CompareItems(a, b, this); });
    m_list->SetSortArrow(m_nSortColumn, m_bSortDescending ? 1 : -1);
}

int CContentCheckDialog::CompareItems(const ReportRow& first, const ReportRow& second,
                                      const CContentCheckDialog* dialog)
{
    if (dialog == nullptr)
        return 0;
    const int column = dialog->m_nSortColumn;
    int result = 0;
    if (column == 0 || column == 1)
    {
        const qint64 a = LeadingNumber(first.texts.value(column));
        const qint64 b = LeadingNumber(second.texts.value(column));
        result = a < b ? -1 : (a > b ? 1 : 0);
    }
    else if (column == 2)
    {
        result = first.texts.value(column).compare(second.texts.value(column));
    }
    return dialog->m_bSortDescending ? -result : result;
}

void CContentCheckDialog::OnHeaderItemClick(int column)
{
    m_list->ClearSortArrow(m_nSortColumn);
    m_nSortColumn = column;
    m_bSortDescending = !m_bSortDescending;
    FillList();
}

int CContentCheckDialog::DoModal()
{
    OnInitDialog();
    return exec();
}
