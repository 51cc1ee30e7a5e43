// The About box and the version reader over the program's version block.
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/res/VersionBlock.h"
#include "TOVKContEdit/ui/AboutBox.h"
#include "framework/DialogLayout.h"
#include "platform/VersionInfo.h"
#include "platform/VersionReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <gtest/gtest.h>

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
} // namespace
