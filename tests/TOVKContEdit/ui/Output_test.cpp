// The Output command against the stand-in converter: the languages chosen, the folders
// prepared, the converter's command line and current folder, its data files, the report
// of its log, and the window kept alive while it runs.
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/res/Strings.h"
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/shared/XmlContentDumFile.h"
#include "TOVKContEdit/ui/App.h"
#include "TOVKContEdit/ui/MainFrame.h"
#include "TOVKContEdit/ui/Output.h"
#include "TOVKContEdit/ui/ProgressDlg.h"
#include "TOVKContEdit/ui/output_fixture.h"
#include "common/TestSupport.h"
#include "common/ToolBehaviours.h"
#include "framework/LongOperation.h"
#include "platform/Path.h"
#include "platform/RecordingMessages.h"
#include "platform/SetAside.h"
#include "platform/TempFolder.h"

#include <QAction>
#include <QDir>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
using OutputFixture::ShownProgress;

constexpr int JP = 0, EN = 1, FR = 2;

class OutputRun : public OutputFixture::Bench
{
protected:
    void SetUp() override
    {
        // Blanks and quotes in the folder names: the converter gets every path whole.
        MakeProject(QStringLiteral("pro ject \"q\""));
        m_start = TestSupport::StandinFolder();
        ShowFrame();
        m_output.SetToolSource([this] { return m_tools; });
    }
};

TEST_F(OutputRun, NoContentAtAll)
{
    EXPECT_FALSE(m_output.OnUpdateFileOutput());
    m_output.OnFileOutput();
    EXPECT_EQ(m_messages.texts(), (QStringList{"There is no content.", "Failed to output data."}));
    EXPECT_TRUE(Runs().isEmpty());
}

