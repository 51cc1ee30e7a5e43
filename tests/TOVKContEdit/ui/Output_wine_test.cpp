// The Output command with the converter the authors have, "marvex.exe", run through Wine:
// the Windows stand-in must be given Windows paths it can open, on its command line and in
// its input file, its data files come back as with the native converter, and its log is
// read in Wine's ANSI code page. All cases share this program's Wine prefix.
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/ui/MainFrame.h"
#include "TOVKContEdit/ui/Output.h"
#include "TOVKContEdit/ui/ProgressDlg.h"
#include "common/WineTest.h"
#include "platform/RecordingMessages.h"
#include "platform/Wine.h"

#include <QApplication>
#include <QDir>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{
constexpr int JP = 0, FR = 2;

struct ToolRecord
{
    QString cwd;
    QStringList arguments;
    QStringList opened;
    QStringList missing;
    QByteArray input;
};

QString W(const QString& path)
{
    return Wine::WindowsPath(path);
}

class OutputWine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        REQUIRE_WINE();
        Strings::Install(ContEditStringsEN());
        // Blanks and a letter outside ASCII: every path must reach the tool whole.
        m_project = TestSupport::NewFolder(QStringLiteral("pro ject \u00e9"));
        m_convert = m_project + QStringLiteral("/convert");
        QDir().mkpath(m_convert + QStringLiteral("/input/xml"));
        m_bmp = TestSupport::WriteFile(m_project + QStringLiteral("/media/a.bmp"),
                                       ChecksFixtures::GuideBmp(4));
        m_wav = TestSupport::WriteFile(
            m_project + QStringLiteral("/media/a.wav"),
            ChecksFixtures::MakeWav(1, 16000, 16, ChecksFixtures::Samples(3200)));
        m_tools = m_project + QStringLiteral("/tools dir");
        QDir().mkpath(m_tools);
        m_records = m_project + QStringLiteral("/runs");
        m_control = m_project + QStringLiteral("/marvex.control");
        qputenv("MARVEX_RECORD", W(m_records).toUtf8());
        qputenv("MARVEX_CONTROL", W(m_control).toUtf8());
        m_start = TestSupport::NewFolder(QStringLiteral("start"));
        ASSERT_TRUE(TestSupport::InstallWindowsStandin(QStringLiteral("marvex"), m_start,
                                                       QStringLiteral("MARVEX.exe")));
        m_frame.OnCreate();
        m_frame.show();
        m_output.SetOwner(&m_frame, &m_frame);
    }
    void TearDown() override
    {
        qunsetenv("MARVEX_RECORD");
        qunsetenv("MARVEX_CONTROL");
    }

    void AddRow(int number, std::initializer_list<int> languages)
    {
        const int row = m_doc.AddRow(false);
        ContentRow& content = m_doc.GetRow(row);
        content.itemNumber = number;
        for (int language : languages)
        {
            content.image1[language] = m_bmp;
            content.voice[language] = m_wav;
            content.description[language] = QStringLiteral("Work %1").arg(number);
        }
    }

    QList<ToolRecord> Runs() const
    {
        QList<ToolRecord> runs;
        for (int n = 1; QFileInfo::exists(m_records + QStringLiteral("/run-%1.txt").arg(n)); ++n)
        {
            ToolRecord run;
            const QString text = QString::fromUtf8(
                TestSupport::ReadFile(m_records + QStringLiteral("/run-%1.txt").arg(n)));
            for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
            {
                const QString value = line.section(u'\t', 1);
                if (line.startsWith(QStringLiteral("cwd\t")))
                    run.cwd = value;
                else if (line.startsWith(QStringLiteral("arg\t")))
                    run.arguments << value;
                else if (line.startsWith(QStringLiteral("opened\t")))
                    run.opened << value;
                else if (line.startsWith(QStringLiteral("missing\t")))
                    run.missing << value;
            }
            run.input = TestSupport::ReadFile(m_records + QStringLiteral("/run-%1.xml").arg(n));
            runs << run;
        }
        return runs;
    }

    QString Folder(const QString& code) const
    {
        return m_convert + QStringLiteral("/output/contents/") + code;
    }

    QString m_project, m_convert, m_bmp, m_wav, m_tools, m_records, m_control, m_start;
    RecordingMessages m_messages;
    CTOVKContEditDoc m_doc;
    CMainFrame m_frame;
    CContentOutput m_output{m_doc, [this] { return OutputFolders{m_start, m_convert, m_tools}; }};
};

