// The main view's file commands, the window title, the steps of a real project, and the
// first two pages and the feedback page.
#include "hub_fixture.h"

#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/AboutBox.h"
#include "Ostrelin/ui/CallEditorDialog.h"
#include "Ostrelin/ui/FeedbackDialog.h"
#include "Ostrelin/ui/FileSelectDialog.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/ReportDialog.h"
#include "Ostrelin/ui/TrefTabCtrl.h"
#include "platform/AtomicFile.h"
#include "platform/Profile.h"
#include "platform/Shell.h"

#include <QAction>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTest>
#include <cstdio>
#include <functional>

using HubFixture::kAppTitle;

namespace
{
const QString kNoProjectStep = QStringLiteral("プロジェクトファイルを指定してください。\r\n");
const QString kNoContentStep = QStringLiteral("コンテンツデータを作成してください。\r\n");
const QString kCannotOpen = QStringLiteral("ファイルが開けませんでした。");

class HubView : public HubFixture::Bench
{
protected:
    void SetUp() override
    {
        Bench::SetUp();
        QFile::remove(Profile::FilePath(kAppTitle));
        MakeView();
        m_frame->show();
    }

    QString ProfileProjectFile() const
    {
        return Profile(kAppTitle).GetString(QStringLiteral("Settings"),
                                            QStringLiteral("ProjectFile"));
    }