TEST_F(OutputRun, NoWithContentOnlyInAnotherLanguageStartsNothing)
{
    AddRow(1, {EN});
    EXPECT_TRUE(m_output.OnUpdateFileOutput());
    m_messages.Answer(IDNO);
    m_output.OnFileOutput();
    ASSERT_EQ(m_messages.shown().size(), 2);
    EXPECT_EQ(m_messages.shown()[0].text,
              QStringLiteral("Do you output all the languages?\n\nPlease choose \"No\" when you "
                             "output only the displaying language \"JPN\"."));
    EXPECT_EQ(m_messages.shown()[0].flags, MB_YESNOCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(m_messages.shown()[1].text,
              QStringLiteral("Failed to output data.\n\nConversion error."));
    EXPECT_TRUE(Runs().isEmpty());
    EXPECT_TRUE(m_frame.isEnabled());
}

TEST_F(OutputRun, CancelEndsTheCommand)
{
    AddRow(1, {JP});
    m_messages.Answer(IDCANCEL);
    m_output.OnFileOutput();
    EXPECT_EQ(m_messages.shown().size(), 1);
    EXPECT_FALSE(QFileInfo::exists(m_convert + QStringLiteral("/output")));
}

TEST_F(OutputRun, YesConvertsEveryLanguageWithContentInOrder)
{
    AddRow(5, {JP, FR});
    AddRow(3, {FR, JP});
    m_doc.GetRow(1).image2[FR] = m_bmp;
    m_doc.SetPathName(m_convert + QStringLiteral("/input/xml/TOVKContent.xml"), false);
    // Old data of every language goes first, also where nothing is converted now.
    const QStringList codes = {"jp", "en", "fr", "ge", "it", "sp", "cn", "kr", "du"};
    TestSupport::WriteFile(Folder("en") + QStringLiteral("/CEN00001.bin"), "old");
    TestSupport::WriteFile(Folder("du") + QStringLiteral("/OLD.BIN"), "old");
    TestSupport::WriteFile(Folder("jp") + QStringLiteral("/CJP00009.bin"), "old");
    TestSupport::WriteFile(Folder("du") + QStringLiteral("/keep.txt"), "keep");

    m_messages.Answer(IDYES);
    m_output.OnFileOutput();
    EXPECT_EQ(m_messages.texts().last(), QStringLiteral("Output completed."));
    EXPECT_EQ(m_messages.shown().last().flags & MB_ICONMASK, MB_ICONINFORMATION);

    const QList<OutputFixture::RecordedRun> runs = Runs();
    ASSERT_EQ(runs.size(), 2);
    for (int i = 0; i < 2; ++i)
    {
        const QString code = i == 0 ? QStringLiteral("jp") : QStringLiteral("fr");
        EXPECT_EQ(runs[i].cwd, m_convert);
        EXPECT_EQ(runs[i].args, (QStringList{"-i", Folder(code) + "/TOVKContent_" + code + ".xml",
                                             "-opath", Folder(code), "-binpath", m_tools}));
        // The input is a one-language content file, removed after the run.
        QDomDocument input;
        ASSERT_TRUE(input.setContent(runs[i].input));
        const QDomNodeList infos = input.documentElement().elementsByTagName("ContentInfo");
        ASSERT_EQ(infos.size(), 2);
        EXPECT_EQ(infos.at(0).firstChildElement("nLangType").text(),
                  QString::number(i == 0 ? JP : FR));
        EXPECT_EQ(infos.at(0).firstChildElement("nProductNo").text(), "5");
        EXPECT_EQ(infos.at(1).firstChildElement("nProductImgCnt").text(), i == 0 ? "1" : "2");
        EXPECT_FALSE(QFileInfo::exists(runs[i].args[1]));
    }
    for (const QString& code : codes)
        EXPECT_TRUE(QFileInfo(Folder(code)).isDir()) << code.toStdString();
    EXPECT_EQ(QDir(Folder("en")).entryList(QDir::Files), QStringList());
    EXPECT_EQ(QDir(Folder("du")).entryList(QDir::Files), QStringList{"keep.txt"});
    EXPECT_EQ(QDir(Folder("jp")).entryList(QDir::Files),
              (QStringList{"CJP00001.bin", "CJP00002.bin"}));
    const QByteArray data = TestSupport::ReadFile(Folder("fr") + "/CFR00002.bin");
    ASSERT_GE(data.size(), 0x10);
    EXPECT_EQ(quint8(data[0x0C]), 3);
    EXPECT_TRUE(m_frame.isEnabled());
    EXPECT_FALSE(m_frame.IsBusy());
}

TEST_F(OutputRun, NoConvertsTheDisplayLanguageOnly)
{
    AddRow(1, {JP, FR});
    // A name given in other letter case reaches the converter as the file system has it.
    m_doc.GetRow(0).image1[FR] = m_media + QStringLiteral("/A.BMP");
    m_doc.OnViewLanguage(FR);
    m_messages.Answer(IDNO);
    m_output.OnFileOutput();
    EXPECT_TRUE(m_messages.texts().first().contains("\"FRE\""));
    EXPECT_EQ(m_messages.texts().last(), QStringLiteral("Output completed."));
    const QList<OutputFixture::RecordedRun> runs = Runs();
    ASSERT_EQ(runs.size(), 1);
    QDomDocument input;
    ASSERT_TRUE(input.setContent(runs[0].input));
    EXPECT_EQ(input.documentElement()
                  .firstChildElement("ContentInfo")
                  .firstChildElement("strProductImg1")
                  .text(),
              m_bmp);
    // An untitled document names its input after the language alone.
    EXPECT_EQ(runs[0].args.value(1), Folder("fr") + QStringLiteral("/_fr.xml"));
    EXPECT_FALSE(QFileInfo::exists(Folder("jp")));
}

TEST_F(OutputRun, AbortedRunReportsTheKeptLines)
{
    AddRow(1, {JP});
    Control("print Error : marvex : pnum = 12\n"
            "print Path = /p/convert ABORTED!!\n"
            "print Error : marvex : other\n");
    m_messages.Answer(IDYES);
    m_output.OnFileOutput();
    EXPECT_EQ(m_messages.texts().last(),
              QStringLiteral(
                  "Failed to output data.\r\nConfirm Contents data\r\n\r\nItem number = 12\r\n"));
    EXPECT_EQ(m_messages.shown().last().flags & MB_TYPEMASK, MB_OK);
}

TEST_F(OutputRun, AnEarlierLanguagesAbortIsNotLost)
{
    AddRow(1, {JP, FR});
    Control("[jp] print ABORTED!!\n[jp] print Error : marvex : img1 = /p/a.bmp\n[fr] print fine\n");
    m_messages.Answer(IDYES);
    m_output.OnFileOutput();
    EXPECT_EQ(Runs().size(), 2);
    EXPECT_EQ(m_messages.texts().last(),
              QStringLiteral("Failed to output data.\r\nConfirm Contents data\r\n\r\n"
                             "ABORTED!!\r\nImage1 = /p/a.bmp\r\nfine\r\n"));
}

TEST_F(OutputRun, ConverterThatCannotStart)
{
    AddRow(1, {JP});
    m_start = TestSupport::NewFolder(QStringLiteral("no converter"));
    m_messages.Answer(IDYES);
    m_output.OnFileOutput();
    EXPECT_EQ(m_messages.texts(), (QStringList{m_messages.texts().value(0), "Conversion error.",
                                               "Failed to output data.\n\nJPN"}));
    // The input file does not stay behind.
    EXPECT_EQ(QDir(Folder("jp")).entryList(QDir::Files), QStringList());
}

TEST_F(OutputRun, FindingsOfTheCheckStopTheRun)
{
    AddRow(1, {JP});
    AddRow(2, {JP});
    m_doc.GetRow(1).voice[JP].clear();
    m_messages.Answer(IDYES);
    m_output.OnFileOutput();
    ASSERT_EQ(m_messages.shown().size(), 3);
    EXPECT_TRUE(m_messages.texts()[1].startsWith("Row 2: Voice file has not been entered"));
    EXPECT_EQ(m_messages.texts()[2], QStringLiteral("Failed to output data.\n\nJPN"));
    EXPECT_TRUE(Runs().isEmpty());
}

// Every chosen language is checked before any data file goes; a language loses its old data
// only right before its own conversion, and one without content only once every check passed.
TEST_F(OutputRun, ARunThatStopsKeepsTheDataOfEveryLanguageItDidNotConvert)
{
    const struct
    {
        const char* name;
        bool englishFailsItsCheck;
        QByteArray control;
        int runs;
        QStringList oldKept; // of jp, en, fr and du (du has no content)
        QString last;
    } cases[] = {
        {"the second language fails its check",
         true,
         "",
         0,
         {"jp", "en", "fr", "du"},
         "Failed to output data.\n\nENG"},
        {"the second language's converter crashes",
         false,
         "[en] crash\n",
         2,
         {"en", "fr", "du"},
         "The converter ended abnormally.\nFailed to output data.\n\nENG"},
        {"every language converted", false, "", 3, {}, "Output completed."},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        QDir(m_records).removeRecursively();
        QDir(m_convert + "/output").removeRecursively();
        m_doc.ClearRows();
        AddRow(1, {JP, EN, FR});
        if (c.englishFailsItsCheck)
            m_doc.GetRow(0).voice[EN].clear();
        Control(c.control);
        for (const char* code : {"jp", "en", "fr", "du"})
            TestSupport::WriteFile(Folder(code) + "/C" + QString(code).toUpper() + "00009.bin",
                                   "old");
        m_messages.Clear();
        m_messages.Answer(IDYES);
        m_output.OnFileOutput();
        EXPECT_EQ(Runs().size(), c.runs);
        EXPECT_EQ(m_messages.texts().last(), c.last);
        for (const char* code : {"jp", "en", "fr", "du"})
            EXPECT_EQ(
                QFileInfo::exists(Folder(code) + "/C" + QString(code).toUpper() + "00009.bin"),
                c.oldKept.contains(code))
                << code;
    }
}

TEST_F(OutputRun, WindowKeepsHandlingEventsWhileTheConverterRuns)
{
    AddRow(1, {JP});
    Control("sleep 2500\n");
    int ticks = 0;
    bool refusedWhileRunning = true;
    bool disabledWhileRunning = true;
    QString caption, label;
    bool cancelShown = true;
    const qint64 elapsed = OutputWhileTicking(
        [&]
        {
            ++ticks;
            int news = 0;
            m_frame.SetCommandHandler(ID_FILE_NEW, [&news] { ++news; });
            refusedWhileRunning =
                refusedWhileRunning && !m_frame.OnCommand(ID_FILE_NEW) && news == 0;
            disabledWhileRunning = disabledWhileRunning && !m_frame.isEnabled();
            if (CProgressDlg* progress = ShownProgress())
            {
                caption = progress->windowTitle();
                label = progress->Label()->text();
                cancelShown = cancelShown && progress->CancelButton()->isVisible() &&
                              progress->CancelButton()->isEnabled();
            }
        });
    EXPECT_GE(elapsed, 2500);
    EXPECT_GE(ticks, 15);
    EXPECT_TRUE(refusedWhileRunning);
    EXPECT_TRUE(disabledWhileRunning);
    EXPECT_EQ(caption, QStringLiteral("Outputting"));
    EXPECT_EQ(label, QStringLiteral("Outputting content data ... JPN"));
    EXPECT_TRUE(cancelShown);
    EXPECT_TRUE(m_frame.isEnabled());
    EXPECT_EQ(m_messages.texts().last(), QStringLiteral("Output completed."));
}

TEST_F(OutputRun, WithoutAPrivateTemporaryFolderThereIsNoLog)
{
    // A fresh current folder, so a log left there by any earlier run cannot count.
    ASSERT_TRUE(QDir::setCurrent(TestSupport::NewFolder(QStringLiteral("cwd"))));
    AddRow(1, {JP});
    Control("print ABORTED!!\n");
    // A link in place of the private folder makes it unsafe to use.
    const QString temp = TempFolder();
    ASSERT_FALSE(temp.isEmpty());
    ASSERT_TRUE(QDir().rename(temp, temp + QStringLiteral(".real")));
    ASSERT_TRUE(QFile::link(temp + QStringLiteral(".real"), temp));
    ASSERT_TRUE(TempFolder().isEmpty());
    m_messages.Answer(IDYES);
    m_output.OnFileOutput();
    QFile::remove(temp);
    QDir().rename(temp + QStringLiteral(".real"), temp);

    EXPECT_EQ(Runs().size(), 1);
    EXPECT_EQ(m_messages.shown().size(), 1); // the question only: no log, no report
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("marvex.log")));
    EXPECT_FALSE(QFileInfo::exists(m_convert + QStringLiteral("/marvex.log")));
}

