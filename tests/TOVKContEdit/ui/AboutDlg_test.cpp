// The About box and the version reader over the program's version block.
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/res/VersionBlock.h"
#include "TOVKContEdit/shared/VersionReader.h"
#include "TOVKContEdit/ui/AboutBox.h"
#include "framework/DialogLayout.h"
#include "platform/VersionInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <gtest/gtest.h>
#include <iterator>

namespace
{
class AboutTest : public ::testing::Test
{
protected:
    void SetUp() override { Strings::Install(ContEditStringsEN()); }
    void TearDown() override { VersionInfo::Install(nullptr); }
};

TEST_F(AboutTest, WithoutAVersionBlockTheTextsAreEmptyButTheVersionShows)
{
    VersionInfo::Install(nullptr);
    EXPECT_EQ(ReadVersionInfo(), nullptr);
    CAboutDlg dialog(nullptr, ContEditAboutIds());
    EXPECT_EQ(dialog.VersionText()->text(), QStringLiteral("VERSION"));
    ASSERT_TRUE(dialog.OnInitDialog());
    EXPECT_EQ(dialog.ProductName()->text(), QString());
    EXPECT_EQ(dialog.Copyright()->text(), QString());
    EXPECT_EQ(dialog.VersionText()->text(), QStringLiteral("Version 1.1"));
}

TEST_F(AboutTest, TheBuildsBlockGivesProductAndCopyright)
{
    VersionInfo::Install(&ContEditVersionBlockEN());
    CAboutDlg dialog(nullptr, ContEditAboutIds());
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.ProductName()->text(), QStringLiteral("Quorvane KP Guide Editor - Contents"));
    EXPECT_TRUE(dialog.Copyright()->text().contains(QStringLiteral("Quorvane")));
    EXPECT_EQ(dialog.VersionText()->text(), QStringLiteral("Version 1.1"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Version Information"));
    EXPECT_EQ(dialog.font().family(),
              DialogLayout::DialogFont(QStringLiteral("MS UI Gothic")).family());
    dialog.show();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    dialog.grab().save(folder + QStringLiteral("/about_en.png"));
}

TEST_F(AboutTest, EachBuildCarriesItsOwnFileNames)
{
    struct Case
    {
        const VersionBlock* block;
        const char16_t* file;
    } cases[] = {{&ContEditVersionBlockEN(), u"TOVKContEditEN"},
                 {&ContEditVersionBlockJA(), u"TOVKContEditJP"}};
    for (const Case& c : cases)
    {
        VersionInfo::Install(c.block);
        auto block = ReadVersionInfo();
        ASSERT_NE(block, nullptr);
        for (const char* key : {"FileDescription", "OriginalFilename"})
        {
            QString value;
            EXPECT_TRUE(QueryVersionString(QString::fromLatin1(key), block.get(), value));
            EXPECT_EQ(value, QString::fromUtf16(c.file)) << key;
        }
        QString version;
        QueryVersionString(QStringLiteral("FileVersion"), block.get(), version);
        EXPECT_EQ(version, QStringLiteral("1.1"));
        FreeVersionInfo(block);
        EXPECT_EQ(block, nullptr);
    }
}

TEST_F(AboutTest, LanguagePairsAreTriedInOrder)
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
