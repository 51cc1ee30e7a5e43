// The check in work-number order: rows of every registration, sorted by the clicked column.
#include "Ostrelin/ui/ContentCheckDialog.h"
#include "PageFixture.h"

#include <QHeaderView>
#include <QTest>

using namespace PageFixture;

namespace
{
class WorkCheckTest : public PageTest
{
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        Data().m_wGuideLanguages = 0x0001;
        Data().AddWork(1, 50, QStringLiteral("Bravo"), 0x0001);
        Data().AddWork(2, 20, QString(), 0x0001);
        Data().AddWork(3, 70, QStringLiteral("alpha"), 0x0001);
        Register({{3, 50}, {10, 50}, {1, 70}, {7, 20}, {9, 404}});
        OnProjectDataChanged();
        dialog.OnInitDialog();
        dialog.show();
    }
    void ClickHeader(int column)
    {
        QHeaderView* header = dialog.List()->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }

    // Whether the arrow drawn in the column's header points up: its top row of dark pixels
    // is narrower than its bottom row.
    bool ArrowPointsUp(int column)
    {
        QHeaderView* header = dialog.List()->horizontalHeader();
        const QImage image = header->grab().toImage();
        const int right = header->sectionViewportPosition(column) + header->sectionSize(column);
        QList<int> widths;
        for (int y = 0; y < image.height(); ++y)
        {
            int dark = 0;
            for (int x = right - 24; x < right - 2; ++x)
                dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
            if (dark > 0)
                widths << dark;
        }
        EXPECT_GE(widths.size(), 2);
        return !widths.isEmpty() && widths.first() < widths.last();
    }

    CContentCheckDialog dialog;
};

TEST_F(WorkCheckTest, OpensInAscendingWorkNumberOrder)
{
    EXPECT_EQ(Column(dialog.List(), 0), QStringList({"20", "50", "50", "70", "404"}));
    EXPECT_EQ(dialog.List()->SortArrow(0), -1);
    const int missing = RowOf(dialog.List(), QStringLiteral("404"));
    EXPECT_EQ(dialog.List()->GetItemImage(missing), StateError);
    EXPECT_EQ(dialog.List()->GetItemText(missing, 2),
              QStringLiteral("（作品が読み込めませんでした。）"));
    EXPECT_EQ(dialog.List()->GetItemImage(0), StateOk);
}

TEST_F(WorkCheckTest, EveryHeaderClickFlipsTheDirection)
{
    ClickHeader(1);
    EXPECT_EQ(Column(dialog.List(), 1), QStringList({"10", "9", "7", "3", "1"}));
    EXPECT_EQ(dialog.List()->SortArrow(1), 1);
    EXPECT_EQ(dialog.List()->SortArrow(0), 0);
    ClickHeader(1);
    EXPECT_EQ(Column(dialog.List(), 1), QStringList({"1", "3", "7", "9", "10"}));
    EXPECT_EQ(dialog.List()->SortArrow(1), -1);
    ClickHeader(0);
    EXPECT_EQ(Column(dialog.List(), 0), QStringList({"404", "70", "50", "50", "20"}));
    EXPECT_EQ(dialog.List()->SortArrow(0), 1);
}

TEST_F(WorkCheckTest, AscendingShowsTheUpArrowAndDescendingTheDownArrow)
{
    EXPECT_TRUE(ArrowPointsUp(0));
    ClickHeader(0);
    ASSERT_EQ(dialog.List()->SortArrow(0), 1);
    EXPECT_FALSE(ArrowPointsUp(0));
}

TEST_F(WorkCheckTest, DescriptionsSortCaseSensitivelyWithEmptyFirst)
{
    ClickHeader(2); // descending
    EXPECT_EQ(Column(dialog.List(), 2).last(), QString());
    ClickHeader(2); // ascending
    const QStringList texts = Column(dialog.List(), 2);
    EXPECT_EQ(texts.first(), QString());
    // Upper case sorts before lower case by code unit.
    EXPECT_LT(texts.indexOf(QStringLiteral("Bravo")), texts.indexOf(QStringLiteral("alpha")));
}
} // namespace
