// Merging access-log files: the work table, the access order, and the LOG reports.
#include "DatFixture.h"
#include "ReportText.h"
#include "common/TestSupport.h"
#include "tovkfeedbackviewer/AccessLog.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace DatFixture;

namespace
{
void Merge(CAccessLog& log, const QByteArray& file)
{
    CDatFileImage image;
    image.Assign(QStringLiteral("mem.DAT"), reinterpret_cast<const std::uint8_t*>(file.constData()),
                 static_cast<std::size_t>(file.size()));
    ExtractLogRecords(image, log);
}

std::uint32_t At(int minute, int second = 0)
{
    return PackTime(2024, 4, 2, 10, minute, second);
}

const QByteArray kMacA = Mac({0xAA, 0, 0, 0, 0, 1});
const QByteArray kMacB = Mac({0xBB, 0, 0, 0, 0, 2});
} // namespace

TEST(AccessLogWorks, OrderedByWorkThenGuideAndLaterDescriptionsReplace)
{
    CAccessLog log;
    Merge(log, DatFile(LogArea({{0, 20, 5, "twenty/5"},
                                {0, 10, 9, "ten/9"},
                                {1, 10, 9, "ten/9 en"},
                                {0, 10, 2, "ten/2"}}),
                       {}));
    // A later file: the same pair with a new Japanese text and an empty English one.
    Merge(log,
          DatFile(LogArea({{0, 10, 9, "ten/9 new"}, {1, 10, 9, ""}, {12, 30, 1, "ignored"}}), {}));
    const std::vector<CWorkInfo> works = log.Works();
    ASSERT_EQ(works.size(), 3u);
    EXPECT_EQ(works[0].workNumber, 10);
    EXPECT_EQ(works[0].guideNumber, 2);
    EXPECT_EQ(works[1].guideNumber, 9);
    EXPECT_EQ(works[1].descriptions[0], "ten/9 new");
    EXPECT_EQ(works[1].descriptions[1], "");
    EXPECT_EQ(works[2].workNumber, 20);
    EXPECT_EQ(log.LanguageCount(), 2) << "language 12 is not one of the nine";
    EXPECT_FALSE(log.WriteLogXml(TestSupport::NewFolder() + "/LOG.xml")) << "no access, no report";
}

TEST(AccessLogAccesses, DroppedRecordsOrderAndDuplicates)
{
    CAccessLog log;
    const QByteArray area =
        LogArea({{0, 101, 1, "A jp"}, {1, 101, 1, "A en"}, {0, 102, 2, "B jp"}});
    Merge(log,
          DatFile(area, {
                            Access(At(5), 0, 1, kMacA),
                            Access(At(5), 1, 2, kMacA),   // guide 2 has no English entry: dropped
                            Access(At(5), 0, 3, kMacA),   // no such guide: dropped
                            Access(At(5), 12, 1, kMacA),  // language 12: no entry of it
                            Answer(At(1), 0, kMacA, {1}), // not an access
                            Access(At(1), 1, 1, kMacB),
                            Access(At(5), 0, 1, kMacB),
                        }));
    // A copy of the same file adds nothing; a record of the same time from another file
    // comes after those already held.
    Merge(log, DatFile(area, {Access(At(5), 0, 1, kMacA), Access(At(1), 1, 1, kMacB)}));
    Merge(log, DatFile(area, {Access(At(5), 0, 2, kMacA)}));

    const std::vector<CAccessInfo>& accesses = log.Accesses();
    ASSERT_EQ(accesses.size(), 4u);
    EXPECT_EQ(accesses[0].record.Mac()[0], 0xBB);
    EXPECT_EQ(accesses[0].record.Language(), 1u);
    EXPECT_EQ(accesses[1].record.Mac()[0], 0xAA);
    EXPECT_EQ(accesses[1].record.Guide(), 1u);
    EXPECT_EQ(accesses[2].record.Mac()[0], 0xBB);
    EXPECT_EQ(accesses[3].record.Guide(), 2u);
    EXPECT_EQ(accesses[3].workNumber, 102);
    EXPECT_EQ(log.Descriptions(accesses[1])[1], "A en")
        << "descriptions of every language of the guide";
}

TEST(AccessLogAccesses, DescriptionsComeFromTheAccessOwnFile)
{
    CAccessLog log;
    Merge(log, DatFile(LogArea({{0, 101, 1, "old text"}}), {Access(At(1), 0, 1, kMacA)}));
    Merge(log, DatFile(LogArea({{0, 101, 1, "new text"}}), {Access(At(1), 0, 1, kMacA)}));
    const std::vector<CAccessInfo>& accesses = log.Accesses();
    ASSERT_EQ(accesses.size(), 2u) << "same record, different descriptions: both kept";
    EXPECT_EQ(log.Descriptions(accesses[0])[0], "old text");
    EXPECT_EQ(log.Descriptions(accesses[1])[0], "new text");
    EXPECT_EQ(log.Works()[0].descriptions[0], "new text");
}

