// The output check of one language over the document's rows.
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/model/ContentValidation.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "common/TestSupport.h"
#include "platform/RecordingMessages.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace ChecksFixtures;

namespace
{
constexpr int English = 1;

class LanguageCheck : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(ContEditStringsEN());
        const QString folder = TestSupport::NewFolder();
        m_picture = TestSupport::WriteFile(folder + "/good.bmp", GuideBmp(10));
        m_badPicture = TestSupport::WriteFile(folder + "/bad.bmp", GuideBmp(256));
        m_voice = TestSupport::WriteFile(folder + "/good.wav", MakeWav(1, 16000, 16, Samples(64)));
        m_badVoice =
            TestSupport::WriteFile(folder + "/bad.wav", MakeWav(2, 16000, 16, Samples(64)));
        m_missing = folder + "/missing";
    }
    // A row of the table, complete in English unless changed.
    ContentRow& Add(int number)
    {
        ContentRow& row = m_doc.GetRow(m_doc.AddRow(true));
        row.itemNumber = number;
        row.image1[English] = m_picture;
        row.voice[English] = m_voice;
        row.description[English] = "Text";
        return row;
    }
    QString Shown() const
    {
        return m_messages.shown().size() == 1 ? m_messages.shown()[0].text : QString("?");
    }

    RecordingMessages m_messages;
    CTOVKContEditDoc m_doc;
    QString m_picture, m_badPicture, m_voice, m_badVoice, m_missing;
};

TEST_F(LanguageCheck, NoRows)
{
    EXPECT_FALSE(m_doc.CheckLanguage(English));
    EXPECT_EQ(m_messages.texts(), QStringList{"There is no content."});
}

TEST_F(LanguageCheck, CompleteRowsPass)
{
    Add(1);
    Add(2).image2[English] = m_picture;
    EXPECT_TRUE(m_doc.CheckLanguage(English));
    EXPECT_TRUE(m_messages.shown().isEmpty());
}

TEST_F(LanguageCheck, FindingsInRowAndRuleOrder)
{
    Add(5).image2[English] = m_missing + ".bmp";
    ContentRow& second = Add(5);
    second.image1[English].clear();
    second.image2[English] = m_badPicture;
    second.voice[English] = m_missing + ".wav";
    second.description[English].clear();
    Add(7).voice[English] = m_badVoice;
    Add(8).image1[English] = m_badPicture;
    // A row with nothing in this language.
    m_doc.GetRow(m_doc.AddRow(true)).itemNumber = 9;

    EXPECT_FALSE(m_doc.CheckLanguage(English));
    const QString expected =
        "Row 1: There is no image 2 file. \r\n"
        "Row 2 Item number 5 has been used. \r\n"
        "Row 2: Image 2 is not a 256x192, 256 colors Bitmap file using 255 colors or less. \r\n"
        "Row 2: There is no voice file. \r\n"
        "Row 2: Product Image 1 has not been entered or has been left blank. \r\nConfirm text "
        "string. \r\n"
        "Row 2: Product description has not been entered. \r\nConfirm text string. \r\n"
        "Row 3: The voice file is not a 16KHz, 16 bits monaural WAV file of 5MB or less. \r\n"
        "Row 4: Image 1 is not a 256x192, 256 colors Bitmap file using 255 colors or less. \r\n"
        "Row 5: Voice file has not been entered or has been left blank. \r\nConfirm text "
        "string. \r\n"
        "Row 5: Product description has not been entered. \r\nConfirm text string. \r\n";
    EXPECT_EQ(Shown(), expected);
}

TEST_F(LanguageCheck, DuplicateNumberReportedOncePerRow)
{
    Add(3);
    Add(3);
    Add(3);
    EXPECT_FALSE(m_doc.CheckLanguage(English));
    EXPECT_EQ(Shown(), "Row 2 Item number 3 has been used. \r\n"
                       "Row 3 Item number 3 has been used. \r\n");
}

