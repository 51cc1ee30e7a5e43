#include "Ostrelin/ui/WdbListDialog.h"

#include "Ostrelin/model/BindData.h"
#include "Ostrelin/model/PathHelpers.h"
#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/BindList.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/WdbEditDialog.h"
#include "Ostrelin/ui/WorkTexts.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Strings.h"

#include <QPushButton>
#include <vector>

namespace
{
constexpr qint64 kImportBufferSize = 1024;

QString StatusNote(quint16 status)
{
    if (status & ServerUnknownGuide)
        return Strings::Load(IDS_SERVER_UNKNOWN_GUIDE);
    if (status & ServerOverLimit)
        return Strings::Load(IDS_SERVER_OVER_LIMIT);
    if (status & ServerQueryIncomplete)
        return Strings::Load(IDS_SERVER_QUERY_INCOMPLETE);
    return {};
}
} // namespace

QStringList ParseServerNames(const QByteArray& bytes)
{
    QStringList names;
    QString current;
    for (const char byte : bytes)
    {
        if (byte == '\0' || names.size() >= int(kMaxServers))
            break;
        if (byte == '\r' || byte == '\n')
        {
            if (!current.isEmpty())
                names << current;
            current.clear();
            continue;
        }
        // One character per byte: values from 0x80 never make a valid name.
        current += QChar(char16_t(static_cast<unsigned char>(byte)));
    }
    return names;
}

CWdbListDialog::CWdbListDialog(QWidget* parent) : CListStepPage(parent)
{
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 376, 218);
    setObjectName(QString::number(IDD_WDB_LIST));

    CreateList(layout, IDC_WDB_LIST, true, 8, 8, 360, 180);
    ConnectCommand(m_list, &CReportList::ColumnClicked, &CWdbListDialog::OnColumnClick);

    ConnectCommand(CreateButton(layout, IDC_DELETE, IDS_DELETE_BUTTON, 8, 196, 48, 14),
                   &QPushButton::clicked, &CWdbListDialog::OnDelete);
    ConnectCommand(CreateButton(layout, IDC_IMPORT_SERVERS, IDS_IMPORT_BUTTON, 288, 196, 80, 14),
                   &QPushButton::clicked, &CWdbListDialog::OnImportServerList);
    OnInitDialog();
}

bool CWdbListDialog::OnInitDialog()
{
    m_list->SetStateImages(true);
    m_list->SetColumns({Strings::Load(IDS_COLUMN_SERVER_NAME), Strings::Load(IDS_COLUMN_ROLE),
                        Strings::Load(IDS_COLUMN_CHANNEL), Strings::Load(IDS_COLUMN_TOTAL_WORKS),
                        Strings::Load(IDS_COLUMN_ERROR)},
                       {100, 80, 80, 80, 800});
    FillList();
    return true;
}

void CWdbListDialog::FillList()
{
    std::vector<ReportRow> rows;
    if (const CBindData* data = GetActiveProjectData())
    {
        rows.reserve(data->m_listServers.size() + 1);
        CBindData::ServerPosition pos = data->FirstServerPosition();
        while (const CServer* server = data->NextServer(pos))
        {
            const bool knownRole = server->m_nRole >= RoleProgram && server->m_nRole <= RoleEnquete;
            const QString total =
                server->m_nRole == RoleContents
                    ? FormatString(IDS_TOTAL_WORKS_CELL,
                                   {data->GetServerTotalWorks(*server), kMaxContentServerWorks})
                    : QString();
            rows.push_back(
                {{server->m_strName,
                  knownRole ? Strings::Load(IDS_ROLE_FIRST + unsigned(server->m_nRole)) : QString(),
                  NumberText(server->m_nChannel), total, StatusNote(server->m_wStatus)},
                 server->m_wStatus == 0 ? StateOk : StateError,
                 qintptr(rows.size())});
        }
    }
    rows.push_back(
        {{Strings::Load(IDS_ADD_ROW), QString(), QString(), QString(), QString()}, StateBlank, -1});
    m_list->SetRows(std::move(rows));
    m_list->SortItems([this](const ReportRow& a, const ReportRow& b)
                      { return CompareServers(a, b, this); });
    SetSortArrow(m_nSortColumn, m_bSortDescending ? 1 : -1);
}

int CWdbListDialog::CompareServers(const ReportRow& first, const ReportRow& second,
                                   const CWdbListDialog* page)
{
    if (first.data == -1)
        return second.data == -1 ? 0 : 1;
    if (second.data == -1)
        return -1;
    if (page == nullptr)
        return 0;
    const int column = page->m_nSortColumn;
    int result = 0;
    if (column == 2 || column == 3)
    {
        const qint64 a = LeadingNumber(first.texts.value(column));
        const qint64 b = LeadingNumber(second.texts.value(column));
        result = a < b ? -1 : (a > b ? 1 : 0);
    }
    else
    {
        result = CompareNoCase(first.texts.value(column), second.texts.value(column));
    }
    return page->m_bSortDescending ? -result : result;
}

void CWdbListDialog::SetSortArrow(int column, int direction)
{
    m_list->SetSortArrow(column, direction);
}

void CWdbListDialog::OnColumnClick(int column)
{
    m_list->ClearSortArrow(m_nSortColumn);
    m_bSortDescending = !m_bSortDescending;
    m_nSortColumn = column;
    FillList();
}