// What the author is shown, and what stays on disk, for each way the converter can end.
TEST_F(OutputRun, EachWayTheConverterEndsIsToldAsItIs)
{
    struct Case
    {
        const char* name;
        QByteArray control;
        bool tools;  // the tool folder can be had
        bool cancel; // Cancel is clicked once the converter runs
        QStringList messages;
        int runs; // converter starts (Japanese, then French unless stopped)
    };
    const Case cases[] = {
        {"signal",
         "[jp] crash\n",
         true,
         false,
         {"The converter ended abnormally.\nFailed to output data.\n\nJPN"},
         1},
        {"exit code",
         "[jp] exit 2\n",
         true,
         false,
         {"JPN: the converter ended with exit code 2. The data files of the last output were "
          "kept."},
         2},
        {"exit code, then a signal",
         "[jp] exit 2\n[fr] crash\n",
         true,
         false,
         {"JPN: the converter ended with exit code 2. The data files of the last output were "
          "kept.\n\nThe converter ended abnormally.\nFailed to output data.\n\nFRE"},
         2},
        {"hang, cancel", "[jp] sleep 60000\n", true, true, {"Failed to output data.\n\nJPN"}, 1},
        {"no data file written",
         "[jp] nofiles\n",
         true,
         false,
         {"JPN: the converter marvex reported success but wrote no data file. The data files of "
          "the last output were kept."},
         2},
        {"empty data files written",
         "[jp] emptyfiles\n",
         true,
         false,
         {"JPN: the converter marvex reported success but wrote no data file. The data files of "
          "the last output were kept."},
         2},
        {"no tools", "", false, false, {"Conversion error.", "Failed to output data.\n\nJPN"}, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        QDir(m_records).removeRecursively();
        QDir(m_convert + "/output").removeRecursively();
        m_doc.ClearRows();
        AddRow(1, {JP, FR});
        Control(c.control);
        m_tools = c.tools ? m_project + QStringLiteral("/tools dir") : QString();
        WriteOldData({"jp"});
        m_messages.Clear();
        // Once the converter has written its files and hangs.
        OutputFixture::CancelProbe probe(
            [&] { return c.cancel && QFileInfo::exists(Folder("jp") + "/CJP00001.bin"); });
        m_messages.Answer(IDYES);
        m_output.OnFileOutput();
        probe.Stop();
        if (c.cancel)
        {
            ASSERT_TRUE(probe.clicked.isValid());
            // The converter was killed and reaped, not waited for.
            EXPECT_LT(probe.clicked.elapsed(), 1000);
        }
        EXPECT_EQ(m_messages.texts().mid(1), c.messages);
        EXPECT_EQ(Runs().size(), c.runs);
        // The Japanese language was not converted: its last data is back, and only that.
        EXPECT_EQ(QDir(Folder("jp")).entryList(QDir::Files), QStringList{"CJP00009.bin"});
        EXPECT_EQ(TestSupport::ReadFile(OldData("jp")), "old");
        // The converter's input never stays behind.
        EXPECT_FALSE(QFileInfo::exists(Folder("jp") + "/_jp.xml"));
        EXPECT_FALSE(m_frame.IsBusy());
        EXPECT_TRUE(m_frame.isEnabled());
    }
}

// A termination request in each phase of the run cancels it, lets it clean up as Cancel does
// and then closes the window, with nothing shown that waits for the author.
TEST_F(OutputRun, ATerminationRequestStopsTheRunAndThenCloses)
{
    const auto everyOldDataKept = [this]
    {
        for (const char* code : {"jp", "en", "du"})
            if (!QFileInfo::exists(OldData(code)))
                return false;
        return true;
    };
    const struct
    {
        const char* name;
        QByteArray control;
        // True in the phase the request comes in.
        std::function<bool()> during;
        // The table's last row has findings that the check would show if it ran through.
        bool lastRowFaulty;
    } cases[] = {
        {"the check of a long table", "", [&] { return Runs().isEmpty() && everyOldDataKept(); },
         true},
        {"the converter's wait", "sleep 60000\n", [this] { return !Runs().isEmpty(); }, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_doc.ClearRows();
        for (int number = 1; number <= 300; ++number)
            AddRow(number, {JP, EN});
        if (c.lastRowFaulty)
            m_doc.GetRow(299).voice[JP].clear();
        QDir(m_records).removeRecursively();
        WriteOldData({"jp", "en", "du"});
        Control(c.control);
        m_frame.show();
        bool closed = false;
        bool requested = false;
        m_frame.SetCloseHandler([&closed] { return closed = true; });
        // Looks at every pass of the event loop.
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout,
                         [&]
                         {
                             if (!requested && m_frame.IsBusy() && c.during())
                             {
                                 requested = true;
                                 // What the program's termination handler does.
                                 CLongOperation::RequestTermination([this] { m_frame.close(); });
                             }
                         });
        probe.start(0);
        m_messages.Clear();
        m_messages.Answer(IDYES);
        QElapsedTimer clock;
        clock.start();
        m_output.OnFileOutput();
        probe.stop();
        EXPECT_TRUE(requested);
        EXPECT_LT(clock.elapsed(), 30000);
        // Nothing waits for the author once the program is ending: no findings, no outcome.
        EXPECT_EQ(m_messages.texts().size(), 1);
        // The old data of every language stays, also that of the language being converted.
        EXPECT_TRUE(everyOldDataKept());
        QCoreApplication::processEvents();
        CLongOperation::ResetTermination();
        EXPECT_TRUE(closed);
        EXPECT_FALSE(m_frame.isVisible());
    }
}

// The data files a conversion sets aside are the regular files with the extension ".bin" in
// any letter case.
TEST(OutputFolders, EnsureAndTheDataFilesSetAside)
{
    const QString root = TestSupport::NewFolder(QStringLiteral("bins"));
    EXPECT_TRUE(CTOVKContEditDoc::EnsureFolder(root + QStringLiteral("/a")));
    EXPECT_TRUE(CTOVKContEditDoc::EnsureFolder(root + QStringLiteral("/a")));
    EXPECT_FALSE(CTOVKContEditDoc::EnsureFolder(root + QStringLiteral("/x/y")));
    TestSupport::WriteFile(root + QStringLiteral("/a/one.bin"), "1");
    TestSupport::WriteFile(root + QStringLiteral("/a/TWO.Bin"), "2");
    TestSupport::WriteFile(root + QStringLiteral("/a/three.bin.txt"), "3");
    QDir().mkpath(root + QStringLiteral("/a/folder.bin"));
    SetAside old(root + QStringLiteral("/a"), QStringLiteral("*.bin"));
    ASSERT_TRUE(old.Move());
    EXPECT_EQ(QDir(root + QStringLiteral("/a")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"folder.bin", "three.bin.txt"}));
}

