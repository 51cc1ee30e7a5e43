// The grid driven offscreen with real key and mouse events.
#include "TOVKContEdit/ui/ListViewEx.h"
#include "grid_fixtures.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace
{
constexpr int RowHeight = 20;

class TestGrid : public CListViewEx
{
public:
    TestGrid()
    {
        SetShowRowNumbers(true);
        SetWholeLineHighlight(true);
        AddColumn(QStringLiteral("Number"), DT_CENTER | DT_VCENTER | DT_SINGLELINE, 60, 4, 0);
        AddColumn(QStringLiteral("Text"), DT_CENTER | DT_VCENTER | DT_SINGLELINE, 120, 1, 0);
        AddColumn(QStringLiteral("More"), DT_LEFT | DT_VCENTER | DT_SINGLELINE, 80, 1, 0);
        OnInitialUpdate();
        resize(420, 300);
    }

    void Fill(int lines)
    {
        FreeAllCells();
        for (int i = 0; i < lines; ++i)
        {
            AppendCell(0, ListCell::Number(i + 1));
            AddCellText(1, QStringLiteral("line %1").arg(i + 1));
            AddCellText(2, QStringLiteral("x"));
        }
        UpdateScrollSizes();
    }

    int GetRowHeight() const override { return RowHeight; }
    int GetFitColumnWidth(int column) override { return 40 + column; }

    QPoint LinePoint(int line, int column = 1) const
    {
        return GridFixtures::CellCentre(*this, column, line);
    }

    std::vector<int> Selection() const
    {
        std::vector<int> lines;
        for (int i = 0; i < GetSelectedCount(); ++i)
            lines.push_back(GetSelectedRow(i));
        return lines;
    }

    QImage Render() { return GridFixtures::RenderScreen(*this); }
};

using GridFixtures::SaveScreenshot;

class GridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        grid.show();
        grid.OnActivateView(true);
    }

    void Click(int line, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, modifiers, grid.LinePoint(line));
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&grid, static_cast<Qt::Key>(key), modifiers);
    }

    TestGrid grid;
};

TEST_F(GridTest, DownOnAnEmptyTableStaysOnTheAppendLine)
{
    grid.Fill(0);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(grid.GetFocusRow(), 0);
    EXPECT_EQ(grid.GetSelectedCount(), 0);
}

TEST_F(GridTest, ArrowKeysMoveTheFocusWithinTheLinesAndTheAppendLine)
{
    grid.Fill(3);
    Click(0);
    Key(Qt::Key_Down);
    EXPECT_EQ(grid.Selection(), std::vector<int>{1});
    Key(Qt::Key_Down);
    Key(Qt::Key_Down); // onto the append line: focus there, nothing selected
    EXPECT_EQ(grid.GetFocusRow(), 3);
    EXPECT_TRUE(grid.Selection().empty());
    Key(Qt::Key_Down); // no further
    EXPECT_EQ(grid.GetFocusRow(), 3);
    Key(Qt::Key_Up);
    EXPECT_EQ(grid.GetFocusRow(), 2);
    EXPECT_EQ(grid.Selection(), std::vector<int>{2});

    Key(Qt::Key_Left);
    EXPECT_EQ(grid.GetFocusColumn(), 0);
    for (int i = 0; i < 5; ++i)
        Key(Qt::Key_Right);
    EXPECT_EQ(grid.GetFocusColumn(), 2);
}

TEST_F(GridTest, ShiftClickSelectsFromTheAnchorInWalkingOrder)
{
    grid.Fill(8);
    Click(2);
    Click(5, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (std::vector<int>{2, 3, 4, 5}));
    Click(1, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (std::vector<int>{2, 1}));
    EXPECT_EQ(grid.GetFocusRow(), 1);
    EXPECT_EQ(grid.GetAnchor(), 2);
}

TEST_F(GridTest, ShiftDownExtendsTheSelection)
{
    grid.Fill(6);
    Click(1);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (std::vector<int>{1, 2, 3}));
}

