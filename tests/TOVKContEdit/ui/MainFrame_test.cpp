// The main frame: menu 128 and the toolbars in both resource sets, the bars on one row,
// command routing with update handlers, refusal while busy, and the recent-file entries.
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/ui/MainFrame.h"
#include "framework/LongOperation.h"
#include "platform/RecordingMessages.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>
#include <stdexcept>

namespace
{
constexpr unsigned Sep = 0;

QList<unsigned> Ids(const QList<QAction*>& actions)
{
    QList<unsigned> ids;
    for (QAction* action : actions)
    {
        if (action->isSeparator())
            ids << Sep;
        else if (action->menu())
            ids << action->menu()->objectName().toUInt();
        else
            ids << action->objectName().toUInt();
    }
    return ids;
}

TEST(FrameMenu, StructureOfMenuAndToolbars)
{
    Strings::Install(ContEditStringsEN());
    CMainFrame frame;
    ASSERT_EQ(frame.OnCreate(), 0);
    const QList<QList<unsigned>> popups = {
        {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, Sep, ID_FILE_OUTPUT, Sep,
         ID_FILE_MRU_FILE1, Sep, ID_APP_EXIT},
        {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, Sep, ID_EDIT_DELETE, ID_EDIT_ADD, ID_EDIT_MOVEUP,
         ID_EDIT_MOVEDOWN, Sep, ID_EDIT_SORT, Sep, ID_EDIT_PLAYVOICE, ID_EDIT_STOPVOICE},
        {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_CONTENTS_TOOLBAR, Sep, IDS_MENU_LANGUAGE},
        {ID_APP_ABOUT},
        {32777, 32778, 32779, 32780, 32781, 32782, 32783, 32784, 32785},
    };
    ASSERT_EQ(frame.menuBar()->actions().size(), 4);
    for (int i = 0; i < popups.size(); ++i)
        EXPECT_EQ(Ids(frame.MenuBarPopup(i)->actions()), popups[i]) << "pop-up " << i;

    EXPECT_EQ(Ids(frame.MainToolBar()->actions()),
              (QList<unsigned>{ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, Sep, ID_EDIT_CUT,
                               ID_EDIT_COPY, ID_EDIT_PASTE, Sep, ID_APP_ABOUT}));
    EXPECT_EQ(Ids(frame.ContentsToolBar()->actions()),
              (QList<unsigned>{32771, 32787, 32772, 32773, 32774, 32792, 32786, Sep, 32777, 32778,
                               32779, 32780, 32781, 32782, 32783, 32784, 32785}));
    for (QToolBar* bar : {frame.MainToolBar(), frame.ContentsToolBar()})
        EXPECT_EQ(bar->iconSize(), QSize(16, 15));
}

TEST(FrameMenu, TextsOfBothResourceSets)
{
    struct Case
    {
        unsigned id;
        const char16_t* english;
        const char16_t* japanese;
    } cases[] = {
        {ID_FILE_NEW, u"Create new(&N)\tCtrl+N", u"新規作成(&N)\tCtrl+N"},
        {ID_FILE_OPEN, u"Open(&O)...\tCtrl+O", u"開く(&O)...\tCtrl+O"},
        {ID_FILE_SAVE, u"Overwrite and save(&S)\tCtrl+S", u"上書き保存(&S)\tCtrl+S"},
        {ID_FILE_SAVE_AS, u"Save as(&A)...", u"名前を付けて保存(&A)..."},
        {ID_FILE_OUTPUT, u"Output(&U)", u"出力(&E)"},
        {ID_APP_EXIT, u"Quit(&X)", u"アプリケーションの終了(&X)"},
        {ID_EDIT_CUT, u"Cut(&T)\tCtrl+X", u"切り取り(&T)\tCtrl+X"},
        {ID_EDIT_COPY, u"Copy(&C)\tCtrl+C", u"コピー(&C)\tCtrl+C"},
        {ID_EDIT_PASTE, u"Paste(&P)\tCtrl+V", u"貼り付け(&P)\tCtrl+V"},
        {ID_EDIT_DELETE, u"Delete \tDel", u"削除\tDel"},
        {ID_EDIT_ADD, u"Add", u"追加"},
        {ID_EDIT_MOVEUP, u"Move up", u"上に移動"},
        {ID_EDIT_MOVEDOWN, u"Move down", u"下に移動"},
        {ID_EDIT_SORT, u"Sort by item number", u"作品番号でソート"},
        {ID_EDIT_PLAYVOICE, u"Play recorded voice", u"音声再生"},
        {ID_EDIT_STOPVOICE, u"Stop recorded voice", u"音声停止"},
        {ID_VIEW_TOOLBAR, u"Tool Bar(&T)", u"ツール バー(&T)"},
        {ID_VIEW_STATUS_BAR, u"Status Bar(&S)", u"ステータス バー(&S)"},
        {ID_VIEW_CONTENTS_TOOLBAR, u"Contents Tool Bar(&C)", u"コンテンツツール バー(&C)"},
        {ID_LANGUAGE_JAPANESE, u"Japanese", u"日本語"},
        {ID_LANGUAGE_KOREAN, u"Korean", u"韓国語"},
        {ID_LANGUAGE_DUTCH, u"Dutch", u"オランダ語"},
        {ID_APP_ABOUT, u"Version Information(&A)...", u"バージョン情報(&A)..."},
    };
    struct Set
    {
        const StringTable& table;
        bool japanese;
        QStringList popups;
        QString recent;
    } sets[] = {
        {ContEditStringsEN(),
         false,
         {"File(&F)", "Edit(&E)", "View(&V)", "Help(&H)", "Language"},
         "Recently used files"},
        {ContEditStringsJA(),
         true,
         {"ファイル(&F)", "編集(&E)", "表示(&V)", "ヘルプ(&H)", "言語"},
         "最近使ったファイル"},
    };
    for (const Set& set : sets)
    {
        Strings::Install(set.table);
        CMainFrame frame;
        ASSERT_EQ(frame.OnCreate(), 0);
        for (const Case& c : cases)
            EXPECT_EQ(frame.Action(c.id)->text(),
                      QString::fromUtf16(set.japanese ? c.japanese : c.english))
                << c.id;
        for (int i = 0; i < set.popups.size(); ++i)
            EXPECT_EQ(frame.MenuBarPopup(i)->title(), set.popups[i]);
        EXPECT_EQ(frame.MenuBarPopup(0)->actions().at(7)->text(), set.recent);
    }
    Strings::Install(ContEditStringsEN());
}

TEST(FrameMenu, ToolTipsAndPromptsComeFromTheCommandStrings)
{
    struct Case
    {
        const StringTable& table;
        unsigned id;
        QString tip;
        QString prompt;
    } cases[] = {
        {ContEditStringsJA(), ID_EDIT_ADD, "追加", "作品を追加します"},
        {ContEditStringsJA(), ID_FILE_OUTPUT, "出力", "コンテンツを出力します"},
        {ContEditStringsJA(), ID_LANGUAGE_FRENCH, "フランス語",
         "フランス語版でコンテンツを表示します"},
        {ContEditStringsJA(), ID_APP_ABOUT, "バージョン情報",
         "プログラム情報、バージョン、著作権を表示します"},
        {ContEditStringsEN(), ID_EDIT_STOPVOICE, "Stop voice", "Stop the recorded voice"},
    };
    for (const Case& c : cases)
    {
        Strings::Install(c.table);
        CMainFrame frame;
        ASSERT_EQ(frame.OnCreate(), 0);
        EXPECT_EQ(frame.Action(c.id)->toolTip(), c.tip);
        EXPECT_EQ(frame.Action(c.id)->statusTip(), c.prompt);
    }
    Strings::Install(ContEditStringsEN());
}

class FrameWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(ContEditStringsEN());
        ASSERT_EQ(m_frame.OnCreate(), 0);
        m_frame.resize(800, 600);
        m_frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_frame));
    }
    CMainFrame m_frame;
    RecordingMessages m_messages;
};

