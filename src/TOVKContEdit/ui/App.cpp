#include "TOVKContEdit/ui/App.h"

#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/shared/ToolArchive.h"
#include "TOVKContEdit/ui/AboutBox.h"
#include "TOVKContEdit/ui/CommandLineInfoEx.h"
#include "TOVKContEdit/ui/MainFrame.h"
#include "TOVKContEdit/ui/Output.h"
#include "TOVKContEdit/ui/TOVKContEditView.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Profile.h"
#include "platform/SingleInstance.h"
#include "platform/Strings.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace
{
const QString kMutexName = QStringLiteral("Quorvane KPSonavelContentEditor");
const QString kSettings = QStringLiteral("Settings");
const QString kItemWidth = QStringLiteral("ItemWidth");

CTOVKContEditApp* g_current = nullptr;

// The widths a stored value may hold; anything else means the value was not written by
// this program (a huge width would also overflow the view's sums).
constexpr long MinStoredWidth = 10;
constexpr long MaxStoredWidth = 4096;

// swscanf("%i,%i,%i,%i,%i,%i,%i,%i"): the numbers must come in that order, each parsed like
// %i (sign, 0x hex, leading 0 octal), separated by commas; true when all eight were read
// and each is a width in MinStoredWidth..MaxStoredWidth.
bool ScanWidths(const QString& text, int (&widths)[8])
{
    const QByteArray bytes = text.toLatin1();
    const char* p = bytes.constData();
    for (int i = 0; i < 8; ++i)
    {
        if (i > 0)
        {
            while (*p == ' ' || *p == '\t')
                ++p;
            if (*p != ',')
                return false;
            ++p;
        }
        char* end = nullptr;
        const long value = std::strtol(p, &end, 0);
        if (end == p || value < MinStoredWidth || value > MaxStoredWidth)
            return false;
        widths[i] = static_cast<int>(value);
        p = end;
    }
    return true;
}
} // namespace

CTOVKContEditApp::CTOVKContEditApp()
{
    for (int& width : m_nColumnWidth)
        width = -1;
    g_current = this;
}

CTOVKContEditApp::~CTOVKContEditApp()
{
    m_frame.reset();
    if (g_current == this)
        g_current = nullptr;
}

CTOVKContEditApp* CTOVKContEditApp::Current()
{
    return g_current;
}

bool CTOVKContEditApp::InitInstance(const QStringList& arguments)
{
    const QString title = Strings::Load(IDS_APP_TITLE);
    Messages::SetApplicationTitle(title);

    // Both builds share the name: only one content editor runs at a time.
    m_instance = std::make_unique<SingleInstance>(kMutexName);
    if (!m_instance->TryAcquire())
    {
        m_instance.reset();
        AfxMessageBox(IDS_CANNOT_DOUBLE_START);
        return false;
    }

    m_profile = std::make_unique<Profile>(title);
    LoadSettings();
    m_recent = std::make_unique<RecentFileList>(*m_profile, RecentFileCount);
    m_recent->Load();
    m_doc = std::make_unique<CTOVKContEditDoc>();

    CCommandLineInfoEx info;
    ParseCommandLine(arguments, info);

    // The converter comes from beside the program, never from wherever it was started in
    // (a download folder may hold anything). Started by the hub, that is the same folder.
    m_szStartFolder = QCoreApplication::applicationDirPath();
    const QString folder = info.m_strFolder;
    if (folder.isEmpty())
    {
        AfxMessageBox(IDS_START_FROM_GUIDE_EDITOR);
        return false;
    }
    if (folder.size() >= MaxPath || !Path::IsDirectory(folder))
    {
        AfxMessageBox(FormatString(IDS_CANNOT_LAUNCH, {folder}));
        return false;
    }
    // Absolute, so the converter's paths stay right under its own current folder.
    m_szConvertFolder = Path::RemoveBackslash(QFileInfo(Path::Resolve(folder)).absoluteFilePath());
    m_doc->SetConvertFolder(m_szConvertFolder);

    LoadTools();

    if (!CreateMainWindow())
        return false;
    m_doc->OnNewDocument();

    if (!info.m_strFileName.isEmpty())
    {
        const QString file = QFileInfo(info.m_strFileName).absoluteFilePath();
        if (Path::FileExists(file))
            OpenDocumentFile(file);
        else
            m_doc->SetPathName(file, false);
        m_doc->UpdateMainFrameTitle();
    }

    PlaceMainWindow(*m_frame, WorkArea());
    m_frame->show();
    return true;
}

QString CTOVKContEditApp::LoadTools()
{
    const bool complete = UnpackTools(m_toolHold, m_strToolFolder);
    m_strToolFolderCopy = m_strToolFolder;
    return complete ? m_strToolFolder : QString();
}

int CTOVKContEditApp::ExitInstance()
{
    if (m_exited)
        return 0;
    m_exited = true;
    // The view gives its column widths back when it goes.
    m_frame.reset();
    m_view = nullptr;
    // The tools stay while another program still uses them.
    m_toolHold.Release();
    RemoveTools(m_strToolFolder);
    if (m_profile)
    {
        SaveSettings();
        if (m_recent)
            m_recent->Save();
    }
    m_instance.reset();
    return 0;
}

