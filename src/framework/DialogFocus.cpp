#include "framework/DialogFocus.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QDialog>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace
{
// Set on a dialog window from its showing until its first focus.
const char* const kFirstFocusPending = "quorvaneFirstFocusPending";

// Only text that typing can replace is selected; a read-only edit keeps its caret.
void SelectText(QWidget* widget)
{
    if (auto* line = qobject_cast<QLineEdit*>(widget))
    {
        if (!line->isReadOnly())
            line->selectAll();
    }
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
    {
        if (!spin->isReadOnly())
            spin->selectAll();
    }
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
    {
        if (!plain->isReadOnly())
            plain->selectAll();
    }
    else if (auto* rich = qobject_cast<QTextEdit*>(widget))
    {
        if (!rich->isReadOnly())
            rich->selectAll();
    }
}
} // namespace

CDialogFocus::CDialogFocus(QApplication& application) : m_application(application)
{
    m_application.installEventFilter(this);
}

CDialogFocus::~CDialogFocus()
{
    m_application.removeEventFilter(this);
}

bool CDialogFocus::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show)
    {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog != nullptr && dialog->isWindow())
            dialog->setProperty(kFirstFocusPending, true);
    }
    else if (event->type() == QEvent::FocusIn && watched->isWidgetType())
    {
        auto* widget = static_cast<QWidget*>(watched);
        QWidget* window = widget->window();
        // The dialog itself hears of the focus before its control does.
        if (widget != window && window->property(kFirstFocusPending).toBool())
        {
            window->setProperty(kFirstFocusPending, false);
            // A click that lands first places the caret itself.
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason)
                SelectText(widget);
        }
    }
    return false;
}
