// The server list page: rows, totals and notes, sorting, edit and add through the server
// settings dialog, delete, the import of a pairing file and the step check.
#include "Ostrelin/ui/WdbEditDialog.h"
#include "Ostrelin/ui/WdbListDialog.h"
#include "PageFixture.h"
#include "platform/FileDialogs.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>

using namespace PageFixture;

namespace
{
const QString kAdd = QStringLiteral("<追加>");

class ScriptedServerPage : public CWdbListDialog
{
public:
    std::function<void(CWdbEditDialog&)> onEdit;
    QStringList opened; // the name of the server each dialog was opened on

protected:
    int RunEditDialog(CWdbEditDialog& dialog) override
    {
        dialog.OnInitDialog();
        opened << dialog.m_server.m_strName;
        if (onEdit)
            onEdit(dialog);
        return dialog.result();
    }
};

class ServerPageTest : public PageTest
{
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        Data().m_wGuideLanguages = 0x000F; // four guide languages
        AddWorks({1}, 0x000F);
    }
    CServer* AddServer(const QString& name, int role = RoleProgram, int channel = 1,
                       const QList<int>& guides = {})
    {
        Data().AddServer(name);
        CServer* server = Data().FindServer(name);
        server->m_nRole = role;
        server->m_nChannel = channel;
        for (int g : guides)
            server->m_setGuides.insert(g);
        return server;
    }
    void RegisterGuides(int count)
    {
        for (int g = 1; g <= count; ++g)
            Data().AddGuide(g, 1);
    }
    QList<int> Numbers(int count)
    {
        QList<int> list;
        for (int g = 1; g <= count; ++g)
            list << g;
        return list;
    }
    void Refill()
    {
        OnProjectDataChanged();
        page.FillList();
    }
    // Writes the pairing file below a card folder in the upper case of a card copy.
    QString WritePairing(const QByteArray& bytes)
    {
        const QString card = TestSupport::NewFolder(QStringLiteral("card"));
        TestSupport::WriteFile(
            card + QStringLiteral("/PRIVATE/KP/APP/6D2E7A10/PAIRING/NAME000.TXT"), bytes);
        return card;
    }
    QStringList Servers() const
    {
        QStringList names;
        for (const auto& server : doc.GetBindData().m_listServers)
            names << server->m_strName;
        return names;
    }

    ScriptedServerPage page;
    ScriptedFileDialogs dialogs;
};

TEST_F(ServerPageTest, RowsShowRoleChannelTotalAndTheFirstNote)
{
    RegisterGuides(11);
    AddServer(QStringLiteral("PLAY1"));
    AddServer(QStringLiteral("FULL1"), RoleContents, 7, Numbers(10));
    AddServer(QStringLiteral("OVER1"), RoleContents, 13, Numbers(11));
    AddServer(QStringLiteral("BOTH1"), RoleContents, 1, Numbers(11) << 500);
    AddServer(QStringLiteral("ASK01"), RoleEnquete, 1);
    Refill();
    EXPECT_EQ(Column(page.List(), 0),
              QStringList({"ASK01", "BOTH1", "FULL1", "OVER1", "PLAY1", kAdd}));
    EXPECT_EQ(Column(page.List(), 1), QStringList({"アンケート", "コンテンツ", "コンテンツ",
                                                   "コンテンツ", "プレイヤ", ""}));
    EXPECT_EQ(Column(page.List(), 2), QStringList({"1", "1", "7", "13", "1", ""}));
    EXPECT_EQ(Column(page.List(), 3), QStringList({"", "48 / 40", "40 / 40", "44 / 40", "", ""}));
    EXPECT_EQ(Column(page.List(), 4),
              QStringList({"（アンケートデータが全言語分揃っていません。）",
                           "（登録されていないガイド番号が指定されています。）", "",
                           "（作品数が上限を超えています。）", "", ""}));
    QList<int> images;
    for (int row = 0; row < page.List()->GetItemCount(); ++row)
        images << page.List()->GetItemImage(row);
    EXPECT_EQ(images,
              QList<int>({StateError, StateError, StateOk, StateError, StateOk, StateBlank}));

    QString error;
    EXPECT_FALSE(page.CheckStep(error));
    EXPECT_EQ(error,
              QStringLiteral("作品数が上限を超えているサーバが存在します。\r\n"
                             "登録されていないガイド番号が指定されているサーバが存在します。\r\n"
                             "アンケートデータが全言語分揃っていません。\r\n"));
}

