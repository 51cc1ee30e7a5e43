// The pre-output check: its three report sections, its progress and its cancel.
#include "Ostrelin/ContentFixtures.h"
#include "Ostrelin/OutputFixtures.h"
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/model/OutputRun.h"
#include "Ostrelin/res/Strings.h"

#include <QFile>
#include <gtest/gtest.h>

namespace
{
using namespace OutputFixtures;
using ContentFixtures::WriteQueryBin;
using ContentFixtures::WriteWork;
using TestSupport::NewFolder;
using TestSupport::WriteFile;

const QString kWorksHeader =
    QStringLiteral("・以下のガイド番号および言語に対応する作品が読み込めませんでした。\r\n");
const QString kTitlesHeader =
    QStringLiteral("・以下の言語に対応する画像ファイルが読み込めませんでした。\r\n");
const QString kQueryHeader =
    QStringLiteral("・以下の言語に対応するアンケートデータが読み込めませんでした。\r\n");

QString Line(int guide, const char* language)
{
    return QStringLiteral("    ガイド番号 %1 - %2\r\n").arg(guide).arg(QString::fromUtf8(language));
}

QString NameLine(const char* language)
{
    return QStringLiteral("    ") + QString::fromUtf8(language) + QStringLiteral("\r\n");
}

class OutputCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(OstrelinStringsJA());
        project = NewFolder(QStringLiteral("check"));
        projectPath = project + QStringLiteral("/Guide.olx");
    }

    // Work w with file number f, in the given languages on disk.
    void Work(qint32 fileNo, qint32 workNo, std::initializer_list<const char*> codes)
    {
        quint16 languages = 0;
        for (const char* code : codes)
        {
            WriteWork(project, QString::fromLatin1(code), fileNo, quint32(workNo), "w");
            for (int i = 0; i < kLanguageCount; ++i)
                languages |= GetLanguageCode(i) == QLatin1String(code) ? 1u << i : 0u;
        }
        data().AddWork(fileNo, workNo, QStringLiteral("w"), languages ? languages : 1);
    }

    bool Check(COutputProgress* progress = nullptr)
    {
        cancelled = false;
        report = QStringLiteral("left over");
        return COutputRun(doc, projectPath, {}, {}, progress).CheckStepData(report, &cancelled);
    }

    CBindData& data() { return doc.GetBindData(); }

    QString project, projectPath, report;
    bool cancelled = false;
    COstrelinDoc doc;
};

TEST_F(OutputCheckTest, EveryGuideNumberOfAFailedWorkIsReported)
{
    data().m_wGuideLanguages = 0x0003;
    Work(1, 10, {"JP"});       // English file missing
    Work(2, 20, {"JP", "EN"}); // good
    data().AddGuide(1, 10);
    data().AddGuide(2, 10);
    data().AddGuide(3, 20);
    data().AddGuide(4, 99); // not loaded at all: every guide language
    EXPECT_FALSE(Check());
    EXPECT_EQ(report.toStdString(), (kWorksHeader + Line(1, "英語") + Line(2, "英語") +
                                     Line(4, "日本語") + Line(4, "英語"))
                                        .toStdString());
    EXPECT_FALSE(cancelled);
    EXPECT_FALSE(data().FindWork(10)->m_bUsed);
    EXPECT_TRUE(data().FindWork(20)->m_bUsed);
}

TEST_F(OutputCheckTest, WorkFoundGoodIsNotReadAgain)
{
    data().m_wGuideLanguages = 0x0003;
    Work(5, 50, {"JP", "EN"});
    data().AddGuide(1, 50);
    data().AddGuide(7, 50);
    // Once guide 1 is through (two language tests and the entry's test), the files go: a
    // second read under guide 7 would report them.
    FakeProgress progress;
    progress.cancelWhen = [&]()
    {
        if (progress.pumps == 3)
            QDir(project + QStringLiteral("/convert")).removeRecursively();
        return false;
    };
    EXPECT_TRUE(Check(&progress));
    EXPECT_EQ(report, QString());
    EXPECT_EQ(progress.pumps, 3 + 2); // guide 7 is passed over, then the two steps
}

TEST_F(OutputCheckTest, TitlesOfGuideLanguagesOnly)
{
    const QString pictures = NewFolder(QStringLiteral("pictures"));
    data().m_wGuideLanguages = 0x000F;
    data().m_wTitleLanguages = 0x001F; // IT is no guide language: not examined
    data().m_strTitleImage[0] = WriteFile(pictures + QStringLiteral("/ok.bmp"), TwoColourTitle());
    data().m_strTitleImage[1] = QString();
    data().m_strTitleImage[2] = pictures + QStringLiteral("/missing.bmp");
    data().m_strTitleImage[3] = WriteFile(pictures + QStringLiteral("/deep.bmp"),
                                          TitleBmp(
                                              {}, [](int, int) { return 0xFF00FFu; }, 24));
    data().m_strTitleImage[4] = pictures + QStringLiteral("/missing.bmp");
    EXPECT_FALSE(Check());
    EXPECT_EQ(report,
              kTitlesHeader + NameLine("英語") + NameLine("フランス語") + NameLine("ドイツ語"));
}

TEST_F(OutputCheckTest, QuestionnaireFilesOnlyWithAQuestionnaireServer)
{
    data().m_wGuideLanguages = 0x000C;
    WriteQueryBin(project, QStringLiteral("FR"));
    data().AddServer(QStringLiteral("P0001"));
    EXPECT_TRUE(Check());
    EXPECT_EQ(report, QString());

    data().AddServer(QStringLiteral("Q0001"));
    data().FindServer(QStringLiteral("Q0001"))->m_nRole = RoleEnquete;
    EXPECT_FALSE(Check());
    EXPECT_EQ(report, kQueryHeader + NameLine("ドイツ語"));
}

TEST_F(OutputCheckTest, SectionsComeInOrderEachUnderOneHeader)
{
    data().m_wGuideLanguages = 0x0002;
    data().m_wTitleLanguages = 0x0002;
    data().AddGuide(3, 30);
    data().AddGuide(4, 40);
    data().AddServer(QStringLiteral("Q0001"));
    data().FindServer(QStringLiteral("Q0001"))->m_nRole = RoleEnquete;
    EXPECT_FALSE(Check());
    EXPECT_EQ(report, kTitlesHeader + NameLine("英語") + kWorksHeader + Line(3, "英語") +
                          Line(4, "英語") + kQueryHeader + NameLine("英語"));
}

TEST_F(OutputCheckTest, NoGuideLanguageFindsNothing)
{
    data().m_wTitleLanguages = 0x0001;
    data().AddGuide(1, 10);
    data().AddServer(QStringLiteral("Q0001"));
    data().FindServer(QStringLiteral("Q0001"))->m_nRole = RoleEnquete;
    FakeProgress progress;
    EXPECT_TRUE(Check(&progress));
    EXPECT_EQ(report, QString());
    EXPECT_EQ(progress.steps, (std::vector<int>{500, 500}));
}

TEST_F(OutputCheckTest, CancelEndsTheCheckAtOnce)
{
    data().m_wGuideLanguages = 0x01FF;
    for (int g = 1; g <= 20; ++g)
        data().AddGuide(g, 100 + g);
    FakeProgress progress;
    progress.cancelWhen = [&]() { return progress.pumps == 4; };
    EXPECT_TRUE(Check(&progress));
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(progress.pumps, 4);
    EXPECT_TRUE(progress.steps.empty());
}
} // namespace
