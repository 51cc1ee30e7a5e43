// The Output command with the converter the authors have, "marvex.exe", run through Wine:
// the Windows stand-in must be given Windows paths it can open, on its command line and in
// its input file, its data files come back as with the native converter, and its log is
// read in Wine's ANSI code page. All cases share this program's Wine prefix.
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/shared/XmlContentDumFile.h"
#include "TOVKContEdit/ui/output_fixture.h"
#include "common/WineTest.h"
#include "platform/Wine.h"

#include <QDir>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace
{
constexpr int JP = 0, FR = 2;

QString W(const QString& path)
{
    return Wine::WindowsPath(path);
}

class OutputWine : public OutputFixture::Bench
{
protected:
    void SetUp() override
    {
        REQUIRE_WINE();
        // Blanks and a letter outside ASCII: every path must reach the tool whole.
        MakeProject(QStringLiteral("pro ject \u00e9"), W);
        QDir().mkpath(m_tools);
        m_start = TestSupport::NewFolder(QStringLiteral("start"));
        ASSERT_TRUE(TestSupport::InstallWindowsStandin(QStringLiteral("marvex"), m_start,
                                                       QStringLiteral("MARVEX.exe")));
        ShowFrame();
    }
};

TEST_F(OutputWine, TheWindowsConverterOpensEveryFileItIsGivenAndWritesTheDataFiles)
{
    AddRow(5, {JP, FR});
    AddRow(3, {FR, JP});
    m_doc.SetPathName(m_convert + QStringLiteral("/input/xml/TOVKContent.xml"), false);
    Control("print Caf\xc3\xa9 \xe2\x82\xac\n");
    m_messages.Answer(IDYES);
    m_output.OnFileOutput();
    EXPECT_EQ(m_messages.texts().last(), QStringLiteral("Output completed."))
        << m_messages.texts().join(u'|').toStdString();

    const QList<OutputFixture::RecordedRun> runs = Runs();
    ASSERT_EQ(runs.size(), 2);
    for (int i = 0; i < 2; ++i)
    {
        const QString code = i == 0 ? QStringLiteral("jp") : QStringLiteral("fr");
        const QString input = Folder(code) + "/TOVKContent_" + code + ".xml";
        EXPECT_EQ(runs[i].cwd, W(m_convert));
        EXPECT_EQ(runs[i].args,
                  (QStringList{"-i", W(input), "-opath", W(Folder(code)), "-binpath", W(m_tools)}));
        EXPECT_TRUE(runs[i].missing.isEmpty()) << runs[i].missing.join(u' ').toStdString();
        for (const QString& file : {input, m_tools, Folder(code), m_bmp, m_wav})
            EXPECT_TRUE(runs[i].opened.contains(W(file))) << file.toStdString();
        // The input names the pictures and voices in the converter's form.
        QDomDocument document;
        ASSERT_TRUE(document.setContent(runs[i].input));
        const QDomElement info = document.documentElement().firstChildElement("ContentInfo");
        EXPECT_EQ(info.firstChildElement("strProductImg1").text(), W(m_bmp));
        EXPECT_EQ(info.firstChildElement("strProductWav").text(), W(m_wav));
        EXPECT_FALSE(QFileInfo::exists(input));
    }
    EXPECT_EQ(QDir(Folder("jp")).entryList(QDir::Files),
              (QStringList{"CJP00001.bin", "CJP00002.bin"}));
    EXPECT_EQ(QDir(Folder("fr")).entryList(QDir::Files),
              (QStringList{"CFR00001.bin", "CFR00002.bin"}));
    const QByteArray data = TestSupport::ReadFile(Folder("fr") + "/CFR00002.bin");
    ASSERT_EQ(data.size(), 0xC4);
    EXPECT_EQ(quint8(data[0x0C]), 3);
    EXPECT_EQ(data.mid(0x24, 12), QByteArray("W\0o\0r\0k\0 \0"
                                             "3\0",
                                             12));
    // What it printed in its code page reads back whole, once per language.
    EXPECT_EQ(m_output.Report().lines, QStringLiteral("Caf\u00e9 \u20ac\r\nCaf\u00e9 \u20ac\r\n"));
    EXPECT_TRUE(m_frame.isEnabled());
}

TEST_F(OutputWine, AnAbortReportedByTheWindowsConverterReachesTheAuthor)
{
    AddRow(1, {JP});
    Control("print Error : marvex : pnum = 12\nprint ABORTED!!\n");
    m_messages.Answer(IDYES);
    m_output.OnFileOutput();
    EXPECT_EQ(m_messages.texts().last(),
              QStringLiteral("Failed to output data.\r\nConfirm Contents data\r\n\r\n"
                             "Item number = 12\r\nABORTED!!\r\n"));
}

TEST_F(OutputWine, CancelKillsTheWindowsConverter)
{
    AddRow(1, {JP, FR});
    Control("[jp] sleep 60000\n");
    OutputFixture::CancelProbe probe([this] { return !Runs().isEmpty(); });
    m_messages.Answer(IDYES);
    m_output.OnFileOutput();
    probe.Stop();
    ASSERT_TRUE(probe.clicked.isValid());
    EXPECT_LT(probe.clicked.elapsed(), 5000);
    EXPECT_EQ(m_messages.texts().last(), QStringLiteral("Failed to output data.\n\nJPN"));
    EXPECT_EQ(Runs().size(), 1);
    EXPECT_TRUE(m_frame.isEnabled());
}

TEST_F(OutputWine, TheWindowKeepsHandlingEventsWhileWineRuns)
{
    AddRow(1, {JP});
    Control("sleep 2000\n");
    int ticks = 0;
    EXPECT_GE(OutputWhileTicking([&ticks] { ++ticks; }), 2000);
    EXPECT_GE(ticks, 15);
    EXPECT_EQ(m_messages.texts().last(), QStringLiteral("Output completed."));
}
// The Windows converter on a disk that takes nothing more (a file-size limit of 0 on its own
// process, which binds root too) ends with a code instead of 0 after empty data files; with
// room the same run ends with 0. A converter kept running meanwhile keeps Wine's server, which
// writes the prefix, up and out of the limit.
TEST_F(OutputWine, TheWindowsConverterOnAFullDiskEndsWithACode)
{
    ContentRecord record;
    record.nLangType = JP;
    record.nProductNo = 1;
    record.strProductTxt = QStringLiteral("Text");
    const QString input = m_project + QStringLiteral("/in.xml");
    ASSERT_TRUE(CXmlContentDumFile().Save(input, {record}));
    Control("[keep] sleep 60000\n");
    const QString disk = TestSupport::NewFolder(QStringLiteral("disk"));
    // The converter takes the language from its output folder's name.
    const auto start = [&](QProcess& run, const QString& code, bool full)
    {
        QDir().mkpath(disk + u'/' + code);
        const CommandLine command = Wine::ProgramCommand(
            m_start + QStringLiteral("/MARVEX.exe"),
            {"-i", W(input), "-opath", W(disk + u'/' + code), "-binpath", W(m_tools)});
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& variable : command.environment)
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        run.setProcessEnvironment(environment);
        run.setProgram(QStringLiteral("/bin/sh"));
        run.setArguments(
            QStringList{"-c", full ? "trap '' XFSZ; ulimit -f 0; exec \"$@\"" : "exec \"$@\"", "sh",
                        command.program} +
            command.arguments);
        run.setStandardOutputFile(QProcess::nullDevice());
        run.setStandardErrorFile(QProcess::nullDevice());
        run.start();
    };
    QProcess keeper;
    start(keeper, QStringLiteral("keep"), false);
    QElapsedTimer waited;
    waited.start();
    while (Runs().isEmpty() && waited.elapsed() < 60000)
        QThread::msleep(20);
    ASSERT_FALSE(Runs().isEmpty());
    for (const bool full : {false, true})
    {
        SCOPED_TRACE(full ? "full disk" : "room");
        const QString code = full ? QStringLiteral("fr") : QStringLiteral("jp");
        QDir(disk + u'/' + code).removeRecursively();
        QProcess run;
        start(run, code, full);
        ASSERT_TRUE(run.waitForFinished(120000));
        EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run.exitCode() != 0, full);
        const QString data = QStringLiteral("C") + code.toUpper() + QStringLiteral("00001.bin");
        EXPECT_EQ(QDir(disk + u'/' + code).entryList(QDir::Files), QStringList{data});
        EXPECT_EQ(QFileInfo(disk + u'/' + code + u'/' + data).size(), full ? 0 : 0xC4);
    }
    keeper.kill();
    keeper.waitForFinished();
}