// Both reports in full: two present languages, a work without an English text, an access
// whose description holds markup.
TEST(LogReports, ExactText)
{
    CAccessLog log;
    Merge(log, DatFile(LogArea({{0, 101, 1, "睡蓮"},
                                {1, 101, 1, "Lilies & \"sun\"\nrise"},
                                {0, 7, 12, "夜"}}),
                       {Access(PackTime(2025, 11, 30, 14, 3, 9), 1, 1, kMacA),
                        Access(PackTime(2025, 1, 2, 3, 4, 5), 0, 12, kMacB)}));
    const QString folder = TestSupport::NewFolder();
    ASSERT_TRUE(log.WriteLogXml(folder + "/LOG.xml"));
    ASSERT_TRUE(log.WriteLogCsv(folder + "/LOG.csv"));

    const QString expectedXml =
        QStringLiteral("<?xml version=\"1.0\"?>\r\n"
                       "<?xml-stylesheet type=\"text/xsl\" href=\"log.xsl\"?>\r\n"
                       "<table>\r\n"
                       "\t<langs num=\"2\" />\r\n"
                       "\t<no_list no=\"1\">\r\n"
                       "\t\t<sakuhinno>7</sakuhinno>\r\n"
                       "\t\t<guideno>12</guideno>\r\n"
                       "\t\t<info lang=\"Japanese\">夜</info>\r\n"
                       "\t</no_list>\r\n"
                       "\t<no_list no=\"2\">\r\n"
                       "\t\t<sakuhinno>101</sakuhinno>\r\n"
                       "\t\t<guideno>1</guideno>\r\n"
                       "\t\t<info lang=\"Japanese\">睡蓮</info>\r\n"
                       "\t\t<info lang=\"English\">Lilies &amp; &quot;sun&quot;\r\nrise</info>\r\n"
                       "\t</no_list>\r\n"
                       "\t<table_data no=\"1\">\r\n"
                       "\t\t<date>2025/01/02</date>\r\n"
                       "\t\t<time>03:04:05</time>\r\n"
                       "\t\t<mac>BB0000000002</mac>\r\n"
                       "\t\t<lang>Japanese</lang>\r\n"
                       "\t\t<sakuhinno>7</sakuhinno>\r\n"
                       "\t\t<guideno>12</guideno>\r\n"
                       "\t\t<info lang=\"Japanese\">夜</info>\r\n"
                       "\t</table_data>\r\n"
                       "\t<table_data no=\"2\">\r\n"
                       "\t\t<date>2025/11/30</date>\r\n"
                       "\t\t<time>14:03:09</time>\r\n"
                       "\t\t<mac>AA0000000001</mac>\r\n"
                       "\t\t<lang>English</lang>\r\n"
                       "\t\t<sakuhinno>101</sakuhinno>\r\n"
                       "\t\t<guideno>1</guideno>\r\n"
                       "\t\t<info lang=\"Japanese\">睡蓮</info>\r\n"
                       "\t\t<info lang=\"English\">Lilies &amp; &quot;sun&quot;\r\nrise</info>\r\n"
                       "\t</table_data>\r\n"
                       "</table>\r\n");
    EXPECT_EQ(ReportText::Read(folder + "/LOG.xml"), expectedXml);

    const QString expectedCsv = QStringLiteral(
        "\"\"\t\"\"\t\"\"\t\"\"\t\"Sakuhin No.\"\t\"Guide No.\"\t\"Info\"\r\n"
        "\"\"\t\"\"\t\"\"\t\"\"\t\"7\"\t\"12\"\t\"夜\"\t\"\"\r\n"
        "\"\"\t\"\"\t\"\"\t\"\"\t\"101\"\t\"1\"\t\"睡蓮\"\t\"Lilies & \"\"sun\"\"\r\nrise\"\r\n"
        "\"Date\"\t\"Time\"\t\"MAC\"\t\"Language\"\t\"Sakuhin No.\"\t\"Guide No.\"\t\"Info\"\r\n"
        "\"2025/01/"
        "02\"\t\"03:04:05\"\t\"BB0000000002\"\t\"Japanese\"\t\"7\"\t\"12\"\t\"夜\"\t\"\"\r\n"
        "\"2025/11/"
        "30\"\t\"14:03:09\"\t\"AA0000000001\"\t\"English\"\t\"101\"\t\"1\"\t\"睡蓮\"\t\"Lilies & "
        "\"\"sun\"\"\r\nrise\"\r\n");
    EXPECT_EQ(ReportText::Read(folder + "/LOG.csv"), expectedCsv);
}

TEST(LogReports, ScriptTwinCarriesTheSameText)
{
    CAccessLog log;
    Merge(log, DatFile(LogArea({{0, 1, 1, "「説明」</script>"}}), {Access(At(1), 0, 1, kMacA)}));
    const QString folder = TestSupport::NewFolder();
    ASSERT_TRUE(log.WriteLogXml(folder + "/LOG.xml"));
    const QByteArray script = TestSupport::ReadFile(folder + "/LOG.xml.js");
    ASSERT_TRUE(script.startsWith("\xEF\xBB\xBFquorvaneReport(\"LOG.xml\", \""))
        << script.left(40).toStdString();
    ASSERT_TRUE(script.endsWith("\");\r\n"));
    for (const char c : script.mid(3))
        ASSERT_TRUE((c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n')
            << "the script is plain ASCII";
    EXPECT_FALSE(script.contains("</script>"));
    // Undo the string escapes and compare with the report.
    QByteArray body = script.mid(30, script.size() - 30 - 5);
    QString decoded;
    for (qsizetype i = 0; i < body.size(); ++i)
    {
        if (body[i] != '\\')
        {
            decoded += QChar(body[i]);
            continue;
        }
        const char e = body[++i];
        if (e == 'r')
            decoded += '\r';
        else if (e == 'n')
            decoded += '\n';
        else if (e == 't')
            decoded += '\t';
        else if (e == 'u')
        {
            decoded += QChar(body.mid(i + 1, 4).toUShort(nullptr, 16));
            i += 4;
        }
    }
    EXPECT_EQ(decoded, ReportText::Read(folder + "/LOG.xml"));
}