TEST_F(GridTest, CtrlClickAddsLinesAndKeepsSelectedOnes)
{
    grid.Fill(6);
    Click(4);
    Click(1, Qt::ControlModifier);
    EXPECT_EQ(grid.Selection(), (std::vector<int>{4, 1}));
    Click(4, Qt::ControlModifier);
    EXPECT_EQ(grid.Selection(), (std::vector<int>{4, 1}));
    EXPECT_TRUE(grid.IsRowSelected(4));
    Click(3);
    EXPECT_EQ(grid.Selection(), std::vector<int>{3});
}

TEST_F(GridTest, ClickBelowTheLastLineEmptiesTheSelectionWithoutCapture)
{
    grid.Fill(3);
    Click(1);
    ASSERT_EQ(grid.Selection(), std::vector<int>{1});
    // Line 4 is past the append line (line 3).
    QTest::mousePress(grid.viewport(), Qt::LeftButton, Qt::NoModifier, grid.LinePoint(5));
    EXPECT_TRUE(grid.Selection().empty());
    EXPECT_FALSE(grid.IsCaptured());
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, Qt::NoModifier, grid.LinePoint(5));

    QTest::mousePress(grid.viewport(), Qt::LeftButton, Qt::NoModifier, grid.LinePoint(0));
    EXPECT_TRUE(grid.IsCaptured());
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, Qt::NoModifier, grid.LinePoint(0));
    EXPECT_FALSE(grid.IsCaptured());
}

TEST_F(GridTest, EscEmptiesTheSelectionButKeepsTheFocusColours)
{
    grid.Fill(4);
    Click(2);
    Key(Qt::Key_Escape);
    EXPECT_TRUE(grid.Selection().empty());
    EXPECT_EQ(grid.GetFocusRow(), 2);
    const QRect cell = grid.GetCellRect(2, 2);
    const QImage image = grid.Render();
    EXPECT_EQ(QColor(image.pixel(cell.right() - 1, cell.top() + 1)), grid.Colors().activeCaption);
    // Another line keeps the background.
    const QRect other = grid.GetCellRect(2, 1);
    EXPECT_EQ(QColor(image.pixel(other.right() - 1, other.top() + 1)), QColor(Qt::white));

    grid.OnActivateView(false);
    const QImage inactive = grid.Render();
    EXPECT_NE(QColor(inactive.pixel(cell.right() - 1, cell.top() + 1)),
              grid.Colors().activeCaption);
}

TEST_F(GridTest, RowNumberCellsShowSelectionAndFocus)
{
    grid.Fill(4);
    Click(1);
    Click(3, Qt::ControlModifier);
    const QImage image = grid.Render();
    auto numberCell = [&](int line)
    {
        const QRect cell = grid.GetCellRect(0, line);
        return QColor(image.pixel(3, cell.top() + 3));
    };
    EXPECT_EQ(numberCell(1), grid.Colors().inactiveCaption);
    EXPECT_EQ(numberCell(3), grid.Colors().activeCaption); // the focus line
    EXPECT_EQ(numberCell(0), grid.Colors().activeBorder);
}

TEST_F(GridTest, DividerDragStopsAtTheMinimumWidth)
{
    grid.Fill(2);
    const int edge = grid.ColumnLeft(1); // right edge of column 0
    const QPoint onDivider(edge, grid.HeaderHeight() / 2);
    QTest::mouseMove(grid.viewport(), onDivider);
    ASSERT_EQ(grid.GetResizingColumn(), 0);
    EXPECT_EQ(grid.viewport()->cursor().shape(), Qt::SplitHCursor);
    QTest::mousePress(grid.viewport(), Qt::LeftButton, Qt::NoModifier, onDivider);
    QTest::mouseMove(grid.viewport(), QPoint(edge - 25, onDivider.y()));
    EXPECT_EQ(grid.GetColumnWidth(0), 60 - 25 + 1);
    QTest::mouseMove(grid.viewport(), QPoint(2, onDivider.y()));
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 5));
    EXPECT_EQ(grid.GetColumnWidth(0), 10);

    // Away from a divider the cursor goes back and nothing resizes.
    QTest::mouseMove(grid.viewport(), QPoint(grid.ColumnLeft(1) + 30, 5));
    EXPECT_EQ(grid.GetResizingColumn(), -1);
    EXPECT_EQ(grid.SetColumnWidth(1, -5), 10);
}

