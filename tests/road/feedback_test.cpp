// The feedback road: a copy of a card on which handhelds stored answers and visits goes
// through the installed TOVKFeedbackViewer, and every page its index pages link is opened in
// a headless browser and shows the reports.
#include "road/RoadFixture.h"
#include "tovkfeedbackviewer/DatFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

using namespace DatFixture;

namespace
{
QStringList BrowserArguments(const QString& profile)
{
    return {"--headless",
            "--no-sandbox",
            "--disable-gpu",
            "--disable-quic",
            "--no-first-run",
            "--disable-background-networking",
            "--disable-component-update",
            "--disable-sync",
            "--user-data-dir=" + profile,
            "--virtual-time-budget=5000"};
}

// Cell and button texts of a DOM, tags and scripts dropped, blanks collapsed.
QString Visible(QString text)
{
    text.replace(QRegularExpression("<(noscript|script|title|style)[^>]*>.*?</\\1>",
                                    QRegularExpression::DotMatchesEverythingOption),
                 " ");
    text.replace(QRegularExpression("<input[^>]*value=\"([^\"]*)\"[^>]*>"), " [\\1] ");
    text.replace(QRegularExpression("<[^>]*>"), " ");
    text.replace("&nbsp;", " ");
    text.replace("&amp;", "&");
    return text.simplified();
}

QString Utf16Text(const QString& path)
{
    const QByteArray bytes = TestSupport::ReadFile(path);
    if (!bytes.startsWith("\xFF\xFE"))
        return QString();
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                              (bytes.size() - 2) / 2);
}

class RoadFeedback : public RoadTest
{
protected:
    // The DOM of a page after its scripts ran.
    QString Dom(const QString& url)
    {
        QString out;
        Road::RunToEnd(m_browser,
                       BrowserArguments(TestSupport::NewFolder("profile")) << "--dump-dom" << url,
                       m_env, 90000, &out);
        return out;
    }

    void Screenshot(const QString& url, const QString& name)
    {
        Road::RunToEnd(m_browser,
                       BrowserArguments(TestSupport::NewFolder("profile"))
                           << "--window-size=1100,900"
                           << "--screenshot=" + Road::OutputFolder() + "/" + name + ".png" << url,
                       m_env, 90000, nullptr, Road::OutputFolder());
    }

    QString m_browser = QStandardPaths::findExecutable("chromium");
};

