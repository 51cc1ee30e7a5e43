#include "Printers.h"
#include "platform/Messages.h"
#include "platform/RecordingMessages.h"
#include "platform/Strings.h"
#include "platform/ui/QtMessages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

const StringTable& PlatformTestStrings();

namespace
{
TEST(Messages, BoxesCarryTheApplicationTitleAndScriptedAnswers)
{
    Messages::SetApplicationTitle("Quorvane KP Guide Editor - Contents");
    Strings::Install(PlatformTestStrings());
    RecordingMessages messages;
    messages.Answer(IDNO);
    EXPECT_EQ(AfxMessageBox("Delete?", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(AfxMessageBox(1u), IDOK);
    EXPECT_EQ(AfxMessageBox("Again?", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2), IDYES);
    ASSERT_EQ(messages.shown().size(), 3);
    EXPECT_EQ(messages.shown()[0].text, "Delete?");
    EXPECT_EQ(messages.shown()[0].flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(messages.shown()[0].caption, "Quorvane KP Guide Editor - Contents");
    EXPECT_EQ(messages.shown()[1].text, "plain");
    EXPECT_EQ(messages.shown()[1].flags, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(messages.texts(), (QStringList{"Delete?", "plain", "Again?"}));
}

TEST(Messages, ABoxWithoutAnIconGetsTheFrameworksOne)
{
    struct Case
    {
        unsigned asked;
        unsigned shown;
    } cases[] = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION},
        {MB_OKCANCEL | MB_DEFBUTTON2, MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONEXCLAMATION},
        {MB_YESNO, MB_YESNO | MB_ICONQUESTION},
        {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONQUESTION},
        {MB_RETRYCANCEL, MB_RETRYCANCEL},
        {MB_OK | MB_ICONERROR, MB_OK | MB_ICONERROR},
        {MB_OK | MB_ICONINFORMATION, MB_OK | MB_ICONINFORMATION},
        {MB_YESNO | MB_ICONEXCLAMATION, MB_YESNO | MB_ICONEXCLAMATION},
    };
    for (const Case& c : cases)
    {
        RecordingMessages messages;
        AfxMessageBox("text", c.asked);
        ASSERT_EQ(messages.shown().size(), 1);
        EXPECT_EQ(messages.shown()[0].flags, c.shown) << std::hex << c.asked;
    }
}

TEST(Messages, RecorderRestoresThePreviousBackend)
{
    RecordingMessages outer;
    {
        RecordingMessages inner;
        AfxMessageBox("inner");
        EXPECT_EQ(inner.shown().size(), 1);
    }
    AfxMessageBox("outer");
    EXPECT_EQ(outer.texts(), QStringList{"outer"});
}

TEST(Messages, TheRecorderServesEventsWhileItsBoxIsUp)
{
    // A shown box runs the event queue: a due timer fires inside it, and a box asked for
    // from there is answered from the script in turn.
    RecordingMessages messages;
    messages.Answer(IDNO);
    messages.Answer(IDCANCEL);
    int nested = 0;
    QTimer::singleShot(0, [&] { nested = AfxMessageBox("from the timer", MB_OKCANCEL); });
    EXPECT_EQ(AfxMessageBox("outer", MB_YESNO), IDNO);
    EXPECT_EQ(nested, IDCANCEL);
    EXPECT_EQ(messages.texts(), (QStringList{"outer", "from the timer"}));
}

TEST(Messages, FirstButtonIsTheDefaultAnswer)
{
    EXPECT_EQ(Messages::DefaultAnswer(MB_OK), IDOK);
    EXPECT_EQ(Messages::DefaultAnswer(MB_OKCANCEL), IDOK);
    EXPECT_EQ(Messages::DefaultAnswer(MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(Messages::DefaultAnswer(MB_YESNOCANCEL), IDYES);
    EXPECT_EQ(Messages::DefaultAnswer(MB_RETRYCANCEL), IDRETRY);
}

// The Qt backend shows a real box: close it from a timer by pressing a chosen button.
int ShowAndPress(unsigned flags, QMessageBox::StandardButton press,
                 QMessageBox::Icon* icon = nullptr, QString* title = nullptr,
                 QMessageBox::StandardButton* defaultButton = nullptr)
{
    QTimer::singleShot(0,
                       [=]
                       {
                           for (QWidget* w : QApplication::topLevelWidgets())
                           {
                               auto* box = qobject_cast<QMessageBox*>(w);
                               if (!box || !box->isVisible())
                                   continue;
                               if (icon)
                                   *icon = box->icon();
                               if (title)
                                   *title = box->windowTitle();
                               if (defaultButton)
                                   *defaultButton = box->standardButton(box->defaultButton());
                               if (press == QMessageBox::NoButton)
                                   box->reject();
                               else
                                   box->button(press)->click();
                           }
                       });
    QtMessages backend;
    return backend.Show("text", flags, "Caption");
}

TEST(QtMessages, ButtonsIconsAndResults)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QMessageBox::StandardButton def = QMessageBox::NoButton;
    EXPECT_EQ(ShowAndPress(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QMessageBox::No, &icon,
                           &title, &def),
              IDNO);
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(title, "Caption");
    EXPECT_EQ(def, QMessageBox::No);
    EXPECT_EQ(ShowAndPress(MB_YESNO, QMessageBox::Yes), IDYES);
    EXPECT_EQ(ShowAndPress(MB_OK | MB_ICONEXCLAMATION, QMessageBox::Ok, &icon), IDOK);
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(ShowAndPress(MB_OK | MB_ICONINFORMATION, QMessageBox::Ok, &icon), IDOK);
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(ShowAndPress(MB_OKCANCEL | MB_ICONSTOP, QMessageBox::Cancel, &icon), IDCANCEL);
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(ShowAndPress(MB_YESNOCANCEL, QMessageBox::NoButton), IDCANCEL);
}
} // namespace
