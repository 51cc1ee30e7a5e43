// The work settings dialog: the guide number's form and range, duplicates, the chosen work.
#include "Ostrelin/ui/ContentEditDialog.h"
#include "PageFixture.h"

#include <QLineEdit>

using namespace PageFixture;

namespace
{
const QString kRange = QStringLiteral("ガイド番号は 1 ～ 999 の間の半角数字で指定してください。");

class WorkEditTest : public PageTest
{
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        Data().m_wGuideLanguages = 0x0002;
        Data().AddWork(1, 30, QStringLiteral("thirty"), 0x0003);
        Data().AddWork(2, 10, QStringLiteral("ten"), 0x0001);
        Data().AddWork(3, 20, QStringLiteral("twenty"), 0x0002);
        Register({{12, 20}, {15, 30}});
    }
};

TEST_F(WorkEditTest, EveryWorkIsOfferedWithTheEntrysWorkSelected)
{
    CContentEditDialog dialog(Data().FindGuide(12));
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.GuideNumberEdit()->text(), QStringLiteral("12"));
    EXPECT_EQ(Column(dialog.WorksList(), 0), QStringList({"10", "20", "30"}));
    EXPECT_EQ(Column(dialog.WorksList(), 1), QStringList({"", "twenty", "thirty"}));
    EXPECT_EQ(dialog.WorksList()->GetSelectedRows(), QList<int>({1}));

    dialog.OnOK();
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.m_nGuideNo, 12);
    EXPECT_EQ(dialog.m_nWorkNo, 20);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(WorkEditTest, WithoutGuideLanguagesNoDescriptionShows)
{
    Data().m_wGuideLanguages = 0;
    CContentEditDialog dialog(Data().FindGuide(12));
    dialog.OnInitDialog();
    EXPECT_EQ(Column(dialog.WorksList(), 1), QStringList({"", "", ""}));
}

TEST_F(WorkEditTest, GuideNumberTextsAreCheckedForFormAndRange)
{
    const struct
    {
        QString text;
        int guideNo; // 0: refused with the range message
    } cases[] = {
        {"007", 7},
        {"999", 999},
        {"13", 13},
        {"7a", 0},
        {"-7", 0},
        {" 7", 0},
        {"７", 0},
        {"", 0},
        {"0", 0},
        {"1000", 0},
        // Saturates instead of wrapping round to a small number.
        {"4294967303", 0},
        {"99999999999999999999999", 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text.toStdString());
        messages.Clear();
        CContentEditDialog dialog(Data().FindGuide(12));
        dialog.OnInitDialog();
        dialog.GuideNumberEdit()->setText(c.text);
        dialog.OnOK();
        if (c.guideNo == 0)
        {
            EXPECT_EQ(messages.texts(), QStringList({kRange}));
            EXPECT_EQ(messages.shown().value(0).flags, MB_OK | MB_ICONEXCLAMATION);
            EXPECT_NE(dialog.result(), IDOK);
        }
        else
        {
            EXPECT_TRUE(messages.shown().isEmpty());
            EXPECT_EQ(dialog.result(), IDOK);
            EXPECT_EQ(dialog.m_nGuideNo, c.guideNo);
        }
    }
}

TEST_F(WorkEditTest, AnotherRegisteredNumberIsADuplicate)
{
    CContentEditDialog dialog(Data().FindGuide(12));
    dialog.OnInitDialog();
    dialog.GuideNumberEdit()->setText(QStringLiteral("15"));
    dialog.OnOK();
    EXPECT_EQ(messages.texts(), QStringList({"ガイド番号が重複しています。"}));
    EXPECT_NE(dialog.result(), IDOK);
}

TEST_F(WorkEditTest, ANewRegistrationNeedsAWork)
{
    CGuideEntry fresh;
    fresh.m_nGuideNo = 16;
    fresh.m_nWorkNo = -1;
    CContentEditDialog dialog(&fresh);
    dialog.OnInitDialog();
    EXPECT_TRUE(dialog.WorksList()->GetSelectedRows().isEmpty());
    dialog.OnOK();
    EXPECT_EQ(messages.texts(), QStringList({"作品が選択されていません。"}));
    EXPECT_NE(dialog.result(), IDOK);

    // A work registered elsewhere may be chosen again.
    SelectOnly(dialog.WorksList(), {2});
    dialog.OnOK();
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.m_nGuideNo, 16);
    EXPECT_EQ(dialog.m_nWorkNo, 30);
}

TEST_F(WorkEditTest, CancelEndsWithoutChecks)
{
    CContentEditDialog dialog(Data().FindGuide(12));
    dialog.OnInitDialog();
    dialog.GuideNumberEdit()->setText(QStringLiteral("x"));
    dialog.OnCancel();
    EXPECT_EQ(dialog.result(), IDCANCEL);
    EXPECT_TRUE(messages.shown().isEmpty());
}
} // namespace
