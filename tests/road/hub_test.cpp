// The hub's road as an author travels it: a new project, the content editor started from the
// data-creation page for two works in Japanese and English, the works registered under guide
// numbers, the languages, an English title picture, a program and a content server, and the
// output into the card tree through the title replacer and the bind tool.
#include "platform/BmpHeader.h"
#include "platform/HandOver.h"
#include "platform/Path.h"
#include "road/ContentRoad.h"
#include "road/RoadFixture.h"
#include "road/sample/SampleData.h"

#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>

namespace
{
// Ids of the hub's main view, pages and dialogs.
const QString kMain = "128";
const QString kSteps = "1026";
const QString kNewProject = "1030";
const QString kEditContent = "1045";
const QString kContentInfo = "1050";
const QString kEditQuery = "1046";
const QString kQueryInfo = "1051";
const QString kWaitEditor = "119";
const QString kDisplayLanguage = "1014";
const QString kGuideJapanese = "1015";
const QString kGuideEnglish = "1016";
const QString kTitleEnglishBox = "1055";
const QString kTitleEnglishPath = "2027";
const QString kWorksList = "1002";
const QString kWorkDialog = "110";
const QString kGuideNumber = "1013";
const QString kServerList = "1003";
const QString kServerDialog = "107";
const QString kServerName = "1027";
const QString kServerRole = "1010";
const QString kServerChannel = "1011";
const QString kStoredWorks = "1003";
const QString kStorableWorks = "1002";
const QString kStoreWorks = "1006";
const QString kCheckByWorkNumber = "1046";
const QString kWorkCheck = "165";
const QString kCheckList = "1066";
const QString kOutput = "1032";
const QString kOutputProgress = "151";
const QString kOk = "1";
const QString kAppAbout = "32776";
const QString kFileSave = "32773";
const QString kAppExit = "32775";
const QString kFileMenu = QString::fromUtf8("ファイル(F)");
const QString kOpenProject = "1008";
// The content editor's menus, commands and add dialog.
const QString kEditorFileMenu = "61500";
const QString kEditorEditMenu = "61501";
const QString kEditorAdd = "32771";
const QString kEditorSave = "57603";
const QString kEditorOutput = "32786";
const QString kEditorAddDialog = "138";
const QString kEditorItemNumber = "1008";
const QString kEditorLanguageTab = "1026";
const QString kEditorImage1 = "1000";
const QString kEditorVoice = "1004";
const QString kEditorDescription = "1010";

QJsonObject Named(const QString& name)
{
    return {{"name", name}};
}

QJsonArray Rows(const Road::Session& session, const QString& window, const QString& list)
{
    return session.Find(window, Named(list))["rows"].toArray();
}

QString Cell(const QJsonArray& rows, int row, int column)
{
    return rows.at(row).toArray().at(column).toString();
}

// The first row whose first cell is the text; -1 when there is none.
int RowStartingWith(const QJsonArray& rows, const QString& text)
{
    for (int row = 0; row < rows.size(); ++row)
        if (Cell(rows, row, 0) == text)
            return row;
    return -1;
}

class RoadHub : public RoadTest
{
protected:
    void TearDown() override
    {
        for (QProcess* process : {&m_hub})
            if (process->state() != QProcess::NotRunning)
            {
                process->kill();
                process->waitForFinished(5000);
            }
    }

    // The tab of a step, clicked; true once its page shows.
    bool Step(const Road::Session& hub, int step, const QString& page)
    {
        if (!hub.ClickTab(kMain, kSteps, step))
            return false;
        return hub.WaitControl(kMain, Named(page),
                               [](const QJsonObject& c) { return c["visible"].toBool(); });
    }

    // A pick from a drop-down list by keys: open it, step down, take the entry.
    bool Choose(const Road::Session& hub, const QString& window, const QString& combo, int index)
    {
        const int current = hub.Find(window, Named(combo))["current"].toInt();
        if (!hub.Click(window, Named(combo)))
            return false;
        QStringList keys;
        for (int i = current; i < index; ++i)
            keys << "Down";
        keys << "Return";
        if (!hub.Keys(keys.join(' ')))
            return false;
        return hub.WaitControl(window, Named(combo),
                               [&](const QJsonObject& c) { return c["current"].toInt() == index; });
    }

    // A registration through the work settings dialog, opened on the list's last add row.
    void Register(const Road::Session& hub, int guide, int workRow)
    {
        const int addRow = Rows(hub, kMain, kWorksList).size() - 1;
        ASSERT_TRUE(hub.ClickCell(kMain, kWorksList, addRow, 0, 2));
        ASSERT_TRUE(hub.WaitWindow(kWorkDialog));
        ASSERT_TRUE(hub.Enter(kWorkDialog, Named(kGuideNumber), QString::number(guide)));
        ASSERT_TRUE(hub.ClickCell(kWorkDialog, kWorksList, workRow, 1));
        ASSERT_TRUE(hub.Click(kWorkDialog, Named(kOk)));
        ASSERT_TRUE(hub.WaitGone(kWorkDialog)) << hub.Answer("OK").toStdString();
    }

