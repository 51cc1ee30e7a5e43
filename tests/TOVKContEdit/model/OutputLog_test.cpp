// The converter's log as the Output command reports it: the line rewriting in both
// resource sets, the abort marker in the raw bytes, long lines and bytes that do not convert.
#include "TOVKContEdit/model/OutputLog.h"
#include "TOVKContEdit/res/Strings.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>

namespace
{
TEST(OutputLog, RewritesEachLineIntoTheUsersWords)
{
    Strings::Install(ContEditStringsEN());
    struct Case
    {
        const char* line;
        const char* kept; // nullptr: dropped
    } cases[] = {
        {"Error : marvex : lang = 2", "Language = FRE"},
        {"Error : marvex : lang = 0", "Language = JPN"},
        {"Error : marvex : lang = 8 ", "Language = DUT"},
        {"Error : marvex : lang = 12", "Language = 12"},
        {"Error : marvex : lang = -1", "Language = -1"},
        {"Error : marvex : pnum = 12", "Item number = 12"},
        {"Error : marvex : img1 = /p/a.bmp", "Image1 = /p/a.bmp"},
        {"Error : marvex : img2 = /p/b.bmp", "Image2 = /p/b.bmp"},
        {"Error : marvex : wave = /p/c.wav", "Voice = /p/c.wav"},
        {"Error : marvex : other", nullptr},
        {"marvex 1.0", nullptr},
        {"Path = /p/convert ABORTED!!", nullptr},
        {"ABORTED!!", "ABORTED!!"},
        {"language table loaded", "language table loaded"},
        {"lang of marvex", nullptr},
        {"", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.line);
        const std::optional<QString> kept = RewriteConverterLogLine(QString::fromUtf8(c.line));
        if (!c.kept)
            EXPECT_FALSE(kept.has_value()) << kept.value_or(QString()).toStdString();
        else
            EXPECT_EQ(kept.value_or(QStringLiteral("<dropped>")), QString::fromUtf8(c.kept));
    }
}

TEST(OutputLog, JapaneseSetNamesTheLanguageInFull)
{
    Strings::Install(ContEditStringsJA());
    EXPECT_EQ(RewriteConverterLogLine(QStringLiteral("Error : marvex : lang = 2")).value_or(""),
              QStringLiteral("言語 = フランス語"));
    EXPECT_EQ(RewriteConverterLogLine(QStringLiteral("Error : marvex : pnum = 3")).value_or(""),
              QStringLiteral("作品番号 = 3"));
    Strings::Install(ContEditStringsEN());
}

TEST(OutputLog, MarkerCountsEvenWhereTheLineIsDropped)
{
    Strings::Install(ContEditStringsEN());
    struct Case
    {
        QByteArray bytes;
        bool aborted;
        QString lines;
    } cases[] = {
        {"Error : marvex : pnum = 12\r\nPath = /p ABORTED!!\nend", true,
         "Item number = 12\r\nend\r\n"},
        {"all done\n", false, "all done\r\n"},
        // A line that does not convert is skipped for the text, not for the marker.
        {"\xff\xfe\xfd ABORTED!!\nnext\n", true, "next\r\n"},
        {"", false, ""},
    };
    for (const Case& c : cases)
    {
        ConverterReport report;
        ReadConverterLog(c.bytes, report);
        EXPECT_TRUE(report.logFound);
        EXPECT_EQ(report.aborted, c.aborted) << c.bytes.toStdString();
        EXPECT_EQ(report.lines, c.lines) << c.bytes.toStdString();
    }
}

TEST(OutputLog, AWindowsConverterLogIsReadInItsAnsiCodePage)
{
    Strings::Install(ContEditStringsEN());
    struct Case
    {
        QByteArray encoding;
        QByteArray bytes;
        QString lines;
    } cases[] = {
        {"windows-1252", "Caf\xe9 \x80\n", QStringLiteral("Caf\u00e9 \u20ac\r\n")},
        {"CP932", "\x89\xb9\x90\xba\nError : marvex : wave = \x83\x65.wav\n",
         QStringLiteral("\u97f3\u58f0\r\nVoice = \u30c6.wav\r\n")},
        // The locale's UTF-8 does not take the 8-bit bytes: the line is skipped.
        {"", "Caf\xe9\nok\n", QStringLiteral("ok\r\n")},
    };
    for (const Case& c : cases)
    {
        ConverterReport report;
        ReadConverterLog(c.bytes, report, c.encoding);
        EXPECT_EQ(report.lines, c.lines) << c.encoding.toStdString();
    }
}

TEST(OutputLog, LongLinesAreReadInPieces)
{
    Strings::Install(ContEditStringsEN());
    const QByteArray line = QByteArray(ConverterLogLineBytes, 'a') + QByteArray(10, 'b');
    ConverterReport report;
    ReadConverterLog(line + "\nshort\n", report);
    EXPECT_EQ(report.lines, QString(ConverterLogLineBytes, u'a') + QStringLiteral("\r\n") +
                                QString(10, u'b') + QStringLiteral("\r\nshort\r\n"));
}

TEST(OutputLog, ReportsOfSeveralLogsAddUp)
{
    Strings::Install(ContEditStringsEN());
    const QString folder = TestSupport::NewFolder(QStringLiteral("log"));
    const QString path = TestSupport::WriteFile(folder + QStringLiteral("/marvex.log"),
                                                "ABORTED!!\nError : marvex : img1 = a.bmp\n");
    ConverterReport report;
    ASSERT_TRUE(ReadConverterLogFile(path, report));
    TestSupport::WriteFile(path, "fine\n");
    ASSERT_TRUE(ReadConverterLogFile(path, report));
    EXPECT_TRUE(report.aborted);
    EXPECT_EQ(report.lines, QStringLiteral("ABORTED!!\r\nImage1 = a.bmp\r\nfine\r\n"));

    ConverterReport none;
    EXPECT_FALSE(ReadConverterLogFile(folder + QStringLiteral("/missing.log"), none));
    EXPECT_FALSE(none.logFound);
}
TEST(OutputLog, AReportKeepsItsFirstLinesAndStillFindsALateMarker)
{
    Strings::Install(ContEditStringsEN());
    // Twenty megabytes of findings, the marker at the very end.
    QByteArray log;
    for (int i = 0; log.size() < 20 * 1024 * 1024; ++i)
        log += "Error : marvex : pnum = " + QByteArray::number(i) + "\n";
    log += "ABORTED!!\n";
    ConverterReport report;
    ReadConverterLog(log, report);
    EXPECT_TRUE(report.aborted);
    EXPECT_EQ(report.lineCount, ConverterReportLines + 1);
    EXPECT_TRUE(report.lines.startsWith(QStringLiteral("Item number = 0\r\n")));
    EXPECT_TRUE(report.lines.endsWith(QStringLiteral("Item number = 999\r\n...\r\n")));
    // Further logs of the run add nothing to a full report.
    ReadConverterLog("Error : marvex : pnum = 1\n", report);
    EXPECT_TRUE(report.lines.endsWith(QStringLiteral("...\r\n")));
    EXPECT_EQ(report.lineCount, ConverterReportLines + 1);
}
} // namespace