TEST_F(FrameWindow, BothToolbarsShareTheTopRow)
{
    EXPECT_EQ(m_frame.toolBarArea(m_frame.MainToolBar()), Qt::TopToolBarArea);
    EXPECT_EQ(m_frame.toolBarArea(m_frame.ContentsToolBar()), Qt::TopToolBarArea);
    EXPECT_FALSE(m_frame.toolBarBreak(m_frame.ContentsToolBar()));
    EXPECT_EQ(m_frame.MainToolBar()->y(), m_frame.ContentsToolBar()->y());
    EXPECT_GT(m_frame.ContentsToolBar()->x(), m_frame.MainToolBar()->x());
}

TEST_F(FrameWindow, TheWindowHasTheProgramIcon)
{
    const QIcon icon = m_frame.windowIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int side : {16, 32, 48})
        EXPECT_TRUE(icon.availableSizes().contains(QSize(side, side))) << side;
    // A white tile framed and marked in dark green.
    const QImage image = icon.pixmap(QSize(32, 32)).toImage();
    int green = 0;
    int white = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
        {
            green += image.pixelColor(x, y) == QColor(Qt::darkGreen);
            white += image.pixelColor(x, y) == QColor(Qt::white);
        }
    EXPECT_GT(green, 60);
    EXPECT_GT(white, 200);
}