TEST_F(LanguageCheck, ScanStopsAfterTwentyFiveFindings)
{
    struct Case
    {
        const char* name;
        bool withoutDescription;
        int rowsListed;
    };
    const Case cases[] = {{"without voice", false, 26},
                          {"without voice and description", true, 13}};
    for (const Case& c : cases)
    {
        CTOVKContEditDoc doc;
        for (int i = 0; i < 40; ++i)
        {
            ContentRow& row = doc.GetRow(doc.AddRow(true));
            row.itemNumber = i + 1;
            row.image1[English] = m_picture;
            if (!c.withoutDescription)
                row.description[English] = "Text";
        }
        m_messages.Clear();
        EXPECT_FALSE(doc.CheckLanguage(English)) << c.name;
        ASSERT_EQ(m_messages.shown().size(), 1) << c.name;
        const QString text = m_messages.shown()[0].text;
        EXPECT_TRUE(text.endsWith("\r\n...\r\n")) << c.name;
        EXPECT_EQ(text.count("has not been entered"), 26) << c.name;
        EXPECT_TRUE(text.contains(QString("Row %1:").arg(c.rowsListed))) << c.name;
        EXPECT_FALSE(text.contains(QString("Row %1:").arg(c.rowsListed + 1))) << c.name;
    }
}

// What the add dialog refuses but a row can hold when it came from a file or a cell edit.
TEST_F(LanguageCheck, RowsTheHandheldCannotShow)
{
    struct Case
    {
        const char* name;
        int number;
        QString description;
        QString finding;
    } cases[] = {
        {"number 0", 0, "Text", "Row 1: Item number 0 is not in the range from 1 to 10,000. \r\n"},
        {"number 10001", 10001, "Text",
         "Row 1: Item number 10001 is not in the range from 1 to 10,000. \r\n"},
        {"number 20000", 20000, "Text",
         "Row 1: Item number 20000 is not in the range from 1 to 10,000. \r\n"},
        {"six lines", 1, "a\r\nb\r\nc\r\nd\r\ne\r\nf",
         "Row 1: The description exceeds display parameters (over 2 lines). \r\n"},
        {"75 characters", 1, QString(75, 'i'),
         "Row 1: The description exceeds display parameters (over 5 character(s)). \r\n"},
        {"240 pixels on the second line", 1, "ab\r\n" + QString(30, 'A'),
         "Row 1: The description exceeds display parameters (over 16 pixel(s)). \r\n"},
        {"all three", 1, QString(40, 'A') + "\r\nb\r\nc\r\nd\r\n" + QString(30, 'A'),
         "Row 1: The description exceeds display parameters (over 1 lines, over 11 "
         "character(s), over 96 pixel(s)). \r\n"},
        {"unsupported characters, the first one listed", 1,
         QString::fromUtf16(u"Te\r\nxt\u0E01\u0E02"),
         "Row 1: The description includes the unsupported character  [\u0E01]0x0E01. \r\n"},
        {"an invisible one by its code alone", 1, QString::fromUtf16(u"a\u200Fb"),
         "Row 1: The description includes the unsupported character  0x200F. \r\n"},
        {"a TAB by its code alone", 1, "a\tb",
         "Row 1: The description includes the unsupported character  0x0009. \r\n"},
        {"a character beyond the basic plane, whole", 1, QString::fromUtf16(u"a\U0001F600"),
         QString::fromUtf16(u"Row 1: The description includes the unsupported character  "
                            u"[\U0001F600]U+1F600. \r\n")},
    };
    for (const Case& c : cases)
    {
        CTOVKContEditDoc doc;
        ContentRow& row = doc.GetRow(doc.AddRow(true));
        row.itemNumber = c.number;
        row.image1[English] = m_picture;
        row.voice[English] = m_voice;
        row.description[English] = c.description;
        m_messages.Clear();
        EXPECT_FALSE(doc.CheckLanguage(English)) << c.name;
        EXPECT_EQ(Shown(), c.finding) << c.name;
    }
    // The limits are those of 1..10000 and of the measure, not less.
    Add(10000).description[English] =
        QString(28, 'A') + "\r\n" + QString(34, 'i') + "\r\nc\r\nd"; // 224 pixels, 70 characters
    m_messages.Clear();
    EXPECT_TRUE(m_doc.CheckLanguage(English)) << Shown().toStdString();
}

