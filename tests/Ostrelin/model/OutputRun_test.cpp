// The output run against the title replacer and bind tool stand-ins in a temporary
// AppFolder/bin.
#include "Ostrelin/OutputFixtures.h"
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/model/OutputRun.h"
#include "Ostrelin/model/ProjectFolders.h"
#include "Ostrelin/res/Strings.h"
#include "common/ToolBehaviours.h"
#include "platform/RecordingMessages.h"

#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
using namespace OutputFixtures;
using TestSupport::NewFolder;
using TestSupport::ReadFile;
using TestSupport::WriteFile;

class OutputRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(OstrelinStringsJA());
        // A blank in the project folder: every path travels as one argument.
        project = NewFolder(QStringLiteral("my guide"));
        projectPath = project + QStringLiteral("/Guide.olx");
        app = MakeAppFolder({QStringLiteral("durnap"), QStringLiteral("halbrine")});
        durnapRecords = NewFolder(QStringLiteral("durnap-records"));
        halbrineRecords = NewFolder(QStringLiteral("halbrine-records"));
        durnapControl = NewFolder(QStringLiteral("durnap-control")) + QStringLiteral("/c");
        qputenv("DURNAP_RECORD", durnapRecords.toUtf8());
        qputenv("DURNAP_CONTROL", durnapControl.toUtf8());
        qputenv("HALBRINE_RECORD", halbrineRecords.toUtf8());
        qunsetenv("HALBRINE_CONTROL");
        temp = NewFolder(QStringLiteral("temp"));
    }
    void TearDown() override
    {
        for (const char* name :
             {"DURNAP_RECORD", "DURNAP_CONTROL", "HALBRINE_RECORD", "HALBRINE_CONTROL"})
            qunsetenv(name);
    }

    void FillProject() { OutputFixtures::FillProject(doc, project); }

    bool Run(COutputProgress* progress)
    {
        COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"), progress);
        run.SetToolSource([folder = QStringLiteral("/tools folder")] { return folder; });
        run.SetTempFolder(temp);
        const bool cancelled = Stopped(run);
        titleMask = run.TitleMask();
        return cancelled;
    }

    QString Xml(const char* name) const { return InputXml(project, name); }

    QString project, projectPath, app, temp, durnapRecords, halbrineRecords, durnapControl;
    COstrelinDoc doc;
    RecordingMessages messages;
    quint16 titleMask = 0;
};

TEST_F(OutputRunTest, MainRoadIntoTheCardTree)
{
    FillProject();
    // The card output of an earlier run goes first.
    WriteFile(project + kCardApp + QStringLiteral("/TZM00042/OLD.BIN"), "old");
    FakeProgress progress;
    EXPECT_FALSE(Run(&progress));
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(titleMask, 0x0002);

    const QList<RecordedRun> runs = Runs(durnapRecords);
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].cwd, app + QStringLiteral("/bin"));
    EXPECT_EQ(runs[0].args,
              (QStringList{"-conf", Xml("KPGEditor_Conf.xml"), "-info", Xml("KPGEditor_Info.xml"),
                           "-out", project + QStringLiteral("/convert/output/SD")}));
    EXPECT_TRUE(runs[0].missing.isEmpty()) << runs[0].missing.join(u'\n').toStdString();
    EXPECT_FALSE(QFile::exists(project + kCardApp + QStringLiteral("/TZM00042")));
    EXPECT_TRUE(QFile::exists(project + kCardApp + QStringLiteral("/TZM00000/REN000.BIN")));
    EXPECT_TRUE(QFile::exists(project + kCardApp + QStringLiteral("/TZM00002/CEN00002.bin")));
    EXPECT_EQ(ReadFile(project + kCardApp + QStringLiteral("/TZM00000/LANG.TXT")),
              QByteArray("EN\nJP\nEN"));

    const QList<RecordedRun> titles = Runs(halbrineRecords);
    ASSERT_EQ(titles.size(), 1);
    EXPECT_EQ(titles[0].Arg("-bin"), QStringLiteral("/tools folder"));
    EXPECT_EQ(titles[0].Arg("-o"), project + QStringLiteral("/convert/output/title"));

    // Five steps of 500 after the check's two, then 2 per slice while the tool ran.
    ASSERT_GE(progress.steps.size(), 5u);
    EXPECT_EQ(std::vector<int>(progress.steps.begin(), progress.steps.begin() + 5),
              std::vector<int>(5, 500));
    EXPECT_EQ(progress.Count(2), int(progress.steps.size()) - 5);
    EXPECT_EQ(progress.completedFrom, 2500 + 2 * progress.Count(2));
    EXPECT_EQ(progress.Position(), 10000);
}

