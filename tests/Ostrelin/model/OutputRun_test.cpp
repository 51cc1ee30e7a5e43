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
#include <gtest/gtest.h>

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
        COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"));
        run.SetProgress(progress);
        run.SetToolFolder(QStringLiteral("/tools folder"));
        run.SetTempFolder(temp);
        bool cancelled = true;
        EXPECT_TRUE(run.RunOutput(&cancelled));
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

TEST_F(OutputRunTest, ToolThatCannotStartIsReportedAndCompletes)
{
    QFile::remove(app + QStringLiteral("/bin/durnap"));
    FakeProgress progress;
    EXPECT_TRUE(Run(&progress));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text,
              QStringLiteral("出力に使用するファイルが見つかりませんでした。"));
    EXPECT_EQ(messages.shown()[0].flags, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(progress.completedFrom, 2500);
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
    // The tool is gone: nothing of it writes after the caller's clean-up.
    CleanOutputFolders(projectPath);
    QThread::msleep(100);
    EXPECT_FALSE(QFile::exists(project + kCardApp + QStringLiteral("/TZM00000")));
}

TEST_F(OutputRunTest, ToolEndingAtOnceJumpsTheBarToTheEnd)
{
    QFile::remove(app + QStringLiteral("/bin/durnap"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/bin/true"), app + QStringLiteral("/bin/durnap")));
    FakeProgress progress;
    EXPECT_FALSE(Run(&progress));
    EXPECT_EQ(progress.completedFrom, 2500 + 2 * progress.Count(2));
    EXPECT_EQ(progress.Position(), 10000);
}

TEST_F(OutputRunTest, ASignalFailsTheRunAndAnExitCodeIsNamedWithTheOutputKept)
{
    FillProject();
    struct Case
    {
        const char* control;
        bool cancelled;
        QStringList messages;
        int exitCode;
    };
    const Case cases[] = {
        {"crash\n", true, {QStringLiteral("出力ツールが異常終了しました。")}, 0},
        {"work\nexit 2\n", false, {}, 2},
        {"work\n", false, {}, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.control);
        messages.Clear();
        WriteFile(durnapControl, c.control);
        COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"));
        run.SetToolFolder(QStringLiteral("/tools folder"));
        run.SetTempFolder(temp);
        bool cancelled = false;
        run.RunOutput(&cancelled);
        EXPECT_EQ(cancelled, c.cancelled);
        EXPECT_EQ(messages.texts(), c.messages);
        EXPECT_EQ(run.ToolExitCode(), c.exitCode);
        // What the tool wrote before it ended stays for the caller to keep or remove.
        EXPECT_TRUE(QFile::exists(project + kCardApp + QStringLiteral("/TZM00000/LANG.TXT")));
    }
}

TEST_F(OutputRunTest, WithoutTheUnpackedToolsNoTitleIsMadeAndTheRunStops)
{
    FillProject();
    COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"));
    run.SetTempFolder(temp);
    bool cancelled = false;
    run.RunOutput(&cancelled);
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

            FakeProgress progress;
            FakeClock clock;
            behaviours.Schedule(clock, behaviour, [&progress] { progress.ClickCancel(); });
            COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"));
            run.SetProgress(&progress);
            run.SetToolFolder(QStringLiteral("/tools folder"));
            run.SetTempFolder(temp);
            run.SetWaitClock(&clock);
            bool cancelled = false;
            run.RunOutput(&cancelled);

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
            // On disk: the card tree when the bind tool ran, no bind files when the titles
            // were cancelled.
            EXPECT_EQ(QFile::exists(project + kCardApp + QStringLiteral("/TZM00000/LANG.TXT")),
                      !behaviour.stopAt40s || point.bindTool);
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
