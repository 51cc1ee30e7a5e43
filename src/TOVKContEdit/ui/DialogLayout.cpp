#include "TOVKContEdit/ui/DialogLayout.h"

#include <QFontMetrics>
#include <QWidget>

namespace
{
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
    m_baseY = qMax(1, metrics.height());
}

QFont DialogLayout::DialogFont(const QString& face, int pointSize)
{
    QFont font(face, pointSize);
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
