// The report pages in a real browser: a card copy built here is turned into reports, and
// headless Chromium loads the pages from disk with default settings. Each view is reached
// through a copy of the page that calls the page's own actions after it has loaded.
#include "DatFixture.h"
#include "common/TestSupport.h"
#include "platform/Shell.h"
#include "tovkfeedbackviewer/Console.h"
#include "tovkfeedbackviewer/FeedbackViewer.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

using namespace DatFixture;

namespace
{
constexpr int ManyRecords = 10001;
QString g_browser;
QString g_out;

QString Utf16File(const QString& path)
{
    const QByteArray bytes = TestSupport::ReadFile(path);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                              (bytes.size() - 2) / 2);
}

// A copy of the page (same folder, so its relative loads are the same) whose load handler
// runs the given actions; returns its file name.
QString PageWithActions(const QString& page, const QString& actions)
{
    static int counter = 0;
    const QString name = QStringLiteral("test_%1_%2").arg(++counter).arg(page);
    QString text = Utf16File(g_out + "/Data/" + page);
    text.replace("</body>",
                 "<script type=\"text/javascript\">window.addEventListener('load', function () { " +
                     actions + " });</script>\r\n</body>");
    QByteArray bytes("\xFF\xFE", 2);
    bytes += QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    TestSupport::WriteFile(g_out + "/Data/" + name, bytes);
    return name;
}

QStringList BrowserArguments()
{
    return {"--headless",
            "--no-sandbox",
            "--disable-gpu",
            "--no-first-run",
            "--disable-background-networking",
            "--disable-component-update",
            "--disable-sync",
            "--user-data-dir=" + TestSupport::NewFolder("profile"),
            "--virtual-time-budget=5000"};
}

// The DOM after load, as text (tags kept); the event loop runs meanwhile (for the server).
QString DumpUrl(const QString& url)
{
    QProcess browser;
    QEventLoop loop;
    QObject::connect(&browser, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    browser.start(g_browser, BrowserArguments() << "--dump-dom" << url);
    loop.exec();
    return QString::fromUtf8(browser.readAllStandardOutput());
}

QString DumpDom(const QString& relative, const QString& query)
{
    return DumpUrl(QUrl::fromLocalFile(g_out + "/" + relative).toString() + query);
}

// A copy of a report whose root carries the given view attributes; returns its path below
// the output folder.
QString ReportWithRoot(const QString& report, const QString& attributes)
{
    static int counter = 0;
    const QString name = QStringLiteral("Data/test_%1_%2").arg(++counter).arg(report);
    QString text = Utf16File(g_out + "/Data/" + report);
    text.replace("\r\n<table>\r\n", "\r\n<table " + attributes + ">\r\n");
    QByteArray bytes("\xFF\xFE", 2);
    bytes += QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    TestSupport::WriteFile(g_out + "/" + name, bytes);
    return name;
}

// A loopback HTTP server for the files below one folder.
class FileServer : public QTcpServer
{
public:
    explicit FileServer(const QString& root) : m_root(root)
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this,
                [this]
                {
                    while (QTcpSocket* socket = nextPendingConnection())
                        connect(socket, &QTcpSocket::readyRead, socket,
                                [this, socket] { Serve(socket); });
                });
    }
    QString Url(const QString& relative) const
    {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(serverPort()).arg(relative);
    }

