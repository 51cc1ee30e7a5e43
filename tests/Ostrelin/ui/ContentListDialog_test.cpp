// The works registration page: rows with add rows in the gaps, edit and add through the
// work settings dialog, moves, deletes, the bulk registrations, renumbering and the check.
#include "Ostrelin/ui/ContentCheckDialog.h"
#include "Ostrelin/ui/ContentEditDialog.h"
#include "Ostrelin/ui/ContentListDialog.h"
#include "PageFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>

using namespace PageFixture;

namespace
{
const QString kAdd = QStringLiteral("<追加>");

class ScriptedWorksPage : public CContentListDialog
{
public:
    // Runs in place of the modal loop, after the dialog's initialisation.
    std::function<void(CContentEditDialog&)> onEdit;
    QList<qint32> proposed;
    int checkRuns = 0;

protected:
    int RunEditDialog(CContentEditDialog& dialog) override
    {
        dialog.OnInitDialog();
        proposed << dialog.m_nGuideNo;
        if (onEdit)
            onEdit(dialog);
        return dialog.result();
    }
    int RunCheckDialog(CContentCheckDialog&) override
    {
        ++checkRuns;
        return IDOK;
    }
};

// Picks the work in the dialog's list and sets the guide number, then presses OK.
std::function<void(CContentEditDialog&)> Choose(int guideNo, int workNo)
{
    return [guideNo, workNo](CContentEditDialog& dialog)
    {
        dialog.GuideNumberEdit()->setText(QString::number(guideNo));
        SelectOnly(dialog.WorksList(), {RowOf(dialog.WorksList(), QString::number(workNo))});
        dialog.OnOK();
    };
}

class WorksPageTest : public PageTest
{
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        Data().m_wGuideLanguages = 0x0001;
    }
    void Fill()
    {
        page.FillList();
        page.show();
    }
    void SelectGuides(const QList<int>& numbers)
    {
        QList<int> rows;
        for (int n : numbers)
            rows << RowOf(page.List(), QString::number(n));
        SelectOnly(page.List(), rows);
    }
    void Click(unsigned id) { page.findChild<QPushButton*>(QString::number(id))->click(); }
    QStringList SelectedTexts()
    {
        QStringList texts;
        for (int row : page.List()->GetSelectedRows())
            texts << page.List()->GetItemText(row, 0);
        return texts;
    }

    ScriptedWorksPage page;
};

TEST_F(WorksPageTest, AddRowsStandInEveryGapAndAfterTheLastNumberBelow999)
{
    const struct
    {
        QList<int> guides;
        QStringList rows;
    } cases[] = {
        {{}, {kAdd}},
        {{1, 2, 5, 999}, {"1", "2", kAdd, "5", kAdd, "999"}},
        {{3, 4}, {kAdd, "3", "4", kAdd}},
        {{1, 998}, {"1", kAdd, "998", kAdd}},
    };
    AddWorks({10});
    for (const auto& c : cases)
    {
        Data().ClearGuides();
        for (int g : c.guides)
            Data().AddGuide(g, 10);
        Data().ValidateAllGuides();
        page.FillList();
        EXPECT_EQ(Column(page.List(), 0), c.rows);
        for (int row = 0; row < page.List()->GetItemCount(); ++row)
            EXPECT_EQ(page.List()->GetItemImage(row),
                      page.List()->GetItemText(row, 0) == kAdd ? StateBlank : StateOk);
    }
}

