// Page handlers run under the command guard: a throw from a button, a list activation or an
// edit key ends in the framework's standard message and goes no further.
#include "Ostrelin/res/Strings.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/BindList.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/ListStepPage.h"
#include "framework/DialogLayout.h"
#include "platform/Messages.h"
#include "platform/RecordingMessages.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

namespace
{
enum class Throw
{
    Nothing,
    Failure,
    Memory
};

void Raise(Throw what)
{
    if (what == Throw::Failure)
        throw std::runtime_error("handler failed");
    if (what == Throw::Memory)
        throw std::bad_alloc();
}

class ThrowingPage : public CListStepPage
{
public:
    ThrowingPage()
    {
        const DialogLayout layout = HubLayout();
        CreateList(layout, 1000, false, 0, 0, 100, 100);
        button = CreateButton(layout, 1001, IDS_DELETE_BUTTON, 0, 100, 40, 14);
        ConnectCommand(button, &QPushButton::clicked, &ThrowingPage::OnButton);
        column = new CReportList(this, false, true);
        ConnectCommand(column, &CReportList::ColumnClicked, &ThrowingPage::OnColumn);
        other = CreateButton(layout, 1002, IDS_DELETE_BUTTON, 50, 100, 40, 14);
        ConnectCommand(other, &QPushButton::clicked, [this] { Raise(what), ++runs; });
    }

    void FillList() override {}
    void OnDblClkList() override
    {
        Raise(what);
        ++runs;
    }
    void OnButton()
    {
        Raise(what);
        ++runs;
    }
    void OnColumn(int clicked)
    {
        lastColumn = clicked;
        Raise(what);
        ++runs;
    }

    Throw what = Throw::Nothing;
    int runs = 0;
    int lastColumn = -1;
    QPushButton* button = nullptr;
    QPushButton* other = nullptr;
    CReportList* column = nullptr;
};

class PageGuard : public ::testing::Test
{
protected:
    void SetUp() override { Strings::Install(OstrelinStringsJA()); }
};
} // namespace

TEST_F(PageGuard, EveryPageEntryShowsTheStandardMessageAndGoesOn)
{
    ThrowingPage page;
    const struct
    {
        const char* entry;
        std::function<void()> trigger;
    } entries[] = {
        {"button", [&] { page.button->click(); }},
        {"button with a handler made on the spot", [&] { page.other->click(); }},
        {"column click", [&] { emit page.column->ColumnClicked(2); }},
        {"list double click", [&] { emit page.List()->ItemDoubleClicked(); }},
        {"Space on the list",
         [&]
         {
             QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
             QApplication::sendEvent(page.List(), &key);
         }},
    };
    const struct
    {
        Throw what;
        unsigned message;
    } throws[] = {{Throw::Failure, IDS_COMMAND_FAILED}, {Throw::Memory, IDS_MEMORY_EXCEPTION}};

    for (const auto& entry : entries)
    {
        for (const auto& thrown : throws)
        {
            SCOPED_TRACE(entry.entry);
            RecordingMessages messages;
            page.what = thrown.what;
            page.runs = 0;
            EXPECT_NO_THROW(entry.trigger());
            EXPECT_EQ(page.runs, 0);
            ASSERT_EQ(messages.shown().size(), 1);
            EXPECT_EQ(messages.shown()[0].text, Strings::Load(thrown.message));
            EXPECT_EQ(messages.shown()[0].flags, unsigned(MB_OK | MB_ICONSTOP));

            // The same entry still works once the handler stops throwing.
            page.what = Throw::Nothing;
            entry.trigger();
            EXPECT_EQ(page.runs, 1);
            EXPECT_EQ(messages.shown().size(), 1);
        }
    }
    EXPECT_EQ(page.lastColumn, 2);
}

TEST_F(PageGuard, RunGuardedReportsWhetherTheCommandThrew)
{
    RecordingMessages messages;
    EXPECT_TRUE(CStepPage::RunGuarded([] {}));
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_FALSE(CStepPage::RunGuarded([] { throw 42; }));
    EXPECT_EQ(messages.texts(), QStringList{Strings::Load(IDS_COMMAND_FAILED)});
}