bool CWdbListDialog::CheckStep(QString& error)
{
    error.clear();
    bool program = false;
    bool contents = false;
    quint16 status = 0;
    if (const CBindData* data = GetActiveProjectData())
    {
        for (const auto& server : data->m_listServers)
        {
            program = program || server->m_nRole == RoleProgram;
            contents = contents || server->m_nRole == RoleContents;
            status |= server->m_wStatus;
        }
    }
    if (!program)
        error += Strings::Load(IDS_NEED_PROGRAM_SERVER);
    if (!contents)
        error += Strings::Load(IDS_NEED_CONTENTS_SERVER);
    if (status & ServerOverLimit)
        error += Strings::Load(IDS_STEP_OVER_LIMIT);
    if (status & ServerUnknownGuide)
        error += Strings::Load(IDS_STEP_UNKNOWN_GUIDE);
    if (status & ServerQueryIncomplete)
        error += Strings::Load(IDS_STEP_QUERY_INCOMPLETE);
    return error.isEmpty();
}

void CWdbListDialog::OnDblClkList()
{
    CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return;
    const int row = SingleSelectedRow();
    if (row < 0)
        return;
    CServer* stored =
        m_list->GetItemData(row) == -1 ? nullptr : data->FindServer(m_list->GetItemText(row, 0));
    QString name;
    int top = 0;
    if (stored != nullptr)
    {
        CWdbEditDialog dialog(stored, this);
        if (RunEditDialog(dialog) != IDOK)
            return;
        name = dialog.m_server.m_strName;
        top = m_list->GetTopIndex();
        *stored = dialog.m_server;
    }
    else
    {
        if (data->m_listServers.size() >= kMaxServers)
        {
            AfxMessageBox(IDS_TOO_MANY_SERVERS, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        const CServer fresh;
        CWdbEditDialog dialog(&fresh, this);
        if (RunEditDialog(dialog) != IDOK)
            return;
        if (data->AddServer(dialog.m_server.m_strName) != BindOk)
            return;
        name = dialog.m_server.m_strName;
        top = m_list->GetTopIndex();
        if (CServer* added = data->FindServer(name))
            *added = dialog.m_server;
    }
    OnProjectDataChanged();
    FillList();
    RevealFirst([&](int row) { return m_list->GetItemText(row, 0) == name; }, top);
}

void CWdbListDialog::OnDelete()
{
    CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return;
    QStringList names;
    for (int row : m_list->GetSelectedRows())
    {
        const QString name = m_list->GetItemText(row, 0);
        if (m_list->GetItemData(row) != -1 && data->FindServer(name) != nullptr)
            names << name;
    }
    if (names.isEmpty())
        return;
    for (const QString& name : names)
        data->RemoveServer(name);
    const int top = m_list->GetTopIndex();
    OnProjectDataChanged();
    FillList();
    m_list->ScrollToTopIndex(top);
}

void CWdbListDialog::OnImportServerList()
{
    CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return;
    const QString folder = FileDialogs::Current().BrowseForFolder(
        this, Strings::Load(IDS_IMPORT_FOLDER_TITLE), GetActiveProjectPath());
    if (folder.isEmpty())
        return;

    // Card copies are often upper case: the path is matched without regard to case.
    const QString path = Path::Resolve(AppendPath(folder, Strings::Load(IDS_IMPORT_FILE)));
    // Opened once, without waiting: a pipe or a device put at the name is refused.
    Path::ReadOnlyFile file = Path::OpenRegularFile(path);
    if (!file.IsOpen())
    {
        if (Path::IsRegularFile(path))
            AfxMessageBox(FormatString(IDS_FILE_READ_ERROR, {path}), MB_OK | MB_ICONEXCLAMATION);
        else
            AfxMessageBox(IDS_IMPORT_NOT_FOUND, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    QByteArray bytes(qMin<qint64>(file.Size(), kImportBufferSize), Qt::Uninitialized);
    const qint64 got = file.Read(bytes.data(), bytes.size());
    const bool failed = got < 0;
    bytes.truncate(qMax<qint64>(got, 0));
    if (failed)
    {
        AfxMessageBox(FormatString(IDS_FILE_READ_ERROR, {path}), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (bytes.isEmpty() || bytes.size() > kImportBufferSize - 1)
    {
        AfxMessageBox(IDS_IMPORT_UNREADABLE, MB_OK | MB_ICONEXCLAMATION);
        return;
    }

    QStringList added;
    for (const QString& name : ParseServerNames(bytes))
    {
        if (data->AddServer(name) == BindOk)
            added << name;
    }
    const int top = m_list->GetTopIndex();
    FillList();
    m_list->ScrollToTopIndex(top);
    if (!added.isEmpty())
    {
        QString list;
        for (const QString& name : added)
            list += name + u'\n';
        AfxMessageBox(FormatString(IDS_IMPORT_ADDED, {int(added.size()), list}),
                      MB_OK | MB_ICONINFORMATION);
        OnProjectDataChanged();
    }
    else
    {
        AfxMessageBox(IDS_IMPORT_NOTHING, MB_OK | MB_ICONINFORMATION);
    }
}

int CWdbListDialog::RunEditDialog(CWdbEditDialog& dialog)
{
    return dialog.DoModal();
}
