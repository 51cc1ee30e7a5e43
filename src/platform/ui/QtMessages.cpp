#include "platform/ui/QtMessages.h"

#include <QMessageBox>
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

int QtMessages::Show(const QString& text, unsigned flags, const QString& caption)
{
    const ButtonSet set = ButtonsFor(flags);
    QMessageBox box(IconFor(flags), caption, text, QMessageBox::NoButton, m_parent);
    for (QMessageBox::StandardButton b : set.buttons)
        box.addButton(b);
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