TEST_F(ServerPageTest, StepCheckNeedsAPlayerAndAContentServer)
{
    QString error;
    EXPECT_FALSE(page.CheckStep(error));
    EXPECT_EQ(error, QStringLiteral("プレイヤ配信用サーバを追加してください。\r\n"
                                    "コンテンツ配信用サーバを追加してください。\r\n"));
    RegisterGuides(1);
    AddServer(QStringLiteral("PLAY1"));
    AddServer(QStringLiteral("CONT1"), RoleContents, 1, {1});
    OnProjectDataChanged();
    EXPECT_TRUE(page.CheckStep(error));
    EXPECT_TRUE(error.isEmpty());
}

TEST_F(ServerPageTest, SortingKeepsTheAddRowLast)
{
    AddServer(QStringLiteral("BBBBB"), RoleProgram, 13);
    AddServer(QStringLiteral("AAAAA"), RoleProgram, 1);
    AddServer(QStringLiteral("CCCCC"), RoleProgram, 7);
    page.FillList();
    page.show();
    QHeaderView* header = page.List()->horizontalHeader();
    const auto click = [&](int column)
    {
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    EXPECT_EQ(page.List()->SortArrow(0), -1);
    click(2); // the first click sorts descending
    EXPECT_EQ(Column(page.List(), 2), QStringList({"13", "7", "1", ""}));
    EXPECT_EQ(page.List()->SortArrow(2), 1);
    click(2);
    EXPECT_EQ(Column(page.List(), 2), QStringList({"1", "7", "13", ""}));
    EXPECT_EQ(page.List()->SortArrow(2), -1);
    click(0);
    EXPECT_EQ(Column(page.List(), 0), QStringList({"CCCCC", "BBBBB", "AAAAA", kAdd}));
    EXPECT_EQ(page.List()->SortArrow(2), 0);
}

TEST_F(ServerPageTest, ANarrowColumnEndsTenPixelsWide)
{
    QHeaderView* header = page.List()->horizontalHeader();
    header->resizeSection(1, 3);
    EXPECT_EQ(header->sectionSize(1), 10);
    header->resizeSection(1, 12);
    EXPECT_EQ(header->sectionSize(1), 12);
}

TEST_F(ServerPageTest, EditingAServerCopiesTheDialogsServerBack)
{
    RegisterGuides(3);
    AddServer(QStringLiteral("PLAY1"));
    AddServer(QStringLiteral("PLAY2"));
    page.FillList();
    page.show();
    page.onEdit = [](CWdbEditDialog& dialog)
    {
        dialog.NameEdit()->setText(QStringLiteral("CONT9"));
        dialog.RoleBox()->setCurrentIndex(RoleContents);
        emit dialog.RoleBox()->activated(RoleContents);
        SelectOnly(dialog.StorableList(), {0, 2});
        dialog.AddButton()->click();
        dialog.OnOK();
    };
    SelectOnly(page.List(), {1});
    QTest::keyClick(page.List(), Qt::Key_Return);
    EXPECT_EQ(page.opened, QStringList({"PLAY2"}));
    const CServer* edited = Data().FindServer(QStringLiteral("CONT9"));
    ASSERT_NE(edited, nullptr);
    EXPECT_EQ(edited->m_nRole, RoleContents);
    EXPECT_EQ(edited->m_setGuides, std::set<qint32>({1, 3}));
    EXPECT_EQ(Servers(), QStringList({"PLAY1", "CONT9"}));
    EXPECT_TRUE(doc.IsModified());
    const int row = page.List()->GetFocusedRow();
    EXPECT_EQ(page.List()->GetItemText(row, 0), QStringLiteral("CONT9"));
    EXPECT_EQ(page.List()->GetSelectedRows(), QList<int>({row}));
    EXPECT_EQ(page.List()->GetItemText(row, 3), QStringLiteral("8 / 40"));

    // Cancel applies nothing.
    doc.SetModifiedFlag(false);
    page.onEdit = [](CWdbEditDialog& dialog)
    {
        dialog.NameEdit()->setText(QStringLiteral("XXXXX"));
        dialog.OnCancel();
    };
    QTest::keyClick(page.List(), Qt::Key_Space);
    EXPECT_EQ(Servers(), QStringList({"PLAY1", "CONT9"}));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ServerPageTest, TheAddRowAddsAFreshServerUpTo64)
{
    page.onEdit = [](CWdbEditDialog& dialog)
    {
        EXPECT_TRUE(dialog.NameEdit()->text().isEmpty());
        dialog.NameEdit()->setText(QStringLiteral("NEW01"));
        dialog.ChannelBox()->setCurrentIndex(1);
        emit dialog.ChannelBox()->activated(1);
        dialog.OnOK();
    };
    page.FillList();
    SelectOnly(page.List(), {0});
    page.OnDblClkList();
    ASSERT_EQ(Servers(), QStringList({"NEW01"}));
    EXPECT_EQ(Data().FindServer(QStringLiteral("NEW01"))->m_nChannel, 7);
    EXPECT_EQ(Data().FindServer(QStringLiteral("NEW01"))->m_nRole, RoleProgram);

    for (int i = 1; i < 64; ++i)
        AddServer(QStringLiteral("S%1").arg(i, 4, 10, QLatin1Char('0')));
    page.FillList();
    page.opened.clear();
    SelectOnly(page.List(), {RowOf(page.List(), kAdd)});
    page.OnDblClkList();
    EXPECT_EQ(messages.texts(), QStringList({"これ以上サーバを追加できません。"}));
    EXPECT_TRUE(page.opened.isEmpty());
}

TEST_F(ServerPageTest, SeveralRowsCannotBeEditedAtOnce)
{
    AddServer(QStringLiteral("PLAY1"));
    page.FillList();
    SelectOnly(page.List(), {0, 1});
    page.OnDblClkList();
    EXPECT_EQ(messages.texts(), QStringList({"複数の項目を同時に編集することはできません。"}));
    EXPECT_TRUE(page.opened.isEmpty());
}

TEST_F(ServerPageTest, DeleteRemovesSelectedServersOnly)
{
    AddServer(QStringLiteral("PLAY1"));
    AddServer(QStringLiteral("PLAY2"));
    page.FillList();
    SelectOnly(page.List(), {2});
    page.findChild<QPushButton*>(QStringLiteral("1038"))->click();
    EXPECT_EQ(Servers(), QStringList({"PLAY1", "PLAY2"}));
    EXPECT_FALSE(doc.IsModified());
    SelectOnly(page.List(), {0, 2});
    page.OnDelete();
    EXPECT_EQ(Servers(), QStringList({"PLAY2"}));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(ServerPageTest, PairingFileNamesAreParsedLineByLine)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
        QStringList names;
    } cases[] = {
        {"CR LF", "ABCDE\r\nFGHIJ\r\n", {"ABCDE", "FGHIJ"}},
        {"LF, no last end", "ABCDE\nFGHIJ", {"ABCDE"}},
        {"empty lines", "\r\n\r\nABCDE\n\n", {"ABCDE"}},
        {"NUL ends", QByteArray("ABCDE\r\n\0FGHIJ\r\n", 15), {"ABCDE"}},
        {"blanks kept", "ABCDE \r\n", {"ABCDE "}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseServerNames(c.bytes), c.names) << c.name;
    QByteArray many;
    for (int i = 0; i < 70; ++i)
        many += QByteArray::number(10000 + i) + "\n";
    EXPECT_EQ(ParseServerNames(many).size(), 64);
    EXPECT_EQ(ParseServerNames("\xC4\xE9\xE9\xE9\xE9\n").first().size(), 5);
}

TEST_F(ServerPageTest, ImportAddsTheAcceptableNamesAndReportsThem)
{
    AddServer(QStringLiteral("HAVE1"));
    dialogs.Answer(WritePairing("ABCDE\r\nabcde\r\nABCD\r\n00000\r\nABCDE \r\nHAVE1\r\nABCDE\r\n"
                                "Z9Z9Z\r\n0000A\r\n"));
    page.findChild<QPushButton*>(QStringLiteral("1039"))->click();
    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls()[0].kind, FileDialogCall::Kind::Folder);
    EXPECT_EQ(dialogs.calls()[0].folder, host.projectPath);
    EXPECT_EQ(Servers(), QStringList({"HAVE1", "ABCDE", "Z9Z9Z", "0000A"}));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text,
              QStringLiteral("3 個のサーバを追加しました。\n\nABCDE\nZ9Z9Z\n0000A\n"));
    EXPECT_EQ(messages.shown()[0].flags, MB_OK | MB_ICONINFORMATION);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Column(page.List(), 0), QStringList({"0000A", "ABCDE", "HAVE1", "Z9Z9Z", kAdd}));
    const CServer* added = Data().FindServer(QStringLiteral("ABCDE"));
    EXPECT_EQ(added->m_nRole, RoleProgram);
    EXPECT_EQ(added->m_nChannel, 1);
}

