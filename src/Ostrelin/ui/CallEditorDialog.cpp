#include "Ostrelin/ui/CallEditorDialog.h"

#include "Ostrelin/model/BindData.h"
#include "Ostrelin/model/ProjectFolders.h"
#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/ChildProcesses.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/MainFormView.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Spreadsheet.h"
#include "platform/Strings.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>

namespace
{
QString LanguageLines(quint16 mask, unsigned noneId)
{
    if (mask == 0)
        return Strings::Load(noneId);
    QString text;
    for (int language = 0; language < kLanguageCount; ++language)
    {
        if (mask & (1u << language))
            text += FormatMessage(QStringLiteral("   %s\r\n"), {GetLanguageName(language)});
    }
    return text + QStringLiteral("\r\n");
}

// The XML file as seen from the project folder: "./convert/input/xml/TOVKContent.xml".
QString RelativeLine(const QString& projectPath, const QString& xml)
{
    QString relative = QDir(CProjectTree(projectPath).ProjectFolder()).relativeFilePath(xml);
    if (!relative.startsWith(QStringLiteral("..")) && !QDir::isAbsolutePath(relative))
        relative = QStringLiteral("./") + relative;
    return FormatMessage(QStringLiteral("   %s\r\n"), {relative});
}

bool XmlFileExists(const QString& path)
{
    return !path.isEmpty() && Path::FileExists(path);
}
} // namespace

CCallEditorDialog::CCallEditorDialog(CMainFormView* owner) : CStepPage(owner), m_pOwner(owner)
{
    setObjectName(QString::number(IDD_CALL_EDITOR));
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 280, 234);

    auto makeButton = [&](unsigned id, unsigned text, int x, int y, int cx, int cy)
    {
        auto* button = new QPushButton(Strings::Load(text), this);
        button->setObjectName(QString::number(id));
        layout.Place(button, x, y, cx, cy);
        return button;
    };
    auto makeSummary = [&](unsigned id, int x)
    {
        auto* edit = new QPlainTextEdit(this);
        edit->setObjectName(QString::number(id));
        edit->setReadOnly(true);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        layout.Place(edit, x, 40, 128, 160);
        return edit;
    };
    m_btnContent = makeButton(IDC_EDIT_CONTENT, IDS_EDIT_CONTENT_BUTTON, 8, 8, 128, 24);
    m_btnQuery = makeButton(IDC_EDIT_QUERY, IDS_EDIT_QUERY_BUTTON, 144, 8, 128, 24);
    m_edtContentInfo = makeSummary(IDC_CONTENT_INFO, 8);
    m_edtQueryInfo = makeSummary(IDC_QUERY_INFO, 144);
    m_btnExcel = makeButton(IDC_CHECK_IN_EXCEL, IDS_CHECK_IN_EXCEL_BUTTON, 8, 207, 128, 19);
    ConnectCommand(m_btnContent, &QPushButton::clicked, &CCallEditorDialog::OnEditContent);
    ConnectCommand(m_btnQuery, &QPushButton::clicked, &CCallEditorDialog::OnEditQuery);
    ConnectCommand(m_btnExcel, &QPushButton::clicked, &CCallEditorDialog::OnCheckInExcel);
}

bool CCallEditorDialog::OnInitDialog()
{
    UpdateInfo();
    return true;
}

QString CCallEditorDialog::ContentSummary(const QString& projectPath)
{
    const CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return QString();
    QString text = FormatString(IDS_CONTENT_COUNT, {qulonglong(data->m_mapWorks.size())});
    text += Strings::Load(IDS_CONTENT_LANGUAGES);
    text += LanguageLines(data->m_wContentLanguages, IDS_CONTENT_NO_LANGUAGE);
    if (XmlFileExists(data->m_strContentXml))
    {
        text += Strings::Load(IDS_CONTENT_FILE_NAME);
        text += RelativeLine(projectPath, data->m_strContentXml);
    }
    return text;
}

QString CCallEditorDialog::QuerySummary(const QString& projectPath)
{
    const CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return QString();
    QString text = Strings::Load(IDS_QUERY_LANGUAGES);
    text += LanguageLines(data->m_wQueryLanguages, IDS_QUERY_NO_LANGUAGE);
    if (XmlFileExists(data->m_strQueryXml))
    {
        text += Strings::Load(IDS_QUERY_FILE_NAME);
        text += RelativeLine(projectPath, data->m_strQueryXml);
    }
    return text;
}

void CCallEditorDialog::UpdateInfo()
{
    // The edits break lines at "\n"; a "\r" would show as a character of its own.
    const auto display = [](QString text)
    { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); };
    m_edtContentInfo->setPlainText(display(ContentSummary(GetActiveProjectPath())));
    m_edtQueryInfo->setPlainText(display(QuerySummary(GetActiveProjectPath())));
    const CBindData* data = GetActiveProjectData();
    const bool installed = Spreadsheet::IsInstalled();
    m_btnExcel->setEnabled(installed && data && XmlFileExists(data->m_strContentXml));
    m_btnExcel->setVisible(installed);
}

bool CCallEditorDialog::CheckStep(QString& error)
{
    error.clear();
    const CBindData* data = GetActiveProjectData();
    if (data == nullptr || data->m_mapWorks.empty())
        error += Strings::Load(IDS_STEP_NO_CONTENT);
    return error.isEmpty();
}

void CCallEditorDialog::OnEditContent()
{
    m_pOwner->OnContentEditor();
}

void CCallEditorDialog::OnEditQuery()
{
    m_pOwner->OnQueryEditor();
}

void CCallEditorDialog::OnCheckInExcel()
{
    const CBindData* data = GetActiveProjectData();
    if (data == nullptr || !XmlFileExists(data->m_strContentXml))
        return;
    AfxMessageBox(IDS_EXCEL_NOTICE, MB_OK);
    OpenXmlInExcel(data->m_strContentXml);
}
