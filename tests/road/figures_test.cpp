// Figures of the programs on full-size data: wall time and peak memory of the feedback viewer
// over a card copy of a million records, the content editor on 10,000 works in nine
// languages, and the hub opening a project over 90,000 content data files. Slow by nature,
// so it runs only when ROAD_FULL_SIZE is set; the figures go to the output's figures file.
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/res/Strings.h"
#include "TOVKContEdit/shared/XmlContentDumFile.h"
#include "platform/Strings.h"
#include "road/RoadFixture.h"
#include "road/sample/SampleData.h"
#include "tovkfeedbackviewer/DatFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QtEndian>

namespace
{
constexpr int kWorks = 10000;
const char* const kCodes[] = {"jp", "en", "fr", "ge", "it", "sp", "cn", "kr", "du"};

class RoadFigures : public RoadTest
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("ROAD_FULL_SIZE"))
            GTEST_SKIP() << "full-size figures run when ROAD_FULL_SIZE is set";
        RoadTest::SetUp();
    }

    // The peak a program left when it ended (kB), -1 when none.
    double PeakOf(const QString& app) const
    {
        for (const QFileInfo& entry : QDir(m_drivers).entryInfoList({app + "-*.peak"}, QDir::Files))
            return TestSupport::ReadFile(entry.filePath()).toDouble();
        return -1;
    }

    // A project folder with the content data files of every work in every language.
    static QString ContentTree(const QString& project)
    {
        QByteArray bytes(0xC4, '\0');
        for (int language = 0; language < 9; ++language)
        {
            const QString folder = project + "/convert/output/contents/" + kCodes[language];
            QDir().mkpath(folder);
            for (int n = 1; n <= kWorks; ++n)
            {
                qToLittleEndian(quint32(n), bytes.data() + 0x0C);
                for (int u = 0; u < 40; ++u)
                    qToLittleEndian(quint16(u'a' + (n + u) % 26), bytes.data() + 0x24 + 2 * u);
                QFile file(folder + QString("/C%1%2.bin")
                                        .arg(QString(kCodes[language]).toUpper())
                                        .arg(n, 5, 10, QChar('0')));
                if (file.open(QIODevice::WriteOnly))
                    file.write(bytes);
            }
        }
        return project;
    }
};

TEST_F(RoadFigures, FeedbackViewerOnAMillionRecords)
{
    using namespace DatFixture;
    const QString card = TestSupport::NewFolder("card");
    for (int f = 0; f < 1000; ++f)
    {
        // One handheld per file: no record repeats another.
        const QByteArray mac = Mac({0, 1, 2, 3, f >> 8, f & 0xFF});
        std::vector<QByteArray> records;
        records.reserve(1000);
        for (int r = 0; r < 1000; ++r)
        {
            const std::uint32_t time =
                PackTime(2025, 1 + r % 12, 1 + r % 28, r % 24, r % 60, f % 60);
            records.push_back(f % 2 ? Access(time, r % 2, 1 + r % 3, mac)
                                    : Answer(time, r % 2, mac, {1 << (r % 3), 1 + r % 3}));
        }
        WriteCardFile(
            card, QString(f % 2 ? "LOG001/L%1.DAT" : "ENQ001/Q%1.DAT").arg(f, 4, 10, QChar('0')),
            DatFile(f % 2 ? SampleLogArea() : SampleQuestionnaireArea(), records));
    }
    QElapsedTimer timer;
    timer.start();
    QString console;
    ASSERT_EQ(Road::RunToEnd(m_app->Root() + "/TOVKFeedbackViewer",
                             {"-in", card, "-out", TestSupport::NewFolder("reports")}, m_env,
                             600000, &console),
              0)
        << console.toStdString();
    Road::Figure("TOVKFeedbackViewer on 1,000,000 records, wall", timer.elapsed(), "ms");
    Road::Figure("TOVKFeedbackViewer on 1,000,000 records, peak memory",
                 PeakOf("TOVKFeedbackViewer") / 1024.0, "MiB");
}