TEST_F(ServerPageTest, ImportStopsAt64Servers)
{
    for (int i = 0; i < 10; ++i)
        AddServer(QStringLiteral("H%1").arg(i, 4, 10, QLatin1Char('0')));
    QByteArray names;
    for (int i = 0; i < 70; ++i)
        names += QByteArray::number(10000 + i) + "\r\n";
    ASSERT_LT(names.size(), 1024);
    dialogs.Answer(WritePairing(names));
    page.OnImportServerList();
    EXPECT_EQ(Data().m_listServers.size(), 64u);
    EXPECT_TRUE(
        messages.texts().value(0).startsWith(QStringLiteral("54 個のサーバを追加しました。")));
}

TEST_F(ServerPageTest, ImportRefusals)
{
    const QString unreadable =
        QStringLiteral("サーバリストを記述したファイルが読み込めませんでした。");
    const QString nothing = QStringLiteral("追加可能なサーバは存在しませんでした。");
    const QString missing =
        QStringLiteral("サーバリストを記述したファイルが見つかりませんでした。");
    const QByteArray full1023 = QByteArray("ABCDE\r\n") + QByteArray(1016, 'x');
    const struct
    {
        const char* name;
        QByteArray bytes;
        QString message;
        int servers;
    } cases[] = {
        {"empty", "", unreadable, 0},
        {"1024 bytes", QByteArray("ABCDE\r\n") + QByteArray(1017, 'x'), unreadable, 0},
        {"1023 bytes", full1023, "1 個のサーバを追加しました。\n\nABCDE\n", 1},
        {"only bad names", "abcde\r\nABCD\r\n00000\r\n", nothing, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Data().ClearServers();
        doc.SetModifiedFlag(false);
        messages.Clear();
        dialogs.Answer(WritePairing(c.bytes));
        page.OnImportServerList();
        EXPECT_EQ(messages.texts(), QStringList({c.message}));
        EXPECT_EQ(int(Data().m_listServers.size()), c.servers);
        EXPECT_EQ(doc.IsModified(), c.servers > 0);
    }

    // No file below the chosen folder, or a folder in its place.
    messages.Clear();
    dialogs.Answer(TestSupport::NewFolder(QStringLiteral("blank")));
    page.OnImportServerList();
    const QString odd = TestSupport::NewFolder(QStringLiteral("odd"));
    QDir().mkpath(odd + QStringLiteral("/private/kp/app/6D2E7A10/pairing/name000.txt"));
    dialogs.Answer(odd);
    page.OnImportServerList();
    EXPECT_EQ(messages.texts(), QStringList({missing, missing}));

    // Cancelling the folder browser ends the import silently.
    messages.Clear();
    dialogs.Cancel();
    page.OnImportServerList();
    EXPECT_TRUE(messages.shown().isEmpty());
}
} // namespace