    void Edit()
    {
        Doc().GetBindData().AddServer(QStringLiteral("server"));
        OnProjectDataChanged();
    }
};

TEST_F(HubView, TitleFollowsTheProjectAndItsModifiedState)
{
    // Until a project exists the frame's own title stands.
    const QString before = Title();
    EXPECT_FALSE(before.contains(QStringLiteral("Untitled")));

    const QString path =
        TestSupport::NewFolder(QStringLiteral("p")) + QStringLiteral("/GuideData.olx");
    m_dialogs.Answer(path);
    View().OnFileNew();
    EXPECT_EQ(Title(), QStringLiteral("GuideData.olx - ") + kAppTitle);
    Edit();
    EXPECT_EQ(Title(), QStringLiteral("GuideData.olx * - ") + kAppTitle);
    View().OnFileSave();
    EXPECT_EQ(Title(), QStringLiteral("GuideData.olx - ") + kAppTitle);
    EXPECT_TRUE(m_messages.shown().isEmpty());

    // A New whose save fails leaves no project: "Untitled" without a mark.
    m_dialogs.Answer(m_appFolder + QStringLiteral("/missing/folder/X.olx"));
    View().OnFileNew();
    EXPECT_EQ(m_messages.texts(),
              QStringList{QStringLiteral("ファイルが作成できませんでした。\r\n\r\n") +
                          FileReplacement::ErrorText(ENOENT)});
    EXPECT_TRUE(View().m_strProjectPath.isEmpty());
    EXPECT_EQ(Title(), QStringLiteral("Untitled - ") + kAppTitle);
}

TEST_F(HubView, NewMakesAProjectThatNamesItsXmlFiles)
{
    const QString folder = TestSupport::NewFolder(QStringLiteral("new"));
    ContentFixtures::WriteWork(folder, QStringLiteral("JP"), 1, 7, QStringLiteral("seven"));
    const QString path = folder + QStringLiteral("/GuideData.olx");
    m_dialogs.Answer(path);
    View().OnFileNew();

    ASSERT_EQ(m_dialogs.calls().size(), 1);
    const FileDialogCall& call = m_dialogs.calls()[0];
    EXPECT_EQ(call.kind, FileDialogCall::Kind::Save);
    EXPECT_EQ(call.title, QStringLiteral("プロジェクトの新規作成"));
    EXPECT_EQ(call.folder, m_appFolder + QStringLiteral("/GuideData.olx"));
    EXPECT_EQ(call.filter, QStringLiteral("プロジェクトファイル (*.olx)|*.olx||"));

    EXPECT_EQ(View().m_strProjectPath, path);
    EXPECT_EQ(ProfileProjectFile(), path);
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/convert/output/SD")).isDir());
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/convert/input/xml")).isDir());
    EXPECT_EQ(Doc().GetBindData().m_mapWorks.size(), 1u);
    EXPECT_FALSE(Doc().IsModified());

    // The file just written already names the project's XML files.
    COstrelinDoc reread;
    ASSERT_TRUE(reread.OnOpenDocument(path));
    EXPECT_EQ(reread.GetBindData().m_strContentXml,
              folder + QStringLiteral("/convert/input/xml/TOVKContent.xml"));
    EXPECT_EQ(reread.GetBindData().m_strQueryXml,
              folder + QStringLiteral("/convert/input/xml/TOVKQuery.xml"));

    // The next New proposes the current file's name.
    m_dialogs.Cancel();
    View().OnFileNew();
    EXPECT_EQ(m_dialogs.calls().last().folder, m_appFolder + QStringLiteral("/GuideData.olx"));
}

TEST_F(HubView, NewOverAnExistingProjectWritesAFreshOne)
{
    const QString path = MakeProject(QStringLiteral("old"), {1, 2});
    {
        COstrelinDoc old;
        ASSERT_TRUE(old.OnOpenDocument(path));
        old.GetBindData().AddServer(QStringLiteral("kept?"));
        ASSERT_TRUE(old.OnSaveDocument(path));
    }
    m_dialogs.Answer(path);
    View().OnFileNew();
    EXPECT_EQ(View().m_strProjectPath, path);
    COstrelinDoc reread;
    ASSERT_TRUE(reread.OnOpenDocument(path));
    EXPECT_TRUE(reread.GetBindData().m_listServers.empty());
}

TEST_F(HubView, NewOrOpenOnAModifiedProjectAnsweredNoChangesNothing)
{
    const QString path = MakeProject(QStringLiteral("mod"), {3});
    OpenProject(path);
    Edit();
    const QString title = Title();
    for (auto command : {&CMainFormView::OnFileNew, &CMainFormView::OnFileOpen})
    {
        m_messages.Clear();
        m_messages.Answer(IDNO);
        const qsizetype calls = m_dialogs.calls().size();
        (View().*command)();
        ASSERT_EQ(m_messages.shown().size(), 1);
        EXPECT_EQ(m_messages.shown()[0].text,
                  QStringLiteral("作業中のデータは破棄されますが、よろしいですか？"));
        EXPECT_EQ(m_messages.shown()[0].flags, MB_YESNO | MB_ICONQUESTION);
        EXPECT_EQ(m_dialogs.calls().size(), calls);
        EXPECT_EQ(View().m_strProjectPath, path);
        EXPECT_TRUE(Doc().IsModified());
        EXPECT_EQ(Title(), title);
    }
}

TEST_F(HubView, FailedOpenLeavesTheOpenProjectAsItWas)
{
    const QString path = MakeProject(QStringLiteral("good"), {4, 5});
    OpenProject(path);
    Doc().GetBindData().AddGuide(1, 4);
    OnProjectDataChanged();
    const QString title = Title();

    const QString folder = TestSupport::NewFolder(QStringLiteral("bad"));
    ContentFixtures::WriteWork(folder, QStringLiteral("JP"), 1, 99, QStringLiteral("other"));
    const QString notProject =
        TestSupport::WriteFile(folder + QStringLiteral("/Notes.olx"), "not a project");
    for (const QString& bad : {notProject, folder + QStringLiteral("/Missing.olx")})
    {
        m_messages.Clear();
        m_dialogs.Answer(bad);
        View().OnFileOpen();
        // The discard question comes first, as the project is modified.
        ASSERT_EQ(m_messages.shown().size(), 2);
        EXPECT_EQ(m_messages.shown()[1].text, kCannotOpen);
        EXPECT_EQ(m_messages.shown()[1].flags, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_EQ(View().m_strProjectPath, path);
        EXPECT_EQ(Title(), title);
        // The works, the registration and the modified state are the old project's, so a
        // Save writes the old project over its own file.
        const CBindData& data = Doc().GetBindData();
        EXPECT_EQ(data.m_mapWorks.size(), 2u);
        EXPECT_NE(data.FindWork(4), nullptr);
        EXPECT_NE(data.FindGuide(1), nullptr);
        EXPECT_TRUE(Doc().IsModified());
    }
    EXPECT_EQ(ProfileProjectFile(), path);
}

TEST_F(HubView, OpenScansTheNewProjectAndStartsInTheLastFolder)
{
    const QString first = MakeProject(QStringLiteral("first"), {1});
    const QString second = MakeProject(QStringLiteral("second"), {10, 11, 12});
    m_dialogs.Answer(first);
    View().OnFileOpen();
    EXPECT_EQ(m_dialogs.calls()[0].folder, m_appFolder + QStringLiteral("/*.olx"));
    EXPECT_EQ(m_dialogs.calls()[0].title, QStringLiteral("プロジェクトを開く"));
    EXPECT_EQ(m_dialogs.calls()[0].filter, QStringLiteral("プロジェクトファイル (*.olx)|*.olx|"));

    m_dialogs.Answer(second);
    View().OnFileOpen();
    EXPECT_EQ(m_dialogs.calls()[1].folder, QFileInfo(first).path() + QStringLiteral("/*.olx"));
    EXPECT_EQ(View().m_strProjectPath, second);
    EXPECT_EQ(Doc().GetBindData().m_mapWorks.size(), 3u);
    EXPECT_EQ(Title(), QStringLiteral("GuideData.olx - ") + kAppTitle);
    EXPECT_TRUE(
        QFileInfo(QFileInfo(second).path() + QStringLiteral("/convert/output/title")).isDir());

    // A cancelled dialog changes nothing.
    m_dialogs.Cancel();
    View().OnFileOpen();
    EXPECT_EQ(View().m_strProjectPath, second);
}

TEST_F(HubView, SaveIsGreyedWithoutAProject)
{
    m_frame->UpdateCommandUI();
    EXPECT_FALSE(m_frame->Action(ID_FILE_SAVE)->isEnabled());
    EXPECT_FALSE(m_frame->OnCommand(ID_FILE_SAVE));
    View().OnFileSave();
    EXPECT_TRUE(m_messages.shown().isEmpty());
    EXPECT_TRUE(m_frame->Action(ID_FILE_NEW)->isEnabled());

    OpenProject(MakeProject(QStringLiteral("s")));
    m_frame->UpdateCommandUI();
    EXPECT_TRUE(m_frame->Action(ID_FILE_SAVE)->isEnabled());
}

TEST_F(HubView, SaveFailureIsReported)
{
    const QString path = MakeProject(QStringLiteral("ro"));
    OpenProject(path);
    Edit();
    QDir(QFileInfo(path).path()).removeRecursively();
    View().OnFileSave();
    EXPECT_EQ(m_messages.texts(),
              QStringList{QStringLiteral("ファイルが保存できませんでした。\r\n\r\n") +
                          FileReplacement::ErrorText(ENOENT)});
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(HubView, SaveAsRescansAndRecomputesTheSteps)
{
    const QString path = MakeProject(QStringLiteral("with"), {1, 2});
    OpenProject(path);
    CProgressTabCtrl& tabs = *View().GetTabs();
    ASSERT_GE(tabs.Reachable(), 2);
    tabs.setCurrentIndex(2);
    ASSERT_EQ(tabs.currentIndex(), 2);

    // Saved into a folder without converted content: no works, so step 2 is incomplete.
    const QString other =
        TestSupport::NewFolder(QStringLiteral("empty")) + QStringLiteral("/Copy.olx");
    m_dialogs.Answer(other);
    View().OnFileSaveAs();
    EXPECT_TRUE(m_dialogs.calls().last().title.isEmpty());
    EXPECT_EQ(View().m_strProjectPath, other);
    EXPECT_TRUE(QFileInfo::exists(other));
    EXPECT_TRUE(Doc().GetBindData().m_mapWorks.empty());
    EXPECT_EQ(tabs.Reachable(), 1);
    EXPECT_EQ(tabs.currentIndex(), 1);
    EXPECT_EQ(Title(), QStringLiteral("Copy.olx - ") + kAppTitle);

    // A failed Save As keeps the path.
    m_dialogs.Answer(m_appFolder + QStringLiteral("/no/such/X.olx"));
    View().OnFileSaveAs();
    EXPECT_EQ(m_messages.texts(),
              QStringList{QStringLiteral("ファイルが保存できませんでした。\r\n\r\n") +
                          FileReplacement::ErrorText(ENOENT)});
    EXPECT_EQ(View().m_strProjectPath, other);
}

TEST_F(HubView, StepsOfARealProject)
{
    CProgressTabCtrl& tabs = *View().GetTabs();
    EXPECT_EQ(tabs.count(), 8);
    EXPECT_EQ(tabs.tabText(0), QStringLiteral("1. ファイル選択"));
    EXPECT_EQ(tabs.tabText(7), QStringLiteral("8. フィードバックビューワについて"));

    // No project: every forward click stays on tab 0.
    for (int target : {1, 3, 7})
    {
        m_messages.Clear();
        tabs.setCurrentIndex(target);
        EXPECT_EQ(tabs.currentIndex(), 0);
        EXPECT_EQ(m_messages.texts(), QStringList{kNoProjectStep});
    }

    // A project without content stops on tab 1.
    OpenProject(MakeProject(QStringLiteral("bare")));
    EXPECT_EQ(tabs.StepError(0), QString());
    EXPECT_EQ(tabs.StepError(1), kNoContentStep);
    m_messages.Clear();
    tabs.setCurrentIndex(5);
    EXPECT_EQ(tabs.currentIndex(), 1);
    EXPECT_EQ(m_messages.texts(), QStringList{kNoContentStep});
    EXPECT_TRUE(View().m_pCallEditorPage->isVisible());
}

TEST_F(HubView, FileSelectPageShowsTheShortenedPath)
{
    QLineEdit* edit = View().m_pFileSelectPage->PathEdit();
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_TRUE(edit->text().isEmpty());
    QString error = QStringLiteral("stale");
    EXPECT_FALSE(View().m_pFileSelectPage->CheckStep(error));
    EXPECT_EQ(error, kNoProjectStep);

    const QString folder = TestSupport::NewFolder(QStringLiteral("Projects")) +
                           QStringLiteral("/2010/Museum/Exhibition A/and a long folder name");
    QDir().mkpath(folder);
    COstrelinDoc doc;
    ASSERT_TRUE(doc.OnSaveDocument(folder + QStringLiteral("/GuideData.olx")));
    OpenProject(folder + QStringLiteral("/GuideData.olx"));
    const QString shown = edit->text();
    EXPECT_TRUE(shown.contains(QStringLiteral("...")));
    EXPECT_TRUE(shown.endsWith(QStringLiteral("/GuideData.olx")));
    EXPECT_LE(QFontMetrics(edit->font()).horizontalAdvance(shown), edit->width());
    EXPECT_TRUE(View().m_pFileSelectPage->CheckStep(error));
    EXPECT_TRUE(error.isEmpty());
}

TEST(CompactPath, KeepsTheNameAndAsMuchOfTheLeadAsFits)
{
    const QFontMetrics metrics(QFont(QStringLiteral("Sans"), 9));
    const QString path = QStringLiteral("/Projects/2010/Museum/Exhibition A/GuideData.olx");
    auto compact = [&](const QString& text, int width)
    {
        QString result = text;
        CompactPathToWidth(result, metrics, width);
        return result;
    };
    EXPECT_EQ(compact(path, 10000), path);
    const int nameOnly = metrics.horizontalAdvance(QStringLiteral(".../GuideData.olx"));
    EXPECT_EQ(compact(path, nameOnly), QStringLiteral(".../GuideData.olx"));
    const QString twoKept = QStringLiteral("/Projects/2010/.../GuideData.olx");
    EXPECT_EQ(compact(path, metrics.horizontalAdvance(twoKept)), twoKept);
    // Narrower than the name: the name itself is cut at its end.
    const QString cut = compact(path, metrics.horizontalAdvance(QStringLiteral("GuideD")));
    EXPECT_TRUE(cut.startsWith(QStringLiteral("Gui"))) << cut.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(cut), metrics.horizontalAdvance(QStringLiteral("GuideD")));
}

TEST_F(HubView, DataCreationSummaries)
{
    const QString bareSummary =
        QStringLiteral("・コンテンツ数\r\n\r\n    "
                       "0\r\n\r\n・コンテンツデータが存在する言語\r\n\r\n    なし\r\n\r\n");
    OpenProject(MakeProject(QStringLiteral("new")));
    EXPECT_EQ(CCallEditorDialog::ContentSummary(View().m_strProjectPath), bareSummary);
    EXPECT_EQ(CCallEditorDialog::QuerySummary(View().m_strProjectPath),
              QStringLiteral("・アンケートデータが存在する言語\r\n\r\n    なし\r\n\r\n"));
    QString error;
    EXPECT_FALSE(View().m_pCallEditorPage->CheckStep(error));
    EXPECT_EQ(error, kNoContentStep);

    // Content in Japanese and English, questionnaires in English, both XML files there.
    const QString path = MakeProject(QStringLiteral("full"), {1, 2});
    const QString folder = QFileInfo(path).path();
    ContentFixtures::WriteWork(folder, QStringLiteral("EN"), 1, 1, QStringLiteral("one"));
    ContentFixtures::WriteQueryBin(folder, QStringLiteral("EN"));
    TestSupport::WriteFile(folder + QStringLiteral("/convert/input/xml/TOVKContent.xml"), "<x/>");
    TestSupport::WriteFile(folder + QStringLiteral("/convert/input/xml/TOVKQuery.xml"), "<x/>");
    OpenProject(path);
    EXPECT_EQ(CCallEditorDialog::ContentSummary(path),
              QStringLiteral("・コンテンツ数\r\n\r\n    2\r\n\r\n"
                             "・コンテンツデータが存在する言語\r\n\r\n   日本語\r\n   英語\r\n\r\n"
                             "・コンテンツデータファイル名\r\n\r\n"
                             "   ./convert/input/xml/TOVKContent.xml\r\n"));
    EXPECT_EQ(CCallEditorDialog::QuerySummary(path),
              QStringLiteral("・アンケートデータが存在する言語\r\n\r\n   英語\r\n\r\n"
                             "・アンケートデータファイル名\r\n\r\n"
                             "   ./convert/input/xml/TOVKQuery.xml\r\n"));
    EXPECT_TRUE(View().m_pCallEditorPage->CheckStep(error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_TRUE(View().m_pCallEditorPage->ContentInfo()->isReadOnly());
    EXPECT_TRUE(View().m_pCallEditorPage->ContentInfo()->toPlainText().contains(
        QStringLiteral("   日本語\n   英語\n")));
}

TEST_F(HubView, SpreadsheetButtonFollowsTheProgramAndTheFile)
{
    const QString path = MakeProject(QStringLiteral("xl"), {1});
    const QString xml =
        QFileInfo(path).path() + QStringLiteral("/convert/input/xml/TOVKContent.xml");
    QPushButton* button = View().m_pCallEditorPage->ExcelButton();
    struct Case
    {
        bool installed;
        bool fileThere;
        bool shown;
        bool enabled;
    } cases[] = {
        {false, true, false, false},
        {true, false, true, false},
        {true, true, true, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.installed << c.fileThere);
        m_spreadsheet.installed = c.installed;
        QFile::remove(xml);
        if (c.fileThere)
            TestSupport::WriteFile(xml, "<ContentBody/>");
        OpenProject(path);
        EXPECT_EQ(!button->isHidden(), c.shown);
        EXPECT_EQ(button->isEnabled(), c.enabled);
    }

    m_messages.Clear();
    View().m_pCallEditorPage->OnCheckInExcel();
    ASSERT_EQ(m_messages.shown().size(), 1);
    EXPECT_EQ(m_messages.shown()[0].flags, MB_OK | MB_ICONEXCLAMATION); // the framework's icon
    EXPECT_TRUE(
        m_messages.shown()[0].text.startsWith(QStringLiteral("ExcelでXMLファイルを開きます。\n")));
    EXPECT_EQ(m_spreadsheet.opened, QStringList{xml});

    // Without the file nothing happens.
    QFile::remove(xml);
    m_messages.Clear();
    View().m_pCallEditorPage->OnCheckInExcel();
    EXPECT_TRUE(m_messages.shown().isEmpty());
    EXPECT_EQ(m_spreadsheet.opened.size(), 1);
}

TEST_F(HubView, FeedbackPageOpensTheHelpPage)
{
    RecordingShell shell;
    View().m_pFeedbackPage->OnShowHelp();
    EXPECT_EQ(shell.opened,
              QStringList{m_appFolder +
                          QStringLiteral("/./docs/html/Quorvane KP Guide RiridediRuzude JP.html")});
    EXPECT_TRUE(m_messages.shown().isEmpty());
    QString error = QStringLiteral("x");
    EXPECT_TRUE(View().m_pFeedbackPage->CheckStep(error));
    EXPECT_TRUE(error.isEmpty());
}

TEST_F(HubView, TheBuildInstallsTheHelpPageWhereTheButtonOpensIt)
{
    m_frame.reset();
    SetAppFolderOverride(QStringLiteral(QUORVANE_APP_DIR));
    MakeView();
    RecordingShell shell;
    View().m_pFeedbackPage->OnShowHelp();
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_EQ(shell.opened[0],
              QStringLiteral(QUORVANE_APP_DIR) +
                  QStringLiteral("/./docs/html/Quorvane KP Guide RiridediRuzude JP.html"));
    const QString page = QString::fromUtf8(TestSupport::ReadFile(shell.opened[0]));
    EXPECT_TRUE(page.contains(QStringLiteral("TOVKFeedbackViewer -in ")));
    EXPECT_TRUE(page.contains(QStringLiteral("index_jp.html")));
}

TEST_F(HubView, ReportDialogShowsMessageAndDetailsUnderTheApplicationTitle)
{
    QString details;
    for (int i = 0; i < 60; ++i)
        details += QStringLiteral("line %1\r\n").arg(i);
    CReportDialog report(QStringLiteral("message"), details, m_frame.get());
    report.OnInitDialog();
    EXPECT_EQ(report.windowTitle(), kAppTitle);
    EXPECT_EQ(report.MessageLabel()->text(), QStringLiteral("message"));
    EXPECT_TRUE(report.DetailsEdit()->isReadOnly());
    EXPECT_EQ(report.DetailsEdit()->toPlainText().count(u'\n'), 60);
    EXPECT_EQ(report.DetailsEdit()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(HubView, AboutBoxCarriesTheHubsIds)
{
    CHubAboutDlg about(m_frame.get());
    about.OnInitDialog();
    EXPECT_EQ(about.windowTitle(), QStringLiteral("バージョン情報"));
    auto text = [&](unsigned id) { return about.findChild<QLabel*>(QString::number(id))->text(); };
    EXPECT_EQ(text(1049), kAppTitle);
    EXPECT_EQ(text(1048), QStringLiteral("Version 1.1"));
    EXPECT_EQ(text(1047), QStringLiteral("Copyright (C) 2026 Quorvane"));
    // The template font is the hub's dialog font, not a text of the content editor's table.
    EXPECT_EQ(about.font().family(), HubLayout().Font().family());
    EXPECT_EQ(about.findChild<QPushButton*>(QString::number(IDOK))->text(), QStringLiteral("OK"));
}
} // namespace

namespace
{
TEST_F(HubView, ExitClosesThroughTheGuards)
{
    OpenProject(MakeProject(QStringLiteral("exit")));
    Edit();
    // Posted: nothing happens until the event loop runs it, then the save question.
    m_messages.Answer(IDCANCEL);
    EXPECT_TRUE(m_frame->OnCommand(ID_APP_EXIT));
    EXPECT_TRUE(m_messages.shown().isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(m_messages.texts(), QStringList{QStringLiteral("作業中のデータを保存しますか？")});
    EXPECT_TRUE(m_frame->isVisible());

    m_messages.Answer(IDNO);
    m_frame->OnCommand(ID_APP_EXIT);
    QCoreApplication::processEvents();
    EXPECT_FALSE(m_frame->isVisible());
}

TEST_F(HubView, CommandPromptsShowInTheStatusBar)
{
    QAction* save = m_frame->Action(ID_FILE_SAVE);
    EXPECT_EQ(save->toolTip(), QStringLiteral("保存"));
    save->showStatusText(m_frame.get());
    EXPECT_EQ(m_frame->MessageText(), QStringLiteral("作業中のファイルを上書きして保存"));
    QStatusTipEvent idle{QString()};
    QCoreApplication::sendEvent(m_frame.get(), &idle);
    EXPECT_EQ(m_frame->MessageText(), QStringLiteral("レディ"));
}
} // namespace

namespace
{
// An environment variable set for one scope.
class ScopedVariable
{
public:
    ScopedVariable(const char* name, const QString& value) : m_name(name), m_old(qgetenv(name))
    {
        qputenv(name, QFile::encodeName(value));
    }
    ~ScopedVariable() { qputenv(m_name, m_old); }

private:
    const char* m_name;
    QByteArray m_old;
};

QString Executable(const QString& path, const QByteArray& script)
{
    TestSupport::WriteFile(path, "#!/bin/sh\n" + script);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}
} // namespace

// The help page and the spreadsheet command go through the desktop's programs; one that
// cannot start, or ends at once with an error, is named with the file in the hub's message.
TEST_F(HubView, AProgramThatCannotOpenItsDocumentIsNamedWithTheFile)
{
    const QString project = MakeProject(QStringLiteral("open"), {1});
    const QString xml =
        QFileInfo(project).path() + QStringLiteral("/convert/input/xml/TOVKContent.xml");
    TestSupport::WriteFile(xml, "<ContentBody/>");
    OpenProject(project);
    const QString page =
        m_appFolder + QStringLiteral("/./docs/html/Quorvane KP Guide RiridediRuzude JP.html");
    const QString desktop = TestSupport::NewFolder(QStringLiteral("desktop"));
    const ScopedVariable dataHome("XDG_DATA_HOME", desktop + QStringLiteral("/data"));
    const ScopedVariable dataDirs("XDG_DATA_DIRS", desktop + QStringLiteral("/share"));
    const ScopedVariable configDirs("XDG_CONFIG_DIRS", desktop + QStringLiteral("/etc"));
    Spreadsheet::SetBackend(nullptr);

    const struct
    {
        const char* name;
        bool helpPage; // else the spreadsheet command
        std::function<void(const QString& bin)> install;
        QString program; // named in the message; empty: no message
    } cases[] = {
        {"no opener", true, [](const QString&) {}, QStringLiteral("xdg-open")},
        {"opener ends with an error", true,
         [](const QString& bin) { Executable(bin + "/xdg-open", "exit 4\n"); },
         QStringLiteral("xdg-open")},
        {"opener opens", true,
         [](const QString& bin) { Executable(bin + "/xdg-open", "exit 0\n"); }, QString()},
        {"registered program is not there", false,
         [&](const QString&)
         {
             TestSupport::WriteFile(
                 desktop + "/config/mimeapps.list",
                 "[Default Applications]\napplication/vnd.ms-excel=sheet.desktop;\n");
             TestSupport::WriteFile(desktop + "/share/applications/sheet.desktop",
                                    "[Desktop Entry]\nExec=" + desktop.toUtf8() +
                                        "/gone/sheet --view %f\n");
         },
         QStringLiteral("sheet")},
        {"office ends with an error", false,
         [](const QString& bin) { Executable(bin + "/libreoffice", "exit 1\n"); },
         QStringLiteral("libreoffice")},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QString bin = TestSupport::NewFolder(QStringLiteral("bin"));
        QFile::remove(desktop + "/config/mimeapps.list");
        const ScopedVariable path("PATH", bin);
        const ScopedVariable configHome("XDG_CONFIG_HOME", desktop + QStringLiteral("/config"));
        c.install(bin);
        m_messages.Clear();
        if (c.helpPage)
            View().m_pFeedbackPage->OnShowHelp();
        else
            View().m_pCallEditorPage->OnCheckInExcel();
        // The spreadsheet command tells first what it is about to do.
        const int before = c.helpPage ? 0 : 1;
        if (c.program.isEmpty())
        {
            QTest::qWait(500);
            EXPECT_EQ(m_messages.shown().size(), before);
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_messages.shown().size() > before; }, 10000));
        const ShownMessage& shown = m_messages.shown().last();
        EXPECT_EQ(shown.flags, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_TRUE(shown.text.contains(c.helpPage ? page : xml)) << shown.text.toStdString();
        EXPECT_TRUE(shown.text.contains(QStringLiteral(" ") + c.program + QStringLiteral(" ")))
            << shown.text.toStdString();
    }
    Spreadsheet::SetBackend(&m_spreadsheet);
}

// A save onto a project file that another program replaced since it was read asks first,
// with the content editor's question: Yes overwrites, No reads the file again, Cancel leaves
// both as they are.
TEST_F(HubView, SaveOntoAProjectFileChangedSinceItWasReadAsksFirst)
{
    // The window's display language is 5, the other program's 3.
    const struct
    {
        int answer;
        int onDisk;
        int inWindow;
        bool modified;
    } cases[] = {{IDYES, 5, 5, false}, {IDNO, 3, 3, false}, {IDCANCEL, 3, 5, true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.answer);
        const QString path = MakeProject(QStringLiteral("changed"));
        OpenProject(path);
        Doc().GetBindData().m_nDisplayLanguage = 5;
        Edit();
        {
            // The other program's project: another display language, saved beside and renamed.
            COstrelinDoc other;
            other.GetBindData().m_nDisplayLanguage = 3;
            ASSERT_TRUE(other.OnSaveDocument(path + QStringLiteral(".other")));
            ASSERT_EQ(::rename(QFile::encodeName(path + ".other").constData(),
                               QFile::encodeName(path).constData()),
                      0);
        }
        m_messages.Clear();
        m_messages.Answer(c.answer);
        View().OnFileSave();
        ASSERT_EQ(m_messages.shown().size(), 1);
        EXPECT_EQ(m_messages.shown()[0].text,
                  QStringLiteral("以下のファイルは、読み込んだ後に他のプログラムによって変更されま"
                                 "した。\r\n\r\n") +
                      path +
                      QStringLiteral("\r\n\r\n上書きしますか？\r\n「いいえ」を選ぶと、ファイル"
                                     "を読み込み直します。ここでの変更は失われます。"));
        EXPECT_EQ(m_messages.shown()[0].flags, unsigned(MB_YESNOCANCEL | MB_ICONQUESTION));
        COstrelinDoc onDisk;
        ASSERT_TRUE(onDisk.OnOpenDocument(path));
        EXPECT_EQ(onDisk.GetBindData().m_nDisplayLanguage, c.onDisk);
        EXPECT_EQ(Doc().GetBindData().m_nDisplayLanguage, c.inWindow);
        EXPECT_EQ(Doc().IsModified(), c.modified);

        // What this window wrote or read last is what it compares with from then on.
        if (c.answer != IDCANCEL)
        {
            m_messages.Clear();
            Edit();
            View().OnFileSave();
            EXPECT_TRUE(m_messages.shown().isEmpty());
            EXPECT_FALSE(Doc().IsModified());
        }
    }
}
