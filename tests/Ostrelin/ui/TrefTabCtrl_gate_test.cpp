// The hub's steps end to end: a project with content is taken through the language, title,
// works and server pages by their controls, and the gate opens step by step.
#include "hub_fixture.h"

#include "Ostrelin/ui/BindList.h"
#include "Ostrelin/ui/ConfigDialog.h"
#include "Ostrelin/ui/ContentListDialog.h"
#include "Ostrelin/ui/TitleEditDialog.h"
#include "Ostrelin/ui/TrefTabCtrl.h"
#include "Ostrelin/ui/WdbListDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace
{
const QString kNeedLanguage = QStringLiteral("ガイドで選択可能な言語を設定してください。\r\n");
const QString kNeedWorks = QStringLiteral("作品を登録してください。\r\n");

class HubGate : public HubFixture::Bench
{
protected:
    void SetUp() override
    {
        Bench::SetUp();
        MakeView();
        m_frame->show();
    }
    void Click(QWidget* page, unsigned id)
    {
        page->findChild<QPushButton*>(QString::number(id))->click();
    }
};

TEST_F(HubGate, EachPageOpensTheNextStep)
{
    CProgressTabCtrl& tabs = *View().GetTabs();
    OpenProject(MakeProject(QStringLiteral("gate"), {1, 2, 3}));
    EXPECT_EQ(tabs.Reachable(), CProgressTabCtrl::StepLanguage);
    EXPECT_EQ(tabs.StepError(CProgressTabCtrl::StepLanguage), kNeedLanguage);

    // A forward click stops on the language page and says what is missing.
    m_messages.Clear();
    tabs.setCurrentIndex(CProgressTabCtrl::StepServers);
    EXPECT_EQ(tabs.currentIndex(), CProgressTabCtrl::StepLanguage);
    EXPECT_EQ(m_messages.texts(), QStringList{kNeedLanguage});
    CConfigDialog* language = View().m_pConfigPage;
    ASSERT_TRUE(language->isVisible());
    EXPECT_TRUE(language->LanguageBox(0)->isEnabled());
    EXPECT_FALSE(language->LanguageBox(1)->isEnabled());
    language->LanguageBox(0)->click();
    // No title is asked for, so the works page is the next stop.
    EXPECT_EQ(tabs.Reachable(), CProgressTabCtrl::StepWorks);
    EXPECT_EQ(tabs.StepError(CProgressTabCtrl::StepWorks), kNeedWorks);

    // A ticked title without a valid picture closes the gate at the title step again.
    tabs.setCurrentIndex(CProgressTabCtrl::StepTitleImage);
    CTitleEditDialog* title = View().m_pTitleEditPage;
    ASSERT_TRUE(title->isVisible());
    title->CheckBox(0)->click();
    EXPECT_EQ(tabs.Reachable(), CProgressTabCtrl::StepTitleImage);
    title->CheckBox(0)->click();
    EXPECT_EQ(tabs.Reachable(), CProgressTabCtrl::StepWorks);

    tabs.setCurrentIndex(CProgressTabCtrl::StepWorks);
    CContentListDialog* works = View().m_pContentListPage;
    ASSERT_TRUE(works->isVisible());
    Click(works, 1044); // register all in sequence; the question is answered Yes
    EXPECT_EQ(works->List()->GetItemCount(), 4);
    EXPECT_EQ(tabs.Reachable(), CProgressTabCtrl::StepServers);

    tabs.setCurrentIndex(CProgressTabCtrl::StepServers);
    CWdbListDialog* servers = View().m_pWdbListPage;
    ASSERT_TRUE(servers->isVisible());
    EXPECT_EQ(tabs.StepError(CProgressTabCtrl::StepServers),
              QStringLiteral("プレイヤ配信用サーバを追加してください。\r\n"
                             "コンテンツ配信用サーバを追加してください。\r\n"));
    CBindData& data = Doc().GetBindData();
    data.AddServer(QStringLiteral("PLAY1"));
    data.AddServer(QStringLiteral("CONT1"));
    CServer* contents = data.FindServer(QStringLiteral("CONT1"));
    contents->m_nRole = RoleContents;
    contents->m_setGuides = {1, 2, 3};
    OnProjectDataChanged();
    EXPECT_EQ(tabs.Reachable(), CProgressTabCtrl::StepCount);

    // Unticking the only guide language closes every later step and pulls the tab back.
    tabs.setCurrentIndex(CProgressTabCtrl::StepLanguage);
    language->LanguageBox(0)->click();
    EXPECT_EQ(tabs.Reachable(), CProgressTabCtrl::StepLanguage);
    EXPECT_TRUE(Doc().IsModified());
}
} // namespace