TEST_F(GridTest, DoubleClickOnADividerFitsTheColumn)
{
    grid.Fill(2);
    const QPoint onDivider(grid.ColumnLeft(2) + 2, 4);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, onDivider);
    EXPECT_EQ(grid.GetColumnWidth(1), 41);
    EXPECT_EQ(grid.GetColumnWidth(0), 60);
}

TEST_F(GridTest, HitTestMapsPointsToLinesAndColumns)
{
    grid.Fill(3);
    const int h = grid.HeaderHeight();
    const int n = grid.RowNumberWidth();
    struct Case
    {
        QPoint point;
        int line;
        int column;
    } cases[] = {
        {{n + 5, h}, 0, 0},
        {{n + 5, h + RowHeight - 1}, 0, 0},
        {{n + 5, h + RowHeight}, 1, 0},
        {{n + 62, h + 2 * RowHeight + 3}, 2, 1},
        {{n + 5, h + 3 * RowHeight + 3}, 3, 0}, // the append line
        {{n + 5, h + 4 * RowHeight + 3}, -1, 0},
        {{n + 5, h - 2}, -1, 0},  // the header band
        {{5, h + 3}, 0, -1},      // the row-number column
        {{n + 300, h + 3}, 0, -1} // past the last column
    };
    for (const Case& c : cases)
    {
        int line = 7;
        int column = 7;
        grid.HitTest(c.point, line, column);
        EXPECT_EQ(line, c.line) << c.point.x() << "," << c.point.y();
        EXPECT_EQ(column, c.column) << c.point.x() << "," << c.point.y();
    }
}

TEST_F(GridTest, FocusMovesScrollTheFocusLineIntoView)
{
    grid.Fill(100);
    Click(0);
    for (int i = 0; i < 40; ++i)
        Key(Qt::Key_Down);
    ASSERT_EQ(grid.GetFocusRow(), 40);
    const QRect cell = grid.GetCellRect(1, 40);
    const int top = cell.top() - grid.verticalScrollBar()->value();
    EXPECT_GE(top, grid.HeaderHeight());
    EXPECT_LE(top + cell.height(), grid.viewport()->height());
    // A click on the now visible line selects it.
    Click(39);
    EXPECT_EQ(grid.Selection(), std::vector<int>{39});
    SaveScreenshot(grid, QStringLiteral("grid_scrolled"));
}

TEST_F(GridTest, FocusColumnMovesScrollSideways)
{
    grid.Fill(3);
    grid.resize(150, 300);
    Click(0);
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    ASSERT_EQ(grid.GetFocusColumn(), 2);
    const QRect cell = grid.GetCellRect(2, 0);
    const int left = cell.left() - grid.horizontalScrollBar()->value();
    EXPECT_GT(grid.horizontalScrollBar()->value(), 0);
    EXPECT_GE(left, 0);
    EXPECT_LE(left + cell.width(), grid.viewport()->width());
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    EXPECT_EQ(grid.horizontalScrollBar()->value(), 0); // column 0 brings the numbers back
    // Up and Down leave the sideways position alone.
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    const int sideways = grid.horizontalScrollBar()->value();
    Key(Qt::Key_Down);
    EXPECT_EQ(grid.horizontalScrollBar()->value(), sideways);
}

TEST_F(GridTest, CellsInsertAndTruncate)
{
    grid.Fill(2);
    EXPECT_FALSE(grid.InsertCellText(1, 5, QStringLiteral("late")));
    EXPECT_TRUE(grid.InsertCellText(1, 0, QString(70000, QLatin1Char('a'))));
    EXPECT_EQ(grid.GetCell(1, 0)->text.size(), 65535);
    grid.SetCellText(0, 0, QStringLiteral("not a number cell"));
    EXPECT_TRUE(grid.GetCell(0, 0)->isNumber);
}
} // namespace