private:
    void Serve(QTcpSocket* socket)
    {
        const QList<QByteArray> request = socket->readAll().split(' ');
        QString path =
            request.size() > 1 ? QString::fromUtf8(request[1]).section('?', 0, 0) : QString();
        QByteArray body;
        QByteArray status = "404 Not Found";
        if (!path.contains(".."))
        {
            QFile file(m_root + path);
            if (file.open(QIODevice::ReadOnly))
            {
                body = file.readAll();
                status = "200 OK";
            }
        }
        const QByteArray type = path.endsWith(".xml") || path.endsWith(".xsl") ? "text/xml"
                                : path.endsWith(".css")                        ? "text/css"
                                                                               : "text/html";
        socket->write("HTTP/1.0 " + status + "\r\nContent-Type: " + type + "\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
    QString m_root;
};

// Texts of the page's visible cells and buttons, without tags, blanks collapsed.
QString Visible(const QString& dom)
{
    QString text = dom;
    text.replace(QRegularExpression("<(noscript|script|title)[^>]*>.*?</\\1>",
                                    QRegularExpression::DotMatchesEverythingOption),
                 " ");
    text.replace(QRegularExpression("<input[^>]*value=\"([^\"]*)\"[^>]*>"), " [\\1] ");
    text.replace(QRegularExpression("<[^>]*>"), " ");
    text.replace("&nbsp;", " ");
    text.replace("&amp;", "&");
    return text.simplified();
}

class Pages : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        g_browser = QStandardPaths::findExecutable("chromium");
        if (g_browser.isEmpty())
            return;
        const QString card = TestSupport::NewFolder("card");
        const QByteArray area = QuestionnaireArea({
            {0,
             {{false, "展示はいかがでしたか", {"良い", "普通", "悪い"}},
              {true, "好きな作品", {"絵画", "彫刻"}}}},
            {1,
             {{false, "How was the exhibition?", {"Good", "Fair", "Poor"}},
              {true, "Favourite works", {"Paintings", "Sculptures"}}}},
        });
        const QByteArray mac = Mac({0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
        WriteCardFile(
            card, "ENQ001/A.DAT",
            DatFile(area, {Answer(PackTime(2024, 5, 1, 10, 0, 0), 1, mac, {0x01, 0x03}),
                           Answer(PackTime(2024, 5, 2, 11, 30, 15), 0, mac, {0x01, 0x00}),
                           Answer(PackTime(2024, 5, 3, 12, 45, 30), 1, mac, {0x04, 0x02})}));
        WriteCardFile(card, "LOG001/B.DAT",
                      DatFile(LogArea({{0, 101, 1, "睡蓮"},
                                       {1, 101, 1, "Water Lilies"},
                                       {0, 102, 2, "考える人"}}),
                              {Access(PackTime(2024, 6, 1, 9, 0, 0), 1, 1, mac),
                               Access(PackTime(2024, 6, 1, 9, 5, 0), 0, 1, mac),
                               Access(PackTime(2024, 6, 1, 9, 10, 0), 0, 2, mac)}));
        // A second questionnaire with 10,001 answers: eleven list steps of at most 1000.
        std::vector<QByteArray> many;
        for (int i = 0; i < ManyRecords; ++i)
            many.push_back(Answer(PackTime(2024, 7, 1 + i / 1440, i / 60 % 24, i % 60, 0), 1, mac,
                                  {0x01 << (i % 2)}));
        WriteCardFile(card, "ENQ002/M.DAT",
                      DatFile(QuestionnaireArea({{1, {{false, "Again?", {"Yes", "No"}}}}}), many));
        g_out = card + "/out";
        Console::Capture capture;
        RecordingShell shell;
        ASSERT_EQ(FeedbackViewerMain({"TOVKFeedbackViewer", "-in", card, "-out", g_out}), 0);
    }

    void SetUp() override
    {
        if (g_browser.isEmpty())
            GTEST_SKIP() << "chromium is not installed (scripts/install-deps adds it)";
    }
};

const QString kEnqEn = "?sysLang=English?xml=ENQ_00.xml";
const QString kEnqJa = "?sysLang=Japanese?xml=ENQ_00.xml";
const QString kLogEn = "?sysLang=English?xml=LOG.xml";
const QString kManyEn = "?sysLang=English?xml=ENQ_01.xml";

// The values of the page's buttons, in page order.
QStringList ButtonValues(const QString& dom)
{
    QStringList values;
    QRegularExpressionMatchIterator it =
        QRegularExpression("<input[^>]*type=\"button\"[^>]*value=\"([^\"]*)\"").globalMatch(dom);
    while (it.hasNext())
        values << it.next().captured(1);
    return values;
}

// Whether the button of that value is disabled.
bool Disabled(const QString& dom, const QString& value)
{
    const QRegularExpressionMatch input =
        QRegularExpression("<input[^>]*value=\"" + QRegularExpression::escape(value) + "\"[^>]*>")
            .match(dom);
    return input.hasMatch() && input.captured(0).contains("disabled");
}
} // namespace

