// The content editor's road, in both builds: started on a project's convert folder, two
// works entered with pictures, voices and descriptions in Japanese and English, saved,
// converted for both languages through the converter, and closed from its File menu.
#include "platform/HandOver.h"
#include "platform/Path.h"
#include "platform/TempFolder.h"
#include "road/ContentRoad.h"
#include "road/RoadFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

namespace
{
class RoadContentEditor : public RoadTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(RoadContentEditor, TwoWorksInTwoLanguagesAreSavedAndConverted)
{
    const QString program = GetParam();
    ASSERT_TRUE(m_app->IsComplete({"bin/" + program, "bin/marvex"}));
    QElapsedTimer road;
    road.start();
    const QString prefix = program.endsWith("JP") ? "contedit-jp" : "contedit-en";

    const QString convert = TestSupport::NewFolder("project") + "/convert";
    for (const char* sub : {"input/bmp", "input/wav", "input/xml", "output/contents"})
        QDir().mkpath(convert + "/" + sub);
    const std::vector<ContentRoad::Work> works = ContentRoad::SampleWorks(convert);
    const QString record = TestSupport::NewFolder("marvex");
    QProcessEnvironment environment = m_env;
    environment.insert("MARVEX_RECORD", record);

    // The converter takes a moment per language, so its progress shows in the pictures.
    TestSupport::WriteFile(m_app->Bin() + "/marvex.control", "sleep 700\n");
    SKIP_WHILE_THE_USER_RUNS(GetParam());
    QProcess editor;
    editor.setProcessEnvironment(environment);
    editor.setWorkingDirectory(m_app->Bin());
    editor.start(m_app->Bin() + "/" + program, {"-d", convert});
    Road::Session session(*s_server);
    session.Use(Road::AttachDriver(m_drivers, program, 30000));
    ASSERT_TRUE(session.Current()) << "the editor did not start";
    ASSERT_TRUE(session.WaitWindow("128"));
    const QJsonObject hello = session.Request({{"cmd", "hello"}});
    Road::Figure(program + " start-up to first window", hello["firstShownMs"].toDouble(), "ms");
    session.Shot(prefix + "-01-main");
    ContentRoad::About(session, "57664", prefix + "-01-about");
    ASSERT_FALSE(HasFatalFailure());

    for (std::size_t i = 0; i < works.size(); ++i)
        ContentRoad::AddWork(session, works[i], i == 0 ? prefix + "-02-add" : QString());
    session.Shot(prefix + "-03-table");
    // The sort dialog, looked at and left.
    ASSERT_TRUE(session.ClickAction("32787"));
    ASSERT_TRUE(session.WaitWindow("147"));
    session.Shot(prefix + "-03-sort");
    ASSERT_TRUE(session.Click("147", {{"name", "2"}}));
    ASSERT_TRUE(session.WaitGone("147"));

    // Saving a new table asks where; the path then goes to the hand-over value.
    const QString xml = convert + "/input/xml/TOVKContent.xml";
    ContentRoad::Save(session, xml, true, prefix + "-04-save");
    ASSERT_TRUE(QFileInfo::exists(xml));
    EXPECT_EQ(HandOver::GetValue("LastContentFile"), xml);
    ContentRoad::ExpectRecords(xml, works, {0, 1}, false);

    const QStringList messages = ContentRoad::Output(session, prefix + "-05-output");
    ASSERT_EQ(messages.size(), 2) << messages.join(" | ").toStdString();
    // One converter run per language, each writing one data file per work.
    EXPECT_TRUE(QFileInfo::exists(record + "/run-1.txt"));
    EXPECT_TRUE(QFileInfo::exists(record + "/run-2.txt"));
    EXPECT_FALSE(QFileInfo::exists(record + "/run-3.txt"));
    ContentRoad::ExpectRecords(record + "/run-1.xml", works, {0}, true);
    ContentRoad::ExpectRecords(record + "/run-2.xml", works, {1}, true);
    for (const char* code : {"JP", "EN"})
        EXPECT_EQ(Path::Find(Path::Resolve(convert + "/output/contents/" + code),
                             QString("C%1?????.bin").arg(code))
                      .size(),
                  2)
            << code;

    const QString tools = Path::Append(TempFolder(), "VantiloqTools");
    EXPECT_TRUE(QFileInfo::exists(tools));
    const QJsonObject memory = session.Request({{"cmd", "hello"}});
    Road::Figure(program + " peak memory (road)", memory["peakKb"].toDouble() / 1024.0, "MiB");
    ContentRoad::Close(session);
    ASSERT_TRUE(Road::WaitUntil([&] { return editor.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(editor.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(tools)) << "the editor leaves its tools behind";
    Road::Figure(program + " road", road.elapsed(), "ms");
}

INSTANTIATE_TEST_SUITE_P(Builds, RoadContentEditor,
                         ::testing::Values("TOVKContEditJP", "TOVKContEditEN"));
} // namespace