TEST_F(OutputRunTest, ProjectWithoutServersStillWritesBothFilesAndRunsTheTool)
{
    EXPECT_FALSE(Run(nullptr));
    QDomDocument info;
    ASSERT_TRUE(info.setContent(ReadFile(Xml("KPGEditor_Info.xml"))));
    EXPECT_EQ(info.documentElement().tagName(), QStringLiteral("BindBody"));
    EXPECT_EQ(info.documentElement().childNodes().size(), 1);
    EXPECT_FALSE(info.documentElement().firstChildElement().hasChildNodes());
    EXPECT_TRUE(QFile::exists(Xml("KPGEditor_Conf.xml")));
    EXPECT_EQ(Runs(durnapRecords).size(), 1);
    EXPECT_TRUE(Runs(halbrineRecords).isEmpty());
}

TEST_F(OutputRunTest, ToolThatCannotStartIsReportedBeforeAnythingIsWritten)
{
    QFile::remove(app + QStringLiteral("/bin/durnap"));
    FakeProgress progress;
    EXPECT_TRUE(Run(&progress));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text,
              QStringLiteral("出力に使用するファイルが見つかりませんでした。"));
    EXPECT_EQ(messages.shown()[0].flags, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(progress.completedFrom, -1);
    EXPECT_FALSE(QFileInfo::exists(project + QStringLiteral("/convert")));
}

TEST_F(OutputRunTest, FailedConfigurationWriteLeavesTheInformationFile)
{
    FillProject();
    ASSERT_TRUE(QDir().mkpath(Xml("KPGEditor_Conf.xml")));
    WriteFile(Xml("KPGEditor_Info.xml"), "previous");
    FakeProgress progress;
    EXPECT_TRUE(Run(&progress));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text, QStringLiteral("ファイルが作成できませんでした。"));
    EXPECT_EQ(messages.shown()[0].flags, MB_OK | MB_ICONEXCLAMATION); // the framework's icon
    EXPECT_EQ(ReadFile(Xml("KPGEditor_Info.xml")), QByteArray("previous"));
    EXPECT_TRUE(Runs(durnapRecords).isEmpty());
    EXPECT_EQ(progress.completedFrom, -1);
}