TEST(OutputCommand, TheProgramsOutputCommandUsesItsStartFolderAndTools)
{
    Strings::Install(ContEditStringsEN());
    RecordingMessages messages;
    const QString project = TestSupport::NewFolder(QStringLiteral("program"));
    const QString convert = project + QStringLiteral("/convert");
    const QString file = convert + QStringLiteral("/input/xml/TOVKContent.xml");
    QDir().mkpath(QFileInfo(file).path());
    ContentRecord record;
    record.nLangType = EN;
    record.nProductNo = 4;
    record.nProductImgCnt = 1;
    record.strProductImg1 =
        TestSupport::WriteFile(project + QStringLiteral("/a.bmp"), ChecksFixtures::GuideBmp(2));
    record.strProductWav =
        TestSupport::WriteFile(project + QStringLiteral("/a.wav"),
                               ChecksFixtures::MakeWav(1, 16000, 16, ChecksFixtures::Samples(320)));
    record.strProductTxt = QStringLiteral("Text");
    ASSERT_TRUE(CXmlContentDumFile().Save(file, {record}));
    const QString records = project + QStringLiteral("/runs");
    qputenv("MARVEX_RECORD", records.toUtf8());

    CTOVKContEditApp app;
    ASSERT_TRUE(app.InitInstance({QStringLiteral("-d"), convert, file}));
    app.m_szStartFolder = TestSupport::StandinFolder();
    // Another program took the shared tools away: they are unpacked again for the run.
    QDir(app.m_strToolFolder).removeRecursively();
    app.GetMainWnd()->UpdateCommandUI();
    EXPECT_TRUE(app.GetMainWnd()->Action(ID_FILE_OUTPUT)->isEnabled());
    messages.Answer(IDNO);
    EXPECT_TRUE(app.GetMainWnd()->OnCommand(ID_FILE_OUTPUT));
    EXPECT_EQ(messages.texts().last(), QStringLiteral("Output completed."));
    const QString run =
        QString::fromUtf8(TestSupport::ReadFile(records + QStringLiteral("/run-1.txt")));
    EXPECT_TRUE(run.contains(QStringLiteral("arg\t-binpath\narg\t") + app.m_strToolFolder + u'\n'))
        << run.toStdString();
    EXPECT_TRUE(run.contains(QStringLiteral("cwd\t") + convert + u'\n')) << run.toStdString();
    EXPECT_TRUE(QFileInfo::exists(convert + QStringLiteral("/output/contents/en/CEN00001.bin")));
    EXPECT_TRUE(QFileInfo::exists(app.m_strToolFolder + QStringLiteral("/exe/zulmet.exe")));
    app.ExitInstance();
    qunsetenv("MARVEX_RECORD");
}
// The converter behaving in the ways a real tool can, under fake time: what the author is
// shown, the data files left and that nothing of the converter is left.
TEST_F(OutputRun, EveryConverterBehaviour)
{
    const ToolBehaviours behaviours;
    AddRow(1, {JP});
    for (const ToolBehaviour& behaviour : behaviours.All())
    {
        SCOPED_TRACE(behaviour.name);
        m_messages.Clear();
        Control(behaviours.Control(behaviour).join(u'\n').toUtf8());
        FakeClock clock;
        behaviours.Schedule(clock, behaviour,
                            [this]
                            {
                                QMetaObject::invokeMethod(
                                    qApp, [this] { m_output.Cancel(); }, Qt::QueuedConnection);
                            });
        CLongOperation::SetWaitClock(&clock);
        m_messages.Answer(IDYES);
        m_output.OnFileOutput();
        CLongOperation::SetWaitClock(nullptr);

        EXPECT_EQ(m_messages.texts().mid(1),
                  QStringList{behaviour.stopAt40s ? QStringLiteral("Failed to output data.\n\nJPN")
                                                  : QStringLiteral("Output completed.")});
        if (behaviour.stopAt40s)
            ToolBehaviours::ExpectStoppedAt40s(clock);
        // The data files of the case before stay where a run was stopped.
        EXPECT_TRUE(QFileInfo::exists(Folder("jp") + "/CJP00001.bin"));
        behaviours.ExpectNothingLeft();
        EXPECT_FALSE(m_frame.IsBusy());
    }
}