TEST_F(LanguageCheck, LimitFindingsFollowTheRowsOwnAndCountTowardsTheCut)
{
    ContentRow& row = Add(0);
    row.voice[English].clear();
    row.description[English] = QString::fromUtf16(u"\u0E01") + QString(80, 'i');
    EXPECT_FALSE(m_doc.CheckLanguage(English));
    EXPECT_EQ(Shown(),
              "Row 1: Voice file has not been entered or has been left blank. \r\nConfirm text "
              "string. \r\n"
              "Row 1: Item number 0 is not in the range from 1 to 10,000. \r\n"
              "Row 1: The description exceeds display parameters (over 11 character(s)). \r\n"
              "Row 1: The description includes the unsupported character  [\u0E01]0x0E01. \r\n");

    // Two findings a row: the scan stops after row 13, with 26 entries.
    CTOVKContEditDoc doc;
    for (int i = 0; i < 40; ++i)
    {
        ContentRow& r = doc.GetRow(doc.AddRow(true));
        r.itemNumber = 20000 + i;
        r.image1[English] = m_picture;
        r.voice[English] = m_voice;
        r.description[English] = QString::fromUtf16(u"\u0E01");
    }
    m_messages.Clear();
    EXPECT_FALSE(doc.CheckLanguage(English));
    const QString text = Shown();
    EXPECT_TRUE(text.endsWith("0x0E01. \r\n...\r\n"));
    EXPECT_EQ(text.count("is not in the range"), 13);
    EXPECT_EQ(text.count("unsupported character"), 13);
    EXPECT_FALSE(text.contains("Row 14:"));
}

TEST(FileVerdicts, KeptUnderPathSizeAndTimeForOneRun)
{
    Strings::Install(ContEditStringsEN());
    RecordingMessages messages;
    const QString folder = TestSupport::NewFolder();
    const QByteArray good = GuideBmp(10);
    QByteArray bad = GuideBmp(256);
    ASSERT_EQ(bad.size(), good.size());
    const QString picture = TestSupport::WriteFile(folder + "/p.bmp", good);
    const QString voice =
        TestSupport::WriteFile(folder + "/v.wav", MakeWav(1, 16000, 16, Samples(64)));
    const QDateTime written = QFileInfo(picture).lastModified();
    CTOVKContEditDoc doc;
    for (int number = 1; number <= 3; ++number)
    {
        ContentRow& row = doc.GetRow(doc.AddRow(true));
        row.itemNumber = number;
        for (const int language : {0, English})
        {
            row.image1[language] = picture;
            row.image2[language] = picture;
            row.voice[language] = voice;
            row.description[language] = "Text";
        }
    }
    // Another picture of the same size and time in the same place: a kept verdict stands.
    const auto replace = [&](const QByteArray& bytes, const QDateTime& time)
    {
        QFile file(picture);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    };

    CFileVerdicts verdicts;
    doc.SetFileVerdicts(&verdicts);
    EXPECT_TRUE(doc.CheckLanguage(0));
    EXPECT_EQ(verdicts.Count(), 2) << "one picture and one voice, however often named";
    replace(bad, written);
    EXPECT_TRUE(doc.CheckLanguage(English));
    EXPECT_EQ(verdicts.Count(), 2);
    // A new time is a new file.
    replace(bad, written.addSecs(5));
    EXPECT_FALSE(doc.CheckLanguage(English));
    EXPECT_EQ(verdicts.Count(), 2) << "the file's new verdict takes the place of the old";

    // Without the run's verdicts every file is judged again.
    doc.SetFileVerdicts(nullptr);
    replace(bad, written);
    EXPECT_FALSE(doc.CheckLanguage(0));
    replace(good, written.addSecs(5));
    EXPECT_TRUE(doc.CheckLanguage(0));
}
} // namespace
