// A dialog's first focus on an edit selects the edit's text, so that the first key typed
// replaces a proposed value; focus that comes later keeps the caret.
#include "common/FirstFocus.h"
#include "framework/DialogFocus.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>

namespace
{
class DialogFocusTest : public ::testing::Test
{
protected:
    CDialogFocus m_focus{*qApp};
};

TEST_F(DialogFocusTest, TheFirstKeyReplacesTheTextOfTheEditThatTakesTheFirstFocus)
{
    const struct
    {
        const char* name;
        std::function<QWidget*(QDialog&)> make; // the first focusable control
        std::function<QString(QWidget*)> text;
        QString expected; // after typing 7
    } cases[] = {
        {"line edit",
         [](QDialog& d)
         {
             auto* e = new QLineEdit(QStringLiteral("4"), &d);
             return e;
         },
         [](QWidget* w) { return static_cast<QLineEdit*>(w)->text(); }, QStringLiteral("7")},
        {"spin box",
         [](QDialog& d)
         {
             auto* s = new QSpinBox(&d);
             s->setValue(4);
             return s;
         },
         [](QWidget* w) { return static_cast<QSpinBox*>(w)->text(); }, QStringLiteral("7")},
        {"multi-line edit",
         [](QDialog& d) { return new QPlainTextEdit(QStringLiteral("four"), &d); },
         [](QWidget* w) { return static_cast<QPlainTextEdit*>(w)->toPlainText(); },
         QStringLiteral("7")},
        {"read-only edit keeps its text",
         [](QDialog& d)
         {
             auto* e = new QLineEdit(QStringLiteral("4"), &d);
             e->setReadOnly(true);
             return e;
         },
         [](QWidget* w) { return static_cast<QLineEdit*>(w)->text(); }, QStringLiteral("4")},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        QDialog dialog;
        auto* layout = new QVBoxLayout(&dialog);
        QWidget* first = c.make(dialog);
        layout->addWidget(first);
        layout->addWidget(new QLineEdit(QStringLiteral("other"), &dialog));
        ASSERT_EQ(FirstFocus::TypeOne(dialog, '7'), first);
        EXPECT_EQ(c.text(first), c.expected);
    }
}

// Focus that comes back later, from the program or a click, is no first focus.
TEST_F(DialogFocusTest, OnlyTheFirstFocusOfEachShowingSelects)
{
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* edit = new QLineEdit(QStringLiteral("4"), &dialog);
    auto* second = new QLineEdit(QStringLiteral("b"), &dialog);
    layout->addWidget(edit);
    layout->addWidget(second);
    ASSERT_EQ(FirstFocus::TypeOne(dialog, '5'), edit);
    EXPECT_EQ(edit->text(), QStringLiteral("5"));

    // Focus that moves away and back by the program keeps the caret at the end.
    second->setFocus();
    edit->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(edit, '6');
    EXPECT_EQ(edit->text(), QStringLiteral("56"));
    QTest::mouseClick(second, Qt::LeftButton);
    EXPECT_EQ(second->selectedText(), QString());
}

// Only dialogs: a main window's edit keeps its caret.
TEST_F(DialogFocusTest, AWindowThatIsNoDialogIsLeftAlone)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit(QStringLiteral("4"), &window);
    layout->addWidget(edit);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_EQ(QApplication::focusWidget(), edit);
    QTest::keyClick(edit, '7');
    EXPECT_EQ(edit->text(), QStringLiteral("47"));
}
} // namespace