TEST_F(Pages, IndexPagesLinkTheReports)
{
    const QString en = DumpDom("index_en.html", "");
    EXPECT_TRUE(
        en.contains("href=\"Data/enq.html?sysLang=English?xml=ENQ_00.xml\">Survey results 00</a>"))
        << en.toStdString();
    EXPECT_TRUE(en.contains("href=\"Data/LOG.csv\">LOG.csv</a>"));
    const QString ja = Visible(DumpDom("index_jp.html", ""));
    EXPECT_TRUE(ja.contains("収集データ")) << ja.toStdString();
    EXPECT_TRUE(ja.contains("アンケート結果 00"));
    EXPECT_TRUE(ja.contains("アクセスログ"));
}

TEST_F(Pages, QuestionnaireTotalView)
{
    // Three records: question 1 answer 1 twice, answer 3 once; question 2 one record
    // unanswered. Questions show in the first header's language until one is chosen.
    const QString text = Visible(DumpDom("Data/enq.html", kEnqEn));
    for (const char* expected : {"Top Survey results (total) [TOTAL] [LIST 1 ～ 3] Display "
                                 "Language [Japanese] Japanese [English] English",
                                 "1. 展示はいかがでしたか Number of answers (Individual Selection) "
                                 "Ratio 良い 2 / 3 66.7% 普通 0 / 3 0.0% 悪い 1 / 3 33.3%",
                                 "2. 好きな作品 Number of answers (Multiple Selection) Ratio 絵画 "
                                 "1 / 3 33.3% 彫刻 2 / 3 66.7% No-responce 1 / 3 33.3%"})
        EXPECT_TRUE(text.contains(expected)) << expected << "\n" << text.toStdString();
    const QString ja = Visible(DumpDom("Data/enq.html", kEnqJa));
    EXPECT_TRUE(ja.contains("トップ画面へ アンケート結果(集計)")) << ja.toStdString();
    EXPECT_TRUE(ja.contains("質問／回答の表示言語 [Japanese] 日本語 [English] 英語"));
    EXPECT_TRUE(ja.contains("回答数 (単一選択) 割合"));
}

TEST_F(Pages, QuestionnaireListSingleAndNavigation)
{
    const QString list =
        Visible(DumpDom("Data/" + PageWithActions("enq.html", "onList(1, 3);"), kEnqEn));
    EXPECT_TRUE(list.contains("Survey results (list)")) << list.toStdString();
    EXPECT_TRUE(list.contains("No. Date Time Language 展示はいかがでしたか (Individual Selection) "
                              "好きな作品 (Multiple Selection)"))
        << list.toStdString();
    EXPECT_TRUE(list.contains("[1] 2024/05/01 10:00:00 English 良い 絵画 彫刻 "
                              "[2] 2024/05/02 11:30:15 Japanese 良い No-responce "
                              "[3] 2024/05/03 12:45:30 English 悪い 彫刻"));

    const QString single =
        Visible(DumpDom("Data/" + PageWithActions("enq.html", "onNumber(2);"), kEnqEn));
    EXPECT_TRUE(single.contains("Survey result (single)")) << single.toStdString();
    EXPECT_TRUE(single.contains("[PREV] 2 / 3 [NEXT]"));
    EXPECT_TRUE(single.contains("Date 2024/05/02"));
    EXPECT_TRUE(single.contains("Language Japanese"));

    const QString next = Visible(
        DumpDom("Data/" + PageWithActions("enq.html", "onNumber(2); onNext(); onNext();"), kEnqEn));
    EXPECT_TRUE(next.contains("[PREV] 3 / 3 [NEXT]")) << next.toStdString();
    EXPECT_TRUE(next.contains("Time 12:45:30"));

    const QString missing =
        Visible(DumpDom("Data/" + PageWithActions("enq.html", "onNumber(9);"), kEnqEn));
    EXPECT_TRUE(missing.contains("No. 9 is not found.")) << missing.toStdString();
}

