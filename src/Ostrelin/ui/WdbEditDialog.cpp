#include "Ostrelin/ui/WdbEditDialog.h"

#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/BindList.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/WorkTexts.h"
#include "platform/Messages.h"
#include "platform/Strings.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

namespace
{
constexpr int kChannels[] = {1, 7, 13};

QLabel* AddLabel(QWidget* parent, const DialogLayout& layout, unsigned text, int x, int y, int cx,
                 int cy)
{
    auto* label = new QLabel(Strings::Load(text), parent);
    label->setTextFormat(Qt::PlainText);
    layout.Place(label, x, y, cx, cy);
    return label;
}
} // namespace

CWdbEditDialog::CWdbEditDialog(const CServer* source, QWidget* parent)
    : QDialog(parent), m_pSource(source)
{
    if (source != nullptr)
        m_server = *source;
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 423, 294);
    setObjectName(QString::number(IDD_WDB_EDIT));
    setWindowTitle(Strings::Load(IDS_WDB_EDIT_CAPTION));

    AddLabel(this, layout, IDS_COLUMN_SERVER_NAME, 12, 8, 42, 8);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QString::number(IDC_WDB_NAME));
    layout.Place(m_name, 8, 18, 48, 14);
    AddLabel(this, layout, IDS_COLUMN_ROLE, 72, 8, 15, 8);
    m_role = new QComboBox(this);
    m_role->setObjectName(QString::number(IDC_WDB_ROLE));
    layout.Place(m_role, 72, 18, 64, 12);
    AddLabel(this, layout, IDS_COLUMN_CHANNEL, 152, 8, 58, 8);
    m_channel = new QComboBox(this);
    m_channel->setObjectName(QString::number(IDC_WDB_CHANNEL));
    layout.Place(m_channel, 152, 18, 32, 12);

    AddLabel(this, layout, IDS_STORED_WORKS, 12, 40, 174, 8);
    m_stored = new CReportList(this, true, true);
    m_stored->setObjectName(QString::number(IDC_WDB_LIST));
    layout.Place(m_stored, 8, 50, 180, 180);
    m_total = new QLineEdit(this);
    m_total->setObjectName(QString::number(IDC_WDB_TOTAL));
    m_total->setReadOnly(true);
    layout.Place(m_total, 108, 232, 80, 12);
    m_add = new QPushButton(Strings::Load(IDS_ADD_WORKS_BUTTON), this);
    m_add->setObjectName(QString::number(IDC_WDB_ADD_WORKS));
    m_add->setAutoDefault(false);
    layout.Place(m_add, 196, 82, 32, 32);
    m_remove = new QPushButton(Strings::Load(IDS_REMOVE_WORKS_BUTTON), this);
    m_remove->setObjectName(QString::number(IDC_WDB_REMOVE_WORKS));
    m_remove->setAutoDefault(false);
    layout.Place(m_remove, 196, 166, 32, 32);
    AddLabel(this, layout, IDS_STORABLE_WORKS, 240, 40, 174, 8);
    m_storable = new CReportList(this, true, true);
    m_storable->setObjectName(QString::number(IDC_LIST));
    layout.Place(m_storable, 236, 50, 180, 180);

    auto* ok = new QPushButton(Strings::Load(IDS_OK_BUTTON), this);
    ok->setObjectName(QString::number(IDOK));
    ok->setDefault(true);
    layout.Place(ok, 8, 272, 48, 14);
    auto* cancel = new QPushButton(Strings::Load(IDS_CANCEL_BUTTON), this);
    cancel->setObjectName(QString::number(IDCANCEL));
    cancel->setAutoDefault(false);
    layout.Place(cancel, 367, 272, 48, 14);
    AddLabel(this, layout, IDS_ADD_WORKS_HINT, 236, 232, 87, 35);
    AddLabel(this, layout, IDS_REMOVE_WORKS_HINT, 8, 232, 87, 36);
    AddLabel(this, layout, IDS_TOTAL_FORMULA, 107, 249, 108, 8);

    connect(m_name, &QLineEdit::textChanged, this, &CWdbEditDialog::OnChangeName);
    connect(m_role, &QComboBox::activated, this, &CWdbEditDialog::OnSelChangeRole);
    connect(m_channel, &QComboBox::activated, this, &CWdbEditDialog::OnSelChangeChannel);
    connect(m_add, &QPushButton::clicked, this, &CWdbEditDialog::OnAddWorks);
    connect(m_remove, &QPushButton::clicked, this, &CWdbEditDialog::OnRemoveWorks);
    connect(m_stored, &CReportList::ColumnClicked, this, &CWdbEditDialog::OnColumnClickStored);
    connect(m_storable, &CReportList::ColumnClicked, this, &CWdbEditDialog::OnColumnClickStorable);
    connect(ok, &QPushButton::clicked, this, &CWdbEditDialog::OnOK);
    connect(cancel, &QPushButton::clicked, this, &CWdbEditDialog::OnCancel);
}