TEST_F(FrameWindow, BarCommandsToggleAndCheck)
{
    struct Case
    {
        unsigned id;
        QWidget* bar;
    } cases[] = {{ID_VIEW_CONTENTS_TOOLBAR, m_frame.ContentsToolBar()},
                 {ID_VIEW_TOOLBAR, m_frame.MainToolBar()},
                 {ID_VIEW_STATUS_BAR, m_frame.statusBar()}};
    for (const Case& c : cases)
    {
        QAction* action = m_frame.Action(c.id);
        m_frame.UpdateCommandUI();
        EXPECT_TRUE(action->isChecked());
        action->trigger();
        EXPECT_TRUE(c.bar->isHidden());
        EXPECT_FALSE(action->isChecked());
        action->trigger();
        EXPECT_FALSE(c.bar->isHidden());
        EXPECT_TRUE(action->isChecked());
    }
}

TEST_F(FrameWindow, CommandsRouteToTheirHandlers)
{
    int runs = 0;
    bool allowed = true;
    EXPECT_FALSE(m_frame.Action(ID_EDIT_ADD)->isEnabled()); // no handler yet
    EXPECT_FALSE(m_frame.OnCommand(ID_EDIT_ADD));

    m_frame.SetCommandHandler(
        ID_EDIT_ADD, [&runs] { ++runs; }, [&allowed](CCmdUI& ui) { ui.Enable(allowed); });
    EXPECT_TRUE(m_frame.Action(ID_EDIT_ADD)->isEnabled());
    m_frame.Action(ID_EDIT_ADD)->trigger();
    EXPECT_EQ(runs, 1);

    allowed = false;
    EXPECT_FALSE(m_frame.OnCommand(ID_EDIT_ADD));
    EXPECT_FALSE(m_frame.Action(ID_EDIT_ADD)->isEnabled());
    EXPECT_EQ(runs, 1);

    int language = -1;
    for (int i = 0; i < 9; ++i)
        m_frame.SetCommandHandler(
            ID_LANGUAGE_JAPANESE + i, [&language, i] { language = i; },
            [&language, i](CCmdUI& ui) { ui.SetRadio(language == i); });
    m_frame.Action(ID_LANGUAGE_GERMAN)->trigger();
    EXPECT_EQ(language, 3);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(m_frame.Action(ID_LANGUAGE_JAPANESE + i)->isChecked(), i == 3) << i;
}