TEST_F(Pages, QuestionnaireLanguageSwitch)
{
    const QString text =
        Visible(DumpDom("Data/" + PageWithActions("enq.html", "onChangeLang('English');"), kEnqEn));
    EXPECT_TRUE(
        text.contains("1. How was the exhibition? Number of answers (Individual Selection) Ratio "
                      "Good 2 / 3 66.7% Fair 0 / 3 0.0% Poor 1 / 3 33.3%"))
        << text.toStdString();
    const QString single = Visible(DumpDom(
        "Data/" + PageWithActions("enq.html", "onChangeLang('English'); onNumber(1);"), kEnqEn));
    EXPECT_TRUE(single.contains("How was the exhibition? (Individual Selection) Good "
                                "Favourite works (Multiple Selection) Paintings Sculptures"))
        << single.toStdString();
}

TEST_F(Pages, AccessLogTotalListAndLanguage)
{
    const QString total = Visible(DumpDom("Data/log.html", kLogEn));
    EXPECT_TRUE(total.contains("Access log (total)")) << total.toStdString();
    EXPECT_TRUE(total.contains("Item number Guide number Item explanation Number of accesses 101 1 "
                               "睡蓮 2 102 2 考える人 1"))
        << total.toStdString();
    const QString english =
        Visible(DumpDom("Data/" + PageWithActions("log.html", "onChangeLang('English');"), kLogEn));
    EXPECT_TRUE(english.contains("101 1 Water Lilies 2 102 2 - 1")) << english.toStdString();

    const QString list =
        Visible(DumpDom("Data/" + PageWithActions("log.html", "onList(1, 3);"), kLogEn));
    EXPECT_TRUE(list.contains("Access log (list)")) << list.toStdString();
    EXPECT_TRUE(list.contains(
        "1 2024/06/01 09:00:00 English 101 1 睡蓮 2 2024/06/01 09:05:00 Japanese 101 1 睡蓮 "
        "3 2024/06/01 09:10:00 Japanese 102 2 考える人"));

    const QString japanese = Visible(
        DumpDom("Data/" + PageWithActions("log.html", "onList(1, 3); onChangeLang('English');"),
                "?sysLang=Japanese?xml=LOG.xml"));
    EXPECT_TRUE(japanese.contains("アクセスログ(リスト)")) << japanese.toStdString();
    EXPECT_TRUE(japanese.contains("作品説明の表示言語"));
    EXPECT_TRUE(japanese.contains("1 2024/06/01 09:00:00 英語 101 1 Water Lilies"));
    EXPECT_TRUE(japanese.contains("3 2024/06/01 09:10:00 日本語 102 2 -"));
}