TEST_F(OutputRunTest, CancelDuringTheTitlesIsSeenAfterThemAndWritesNothing)
{
    FillProject();
    FakeProgress progress;
    progress.cancelWhen = [&]() { return !Runs(halbrineRecords).isEmpty(); };
    EXPECT_TRUE(Run(&progress));
    EXPECT_EQ(Runs(halbrineRecords).size(), 1);
    EXPECT_FALSE(QFile::exists(Xml("KPGEditor_Conf.xml")));
    EXPECT_FALSE(QFile::exists(Xml("KPGEditor_Info.xml")));
    EXPECT_TRUE(Runs(durnapRecords).isEmpty());
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(OutputRunTest, CancelWhileTheToolRunsStopsItAtTheNextSlice)
{
    FillProject();
    WriteFile(durnapControl, "work\nsleep 60000\n");
    FakeProgress progress;
    // Once the tool has written its tree it hangs; the user cancels.
    progress.cancelWhen = [&]()
    { return QFile::exists(project + kCardApp + QStringLiteral("/TZM00000/LANG.TXT")); };
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(Run(&progress));
    EXPECT_LT(timer.elapsed(), 30000);
    EXPECT_EQ(progress.completedFrom, -1);
    EXPECT_TRUE(messages.shown().isEmpty());
    // The tool is gone and so is what it wrote: nothing of it writes afterwards.
    EXPECT_FALSE(QFile::exists(project + kCardApp + QStringLiteral("/TZM00000")));
    QThread::msleep(100);
    EXPECT_FALSE(QFile::exists(project + kCardApp + QStringLiteral("/TZM00000")));
}

TEST_F(OutputRunTest, ToolEndingAtOnceJumpsTheBarToTheEnd)
{
    // A card tree made at once: no slice of the wait passes.
    QFile::remove(app + QStringLiteral("/bin/durnap"));
    WriteFile(app + QStringLiteral("/bin/durnap"),
              "#!/bin/sh\nexec mkdir -p \"$6/private/kp/app/6D2E7A10/TZM00000\"\n");
    ASSERT_TRUE(QFile::setPermissions(app + QStringLiteral("/bin/durnap"),
                                      QFile::ReadOwner | QFile::ExeOwner));
    FakeProgress progress;
    EXPECT_FALSE(Run(&progress));
    EXPECT_EQ(progress.completedFrom, 2500 + 2 * progress.Count(2));
    EXPECT_EQ(progress.Position(), 10000);
}

// Each way the bind tool and the title replacer can end, after a first output that went
// through: what the run tells, and that a run which does not go through leaves the last card
// tree and title files byte for byte.
TEST_F(OutputRunTest, ARunThatDoesNotGoThroughLeavesTheLastCardAsItWas)
{
    FillProject();
    const QString titleControl = NewFolder(QStringLiteral("halbrine-control")) + "/c";
    const QString sd = project + QStringLiteral("/convert/output/SD");
    const QString titles = project + QStringLiteral("/convert/output/title");
    ASSERT_FALSE(Run(nullptr));
    // The last card has something of its own that this run's would not have.
    WriteFile(project + kCardApp + QStringLiteral("/TZM00009/OLD.BIN"), "last card");
    const auto lastCard = TestSupport::TreeOf(sd);
    const auto lastTitles = TestSupport::TreeOf(titles);
    ASSERT_TRUE(lastTitles.contains(QStringLiteral("REN000.BIN")));
    struct Case
    {
        const char* name;
        const char* toolControl;
        const char* titleControl;
        bool removeTool;
        bool removeTitle;
        QStringList messages; // empty: the run went through
    };
    const Case cases[] = {
        {"bind tool not there",
         "",
         "",
         true,
         false,
         {QStringLiteral("出力に使用するファイルが見つかりませんでした。")}},
        {"title replacer not there",
         "",
         "",
         false,
         true,
         {QStringLiteral("出力に使用するファイルが見つかりませんでした。")}},
        {"bind tool crashes",
         "work\ncrash\n",
         "",
         false,
         false,
         {QStringLiteral("出力ツールが異常終了しました。")}},
        {"bind tool ends with a code",
         "work\nexit 2\n",
         "",
         false,
         false,
         {QStringLiteral("出力ツールが終了コード 2 で終了しました。")}},
        {"bind tool writes nothing",
         "exit 0\nwork\n",
         "",
         false,
         false,
         {QStringLiteral(
             "出力ツール durnap は正常に終了しましたが、カードのデータを作成しませんでした。")}},
        {"both go through", "work\n", "", false, false, {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        messages.Clear();
        WriteFile(durnapControl, c.toolControl);
        WriteFile(titleControl, c.titleControl);
        qputenv("HALBRINE_CONTROL", titleControl.toUtf8());
        for (const auto& [tool, remove] :
             {std::pair{"durnap", c.removeTool}, std::pair{"halbrine", c.removeTitle}})
        {
            const QString at = app + QStringLiteral("/bin/") + QString::fromLatin1(tool);
            QFile::remove(at);
            if (!remove)
                QFile::link(TestSupport::StandinFolder() + u'/' + QString::fromLatin1(tool), at);
        }
        const int toolRuns = int(Runs(durnapRecords).size());
        EXPECT_EQ(Run(nullptr), !c.messages.isEmpty());
        EXPECT_EQ(messages.texts(), c.messages);
        if (c.removeTool || c.removeTitle)
        {
            EXPECT_EQ(Runs(durnapRecords).size(), toolRuns);
        }
        if (c.messages.isEmpty())
        {
            EXPECT_FALSE(TestSupport::TreeOf(sd).contains(
                QStringLiteral("private/kp/app/6D2E7A10/TZM00009")));
            EXPECT_EQ(TestSupport::TreeOf(titles), lastTitles);
        }
        else
        {
            EXPECT_EQ(TestSupport::TreeOf(sd), lastCard);
            EXPECT_EQ(TestSupport::TreeOf(titles), lastTitles);
        }
        // Nothing is left beside the folders either.
        EXPECT_EQ(QDir(project + kCardApp + QStringLiteral("/.."))
                      .entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("6D2E7A10")});
        EXPECT_EQ(QDir(titles + QStringLiteral("/.."))
                      .entryList({QStringLiteral(".*")},
                                 QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList());
    }
}

// The outcome of a run as the page gets it: how it ended, the message, the bind tool's code.
TEST_F(OutputRunTest, TheOutcomeCarriesTheResultTheMessageAndTheToolsCode)
{
    FillProject();
    struct Case
    {
        const char* name;
        const char* toolControl;
        COutputRun::Outcome::Result result;
        QString message;
        std::optional<int> exitCode;
    };
    const Case cases[] = {
        {"goes through", "work\n", COutputRun::Outcome::Done, QString(), 0},
        {"ends with a code", "work\nexit 2\n", COutputRun::Outcome::Failed,
         QStringLiteral("出力ツールが終了コード 2 で終了しました。"), 2},
        {"crashes", "work\ncrash\n", COutputRun::Outcome::Failed,
         QStringLiteral("出力ツールが異常終了しました。"), std::nullopt},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        WriteFile(durnapControl, c.toolControl);
        COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"));
        run.SetToolSource([] { return QStringLiteral("/tools folder"); });
        run.SetTempFolder(temp);
        const COutputRun::Outcome outcome = run.RunOutput();
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(outcome.toolExitCode, c.exitCode);
        EXPECT_TRUE(outcome.warnings.isEmpty());
    }
    // A cancel before the tool ended has no code and nothing to tell but the cancel.
    WriteFile(durnapControl, "work\nsleep 60000\n");
    FakeProgress progress;
    progress.cancelWhen = [&]()
    { return QFile::exists(project + kCardApp + QStringLiteral("/TZM00000/LANG.TXT")); };
    COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"), &progress);
    run.SetToolSource([] { return QStringLiteral("/tools folder"); });
    run.SetTempFolder(temp);
    const COutputRun::Outcome cancelled = run.RunOutput();
    EXPECT_EQ(cancelled.result, COutputRun::Outcome::Cancelled);
    EXPECT_TRUE(cancelled.message.isEmpty());
    EXPECT_EQ(cancelled.toolExitCode, std::nullopt);
    EXPECT_TRUE(messages.shown().isEmpty());
}

// A title that could not be prepared does not stop the run; the outcome says which and why.
TEST_F(OutputRunTest, ATitleLeftOutIsAWarningWithItsReason)
{
    FillProject();
    const QString notAFolder = WriteFile(NewFolder(QStringLiteral("plain")) + "/file", "x");
    COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"));
    run.SetToolSource([] { return QStringLiteral("/tools folder"); });
    run.SetTempFolder(notAFolder);
    const COutputRun::Outcome outcome = run.RunOutput();
    EXPECT_EQ(outcome.result, COutputRun::Outcome::Done);
    ASSERT_EQ(outcome.warnings.size(), 1);
    EXPECT_TRUE(outcome.warnings[0].startsWith(
        QStringLiteral("英語: タイトル画像を置き換えずに出力しました。画面のビットマップ ") +
        notAFolder))
        << outcome.warnings[0].toStdString();
    EXPECT_EQ(run.TitleMask(), 0);
    EXPECT_TRUE(Runs(halbrineRecords).isEmpty());
    EXPECT_EQ(Runs(durnapRecords).size(), 1);
    EXPECT_TRUE(messages.shown().isEmpty());
}

// A native tool's wait is never Wine's: however long it runs, the progress text stays.
TEST_F(OutputRunTest, ANativeToolsLongWaitIsNotTakenForWine)
{
    FillProject();
    WriteFile(durnapControl, "sleep 300\nwork\n");
    FakeProgress progress;
    COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"), &progress);
    run.SetToolSource([folder = QStringLiteral("/tools folder")] { return folder; });
    run.SetTempFolder(temp);
    FakeClock clock;
    run.SetWaitClock(&clock);
    QStringList texts;
    run.SetWaitText([&](const QString& text) { texts << text; });
    const bool cancelled = Stopped(run);
    EXPECT_FALSE(cancelled);
    EXPECT_GT(clock.Now(), 2000);
    EXPECT_TRUE(texts.isEmpty()) << texts.join(u'|').toStdString();
}

TEST_F(OutputRunTest, WithoutTheUnpackedToolsNoTitleIsMadeAndTheRunStops)
{
    FillProject();
    COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"));
    run.SetTempFolder(temp);
    const bool cancelled = Stopped(run);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("出力に使用するファイルが見つかりませんでした。")});
    EXPECT_TRUE(Runs(halbrineRecords).isEmpty());
    EXPECT_TRUE(Runs(durnapRecords).isEmpty());
}

TEST_F(OutputRunTest, WithoutAProjectNothingIsWrittenOrStarted)
{
    FillProject();
    projectPath.clear();
    EXPECT_TRUE(Run(nullptr));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("ファイルが作成できませんでした。")});
    EXPECT_TRUE(Runs(durnapRecords).isEmpty());
    EXPECT_TRUE(Runs(halbrineRecords).isEmpty());
}
} // namespace

