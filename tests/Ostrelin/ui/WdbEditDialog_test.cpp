// The server settings dialog: the working copy, role-dependent controls, the stored and
// storable works with the total, sorting, and the checks on OK.
#include "Ostrelin/ui/WdbEditDialog.h"
#include "PageFixture.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace PageFixture;

namespace
{
class ServerDialogTest : public PageTest
{
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        Data().m_wGuideLanguages = 0x000F;
        Data().AddWork(1, 100, QStringLiteral("hundred"), 0x000F);
        for (int g = 1; g <= 12; ++g)
            Data().AddGuide(g, 100);
        Data().AddGuide(20, 555); // a work that is not loaded
    }
    void ChooseRole(CWdbEditDialog& dialog, int role)
    {
        dialog.RoleBox()->setCurrentIndex(role);
        emit dialog.RoleBox()->activated(role);
    }
    bool WorkControlsEnabled(const CWdbEditDialog& dialog)
    {
        return dialog.StoredList()->isEnabled() && dialog.StorableList()->isEnabled() &&
               dialog.AddButton()->isEnabled() && dialog.RemoveButton()->isEnabled() &&
               dialog.TotalEdit()->isEnabled();
    }
    void Store(CWdbEditDialog& dialog, const QStringList& guides)
    {
        QList<int> rows;
        for (const QString& g : guides)
            rows << RowOf(dialog.StorableList(), g);
        SelectOnly(dialog.StorableList(), rows);
        QTest::mouseClick(dialog.AddButton(), Qt::LeftButton);
    }
};

TEST_F(ServerDialogTest, AFreshServerIsAPlayerOnChannelOne)
{
    const CServer fresh;
    CWdbEditDialog dialog(&fresh);
    dialog.OnInitDialog();
    EXPECT_TRUE(dialog.NameEdit()->text().isEmpty());
    EXPECT_EQ(dialog.RoleBox()->currentText(), QStringLiteral("プレイヤ"));
    EXPECT_EQ(dialog.ChannelBox()->currentText(), QStringLiteral("1"));
    EXPECT_EQ(dialog.TotalEdit()->text(), QStringLiteral("作品総数: 0 / 40"));
    EXPECT_FALSE(dialog.StoredList()->isEnabled());
    EXPECT_FALSE(dialog.AddButton()->isEnabled());
    EXPECT_TRUE(dialog.NameEdit()->isEnabled());
}

TEST_F(ServerDialogTest, TheRoleSwitchesTheWorkControlsAndKeepsTheWorks)
{
    const CServer fresh;
    CWdbEditDialog dialog(&fresh);
    dialog.OnInitDialog();
    dialog.show();
    ChooseRole(dialog, RoleContents);
    EXPECT_TRUE(WorkControlsEnabled(dialog));
    Store(dialog, {"1", "2", "3"});
    EXPECT_EQ(dialog.m_server.m_setGuides.size(), 3u);
    ChooseRole(dialog, RoleProgram);
    EXPECT_FALSE(dialog.StoredList()->isEnabled());
    EXPECT_FALSE(dialog.TotalEdit()->isEnabled());
    EXPECT_EQ(dialog.m_server.m_setGuides.size(), 3u);
    EXPECT_EQ(Column(dialog.StoredList(), 0), QStringList({"1", "2", "3"}));
}

