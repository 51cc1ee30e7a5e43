// The content table: free numbers, paste, insert, delete, moves, sort, notifications, title.
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "platform/RecordingMessages.h"

#include <gtest/gtest.h>

namespace
{
struct HintLog : ContentDocObserver
{
    struct Entry
    {
        int hint;
        int rowCount;
    };
    explicit HintLog(CTOVKContEditDoc& d) : doc(d) { doc.AddView(this); }
    ~HintLog() override { doc.RemoveView(this); }
    void OnUpdate(ContentDocObserver*, int hint) override
    {
        entries.push_back({hint, doc.GetRowCount()});
    }
    std::vector<int> Hints() const
    {
        std::vector<int> hints;
        for (const Entry& e : entries)
            hints.push_back(e.hint);
        return hints;
    }
    CTOVKContEditDoc& doc;
    std::vector<Entry> entries;
};

class DocTableTest : public ::testing::Test
{
protected:
    void SetUp() override { Strings::Install(ContEditStringsEN()); }

    // Appends rows with the given numbers; each row's comment names its position.
    void AddRows(const std::vector<int>& numbers)
    {
        for (int number : numbers)
        {
            const int row = doc.AddRow(true);
            ASSERT_GE(row, 0);
            doc.GetRow(row).itemNumber = number;
            doc.GetRow(row).comment = QString("r%1").arg(row);
        }
    }
    void FillRows(int count)
    {
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(doc.AddRow(true), i);
    }
    std::vector<int> Numbers() const
    {
        std::vector<int> out;
        for (int i = 0; i < doc.GetRowCount(); ++i)
            out.push_back(doc.GetRow(i).itemNumber);
        return out;
    }
    std::vector<QString> Comments() const
    {
        std::vector<QString> out;
        for (int i = 0; i < doc.GetRowCount(); ++i)
            out.push_back(doc.GetRow(i).comment);
        return out;
    }
    void Mark(const std::vector<int>& rows)
    {
        for (int row : rows)
            doc.GetRow(row).marked = 1;
    }
    std::vector<int> Marked() const
    {
        std::vector<int> out;
        for (int i = 0; i < doc.GetRowCount(); ++i)
            if (doc.GetRow(i).marked)
                out.push_back(i);
        return out;
    }

    RecordingMessages messages;
    CTOVKContEditDoc doc;
};

TEST_F(DocTableTest, FreeItemNumberIsTheSmallestUnused)
{
    struct Case
    {
        std::vector<int> numbers;
        int expected;
    };
    const std::vector<Case> cases = {
        {{}, 1}, {{1, 2, 4}, 3}, {{2, 3}, 1}, {{1, 1, 3}, 2}, {{0, -4, 20000, 1}, 2},
    };
    for (const Case& c : cases)
    {
        doc.ClearRows();
        AddRows(c.numbers);
        EXPECT_EQ(doc.GetFreeItemNumber(), c.expected) << ::testing::PrintToString(c.numbers);
    }
}

TEST_F(DocTableTest, FreeNumberAtTheTableLimit)
{
    FillRows(MaxContentRows - 1); // AddRow numbers them 1..9999
    EXPECT_EQ(doc.GetRow(9998).itemNumber, 9999);
    EXPECT_EQ(doc.GetFreeItemNumber(), 10000);
    EXPECT_EQ(doc.AddRow(true), 9999);
    EXPECT_EQ(doc.GetFreeItemNumber(), -1);
    EXPECT_EQ(doc.AddRow(false), -1);
    ContentRow extra;
    extra.itemNumber = 77777;
    EXPECT_FALSE(doc.InsertRow(0, extra));
    EXPECT_EQ(doc.GetRowCount(), MaxContentRows);
}

TEST_F(DocTableTest, AddRowStartsEmptyInTheDisplayLanguage)
{
    doc.OnViewLanguage(4);
    AddRows({1});
    const int row = doc.AddRow(false);
    const ContentRow& r = doc.GetRow(row);
    EXPECT_EQ(r.itemNumber, 2);
    EXPECT_EQ(r.language, 4);
    EXPECT_EQ(r.imageCount, 2);
    EXPECT_EQ(r.marked, 0);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocTableTest, PasteRenumbersTakenNumbersAndKeepsThemInTheClipboard)
{
    AddRows({1, 2, 3});
    Mark({0, 2});
    doc.CopyMarkedRows();
    EXPECT_TRUE(Marked().empty());
    ASSERT_TRUE(doc.CanPaste());

    EXPECT_EQ(doc.PasteRows(1), 2);
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 4, 5, 2, 3}));
    EXPECT_EQ(Comments()[1], "r0");
    EXPECT_EQ(Comments()[2], "r2");
    EXPECT_EQ(Marked(), (std::vector<int>{1, 2}));
    EXPECT_EQ(doc.GetClipboard()[0].itemNumber, 4);
    EXPECT_EQ(doc.GetClipboard()[0].marked, 0);

    // Pasting again numbers the copies anew; past the end means at the end.
    EXPECT_EQ(doc.PasteRows(99), 2);
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 4, 5, 2, 3, 6, 7}));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocTableTest, PasteKeepsFreeNumbersAndFillsGaps)
{
    AddRows({2, 4});
    Mark({0, 1});
    doc.CutMarkedRows();
    EXPECT_EQ(doc.GetRowCount(), 0);
    AddRows({1, 3});
    EXPECT_EQ(doc.PasteRows(0), 2);
    EXPECT_EQ(Numbers(), (std::vector<int>{2, 4, 1, 3}));
    EXPECT_EQ(doc.PasteRows(0), 2);
    EXPECT_EQ(Numbers(), (std::vector<int>{5, 6, 2, 4, 1, 3}));
}