TEST_F(FrameWindow, BusyFrameRefusesCommandsShortcutsAndClosing)
{
    int news = 0;
    m_frame.SetCommandHandler(ID_FILE_NEW, [&news] { ++news; });
    m_frame.activateWindow();
    QTest::keyClick(&m_frame, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(news, 1);

    {
        const CLongOperation operation;
        QTest::keyClick(&m_frame, Qt::Key_N, Qt::ControlModifier);
        EXPECT_FALSE(m_frame.OnCommand(ID_FILE_NEW));
        m_frame.UpdateCommandUI();
        EXPECT_FALSE(m_frame.Action(ID_FILE_NEW)->isEnabled());
        EXPECT_FALSE(m_frame.close());
        EXPECT_TRUE(m_frame.isVisible());
        EXPECT_EQ(news, 1);
    }

    EXPECT_TRUE(m_frame.OnCommand(ID_FILE_NEW));
    EXPECT_EQ(news, 2);
}

TEST_F(FrameWindow, CloseAsksTheCloseHandler)
{
    bool allow = false;
    m_frame.SetCloseHandler([&allow] { return allow; });
    EXPECT_FALSE(m_frame.close());
    allow = true;
    EXPECT_TRUE(m_frame.close());
}

TEST_F(FrameWindow, AFailingCommandIsReportedNotPropagated)
{
    m_frame.SetCommandHandler(ID_EDIT_SORT, [] { throw std::runtime_error("broken"); });
    m_frame.SetCommandHandler(ID_EDIT_ADD, [] { throw std::bad_alloc(); });
    EXPECT_TRUE(m_frame.OnCommand(ID_EDIT_SORT));
    EXPECT_TRUE(m_frame.OnCommand(ID_EDIT_ADD));
    EXPECT_EQ(m_messages.texts(),
              (QStringList{"An unsupported operation was attempted.", "Out of memory."}));
}

TEST_F(FrameWindow, RecentFilesReplaceThePlaceholder)
{
    int opened = -1;
    m_frame.SetRecentFileHandler([&opened](int index) { opened = index; });
    QMenu* file = m_frame.MenuBarPopup(0);
    const auto visibleTexts = [file]
    {
        QStringList texts;
        for (QAction* action : file->actions())
            if (action->isVisible() && !action->isSeparator())
                texts << action->text();
        return texts;
    };
    EXPECT_TRUE(visibleTexts().contains(QStringLiteral("Recently used files")));

    m_frame.SetRecentFiles({QStringLiteral("/p/a.xml"), QStringLiteral("/p/b.xml")});
    QStringList texts = visibleTexts();
    EXPECT_FALSE(texts.contains(QStringLiteral("Recently used files")));
    const qsizetype first = texts.indexOf(QStringLiteral("&1 /p/a.xml"));
    ASSERT_GE(first, 0);
    EXPECT_EQ(texts.value(first + 1), QStringLiteral("&2 /p/b.xml"));
    for (QAction* action : file->actions())
        if (action->text() == QStringLiteral("&2 /p/b.xml"))
            action->trigger();
    EXPECT_EQ(opened, 1);

    m_frame.SetRecentFiles({});
    EXPECT_TRUE(visibleTexts().contains(QStringLiteral("Recently used files")));
}

TEST_F(FrameWindow, StatusBarShowsPromptsAndTheIdleText)
{
    EXPECT_EQ(m_frame.MessageText(), QStringLiteral("Ready"));
    m_frame.Action(ID_EDIT_ADD)->showStatusText(&m_frame);
    EXPECT_EQ(m_frame.MessageText(), QStringLiteral("Add a content item"));
    m_frame.SetMessageText(QString());
    EXPECT_EQ(m_frame.MessageText(), QStringLiteral("Ready"));
    for (unsigned id : {ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL})
        EXPECT_NE(m_frame.statusBar()->findChild<QWidget*>(QString::number(id)), nullptr) << id;
}
} // namespace