TEST_F(RoadFeedback, CardCopyBecomesReportsThatTheBrowserShows)
{
    if (m_browser.isEmpty())
        GTEST_SKIP() << "chromium is not installed (scripts/install-deps adds it)";
    ASSERT_TRUE(m_app->IsComplete({"TOVKFeedbackViewer"}));
    QElapsedTimer road;
    road.start();

    // Two handhelds: answers in Japanese and English, and visits of three works.
    const QString card = TestSupport::NewFolder("card");
    const QByteArray first = Mac({0x00, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F});
    const QByteArray second = Mac({0x00, 0x1B, 0x2C, 0x3D, 0x4E, 0x60});
    WriteCardFile(card, "ENQ001/A.DAT",
                  DatFile(SampleQuestionnaireArea(),
                          {Answer(PackTime(2025, 4, 1, 10, 0, 0), 0, first, {0x01, 0x03}),
                           Answer(PackTime(2025, 4, 1, 10, 20, 0), 1, second, {0x02, 0x01})}));
    WriteCardFile(card, "ENQ001/B.DAT",
                  DatFile(SampleQuestionnaireArea(),
                          {Answer(PackTime(2025, 4, 2, 14, 5, 30), 1, first, {0x04, 0x02})}));
    WriteCardFile(card, "LOG001/A.DAT",
                  DatFile(SampleLogArea(), {Access(PackTime(2025, 4, 1, 9, 0, 0), 0, 1, first),
                                            Access(PackTime(2025, 4, 1, 9, 4, 0), 1, 1, second),
                                            Access(PackTime(2025, 4, 1, 9, 9, 0), 0, 2, first),
                                            Access(PackTime(2025, 4, 1, 9, 12, 0), 0, 3, first)}));
    const QString out = TestSupport::NewFolder("reports");

    QString console;
    ASSERT_EQ(Road::RunToEnd(m_app->Root() + "/TOVKFeedbackViewer", {"-in", card, "-out", out},
                             m_env, 60000, &console),
              0)
        << console.toStdString();
    // The viewer hands its index page to the desktop, which opens it in the browser.
    ASSERT_TRUE(Road::WaitUntil([&] { return !Opened().isEmpty(); }, 10000));
    const QString opened = QUrl(Opened().first()).toLocalFile();
    EXPECT_TRUE(opened == out + "/index_en.html" || opened == out + "/index_jp.html")
        << opened.toStdString();

    // What each linked page must show, by the link's file.
    struct Expected
    {
        const char* page;
        QStringList texts;
    };
    const std::vector<Expected> expected = {
        {"index_en.html", {"Collected Data", "Survey results 00", "Access log"}},
        {"index_jp.html", {"収集データ", "アンケート結果 00", "アクセスログ"}},
        {"Data/enq.html",
         {"Survey results (total)",
          "1. 展示はいかがでしたか Number of answers (Individual Selection) Ratio 良い 1 / 3 "
          "33.3% 普通 1 / 3 33.3% 悪い 1 / 3 33.3%",
          "2. どの作品が好きですか Number of answers (Multiple Selection) Ratio 絵画 2 / 3 "
          "66.7% 彫刻 2 / 3 66.7%"}},
        {"Data/log.html", {"Access log (total)", "101 1 睡蓮 2 102 2 考える人 1 103 3 夜警 1"}},
        {"Data/enq.html?Japanese",
         {"アンケート結果(集計)",
          "1. 展示はいかがでしたか 回答数 (単一選択) 割合 良い 1 / 3 33.3% 普通 1 / 3 33.3% "
          "悪い 1 / 3 33.3%",
          "2. どの作品が好きですか 回答数 (複数選択) 割合 絵画 2 / 3 66.7% 彫刻 2 / 3 66.7%"}},
        {"Data/log.html?Japanese",
         {"アクセスログ(集計)", "101 1 睡蓮 2 102 2 考える人 1 103 3 夜警 1"}},
    };
    const auto texts = [&](const QString& page) -> QStringList
    {
        for (const Expected& e : expected)
            if (page == e.page)
                return e.texts;
        return {};
    };

    const QRegularExpression link("href=\"([^\"#]+)\"");
    QStringList followed;
    for (const QString& index : {QString("index_en.html"), QString("index_jp.html")})
    {
        const QString dom = Dom(QUrl::fromLocalFile(out + "/" + index).toString());
        for (const QString& text : texts(index))
            EXPECT_TRUE(Visible(dom).contains(text))
                << index.toStdString() << ": " << text.toStdString();
        Screenshot(QUrl::fromLocalFile(out + "/" + index).toString(),
                   "feedback-" + QFileInfo(index).baseName());
        for (auto match = link.globalMatch(dom); match.hasNext();)
        {
            const QString href = match.next().captured(1);
            if (href.endsWith(".css"))
                continue;
            const QString file = href.section('?', 0, 0);
            followed << href;
            ASSERT_TRUE(QFileInfo::exists(out + "/" + file)) << href.toStdString();
            if (file.endsWith(".csv"))
            {
                // The data files: UTF-16, tab-separated quoted fields.
                const QString csv = Utf16Text(out + "/" + file);
                EXPECT_TRUE(csv.contains("\"\t\"")) << href.toStdString();
                EXPECT_TRUE(csv.contains(file.contains("LOG") ? "睡蓮" : "展示はいかがでしたか"))
                    << href.toStdString();
                continue;
            }
            // A page: loaded with its query, as the link gives it, after its scripts ran.
            const QString url = "file://" + out + "/" + href;
            const QString shown = Visible(Dom(url));
            const QStringList want =
                texts(href.contains("sysLang=Japanese") ? file + "?Japanese" : file);
            EXPECT_FALSE(want.isEmpty()) << "unexpected link " << href.toStdString();
            for (const QString& text : want)
                EXPECT_TRUE(shown.contains(text))
                    << href.toStdString() << ": " << text.toStdString() << "\n"
                    << shown.toStdString();
            Screenshot(url, QString("feedback-%1-%2")
                                .arg(QFileInfo(index).baseName(), QFileInfo(file).baseName()));
        }
    }
    // Each index page links both reports, both data files and the other index page.
    EXPECT_EQ(followed.size(), 10) << followed.join(" ").toStdString();
    Road::Figure("feedback road", road.elapsed(), "ms");
}
} // namespace
