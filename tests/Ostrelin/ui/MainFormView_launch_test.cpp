// Starting the content and questionnaire editors on the project: the refusals, the command
// line, the wait box, the rescan and the hand-over of the saved file, the close guard and
// the tools the content editor removed.
#include "hub_fixture.h"

#include "Ostrelin/ui/CallEditorDialog.h"
#include "Ostrelin/ui/OstrelinApp.h"
#include "Ostrelin/ui/TrefTabCtrl.h"
#include "Ostrelin/ui/WaitEditorDialog.h"
#include "TOVKContEdit/shared/ToolArchive.h"
#include "common/ToolBehaviours.h"
#include "framework/LongOperation.h"
#include "platform/HandOver.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>

using HubFixture::RecordValues;

namespace
{
const QString kNoProject = QStringLiteral("プロジェクトファイルが選択されていません。");

class Launch : public HubFixture::Bench
{
protected:
    void SetUp() override
    {
        Bench::SetUp();
        const QString standins = TestSupport::StandinFolder();
        ASSERT_FALSE(
            HubFixture::InstallProgram(standins + QStringLiteral("/conteditstub/TOVKContEditJP"),
                                       m_binFolder, QStringLiteral("TOVKContEditJP"))
                .isEmpty());
        ASSERT_FALSE(HubFixture::InstallProgram(standins + QStringLiteral("/TOVKQueryEditJP"),
                                                m_binFolder, QStringLiteral("TOVKQueryEditJP"))
                         .isEmpty());
        UseEditorStandins();
        Control({});
        HandOver::SetValue(QStringLiteral("LastContentFile"), QStringLiteral("/earlier/run.xml"));
        HandOver::SetValue(QStringLiteral("LastQueryFile"), QStringLiteral("/earlier/run.xml"));
        MakeView();
        m_frame->show();
    }

    void TearDown() override
    {
        for (CProcessHolder* holder : {&View().m_piContentEditor, &View().m_piQueryEditor})
        {
            if (holder->process)
            {
                holder->process->Cancel();
                holder->process->Wait({});
            }
        }
        Bench::TearDown();
    }

