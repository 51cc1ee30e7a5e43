// The output run with the Windows title replacer and bind tool the authors have, run
// through Wine: the stand-ins record what they opened, so a path they could not use shows,
// and the card tree comes back as with the native ones. All cases share this program's Wine
// prefix.
#include "Ostrelin/OutputFixtures.h"
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/model/OutputRun.h"
#include "Ostrelin/res/Strings.h"
#include "common/FakeClock.h"
#include "common/WineTest.h"
#include "platform/RecordingMessages.h"
#include "platform/Wine.h"

#include <QDomDocument>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace
{
using namespace OutputFixtures;
using TestSupport::NewFolder;
using TestSupport::ReadFile;
using TestSupport::WriteFile;

QString W(const QString& path)
{
    return Wine::WindowsPath(path);
}

// The lines of a Windows stand-in's record for one key ("arg", "opened", "missing").
QStringList Lines(const QString& record, const char* key)
{
    return TestSupport::RecordValues(record, QString::fromLatin1(key));
}

class OutputWine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        REQUIRE_WINE();
        Strings::Install(OstrelinStringsJA());
        project = NewFolder(QStringLiteral("my guide \u00e9"));
        projectPath = project + QStringLiteral("/Guide.olx");
        app = NewFolder(QStringLiteral("app"));
        ASSERT_TRUE(TestSupport::InstallWindowsStandin(
            QStringLiteral("durnap"), app + QStringLiteral("/bin"), QStringLiteral("Durnap.EXE")));
        ASSERT_TRUE(TestSupport::InstallWindowsStandin(QStringLiteral("halbrine"),
                                                       app + QStringLiteral("/bin"),
                                                       QStringLiteral("halbrine.exe")));
        durnapRecords = NewFolder(QStringLiteral("durnap-records"));
        halbrineRecords = NewFolder(QStringLiteral("halbrine-records"));
        qputenv("DURNAP_RECORD", W(durnapRecords).toUtf8());
        qputenv("HALBRINE_RECORD", W(halbrineRecords).toUtf8());
        tools = NewFolder(QStringLiteral("tools folder"));
        temp = NewFolder(QStringLiteral("temp"));
    }
    void TearDown() override
    {
        qunsetenv("DURNAP_RECORD");
        qunsetenv("HALBRINE_RECORD");
    }

    void FillProject() { OutputFixtures::FillProject(doc, project); }

    QString Xml(const char* name) const { return InputXml(project, name); }

    QString project, projectPath, app, tools, temp, durnapRecords, halbrineRecords;
    COstrelinDoc doc;
    RecordingMessages messages;
};