TEST_F(WorksPageTest, DescriptionsAndNotesOfTheRegistrations)
{
    Data().m_wGuideLanguages = 0x0007; // Japanese, English, French
    Data().AddWork(1, 10, QStringLiteral("all"), 0x0007);
    Data().AddWork(2, 20, QStringLiteral("japanese only"), 0x0001);
    Data().AddWork(3, 30, QStringLiteral("english"), 0x0006);
    Register({{1, 10}, {2, 20}, {3, 99}, {4, 30}});
    OnProjectDataChanged();
    page.FillList();
    EXPECT_EQ(Column(page.List(), 1), QStringList({"10", "20", "99", "30", ""}));
    EXPECT_EQ(Column(page.List(), 2),
              QStringList({"all", "（英語, フランス語に対応するデータが見つかりませんでした。）",
                           "（作品が読み込めませんでした。）",
                           "（日本語に対応するデータが見つかりませんでした。）", ""}));
    EXPECT_EQ(page.List()->GetItemImage(0), StateOk);
    EXPECT_EQ(page.List()->GetItemImage(1), StateError);
    QString error;
    EXPECT_FALSE(page.CheckStep(error));
    EXPECT_EQ(error, QStringLiteral("全言語分揃っていない作品が存在します。\r\n"));

    Data().ClearGuides();
    EXPECT_FALSE(page.CheckStep(error));
    EXPECT_EQ(error, QStringLiteral("作品を登録してください。\r\n"));
    Register({{1, 10}});
    OnProjectDataChanged();
    EXPECT_TRUE(page.CheckStep(error));
}

TEST_F(WorksPageTest, AnAddRowProposesTheFirstFreeNumberOfItsGap)
{
    AddWorks({10, 11});
    Register({{3, 10}, {4, 10}});
    Fill();
    SelectOnly(page.List(), {0});
    page.OnDblClkList();
    SelectOnly(page.List(), {3});
    page.OnDblClkList();
    EXPECT_EQ(page.proposed, QList<qint32>({1, 5}));
    EXPECT_EQ(Guides(), QStringList({"3:10", "4:10"}));

    page.onEdit = Choose(5, 11);
    SelectOnly(page.List(), {3});
    page.OnDblClkList();
    EXPECT_EQ(Guides(), QStringList({"3:10", "4:10", "5:11"}));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(SelectedTexts(), QStringList({"5"}));
    EXPECT_EQ(page.List()->GetItemText(page.List()->GetFocusedRow(), 0), QStringLiteral("5"));
}

TEST_F(WorksPageTest, AddingNeedsWorks)
{
    Fill();
    SelectOnly(page.List(), {0});
    page.OnDblClkList();
    EXPECT_EQ(messages.texts(),
              QStringList({"コンテンツデータが存在しないため、ガイド番号を追加できません。"}));
    EXPECT_TRUE(page.proposed.isEmpty());
}