TEST_F(RoadFigures, ContentEditorOnTenThousandWorksInNineLanguages)
{
    const QString convert = TestSupport::NewFolder("project") + "/convert";
    for (const char* sub : {"input/bmp", "input/wav", "input/xml", "output/contents"})
        QDir().mkpath(convert + "/" + sub);
    const QString picture = TestSupport::WriteFile(
        convert + "/input/bmp/work.bmp", SampleData::WorkPicture("W", QColor(40, 90, 160)));
    const QString voice =
        TestSupport::WriteFile(convert + "/input/wav/work.wav", SampleData::Voice(1.0, 440.0));
    ContentRecords records;
    records.reserve(kWorks * 9);
    for (int n = 1; n <= kWorks; ++n)
        for (int language = 0; language < 9; ++language)
            records.push_back({language, n, 1, picture, QString(), voice,
                               QString("Work %1 in %2").arg(n).arg(kCodes[language]),
                               QString("comment %1").arg(n)});
    const QString xml = convert + "/input/xml/TOVKContent.xml";
    ASSERT_TRUE(CXmlContentDumFile().Save(xml, records));

    SKIP_WHILE_THE_USER_RUNS("TOVKContEditJP");
    QProcess editor;
    editor.setProcessEnvironment(m_env);
    editor.setWorkingDirectory(m_app->Bin());
    editor.start(m_app->Bin() + "/TOVKContEditJP", {"-d", convert, xml});
    Road::Session session(*s_server);
    session.Use(Road::AttachDriver(m_drivers, "TOVKContEditJP", 120000));
    ASSERT_TRUE(session.Current());
    ASSERT_TRUE(session.WaitWindow("128", 120000));
    const QJsonObject hello = session.Request({{"cmd", "hello"}});
    Road::Figure("TOVKContEditJP on 90,000 records, start-up to first window",
                 hello["firstShownMs"].toDouble(), "ms");
    session.Shot("figures-contedit-full");
    ASSERT_TRUE(session.ChooseMenu("61500", "57665"));
    ASSERT_TRUE(Road::WaitUntil([&] { return editor.state() == QProcess::NotRunning; }, 60000));
    Road::Figure("TOVKContEditJP on 90,000 records, peak memory", PeakOf("TOVKContEditJP") / 1024.0,
                 "MiB");
}

TEST_F(RoadFigures, HubOpensAProjectOverNinetyThousandDataFiles)
{
    Strings::Install(OstrelinStringsJA());
    const QString project = ContentTree(TestSupport::NewFolder("guide"));
    const QString file = project + "/GuideData.olx";
    {
        COstrelinDoc document;
        document.OnNewDocument();
        document.SetDefaultXmlPaths(file);
        document.ScanContentFiles(project);
        for (int guide = 1; guide <= 999; ++guide)
            document.GetBindData().AddGuide(guide, guide);
        document.GetBindData().m_wGuideLanguages = 0x01FF;
        ASSERT_TRUE(document.OnSaveDocument(file));
    }

    SKIP_WHILE_THE_USER_RUNS("OstrelinJP");
    QProcess hubProcess;
    hubProcess.setProcessEnvironment(m_env);
    hubProcess.start(m_app->Root() + "/OstrelinJP", {});
    Road::Session hub(*s_server);
    hub.Use(Road::AttachDriver(m_drivers, "OstrelinJP", 30000));
    ASSERT_TRUE(hub.Current());
    ASSERT_TRUE(hub.WaitWindow("128"));
    ASSERT_TRUE(hub.ClickAction("32772"));
    ASSERT_TRUE(hub.WaitWindow("QFileDialog"));
    ASSERT_TRUE(hub.Enter("QFileDialog", {{"name", "fileNameEdit"}}, file));
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(hub.Keys("Return"));
    ASSERT_TRUE(Road::WaitUntil(
        [&] { return hub.Window("128")["text"].toString().startsWith("GuideData.olx - "); },
        300000));
    Road::Figure("OstrelinJP opening 90,000 data files, wall", timer.elapsed(), "ms");
    hub.Shot("figures-hub-full");
    ASSERT_TRUE(hub.ChooseMenu(QString::fromUtf8("ファイル(F)"), "32775"));
    ASSERT_TRUE(Road::WaitUntil([&] { return hubProcess.state() == QProcess::NotRunning; }, 60000));
    Road::Figure("OstrelinJP on 90,000 data files, peak memory", PeakOf("OstrelinJP") / 1024.0,
                 "MiB");
}
} // namespace
