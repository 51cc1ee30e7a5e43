#pragma once
// Pictures and voices in the handheld's formats, drawn in code: works' pictures (256 x 192,
// 8 bits per pixel), title pictures (256 x 64) and voices (16 kHz, 16-bit, mono).
#include <QByteArray>
#include <QColor>
#include <QString>

namespace SampleData
{
QByteArray WorkPicture(const QString& caption, const QColor& background);
QByteArray TitlePicture(const QString& caption, const QColor& background);
QByteArray Voice(double seconds, double frequency);
} // namespace SampleData