namespace
{
// The title replacer and the bind tool, each behaving in the ways a real tool can, under
// fake time: what the run tells, what is left on disk and that nothing of the tool is left.
TEST_F(OutputRunTest, EveryToolBehaviourAtEveryStartingPoint)
{
    const ToolBehaviours behaviours;
    struct StartingPoint
    {
        const char* name;
        const char* variable;
        bool bindTool; // its own work comes before the behaviour
    };
    const StartingPoint points[] = {
        {"title replacer", "HALBRINE_CONTROL", false},
        {"bind tool", "DURNAP_CONTROL", true},
    };
    FillProject();
    const QString control = NewFolder(QStringLiteral("control")) + QStringLiteral("/c");
    for (const StartingPoint& point : points)
    {
        for (const ToolBehaviour& behaviour : behaviours.All())
        {
            SCOPED_TRACE(std::string(point.name) + ": " + behaviour.name);
            QFile::remove(Xml("KPGEditor_Conf.xml"));
            messages.Clear();
            qunsetenv("HALBRINE_CONTROL");
            WriteFile(durnapControl, "work\n");
            QStringList lines = behaviours.Control(behaviour);
            if (point.bindTool)
                lines.prepend(QStringLiteral("work"));
            WriteFile(control, lines.join(u'\n').toUtf8());
            qputenv(point.variable, control.toUtf8());

            const auto lastCard = TestSupport::TreeOf(project + QStringLiteral("/convert/output"));
            FakeProgress progress;
            FakeClock clock;
            behaviours.Schedule(clock, behaviour, [&progress] { progress.ClickCancel(); });
            COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"), &progress);
            run.SetToolSource([folder = QStringLiteral("/tools folder")] { return folder; });
            run.SetTempFolder(temp);
            run.SetWaitClock(&clock);
            const bool cancelled = Stopped(run);

            // What the author is shown: no message of the run's own; the caller tells
            // "cancelled" or "completed" from the flag.
            EXPECT_TRUE(messages.shown().isEmpty());
            EXPECT_EQ(cancelled, behaviour.stopAt40s);
            if (behaviour.stopAt40s)
                ToolBehaviours::ExpectStoppedAt40s(clock);
            if (behaviour.releaseAt40s && point.bindTool)
            {
                // The bar was full long before; the events were still served to the end.
                EXPECT_EQ(progress.Position(), FakeProgress::kUpper);
                EXPECT_GE(progress.pumps, 3250);
            }
            // On disk: the new card tree when the run went through, else the last one as it
            // was; no bind files when the titles were cancelled.
            if (behaviour.stopAt40s)
            {
                EXPECT_EQ(TestSupport::TreeOf(project + QStringLiteral("/convert/output")),
                          lastCard);
            }
            else
                EXPECT_TRUE(
                    QFile::exists(project + kCardApp + QStringLiteral("/TZM00000/LANG.TXT")));
            if (!point.bindTool && behaviour.stopAt40s)
            {
                EXPECT_FALSE(QFile::exists(Xml("KPGEditor_Conf.xml")));
            }
            behaviours.ExpectNothingLeft();
            qunsetenv(point.variable);
        }
    }
}
} // namespace

