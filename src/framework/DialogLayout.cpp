#include "framework/DialogLayout.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QWidget>
#include <QtMath>

namespace
{
DialogScript g_script = DialogScript::Latin;

int MulDiv(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}
} // namespace

DialogLayout::DialogLayout(const QFont& font) : m_font(font)
{
    const QFontMetrics metrics(font);
    // The platform's average width: the 52 Latin letters, rounded.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int width = metrics.horizontalAdvance(letters);
    m_baseX = qMax(1, (width / 26 + 1) / 2);
    if (g_script == DialogScript::Japanese)
    {
        // The Japanese texts were fitted in a face that sets kana and punctuation narrower
        // than a full-width cell; the installed faces set them full width. A full-width cell
        // spanning at most six units gives those texts the room they had.
        const int cell = metrics.horizontalAdvance(QChar(0x3042));
        m_baseX = qMax(m_baseX, (cell * 2 + 1) / 3);
    }
    // The height a drawn line of text takes: the font's height rounded up, as the text
    // layout places its lines.
    m_baseY = qMax(1, qCeil(QFontMetricsF(font).height()));
}

void DialogLayout::SetScript(DialogScript script)
{
    g_script = script;
    // Menus, tool tips, status bars, message boxes and file dialogs draw in the application
    // font: the same face as the dialogs, at the platform's size. Setting it for the whole
    // application also drops the faces a desktop theme gave single kinds of widget.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
    {
        QFont font = QApplication::font();
        font.setFamily(ResolveFace(QStringLiteral("MS UI Gothic"), script));
        QApplication::setFont(font);
    }
}

QString DialogLayout::ResolveFace(const QString& face, DialogScript script)
{
    const QFontDatabase::WritingSystem system =
        script == DialogScript::Japanese ? QFontDatabase::Japanese : QFontDatabase::Latin;
    const QStringList covering = QFontDatabase::families(system);
    if (covering.contains(face, Qt::CaseInsensitive))
        return face;
    if (script == DialogScript::Japanese)
    {
        // The designed faces are proportional Gothic (sans) faces: the same kind first.
        if (covering.contains(QStringLiteral("Noto Sans CJK JP")))
            return QStringLiteral("Noto Sans CJK JP");
        for (const QString& family : covering)
        {
            if ((family.contains(u"Sans") || family.contains(u"Gothic")) &&
                !family.contains(u"Mono") && !QFontDatabase::isFixedPitch(family))
                return family;
        }
        if (!covering.isEmpty())
            return covering.first();
    }
    // The face the platform draws Latin text in when asked for the designed one.
    QFont font(face);
    font.setStyleHint(QFont::SansSerif);
    return QFontInfo(font).family();
}

QFont DialogLayout::DialogFont(const QString& face, int pointSize)
{
    QFont font(ResolveFace(face, g_script), pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

int DialogLayout::X(int dialogUnits) const
{
    return MulDiv(dialogUnits, m_baseX, 4);
}

int DialogLayout::Y(int dialogUnits) const
{
    return MulDiv(dialogUnits, m_baseY, 8);
}

QRect DialogLayout::Rect(int x, int y, int cx, int cy) const
{
    return QRect(X(x), Y(y), X(cx), Y(cy));
}

QSize DialogLayout::Size(int cx, int cy) const
{
    return QSize(X(cx), Y(cy));
}

void DialogLayout::Place(QWidget* control, int x, int y, int cx, int cy) const
{
    if (control)
        control->setGeometry(Rect(x, y, cx, cy));
}

void DialogLayout::SizeDialog(QWidget* dialog, int cx, int cy) const
{
    if (!dialog)
        return;
    dialog->setFont(m_font);
    dialog->setFixedSize(Size(cx, cy));
}
