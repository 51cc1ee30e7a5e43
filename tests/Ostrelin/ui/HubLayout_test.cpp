// Every page and dialog of the hub, laid out with the Japanese face its texts are drawn in,
// holds each text inside its control; the menus, tool tips and prompts draw in that face.
#include "Ostrelin/model/BindData.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/AboutBox.h"
#include "Ostrelin/ui/CallEditorDialog.h"
#include "Ostrelin/ui/ConfigDialog.h"
#include "Ostrelin/ui/ContentCheckDialog.h"
#include "Ostrelin/ui/ContentEditDialog.h"
#include "Ostrelin/ui/ContentListDialog.h"
#include "Ostrelin/ui/FeedbackDialog.h"
#include "Ostrelin/ui/FileSelectDialog.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/OutputDialog.h"
#include "Ostrelin/ui/ProgressDlg.h"
#include "Ostrelin/ui/ReportDialog.h"
#include "Ostrelin/ui/SplashDialog.h"
#include "Ostrelin/ui/TitleEditDialog.h"
#include "Ostrelin/ui/WaitEditorDialog.h"
#include "Ostrelin/ui/WdbEditDialog.h"
#include "Ostrelin/ui/WdbListDialog.h"
#include "PageFixture.h"
#include "common/TextFit.h"
#include "hub_fixture.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>

namespace
{
class HubDialogFit : public HubFixture::Bench
{
protected:
    void SetUp() override
    {
        Bench::SetUp();
        DialogLayout::SetScript(DialogScript::Japanese);
    }
    void TearDown() override
    {
        Bench::TearDown();
        DialogLayout::SetScript(DialogScript::Latin);
    }

    static void ExpectFits(const QWidget* window)
    {
        const QList<TextOverflow> overflows = FindTextOverflows(window);
        EXPECT_TRUE(overflows.isEmpty()) << DescribeOverflows(overflows).toStdString();
    }
};

TEST_F(HubDialogFit, TheDialogsDrawWithAJapaneseFace)
{
    const QFont font = HubLayout().Font();
    EXPECT_TRUE(QFontDatabase::families(QFontDatabase::Japanese).contains(QFontInfo(font).family()))
        << QFontInfo(font).family().toStdString();
}

TEST_F(HubDialogFit, MenusToolTipsAndPromptsDrawInTheJapaneseFace)
{
    MakeView();
    EXPECT_EQ(QFontInfo(m_frame->menuBar()->font()).family(),
              QFontInfo(HubLayout().Font()).family());
    const QStringList missing = FindTextsWithoutGlyphs(m_frame.get());
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u'\n').toStdString();
}

// As in the content editor: the key-state panes keep the room of their texts and stay blank.
TEST_F(HubDialogFit, TheKeyStatePanesStayBlank)
{
    MakeView();
    for (unsigned id : {IDS_INDICATOR_CAPS, IDS_INDICATOR_NUM, IDS_INDICATOR_SCRL})
    {
        const auto* pane = m_frame->statusBar()->findChild<QLabel*>(QString::number(id));
        ASSERT_NE(pane, nullptr) << id;
        EXPECT_TRUE(pane->text().isEmpty()) << id;
        EXPECT_GE(pane->minimumWidth(), pane->fontMetrics().horizontalAdvance(Strings::Load(id)));
    }
}

TEST_F(HubDialogFit, EveryStepPage)
{
    CMainFormView& view = MakeView();
    const QList<const QWidget*> pages = {
        view.m_pFileSelectPage,  view.m_pCallEditorPage, view.m_pConfigPage, view.m_pTitleEditPage,
        view.m_pContentListPage, view.m_pWdbListPage,    view.m_pOutputPage, view.m_pFeedbackPage};
    for (const QWidget* page : pages)
        ExpectFits(page);
}

TEST_F(HubDialogFit, TitlePageExplanations)
{
    MakeView();
    OpenProject(MakeProject(QStringLiteral("fit")));
    const QString folder = QFileInfo(View().m_strProjectPath).absolutePath();
    const QString wrongPicture = TestSupport::WriteFile(folder + QStringLiteral("/wide.bmp"),
                                                        PageFixture::MakeTrueColor(320, 64));
    CBindData& data = Doc().GetBindData();
    data.m_wContentLanguages = kAllLanguagesMask;
    data.m_wGuideLanguages = kAllLanguagesMask;
    data.m_wTitleLanguages = kAllLanguagesMask;
    // Empty, relative, missing, and a picture that breaks two rules: up to four lines.
    data.m_strTitleImage = {
        QString(), QStringLiteral("title.bmp"), folder + "/no.bmp", wrongPicture,
        QString(), QStringLiteral("title.bmp"), folder + "/no.bmp", wrongPicture,
        QString()};
    CTitleEditDialog* page = View().m_pTitleEditPage;
    page->UpdateFromDoc();
    EXPECT_EQ(page->Explanation(3).count(QStringLiteral("\r\n")), 3);
    ExpectFits(page);
}

TEST_F(HubDialogFit, EveryDialog)
{
    CMainFormView& view = MakeView();
    CHubAboutDlg about;
    about.OnInitDialog();
    ExpectFits(&about);
    CSplashDialog splash;
    ExpectFits(&splash);
    for (unsigned message : {IDS_WAIT_CONTENT_EDITOR, IDS_WAIT_QUERY_EDITOR})
    {
        CWaitEditorDialog wait(Strings::Load(message), &view);
        wait.OnInitDialog();
        ExpectFits(&wait);
    }
    CReportDialog report(Strings::Load(IDS_CHECK_FOUND), QStringLiteral("-"));
    report.OnInitDialog();
    ExpectFits(&report);
    const CGuideEntry entry;
    CContentEditDialog work(&entry);
    work.OnInitDialog();
    ExpectFits(&work);
    CContentCheckDialog check;
    check.OnInitDialog();
    ExpectFits(&check);
    const CServer server;
    CWdbEditDialog edit(&server);
    edit.OnInitDialog();
    ExpectFits(&edit);
    CProgressDlg progress;
    ASSERT_TRUE(progress.Create(&view));
    progress.SetMessageText(Strings::Load(IDS_OUTPUT_PROGRESS_TEXT));
    progress.UpdatePercent(100);
    ExpectFits(&progress);
}
} // namespace
