// The step tabs: which page shows, the forward gate and its message, the reachable
// boundary and its grey tabs, and the pull-back when an earlier step becomes incomplete.
#include "Ostrelin/res/Strings.h"
#include "Ostrelin/ui/StepPage.h"
#include "Ostrelin/ui/TrefTabCtrl.h"
#include "platform/RecordingMessages.h"

#include <QTest>
#include <array>
#include <gtest/gtest.h>

namespace
{
// A page whose step error the test sets.
class FakePage : public CStepPage
{
public:
    using CStepPage::CStepPage;
    bool CheckStep(QString& error) override
    {
        error = m_error;
        ++m_checks;
        return error.isEmpty();
    }
    void OnActivate(bool active) override { m_activations << active; }

    QString m_error;
    int m_checks = 0;
    QList<bool> m_activations;
};

class StepTabs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(OstrelinStringsJA());
        m_tabs = new CProgressTabCtrl(&m_form);
        for (int i = 0; i < 8; ++i)
        {
            m_pages[i] = new FakePage(&m_form);
            m_pages[i]->resize(50, 50);
            m_tabs->AddPage(QStringLiteral("step %1").arg(i + 1), m_pages[i]);
        }
        m_form.resize(600, 400);
        m_form.show();
        m_tabs->resize(m_tabs->sizeHint());
        m_tabs->SelectPage();
    }

    // Errors of steps 0..5 (6 and 7 never have one), then the update.
    void SetErrors(const std::array<const char*, 6>& errors)
    {
        for (int i = 0; i < 6; ++i)
            m_pages[i]->m_error = QString::fromUtf8(errors[i]);
        m_tabs->UpdateStepStates();
    }

    // A user's click on a tab.
    void Click(int index)
    {
        QTest::mouseClick(m_tabs, Qt::LeftButton, {}, m_tabs->tabRect(index).center());
    }

    int Shown() const
    {
        for (int i = 0; i < 8; ++i)
        {
            if (m_pages[i]->isVisible())
                return i;
        }
        return -1;
    }

    QWidget m_form;
    CProgressTabCtrl* m_tabs = nullptr;
    std::array<FakePage*, 8> m_pages{};
    RecordingMessages m_messages;
};

const char* const kNoProject = "no project\r\n";
const char* const kNoContent = "no content\r\n";

TEST_F(StepTabs, PagesArePlacedHiddenAndTheSelectedOneShows)
{
    for (FakePage* page : m_pages)
        EXPECT_EQ(page->pos(), QPoint(10, 40));
    EXPECT_EQ(m_tabs->count(), 8);
    EXPECT_EQ(Shown(), 0);
    EXPECT_EQ(m_pages[0]->m_activations, QList<bool>{true});

    // Every step complete: any tab can be entered directly, and the old page is told.
    SetErrors({"", "", "", "", "", ""});
    EXPECT_EQ(m_tabs->Reachable(), 8);
    Click(6);
    EXPECT_EQ(Shown(), 6);
    EXPECT_EQ(m_pages[0]->m_activations, (QList<bool>{true, false}));
    EXPECT_TRUE(m_messages.shown().isEmpty());

    // A ninth and tenth page fit, an eleventh does not.
    EXPECT_TRUE(m_tabs->AddPage(QStringLiteral("9"), new FakePage(&m_form)));
    EXPECT_TRUE(m_tabs->AddPage(QStringLiteral("10"), new FakePage(&m_form)));
    auto* extra = new FakePage(&m_form);
    EXPECT_FALSE(m_tabs->AddPage(QStringLiteral("11"), extra));
    delete extra;
}

