#include "Ostrelin/ui/SplashDialog.h"

#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/HubLayout.h"
#include "platform/Strings.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

namespace
{
// The picture of the box: the product name on the guide's colours.
QPixmap SplashPicture(const QSize& size, const QFont& font)
{
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, QColor(0x1E, 0x3C, 0x78));
    gradient.setColorAt(1, QColor(0x6E, 0x9C, 0xD2));
    painter.fillRect(pixmap.rect(), gradient);
    QFont title = font;
    title.setPointSize(font.pointSize() * 2);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter | Qt::TextWordWrap,
                     Strings::Load(IDS_APP_TITLE));
    return pixmap;
}
} // namespace

CSplashDialog::CSplashDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QString::number(IDD_SPLASH));
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 285, 249);
    auto* picture = new QLabel(this);
    layout.Place(picture, 0, 0, 286, 250);
    picture->setPixmap(SplashPicture(picture->size(), layout.Font()));
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &CSplashDialog::OnTimer);
}

bool CSplashDialog::OnInitDialog()
{
    m_timer->start(kShowMs);
    return true;
}

void CSplashDialog::OnTimer()
{
    done(QDialog::Accepted);
}

int CSplashDialog::DoModal()
{
    OnInitDialog();
    return exec();
}