TEST_F(DocTableTest, PasteStopsAtTheTableLimitAndSaysHowManyWent)
{
    FillRows(MaxContentRows - 3);
    Mark({0, 1, 2, 3, 4});
    doc.CopyMarkedRows();
    EXPECT_EQ(doc.PasteRows(10), 3);
    EXPECT_EQ(doc.GetRowCount(), MaxContentRows);
    EXPECT_EQ(doc.PasteRows(0), 0);
    EXPECT_EQ(doc.GetRowCount(), MaxContentRows);
    std::vector<int> numbers = Numbers();
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(std::adjacent_find(numbers.begin(), numbers.end()), numbers.end());
    EXPECT_EQ(numbers.back(), MaxContentRows);
}

TEST_F(DocTableTest, PasteOnlyInTheLanguageOfTheCopy)
{
    AddRows({1});
    EXPECT_FALSE(doc.CanPaste());
    doc.OnViewLanguage(2);
    Mark({0});
    doc.CopyMarkedRows();
    EXPECT_EQ(doc.GetClipboardLanguage(), 2);
    EXPECT_TRUE(doc.CanPaste());
    doc.OnViewLanguage(3);
    EXPECT_FALSE(doc.CanPaste());
    doc.OnViewLanguage(2);
    EXPECT_TRUE(doc.CanPaste());
    doc.FreeClipboard();
    EXPECT_FALSE(doc.CanPaste());
    EXPECT_EQ(doc.GetClipboardLanguage(), -1);
}

TEST_F(DocTableTest, CopiesDoNotCarryThePlayingFlag)
{
    AddRows({1, 2});
    doc.SetPlayingRow(1);
    Mark({1});
    doc.CopyMarkedRows();
    EXPECT_EQ(doc.GetRow(1).playing, 1);
    EXPECT_EQ(doc.GetClipboard()[0].playing, 0);
    doc.PasteRows(0);
    EXPECT_EQ(doc.GetRow(0).playing, 0);
    EXPECT_EQ(doc.GetRow(2).playing, 1);
}

TEST_F(DocTableTest, DeletingThePlayingRowStopsTheVoiceFirst)
{
    AddRows({1, 2, 3, 4});
    HintLog log(doc);
    doc.SetPlayingRow(2);
    doc.DeleteRow(0);
    EXPECT_TRUE(log.entries.empty());
    doc.DeleteRow(1); // the playing row, now at 1
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].hint, HintStopVoice);
    EXPECT_EQ(log.entries[0].rowCount, 3) << "the row was still there";
    EXPECT_EQ(Comments(), (std::vector<QString>{"r1", "r3"}));

    doc.SetPlayingRow(1);
    Mark({1});
    doc.CutMarkedRows();
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[1].hint, HintStopVoice);
    EXPECT_EQ(log.entries[1].rowCount, 2);
}

TEST_F(DocTableTest, CutAndDeleteOfMarkedRows)
{
    AddRows({1, 2, 3, 4, 5});
    Mark({0, 2, 3});
    doc.CutMarkedRows();
    EXPECT_EQ(Comments(), (std::vector<QString>{"r1", "r4"}));
    ASSERT_EQ(doc.GetClipboardCount(), 3);
    EXPECT_EQ(doc.GetClipboard()[1].comment, "r2");
    EXPECT_EQ(doc.GetClipboard()[1].marked, 0);
    EXPECT_TRUE(doc.IsModified());

    Mark({1});
    doc.DeleteMarkedRows();
    EXPECT_EQ(Comments(), (std::vector<QString>{"r1"}));
    EXPECT_EQ(doc.GetClipboardCount(), 3);
}

