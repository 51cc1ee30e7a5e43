#include "Ostrelin/ui/ContentEditDialog.h"

#include "Ostrelin/model/BindData.h"
#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/BindList.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/WorkTexts.h"
#include "platform/Messages.h"
#include "platform/Strings.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

CContentEditDialog::CContentEditDialog(const CGuideEntry* entry, QWidget* parent)
    : QDialog(parent), m_pEntry(entry)
{
    if (entry != nullptr)
    {
        m_nGuideNo = entry->m_nGuideNo;
        m_nWorkNo = entry->m_nWorkNo;
    }
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 257, 200);
    setObjectName(QString::number(IDD_CONTENT_EDIT));
    setWindowTitle(Strings::Load(IDS_CONTENT_EDIT_CAPTION));

    auto* guideLabel = new QLabel(Strings::Load(IDS_COLUMN_GUIDE_NUMBER), this);
    layout.Place(guideLabel, 12, 8, 72, 8);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QString::number(IDC_GUIDE_NUMBER));
    layout.Place(m_edit, 8, 18, 75, 14);
    auto* workLabel = new QLabel(Strings::Load(IDS_WORK_TO_USE), this);
    layout.Place(workLabel, 12, 40, 72, 8);
    m_list = new CReportList(this, false, false);
    m_list->setObjectName(QString::number(IDC_LIST));
    layout.Place(m_list, 8, 50, 241, 120);

    auto* ok = new QPushButton(Strings::Load(IDS_OK_BUTTON), this);
    ok->setObjectName(QString::number(IDOK));
    ok->setDefault(true);
    layout.Place(ok, 8, 178, 48, 14);
    auto* cancel = new QPushButton(Strings::Load(IDS_CANCEL_BUTTON), this);
    cancel->setObjectName(QString::number(IDCANCEL));
    layout.Place(cancel, 201, 178, 48, 14);
    connect(ok, &QPushButton::clicked, this, &CContentEditDialog::OnOK);
    connect(cancel, &QPushButton::clicked, this, &CContentEditDialog::OnCancel);
}

bool CContentEditDialog::OnInitDialog()
{
    m_list->SetColumns(
        {Strings::Load(IDS_COLUMN_WORK_NUMBER), Strings::Load(IDS_COLUMN_DESCRIPTION)}, {96, 800});
    FillList();
    return true;
}

void CContentEditDialog::FillList()
{
    m_edit->setText(NumberText(m_nGuideNo));
    std::vector<ReportRow> rows;
    int selected = -1;
    if (const CBindData* data = GetActiveProjectData())
    {
        rows.reserve(data->m_mapWorks.size());
        for (const auto& [workNo, work] : data->m_mapWorks)
        {
            if (work->m_nWorkNo == m_nWorkNo)
                selected = int(rows.size());
            rows.push_back(
                {{NumberText(work->m_nWorkNo), WorkDescription(*data, work.get())}, StateBlank, 0});
        }
    }
    m_list->SetRows(std::move(rows));
    if (selected >= 0)
        m_list->SetItemState(selected, true, false);
}

void CContentEditDialog::OnOK()
{
    const QString text = m_edit->text();
    const QString rangeMessage = FormatString(IDS_GUIDE_NUMBER_RANGE, {1, kMaxGuideNo});
    for (QChar c : text)
    {
        if (c < u'0' || c > u'9')
        {
            AfxMessageBox(rangeMessage, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
    // A long digit string saturates: it is out of range, never a wrapped small number.
    const qint64 value = LeadingNumber(text);
    if (value < 1 || value > kMaxGuideNo)
    {
        AfxMessageBox(rangeMessage, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_nGuideNo = qint32(value);
    const CBindData* data = GetActiveProjectData();
    const qint32 ownNumber = m_pEntry ? m_pEntry->m_nGuideNo : 0;
    if (m_nGuideNo != ownNumber && data != nullptr && data->FindGuide(m_nGuideNo) != nullptr)
    {
        AfxMessageBox(IDS_GUIDE_NUMBER_DUPLICATE, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const QList<int> rows = m_list->GetSelectedRows();
    if (rows.isEmpty())
    {
        AfxMessageBox(IDS_NO_WORK_CHOSEN, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_nWorkNo = ReadNumberIn(m_list->GetItemText(rows.first(), 0), 1, kMaxWorkNo);
    done(IDOK);
}

void CContentEditDialog::OnCancel()
{
    done(IDCANCEL);
}

int CContentEditDialog::DoModal()
{
    OnInitDialog();
    return exec();
}