TEST_F(Pages, StyleSheetsRenderTheReportsOverHttp)
{
    FileServer server(g_out);
    const QString enq = Visible(DumpUrl(server.Url("Data/ENQ_00.xml")));
    EXPECT_TRUE(enq.contains("Top Survey results (total) [TOTAL] [LIST 1 ～ 3] Display Language "
                             "[Japanese] Japanese [English] English"))
        << enq.toStdString();
    EXPECT_TRUE(enq.contains("1. 展示はいかがでしたか Number of answers (Individual Selection) "
                             "Ratio 良い 2 / 3 66.7% 普通 0 / 3 0.0% 悪い 1 / 3 33.3%"));
    EXPECT_TRUE(enq.contains("彫刻 2 / 3 66.7% No-responce 1 / 3 33.3%"));
    const QString log = Visible(DumpUrl(server.Url("Data/LOG.xml")));
    EXPECT_TRUE(log.contains("Access log (total)")) << log.toStdString();
    EXPECT_TRUE(log.contains("Item number Guide number Item explanation Number of accesses 101 1 "
                             "睡蓮 2 102 2 考える人 1"));
    // The views that the page selects through the root's attributes.
    const QString single = Visible(DumpUrl(
        server.Url(ReportWithRoot("ENQ_00.xml", "selectIdx=\"2\" listStart=\"\" listEnd=\"\" "
                                                "sysLanguage=\"Japanese\" language=\"English\""))));
    EXPECT_TRUE(single.contains("アンケート結果(個別)")) << single.toStdString();
    EXPECT_TRUE(single.contains("[PREV] 2 / 3 [NEXT]"));
    EXPECT_TRUE(single.contains(
        "How was the exhibition? (単一選択) Good Favourite works (複数選択) 未回答"));
    const QString list = Visible(DumpUrl(server.Url(ReportWithRoot(
        "ENQ_00.xml", "selectIdx=\"\" listStart=\"2\" listEnd=\"3\" listLimit=\"2\""))));
    EXPECT_TRUE(list.contains("Survey results (list) [TOTAL] [LIST 1 ～ 2] [LIST 3]"))
        << list.toStdString();
    EXPECT_TRUE(list.contains("[2] 2024/05/02 11:30:15 Japanese 良い No-responce [3] 2024/05/03 "
                              "12:45:30 English 悪い 彫刻"));
    EXPECT_FALSE(list.contains("2024/05/01"));
    const QString logList = Visible(DumpUrl(server.Url(
        ReportWithRoot("LOG.xml", "listStart=\"1\" listEnd=\"0\" language=\"English\""))));
    EXPECT_TRUE(logList.contains("Access log (list)")) << logList.toStdString();
    EXPECT_TRUE(logList.contains("1 2024/06/01 09:00:00 English 101 1 Water Lilies 2 2024/06/01 "
                                 "09:05:00 Japanese 101 1 Water Lilies "
                                 "3 2024/06/01 09:10:00 Japanese 102 2 -"));
    // The page itself over HTTP, too.
    const QString page = Visible(DumpUrl(server.Url("Data/enq.html") + kEnqJa));
    EXPECT_TRUE(page.contains("アンケート結果(集計)")) << page.toStdString();
}

TEST_F(Pages, ScreenshotShowsTheRenderedPage)
{
    const QString shot = TestSupport::NewFolder("shots") + "/enq.png";
    QProcess browser;
    browser.start(g_browser,
                  BrowserArguments()
                      << "--window-size=1000,800"
                      << "--screenshot=" + shot
                      << QUrl::fromLocalFile(g_out + "/Data/enq.html").toString() + kEnqEn);
    browser.waitForFinished(60000);
    QImage image(shot);
    ASSERT_FALSE(image.isNull());
    // The bars of the total view are drawn in the style sheet's blue.
    int blue = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            blue += image.pixel(x, y) == qRgb(0x40, 0x80, 0xC0) ? 1 : 0;
    EXPECT_GT(blue, 20);
    if (qEnvironmentVariableIsSet("QUORVANE_SHOTS"))
        QFile::copy(shot, qEnvironmentVariable("QUORVANE_SHOTS") + "/enq.png");
}

