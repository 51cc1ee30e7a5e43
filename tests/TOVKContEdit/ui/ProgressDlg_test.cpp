// The modeless progress dialog: its owner's enabled state, the steps and the percent text,
// and the keys and buttons that must not close it.
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/ui/ProgressDlg.h"
#include "framework/ProgressPump.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{
class ProgressDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(ContEditStringsEN());
        m_owner.show();
    }
    QMainWindow m_owner;
};

TEST_F(ProgressDialog, StepsInTwosUpToTheUpperBound)
{
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(&m_owner));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Convert"));
    EXPECT_EQ(dialog.GetPos(), 0);
    int last = 0;
    for (int i = 0; i < 50; ++i)
        last = dialog.StepIt();
    EXPECT_EQ(last, 100);
    EXPECT_EQ(dialog.PercentLabel()->text(), QStringLiteral("100%"));
    // At the upper bound a step changes nothing.
    EXPECT_EQ(dialog.StepIt(), 100);
    EXPECT_EQ(dialog.GetPos(), 100);
}

TEST_F(ProgressDialog, UnevenStepStopsAtTheBound)
{
    CProgressDlg dialog;
    dialog.m_nStep = 30;
    ASSERT_TRUE(dialog.Create(&m_owner));
    EXPECT_EQ(dialog.StepIt(), 30);
    EXPECT_EQ(dialog.StepIt(), 60);
    EXPECT_EQ(dialog.StepIt(), 90);
    EXPECT_EQ(dialog.StepIt(), 100);
    EXPECT_EQ(dialog.StepIt(), 100);
}

TEST_F(ProgressDialog, PercentTextFollowsThePosition)
{
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(&m_owner));
    dialog.SetPos(37);
    dialog.UpdatePercent(37);
    EXPECT_EQ(dialog.PercentLabel()->text(), QStringLiteral("37%"));
    EXPECT_EQ(dialog.StepIt(), 39);
    EXPECT_EQ(dialog.PercentLabel()->text(), QStringLiteral("39%"));
}

TEST(ProgressPumpMath, PercentOfARange)
{
    struct Case
    {
        int position, lower, upper, percent;
    } cases[] = {{0, 0, 100, 0}, {37, 0, 100, 37}, {100, 0, 100, 100},
                 {5, 0, 7, 71},  {15, 10, 20, 50}, {3, 3, 3, 100}};
    for (const Case& c : cases)
    {
        EXPECT_EQ(ProgressPump::Percent(c.position, c.lower, c.upper), c.percent);
        EXPECT_EQ(ProgressPump::PercentText(c.position, c.lower, c.upper),
                  QString::number(c.percent) + u'%');
    }
}

TEST_F(ProgressDialog, EnablesOnlyTheOwnerItDisabled)
{
    {
        CProgressDlg dialog;
        ASSERT_TRUE(dialog.Create(&m_owner));
        EXPECT_FALSE(m_owner.isEnabled());
        EXPECT_TRUE(dialog.isEnabled());
        EXPECT_TRUE(dialog.isVisible());
    }
    EXPECT_TRUE(m_owner.isEnabled());

    m_owner.setEnabled(false);
    {
        CProgressDlg dialog;
        ASSERT_TRUE(dialog.Create(&m_owner));
        EXPECT_FALSE(dialog.OwnerDisabled());
    }
    EXPECT_FALSE(m_owner.isEnabled());
    m_owner.setEnabled(true);

    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(&m_owner));
    dialog.DestroyWindow();
    EXPECT_TRUE(m_owner.isEnabled());
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ProgressDialog, EnterEscCancelAndCloseDoNotCloseIt)
{
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(&m_owner));
    dialog.activateWindow();
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.IsCancelRequested());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.IsCancelRequested());

    CProgressDlg other;
    ASSERT_TRUE(other.Create(&m_owner));
    QTest::mouseClick(other.CancelButton(), Qt::LeftButton);
    EXPECT_TRUE(other.IsCancelRequested());
    EXPECT_TRUE(other.isVisible());
    EXPECT_FALSE(other.close());
    EXPECT_TRUE(other.isVisible());
}

TEST_F(ProgressDialog, TemplateControlsFitTheDialog)
{
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(&m_owner));
    const QList<QWidget*> controls = {dialog.Label(), dialog.ProgressBar(), dialog.PercentLabel(),
                                      dialog.CancelButton()};
    for (int i = 0; i < controls.size(); ++i)
    {
        EXPECT_TRUE(dialog.rect().contains(controls[i]->geometry())) << i;
        EXPECT_GT(controls[i]->height(), 0) << i;
        for (int j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry())) << i << j;
    }
    for (unsigned id : {1020u, 1021u, 1022u, 2u})
        EXPECT_NE(dialog.findChild<QWidget*>(QString::number(id)), nullptr) << id;
}

TEST_F(ProgressDialog, StepsDeliverPendingEvents)
{
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(&m_owner));
    bool delivered = false;
    QTimer::singleShot(0, &m_owner, [&delivered] { delivered = true; });
    dialog.StepIt();
    EXPECT_TRUE(delivered);
}
} // namespace