// What the author is shown, and what stays on disk, for each way Wine can fail the converter.
TEST_F(OutputWine, EachWineFailureOfTheConverterIsToldAsItIs)
{
    if (!TestSupport::WineFailureScene::Possible())
        GTEST_SKIP() << "the 64-bit Wine loader is not where Debian puts it";
    using F = TestSupport::WineFailure;
    for (const F failure : {F::No32BitLoader, F::I386Tool, F::UnusablePrefix, F::Exception})
    {
        SCOPED_TRACE(TestSupport::NameOf(failure));
        const QString start = TestSupport::NewFolder(QStringLiteral("start"));
        ASSERT_TRUE(TestSupport::InstallWindowsStandin(QStringLiteral("marvex"), start,
                                                       QStringLiteral("MARVEX.exe")));
        m_start = start;
        const TestSupport::WineFailureScene scene(failure, start + QStringLiteral("/MARVEX.exe"));
        m_doc.ClearRows();
        AddRow(1, {JP});
        // A data file of an earlier run, alone in its folder.
        QDir(Folder("jp")).removeRecursively();
        TestSupport::WriteFile(Folder("jp") + QStringLiteral("/CJP00009.bin"), "old");
        Control(failure == F::Exception ? "crash\n" : "");
        m_messages.Clear();
        m_messages.Answer(IDYES);
        const qsizetype runsBefore = Runs().size();
        m_output.OnFileOutput();

        QStringList expected;
        // A converter that did not convert leaves the earlier data as it was.
        QStringList dataFiles = {"CJP00009.bin"};
        switch (failure)
        {
        case F::No32BitLoader:
            expected = {"Output completed."};
            dataFiles = {"CJP00001.bin"};
            break;
        case F::I386Tool:
            expected = {"Conversion error.\n\nMARVEX.exe: this machine cannot run 32-bit Windows "
                        "programs.",
                        "Failed to output data.\n\nJPN"};
            break;
        case F::UnusablePrefix:
            // Known before the converter is started.
            expected = {"Conversion error.\n\nMARVEX.exe: Wine cannot use its prefix folder " +
                            qEnvironmentVariable("WINEPREFIX") +
                            ". It must be a folder of your own, or one that can be created.",
                        "Failed to output data.\n\nJPN"};
            EXPECT_EQ(Runs().size(), runsBefore);
            break;
        case F::Exception:
            // As with a native converter ended by a signal.
            expected = {"The converter ended abnormally.\nFailed to output data.\n\nJPN"};
            break;
        }
        EXPECT_EQ(m_messages.texts().mid(1), expected);
        EXPECT_EQ(QDir(Folder("jp")).entryList(QDir::Files), dataFiles);
        EXPECT_TRUE(m_frame.isEnabled());
    }
}
} // namespace