    // A server through the server settings dialog; a content server stores every work.
    void AddServer(const Road::Session& hub, const QString& name, int role, int channel,
                   const QString& shot)
    {
        const int addRow = Rows(hub, kMain, kServerList).size() - 1;
        ASSERT_TRUE(hub.ClickCell(kMain, kServerList, addRow, 0, 2));
        ASSERT_TRUE(hub.WaitWindow(kServerDialog));
        ASSERT_TRUE(hub.Enter(kServerDialog, Named(kServerName), name));
        ASSERT_TRUE(Choose(hub, kServerDialog, kServerRole, role));
        ASSERT_TRUE(Choose(hub, kServerDialog, kServerChannel, channel));
        if (role == 1)
        {
            const int storable = Rows(hub, kServerDialog, kStorableWorks).size();
            ASSERT_GT(storable, 0);
            ASSERT_TRUE(hub.ClickCell(kServerDialog, kStorableWorks, 0, 0));
            // Shift and click: the whole range, as a person selects it.
            ASSERT_TRUE(hub.ClickCell(kServerDialog, kStorableWorks, storable - 1, 0, 1, "shift"));
            ASSERT_TRUE(hub.Click(kServerDialog, Named(kStoreWorks)));
            ASSERT_TRUE(hub.WaitControl(kServerDialog, Named(kStoredWorks),
                                        [&](const QJsonObject& c)
                                        { return c["rows"].toArray().size() == storable; }));
        }
        if (!shot.isEmpty())
            hub.Shot(shot);
        ASSERT_TRUE(hub.Click(kServerDialog, Named(kOk)));
        ASSERT_TRUE(hub.WaitGone(kServerDialog)) << hub.Answer("OK").toStdString();
    }

