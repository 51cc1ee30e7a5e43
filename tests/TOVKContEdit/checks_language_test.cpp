// The output check of one language over the document's rows.
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "checks_fixtures.h"
#include "common/TestSupport.h"
#include "platform/RecordingMessages.h"

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
} // namespace