TEST_F(DocTableTest, InsertRowTakesAFreeNumberWhenItsOwnIsUsed)
{
    AddRows({1, 3});
    ContentRow row;
    row.itemNumber = 3;
    row.comment = "new";
    ASSERT_TRUE(doc.InsertRow(1, row));
    EXPECT_EQ(row.itemNumber, 2) << "the caller's copy is renumbered";
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(doc.GetRow(1).marked, 1);
    row.itemNumber = 9;
    ASSERT_TRUE(doc.InsertRow(50, row));
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 2, 3, 9}));
}

TEST_F(DocTableTest, MovesShiftAMarkedBlockByOne)
{
    AddRows({1, 2, 3, 4, 5, 6, 7});
    Mark({3, 4, 5});
    doc.MoveMarkedUp();
    EXPECT_EQ(Comments(), (std::vector<QString>{"r0", "r1", "r3", "r4", "r5", "r2", "r6"}));
    EXPECT_EQ(Marked(), (std::vector<int>{2, 3, 4}));
    doc.MoveMarkedDown();
    doc.MoveMarkedDown();
    EXPECT_EQ(Comments(), (std::vector<QString>{"r0", "r1", "r2", "r6", "r3", "r4", "r5"}));
    EXPECT_EQ(Marked(), (std::vector<int>{4, 5, 6}));

    doc.ClearMarks();
    Mark({1, 4});
    doc.MoveMarkedUp();
    EXPECT_EQ(Comments(), (std::vector<QString>{"r1", "r0", "r2", "r3", "r6", "r4", "r5"}));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocTableTest, ABlockAtTheEdgeStaysInItsOrder)
{
    struct Case
    {
        const char* name;
        bool up;
        std::vector<int> marked;
        std::vector<QString> comments;
        std::vector<int> markedAfter;
    } cases[] = {
        {"top block alone", true, {0, 1}, {"r0", "r1", "r2", "r3", "r4"}, {0, 1}},
        {"top block and a free row", true, {0, 1, 3}, {"r0", "r1", "r3", "r2", "r4"}, {0, 1, 2}},
        {"bottom block alone", false, {3, 4}, {"r0", "r1", "r2", "r3", "r4"}, {3, 4}},
        {"bottom block and a free row",
         false,
         {0, 3, 4},
         {"r1", "r0", "r2", "r3", "r4"},
         {1, 3, 4}},
    };
    for (const Case& c : cases)
    {
        doc.ClearRows();
        AddRows({1, 2, 3, 4, 5});
        Mark(c.marked);
        c.up ? doc.MoveMarkedUp() : doc.MoveMarkedDown();
        EXPECT_EQ(Comments(), c.comments) << c.name;
        EXPECT_EQ(Marked(), c.markedAfter) << c.name;
    }
}

TEST_F(DocTableTest, SortIsStableAndCanRenumber)
{
    AddRows({5, 3, 3, 9});
    HintLog log(doc);
    doc.SortByItemNumber(false);
    EXPECT_EQ(Numbers(), (std::vector<int>{3, 3, 5, 9}));
    EXPECT_EQ(Comments(), (std::vector<QString>{"r1", "r2", "r0", "r3"}));
    EXPECT_FALSE(doc.IsModified()) << "the sort itself leaves the flag";
    EXPECT_EQ(log.Hints(), (std::vector<int>{HintRefreshAll}));

    doc.ClearRows();
    AddRows({5, 3, 3, 9});
    doc.SortByItemNumber(true);
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(Comments(), (std::vector<QString>{"r1", "r2", "r0", "r3"}));
}

TEST_F(DocTableTest, CellSettersWriteTheDisplayLanguage)
{
    AddRows({1});
    doc.OnViewLanguage(3);
    ASSERT_TRUE(doc.SetCellText(0, ColumnVoice, "/v.wav", false));
    ASSERT_TRUE(doc.SetCellText(0, ColumnDescription, "d", false));
    ASSERT_TRUE(doc.SetCellText(0, ColumnComment, "c", false));
    ASSERT_TRUE(doc.SetCellText(0, ColumnItemNumber, "ignored", false));
    const ContentRow& r = doc.GetRow(0);
    EXPECT_EQ(r.voice[3], "/v.wav");
    EXPECT_TRUE(r.voice[0].isEmpty());
    EXPECT_EQ(r.description[3], "d");
    EXPECT_EQ(r.comment, "c");
    EXPECT_EQ(r.itemNumber, 1);

    ASSERT_TRUE(doc.SetCellNumber(0, ColumnItemNumber, 42));
    ASSERT_TRUE(doc.SetCellNumber(0, ColumnLanguage, 7));
    EXPECT_EQ(doc.GetRow(0).itemNumber, 42);
    EXPECT_EQ(doc.GetRow(0).language, 7);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocTableTest, CellSetterPastTheEndFillsTheAppendedRow)
{
    AddRows({1});
    ASSERT_TRUE(doc.SetCellText(5, ColumnImage1, "/a.bmp", false));
    ASSERT_EQ(doc.GetRowCount(), 2);
    EXPECT_EQ(doc.GetRow(1).image1[0], "/a.bmp");
    EXPECT_EQ(doc.GetRow(1).itemNumber, 2);
    ASSERT_TRUE(doc.SetCellNumber(9, ColumnItemNumber, 30));
    EXPECT_EQ(doc.GetRow(2).itemNumber, 30);

    doc.ClearRows();
    FillRows(MaxContentRows);
    EXPECT_FALSE(doc.SetCellText(MaxContentRows, ColumnComment, "x", false));
    EXPECT_FALSE(doc.SetCellNumber(MaxContentRows, ColumnItemNumber, 1));
}