bool CWdbEditDialog::OnInitDialog()
{
    for (int i = 0; i < 3; ++i)
        m_role->addItem(Strings::Load(IDS_ROLE_FIRST + unsigned(i)));
    for (int channel : kChannels)
        m_channel->addItem(NumberText(channel));
    const QStringList titles = {Strings::Load(IDS_COLUMN_GUIDE_NUMBER),
                                Strings::Load(IDS_COLUMN_WORK_NUMBER),
                                Strings::Load(IDS_COLUMN_DESCRIPTION)};
    m_stored->SetColumns(titles, {96, 96, 800});
    m_storable->SetColumns(titles, {96, 96, 800});
    m_name->setMaxLength(5);
    FillWorkLists();
    return true;
}

int CWdbEditDialog::CompareRows(const ReportRow& a, const ReportRow& b, int column, bool descending)
{
    int result = 0;
    if (column == 0 || column == 1)
    {
        const qint64 x = LeadingNumber(a.texts.value(column));
        const qint64 y = LeadingNumber(b.texts.value(column));
        result = x < y ? -1 : (x > y ? 1 : 0);
    }
    else if (column == 2)
    {
        result = CompareNoCase(a.texts.value(column), b.texts.value(column));
    }
    return descending ? -result : result;
}

void CWdbEditDialog::FillWorkLists()
{
    m_name->setText(m_server.m_strName);
    m_role->setCurrentIndex(m_server.m_nRole >= 0 && m_server.m_nRole < 3 ? m_server.m_nRole : -1);
    for (int i = 0; i < 3; ++i)
    {
        if (kChannels[i] == m_server.m_nChannel)
            m_channel->setCurrentIndex(i);
    }

    const CBindData* data = GetActiveProjectData();
    const int total = data ? data->GetServerTotalWorks(m_server) : 0;
    m_total->setText(FormatString(IDS_TOTAL_WORKS_EDIT, {total, kMaxContentServerWorks}));

    std::vector<ReportRow> stored;
    stored.reserve(m_server.m_setGuides.size());
    for (qint32 guideNo : m_server.m_setGuides)
    {
        const CGuideEntry* entry = data ? data->FindGuide(guideNo) : nullptr;
        const CWork* work = entry ? data->FindWork(entry->m_nWorkNo) : nullptr;
        const QString workText =
            entry ? NumberText(entry->m_nWorkNo) : Strings::Load(IDS_NOT_REGISTERED_WORK);
        const QString description =
            work ? WorkDescription(*data, work) : Strings::Load(IDS_GUIDE_NOT_REGISTERED);
        const qintptr index = qintptr(stored.size());
        stored.push_back({{NumberText(guideNo), workText, description}, StateBlank, index});
    }
    std::vector<ReportRow> storable;
    if (data != nullptr)
    {
        storable.reserve(data->m_mapGuides.size());
        for (const auto& [guideNo, entry] : data->m_mapGuides)
        {
            const CWork* work = data->FindWork(entry->m_nWorkNo);
            const QString description =
                work ? WorkDescription(*data, work) : Strings::Load(IDS_WORK_NOT_LOADED);
            const qintptr index = qintptr(storable.size());
            storable.push_back(
                {{NumberText(entry->m_nGuideNo), NumberText(entry->m_nWorkNo), description},
                 StateBlank,
                 index});
        }
    }
    m_stored->SetRows(std::move(stored));
    m_storable->SetRows(std::move(storable));
    m_stored->SortItems([this](const ReportRow& a, const ReportRow& b)
                        { return CompareRows(a, b, m_nStoredColumn, m_bStoredDescending); });
    m_storable->SortItems([this](const ReportRow& a, const ReportRow& b)
                          { return CompareRows(a, b, m_nStorableColumn, m_bStorableDescending); });
    m_stored->SetSortArrow(m_nStoredColumn, m_bStoredDescending ? 1 : -1);
    m_storable->SetSortArrow(m_nStorableColumn, m_bStorableDescending ? 1 : -1);
    EnableByRole();
}

