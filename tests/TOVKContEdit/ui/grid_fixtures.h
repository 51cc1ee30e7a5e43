#pragma once
// Helpers of the grid and view tests: the screen drawn into an image, cell points for
// mouse and drop events, and the pictures saved for review.
#include "TOVKContEdit/ui/ListViewEx.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

namespace GridFixtures
{
// The whole client area as the grid paints it.
inline QImage RenderScreen(CListViewEx& grid)
{
    QImage image(grid.viewport()->size(), QImage::Format_RGB32);
    image.fill(grid.Colors().background);
    QPainter painter(&image);
    grid.DrawScreen(painter);
    return image;
}

// The centre of a cell in viewport coordinates at the current scroll position.
inline QPoint CellCentre(const CListViewEx& grid, int column, int line)
{
    const QRect cell = grid.GetCellRect(column, line);
    return QPoint(cell.center().x() - grid.horizontalScrollBar()->value(),
                  cell.center().y() - grid.verticalScrollBar()->value());
}

// Saves the widget's picture as screenshots/<name>.png beside the test program.
inline void SaveScreenshot(QWidget& widget, const QString& name)
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}
} // namespace GridFixtures