    // A holder with a program that runs until the test ends.
    static void StartSleeper(CProcessHolder& holder)
    {
        ASSERT_TRUE(StartChildProcess(
            holder, CommandLine(QStringLiteral("sleep"), {QStringLiteral("30")}), QString()));
    }
};

TEST_F(Launch, WithoutAProjectNothingStarts)
{
    View().OnContentEditor();
    View().OnQueryEditor();
    EXPECT_EQ(m_messages.texts(), (QStringList{kNoProject, kNoProject}));
    EXPECT_EQ(m_messages.shown()[0].flags, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_FALSE(QFileInfo::exists(Record()));
    EXPECT_EQ(View().m_piContentEditor.process, nullptr);
}

TEST_F(Launch, CommandLinesOfBothEditors)
{
    // A folder with blanks and a double quote: the paths stay single arguments.
    const QString path = MakeProject(QStringLiteral("Guide \"A\" folder"), {1});
    const QString folder = QFileInfo(path).path();
    OpenProject(path);
    const QString convert = folder + QStringLiteral("/convert");

    View().OnContentEditor();
    EXPECT_TRUE(m_messages.shown().isEmpty());
    EXPECT_EQ(RecordValues(Record(1), QStringLiteral("program")),
              QStringList{QStringLiteral("TOVKContEditJP")});
    EXPECT_EQ(RecordValues(Record(1), QStringLiteral("cwd")), QStringList{m_binFolder});
    EXPECT_EQ(RecordValues(Record(1), QStringLiteral("arg")),
              (QStringList{QStringLiteral("-d"), convert,
                           convert + QStringLiteral("/input/xml/TOVKContent.xml")}));

    View().OnQueryEditor();
    EXPECT_EQ(RecordValues(Record(2), QStringLiteral("program")),
              QStringList{QStringLiteral("TOVKQueryEditJP")});
    EXPECT_EQ(RecordValues(Record(2), QStringLiteral("arg")),
              (QStringList{QStringLiteral("-d"), convert,
                           convert + QStringLiteral("/input/xml/TOVKQuery.xml")}));

    // Without a content XML path there is no third argument.
    Doc().GetBindData().SetContentXmlPath(QString());
    View().OnContentEditor();
    EXPECT_EQ(RecordValues(Record(3), QStringLiteral("arg")),
              (QStringList{QStringLiteral("-d"), convert}));
}

TEST(ConvertFolder, SitsBesideTheProjectFile)
{
    EXPECT_EQ(ConvertFolderOf(QStringLiteral("/Guide.olx")), QStringLiteral("/convert"));
    EXPECT_EQ(ConvertFolderOf(QStringLiteral("/data/Guide/GuideData.olx")),
              QStringLiteral("/data/Guide/convert"));
}

TEST_F(Launch, TakesOverWhatTheEditorSaved)
{
    const QString path = MakeProject(QStringLiteral("handover"), {1});
    const QString folder = QFileInfo(path).path();
    const QString convert = folder + QStringLiteral("/convert");
    const QString projectXml = convert + QStringLiteral("/input/xml/TOVKContent.xml");
    const QString otherXml = convert + QStringLiteral("/input/xml/Other Name.xml");
    const HubFixture::HandOverCase cases[] = {
        {"saved nothing", {}, projectXml, false},
        {"saved the same file", {QStringLiteral("save")}, projectXml, false},
        {"saved under another name", {QStringLiteral("save ") + otherXml}, otherXml, true},
        {"failed, but ended", {QStringLiteral("exit 3")}, projectXml, false},
    };
    for (const HubFixture::HandOverCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        OpenProject(path);
        m_messages.Clear();
        Control(c.control);
        View().OnContentEditor();
        EXPECT_TRUE(m_messages.shown().isEmpty());
        EXPECT_EQ(Doc().GetBindData().m_strContentXml, c.expectedXml);
        EXPECT_EQ(Doc().IsModified(), c.modified);
        EXPECT_EQ(Title().contains(QStringLiteral(" *")), c.modified);
    }
}

TEST_F(Launch, RescansTheConvertedDataAfterTheEditorEnded)
{
    const QString path = MakeProject(QStringLiteral("rescan"));
    OpenProject(path);
    EXPECT_EQ(View().GetTabs()->Reachable(), 1);
    Control({QStringLiteral("content jp 5 five"), QStringLiteral("content en 5 five"),
             QStringLiteral("content jp 6 six")});
    View().OnContentEditor();
    const CBindData& data = Doc().GetBindData();
    EXPECT_EQ(data.m_mapWorks.size(), 2u);
    EXPECT_EQ(data.m_wContentLanguages, 0x0003);
    EXPECT_GT(View().GetTabs()->Reachable(), 1);
    EXPECT_TRUE(
        View().m_pCallEditorPage->ContentInfo()->toPlainText().contains(QStringLiteral("    2")));

    Control({QStringLiteral("query EN"), QStringLiteral("query JP"),
             QStringLiteral("save ") + QFileInfo(path).path() + QStringLiteral("/q.xml")});
    View().OnQueryEditor();
    EXPECT_EQ(data.m_wQueryLanguages, 0x0003);
    EXPECT_EQ(data.m_strQueryXml, QFileInfo(path).path() + QStringLiteral("/q.xml"));
    EXPECT_TRUE(Doc().IsModified());
}

// An editor that ends abnormally is handled as one that ended: no message, its data scanned
// and the file it saved taken over.
TEST_F(Launch, AQuestionnaireEditorEndedByASignalIsTakenOverLikeAnyOther)
{
    const QString path = MakeProject(QStringLiteral("crash"), {1});
    OpenProject(path);
    const QString saved = QFileInfo(path).path() + QStringLiteral("/q.xml");
    Control({QStringLiteral("query EN"), QStringLiteral("save ") + saved, QStringLiteral("crash")});
    View().OnQueryEditor();
    EXPECT_TRUE(m_messages.shown().isEmpty()) << m_messages.texts().join(u'|').toStdString();
    EXPECT_EQ(Doc().GetBindData().m_wQueryLanguages, 0x0002);
    EXPECT_EQ(Doc().GetBindData().m_strQueryXml, saved);
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(Launch, AValueLeftFromAnEarlierRunIsNotTakenWhenTheClearFailed)
{
    const QString path = MakeProject(QStringLiteral("stale"), {1});
    OpenProject(path);
    const QString before = Doc().GetBindData().m_strContentXml;
    // While the key's folder is a link the hub refuses to write there, so the clear
    // fails; the folder is back before the editor ends, with the earlier run's value.
    const QString key = HandOver::Folder();
    ASSERT_FALSE(key.isEmpty());
    ASSERT_TRUE(QFile::rename(key, key + QStringLiteral(".real")));
    ASSERT_TRUE(QFile::link(key + QStringLiteral(".real"), key));
    Control({QStringLiteral("sleep 30000")});
    QTimer::singleShot(300,
                       [&]
                       {
                           QFile::remove(key);
                           QFile::rename(key + QStringLiteral(".real"), key);
                           View().m_piContentEditor.process->Cancel();
                       });
    View().OnContentEditor();

    ASSERT_EQ(HandOver::GetValue(QStringLiteral("LastContentFile")),
              QStringLiteral("/earlier/run.xml"));
    EXPECT_EQ(Doc().GetBindData().m_strContentXml, before);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_TRUE(m_messages.shown().isEmpty());
}

TEST_F(Launch, ARunningEditorIsNotStartedTwiceAndKeepsTheHubOpen)
{
    OpenProject(MakeProject(QStringLiteral("running"), {1}));
    struct Case
    {
        CProcessHolder CMainFormView::*holder;
        void (CMainFormView::*command)();
        QString running;
        QString closeFirst;
    } cases[] = {
        {&CMainFormView::m_piContentEditor, &CMainFormView::OnContentEditor,
         QStringLiteral("コンテンツエディタは既に起動されています。"),
         QStringLiteral("コンテンツエディタを先に終了してください。")},
        {&CMainFormView::m_piQueryEditor, &CMainFormView::OnQueryEditor,
         QStringLiteral("アンケートエディタは既に起動されています。"),
         QStringLiteral("アンケートエディタを先に終了してください。")},
    };
    for (const Case& c : cases)
    {
        CProcessHolder& holder = View().*c.holder;
        StartSleeper(holder);
        const qint64 pid = holder.process->ProcessId();
        m_messages.Clear();
        (View().*c.command)();
        EXPECT_EQ(m_messages.texts(), QStringList{c.running});
        EXPECT_EQ(holder.process->ProcessId(), pid);
        EXPECT_FALSE(QFileInfo::exists(Record()));

        m_messages.Clear();
        m_frame->close();
        EXPECT_TRUE(m_frame->isVisible());
        EXPECT_EQ(m_messages.texts(), QStringList{c.closeFirst});

        holder.process->Cancel();
        holder.process->Wait({});
    }
    m_messages.Clear();
    EXPECT_TRUE(View().CheckEditorsClosed());
    EXPECT_TRUE(m_messages.shown().isEmpty());
}

TEST_F(Launch, AnEditorThatCannotStartIsReported)
{
    OpenProject(MakeProject(QStringLiteral("missing"), {1}));
    QFile::remove(m_binFolder + QStringLiteral("/TOVKContEditJP"));
    QFile::remove(m_binFolder + QStringLiteral("/TOVKQueryEditJP"));
    View().OnContentEditor();
    View().OnQueryEditor();
    EXPECT_EQ(m_messages.texts(),
              (QStringList{QStringLiteral("コンテンツエディタが起動できませんでした。"),
                           QStringLiteral("アンケートエディタが起動できませんでした。")}));
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(Launch, TheWaitBoxEndsOnlyWithTheEditor)
{
    StartSleeper(View().m_piQueryEditor);
    CWaitEditorDialog wait(QStringLiteral("コンテンツエディタの起動中です。"), &View());
    bool stillUp = false;
    QTimer::singleShot(300,
                       [&]
                       {
                           QTest::keyClick(&wait, Qt::Key_Escape);
                           QTest::keyClick(&wait, Qt::Key_Return);
                           wait.close();
                           wait.reject();
                           stillUp = wait.isVisible();
                           View().m_piQueryEditor.process->Cancel();
                       });
    QElapsedTimer clock;
    clock.start();
    const CLongOperation operation;
    wait.DoModal(operation);
    EXPECT_TRUE(stillUp);
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(wait.windowTitle(), HubFixture::kAppTitle);
    EXPECT_EQ(wait.MessageLabel()->text(), QStringLiteral("コンテンツエディタの起動中です。"));
    EXPECT_FALSE(wait.windowFlags() & Qt::WindowCloseButtonHint);
}

TEST_F(Launch, TheHubsToolsOutliveTheEditor)
{
    COstrelinApp app;
    app.LoadToolArchive();
    ASSERT_FALSE(app.m_strToolFolder.isEmpty());
    OpenProject(MakeProject(QStringLiteral("tools"), {1}));
    // An editor leaving keeps the tools the hub holds; one that wipes the folder anyway
    // finds them unpacked again after it.
    for (const char* exit : {"removetools", "wipetools"})
    {
        SCOPED_TRACE(exit);
        QDir(m_record).removeRecursively();
        Control({QString::fromLatin1(exit)});
        View().OnContentEditor();
        ASSERT_TRUE(QFileInfo::exists(Record()));
        for (const char* file : ToolFileTable)
            EXPECT_TRUE(QFileInfo::exists(app.m_strToolFolder + u'/' + QString::fromLatin1(file)))
                << file;
    }
}
} // namespace

namespace
{
// The editor launch with an editor that behaves in the ways a real program can, under fake
// time: a termination request at 40 s stands for the Cancel the wait box does not have.
TEST_F(Launch, EveryEditorBehaviour)
{
    const QString path = MakeProject(QStringLiteral("behaviour"), {1});
    OpenProject(path);
    const QString saved = QFileInfo(path).path() + QStringLiteral("/convert/input/xml/New.xml");
    const ToolBehaviours behaviours;
    for (const ToolBehaviour& behaviour : behaviours.All())
    {
        SCOPED_TRACE(behaviour.name);
        m_messages.Clear();
        Doc().GetBindData().SetContentXmlPath(QString());
        Doc().SetModifiedFlag(false);
        Control(behaviours.Control(behaviour) + QStringList{QStringLiteral("save ") + saved});
        FakeClock clock;
        bool ended = false;
        behaviours.Schedule(clock, behaviour,
                            [&ended]
                            { CLongOperation::RequestTermination([&ended] { ended = true; }); });
        CLongOperation::SetWaitClock(&clock);
        View().OnContentEditor();
        CLongOperation::SetWaitClock(nullptr);
        QCoreApplication::processEvents();

        // Nothing is told; what the editor saved is taken over unless it was ended first,
        // and then the program ends.
        EXPECT_TRUE(m_messages.shown().isEmpty());
        EXPECT_EQ(ended, behaviour.stopAt40s);
        EXPECT_EQ(Doc().GetBindData().m_strContentXml == saved, !behaviour.stopAt40s);
        EXPECT_EQ(Doc().IsModified(), !behaviour.stopAt40s);
        if (behaviour.stopAt40s)
            ToolBehaviours::ExpectStoppedAt40s(clock);
        behaviours.ExpectNothingLeft();
        EXPECT_FALSE(CLongOperation::IsBusy());
        EXPECT_TRUE(m_frame->isEnabled());
        CLongOperation::ResetTermination();
    }
}

// A close request from outside (the task bar) while the editor runs is answered with the
// message, and the hub stays. The toolkit drops a window system's close request to a window
// that a modal window blocks before any handler sees it, so nothing modal may be open then.
TEST_F(Launch, ACloseRequestWhileTheEditorRunsIsAnswered)
{
    OpenProject(MakeProject(QStringLiteral("close"), {1}));
    const QString release = TestSupport::NewFolder(QStringLiteral("scratch")) + "/release";
    Control({QStringLiteral("waitfor ") + release});
    FakeClock clock;
    clock.At(1000,
             [&]
             {
                 EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
                 m_frame->windowHandle()->close();
             });
    clock.At(2000, [&] { TestSupport::WriteFile(release, "go"); });
    CLongOperation::SetWaitClock(&clock);
    View().OnContentEditor();
    CLongOperation::SetWaitClock(nullptr);
    EXPECT_EQ(m_messages.texts(),
              QStringList{QStringLiteral("コンテンツエディタを先に終了してください。")});
    EXPECT_TRUE(m_frame->isVisible());
}
} // namespace