namespace
{
// The hub killed while its output holds the last card aside (the bind tool has written part
// of a new one): the next output puts the last card back before anything else, here before
// it finds that its bind tool cannot start.
TEST_F(OutputRunTest, AnOutputKilledWhileTheLastCardIsAsideGetsItBackAtTheNextOutput)
{
    FillProject();
    ASSERT_FALSE(Run(nullptr));
    WriteFile(project + kCardApp + QStringLiteral("/TZM00009/OLD.BIN"), "last card");
    const QString output = project + QStringLiteral("/convert/output");
    const auto lastCard = TestSupport::TreeOf(output);
    const QString pidFile = NewFolder(QStringLiteral("pid")) + QStringLiteral("/tool");
    WriteFile(durnapControl, "work\npid " + pidFile.toUtf8() + "\nsleep 60000\n");

    const pid_t hub = ::fork();
    ASSERT_GE(hub, 0);
    if (hub == 0)
    {
        COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"));
        run.SetToolSource([folder = QStringLiteral("/tools folder")] { return folder; });
        run.SetTempFolder(temp);
        Stopped(run);
        ::_exit(0);
    }
    QElapsedTimer waited;
    waited.start();
    while (TestSupport::ReadFile(pidFile).toLongLong() <= 0 && waited.elapsed() < 30000)
        QThread::msleep(10);
    ::kill(hub, SIGKILL);
    ::waitpid(hub, nullptr, 0);
    const qint64 tool = TestSupport::ReadFile(pidFile).toLongLong();
    ASSERT_GT(tool, 0);
    ::kill(-pid_t(tool), SIGKILL);
    EXPECT_EQ(TestSupport::LiveProcessesOfGroup(tool), 0);
    // The kill left the new card's start in the tree and the last one aside.
    ASSERT_NE(TestSupport::TreeOf(output), lastCard);
    ASSERT_FALSE(TestSupport::TreeOf(output).contains(
        QStringLiteral("SD/private/kp/app/6D2E7A10/TZM00009/OLD.BIN")));

    QFile::remove(app + QStringLiteral("/bin/durnap"));
    EXPECT_TRUE(Run(nullptr));
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("出力に使用するファイルが見つかりませんでした。")});
    EXPECT_EQ(TestSupport::TreeOf(output), lastCard);
}
} // namespace
