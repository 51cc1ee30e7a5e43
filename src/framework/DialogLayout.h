#pragma once
// Dialog units to pixels from the font the dialog really draws with, so every text keeps
// the room its template gave it: a horizontal unit is a quarter of the font's average
// character width, a vertical unit an eighth of its height.
#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

// The writing system of a resource set's texts.
enum class DialogScript
{
    Latin,
    Japanese
};

class DialogLayout
{
public:
    explicit DialogLayout(const QFont& font);

    // The script of the resource set in use; main sets it with the program's string table.
    // The face DialogFont gives for the script becomes the application font.
    static void SetScript(DialogScript script);

    // The font of a template: the designed face ("MS UI Gothic", "MS Shell Dlg") when it is
    // installed and covers the script, else the installed face that draws the script's text
    // (a Japanese face for Japanese, the face Latin text is drawn in for Latin).
    static QFont DialogFont(const QString& face = QStringLiteral("MS UI Gothic"),
                            int pointSize = 9);
    // The installed family DialogFont gives for the face and script.
    static QString ResolveFace(const QString& face, DialogScript script);

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
