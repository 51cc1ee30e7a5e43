#include "platform/ui/QtMessages.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

namespace
{
struct ButtonSet
{
    QList<QMessageBox::StandardButton> buttons;
    QList<int> results;
};

ButtonSet ButtonsFor(unsigned flags)
{
    switch (flags & MB_TYPEMASK)
    {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, QMessageBox::Cancel}, {IDOK, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore},
                {IDABORT, IDRETRY, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}, {IDYES, IDNO, IDCANCEL}};
    case MB_YESNO:
        return {{QMessageBox::Yes, QMessageBox::No}, {IDYES, IDNO}};
    case MB_RETRYCANCEL:
        return {{QMessageBox::Retry, QMessageBox::Cancel}, {IDRETRY, IDCANCEL}};
    default:
        return {{QMessageBox::Ok}, {IDOK}};
    }
}

QMessageBox::Icon IconFor(unsigned flags)
{
    switch (flags & MB_ICONMASK)
    {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}
} // namespace

namespace
{
// Beyond this a text scrolls in a part of bounded size instead of growing the box.
constexpr int kLongTextLines = 24;
constexpr int kLongTextChars = 2400;
constexpr int kScrollWidth = 520;
constexpr int kScrollHeight = 320;

// A long text: its first paragraph (when it has a short one) above the rest, which scrolls.
// Called once the buttons are in.
void PutText(QMessageBox& box, const QString& text)
{
    if (text.count(u'\n') <= kLongTextLines && text.size() <= kLongTextChars)
    {
        box.setText(text);
        return;
    }
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const qsizetype paragraph = plain.indexOf(QStringLiteral("\n\n"));
    const bool head = paragraph > 0 && plain.left(paragraph).count(u'\n') < kLongTextLines / 2;
    box.setText(head ? plain.left(paragraph) : QString());
    auto* rest = new QPlainTextEdit(&box);
    rest->setReadOnly(true);
    rest->setPlainText(head ? plain.mid(paragraph + 2) : plain);
    rest->setFixedSize(kScrollWidth, kScrollHeight);
    // Between the text and the buttons.
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    auto* buttons = box.findChild<QDialogButtonBox*>();
    if (grid == nullptr || buttons == nullptr)
        return;
    grid->removeWidget(buttons);
    const int row = grid->rowCount();
    grid->addWidget(rest, row, 0, 1, grid->columnCount());
    grid->addWidget(buttons, row + 1, 0, 1, grid->columnCount());
}
} // namespace

int QtMessages::Show(const QString& text, unsigned flags, const QString& caption)
{
    const ButtonSet set = ButtonsFor(flags);
    QMessageBox box(IconFor(flags), caption, QString(), QMessageBox::NoButton, m_parent);
    for (QMessageBox::StandardButton b : set.buttons)
        box.addButton(b);
    PutText(box, text);
    const int defaultIndex = int((flags & MB_DEFMASK) >> 8);
    if (defaultIndex < set.buttons.size())
        box.setDefaultButton(set.buttons[defaultIndex]);
    // Escape and the close button answer Cancel where there is one, else the only button.
    if (set.results.contains(IDCANCEL))
        box.setEscapeButton(QMessageBox::Cancel);
    else if (set.buttons.size() == 1)
        box.setEscapeButton(set.buttons.first());
    box.exec();
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    const qsizetype index = set.buttons.indexOf(clicked);
    if (index < 0)
        return set.results.contains(IDCANCEL) ? IDCANCEL : set.results.last();
    return set.results[index];
}
