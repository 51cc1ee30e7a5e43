#include "Ostrelin/ui/MainFormView.h"

#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/model/PathHelpers.h"
#include "Ostrelin/model/ProjectFolders.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/AboutBox.h"
#include "Ostrelin/ui/CallEditorDialog.h"
#include "Ostrelin/ui/ConfigDialog.h"
#include "Ostrelin/ui/ContentListDialog.h"
#include "Ostrelin/ui/FeedbackDialog.h"
#include "Ostrelin/ui/FileSelectDialog.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/MainFrame.h"
#include "Ostrelin/ui/OstrelinApp.h"
#include "Ostrelin/ui/OutputDialog.h"
#include "Ostrelin/ui/TitleEditDialog.h"
#include "Ostrelin/ui/TrefTabCtrl.h"
#include "Ostrelin/ui/WaitEditorDialog.h"
#include "Ostrelin/ui/WdbListDialog.h"
#include "framework/LongOperation.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Profile.h"
#include "platform/Strings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QMetaObject>

struct CMainFormView::EditorKind
{
    CProcessHolder CMainFormView::*holder;
    const char* program;
    bool content; // the content editor, else the questionnaire editor
    const char* handOverName;
    unsigned runningMessage;
    unsigned failedMessage;
    unsigned waitText;
};

namespace
{
QString FolderOf(const QString& path)
{
    return Path::RemoveFileSpec(path);
}

enum ScanKinds : unsigned
{
    ScanQuery = 1,
    ScanContent = 2,
};

// The questionnaire languages and the works from the project's converted files.
void ScanConverted(COstrelinDoc& doc, const QString& folder, unsigned kinds)
{
    if (kinds & ScanQuery)
        doc.ScanQueryLanguages(folder);
    if (kinds & ScanContent)
        doc.ScanContentFiles(folder);
}

// The guides and servers checked against the works and languages found.
void ValidateAgainstScan(COstrelinDoc& doc)
{
    doc.GetBindData().ValidateAllGuides();
    doc.GetBindData().ValidateAllServers();
}

void Rescan(COstrelinDoc& doc, const QString& folder, unsigned kinds = ScanQuery | ScanContent)
{
    ScanConverted(doc, folder, kinds);
    ValidateAgainstScan(doc);
}
} // namespace

QString ConvertFolderOf(const QString& projectPath)
{
    return CProjectTree(projectPath).ConvertFolder();
}

CMainFormView::CMainFormView(QWidget* parent)
    : QWidget(parent), m_pDocument(std::make_unique<COstrelinDoc>())
{
    setObjectName(QString::number(IDD_MAINFORM));
    m_strAppFolder = Path::RemoveBackslash(GetAppFolder());
    m_strBinFolder = AppendPath(m_strAppFolder, QStringLiteral("bin"));
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 440, 305);
    m_pane = new QFrame(this);
    m_pane->setFrameShape(QFrame::StyledPanel);
    m_tabSteps = new CProgressTabCtrl(this);
    m_tabSteps->setObjectName(QString::number(IDC_STEP_TABS));
    SetProjectHost(this);
}

CMainFormView::~CMainFormView()
{
    if (GetProjectHost() == this)
        SetProjectHost(nullptr);
    // The tab control owns the pages.
    delete m_tabSteps;
    m_tabSteps = nullptr;
}

void CMainFormView::OnInitialUpdate()
{
    m_pFileSelectPage = new CFileSelectDialog(this);
    m_pCallEditorPage = new CCallEditorDialog(this);
    m_pConfigPage = new CConfigDialog(this);
    m_pTitleEditPage = new CTitleEditDialog(this);
    m_pContentListPage = new CContentListDialog(this);
    m_pWdbListPage = new CWdbListDialog(this);
    m_pOutputPage = new COutputDialog(this);
    m_pFeedbackPage = new CFeedbackDialog(this);
    const struct
    {
        CStepPage* page;
        unsigned caption;
    } pages[] = {
        {m_pFileSelectPage, IDS_STEP_CAPTION_FILE},
        {m_pCallEditorPage, IDS_STEP_CAPTION_FILE + 1},
        {m_pConfigPage, IDS_STEP_CAPTION_FILE + 2},
        {m_pTitleEditPage, IDS_STEP_CAPTION_FILE + 3},
        {m_pContentListPage, IDS_STEP_CAPTION_FILE + 4},
        {m_pWdbListPage, IDS_STEP_CAPTION_FILE + 5},
        {m_pOutputPage, IDS_STEP_CAPTION_OUTPUT},
        {m_pFeedbackPage, IDS_STEP_CAPTION_FEEDBACK},
    };
    for (const auto& entry : pages)
        m_tabSteps->AddPage(Strings::Load(entry.caption), entry.page);
    m_pFileSelectPage->OnInitDialog();
    m_pCallEditorPage->OnInitDialog();

    // The tab control covers the form; the pages lie on its pane.
    m_tabSteps->FitTabs(width());
    m_pane->setGeometry(0, m_tabSteps->height() - 1, width(), height() - m_tabSteps->height() + 1);
    m_pane->lower();
    setFixedSize(size());

    UpdateAllPages();
    m_tabSteps->UpdateStepStates();
    m_tabSteps->SelectPage();
}

