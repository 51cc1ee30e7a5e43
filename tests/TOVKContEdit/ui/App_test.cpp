// Start-up and exit of the content editor's application object: the refusals, the single
// instance, the file argument, the column widths in the profile, the window placement and
// the tool folder's life.
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/shared/ToolArchive.h"
#include "TOVKContEdit/shared/XmlContentDumFile.h"
#include "TOVKContEdit/ui/App.h"
#include "TOVKContEdit/ui/CommandLineInfoEx.h"
#include "TOVKContEdit/ui/MainFrame.h"
#include "common/TestSupport.h"
#include "platform/Profile.h"
#include "platform/RecordingMessages.h"
#include "platform/SingleInstance.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace
{
const QString kTitle = QStringLiteral("Quorvane KP Guide Editor - Contents");
const QString kNoFolder = QStringLiteral("Please start with Quorvane KP Guide Editor.");
const QString kBadFolder = QStringLiteral(
    "Cannot launch Quorvane KP Guide Editor data. \r\nPlease check project folder. \r\n\r\n%1");
const QString kSwitchWithoutFolder = QStringLiteral("/d ... parameter is not found.\n");

class AppStartup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(ContEditStringsEN());
        m_convert = TestSupport::NewFolder(QStringLiteral("convert"));
        QFile::remove(Profile::FilePath(kTitle));
    }

    QString m_convert;
    RecordingMessages m_messages;
};

TEST_F(AppStartup, RefusesToStartWithoutAUsableFolder)
{
    const QString file = TestSupport::WriteFile(m_convert + QStringLiteral("/plain.txt"), "x");
    const QString missing = m_convert + QStringLiteral("/missing");
    const QString longFolder = m_convert + u'/' + QString(260, u'a');
    struct Case
    {
        QStringList arguments;
        QStringList messages;
    } cases[] = {
        {{}, {kNoFolder}},
        {{QStringLiteral("-d")}, {kNoFolder}},
        // The switch is case-sensitive: -D is some other switch and the folder the file.
        {{QStringLiteral("-D"), m_convert}, {kNoFolder}},
        {{QStringLiteral("-d"), QStringLiteral("-x")}, {kSwitchWithoutFolder, kNoFolder}},
        {{QStringLiteral("-d"), missing}, {kBadFolder.arg(missing)}},
        {{QStringLiteral("-d"), file}, {kBadFolder.arg(file)}},
        {{QStringLiteral("-d"), longFolder}, {kBadFolder.arg(longFolder)}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        m_messages.Clear();
        CTOVKContEditApp app;
        EXPECT_FALSE(app.InitInstance(c.arguments));
        EXPECT_EQ(m_messages.texts(), c.messages);
        EXPECT_EQ(app.GetMainWnd(), nullptr);
        app.ExitInstance();
    }
}

TEST_F(AppStartup, TheConverterIsTakenFromTheProgramsOwnFolder)
{
    // Started by hand in a folder that holds a program of the converter's name.
    const QString downloads = TestSupport::NewFolder(QStringLiteral("downloads"));
    TestSupport::WriteFile(downloads + QStringLiteral("/marvex"), "#!/bin/sh\nexit 0\n");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(downloads));
    CTOVKContEditApp app;
    const bool started = app.InitInstance({QStringLiteral("-d"), m_convert});
    QDir::setCurrent(previous);
    ASSERT_TRUE(started);
    EXPECT_EQ(app.m_szStartFolder, QCoreApplication::applicationDirPath());
    app.ExitInstance();
}