TEST_F(OutputWine, TitleAndBindToolOpenEveryFileTheyAreGivenAndWriteTheCardTree)
{
    FillProject();
    FakeProgress progress;
    COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"), &progress);
    run.SetToolSource([folder = tools] { return folder; });
    run.SetTempFolder(temp);
    const bool cancelled = Stopped(run);
    EXPECT_FALSE(cancelled);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();
    EXPECT_EQ(run.TitleMask(), 0x0002);

    const QString titleFolder = project + QStringLiteral("/convert/output/title");
    const QString titleRecord = halbrineRecords + QStringLiteral("/run-1.txt");
    EXPECT_EQ(Lines(titleRecord, "cwd"), QStringList{W(app + QStringLiteral("/bin"))});
    EXPECT_EQ(Lines(titleRecord, "arg"),
              (QStringList{"-i", W(temp + QStringLiteral("/200_en.bmp")), "-o", W(titleFolder),
                           "-lang", "EN", "-bin", W(tools)}));
    EXPECT_TRUE(Lines(titleRecord, "missing").isEmpty());
    EXPECT_EQ(Lines(titleRecord, "opened").size(), 3); // the tool folder, the bitmap, -o
    EXPECT_FALSE(QFileInfo::exists(halbrineRecords + QStringLiteral("/run-2.txt")));

    const QString record = durnapRecords + QStringLiteral("/run-1.txt");
    const QString sd = project + QStringLiteral("/convert/output/SD");
    EXPECT_EQ(Lines(record, "cwd"), QStringList{W(app + QStringLiteral("/bin"))});
    EXPECT_EQ(Lines(record, "arg"), (QStringList{"-conf", W(Xml("KPGEditor_Conf.xml")), "-info",
                                                 W(Xml("KPGEditor_Info.xml")), "-out", W(sd)}));
    EXPECT_TRUE(Lines(record, "missing").isEmpty())
        << Lines(record, "missing").join(u'\n').toStdString();
    // The two files, the title and the four data files.
    const QStringList opened = Lines(record, "opened");
    EXPECT_EQ(opened.size(), 7) << opened.join(u'\n').toStdString();
    EXPECT_TRUE(opened.contains(W(titleFolder + QStringLiteral("/REN000.BIN"))));

    // The files written for the tool name the data files in its form.
    QDomDocument conf;
    ASSERT_TRUE(conf.setContent(ReadFile(Xml("KPGEditor_Conf.xml"))));
    EXPECT_EQ(conf.documentElement().elementsByTagName("strTitleImg").at(0).toElement().text(),
              W(titleFolder + QStringLiteral("/REN000.BIN")));
    QDomDocument info;
    ASSERT_TRUE(info.setContent(ReadFile(Xml("KPGEditor_Info.xml"))));
    const QDomNodeList resources = info.documentElement().elementsByTagName("strResource");
    ASSERT_EQ(resources.size(), 4);
    for (int i = 0; i < resources.size(); ++i)
        EXPECT_TRUE(resources.at(i).toElement().text().startsWith(W(project) + "\\convert\\"));

    // The card tree is what the native bind tool writes.
    EXPECT_TRUE(QFile::exists(project + kCardApp + QStringLiteral("/TZM00000/REN000.BIN")));
    EXPECT_TRUE(QFile::exists(project + kCardApp + QStringLiteral("/TZM00002/CEN00002.bin")));
    EXPECT_EQ(ReadFile(project + kCardApp + QStringLiteral("/TZM00000/LANG.TXT")),
              QByteArray("EN\nJP\nEN"));
    EXPECT_EQ(ReadFile(project + kCardApp + QStringLiteral("/TZM00002/SERVER.TXT")),
              QByteArray("A0001\nCONTENTS\n7"));
    EXPECT_EQ(progress.Position(), 10000);
}

