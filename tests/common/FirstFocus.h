#pragma once
// A dialog as a person meets it: shown and active, then one character typed into whatever
// took the first focus.
#include <QApplication>
#include <QDialog>
#include <QTest>

namespace FirstFocus
{
// The widget that had the focus when the character was typed; nullptr when the dialog never
// became active or nothing in it took the focus.
inline QWidget* TypeOne(QDialog& dialog, char character)
{
    dialog.show();
    if (!QTest::qWaitForWindowActive(&dialog))
        return nullptr;
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus->window() != &dialog)
        return nullptr;
    QTest::keyClick(focus, character);
    return focus;
}
} // namespace FirstFocus