TEST_F(DocTableTest, ItemNumberFreeSkipsTheGivenRow)
{
    AddRows({4, 6});
    EXPECT_FALSE(doc.IsItemNumberFree(4, -1));
    EXPECT_TRUE(doc.IsItemNumberFree(4, 0));
    EXPECT_FALSE(doc.IsItemNumberFree(6, 0));
    EXPECT_TRUE(doc.IsItemNumberFree(5, -1));
}

TEST_F(DocTableTest, PlayingRowIsExclusive)
{
    AddRows({1, 2, 3});
    doc.SetPlayingRow(1);
    doc.SetPlayingRow(2);
    EXPECT_EQ(doc.GetRow(1).playing, 0);
    EXPECT_EQ(doc.GetRow(2).playing, 1);
    doc.SetPlayingRow(-1);
    EXPECT_EQ(doc.GetRow(2).playing, 0);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocTableTest, LanguageChangeNotifiesOnlyWhenItChanges)
{
    HintLog log(doc);
    doc.OnViewLanguage(0);
    doc.OnViewLanguage(8);
    doc.OnViewLanguage(9);
    EXPECT_EQ(log.Hints(), (std::vector<int>{HintLanguageTexts}));
    EXPECT_EQ(doc.GetDisplayLanguage(), 8);
    EXPECT_TRUE(doc.IsViewLanguageChecked(8));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocTableTest, NewDocumentEmptiesTableAndClipboardButKeepsSettings)
{
    AddRows({1, 2});
    Mark({0});
    doc.CopyMarkedRows();
    doc.OnViewLanguage(5);
    doc.SetFillUnusedNumbers(true);
    doc.SetModifiedFlag(true);
    HintLog log(doc);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetRowCount(), 0);
    EXPECT_EQ(doc.GetClipboardCount(), 0);
    EXPECT_EQ(doc.GetDisplayLanguage(), 5);
    EXPECT_TRUE(doc.GetFillUnusedNumbers());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(log.Hints(), (std::vector<int>{HintStopVoiceRefreshAll}));
}

TEST_F(DocTableTest, ViewThatSentTheChangeIsNotTold)
{
    HintLog a(doc), b(doc);
    doc.UpdateAllViews(&a, HintRefreshAll);
    EXPECT_TRUE(a.entries.empty());
    EXPECT_EQ(b.Hints(), (std::vector<int>{HintRefreshAll}));
}

TEST_F(DocTableTest, MainFrameTitle)
{
    const StringEntry entries[] = {
        {128, u"Quorvane KP Guide Editor - Contents \nTOVKContent\nTOVKContEdit\nXML files "
              u"(*.xml)\n.xml\nTOVKContent.xml\nTOVKContEdit.xml"},
        {57344, u"Quorvane KP Guide Editor - Contents"},
    };
    const StringTable table(entries, 2);
    Strings::Install(table);
    QStringList titles;
    doc.SetMainFrameTitleHandler([&](const QString& t) { titles << t; });

    EXPECT_EQ(doc.GetMainFrameTitle(), "TOVKContent - Quorvane KP Guide Editor - Contents");
    doc.AddRow(false);
    EXPECT_EQ(doc.GetMainFrameTitle(), "TOVKContent * - Quorvane KP Guide Editor - Contents");
    ASSERT_FALSE(titles.isEmpty());
    EXPECT_EQ(titles.last(), "TOVKContent * - Quorvane KP Guide Editor - Contents");
    doc.SetPathName("/p/convert/input/xml/TOVKContent.xml", false);
    EXPECT_EQ(titles.last(), "TOVKContent.xml * - Quorvane KP Guide Editor - Contents");
    doc.SetModifiedFlag(false);
    EXPECT_EQ(doc.GetMainFrameTitle(), "TOVKContent.xml - Quorvane KP Guide Editor - Contents");
}
} // namespace