void CMainFormView::UpdateWindowTitle()
{
    const QString name = m_strProjectPath.isEmpty() ? Strings::Load(IDS_UNTITLED)
                                                    : GetFileNamePart(m_strProjectPath);
    const QString mark = m_pDocument->IsModified() ? Strings::Load(IDS_MODIFIED_MARK) : QString();
    window()->setWindowTitle(
        FormatString(IDS_TITLE_FORMAT, {name, mark, Strings::Load(IDS_APPLICATION_TITLE)}));
}

void CMainFormView::UpdateAllPages()
{
    if (m_pFileSelectPage)
        m_pFileSelectPage->UpdatePath();
    if (m_pCallEditorPage)
        m_pCallEditorPage->UpdateInfo();
    if (m_pConfigPage)
        m_pConfigPage->UpdateControls();
    if (m_pTitleEditPage)
        m_pTitleEditPage->UpdateFromDoc();
    if (m_pContentListPage)
        m_pContentListPage->FillList();
    if (m_pWdbListPage)
        m_pWdbListPage->FillList();
    if (m_pOutputPage)
        m_pOutputPage->UpdateSummary();
}

void CMainFormView::UpdateStepStates()
{
    if (m_tabSteps)
        m_tabSteps->UpdateStepStates();
}

bool CMainFormView::IsBusy() const
{
    return CMainFrame::IsBusyAround(this);
}

QString CMainFormView::InitialProjectName() const
{
    return m_strProjectPath.isEmpty() ? Strings::Load(IDS_DEFAULT_PROJECT_NAME)
                                      : GetFileNamePart(m_strProjectPath);
}

void CMainFormView::RememberProjectFile(const QString& path)
{
    Profile profile(Strings::Load(IDS_APP_TITLE));
    profile.WriteString(Strings::Load(IDS_PROFILE_SETTINGS),
                        Strings::Load(IDS_PROFILE_PROJECT_FILE), path);
}