TEST_F(OutputWine, CancelWhileTheWindowsBindToolRunsStopsIt)
{
    FillProject();
    const QString control = NewFolder(QStringLiteral("durnap-control")) + QStringLiteral("/c");
    WriteFile(control, "work\nsleep 60000\n");
    qputenv("DURNAP_CONTROL", W(control).toUtf8());
    FakeProgress progress;
    // Once the tool has written its tree it hangs; the user cancels.
    progress.cancelWhen = [&]
    { return QFile::exists(project + kCardApp + QStringLiteral("/TZM00000/LANG.TXT")); };
    COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"), &progress);
    run.SetToolSource([folder = tools] { return folder; });
    run.SetTempFolder(temp);
    QElapsedTimer timer;
    timer.start();
    const bool cancelled = Stopped(run);
    qunsetenv("DURNAP_CONTROL");
    EXPECT_TRUE(cancelled);
    EXPECT_LT(timer.elapsed(), 30000);
    EXPECT_TRUE(progress.cancel);
    EXPECT_EQ(progress.completedFrom, -1);
    EXPECT_TRUE(messages.shown().isEmpty());
}
// What the author is shown, and what the run leaves, for each way Wine can fail the bind
// tool or the title replacer.
TEST_F(OutputWine, EachWineFailureOfTheBindToolAndTheTitleReplacerIsToldAsItIs)
{
    if (!TestSupport::WineFailureScene::Possible())
        GTEST_SKIP() << "the 64-bit Wine loader is not where Debian puts it";
    using F = TestSupport::WineFailure;
    const QString missing = QStringLiteral("出力に使用するファイルが見つかりませんでした。\n\n");
    const QString cannot32 =
        QStringLiteral(": このコンピューターでは 32 ビットの Windows プログラムを実行できません。");
    const QString control = NewFolder(QStringLiteral("control")) + QStringLiteral("/c");
    for (const bool title : {false, true})
    {
        for (const F failure : {F::No32BitLoader, F::I386Tool, F::UnusablePrefix, F::Exception})
        {
            const QString tool =
                title ? QStringLiteral("halbrine.exe") : QStringLiteral("Durnap.EXE");
            SCOPED_TRACE(tool.toStdString() + ", " + TestSupport::NameOf(failure));
            const QString bin = NewFolder(QStringLiteral("app")) + QStringLiteral("/bin");
            ASSERT_TRUE(TestSupport::InstallWindowsStandin(QStringLiteral("durnap"), bin,
                                                           QStringLiteral("Durnap.EXE")));
            ASSERT_TRUE(TestSupport::InstallWindowsStandin(QStringLiteral("halbrine"), bin,
                                                           QStringLiteral("halbrine.exe")));
            const TestSupport::WineFailureScene scene(failure, bin + u'/' + tool);
            WriteFile(control, failure != F::Exception ? "" : title ? "crash\n" : "work\ncrash\n");
            qputenv(title ? "HALBRINE_CONTROL" : "DURNAP_CONTROL", W(control).toUtf8());
            COstrelinDoc caseDoc;
            OutputFixtures::FillProject(caseDoc, project);
            if (!title)
                caseDoc.GetBindData().m_wTitleLanguages = 0;
            messages.Clear();
            const QString output = project + QStringLiteral("/convert/output");
            const auto before = TestSupport::TreeOf(output);
            COutputRun run(caseDoc, projectPath, QFileInfo(bin).path(), bin);
            run.SetToolSource([folder = tools] { return folder; });
            run.SetTempFolder(temp);
            const bool cancelled = Stopped(run);
            qunsetenv("HALBRINE_CONTROL");
            qunsetenv("DURNAP_CONTROL");

            const bool titleFile =
                QFile::exists(project + QStringLiteral("/convert/output/title/REN000.BIN"));
            const bool card =
                QFile::exists(project + kCardApp + QStringLiteral("/TZM00000/LANG.TXT"));
            QStringList expected;
            bool stopped = true; // the run has removed what it wrote
            switch (failure)
            {
            case F::No32BitLoader:
                stopped = false;
                break;
            case F::I386Tool:
                expected = {missing + tool + cannot32};
                break;
            case F::UnusablePrefix:
                // Known before the run: nothing is started.
                expected = {missing + tool + QStringLiteral(": Wine のプレフィックス フォルダー ") +
                            qEnvironmentVariable("WINEPREFIX") +
                            QStringLiteral(" を使用できません。自分が所有するフォルダーか、"
                                           "作成できるフォルダーである必要があります。")};
                break;
            case F::Exception:
                // As a native tool ended by a signal: a replacer's language is left out and
                // the output goes on; the bind tool's card is no finished output, so it goes.
                if (title)
                    stopped = false;
                else
                    expected = {QStringLiteral("出力ツールが異常終了しました。")};
                break;
            }
            EXPECT_EQ(messages.texts(), expected);
            EXPECT_EQ(cancelled, stopped);
            const bool titleMade = title && failure == F::No32BitLoader;
            EXPECT_EQ(run.TitleMask(), titleMade ? 0x0002 : 0);
            // A run that went through replaced the card and the titles; one that did not
            // left them as they were.
            if (stopped)
            {
                EXPECT_EQ(TestSupport::TreeOf(output), before);
            }
            else
            {
                EXPECT_TRUE(card);
                EXPECT_EQ(titleFile, titleMade);
            }
        }
    }
}
} // namespace

namespace
{
// While Wine readies itself for the Windows bind tool (seconds of the wait's time before the
// tool writes anything) the progress says so, and the normal text comes back once the card
// is being written.
TEST_F(OutputWine, WhileWineIsPreparingTheProgressSaysSo)
{
#if defined(__SANITIZE_ADDRESS__)
    // The fake clock counts the run's own slices: made slow by the sanitizer, they add up to
    // less than Wine's start takes, so the note's second is never reached.
    GTEST_SKIP() << "the wait's slices are too slow under the sanitizer to time Wine's start";
#endif
    FillProject();
    doc.GetBindData().m_wTitleLanguages = 0;
    FakeProgress progress;
    COutputRun run(doc, projectPath, app, app + QStringLiteral("/bin"), &progress);
    run.SetToolSource([folder = tools] { return folder; });
    run.SetTempFolder(temp);
    // Each slice of the fake clock takes a fraction of a millisecond: Wine's start is seconds
    // of it.
    FakeClock clock;
    run.SetWaitClock(&clock);
    QStringList texts;
    bool cardWhenNoted = true;
    run.SetWaitText(
        [&](const QString& text)
        {
            texts << text;
            if (texts.size() == 1)
                cardWhenNoted = QFile::exists(project + kCardApp + QStringLiteral("/TZM00000"));
        });
    const bool cancelled = Stopped(run);
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("Wine を準備しています ..."), QStringLiteral("出力中")}));
    EXPECT_FALSE(cardWhenNoted);
}
} // namespace
