// Description limits, the supported-character rule and the font tables behind them.
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/model/CharTables.h"
#include "TOVKContEdit/model/ContentLimits.h"
#include "TOVKContEdit/res/Strings.h"
#include "platform/RecordingMessages.h"

#include <gtest/gtest.h>

namespace
{
constexpr int Japanese = 0, English = 1, French = 2, Chinese = 6, Korean = 7, Dutch = 8;

class Description : public ::testing::Test
{
protected:
    void SetUp() override { Strings::Install(ContEditStringsEN()); }
    RecordingMessages m_messages;
};

TEST(CharTables, TellingRows)
{
    struct Row
    {
        char16_t c;
        int japanese, chinese, korean;
    };
    const Row rows[] = {
        {u'A', 8, 8, 10},        {u'i', 2, 2, 3},         {u' ', 9, 5, 4},
        {u'0', 8, 8, 10},        {u'7', 8, 8, 10},        {u'\u00E9', 8, 16, 8},
        {u'\u3042', 16, 16, 16}, {u'\u4E00', 16, 16, 16}, {u'\uAC00', 16, 16, 16},
        {u'\u3000', 15, 15, 15}, {u'\r', 0, 0, 0},        {u'\n', 0, 0, 0},
    };
    for (const Row& r : rows)
    {
        EXPECT_EQ(GlyphWidthTable(FontGroup::Japanese)[r.c], r.japanese) << int(r.c);
        EXPECT_EQ(GlyphWidthTable(FontGroup::European)[r.c], r.japanese) << int(r.c);
        EXPECT_EQ(GlyphWidthTable(FontGroup::Chinese)[r.c], r.chinese) << int(r.c);
        EXPECT_EQ(GlyphWidthTable(FontGroup::Korean)[r.c], r.korean) << int(r.c);
    }
}

TEST(CharTables, WidthsExactlyWhereSupported)
{
    const auto& supported = SupportedCharacterTable();
    const auto& japanese = GlyphWidthTable(FontGroup::Japanese);
    int count = 0, chineseDiffers = 0, koreanDiffers = 0;
    for (int c = 0; c < 65536; ++c)
    {
        count += supported[c] != 0;
        for (FontGroup g :
             {FontGroup::Japanese, FontGroup::European, FontGroup::Chinese, FontGroup::Korean})
        {
            const int w = GlyphWidthTable(g)[c];
            ASSERT_EQ(w != 0, supported[c] != 0) << c;
            ASSERT_LE(w, 16) << c;
        }
        chineseDiffers += GlyphWidthTable(FontGroup::Chinese)[c] != japanese[c];
        koreanDiffers += GlyphWidthTable(FontGroup::Korean)[c] != japanese[c];
    }
    EXPECT_EQ(chineseDiffers, 27);
    EXPECT_EQ(koreanDiffers, 75);
    // Close to the handheld's own 13,139: the three national repertoires plus Latin.
    EXPECT_NEAR(count, 13139, 400);
    for (char16_t c : {u'\u0101', u'\u0113', u'\u011B', u'\u0391', u'\u03C9', u'\u0401', u'\u0451',
                       u'\u2010', u'\u2026', u'\uFFE6', u'\u00A1', u'\u00FF'})
        EXPECT_TRUE(IsSupportedCharacter(c)) << int(c);
    for (char16_t c : {u'\r', u'\n', u'\t', u'\u007F', u'\u00A6', u'\u200F', u'\uFFFF'})
        EXPECT_FALSE(IsSupportedCharacter(c)) << int(c);
}

TEST(CharTables, FontGroupsOfLanguages)
{
    EXPECT_EQ(FontGroupOf(Japanese), FontGroup::Japanese);
    EXPECT_EQ(FontGroupOf(Chinese), FontGroup::Chinese);
    EXPECT_EQ(FontGroupOf(Korean), FontGroup::Korean);
    for (int language : {English, French, 3, 4, 5, Dutch})
        EXPECT_EQ(FontGroupOf(language), FontGroup::European) << language;
}

TEST_F(Description, PixelWidthOfATextPerLanguage)
{
    EXPECT_EQ(GetTextPixelWidth(Japanese, "A"), 8);
    EXPECT_EQ(GetTextPixelWidth(English, "A"), 8);
    EXPECT_EQ(GetTextPixelWidth(Chinese, "A"), 8);
    EXPECT_EQ(GetTextPixelWidth(Korean, "A"), 10);
    // CR and LF add nothing; other code units add their glyph width.
    EXPECT_EQ(GetTextPixelWidth(Korean, "A\r\nA i"), 10 + 10 + 4 + 3);
}

TEST_F(Description, MeasureCountsLinesCharactersAndPixels)
{
    struct Case
    {
        const char* name;
        QString text;
        int lines, characters;
        QString linesText, pixelText;
        bool over;
    };
    const QString wide = QString(29, u'A'); // 232 pixels
    const Case cases[] = {
        {"two short lines", "ab\r\ncd", 2, 6, "", "\n\n", false},
        {"five lines", "a\r\nb\r\nc\r\nd\r\ne", 5, 13, "over 1 lines", "\n\n\n\n", true},
        {"71 characters", QString(71, u'i'), 1, 71, "over 1 character(s)", "\n", true},
        {"both", "a\r\nb\r\nc\r\nd\r\n" + QString(60, u'i'), 5, 72,
         "over 1 lines, over 2 character(s)", "\n\n\n\n", true},
        {"a wide second line", "ok\r\n" + wide, 2, 33, "", "\nover 8 pixel(s)\n", true},
        {"exactly 224 pixels", QString(28, u'A'), 1, 28, "", "\n", false},
        {"empty", "", 1, 0, "", "\n", false},
    };
    for (const Case& c : cases)
    {
        const DescriptionMeasure m = MeasureDescription(English, SplitDescriptionLines(c.text));
        EXPECT_EQ(m.lines, c.lines) << c.name;
        EXPECT_EQ(m.characters, c.characters) << c.name;
        EXPECT_EQ(m.linesText, c.linesText) << c.name;
        EXPECT_EQ(m.pixelText, c.pixelText) << c.name;
        EXPECT_EQ(m.overLimit, c.over) << c.name;
    }
}

// Every kind of break ends a line, and is stored as CR LF; the measure counts a break as 2
// whatever its stored form was.
TEST_F(Description, EveryLineBreakEndsALineAndIsStoredAsCrLf)
{
    const struct
    {
        const char* name;
        QString text;
        QString stored;
    } cases[] = {
        {"CR LF", "a\r\nb", "a\r\nb"},
        {"lone CR", "a\rb\rc", "a\r\nb\r\nc"},
        {"lone LF", "a\nb", "a\r\nb"},
        {"LF CR is two breaks", "a\n\rb", "a\r\n\r\nb"},
        {"CR CR LF", "a\r\r\nb", "a\r\n\r\nb"},
        {"line separator", QString::fromUtf16(u"a\u2028b"), "a\r\nb"},
        {"paragraph separator", QString::fromUtf16(u"a\u2029b"), "a\r\nb"},
        {"trailing CR", "a\r", "a\r\n"},
        {"none", "ab", "ab"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NormalizeLineBreaks(c.text), c.stored);
        EXPECT_EQ(SplitDescriptionLines(c.text), SplitDescriptionLines(c.stored));
        const DescriptionMeasure raw = MeasureDescription(English, c.text);
        const DescriptionMeasure stored = MeasureDescription(English, c.stored);
        EXPECT_EQ(raw.lines, stored.lines);
        EXPECT_EQ(raw.characters, stored.characters);
    }
    // Seven lines separated by lone CRs are seven lines, over the limit.
    const DescriptionMeasure seven = MeasureDescription(English, QString("a\rb\rc\rd\re\rf\rg"));
    EXPECT_EQ(seven.lines, 7);
    EXPECT_EQ(seven.characters, 7 + 12);
    EXPECT_TRUE(seven.overLimit);
}

TEST(DescribeCharacter, TheWholeCharacterAndItsCodePoint)
{
    const struct
    {
        char32_t c;
        QString shown;
    } cases[] = {
        {0x0E01, QString::fromUtf16(u"[\u0E01]0x0E01")},
        {0x1F600, QString::fromUtf16(u"[\U0001F600]U+1F600")},
        {0x20000, QString::fromUtf16(u"[\U00020000]U+20000")},
        {0x0009, "0x0009"},
        {0x007F, "0x007F"},
        {0x2028, "0x2028"},
        {0x2029, "0x2029"},
        {0x200F, "0x200F"},
        {0x00A0, "0x00A0"},
        {0xE0001, "U+E0001"},
        {0xD83D, "0xD83D"}, // a lone surrogate
    };
    for (const auto& c : cases)
        EXPECT_EQ(DescribeCharacter(c.c), c.shown) << std::hex << unsigned(c.c);

    EXPECT_EQ(FirstUnsupportedCharacter(QString::fromUtf16(u"ab\U0001F600")), char32_t(0x1F600));
    EXPECT_EQ(FirstUnsupportedCharacter(QString::fromUtf16(u"a\r\nb")), std::nullopt);
    QString lone = "a";
    lone += QChar(0xD83D);
    lone += "b";
    EXPECT_EQ(FirstUnsupportedCharacter(lone), char32_t(0xD83D));
}

TEST_F(Description, OnlyTheFirstFourLinesAreMeasured)
{
    const QString wide = QString(40, u'A');
    const DescriptionMeasure m =
        MeasureDescription(English, SplitDescriptionLines("a\r\nb\r\nc\r\nd\r\n" + wide));
    EXPECT_EQ(m.pixels.size(), 4);
    EXPECT_EQ(m.pixelText, "\n\n\n\n");
}

TEST_F(Description, ControlCharacterListedWithABlank)
{
    const QString list =
        CollectUnsupportedCharacters(English, QString::fromUtf16(u"ab\u200F\r\nc"));
    EXPECT_EQ(list, "The description for " + LanguageName(English) +
                        " includes the unsupported character  [ ]0x200F.\r\n\r\nUse another "
                        "character or delete the entry.");
    EXPECT_EQ(CollectUnsupportedCharacters(English, "plain\r\ntext"), "");
}

TEST_F(Description, OtherCharactersListedAsThemselves)
{
    const QString list = CollectUnsupportedCharacters(Japanese, QString::fromUtf16(u"x\u0E01"));
    EXPECT_TRUE(list.contains(QString::fromUtf16(u"[\u0E01]0x0E01"))) << list.toStdString();
}

TEST_F(Description, ThirtyUnsupportedCharactersListTwentySix)
{
    const QString text(30, QChar(0x0E01));
    const QString one = CollectUnsupportedCharacters(English, QString(QChar(0x0E01)));
    EXPECT_EQ(CollectUnsupportedCharacters(English, text), one.repeated(26));

    EXPECT_FALSE(CheckSupportedCharacters(English, text, true));
    ASSERT_EQ(m_messages.shown().size(), 1);
    EXPECT_EQ(m_messages.shown()[0].text, one.repeated(26));
    EXPECT_TRUE(CheckSupportedCharacters(English, "fine", true));
    EXPECT_EQ(m_messages.shown().size(), 1);
}

TEST_F(Description, DialogCheckStopsAtTheFirstFailure)
{
    const QString name = LanguageName(Dutch);
    struct Case
    {
        const char* name;
        QString text;
        bool overLimit;
        QString message;
    };
    const Case cases[] = {
        {"empty", "", true,
         "Product description for " + name + " has not been entered. \r\nConfirm text string."},
        {"unsupported and over", QString::fromUtf16(u"\u0E01"), true,
         CollectUnsupportedCharacters(Dutch, QString::fromUtf16(u"\u0E01"))},
        {"over", "text", true, "The description for " + name + " exceeds display parameters."},
        {"blanks pass", "   ", false, {}},
    };
    for (const Case& c : cases)
    {
        m_messages.Clear();
        EXPECT_EQ(CheckDescription(Dutch, c.text, c.overLimit), c.message.isEmpty()) << c.name;
        const QStringList expected = c.message.isEmpty() ? QStringList() : QStringList{c.message};
        EXPECT_EQ(m_messages.texts(), expected) << c.name;
    }
}

TEST(ControlChars, TheSeventeen)
{
    int count = 0;
    for (int c = 0; c < 65536; ++c)
        count += IsUnicodeControlChar(char16_t(c));
    EXPECT_EQ(count, 17);
    EXPECT_TRUE(IsUnicodeControlChar(u'\u200E'));
    EXPECT_TRUE(IsUnicodeControlChar(u'\u001F'));
    EXPECT_FALSE(IsUnicodeControlChar(u'\u200B'));
}
} // namespace