TEST_F(WorksPageTest, EditingKeepsOrMovesTheEntryAndReselectsIt)
{
    AddWorks({10, 11, 12});
    Register({{7, 10}, {8, 11}});
    Fill();
    page.onEdit = Choose(7, 12);
    SelectGuides({7});
    page.OnDblClkList();
    EXPECT_EQ(Guides(), QStringList({"7:12", "8:11"}));
    EXPECT_EQ(SelectedTexts(), QStringList({"7"}));
    EXPECT_EQ(page.List()->GetItemText(page.List()->GetFocusedRow(), 0), QStringLiteral("7"));

    page.onEdit = Choose(20, 12);
    SelectGuides({7});
    page.OnDblClkList();
    EXPECT_EQ(Guides(), QStringList({"8:11", "20:12"}));
    EXPECT_EQ(SelectedTexts(), QStringList({"20"}));

    // OK without a change, and Cancel, change nothing.
    doc.SetModifiedFlag(false);
    page.onEdit = [](CContentEditDialog& dialog) { dialog.OnOK(); };
    SelectGuides({8});
    page.OnDblClkList();
    page.onEdit = [](CContentEditDialog& dialog) { dialog.OnCancel(); };
    page.OnDblClkList();
    EXPECT_EQ(Guides(), QStringList({"8:11", "20:12"}));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(WorksPageTest, EnterOrSpaceOnTheListEditsAndRefusesSeveralRows)
{
    AddWorks({10});
    Register({{1, 10}, {2, 10}});
    Fill();
    SelectOnly(page.List(), {0, 1});
    QTest::keyClick(page.List(), Qt::Key_Return);
    QTest::keyClick(page.List(), Qt::Key_Space);
    EXPECT_EQ(messages.texts(), QStringList({"複数の項目を同時に編集することはできません。",
                                             "複数の項目を同時に編集することはできません。"}));
    EXPECT_TRUE(page.proposed.isEmpty());
    SelectOnly(page.List(), {1});
    QTest::keyClick(page.List(), Qt::Key_Return);
    EXPECT_EQ(page.proposed, QList<qint32>({2}));
}

TEST_F(WorksPageTest, MovesShiftBlocksAndStopAtTheEnds)
{
    AddWorks({20, 30, 40, 50});
    Register({{2, 20}, {3, 30}, {4, 40}});
    Fill();
    SelectGuides({3, 4});
    page.OnMoveUp();
    EXPECT_EQ(Guides(), QStringList({"2:30", "3:40", "4:20"}));
    EXPECT_EQ(SelectedTexts(), QStringList({"2", "3"}));

    page.OnMoveUp(); // 2 and 3 move on to 1 and 2 over the free number 1
    EXPECT_EQ(Guides(), QStringList({"1:30", "2:40", "4:20"}));
    page.OnMoveUp();
    EXPECT_EQ(messages.texts(),
              QStringList({"ガイド番号 1 の項目を上に移動させることはできません。"}));
    EXPECT_EQ(Guides(), QStringList({"1:30", "2:40", "4:20"}));

    page.OnMoveDown();
    EXPECT_EQ(Guides(), QStringList({"2:30", "3:40", "4:20"}));
    EXPECT_EQ(SelectedTexts(), QStringList({"2", "3"}));

    Register({{999, 50}});
    page.FillList();
    SelectGuides({4, 999});
    messages.Clear();
    page.OnMoveDown();
    EXPECT_EQ(messages.texts(),
              QStringList({"ガイド番号 999 の項目を下に移動させることはできません。"}));
    EXPECT_EQ(Guides(), QStringList({"2:30", "3:40", "4:20", "999:50"}));
}

TEST_F(WorksPageTest, AddRowsAloneSelectedDoNothing)
{
    AddWorks({20});
    Register({{3, 20}});
    Fill();
    doc.SetModifiedFlag(false);
    SelectOnly(page.List(), {0, 2});
    page.OnMoveUp();
    page.OnMoveDown();
    page.OnDelete();
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(Guides(), QStringList({"3:20"}));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(WorksPageTest, DeleteAsksNothingAndLeavesNothingSelected)
{
    AddWorks({20});
    Register({{1, 20}, {2, 20}, {3, 20}});
    Fill();
    SelectGuides({1, 3});
    Click(1038);
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(Guides(), QStringList({"2:20"}));
    EXPECT_TRUE(page.List()->GetSelectedRows().isEmpty());
    EXPECT_EQ(Column(page.List(), 0), QStringList({kAdd, "2", kAdd}));
}

TEST_F(WorksPageTest, RegisterInSequenceTakesThe999LowestWorks)
{
    QList<int> numbers;
    for (int w = 1200; w >= 1; --w)
        numbers << w * 3;
    AddWorks(numbers);
    Register({{500, 3}});
    messages.Answer(IDNO);
    Click(1044);
    EXPECT_EQ(Guides(), QStringList({"500:3"}));

    Click(1044);
    ASSERT_EQ(Data().m_mapGuides.size(), 999u);
    EXPECT_EQ(Data().FindGuide(1)->m_nWorkNo, 3);
    EXPECT_EQ(Data().FindGuide(999)->m_nWorkNo, 2997);
    ASSERT_EQ(messages.shown().size(), 3);
    EXPECT_EQ(messages.shown()[1].text,
              QStringLiteral("全ての作品をガイド番号 1 "
                             "から連番で登録します。\n現在登録されているガイド番号は削除されます。"
                             "\n\n続行してもよろしいですか？"));
    EXPECT_EQ(messages.shown()[1].flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(messages.shown()[2].text, QStringLiteral("999 個の作品を連番で登録しました。"));
    EXPECT_EQ(messages.shown()[2].flags, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(page.List()->GetItemCount(), 999);
}

TEST_F(WorksPageTest, RegisterInSequenceWithoutWorksEmptiesTheRegistrations)
{
    Register({{4, 7}});
    Click(1044);
    EXPECT_TRUE(Data().m_mapGuides.empty());
    EXPECT_EQ(messages.texts().last(), QStringLiteral("登録可能な作品は存在しませんでした。"));
}

TEST_F(WorksPageTest, RegisterByWorkNumberSkipsNumbersFrom1000)
{
    const struct
    {
        QList<int> works;
        QStringList guides;
        QString message;
    } cases[] = {
        {{5, 700, 1500}, {"5:5", "700:700"}, "1000番以降の作品は、登録できませんでした。"},
        {{5, 999},
         {"5:5", "999:999"},
         "2 個の作品を、作品番号がそのままガイド番号になるように登録しました。"},
        {{1000}, {}, "1000番以降の作品は、登録できませんでした。"},
        {{}, {}, "登録可能な作品は存在しませんでした。"},
    };
    for (const auto& c : cases)
    {
        Data().ClearWorks();
        Data().ClearGuides();
        Register({{1, 1}});
        AddWorks(c.works);
        messages.Clear();
        Click(1045);
        EXPECT_EQ(Guides(), c.guides);
        ASSERT_EQ(messages.shown().size(), 2);
        EXPECT_EQ(messages.shown()[1].text, c.message);
    }
}

TEST_F(WorksPageTest, RenumberKeepsTheOrderOnYesOnly)
{
    AddWorks({10, 20, 30});
    Register({{3, 10}, {40, 20}, {900, 30}});
    messages.Answer(IDNO);
    Click(1065);
    EXPECT_EQ(Guides(), QStringList({"3:10", "40:20", "900:30"}));
    Click(1065);
    EXPECT_EQ(Guides(), QStringList({"1:10", "2:20", "3:30"}));
    EXPECT_EQ(Column(page.List(), 0), QStringList({"1", "2", "3", kAdd}));
    EXPECT_EQ(messages.shown().size(), 2);
}

TEST_F(WorksPageTest, TheCheckButtonOpensTheCheckDialog)
{
    Click(1046);
    EXPECT_EQ(page.checkRuns, 1);
}

TEST_F(WorksPageTest, TheTopRowStaysAfterADelete)
{
    AddWorks({1});
    for (int g = 1; g <= 300; ++g)
        Data().AddGuide(g, 1);
    page.resize(page.size());
    Fill();
    page.List()->ScrollToTopIndex(100);
    ASSERT_EQ(page.List()->GetTopIndex(), 100);
    SelectGuides({150});
    page.OnDelete();
    EXPECT_EQ(page.List()->GetTopIndex(), 100);
}
} // namespace

namespace
{
// Counts the pixels of one state image that satisfy the test.
int Count(const QImage& image, const std::function<bool(QColor)>& test)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += test(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}

TEST(StateImages, BlankTickAndExclamationOnAMagentaKey)
{
    const QImage strip = StateBitmap();
    EXPECT_EQ(strip.size(), QSize(48, 16));
    EXPECT_EQ(strip.pixelColor(0, 0), QColor(255, 0, 255));
    const auto transparent = [](QColor c) { return c.alpha() == 0; };
    const auto green = [](QColor c) { return c.alpha() == 255 && c.green() > 100 && c.red() < 60; };
    const auto red = [](QColor c) { return c.alpha() == 255 && c.red() > 180 && c.green() < 60; };
    const auto yellow = [](QColor c)
    { return c.alpha() == 255 && c.red() > 200 && c.green() > 200 && c.blue() < 80; };
    const QImage blank = StateImage(StateBlank).toImage();
    const QImage tick = StateImage(StateOk).toImage();
    const QImage alert = StateImage(StateError).toImage();
    EXPECT_EQ(blank.size(), QSize(16, 16));
    EXPECT_EQ(Count(blank, transparent), 256);
    EXPECT_GT(Count(tick, green), 10);
    EXPECT_GT(Count(tick, transparent), 150);
    EXPECT_GT(Count(alert, red), 60);
    EXPECT_GT(Count(alert, yellow), 10);
    EXPECT_EQ(alert.pixelColor(0, 0).alpha(), 0);
}
} // namespace
