#include "road/sample/SampleData.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <cmath>

namespace
{
// A fixed 6 x 6 x 6 colour cube plus greys: 256 colours, the depth the handheld shows.
QList<QRgb> Palette()
{
    QList<QRgb> colours;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                colours << qRgb(r * 51, g * 51, b * 51);
    for (int i = 0; colours.size() < 256; ++i)
        colours << qRgb(8 + i * 6, 8 + i * 6, 8 + i * 6);
    return colours;
}

QByteArray Picture(int width, int height, const QString& caption, const QColor& background)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(background);
    {
        QPainter painter(&image);
        painter.setPen(QPen(Qt::white, 3));
        painter.drawRect(image.rect().adjusted(4, 4, -5, -5));
        QFont font;
        font.setPixelSize(height / 4);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(image.rect(), Qt::AlignCenter, caption);
    }
    const QImage indexed =
        image.convertToFormat(QImage::Format_Indexed8, Palette(), Qt::ThresholdDither);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    indexed.save(&buffer, "BMP");
    return bytes;
}

void Put16(QByteArray& bytes, quint16 value)
{
    char b[2];
    qToLittleEndian(value, b);
    bytes.append(b, 2);
}

void Put32(QByteArray& bytes, quint32 value)
{
    char b[4];
    qToLittleEndian(value, b);
    bytes.append(b, 4);
}
} // namespace

namespace SampleData
{
QByteArray WorkPicture(const QString& caption, const QColor& background)
{
    return Picture(256, 192, caption, background);
}

QByteArray TitlePicture(const QString& caption, const QColor& background)
{
    return Picture(256, 64, caption, background);
}

QByteArray Voice(double seconds, double frequency)
{
    constexpr int rate = 16000;
    const int samples = static_cast<int>(seconds * rate);
    QByteArray data;
    data.reserve(samples * 2);
    for (int i = 0; i < samples; ++i)
    {
        // A tone that fades in and out, so playing it does not click.
        const double envelope = std::sin(M_PI * i / samples);
        const double value = 12000.0 * envelope * std::sin(2 * M_PI * frequency * i / rate);
        Put16(data, static_cast<quint16>(static_cast<qint16>(value)));
    }
    QByteArray wav("RIFF");
    Put32(wav, 36 + data.size());
    wav += "WAVEfmt ";
    Put32(wav, 16);
    Put16(wav, 1);
    Put16(wav, 1);
    Put32(wav, rate);
    Put32(wav, rate * 2);
    Put16(wav, 2);
    Put16(wav, 16);
    wav += "data";
    Put32(wav, data.size());
    return wav + data;
}
} // namespace SampleData