    QProcess m_hub;
};

TEST_F(RoadHub, ProjectFromCreationToCardTree)
{
    ASSERT_TRUE(m_app->IsComplete(
        {"OstrelinJP", "bin/TOVKContEditJP", "bin/marvex", "bin/durnap", "bin/halbrine"}));
    QElapsedTimer road;
    road.start();
    const QString records = TestSupport::NewFolder("records");
    QProcessEnvironment environment = m_env;
    for (const char* tool : {"MARVEX", "DURNAP", "HALBRINE"})
        environment.insert(QString(tool) + "_RECORD", records + "/" + QString(tool).toLower());

    // The converter and the bind tool take a moment, so their progress shows in the pictures.
    TestSupport::WriteFile(m_app->Bin() + "/marvex.control", "sleep 700\n");
    TestSupport::WriteFile(m_app->Bin() + "/durnap.control", "sleep 1500\nwork\n");
    m_hub.setProcessEnvironment(environment);
    m_hub.setWorkingDirectory(m_app->Root());
    SKIP_WHILE_THE_USER_RUNS("OstrelinJP", "TOVKContEditJP");
    m_hub.start(m_app->Root() + "/OstrelinJP", {});
    Road::Session hub(*s_server);
    hub.Use(Road::AttachDriver(m_drivers, "OstrelinJP", 30000));
    ASSERT_TRUE(hub.Current()) << "the hub did not start";
    ASSERT_TRUE(hub.WaitWindow(kMain));
    Road::Figure("OstrelinJP start-up to first window",
                 hub.Request({{"cmd", "hello"}})["firstShownMs"].toDouble(), "ms");
    hub.Shot("hub-01-start");
    ContentRoad::About(hub, kAppAbout, "hub-01-about");
    ASSERT_FALSE(HasFatalFailure());

    // 1. A new project: the folder tree appears beside the project file.
    const QString projectFolder = TestSupport::NewFolder("guide");
    const QString project = projectFolder + "/GuideData.olx";
    ASSERT_TRUE(hub.Click(kMain, Named(kNewProject)));
    ASSERT_TRUE(hub.WaitWindow("QFileDialog"));
    ASSERT_TRUE(hub.Enter("QFileDialog", Named("fileNameEdit"), project));
    hub.Shot("hub-02-new-project");
    ASSERT_TRUE(hub.Keys("Return"));
    ASSERT_TRUE(hub.WaitGone("QFileDialog"));
    ASSERT_TRUE(Road::WaitUntil([&] { return QFileInfo::exists(project); }, 20000));
    const QString convert = projectFolder + "/convert";
    for (const char* folder : {"input/bmp", "input/wav", "input/xml", "output/contents",
                               "output/query", "output/title", "output/SD"})
        EXPECT_TRUE(QFileInfo(convert + "/" + folder).isDir()) << folder;
    EXPECT_TRUE(hub.Window(kMain)["text"].toString().startsWith("GuideData.olx"));
    hub.Shot("hub-03-project");

    // 2. The content editor from the data-creation page; the hub waits for it.
    ASSERT_TRUE(Step(hub, 1, "118"));
    hub.Shot("hub-04-data-creation");
    const std::vector<ContentRoad::Work> works = ContentRoad::SampleWorks(convert);
    SKIP_WHILE_THE_USER_RUNS("TOVKContEditJP");
    ASSERT_TRUE(hub.Click(kMain, Named(kEditContent)));
    ASSERT_TRUE(hub.WaitWindow(kWaitEditor));
    {
        Road::Session editor(*s_server);
        editor.Use(Road::AttachDriver(m_drivers, "TOVKContEditJP", 30000));
        ASSERT_TRUE(editor.Current()) << "the hub did not start the content editor";
        ASSERT_TRUE(editor.WaitWindow("128"));
        Road::Figure("TOVKContEditJP from the hub, start-up to first window",
                     editor.Request({{"cmd", "hello"}})["firstShownMs"].toDouble(), "ms");
        editor.Shot("hub-05-editor");
        for (std::size_t i = 0; i < works.size(); ++i)
            ContentRoad::AddWork(editor, works[i], i == 0 ? "hub-06-editor-add" : QString());
        ASSERT_FALSE(HasFatalFailure());
        // The hub named the content file on the command line: saving needs no question.
        const QString xml = convert + "/input/xml/TOVKContent.xml";
        ContentRoad::Save(editor, xml, false, "hub-07-editor-saved");
        ASSERT_FALSE(HasFatalFailure());
        const QStringList messages = ContentRoad::Output(editor, "hub-08-editor-output");
        EXPECT_EQ(messages.size(), 2) << messages.join(" | ").toStdString();
        ContentRoad::Close(editor);
    }
    ASSERT_TRUE(hub.WaitGone(kWaitEditor, 30000)) << "the hub still waits for the editor";
    // The hub took over the content file and scanned the converted works.
    ASSERT_TRUE(hub.WaitControl(kMain, Named(kContentInfo),
                                [](const QJsonObject& c)
                                { return c["text"].toString().contains("TOVKContent.xml"); }))
        << hub.Find(kMain, Named(kContentInfo))["text"].toString().toStdString();
    const QString info = hub.Find(kMain, Named(kContentInfo))["text"].toString();
    EXPECT_TRUE(info.contains("\n    2\n")) << "two works: " << info.toStdString();
    EXPECT_TRUE(info.contains(QString::fromUtf8("日本語"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QString::fromUtf8("英語"))) << info.toStdString();
    hub.Shot("hub-09-content-taken-over");

    // The questionnaire editor (outside this system, its stand-in here) in Japanese and
    // English; the hub takes over its file the same way.
    TestSupport::WriteFile(m_app->Bin() + "/TOVKQueryEditJP.control", "query JP\nquery EN\nsave\n");
    ASSERT_TRUE(hub.Click(kMain, Named(kEditQuery)));
    ASSERT_TRUE(hub.WaitControl(kMain, Named(kQueryInfo),
                                [](const QJsonObject& c) {
                                    return c["text"].toString().contains(QString::fromUtf8("英語"));
                                }))
        << hub.Find(kMain, Named(kQueryInfo))["text"].toString().toStdString();
    EXPECT_TRUE(QFileInfo::exists(convert + "/input/xml/TOVKQuery.xml"));
    ASSERT_TRUE(hub.WaitGone(kWaitEditor));
    hub.Shot("hub-09-questionnaire-taken-over");

    // 3. Languages: English on the handheld's display, Japanese and English as guide languages.
    ASSERT_TRUE(Step(hub, 2, "111"));
    ASSERT_TRUE(Choose(hub, kMain, kDisplayLanguage, 1));
    for (const QString& box : {kGuideJapanese, kGuideEnglish})
    {
        ASSERT_TRUE(hub.Click(kMain, Named(box)));
        ASSERT_TRUE(hub.WaitControl(kMain, Named(box),
                                    [](const QJsonObject& c) { return c["checked"].toBool(); }));
    }
    hub.Shot("hub-10-languages");

    // 4. An English title picture.
    const QString title =
        TestSupport::WriteFile(convert + "/input/bmp/title_en.bmp",
                               SampleData::TitlePicture("Guide", QColor(30, 60, 120)));
    ASSERT_TRUE(Step(hub, 3, "112"));
    ASSERT_TRUE(hub.Click(kMain, Named(kTitleEnglishBox)));
    ASSERT_TRUE(hub.Enter(kMain, Named(kTitleEnglishPath), title));
    hub.Shot("hub-11-title");

    // 5. The works under guide numbers 10 and 20.
    ASSERT_TRUE(Step(hub, 4, "105"));
    Register(hub, 10, 0);
    ASSERT_FALSE(HasFatalFailure());
    Register(hub, 20, 1);
    ASSERT_FALSE(HasFatalFailure());
    const QJsonArray registered = Rows(hub, kMain, kWorksList);
    QStringList pairs;
    for (int row = 0; row < registered.size(); ++row)
        if (Cell(registered, row, 0).toInt() > 0)
            pairs << Cell(registered, row, 0) + "=" + Cell(registered, row, 1);
    EXPECT_EQ(pairs, QStringList({"10=1", "20=2"}));
    hub.Shot("hub-12-works");
    // The check by work number lists both works.
    ASSERT_TRUE(hub.Click(kMain, Named(kCheckByWorkNumber)));
    ASSERT_TRUE(hub.WaitWindow(kWorkCheck));
    EXPECT_EQ(hub.Find(kWorkCheck, Named(kCheckList))["rows"].toArray().size(), 2);
    hub.Shot("hub-12-works-check");
    ASSERT_TRUE(hub.Click(kWorkCheck, Named(kOk)));
    ASSERT_TRUE(hub.WaitGone(kWorkCheck));

    // 6. A program server and a content server with both works.
    ASSERT_TRUE(Step(hub, 5, "106"));
    AddServer(hub, "PRG01", 0, 0, QString());
    ASSERT_FALSE(HasFatalFailure());
    AddServer(hub, "CNT01", 1, 1, "hub-13-server-dialog");
    ASSERT_FALSE(HasFatalFailure());
    const QJsonArray servers = Rows(hub, kMain, kServerList);
    ASSERT_EQ(servers.size(), 3);
    hub.Shot("hub-14-servers");

    // The feedback viewer's help page, reachable now that every step before it is complete.
    ASSERT_TRUE(Step(hub, 7, "120"));
    hub.Shot("hub-15-feedback-help");

    // 7. The output.
    ASSERT_TRUE(hub.ClickTab(kMain, kSteps, 6));
    ASSERT_TRUE(hub.WaitControl(
        kMain, Named(kOutput), [](const QJsonObject& c) { return c["visible"].toBool(); }, 5000))
        << "the output page does not show";
    hub.Shot("hub-16-output-page");
    {
        ASSERT_TRUE(hub.Click(kMain, Named(kOutput)));
        if (hub.WaitWindow(kOutputProgress, 5000))
            hub.Shot("hub-17-output-progress");
        const QString done = hub.Answer("OK", 120000, "hub-18-output-done");
        EXPECT_EQ(done, QStringLiteral("出力が完了しました。"));

        // The bind tool was handed both bind files, and every file they name exists.
        const QString run = QString::fromUtf8(TestSupport::ReadFile(records + "/durnap/run-1.txt"));
        EXPECT_TRUE(run.contains("arg\t-conf\narg\t" + convert + "/input/xml/KPGEditor_Conf.xml"))
            << run.toStdString();
        EXPECT_TRUE(run.contains("arg\t-info\narg\t" + convert + "/input/xml/KPGEditor_Info.xml"));
        EXPECT_FALSE(run.contains("missing\t")) << run.toStdString();
        EXPECT_FALSE(QFileInfo::exists(records + "/durnap/run-2.txt"));
        // The configuration: English on the display, the English title from the title
        // replacer; the information: the content server's data file per guide and language.
        QDomDocument conf;
        ASSERT_TRUE(
            conf.setContent(TestSupport::ReadFile(convert + "/input/xml/KPGEditor_Conf.xml")));
        EXPECT_EQ(conf.documentElement().tagName(), "BindConf");
        EXPECT_EQ(conf.elementsByTagName("strBaseLanguage").at(0).toElement().text(), "EN");
        const QDomNodeList titles = conf.elementsByTagName("strTitleImg");
        ASSERT_EQ(titles.size(), 1);
        EXPECT_EQ(QFileInfo(titles.at(0).toElement().text()).fileName(), "REN000.BIN");
        QDomDocument bindInfo;
        ASSERT_TRUE(
            bindInfo.setContent(TestSupport::ReadFile(convert + "/input/xml/KPGEditor_Info.xml")));
        EXPECT_EQ(bindInfo.documentElement().tagName(), "BindBody");
        QStringList resources;
        const QDomNodeList items = bindInfo.elementsByTagName("BindInfoItem");
        for (int i = 0; i < items.size(); ++i)
        {
            const QDomElement item = items.at(i).toElement();
            const QString resource = item.firstChildElement("strResource").text();
            if (!resource.isEmpty())
                resources << item.firstChildElement("nGuideNo").text() + ":" +
                                 QFileInfo(resource).fileName();
        }
        resources.sort();
        EXPECT_EQ(resources, QStringList({"10:CEN00001.bin", "10:CJP00001.bin", "20:CEN00002.bin",
                                          "20:CJP00002.bin"}));

        // The card tree: the display language, then the guide languages; the English title;
        // one folder per server with the content server's data files.
        const QString card = Path::Resolve(convert + "/output/SD") + "/private/kp/app/6D2E7A10";
        const QStringList languages =
            QString::fromUtf8(TestSupport::ReadFile(card + "/TZM00000/LANG.TXT"))
                .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        EXPECT_EQ(languages, QStringList({"EN", "JP", "EN"}));
        EXPECT_TRUE(QFileInfo::exists(card + "/TZM00000/REN000.BIN"));
        QStringList serverFolders;
        for (const QString& folder : {QString("TZM00001"), QString("TZM00002")})
        {
            const QStringList server =
                QString::fromUtf8(TestSupport::ReadFile(card + "/" + folder + "/SERVER.TXT"))
                    .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
            serverFolders << server.join(' ');
            if (server.value(0) == "CNT01")
            {
                EXPECT_EQ(Path::Find(card + "/" + folder, "C*.bin").size(), 4)
                    << "the content server carries two works in two languages";
            }
        }
        serverFolders.sort();
        EXPECT_EQ(serverFolders, QStringList({"CNT01 CONTENTS 7", "PRG01 PROGRAM 1"}));
        EXPECT_FALSE(QFileInfo::exists(card + "/TZM00003"));

        // The title replacer got the English title on its screen bitmap.
        BmpHeaderInfo screen;
        ASSERT_TRUE(ReadBmpHeader(records + "/halbrine/run-1.bmp", screen));
        EXPECT_EQ(screen.width, 256);
        EXPECT_EQ(std::abs(screen.height), 192);
        EXPECT_EQ(screen.bitsPerPixel, 8);
        const QString title =
            QString::fromUtf8(TestSupport::ReadFile(records + "/halbrine/run-1.txt"));
        EXPECT_TRUE(title.contains("arg\t-lang\narg\tEN")) << title.toStdString();
        EXPECT_FALSE(QFileInfo::exists(records + "/halbrine/run-2.txt"))
            << "only English is replaced";
        EXPECT_FALSE(Path::Find(Path::Resolve(convert + "/output/title"), "REN000.BIN").isEmpty());
    }

    // Saved, then closed from the File menu.
    ASSERT_TRUE(hub.ClickAction(kFileSave));
    ASSERT_TRUE(Road::WaitUntil(
        [&] { return !hub.Window(kMain)["text"].toString().contains(" *"); }, 20000));
    Road::Figure("OstrelinJP peak memory (road)",
                 hub.Request({{"cmd", "hello"}})["peakKb"].toDouble() / 1024.0, "MiB");
    ASSERT_TRUE(hub.ChooseMenu(kFileMenu, kAppExit));
    ASSERT_TRUE(Road::WaitUntil([&] { return m_hub.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(m_hub.exitCode(), 0);
    Road::Figure("hub road", road.elapsed(), "ms");
}

// The README's "Walking the sample", step by step: the texts each step there names, which the
// walk below uses as its inputs, answers and pages. A change to either shows here.
struct WalkStep
{
    int number;
    QStringList texts;
};

const QString kWalkDescriptionJP = QString::fromUtf8("ひまわりの絵です。");
const QString kWalkDescriptionEN = QStringLiteral("Sunflowers in a vase.");
const QString kWalkPicture[2] = {QStringLiteral("build/sample/convert/input/bmp/work4_jp.bmp"),
                                 QStringLiteral("build/sample/convert/input/bmp/work4_en.bmp")};
const QString kWalkVoice[2] = {QStringLiteral("build/sample/convert/input/wav/work4_jp.wav"),
                               QStringLiteral("build/sample/convert/input/wav/work4_en.wav")};
const QString kWalkOutputQuestion = QString::fromUtf8("すべての言語を出力しますか？");
const QString kWalkOutputAnswer = QString::fromUtf8("はい");
const QString kWalkEditorDone = QString::fromUtf8("出力が完了しました");
const QString kWalkHubDone = QString::fromUtf8("出力が完了しました。");

const WalkStep kWalk[] = {
    {1,
     {QString::fromUtf8("プロジェクトを開く"), "GuideData.olx",
      QString::fromUtf8("GuideData.olx - QuorvaneKP ガイド エディタ")}},
    {2,
     {QString::fromUtf8("2. データ作成"), QString::fromUtf8("コンテンツの編集"),
      QString::fromUtf8("編集 → 追加"), QString::fromUtf8("コンテンツの追加"),
      "proposes work number 4", QString::fromUtf8("日本語"), QString::fromUtf8("英語"),
      QString::fromUtf8("画像１"), QString::fromUtf8("音声"), kWalkPicture[0], kWalkVoice[0],
      kWalkPicture[1], kWalkVoice[1], kWalkDescriptionJP, kWalkDescriptionEN,
      QString::fromUtf8("ファイル → 上書き保存")}},
    {3,
     {QString::fromUtf8("ファイル → 出力"), kWalkOutputQuestion, "**" + kWalkOutputAnswer + "**",
      kWalkEditorDone}},
    {4, {QString::fromUtf8("ファイル → アプリケーションの終了"), "four works"}},
    {5,
     {QString::fromUtf8("5. 作品登録"), QString::fromUtf8("`<追加>`"),
      QString::fromUtf8("作品の設定"), "type 4", "click work 4"}},
    {6,
     {QString::fromUtf8("6. サーバ設定"), "CNT01", QString::fromUtf8("サーバの設定"),
      QString::fromUtf8("サーバに格納可能な作品"), "`<`"}},
    {7, {QString::fromUtf8("7. 出力"), kWalkHubDone}},
    {8,
     {"build/sample/convert/output/SD", "private/kp/app/6D2E7A10/TZM0000n", "eight data files",
      "four works in two languages", QString::fromUtf8("ファイル → 保存")}},
};

// Step n of the README's walk, its blanks and line breaks taken out.
QString ReadmeWalkStep(int number)
{
    const QString readme =
        QString::fromUtf8(TestSupport::ReadFile(QStringLiteral(QUORVANE_SOURCE_DIR "/README.md")));
    const qsizetype section = readme.indexOf(QStringLiteral("## Walking the sample"));
    if (section < 0)
        return QString();
    const qsizetype end = readme.indexOf(QStringLiteral("\n## "), section + 1);
    const QString walk = readme.mid(section, end < 0 ? -1 : end - section);
    const qsizetype from = walk.indexOf(QStringLiteral("\n%1. **").arg(number));
    if (from < 0)
        return QString();
    const qsizetype to = walk.indexOf(QStringLiteral("\n%1. **").arg(number + 1), from);
    return walk.mid(from, to < 0 ? -1 : to - from).remove(QRegularExpression("\\s+"));
}

const QStringList& WalkTexts(int number)
{
    for (const WalkStep& step : kWalk)
        if (step.number == number)
            return step.texts;
    static const QStringList none;
    return none;
}

// The path a step of the README names, below the sample folder this walk made.
QString InSample(const QString& folder, const QString& readmePath)
{
    return folder + readmePath.mid(QStringLiteral("build/sample").size());
}

TEST(ReadmeWalk, EveryStepNamesWhatTheRoadDoes)
{
    for (const WalkStep& step : kWalk)
    {
        SCOPED_TRACE(step.number);
        const QString text = ReadmeWalkStep(step.number);
        ASSERT_FALSE(text.isEmpty()) << "README.md has no step " << step.number;
        for (const QString& named : step.texts)
            EXPECT_TRUE(text.contains(QString(named).remove(QRegularExpression("\\s+"))))
                << "step " << step.number << " does not say " << named.toStdString();
    }
    EXPECT_TRUE(ReadmeWalkStep(9).isEmpty()) << "the walk has a step the road does not take";
}

// The road of `make run` as the README walks it (see kWalk): the sample opened from the
// Open dialog, a fourth work entered in both languages and converted in the content editor,
// the work registered and put on the content server, and the output into the card tree,
// all through the demonstration tools.
TEST_F(RoadHub, SampleProjectWalksTheDemonstrationRoad)
{
#ifndef QUORVANE_SAMPLE_TOOL
    GTEST_SKIP() << "the sample tool is not built";
#else
    ASSERT_TRUE(m_app->IsComplete({"OstrelinJP", "bin/TOVKContEditJP", "bin/marvex", "bin/durnap",
                                   "bin/halbrine", "bin/TOVKQueryEditJP"}));
    // A first run: no profile names a last project yet.
    m_env.insert("XDG_CONFIG_HOME", TestSupport::NewFolder("config"));
    const QString folder = TestSupport::NewFolder("sample");
    QString output;
    ASSERT_EQ(Road::RunToEnd(QUORVANE_SAMPLE_TOOL, {folder}, m_env, 60000, &output), 0)
        << output.toStdString();
    const QString project = folder + "/GuideData.olx";
    const QString convert = folder + "/convert";
    ASSERT_TRUE(QFileInfo::exists(project));
    // A second run leaves the sample as it is.
    const QDateTime written = QFileInfo(project).lastModified();
    ASSERT_EQ(Road::RunToEnd(QUORVANE_SAMPLE_TOOL, {folder}, m_env, 60000), 0);
    EXPECT_EQ(QFileInfo(project).lastModified(), written);

    m_hub.setProcessEnvironment(m_env);
    SKIP_WHILE_THE_USER_RUNS("OstrelinJP", "TOVKContEditJP");
    m_hub.start(m_app->Root() + "/OstrelinJP", {});
    Road::Session hub(*s_server);
    hub.Use(Road::AttachDriver(m_drivers, "OstrelinJP", 30000));
    ASSERT_TRUE(hub.Current());
    ASSERT_TRUE(hub.WaitWindow(kMain));

    // 1. The Open dialog of page 1 starts with the project pattern in the folder of the
    // sample, the last project the profile names: its bare file name opens it.
    ASSERT_TRUE(hub.Click(kMain, Named(kOpenProject)));
    ASSERT_TRUE(hub.WaitWindow("QFileDialog"));
    ASSERT_TRUE(hub.WaitControl("QFileDialog", Named("fileNameEdit"),
                                [](const QJsonObject& c)
                                { return c["text"].toString() == "*.olx"; }));
    hub.Shot("sample-01-open");
    ASSERT_TRUE(hub.Enter("QFileDialog", Named("fileNameEdit"), WalkTexts(1).at(1)));
    ASSERT_TRUE(hub.Keys("Return"));
    ASSERT_TRUE(hub.WaitGone("QFileDialog"));
    ASSERT_TRUE(hub.WaitControl(
        kMain, {}, [](const QJsonObject& c) { return c["text"].toString() == WalkTexts(1).at(2); }))
        << hub.Window(kMain)["text"].toString().toStdString();
    // Every step is complete: the output tab is entered straight from the first one.
    ASSERT_TRUE(hub.ClickTab(kMain, kSteps, 6));
    EXPECT_TRUE(hub.WaitControl(
        kMain, Named(kOutput), [](const QJsonObject& c) { return c["visible"].toBool(); }, 10000))
        << hub.Answer("OK").toStdString();
    hub.Shot("sample-02-output-page");
    const auto registrations = [&]
    {
        const QJsonArray rows = Rows(hub, kMain, kWorksList);
        QStringList pairs;
        for (int row = 0; row < rows.size(); ++row)
            if (Cell(rows, row, 0).toInt() > 0)
                pairs << Cell(rows, row, 0) + "=" + Cell(rows, row, 1);
        return pairs;
    };

    // 2. The content editor from the data-creation page; the add dialog proposes work 4,
    // which gets the sample's picture, voice and description in both languages.
    ASSERT_TRUE(Step(hub, 1, "118"));
    for (int l = 0; l < 2; ++l)
        ASSERT_TRUE(QFileInfo::exists(InSample(folder, kWalkPicture[l])) &&
                    QFileInfo::exists(InSample(folder, kWalkVoice[l])))
            << "the sample holds the files the walk names";
    SKIP_WHILE_THE_USER_RUNS("TOVKContEditJP");
    ASSERT_TRUE(hub.Click(kMain, Named(kEditContent)));
    ASSERT_TRUE(hub.WaitWindow(kWaitEditor));
    {
        Road::Session editor(*s_server);
        editor.Use(Road::AttachDriver(m_drivers, "TOVKContEditJP", 30000));
        ASSERT_TRUE(editor.Current()) << "the hub did not start the content editor";
        ASSERT_TRUE(editor.WaitControl("128", {},
                                       [](const QJsonObject& c)
                                       { return c["text"].toString().contains("TOVKContent"); }))
            << "the editor did not open the sample's content file";
        editor.Shot("sample-04-editor");
        ASSERT_TRUE(editor.ChooseMenu(kEditorEditMenu, kEditorAdd));
        ASSERT_TRUE(editor.WaitWindow(kEditorAddDialog));
        EXPECT_EQ(editor.Find(kEditorAddDialog, Named(kEditorItemNumber))["text"].toString(), "4");
        const QString descriptions[2] = {kWalkDescriptionJP, kWalkDescriptionEN};
        for (int language = 0; language < 2; ++language)
        {
            ASSERT_TRUE(editor.ClickTab(kEditorAddDialog, kEditorLanguageTab, language));
            ASSERT_TRUE(editor.WaitControl(kEditorAddDialog, Named(kEditorLanguageTab),
                                           [&](const QJsonObject& tab)
                                           { return tab["current"].toInt() == language; }));
            ASSERT_TRUE(editor.Enter(kEditorAddDialog, Named(kEditorImage1),
                                     InSample(folder, kWalkPicture[language])));
            ASSERT_TRUE(editor.Enter(kEditorAddDialog, Named(kEditorVoice),
                                     InSample(folder, kWalkVoice[language])));
            ASSERT_TRUE(
                editor.Enter(kEditorAddDialog, Named(kEditorDescription), descriptions[language]));
        }
        editor.Shot("sample-05-editor-add");
        ASSERT_TRUE(editor.Click(kEditorAddDialog, Named(kOk)));
        ASSERT_TRUE(editor.WaitGone(kEditorAddDialog)) << editor.Answer("OK").toStdString();
        const QString xml = convert + "/input/xml/TOVKContent.xml";
        const QDateTime before = QFileInfo(xml).lastModified();
        ASSERT_TRUE(editor.ChooseMenu(kEditorFileMenu, kEditorSave));
        ASSERT_TRUE(Road::WaitUntil([&] { return QFileInfo(xml).lastModified() != before; }, 20000))
            << "not saved";

        // 3. Output: every language is converted.
        ASSERT_TRUE(editor.ChooseMenu(kEditorFileMenu, kEditorOutput));
        // The Yes button is the one that reads はい.
        EXPECT_TRUE(editor.Answer("Yes", 20000, "sample-06-editor-output-question")
                        .startsWith(kWalkOutputQuestion));
        EXPECT_EQ(editor.Answer("OK", 120000, "sample-06-editor-output-result"), kWalkEditorDone);

        // 4. The editor closed from its File menu.
        ContentRoad::Close(editor);
    }
    ASSERT_TRUE(hub.WaitGone(kWaitEditor, 30000)) << "the hub still waits for the editor";
    for (const char* code : {"JP", "EN"})
        EXPECT_EQ(Path::Find(Path::Resolve(convert + "/output/contents/" + code),
                             QString("C%1?????.bin").arg(code))
                      .size(),
                  4)
            << code;
    // The hub scanned the converted works: four now.
    EXPECT_TRUE(hub.WaitControl(kMain, Named(kContentInfo),
                                [](const QJsonObject& c)
                                { return c["text"].toString().contains("\n    4\n"); }))
        << hub.Find(kMain, Named(kContentInfo))["text"].toString().toStdString();
    hub.Shot("sample-07-data-creation");

    // 5. The add row's dialog proposes guide number 4, its text selected, so typing 4
    // replaces it; work 4 is clicked in the list.
    ASSERT_TRUE(Step(hub, 4, "105"));
    EXPECT_EQ(registrations(), QStringList({"1=1", "2=2", "3=3"}));
    {
        const int addRow = Rows(hub, kMain, kWorksList).size() - 1;
        ASSERT_EQ(Cell(Rows(hub, kMain, kWorksList), addRow, 0), QString::fromUtf8("<追加>"));
        ASSERT_TRUE(hub.ClickCell(kMain, kWorksList, addRow, 0, 2));
        ASSERT_TRUE(hub.WaitWindow(kWorkDialog));
        ASSERT_TRUE(hub.WaitControl(kWorkDialog, Named(kGuideNumber),
                                    [](const QJsonObject& c) {
                                        return c["focus"].toBool() && c["text"].toString() == "4";
                                    }));
        ASSERT_TRUE(hub.Keys("4"));
        ASSERT_TRUE(hub.WaitControl(kWorkDialog, Named(kGuideNumber),
                                    [](const QJsonObject& c)
                                    { return c["text"].toString() == "4"; }))
            << hub.Find(kWorkDialog, Named(kGuideNumber))["text"].toString().toStdString();
        const int work4 = RowStartingWith(Rows(hub, kWorkDialog, kWorksList), "4");
        ASSERT_GE(work4, 0);
        ASSERT_TRUE(hub.ClickCell(kWorkDialog, kWorksList, work4, 1));
        hub.Shot("sample-08-work-settings");
        ASSERT_TRUE(hub.Click(kWorkDialog, Named(kOk)));
        ASSERT_TRUE(hub.WaitGone(kWorkDialog)) << hub.Answer("OK").toStdString();
    }
    EXPECT_EQ(registrations(), QStringList({"1=1", "2=2", "3=3", "4=4"}));
    hub.Shot("sample-08-works");

    // 6. The content server takes guide number 4 too: the registered guide numbers it may
    // carry are listed on the right, "<" stores the selected one.
    ASSERT_TRUE(Step(hub, 5, "106"));
    const int contentServer = RowStartingWith(Rows(hub, kMain, kServerList), "CNT01");
    ASSERT_GE(contentServer, 0);
    ASSERT_TRUE(hub.ClickCell(kMain, kServerList, contentServer, 0, 2));
    ASSERT_TRUE(hub.WaitWindow(kServerDialog));
    const int guide4 = RowStartingWith(Rows(hub, kServerDialog, kStorableWorks), "4");
    ASSERT_GE(guide4, 0);
    ASSERT_TRUE(hub.ClickCell(kServerDialog, kStorableWorks, guide4, 0));
    ASSERT_TRUE(hub.Click(kServerDialog, Named(kStoreWorks)));
    ASSERT_TRUE(hub.WaitControl(kServerDialog, Named(kStoredWorks),
                                [](const QJsonObject& c)
                                { return c["rows"].toArray().size() == 4; }));
    hub.Shot("sample-10-server-settings");
    ASSERT_TRUE(hub.Click(kServerDialog, Named(kOk)));
    ASSERT_TRUE(hub.WaitGone(kServerDialog)) << hub.Answer("OK").toStdString();
    hub.Shot("sample-10-servers");

    // 7. The output into the card tree through the title replacer and the bind tool.
    ASSERT_TRUE(hub.ClickTab(kMain, kSteps, 6));
    ASSERT_TRUE(hub.WaitControl(kMain, Named(kOutput),
                                [](const QJsonObject& c) { return c["visible"].toBool(); }))
        << hub.Answer("OK").toStdString();
    ASSERT_TRUE(hub.Click(kMain, Named(kOutput)));
    EXPECT_EQ(hub.Answer("OK", 120000, "sample-11-output-done"), kWalkHubDone);

    // 8. The card: the content server carries its four works in both languages.
    const QString card =
        Path::Resolve(InSample(folder, WalkTexts(8).at(0))) + "/private/kp/app/6D2E7A10";
    EXPECT_EQ(QString::fromUtf8(TestSupport::ReadFile(card + "/TZM00000/LANG.TXT"))
                  .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts),
              QStringList({"JP", "JP", "EN"}));
    EXPECT_TRUE(QFileInfo::exists(card + "/TZM00000/REN000.BIN"));
    QStringList servers;
    for (const QString& server : {QString("TZM00001"), QString("TZM00002")})
        servers << QString::fromUtf8(TestSupport::ReadFile(card + "/" + server + "/SERVER.TXT"))
                           .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)
                           .join(' ') +
                       " " + QString::number(Path::Find(card + "/" + server, "C*.bin").size());
    servers.sort();
    EXPECT_EQ(servers, QStringList({"CNT01 CONTENTS 7 8", "PRG01 PROGRAM 1 0"}));

    ASSERT_TRUE(hub.ChooseMenu(kFileMenu, kFileSave));
    ASSERT_TRUE(Road::WaitUntil(
        [&] { return !hub.Window(kMain)["text"].toString().contains(" *"); }, 20000));
    ASSERT_TRUE(hub.ChooseMenu(kFileMenu, kAppExit));
    ASSERT_TRUE(Road::WaitUntil([&] { return m_hub.state() == QProcess::NotRunning; }, 20000));
#endif
}
} // namespace
