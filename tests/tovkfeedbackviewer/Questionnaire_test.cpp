// Merging questionnaire answers and the ENQ reports.
#include "DatFixture.h"
#include "ReportText.h"
#include "common/TestSupport.h"
#include "tovkfeedbackviewer/Questionnaire.h"
#include "tovkfeedbackviewer/Text.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace DatFixture;

namespace
{
CDatFileImage Image(const QByteArray& file)
{
    CDatFileImage image;
    image.Assign(QStringLiteral("mem.DAT"), reinterpret_cast<const std::uint8_t*>(file.constData()),
                 static_cast<std::size_t>(file.size()));
    return image;
}

void Merge(CQuestionnaireList& list, const QByteArray& file)
{
    ExtractEnqRecords(Image(file), list);
}

// The minutes of the answers, in report order.
std::vector<int> Minutes(const CQuestionnaire& questionnaire)
{
    std::vector<int> minutes;
    for (const DatRecord& record : questionnaire.Answers())
        minutes.push_back(static_cast<int>((record.PackedTime() >> 20) & 0x3F));
    return minutes;
}

const QByteArray kMac = Mac({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0xEF});
} // namespace

TEST(QuestionnaireMerge, IdenticalAreasMergeAndAnyDifferingByteSplits)
{
    const QByteArray area = SampleQuestionnaireArea();
    const QByteArray answer = Answer(PackTime(2024, 1, 1, 9, 0, 0), 0, kMac, {1});
    for (qsizetype differing :
         {qsizetype(-1), qsizetype(14), qsizetype(6144 * 8 + 100), qsizetype(0xDFFF)})
    {
        QByteArray other = area;
        if (differing >= 0)
            other[differing] = static_cast<char>(other[differing] ^ 0x40);
        CQuestionnaireList list;
        Merge(list, DatFile(area, {answer}));
        Merge(list, DatFile(other, {Answer(PackTime(2024, 1, 1, 9, 5, 0), 0, kMac, {1})}));
        EXPECT_EQ(list.Count(), differing < 0 ? 1u : 2u) << "byte " << differing;
    }
}

TEST(QuestionnaireMerge, FilesWithoutAnswersOrOfAnotherKindAddNothing)
{
    CQuestionnaireList list;
    Merge(list,
          DatFile(SampleQuestionnaireArea(), {Access(PackTime(2024, 1, 1, 0, 0, 0), 0, 1, kMac)}));
    Merge(list, DatFile(SampleLogArea(), {Answer(PackTime(2024, 1, 1, 0, 0, 0), 0, kMac, {1})}));
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.WriteAllEnqXml(TestSupport::NewFolder() + "/ENQ_"), 0);
}

TEST(QuestionnaireMerge, OrderAndDuplicates)
{
    const QByteArray area = SampleQuestionnaireArea();
    const auto at = [](int year, int minute) { return PackTime(year, 6, 1, 12, minute, 0); };
    CQuestionnaireList list;
    // File 1: two different records of the same time (minute 10) and one of 2063.
    Merge(list,
          DatFile(area, {Answer(at(2063, 1), 0, kMac, {1}), Answer(at(2024, 10), 0, kMac, {1}),
                         Answer(at(2024, 10), 0, kMac, {2})}));
    // File 2, read later: an earlier record, a copy of a record of file 1, and one more of
    // minute 10 that must come after the two of file 1.
    Merge(list,
          DatFile(area, {Answer(at(2000, 30), 1, kMac, {1}), Answer(at(2024, 10), 0, kMac, {2}),
                         Answer(at(2024, 10), 1, kMac, {4})}));
    ASSERT_EQ(list.Count(), 1u);
    const CQuestionnaire& questionnaire = list.At(0);
    EXPECT_EQ(Minutes(questionnaire), (std::vector<int>{30, 10, 10, 10, 1}));
    const auto& answers = questionnaire.Answers();
    ASSERT_EQ(answers.size(), 5u);
    EXPECT_EQ(answers[1].AnswerByte(0), 1);
    EXPECT_EQ(answers[2].AnswerByte(0), 2);
    EXPECT_EQ(answers[3].AnswerByte(0), 4);
    EXPECT_EQ(answers[4].PackedTime() & 0x3F, 63u);
}

