#include "Ostrelin/ui/ExamplePictures.h"

#include "Ostrelin/model/BindData.h"
#include "Ostrelin/res/resource.h"

#include <QImage>
#include <QPainter>

namespace
{
const QColor kScreen(40, 48, 72);
const QColor kBar(90, 104, 140);
const QColor kMark(255, 200, 0);
} // namespace

QPixmap ExamplePicture(unsigned bitmapId)
{
    QImage image(256, 192, QImage::Format_RGB888);
    image.fill(kScreen);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBar);
    painter.drawRect(0, 0, 256, 64); // the title area
    if (bitmapId == IDB_EXAMPLE_DISPLAY)
    {
        // The language the screen first appears in: the whole title row.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(kMark, 3));
        painter.drawRect(4, 4, 247, 55);
    }
    else
    {
        // The language menu: one bar per language, the offered ones marked.
        for (int i = 0; i < kLanguageCount; ++i)
        {
            const int column = i / 5;
            const int row = i % 5;
            painter.setPen(i < 3 ? QPen(kMark, 2) : Qt::NoPen);
            painter.setBrush(kBar);
            painter.drawRect(16 + 120 * column, 76 + 22 * row, 104, 16);
        }
    }
    painter.end();
    return QPixmap::fromImage(image);
}