void CMainFormView::OnFileNew()
{
    if (IsBusy())
        return;
    if (m_pDocument->IsModified() &&
        AfxMessageBox(IDS_DISCARD_QUESTION, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const QString path = FileDialogs::Current().GetSaveFileName(
        this, Strings::Load(IDS_NEW_PROJECT_TITLE),
        AppendPath(m_strAppFolder, InitialProjectName()), Strings::Load(IDS_SAVE_FILTER),
        Strings::Load(IDS_PROJECT_EXTENSION));
    if (path.isEmpty())
        return;
    repaint();

    m_pDocument->OnNewDocument();
    // The first file already names the project's XML files.
    m_pDocument->SetDefaultXmlPaths(path);
    if (m_pDocument->OnSaveDocument(path))
    {
        CreateProjectFolders(path);
        Rescan(*m_pDocument, FolderOf(path));
        m_strProjectPath = path;
        RememberProjectFile(path);
    }
    else
    {
        ShowSaveFailure(IDS_CANNOT_CREATE);
        m_strProjectPath.clear();
    }
    UpdateWindowTitle();
    UpdateAllPages();
    UpdateStepStates();
    update();
}

void CMainFormView::RescanChangedContent()
{
    const QString folder = FolderOf(m_strProjectPath);
    if (folder.isEmpty() || !m_pDocument->ContentFilesChanged(folder))
        return;
    Rescan(*m_pDocument, folder, ScanContent);
    UpdateAllPages();
    UpdateStepStates();
}

bool CMainFormView::OpenInto(const QString& path)
{
    auto document = std::make_unique<COstrelinDoc>();
    const QString folder = FolderOf(path);
    // The works and questionnaire languages come from the new project's tree, before the
    // file is read.
    ScanConverted(*document, folder, ScanQuery | ScanContent);
    if (!document->OnOpenDocument(path))
        return false;
    ValidateAgainstScan(*document);
    document->GetBindData().m_strTitleFolder = m_pDocument->GetBindData().m_strTitleFolder;
    m_pDocument = std::move(document);
    return true;
}

void CMainFormView::OnFileOpen()
{
    if (IsBusy())
        return;
    if (m_pDocument->IsModified() &&
        AfxMessageBox(IDS_DISCARD_QUESTION, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    Profile profile(Strings::Load(IDS_APP_TITLE));
    QString folder = profile.GetString(Strings::Load(IDS_PROFILE_SETTINGS),
                                       Strings::Load(IDS_PROFILE_PROJECT_FILE));
    if (folder.isEmpty())
        folder = m_strAppFolder;
    else if (!Path::IsDirectory(folder))
        folder = QFileInfo(folder).path();
    // The name box starts with the pattern, not with the last file's name.
    const QString path = FileDialogs::Current().GetOpenFileName(
        this, Strings::Load(IDS_OPEN_PROJECT_TITLE),
        folder + u'/' + Strings::Load(IDS_OPEN_PATTERN), Strings::Load(IDS_OPEN_FILTER));
    if (path.isEmpty())
        return;
    repaint();

    if (!OpenInto(path))
    {
        AfxMessageBox(IDS_CANNOT_OPEN, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CreateProjectFolders(path);
    m_strProjectPath = path;
    RememberProjectFile(path);
    UpdateWindowTitle();
    UpdateAllPages();
    UpdateStepStates();
    update();
}

void CMainFormView::OnFileSave()
{
    if (IsBusy() || m_strProjectPath.isEmpty())
        return;
    if (m_pDocument->ChangedOnDisk(m_strProjectPath))
    {
        // Another program wrote the file since: its changes are not dropped without a word.
        switch (AfxMessageBox(FormatString(IDS_FILE_CHANGED_ON_DISK, {m_strProjectPath}),
                              MB_YESNOCANCEL | MB_ICONQUESTION))
        {
        case IDYES:
            break;
        case IDNO:
            ReloadProject();
            return;
        default:
            return;
        }
    }
    if (m_pDocument->OnSaveDocument(m_strProjectPath))
        UpdateWindowTitle();
    else
        ShowSaveFailure(IDS_CANNOT_SAVE);
}

void CMainFormView::ReloadProject()
{
    if (!OpenInto(m_strProjectPath))
    {
        AfxMessageBox(IDS_CANNOT_OPEN, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    UpdateWindowTitle();
    UpdateAllPages();
    UpdateStepStates();
    update();
}

void CMainFormView::ShowSaveFailure(unsigned message)
{
    QString text = Strings::Load(message);
    if (!m_pDocument->SaveError().isEmpty())
        text += QStringLiteral("\r\n\r\n") + m_pDocument->SaveError();
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

bool CMainFormView::OnUpdateFileSave() const
{
    return !m_strProjectPath.isEmpty();
}

void CMainFormView::OnFileSaveAs()
{
    if (IsBusy())
        return;
    const QString path = FileDialogs::Current().GetSaveFileName(
        this, QString(), AppendPath(m_strAppFolder, InitialProjectName()),
        Strings::Load(IDS_SAVE_FILTER), Strings::Load(IDS_PROJECT_EXTENSION));
    if (path.isEmpty())
        return;
    if (m_pDocument->OnSaveDocument(path))
    {
        Rescan(*m_pDocument, FolderOf(path));
        m_strProjectPath = path;
    }
    else
    {
        ShowSaveFailure(IDS_CANNOT_SAVE);
    }
    UpdateWindowTitle();
    UpdateAllPages();
    // The rescan may have changed what the steps have.
    UpdateStepStates();
}

void CMainFormView::OnAppExit()
{
    if (IsBusy())
        return;
    // Posted, so the close guard and the save question run from the event loop.
    QMetaObject::invokeMethod(window(), "close", Qt::QueuedConnection);
}

void CMainFormView::OnAppAbout()
{
    CHubAboutDlg dialog(window());
    dialog.DoModal();
}

bool CMainFormView::IsAnyEditorRunning() const
{
    return IsProcessRunning(m_piContentEditor) || IsProcessRunning(m_piQueryEditor);
}

void CMainFormView::OnContentEditor()
{
    static const EditorKind kind = {&CMainFormView::m_piContentEditor,
                                    "TOVKContEditJP",
                                    true,
                                    "LastContentFile",
                                    IDS_CONTENT_EDITOR_RUNNING,
                                    IDS_CONTENT_EDITOR_FAILED,
                                    IDS_WAIT_CONTENT_EDITOR};
    LaunchEditor(kind);
}

void CMainFormView::OnQueryEditor()
{
    static const EditorKind kind = {&CMainFormView::m_piQueryEditor,
                                    "TOVKQueryEditJP",
                                    false,
                                    "LastQueryFile",
                                    IDS_QUERY_EDITOR_RUNNING,
                                    IDS_QUERY_EDITOR_FAILED,
                                    IDS_WAIT_QUERY_EDITOR};
    LaunchEditor(kind);
}

void CMainFormView::EditorNotStarted(const EditorKind& kind, const ToolResult& result)
{
    const QString reason =
        result.NotStartedReason(IDS_OUTPUT_TOOL_CANNOT_RUN_32, IDS_OUTPUT_TOOL_WINE_FAILED,
                                IDS_OUTPUT_TOOL_PREFIX_UNUSABLE);
    const QString text = Strings::Load(kind.failedMessage);
    AfxMessageBox(reason.isEmpty() ? text : text + QStringLiteral("\n\n") + reason,
                  MB_OK | MB_ICONEXCLAMATION);
}

void CMainFormView::LaunchEditor(const EditorKind& kind)
{
    if (IsBusy())
        return;
    if (m_strProjectPath.isEmpty())
    {
        AfxMessageBox(IDS_NO_PROJECT_FILE, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CProcessHolder& holder = this->*kind.holder;
    if (IsProcessRunning(holder))
    {
        AfxMessageBox(kind.runningMessage, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CreateProjectFolders(m_strProjectPath);

    CBindData& data = m_pDocument->GetBindData();
    const QString xml = kind.content ? data.m_strContentXml : data.m_strQueryXml;
    const ExternalTool editor =
        ExternalTool::Find(m_strBinFolder, QString::fromLatin1(kind.program));
    CommandLine command =
        editor.Command({QStringLiteral("-d"), editor.ToolPath(ConvertFolderOf(m_strProjectPath))});
    if (!xml.isEmpty())
        command.arguments << editor.ToolPath(xml);

    // From the clear of the hand-over value to its read nothing changes the project; a
    // termination request ends the editor and the program after the take-over.
    const CLongOperation operation;
    const QString name = QString::fromLatin1(kind.handOverName);
    CWaitEditorDialog wait(Strings::Load(kind.waitText), this);
    // A Windows editor's value lives in Wine's registry: its calls wait under the box.
    const auto registry = [&](const std::function<void(std::function<void()>)>& call)
    {
        if (editor.IsWindows())
            wait.RunRegistryCall(call);
        else
            call({});
    };
    // What the value holds after a failed clear is some earlier run's, not this one's.
    ToolResult clearRun;
    bool cleared = false;
    registry([&](std::function<void()> step)
             { cleared = ClearRegistryString(name, editor, &clearRun, std::move(step)); });
    // A prefix that Wine cannot use fails the editor's start the same way.
    if (clearRun.reason == ToolResult::WineFailed)
    {
        clearRun.program = Path::FindFileName(editor.Program());
        EditorNotStarted(kind, clearRun);
        return;
    }
    if (operation.IsCancelRequested())
        return;
    if (!StartChildProcess(holder, command, m_strBinFolder))
    {
        EditorNotStarted(kind, holder.process->Result());
        return;
    }

    wait.DoModal(operation);
    repaint();
    // Wine ended without having run the editor: nothing was edited.
    const ToolResult ended = holder.process->Result();
    if (ended.outcome == ToolResult::NotStarted)
    {
        EditorNotStarted(kind, ended);
        return;
    }

    if (COstrelinApp* app = COstrelinApp::Current())
        app->LoadToolArchive();
    Rescan(*m_pDocument, FolderOf(m_strProjectPath), kind.content ? ScanContent : ScanQuery);
    CBindData& scanned = m_pDocument->GetBindData();

    QString saved;
    const QString current = kind.content ? scanned.m_strContentXml : scanned.m_strQueryXml;
    bool read = false;
    if (cleared)
        registry([&](std::function<void()> step)
                 { read = ReadRegistryString(name, saved, editor, std::move(step)); });
    if (read && !saved.isEmpty() && saved != current)
    {
        if (kind.content)
            scanned.SetContentXmlPath(saved);
        else
            scanned.SetQueryXmlPath(saved);
        m_pDocument->SetModifiedFlag(true);
        UpdateWindowTitle();
    }
    UpdateAllPages();
    UpdateStepStates();
}

bool CMainFormView::CheckEditorsClosed()
{
    if (IsProcessRunning(m_piContentEditor))
    {
        AfxMessageBox(IDS_CLOSE_CONTENT_EDITOR, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (IsProcessRunning(m_piQueryEditor))
    {
        AfxMessageBox(IDS_CLOSE_QUERY_EDITOR, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}