// A Windows converter whose Wine takes its time before the converter prints anything: the
// label says Wine is preparing from a second into the wait, and names the language again once
// the converter has printed.
TEST_F(OutputRun, WhileWineIsPreparingTheLabelSaysSo)
{
    const QString wine = TestSupport::NewFolder(QStringLiteral("slow wine"));
    TestSupport::WriteFile(wine + "/wine", "#!/bin/sh\n/bin/sleep 2\necho converting\n"
                                           "/bin/sleep 1\n");
    QFile::setPermissions(wine + "/wine", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_start = TestSupport::NewFolder(QStringLiteral("windows converter"));
    TestSupport::WriteFile(m_start + "/marvex.exe", "MZ");
    const QByteArray path = qgetenv("PATH");
    const QByteArray prefix = qgetenv("WINEPREFIX");
    qputenv("PATH", wine.toUtf8() + ':' + path);
    qputenv("WINEPREFIX", (m_project + "/new prefix").toUtf8());
    AddRow(1, {JP});
    QStringList labels;
    OutputWhileTicking(
        [&]
        {
            if (CProgressDlg* progress = ShownProgress())
                if (labels.isEmpty() || labels.last() != progress->Label()->text())
                    labels << progress->Label()->text();
        });
    qputenv("PATH", path);
    qputenv("WINEPREFIX", prefix);
    if (prefix.isEmpty())
        qunsetenv("WINEPREFIX");
    EXPECT_EQ(labels, (QStringList{"Outputting content data ... JPN", "Wine is preparing ...",
                                   "Outputting content data ... JPN"}));
}

// A data file of an earlier output as the hub reads it: the work number at 0x0C.
QByteArray EarlierData(quint32 work)
{
    QByteArray bytes(0xC4, '\0');
    bytes.replace(0, 4, "CBIN");
    for (int b = 0; b < 4; ++b)
        bytes[0x0C + b] = char(work >> (8 * b));
    return bytes;
}

// The languages the hub's scan of the project finds data for.
quint16 ScannedLanguages(const QString& project)
{
    Strings::Install(OstrelinStringsJA());
    COstrelinDoc hub;
    hub.ScanContentFiles(project);
    Strings::Install(ContEditStringsEN());
    return hub.GetBindData().m_wContentLanguages;
}

// Each way a converter run can end, for the display language alone and for all languages:
// every language that was not converted keeps the data of the last output byte for byte, and
// the hub still finds it; a converted one holds the new data alone.
TEST_F(OutputRun, EveryLanguageNotConvertedKeepsItsLastDataWhateverTheConverterDid)
{
    enum Stop
    {
        None,
        CancelClicked,
        TerminationRequested,
    };
    struct Case
    {
        const char* name;
        QByteArray control;
        bool startable;
        Stop stop;
        bool converts; // each language it runs for
    };
    const Case cases[] = {
        {"not startable", "", false, None, false},
        {"crash", "crash\n", true, None, false},
        {"abort", "nofiles\nprint ABORTED!!\n", true, None, false},
        {"no data", "nofiles\n", true, None, false},
        {"cancel", "sleep 60000\n", true, CancelClicked, false},
        {"termination request", "sleep 60000\n", true, TerminationRequested, false},
        {"success", "", true, None, true},
    };
    const QStringList codes = {"jp", "en", "du"}; // du has no content
    const QString standins = m_start;
    for (const Case& c : cases)
        for (const bool all : {false, true})
        {
            SCOPED_TRACE(std::string(c.name) + (all ? ", all languages" : ", one language"));
            QDir(m_records).removeRecursively();
            QDir(m_convert + "/output").removeRecursively();
            m_doc.ClearRows();
            AddRow(1, {JP, EN});
            for (int i = 0; i < codes.size(); ++i)
                TestSupport::WriteFile(OldData(codes[i]), EarlierData(900 + i));
            Control(c.control);
            m_start = c.startable ? standins : TestSupport::NewFolder(QStringLiteral("empty"));
            bool requested = false;
            QTimer probe;
            QObject::connect(&probe, &QTimer::timeout,
                             [&]
                             {
                                 if (requested || Runs().isEmpty() || !ShownProgress())
                                     return;
                                 requested = true;
                                 if (c.stop == CancelClicked)
                                     QTest::mouseClick(ShownProgress()->CancelButton(),
                                                       Qt::LeftButton);
                                 else if (c.stop == TerminationRequested)
                                     CLongOperation::RequestTermination([] {});
                             });
            if (c.stop != None)
                probe.start(20);
            m_messages.Clear();
            m_messages.Answer(all ? IDYES : IDNO);
            m_output.OnFileOutput();
            probe.stop();
            QCoreApplication::processEvents();
            CLongOperation::ResetTermination();
            EXPECT_EQ(requested, c.stop != None);
            // A crash or a stop ends the run at the first language; an abort does not.
            const bool stopsRun = c.stop != None || c.control == "crash\n";
            EXPECT_EQ(Runs().size(), !c.startable ? 0 : stopsRun || !all ? 1 : 2);

            quint16 expected = 0;
            for (int i = 0; i < codes.size(); ++i)
            {
                SCOPED_TRACE(codes[i].toStdString());
                const bool ranFor = i == 0 || (all && i == 1);
                const QStringList data = QDir(Folder(codes[i])).entryList({"*.bin"}, QDir::Files);
                if (c.converts && ranFor)
                {
                    EXPECT_EQ(data, QStringList{"C" + codes[i].toUpper() + "00001.bin"});
                }
                else if (c.converts && all && codes[i] == "du")
                {
                    EXPECT_EQ(data, QStringList()); // stale data of a language without content
                    continue;
                }
                else
                {
                    EXPECT_EQ(data, QStringList{QFileInfo(OldData(codes[i])).fileName()});
                    EXPECT_EQ(TestSupport::ReadFile(OldData(codes[i])), EarlierData(900 + i));
                }
                expected |= quint16(1u << (codes[i] == "du" ? 8 : i));
            }
            EXPECT_EQ(ScannedLanguages(m_project), expected);
            // Nothing waits aside.
            EXPECT_EQ(QDir(m_convert + "/output/contents")
                          .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                          .filter(QRegularExpression("^\\.")),
                      QStringList());
            if (c.stop == TerminationRequested)
            {
                EXPECT_EQ(m_messages.texts().size(), 1);
            }
            // An abort is told by its report alone.
            if (QByteArray(c.name) == "abort")
            {
                EXPECT_TRUE(m_messages.texts().last().startsWith(
                    "Failed to output data.\r\nConfirm Contents data"));
                EXPECT_FALSE(m_messages.texts().join(u'\n').contains("wrote no data file"));
            }
        }
}

// The editor killed while the converter runs leaves the old data aside and the new half
// written; the next Output puts the old data back before anything else, even when the
// author then cancels at its first question.
TEST_F(OutputRun, AfterTheEditorWasKilledTheNextOutputPutsTheOldDataBack)
{
    AddRow(1, {JP});
    WriteOldData({"jp"});
    TestSupport::WriteFile(OldData("jp"), EarlierData(77));
    const QString pidFile = m_project + QStringLiteral("/converter.pid");
    Control("pid " + pidFile.toUtf8() + "\nsleep 60000\n");
    m_messages.Answer(IDYES);
    const pid_t editor = ::fork();
    ASSERT_GE(editor, 0);
    if (editor == 0)
    {
        m_output.OnFileOutput();
        ::_exit(0);
    }
    // Once the converter has written its data and waits.
    QElapsedTimer waited;
    waited.start();
    while (!(QFileInfo::exists(pidFile) && QFileInfo::exists(Folder("jp") + "/CJP00001.bin")) &&
           waited.elapsed() < 30000)
        QThread::msleep(10);
    ::kill(editor, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(editor, &status, 0), editor);
    const qint64 converter = TestSupport::ReadFile(pidFile).toLongLong();
    ASSERT_GT(converter, 0);
    ::kill(pid_t(-converter), SIGKILL);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_FALSE(QFileInfo::exists(OldData("jp")));
    ASSERT_EQ(ScannedLanguages(m_project) & 1u, 1u); // the half-written new data

    m_messages.Clear();
    m_messages.Answer(IDCANCEL);
    m_output.OnFileOutput();
    EXPECT_EQ(QDir(Folder("jp")).entryList({"*.bin"}, QDir::Files), QStringList{"CJP00009.bin"});
    EXPECT_EQ(TestSupport::ReadFile(OldData("jp")), EarlierData(77));
    EXPECT_EQ(QDir(m_convert + "/output/contents")
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                  .filter(QRegularExpression("^\\.")),
              QStringList());
    EXPECT_EQ(ScannedLanguages(m_project), 1u);
}

} // namespace