void CWdbEditDialog::EnableByRole()
{
    const bool contents = m_server.m_nRole == RoleContents;
    for (QWidget* control : {static_cast<QWidget*>(m_stored), static_cast<QWidget*>(m_storable),
                             static_cast<QWidget*>(m_add), static_cast<QWidget*>(m_remove),
                             static_cast<QWidget*>(m_total)})
        control->setEnabled(contents);
}

void CWdbEditDialog::OnChangeName()
{
    m_server.SetName(m_name->text());
    EnableByRole();
}

void CWdbEditDialog::OnSelChangeRole()
{
    m_server.m_nRole = m_role->currentIndex();
    EnableByRole();
}

void CWdbEditDialog::OnSelChangeChannel()
{
    const int index = m_channel->currentIndex();
    if (index >= 0 && index < 3)
        m_server.m_nChannel = kChannels[index];
    EnableByRole();
}

void CWdbEditDialog::RefillKeepingTops()
{
    const int storedTop = m_stored->GetTopIndex();
    const int storableTop = m_storable->GetTopIndex();
    FillWorkLists();
    m_stored->ScrollToTopIndex(storedTop);
    m_storable->ScrollToTopIndex(storableTop);
}

void CWdbEditDialog::OnAddWorks()
{
    for (int row : m_storable->GetSelectedRows())
    {
        const qint64 guideNo = LeadingNumber(m_storable->GetItemText(row, 0));
        if (guideNo >= 1 && guideNo <= kMaxGuideNo && !m_server.HasGuide(qint32(guideNo)))
            m_server.m_setGuides.insert(qint32(guideNo));
    }
    RefillKeepingTops();
}

void CWdbEditDialog::OnRemoveWorks()
{
    for (int row : m_stored->GetSelectedRows())
        m_server.m_setGuides.erase(qint32(LeadingNumber(m_stored->GetItemText(row, 0))));
    RefillKeepingTops();
}

void CWdbEditDialog::OnColumnClickStored(int column)
{
    m_stored->ClearSortArrow(m_nStoredColumn);
    m_bStoredDescending = !m_bStoredDescending;
    m_nStoredColumn = column;
    FillWorkLists();
}

void CWdbEditDialog::OnColumnClickStorable(int column)
{
    m_storable->ClearSortArrow(m_nStorableColumn);
    m_bStorableDescending = !m_bStorableDescending;
    m_nStorableColumn = column;
    FillWorkLists();
}

void CWdbEditDialog::OnOK()
{
    if (CheckServerName(m_server.m_strName) != BindOk)
    {
        AfxMessageBox(m_server.m_strName == u"00000" ? IDS_SERVER_NAME_ZEROS : IDS_SERVER_NAME_RULE,
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const CBindData* data = GetActiveProjectData();
    const QString sourceName = m_pSource ? m_pSource->m_strName : QString();
    if (m_server.m_strName != sourceName && data != nullptr &&
        data->FindServer(m_server.m_strName) != nullptr)
    {
        AfxMessageBox(IDS_SERVER_NAME_DUPLICATE, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (m_server.m_nRole == RoleContents && m_server.m_setGuides.empty())
    {
        AfxMessageBox(IDS_NO_STORED_WORKS, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    done(IDOK);
}

void CWdbEditDialog::OnCancel()
{
    done(IDCANCEL);
}

int CWdbEditDialog::DoModal()
{
    OnInitDialog();
    return exec();
}