TEST_F(ServerDialogTest, ElevenWorksInFourLanguagesExceedTheLimitButOKStillCloses)
{
    CServer source;
    source.m_strName = QStringLiteral("CONT1");
    source.m_nRole = RoleContents;
    source.m_setGuides = {1};
    CWdbEditDialog dialog(&source);
    dialog.OnInitDialog();
    dialog.show();
    EXPECT_EQ(dialog.TotalEdit()->text(), QStringLiteral("作品総数: 4 / 40"));
    Store(dialog, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"});
    EXPECT_EQ(dialog.TotalEdit()->text(), QStringLiteral("作品総数: 44 / 40"));
    EXPECT_EQ(dialog.StoredList()->GetItemCount(), 11);
    // The source stays untouched until the caller applies the copy.
    EXPECT_EQ(source.m_setGuides.size(), 1u);
    dialog.OnOK();
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(ServerDialogTest, StoredAndStorableRows)
{
    CServer source;
    source.m_strName = QStringLiteral("CONT1");
    source.m_nRole = RoleContents;
    source.m_setGuides = {2, 20, 300};
    CWdbEditDialog dialog(&source);
    dialog.OnInitDialog();
    EXPECT_EQ(Column(dialog.StoredList(), 0), QStringList({"2", "20", "300"}));
    EXPECT_EQ(Column(dialog.StoredList(), 1), QStringList({"100", "555", "----"}));
    EXPECT_EQ(Column(dialog.StoredList(), 2),
              QStringList({"hundred", "（このガイド番号は現在設定されていません。）",
                           "（このガイド番号は現在設定されていません。）"}));
    // Only registered numbers are offered, those on the server too.
    EXPECT_EQ(dialog.StorableList()->GetItemCount(), 13);
    EXPECT_EQ(RowOf(dialog.StorableList(), QStringLiteral("300")), -1);
    const int unloaded = RowOf(dialog.StorableList(), QStringLiteral("20"));
    EXPECT_EQ(dialog.StorableList()->GetItemText(unloaded, 2),
              QStringLiteral("（作品が読み込めませんでした。）"));

    // Storing a number the server has changes nothing; ">" removes.
    dialog.show();
    Store(dialog, {"2"});
    EXPECT_EQ(dialog.m_server.m_setGuides, std::set<qint32>({2, 20, 300}));
    SelectOnly(dialog.StoredList(), {0, 2});
    dialog.RemoveButton()->click();
    EXPECT_EQ(dialog.m_server.m_setGuides, std::set<qint32>({20}));
}

TEST_F(ServerDialogTest, HeaderClicksSortEachListOnItsOwn)
{
    CServer source;
    source.m_nRole = RoleContents;
    source.m_setGuides = {3, 1, 500, 12};
    CWdbEditDialog dialog(&source);
    dialog.OnInitDialog();
    dialog.show();
    QHeaderView* header = dialog.StoredList()->horizontalHeader();
    const auto click = [&](int column)
    {
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    EXPECT_EQ(Column(dialog.StoredList(), 0), QStringList({"1", "3", "12", "500"}));
    click(0);
    EXPECT_EQ(Column(dialog.StoredList(), 0), QStringList({"500", "12", "3", "1"}));
    EXPECT_EQ(dialog.StoredList()->SortArrow(0), 1);
    click(1); // ascending again; "----" reads as 0
    EXPECT_EQ(Column(dialog.StoredList(), 1).first(), QStringLiteral("----"));
    EXPECT_EQ(dialog.StorableList()->SortArrow(0), -1);
    EXPECT_EQ(Column(dialog.StorableList(), 0).first(), QStringLiteral("1"));
}

TEST_F(ServerDialogTest, NameRulesOnOK)
{
    const QString rule =
        QStringLiteral("サーバ名は半角5文字で大文字アルファベットもしくは数字のみ使用可能です。");
    const struct
    {
        QString name;
        QString message; // empty: accepted
    } cases[] = {
        {"0000A", {}},    {"Z9Z9Z", {}},  {"00000", "サーバ名に 00000 は使用できません。"},
        {"abcde", rule},  {"ABCD", rule}, {"AB CD", rule},
        {"ABCDＥ", rule}, {"", rule},     {"TAKEN", "サーバ名が重複しています。"},
        {"MINE1", {}},
    };
    Data().AddServer(QStringLiteral("TAKEN"));
    Data().AddServer(QStringLiteral("MINE1"));
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name.toStdString());
        messages.Clear();
        CWdbEditDialog dialog(Data().FindServer(QStringLiteral("MINE1")));
        dialog.OnInitDialog();
        dialog.NameEdit()->setText(c.name);
        dialog.OnOK();
        EXPECT_EQ(messages.texts(), c.message.isEmpty() ? QStringList() : QStringList({c.message}));
        EXPECT_EQ(dialog.result() == IDOK, c.message.isEmpty());
    }
}

TEST_F(ServerDialogTest, AContentServerNeedsWorks)
{
    const CServer fresh;
    for (int role : {RoleContents, RoleProgram, RoleEnquete})
    {
        SCOPED_TRACE(role);
        messages.Clear();
        CWdbEditDialog dialog(&fresh);
        dialog.OnInitDialog();
        dialog.NameEdit()->setText(QStringLiteral("SERV1"));
        ChooseRole(dialog, role);
        dialog.OnOK();
        EXPECT_EQ(dialog.result() == IDOK, role != RoleContents);
        const QStringList expected = role == RoleContents
                                         ? QStringList({"配信する作品が格納されていません。"})
                                         : QStringList();
        EXPECT_EQ(messages.texts(), expected);
    }
}

TEST_F(ServerDialogTest, TheNameTakesFiveCharactersAsTyped)
{
    const CServer fresh;
    CWdbEditDialog dialog(&fresh);
    dialog.OnInitDialog();
    dialog.show();
    QTest::keyClicks(dialog.NameEdit(), QStringLiteral("abCDEFG"));
    EXPECT_EQ(dialog.NameEdit()->text(), QStringLiteral("abCDE"));
    EXPECT_EQ(dialog.m_server.m_strName, QStringLiteral("abCDE"));
}
} // namespace