void CTOVKContEditApp::LoadSettings()
{
    int widths[ColumnCount];
    const bool ok = m_profile && ScanWidths(m_profile->GetString(kSettings, kItemWidth), widths);
    for (int i = 0; i < ColumnCount; ++i)
        m_nColumnWidth[i] = ok ? widths[i] : -1;
}

void CTOVKContEditApp::SaveSettings()
{
    if (!m_profile)
        return;
    QStringList parts;
    for (int width : m_nColumnWidth)
        parts << QString::number(width);
    m_profile->WriteString(kSettings, kItemWidth, parts.join(u','));
}

bool CTOVKContEditApp::CreateMainWindow()
{
    m_frame = std::make_unique<CMainFrame>();
    if (m_frame->OnCreate() == -1)
    {
        m_frame.reset();
        return false;
    }
    m_output = std::make_unique<CContentOutput>(
        *m_doc,
        [this] {
            return OutputFolders{m_szStartFolder, m_szConvertFolder, m_strToolFolderCopy};
        });
    m_output->SetOwner(m_frame.get());
    m_output->SetToolSource([this] { return LoadTools(); });

    CMainFrame* frame = m_frame.get();
    m_doc->SetMainFrameTitleHandler([frame](const QString& text) { frame->setWindowTitle(text); });
    m_doc->SetRecentFileHandler([this](const QString& path) { AddToRecentFileList(path); });
    m_frame->SetCloseHandler([this] { return m_doc->SaveModified(); });
    m_frame->SetRecentFileHandler([this](int index) { OnOpenRecentFile(index); });
    RegisterCommands();

    m_view = CTOVKContEditView::Create(*m_doc, *m_frame);
    m_frame->SetView(m_view);
    RefreshRecentMenu();
    m_frame->UpdateCommandUI();
    return true;
}

void CTOVKContEditApp::RegisterCommands()
{
    CMainFrame& frame = *m_frame;
    CTOVKContEditDoc* doc = m_doc.get();
    frame.SetCommandHandler(ID_FILE_NEW, [this] { OnFileNew(); });
    frame.SetCommandHandler(ID_FILE_OPEN, [doc] { doc->OnFileOpen(); });
    frame.SetCommandHandler(ID_FILE_SAVE, [doc] { doc->OnFileSave(); });
    frame.SetCommandHandler(ID_FILE_SAVE_AS, [doc] { doc->OnFileSaveAs(); });
    frame.SetCommandHandler(ID_APP_EXIT, [this] { OnAppExit(); });
    frame.SetCommandHandler(ID_APP_ABOUT, [this] { OnAppAbout(); });
    CContentOutput* output = m_output.get();
    frame.SetCommandHandler(
        ID_FILE_OUTPUT, [output] { output->OnFileOutput(); },
        [output](CCmdUI& ui) { ui.Enable(output->OnUpdateFileOutput()); });
    for (int language = 0; language < LanguageCount; ++language)
    {
        frame.SetCommandHandler(
            ID_LANGUAGE_JAPANESE + language, [doc, language] { doc->OnViewLanguage(language); },
            [doc, language](CCmdUI& ui) { ui.SetRadio(doc->IsViewLanguageChecked(language)); });
    }
}

void CTOVKContEditApp::OnFileNew()
{
    if (!m_doc || !m_doc->SaveModified())
        return;
    m_doc->OnNewDocument();
}

bool CTOVKContEditApp::OpenDocumentFile(const QString& path)
{
    if (!m_doc || !m_doc->SaveModified())
        return false;
    return m_doc->OnOpenDocument(path);
}

void CTOVKContEditApp::OnOpenRecentFile(int index)
{
    if (!m_recent || index < 0 || index >= static_cast<int>(m_recent->Items().size()))
        return;
    const QString path = m_recent->Items().at(index);
    if (!m_doc || !m_doc->SaveModified())
        return;
    if (!m_doc->OnOpenDocument(path))
    {
        // The framework drops an entry that failed to open (the document told why).
        m_recent->Remove(index);
        m_recent->Save();
        RefreshRecentMenu();
    }
}

void CTOVKContEditApp::AddToRecentFileList(const QString& path)
{
    if (!m_recent)
        return;
    m_recent->Add(path);
    m_recent->Save();
    RefreshRecentMenu();
}

void CTOVKContEditApp::RefreshRecentMenu()
{
    if (m_frame && m_recent)
        m_frame->SetRecentFiles(m_recent->Items());
}

void CTOVKContEditApp::OnAppAbout()
{
    CAboutDlg dialog(m_frame.get(), ContEditAboutIds());
    dialog.DoModal();
}

void CTOVKContEditApp::OnAppExit()
{
    if (m_frame)
        m_frame->close();
}

QRect CTOVKContEditApp::WorkArea() const
{
    if (m_workArea.isValid())
        return m_workArea;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->availableGeometry();
    return QRect(0, 0, 800, 600);
}

void CTOVKContEditApp::PlaceMainWindow(QWidget& frame, const QRect& workArea)
{
    const int W = workArea.width();
    const int H = workArea.height();
    const int w = qMin(800, W);
    const QRect current = frame.geometry();
    if (current.width() > w)
        return;
    QPoint topLeft = current.topLeft();
    if (topLeft.x() + w > workArea.left() + W)
        topLeft = workArea.topLeft();
    frame.setGeometry(QRect(topLeft, QSize(w, H)));
}