TEST_F(StepTabs, ForwardClicksStopAtTheFirstIncompleteStepWithItsError)
{
    struct Case
    {
        const char* name;
        std::array<const char*, 6> errors;
        int from;
        int click;
        int expected;
        QString message; // empty: none
    } cases[] = {
        {"no project: every forward click stays on tab 0",
         {kNoProject, kNoContent, "x\r\n", "", "", ""},
         0,
         5,
         0,
         QString::fromUtf8(kNoProject)},
        {"no project, last tab",
         {kNoProject, kNoContent, "", "", "", ""},
         0,
         7,
         0,
         QString::fromUtf8(kNoProject)},
        {"no content: stops on tab 1",
         {"", kNoContent, "x\r\n", "", "", ""},
         0,
         5,
         1,
         QString::fromUtf8(kNoContent)},
        {"next step reachable", {"", kNoContent, "", "", "", ""}, 0, 1, 1, QString()},
        {"two-line error of step 4",
         {"", "", "", "", "a\r\nb\r\n", ""},
         2,
         7,
         4,
         QStringLiteral("a\r\nb\r\n")},
        // Backward clicks pass from the incomplete step the user stands on.
        {"backward from an incomplete step", {"", "", "", "x\r\n", "", ""}, 3, 1, 1, QString()},
        {"backward to 0", {"", kNoContent, "", "", "", ""}, 1, 0, 0, QString()},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        SetErrors({"", "", "", "", "", ""});
        Click(c.from);
        ASSERT_EQ(Shown(), c.from);
        SetErrors(c.errors);
        m_messages.Clear();

        Click(c.click);
        EXPECT_EQ(m_tabs->currentIndex(), c.expected);
        EXPECT_EQ(Shown(), c.expected);
        if (c.message.isEmpty())
        {
            EXPECT_TRUE(m_messages.shown().isEmpty());
        }
        else
        {
            ASSERT_EQ(m_messages.shown().size(), 1);
            EXPECT_EQ(m_messages.shown()[0].text, c.message);
            EXPECT_EQ(m_messages.shown()[0].flags, MB_OK | MB_ICONEXCLAMATION);
        }
    }
}

TEST_F(StepTabs, UnreachableTabsAreGreyButClickable)
{
    SetErrors({"", kNoContent, "", "", "", ""});
    EXPECT_EQ(m_tabs->Reachable(), 1);
    const QColor normal = m_tabs->tabTextColor(0);
    EXPECT_EQ(m_tabs->tabTextColor(1), normal);
    for (int i = 2; i < 8; ++i)
    {
        EXPECT_NE(m_tabs->tabTextColor(i), normal) << i;
        EXPECT_TRUE(m_tabs->isTabEnabled(i)) << i;
    }
    SetErrors({"", "", "", "", "", ""});
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(m_tabs->tabTextColor(i), normal) << i;
}

TEST_F(StepTabs, AnUpdateThatBreaksAnEarlierStepPullsTheSelectionBack)
{
    SetErrors({"", "", "", "", "", ""});
    Click(5);
    ASSERT_EQ(Shown(), 5);
    m_messages.Clear();

    SetErrors({"", kNoContent, "", "", "", ""});
    EXPECT_EQ(m_tabs->currentIndex(), 1);
    EXPECT_EQ(Shown(), 1);
    EXPECT_TRUE(m_messages.shown().isEmpty());

    // A later step breaking behind the current one leaves the selection.
    SetErrors({"", "", "", "x\r\n", "", ""});
    Click(2);
    SetErrors({"", "", "", "", "y\r\n", ""});
    EXPECT_EQ(Shown(), 2);
}

TEST_F(StepTabs, TheGateReadsTheLastComputedErrors)
{
    SetErrors({"", kNoContent, "", "", "", ""});
    // The page's state changes, but nobody asked for an update yet.
    m_pages[1]->m_error.clear();
    m_messages.Clear();
    Click(3);
    EXPECT_EQ(Shown(), 1);
    EXPECT_EQ(m_messages.texts(), QStringList{QString::fromUtf8(kNoContent)});
    // Steps 6 and 7 are never checked through their pages.
    EXPECT_EQ(m_pages[6]->m_checks, 0);
    EXPECT_EQ(m_pages[7]->m_checks, 0);
}
} // namespace
