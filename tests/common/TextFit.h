#pragma once
// The guard of the dialog layouts: every static text, push button, check box, radio button
// and group caption of a window holds its text inside its contents rectangle, measured
// with the font, alignment and word wrap the control draws with.
#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

struct TextOverflow
{
    QString dialog;  // the window's id (object name) or class
    QString control; // the control's id, or "-" and its text for a control without one
    int pixels = 0;  // how far the text reaches out of the contents rectangle
};

// Every visible text control below the window whose text does not fit.
QList<TextOverflow> FindTextOverflows(const QWidget* window);

// One line per overflow: dialog, control id, pixels.
QString DescribeOverflows(const QList<TextOverflow>& overflows);

// Every menu item, tool tip and status-bar prompt of the window's menus and tool bars that
// holds a character the font it is drawn in lacks, so that it would be drawn from a
// fallback face: one "<menu or bar>: <text>" per text.
QStringList FindTextsWithoutGlyphs(const QWidget* window);
