#pragma once
// Faces drawn from one glyph (or a short code) in a colour: the toolbar buttons that have no
// stock picture, and the window icons of the content editor and the hub.
#include <QColor>
#include <QIcon>
#include <QString>

// A 16 x 15 toolbar face: the glyph alone on a clear ground.
QIcon GlyphIcon(const QString& glyph, const QColor& color);

// A program's window icon: the glyph, drawn the same way, on a square tile framed in its
// colour, in the sizes a desktop asks for.
QIcon ProgramIcon(const QString& glyph, const QColor& color);