TEST(QuestionnaireMerge, AllRecordsOfOneSecondStillDropCopies)
{
    CQuestionnaireList list;
    std::vector<QByteArray> records;
    for (int i = 0; i < 300; ++i)
        records.push_back(Answer(PackTime(2024, 1, 1, 0, 0, 0), 0, Mac({i % 100}), {1}));
    Merge(list, DatFile(SampleQuestionnaireArea(), records));
    ASSERT_EQ(list.Count(), 1u);
    const auto& answers = list.At(0).Answers();
    ASSERT_EQ(answers.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(answers[static_cast<std::size_t>(i)].Mac()[0], i);
}

TEST(QuestionnaireInit, LanguageCountAndMaxAnswersAcrossLanguages)
{
    // Japanese question 3 has 4 answers, English question 3 has 5; languages 12 and an
    // unused slot are not counted.
    const auto question = [](int answers)
    {
        Question q{false, QStringLiteral("q"), {}};
        for (int i = 0; i < answers; ++i)
            q.answers.push_back(QString::number(i + 1));
        return q;
    };
    const QByteArray area = QuestionnaireArea({
        {0, {question(2), question(1), question(4)}},
        {1, {question(1), question(3), question(5)}},
        {12, {question(8), question(8), question(8), question(8)}},
    });
    CQuestionnaire questionnaire;
    questionnaire.Init(reinterpret_cast<const std::uint8_t*>(area.constData()));
    EXPECT_EQ(questionnaire.LanguageCount(), 2);
    EXPECT_EQ(questionnaire.MaxAnswers(0), 2);
    EXPECT_EQ(questionnaire.MaxAnswers(1), 3);
    EXPECT_EQ(questionnaire.MaxAnswers(2), 5);
    EXPECT_EQ(questionnaire.MaxAnswers(3), 0);
}

// The whole of both reports for a small questionnaire: Japanese question 1 with two answers,
// English question 1 with three (so three answer positions), a question with markup and a
// line break, and an answer record in language 12.
TEST(EnqReports, ExactText)
{
    QByteArray area = QuestionnaireArea({
        {0,
         {{false, QStringLiteral("色は?"), {QStringLiteral("赤"), QStringLiteral("青")}},
          {true, QStringLiteral("a\"b\r\n<c>&'d"), {QStringLiteral("x")}}}},
        {1,
         {{false,
           QStringLiteral("Colour?"),
           {QStringLiteral("Red"), QStringLiteral("Blue"), QStringLiteral("Green")}},
          {true, QStringLiteral("Q2"), {QStringLiteral("y")}}}},
    });
    // A stored third answer text beyond the Japanese entry's own count of two.
    PutText(area, 68 + 104 + 64, QStringLiteral("緑"));
    SealHeader(area, 0);
    const QByteArray file =
        DatFile(area, {Answer(PackTime(2024, 3, 9, 8, 7, 6), 12, kMac, {0x05, 0x01}),
                       Answer(PackTime(2023, 12, 31, 23, 59, 58), 1, kMac, {0x02, 0x00})});
    CQuestionnaireList list;
    Merge(list, file);
    const QString folder = TestSupport::NewFolder();
    EXPECT_EQ(list.WriteAllEnqXml(folder + "/ENQ_"), 1);
    EXPECT_EQ(list.WriteAllEnqCsv(folder + "/ENQ_"), 1);

    const QString expectedXml =
        QStringLiteral("<?xml version=\"1.0\"?>\r\n"
                       "<?xml-stylesheet type=\"text/xsl\" href=\"enq.xsl\"?>\r\n"
                       "<table>\r\n"
                       "\t<langs num=\"2\" />\r\n"
                       "\t<table_header>\r\n"
                       "\t\t<enq lang=\"Japanese\" no=\"1\">\r\n"
                       "\t\t\t<type>Single</type>\r\n"
                       "\t\t\t<query>色は?</query>\r\n"
                       "\t\t\t<ans no=\"1\">赤</ans>\r\n"
                       "\t\t\t<ans no=\"2\">青</ans>\r\n"
                       "\t\t</enq>\r\n"
                       "\t\t<enq lang=\"Japanese\" no=\"2\">\r\n"
                       "\t\t\t<type>Multi</type>\r\n"
                       "\t\t\t<query>a&quot;b\r\n&lt;c&gt;&amp;&apos;d</query>\r\n"
                       "\t\t\t<ans no=\"1\">x</ans>\r\n"
                       "\t\t</enq>\r\n"
                       "\t\t<enq lang=\"English\" no=\"1\">\r\n"
                       "\t\t\t<type>Single</type>\r\n"
                       "\t\t\t<query>Colour?</query>\r\n"
                       "\t\t\t<ans no=\"1\">Red</ans>\r\n"
                       "\t\t\t<ans no=\"2\">Blue</ans>\r\n"
                       "\t\t\t<ans no=\"3\">Green</ans>\r\n"
                       "\t\t</enq>\r\n"
                       "\t\t<enq lang=\"English\" no=\"2\">\r\n"
                       "\t\t\t<type>Multi</type>\r\n"
                       "\t\t\t<query>Q2</query>\r\n"
                       "\t\t\t<ans no=\"1\">y</ans>\r\n"
                       "\t\t</enq>\r\n"
                       "\t</table_header>\r\n"
                       "\t<table_data no=\"1\">\r\n"
                       "\t\t<date>2023/12/31</date>\r\n"
                       "\t\t<time>23:59:58</time>\r\n"
                       "\t\t<mac>001A2B3C4DEF</mac>\r\n"
                       "\t\t<lang>English</lang>\r\n"
                       "\t\t<enq no=\"1\" value=\"02\">\r\n"
                       "\t\t\t<ans no=\"1\" value=\"0\"/>\r\n"
                       "\t\t\t<ans no=\"2\" value=\"1\"/>\r\n"
                       "\t\t\t<ans no=\"3\" value=\"0\"/>\r\n"
                       "\t\t</enq>\r\n"
                       "\t\t<enq no=\"2\" value=\"00\">\r\n"
                       "\t\t\t<ans no=\"1\" value=\"0\"/>\r\n"
                       "\t\t</enq>\r\n"
                       "\t</table_data>\r\n"
                       "\t<table_data no=\"2\">\r\n"
                       "\t\t<date>2024/03/09</date>\r\n"
                       "\t\t<time>08:07:06</time>\r\n"
                       "\t\t<mac>001A2B3C4DEF</mac>\r\n"
                       "\t\t<lang>Japanese</lang>\r\n"
                       "\t\t<enq no=\"1\" value=\"05\">\r\n"
                       "\t\t\t<ans no=\"1\" value=\"1\"/>\r\n"
                       "\t\t\t<ans no=\"2\" value=\"0\"/>\r\n"
                       "\t\t\t<ans no=\"3\" value=\"1\"/>\r\n"
                       "\t\t</enq>\r\n"
                       "\t\t<enq no=\"2\" value=\"01\">\r\n"
                       "\t\t\t<ans no=\"1\" value=\"1\"/>\r\n"
                       "\t\t</enq>\r\n"
                       "\t</table_data>\r\n"
                       "</table>\r\n");
    EXPECT_EQ(ReportText::Read(folder + "/ENQ_00.xml"), expectedXml);

    const QString expectedCsv = QStringLiteral(
        "\"\"\t\"\"\t\"\"\t\"Japanese\"\t\"色は?\"\t\"\"\t\"\"\t\"a\"\"b\r\n<c>&'d\"\r\n"
        "\"\"\t\"\"\t\"\"\t\"\"\t\"赤\"\t\"青\"\t\"緑\"\t\"x\"\r\n"
        "\"\"\t\"\"\t\"\"\t\"English\"\t\"Colour?\"\t\"\"\t\"\"\t\"Q2\"\r\n"
        "\"\"\t\"\"\t\"\"\t\"\"\t\"Red\"\t\"Blue\"\t\"Green\"\t\"y\"\r\n"
        "\"Date\"\t\"Time\"\t\"MAC\"\t\"Language\"\t\"\"\t\"\"\t\"\"\t\"\"\r\n"
        "\"2023/12/31\"\t\"23:59:58\"\t\"001A2B3C4DEF\"\t\"English\"\t\"\"\t\"○\"\t\"\"\t\"\"\r\n"
        "\"2024/03/"
        "09\"\t\"08:07:06\"\t\"001A2B3C4DEF\"\t\"Japanese\"\t\"○\"\t\"\"\t\"○\"\t\"○\"\r\n");
    EXPECT_EQ(ReportText::Read(folder + "/ENQ_00.csv"), expectedCsv);
}

TEST(EnqReports, NumberedByReportsWrittenAndNotWrittenWithoutAnswers)
{
    CQuestionnaireList list;
    Merge(list, DatFile(SampleQuestionnaireArea(),
                        {Answer(PackTime(2024, 1, 1, 0, 0, 0), 0, kMac, {1})}));
    Merge(list, DatFile(QuestionnaireArea(
                            {{1, {{false, QStringLiteral("Other"), {QStringLiteral("a")}}}}}),
                        {Answer(PackTime(2024, 1, 1, 0, 0, 0), 1, kMac, {1})}));
    const QString folder = TestSupport::NewFolder();
    EXPECT_EQ(list.WriteAllEnqXml(folder + "/ENQ_"), 2);
    EXPECT_TRUE(ReportText::Read(folder + "/ENQ_01.xml").contains("<query>Other</query>"));

    CQuestionnaire empty;
    empty.Init(reinterpret_cast<const std::uint8_t*>(SampleQuestionnaireArea().constData()));
    EXPECT_FALSE(WriteEnqXml(folder + "/none.xml", empty));
    EXPECT_FALSE(WriteEnqCsv(folder + "/none.csv", empty));
    EXPECT_FALSE(QFile::exists(folder + "/none.xml"));
    EXPECT_FALSE(QFile::exists(folder + "/none.csv"));
}

TEST(TextHelpers, EscapingTable)
{
    struct Case
    {
        QString in;
        QString xml;
        QString csv;
    };
    const std::vector<Case> cases = {
        {"plain", "plain", "plain"},
        {"a\"b", "a&quot;b", "a\"\"b"},
        {"l1\nl2", "l1\r\nl2", "l1\r\nl2"},
        {"l1\r\nl2\r", "l1\r\nl2", "l1\r\nl2"},
        {"<&>'", "&lt;&amp;&gt;&apos;", "<&>'"},
        {QString("tab\tok"), QString("tab\tok"), QString("tab\tok")},
        {QString(QChar(0x01)) + "x" + QChar(0xFFFF), QString(QChar(0xFFFD)) + "x" + QChar(0xFFFD),
         QString(QChar(0x01)) + "x" + QChar(0xFFFF)},
        {QString(QChar(0xD800)) + "a", QString(QChar(0xFFFD)) + "a", QString(QChar(0xD800)) + "a"},
        {QString::fromUtf8("\xF0\x9F\x8E\xA8"), QString::fromUtf8("\xF0\x9F\x8E\xA8"),
         QString::fromUtf8("\xF0\x9F\x8E\xA8")},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(EscapeXml(c.in), c.xml) << c.in.toStdString();
        EXPECT_EQ(EscapeCsv(c.in), c.csv) << c.in.toStdString();
    }
    QString line;
    AppendCsvField(line, u"");
    AppendCsvField(line, u"a\"");
    AppendLineEnd(line);
    EXPECT_EQ(line, "\"\"\t\"a\"\"\"\r\n");
}

TEST(TextHelpers, LanguageNames)
{
    const char* names[] = {"Japanese", "English", "French", "German", "Italian",
                           "Spanish",  "Chinese", "Korean", "Dutch"};
    for (unsigned i = 0; i < 9; ++i)
        EXPECT_EQ(GetLanguageName(i), names[i]);
    for (unsigned i = 9; i < 16; ++i)
        EXPECT_EQ(GetLanguageName(i), "Japanese");
}
