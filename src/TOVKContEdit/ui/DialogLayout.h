#pragma once
// Dialog units to pixels from the dialog font, so the dialogs keep the proportions of
// their templates: a horizontal unit is a quarter of the font's average character width,
// a vertical unit an eighth of its height.
#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

class DialogLayout
{
public:
    explicit DialogLayout(const QFont& font);

    // The font of a template ("MS UI Gothic", 9 points), falling back to what the system
    // has for that face.
    static QFont DialogFont(const QString& face = QStringLiteral("MS UI Gothic"),
                            int pointSize = 9);

    int BaseUnitX() const { return m_baseX; }
    int BaseUnitY() const { return m_baseY; }

    // Rounded like the platform's MulDiv.
    int X(int dialogUnits) const;
    int Y(int dialogUnits) const;
    QRect Rect(int x, int y, int cx, int cy) const;
    QSize Size(int cx, int cy) const;

    // Puts the control at the dialog-unit rectangle (relative to its parent's client area).
    void Place(QWidget* control, int x, int y, int cx, int cy) const;
    // Gives the dialog the font and a fixed client size of cx x cy dialog units.
    void SizeDialog(QWidget* dialog, int cx, int cy) const;

    const QFont& Font() const { return m_font; }

private:
    QFont m_font;
    int m_baseX = 1;
    int m_baseY = 1;
};