TEST_F(OutputWine, TheWindowsConverterOpensEveryFileItIsGivenAndWritesTheDataFiles)
{
    AddRow(5, {JP, FR});
    AddRow(3, {FR, JP});
    m_doc.SetPathName(m_convert + QStringLiteral("/input/xml/TOVKContent.xml"), false);
    TestSupport::WriteFile(m_control, "print Caf\xc3\xa9 \xe2\x82\xac\n");
    m_messages.Answer(IDYES);
    m_output.OnFileOutput();
    EXPECT_EQ(m_messages.texts().last(), QStringLiteral("Output completed."))
        << m_messages.texts().join(u'|').toStdString();

    const QList<ToolRecord> runs = Runs();
    ASSERT_EQ(runs.size(), 2);
    for (int i = 0; i < 2; ++i)
    {
        const QString code = i == 0 ? QStringLiteral("jp") : QStringLiteral("fr");
        const QString input = Folder(code) + "/TOVKContent_" + code + ".xml";
        EXPECT_EQ(runs[i].cwd, W(m_convert));
        EXPECT_EQ(runs[i].arguments,
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
    TestSupport::WriteFile(m_control, "print Error : marvex : pnum = 12\nprint ABORTED!!\n");
    m_messages.Answer(IDYES);
    m_output.OnFileOutput();
    EXPECT_EQ(m_messages.texts().last(),
              QStringLiteral("Failed to output data.\r\nConfirm Contents data\r\n\r\n"
                             "Item number = 12\r\nABORTED!!\r\n"));
}

TEST_F(OutputWine, CancelKillsTheWindowsConverter)
{
    AddRow(1, {JP, FR});
    TestSupport::WriteFile(m_control, "[jp] sleep 60000\n");
    QElapsedTimer clicked;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout,
                     [&]
                     {
                         for (QWidget* window : QApplication::topLevelWidgets())
                         {
                             auto* progress = qobject_cast<CProgressDlg*>(window);
                             if (progress && progress->isVisible() && !Runs().isEmpty() &&
                                 !clicked.isValid())
                             {
                                 QTest::mouseClick(progress->CancelButton(), Qt::LeftButton);
                                 clicked.start();
                             }
                         }
                     });
    probe.start(20);
    m_messages.Answer(IDYES);
    m_output.OnFileOutput();
    probe.stop();
    ASSERT_TRUE(clicked.isValid());
    EXPECT_LT(clicked.elapsed(), 5000);
    EXPECT_EQ(m_messages.texts().last(), QStringLiteral("Failed to output data.\n\nJPN"));
    EXPECT_EQ(Runs().size(), 1);
    EXPECT_TRUE(m_frame.isEnabled());
}

TEST_F(OutputWine, TheWindowKeepsHandlingEventsWhileWineRuns)
{
    AddRow(1, {JP});
    TestSupport::WriteFile(m_control, "sleep 2000\n");
    int ticks = 0;
    QTimer timer;
    timer.setInterval(100);
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    m_messages.Answer(IDYES);
    QTimer::singleShot(0, [&timer] { timer.start(); });
    QElapsedTimer elapsed;
    elapsed.start();
    m_output.OnFileOutput();
    timer.stop();
    EXPECT_GE(elapsed.elapsed(), 2000);
    EXPECT_GE(ticks, 15);
    EXPECT_EQ(m_messages.texts().last(), QStringLiteral("Output completed."));
}
} // namespace