TEST_F(Pages, ManyRecordsGoInListStepsOfAThousandTenButtonsALine)
{
    const QString dom = DumpDom("Data/enq.html", kManyEn);
    QStringList steps;
    for (int first = 1; first <= ManyRecords; first += 1000)
        steps << (first + 999 <= ManyRecords
                      ? QStringLiteral("LIST %1 ～ %2").arg(first).arg(first + 999)
                      : QStringLiteral("LIST %1").arg(first));
    ASSERT_EQ(steps.size(), 11);
    EXPECT_EQ(ButtonValues(dom), QStringList{"TOTAL"} + steps) << dom.toStdString();
    const qsizetype tenth = dom.indexOf("value=\"LIST 9001 ～ 10000\"");
    const qsizetype eleventh = dom.indexOf("value=\"LIST 10001\"");
    ASSERT_GT(tenth, 0);
    EXPECT_EQ(dom.mid(tenth, eleventh - tenth).count("<br>"), 1) << "a line break after ten";
    EXPECT_FALSE(dom.left(tenth).contains("<br>")) << "none before";
    EXPECT_TRUE(Disabled(dom, "TOTAL"));
    EXPECT_TRUE(Visible(dom).contains("Again? Number of answers (Individual Selection) Ratio "
                                      "Yes 5001 / 10001 50.0% No 5000 / 10001 50.0%"))
        << Visible(dom).toStdString();

    const QString list =
        DumpDom("Data/" + PageWithActions("enq.html", "onList(1001, 2000);"), kManyEn);
    const QString rows = Visible(list);
    EXPECT_TRUE(rows.contains("[1001] 2024/07/01 16:40:00 English Yes")) << rows.toStdString();
    EXPECT_TRUE(rows.contains("[2000] 2024/07/02 09:19:00 English No"));
    EXPECT_FALSE(rows.contains("[1000] "));
    EXPECT_FALSE(rows.contains("[2001] "));
    EXPECT_TRUE(Disabled(list, "LIST 1001 ～ 2000"));
    EXPECT_FALSE(Disabled(list, "LIST 1 ～ 1000"));
    EXPECT_FALSE(Disabled(list, "TOTAL"));
}

TEST_F(Pages, PrevAndNextStopAtTheFirstAndTheLastRecord)
{
    struct Case
    {
        const char* actions;
        QString position;
        bool prev;
        bool next;
    };
    const Case cases[] = {
        {"onNumber(1); onPrev();", "[PREV] 1 / 10001 [NEXT]", false, true},
        {"onNumber(2); onPrev();", "[PREV] 1 / 10001 [NEXT]", false, true},
        {"onNumber(10000); onNext();", "[PREV] 10001 / 10001 [NEXT]", true, false},
        {"onNumber(10001); onNext(); onNext();", "[PREV] 10001 / 10001 [NEXT]", true, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.actions);
        const QString dom = DumpDom("Data/" + PageWithActions("enq.html", c.actions), kManyEn);
        EXPECT_TRUE(Visible(dom).contains(c.position)) << Visible(dom).toStdString();
        EXPECT_EQ(Disabled(dom, "PREV"), !c.prev);
        EXPECT_EQ(Disabled(dom, "NEXT"), !c.next);
    }
}

TEST_F(Pages, TheQuestionnaireScriptTwinHoldsTheReportText)
{
    // Pages opened from disk read the report through its twin: the same text, as a script.
    for (const QString& report : {QStringLiteral("ENQ_00.xml"), QStringLiteral("ENQ_01.xml")})
    {
        SCOPED_TRACE(report.toStdString());
        const QByteArray twin = TestSupport::ReadFile(g_out + "/Data/" + report + ".js");
        const QByteArray head = "\xEF\xBB\xBFquorvaneReport(\"" + report.toUtf8() + "\", ";
        ASSERT_TRUE(twin.startsWith(head));
        ASSERT_TRUE(twin.endsWith(");\r\n"));
        const QJsonDocument literal = QJsonDocument::fromJson(
            "[" + twin.mid(head.size(), twin.size() - head.size() - 4) + "]");
        ASSERT_TRUE(literal.isArray());
        EXPECT_EQ(literal.array().at(0).toString(), Utf16File(g_out + "/Data/" + report));
    }
}
