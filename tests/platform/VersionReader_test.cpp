// The version reader over a version block: the language / code-page pairs in their order.
#include "platform/VersionInfo.h"
#include "platform/VersionReader.h"

#include <gtest/gtest.h>
#include <iterator>

namespace
{
class VersionReaderTest : public ::testing::Test
{
protected:
    void TearDown() override { VersionInfo::Install(nullptr); }
};

TEST_F(VersionReaderTest, LanguagePairsAreTriedInOrder)
{
    static constexpr VersionString English[] = {{u"ProductName", u"english"},
                                                {u"LegalCopyright", u"(c) english"}};
    static constexpr VersionString Unicode[] = {{u"ProductName", u"unicode"}};
    static constexpr VersionString Japanese[] = {{u"ProductName", u"japanese"},
                                                 {u"Comments", u"only here"}};
    static constexpr VersionLanguage OnlyEnglish[] = {{0x040904E4, English, std::size(English)}};
    static constexpr VersionLanguage All[] = {{0x040904E4, English, std::size(English)},
                                              {0x041103A4, Japanese, std::size(Japanese)},
                                              {0x041104B0, Unicode, std::size(Unicode)}};
    static constexpr VersionBlock EnglishBlock{OnlyEnglish, std::size(OnlyEnglish)};
    static constexpr VersionBlock AllBlock{All, std::size(All)};

    VersionInfo::Install(&EnglishBlock);
    auto block = ReadVersionInfo();
    QString value = QStringLiteral("untouched");
    EXPECT_TRUE(QueryVersionString(QStringLiteral("ProductName"), block.get(), value));
    EXPECT_EQ(value, QStringLiteral("english"));
    value = QStringLiteral("untouched");
    EXPECT_FALSE(QueryVersionString(QStringLiteral("CompanyName"), block.get(), value));
    EXPECT_EQ(value, QStringLiteral("untouched"));

    VersionInfo::Install(&AllBlock);
    block = ReadVersionInfo();
    QueryVersionString(QStringLiteral("ProductName"), block.get(), value);
    EXPECT_EQ(value, QStringLiteral("unicode"));
    QueryVersionString(QStringLiteral("Comments"), block.get(), value);
    EXPECT_EQ(value, QStringLiteral("only here"));
    QueryVersionString(QStringLiteral("LegalCopyright"), block.get(), value);
    EXPECT_EQ(value, QStringLiteral("(c) english"));
}
} // namespace