TEST_F(AppStartup, SwitchWithoutFolderIsAnErrorBox)
{
    CTOVKContEditApp app;
    app.InitInstance({QStringLiteral("-d"), QStringLiteral("-x")});
    ASSERT_EQ(m_messages.shown().size(), 2);
    EXPECT_EQ(m_messages.shown()[0].flags & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(m_messages.shown()[0].caption, kTitle);
    app.ExitInstance();
}

TEST_F(AppStartup, SecondInstanceIsRefused)
{
    SingleInstance other(QStringLiteral("Quorvane KPSonavelContentEditor"));
    ASSERT_TRUE(other.TryAcquire());
    {
        CTOVKContEditApp app;
        EXPECT_FALSE(app.InitInstance({QStringLiteral("-d"), m_convert}));
        EXPECT_EQ(m_messages.texts(), QStringList{QStringLiteral("Cannot double start")});
        app.ExitInstance();
    }
    // The refused instance wrote no settings over those of the running one.
    EXPECT_FALSE(Profile(kTitle).Contains(QStringLiteral("Settings"), QStringLiteral("ItemWidth")));
    other.Release();

    CTOVKContEditApp first;
    ASSERT_TRUE(first.InitInstance({QStringLiteral("-d"), m_convert}));
    CTOVKContEditApp second;
    EXPECT_FALSE(second.InitInstance({QStringLiteral("-d"), m_convert}));
    second.ExitInstance();
    first.ExitInstance();
}

TEST_F(AppStartup, FileArgumentOpensOrBindsTheDocument)
{
    const QString existing = m_convert + QStringLiteral("/input/xml/TOVKContent.xml");
    QDir().mkpath(QFileInfo(existing).path());
    ContentRecord record;
    record.nLangType = 1;
    record.nProductNo = 7;
    record.strProductTxt = QStringLiteral("text");
    ASSERT_TRUE(CXmlContentDumFile().Save(existing, {record}));
    const QString missing = m_convert + QStringLiteral("/input/xml/New.xml");
    const QString broken =
        TestSupport::WriteFile(m_convert + QStringLiteral("/input/xml/Broken.xml"), "<Other/>");

    struct Case
    {
        QStringList arguments;
        QString path;
        int rows;
        QString title;
        QStringList recent;
        QStringList messages;
    } cases[] = {
        {{QStringLiteral("-d"), m_convert, existing},
         existing,
         1,
         QStringLiteral("TOVKContent.xml - ") + kTitle,
         {existing},
         {}},
        {{QStringLiteral("/d"), m_convert},
         QString(),
         0,
         QStringLiteral("TOVKContent - ") + kTitle,
         {},
         {}},
        {{QStringLiteral("-d"), m_convert, missing},
         missing,
         0,
         QStringLiteral("New.xml - ") + kTitle,
         {},
         {}},
        // A file that is there but no content file: said so, and the start goes on untitled.
        {{QStringLiteral("-d"), m_convert, broken},
         QString(),
         0,
         QStringLiteral("TOVKContent - ") + kTitle,
         {},
         {QStringLiteral("This is an unsupported XML files.\r\n\r\n") + broken}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        QFile::remove(Profile::FilePath(kTitle));
        m_messages.Clear();
        CTOVKContEditApp app;
        ASSERT_TRUE(app.InitInstance(c.arguments));
        EXPECT_EQ(m_messages.texts(), c.messages);
        EXPECT_EQ(app.GetDocument()->GetPathName(), c.path);
        EXPECT_EQ(app.GetDocument()->GetRowCount(), c.rows);
        EXPECT_FALSE(app.GetDocument()->IsModified());
        EXPECT_EQ(app.GetMainWnd()->windowTitle(), c.title);
        EXPECT_EQ(app.GetRecentFileList()->Items(), c.recent);
        EXPECT_EQ(app.GetDocument()->GetConvertFolder(), m_convert);
        app.ExitInstance();
    }
}

TEST_F(AppStartup, ARecentFileThatFailsToOpenLeavesTheList)
{
    const QString good = m_convert + QStringLiteral("/input/xml/Good.xml");
    QDir().mkpath(QFileInfo(good).path());
    ContentRecord record;
    record.nLangType = 0;
    record.nProductNo = 3;
    record.strProductTxt = QStringLiteral("text");
    ASSERT_TRUE(CXmlContentDumFile().Save(good, {record}));
    const QString broken =
        TestSupport::WriteFile(m_convert + QStringLiteral("/input/xml/Broken.xml"), "no XML");
    const QString gone = m_convert + QStringLiteral("/input/xml/Gone.xml");
    struct Case
    {
        QString path;
        QString message;
    } cases[] = {
        {broken, QStringLiteral("This is an unsupported XML files.\r\n\r\n") + broken},
        {gone, QStringLiteral("Cannot find file ") + gone +
                   QStringLiteral(".\nPlease confirm the name of the designated file is correct.")},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.path.toStdString());
        CTOVKContEditApp app;
        ASSERT_TRUE(app.InitInstance({QStringLiteral("-d"), m_convert, good}));
        RecentFileList& recent = *app.GetRecentFileList();
        recent.Add(c.path);
        ASSERT_EQ(recent.Items(), (QStringList{c.path, good}));
        m_messages.Clear();
        app.OnOpenRecentFile(0);
        EXPECT_EQ(m_messages.texts(), QStringList{c.message});
        EXPECT_EQ(recent.Items(), QStringList{good});
        EXPECT_EQ(app.GetDocument()->GetPathName(), good) << "the open document stays";
        EXPECT_EQ(app.GetDocument()->GetRowCount(), 1);

        // An entry that opens moves to the top and stays.
        app.OnOpenRecentFile(0);
        EXPECT_EQ(recent.Items(), QStringList{good});
        app.ExitInstance();
        // The list is stored without the dropped entry.
        CTOVKContEditApp next;
        ASSERT_TRUE(next.InitInstance({QStringLiteral("-d"), m_convert}));
        EXPECT_EQ(next.GetRecentFileList()->Items(), QStringList{good});
        next.ExitInstance();
        QFile::remove(Profile::FilePath(kTitle));
    }
}

TEST_F(AppStartup, ColumnWidthsNeedAllEightNumbersEachAWidth)
{
    constexpr std::array<int, 8> unset = {-1, -1, -1, -1, -1, -1, -1, -1};
    struct Case
    {
        const char* stored;
        std::array<int, 8> widths;
    } cases[] = {
        {"10,20,30,40,50,60,70,80", {10, 20, 30, 40, 50, 60, 70, 80}},
        {"0x10,020,4096,40,50,60,70,80", {16, 16, 4096, 40, 50, 60, 70, 80}},
        {"10,20,30,40,50,60,70", unset},
        {"10,20,x,40,50,60,70,80", unset},
        {"", unset},
        {"10,20,30,40,50,60,70,9", unset},
        {"10,20,30,40,50,60,70,4097", unset},
        {"-1,20,30,40,50,60,70,80", unset},
        {"10,99999999999,30,40,50,60,70,80", unset},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.stored);
        Profile(kTitle).WriteString(QStringLiteral("Settings"), QStringLiteral("ItemWidth"),
                                    QString::fromLatin1(c.stored));
        CTOVKContEditApp app;
        ASSERT_TRUE(app.InitInstance({QStringLiteral("-d"), m_convert}));
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(app.m_nColumnWidth[i], c.widths[i]) << "column " << i;
        app.ExitInstance();
        // What goes back is the view's widths, every one a width the next start takes.
        const QStringList written =
            Profile(kTitle)
                .GetString(QStringLiteral("Settings"), QStringLiteral("ItemWidth"))
                .split(u',');
        ASSERT_EQ(written.size(), 8);
        for (const QString& width : written)
        {
            EXPECT_GE(width.toInt(), 10) << width.toStdString();
            EXPECT_LE(width.toInt(), 4096) << width.toStdString();
        }
    }
}

