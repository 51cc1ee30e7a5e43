#include "framework/GlyphIcon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace
{
void DrawGlyph(QPainter& painter, const QRect& rect, const QString& glyph, const QColor& color,
               int pixelSize)
{
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = QGuiApplication::font();
    font.setPixelSize(pixelSize);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(rect, Qt::AlignCenter, glyph);
}
} // namespace

QIcon GlyphIcon(const QString& glyph, const QColor& color)
{
    QPixmap pixmap(16, 15);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    DrawGlyph(painter, pixmap.rect(), glyph, color, glyph.size() > 1 ? 8 : 13);
    return QIcon(pixmap);
}

QIcon ProgramIcon(const QString& glyph, const QColor& color)
{
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64})
    {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const int frame = std::max(1, side / 16);
        painter.setPen(QPen(color, frame));
        painter.setBrush(Qt::white);
        const qreal inset = frame / 2.0;
        painter.drawRoundedRect(QRectF(pixmap.rect()).adjusted(inset, inset, -inset, -inset),
                                side / 6.0, side / 6.0);
        DrawGlyph(painter, pixmap.rect(), glyph, color, side * 3 / 4);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