TEST_F(AppStartup, ExitKeepsTheColumnWidthsAndRemovesTheTools)
{
    QString tools;
    {
        CTOVKContEditApp app;
        ASSERT_TRUE(app.InitInstance({QStringLiteral("-d"), m_convert}));
        tools = app.m_strToolFolder;
        ASSERT_FALSE(tools.isEmpty());
        EXPECT_EQ(tools, ToolFolderPath());
        EXPECT_EQ(app.m_strToolFolderCopy, tools);
        EXPECT_TRUE(QFileInfo::exists(tools + QStringLiteral("/exe")));
        EXPECT_TRUE(QFileInfo::exists(tools + QStringLiteral("/files")));
        const int widths[8] = {50, 65, 50, 75, 130, 130, 70, 300};
        std::copy(std::begin(widths), std::end(widths), app.m_nColumnWidth);
        app.ExitInstance();
    }
    EXPECT_FALSE(QFileInfo::exists(tools));
    EXPECT_EQ(Profile(kTitle).GetString(QStringLiteral("Settings"), QStringLiteral("ItemWidth")),
              QStringLiteral("50,65,50,75,130,130,70,300"));
}

TEST_F(AppStartup, FirstWindowFillsTheWorkAreaHeight)
{
    struct Case
    {
        QRect workArea;
        QSize size;
    } cases[] = {
        {QRect(0, 0, 1280, 1024), QSize(800, 1024)},
        {QRect(0, 0, 640, 480), QSize(640, 480)},
    };
    for (const Case& c : cases)
    {
        CTOVKContEditApp app;
        app.SetWorkArea(c.workArea);
        ASSERT_TRUE(app.InitInstance({QStringLiteral("-d"), m_convert}));
        EXPECT_EQ(app.GetMainWnd()->geometry().size(), c.size);
        EXPECT_TRUE(app.GetMainWnd()->isVisible());
        app.ExitInstance();
    }
}

TEST_F(AppStartup, FrameCommandsReachTheDocumentAndTheApplication)
{
    CTOVKContEditApp app;
    ASSERT_TRUE(app.InitInstance({QStringLiteral("-d"), m_convert}));
    CMainFrame& frame = *app.GetMainWnd();
    CTOVKContEditDoc& doc = *app.GetDocument();

    frame.OnCommand(ID_LANGUAGE_FRENCH);
    EXPECT_EQ(doc.GetDisplayLanguage(), 2);
    frame.UpdateCommandUI();
    EXPECT_TRUE(frame.Action(ID_LANGUAGE_FRENCH)->isChecked());
    EXPECT_FALSE(frame.Action(ID_LANGUAGE_JAPANESE)->isChecked());
    EXPECT_FALSE(frame.Action(ID_FILE_OUTPUT)->isEnabled());

    doc.AddRow(false);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("TOVKContent * - ") + kTitle);
    frame.UpdateCommandUI();
    EXPECT_TRUE(frame.Action(ID_FILE_OUTPUT)->isEnabled());
    // New asks about the changes; No drops them.
    m_messages.Answer(IDNO);
    EXPECT_TRUE(frame.OnCommand(ID_FILE_NEW));
    EXPECT_EQ(m_messages.shown().size(), 1);
    EXPECT_EQ(doc.GetRowCount(), 0);
    EXPECT_FALSE(doc.IsModified());

    // Quit with changes: Cancel keeps the window, No closes it.
    doc.AddRow(false);
    m_messages.Answer(IDCANCEL);
    frame.OnCommand(ID_APP_EXIT);
    EXPECT_TRUE(frame.isVisible());
    m_messages.Answer(IDNO);
    frame.OnCommand(ID_APP_EXIT);
    EXPECT_FALSE(frame.isVisible());
    app.ExitInstance();
}

TEST(AppPlacement, KeepsAWideWindowAndMovesOneThatWouldPassTheEdge)
{
    struct Case
    {
        QRect before;
        QRect workArea;
        QRect after;
    } cases[] = {
        {QRect(100, 50, 640, 480), QRect(0, 0, 1280, 1024), QRect(100, 50, 800, 1024)},
        {QRect(700, 50, 640, 480), QRect(0, 0, 1280, 1024), QRect(0, 0, 800, 1024)},
        {QRect(10, 10, 900, 300), QRect(0, 0, 1280, 1024), QRect(10, 10, 900, 300)},
        {QRect(0, 0, 640, 480), QRect(0, 0, 640, 400), QRect(0, 0, 640, 400)},
    };
    for (const Case& c : cases)
    {
        QWidget window;
        window.setGeometry(c.before);
        CTOVKContEditApp::PlaceMainWindow(window, c.workArea);
        EXPECT_EQ(window.geometry(), c.after);
    }
}

TEST(AppCommandLine, FolderSwitchAndFile)
{
    RecordingMessages messages;
    Strings::Install(ContEditStringsEN());
    struct Case
    {
        QStringList arguments;
        QString folder;
        QString file;
        int boxes;
    } cases[] = {
        {{"-d", "/p/convert", "/p/convert/input/xml/TOVKContent.xml"},
         "/p/convert",
         "/p/convert/input/xml/TOVKContent.xml",
         0},
        {{"/d", "/p/convert"}, "/p/convert", "", 0},
        {{"x.xml", "-d", "/p/convert", "y.xml"}, "/p/convert", "x.xml", 0},
        {{"-D", "/p/convert"}, "", "/p/convert", 0},
        {{"-d", "-x", "f.xml"}, "", "f.xml", 1},
        {{"-d", "/d", "/p/q"}, "", "/p/q", 1},
        {{"-d"}, "", "", 0},
        {{"-d", "a", "-d", "b"}, "b", "", 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        messages.Clear();
        CCommandLineInfoEx info;
        ParseCommandLine(c.arguments, info);
        EXPECT_EQ(info.m_strFolder, c.folder);
        EXPECT_EQ(info.m_strFileName, c.file);
        EXPECT_EQ(messages.shown().size(), c.boxes);
    }
}
} // namespace
