#include "WindowIcon.h"

#include "DesignColours.h"

#include <QPainter>
#include <QPixmap>

QImage radioIconImage()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(DesignColours::iconAntenna);
    p.drawRoundedRect(QRectF(20, 1, 3, 11), 1.5, 1.5);          // antenna
    p.setBrush(DesignColours::iconBody);
    p.drawRoundedRect(QRectF(8, 9, 17, 22), 3, 3);               // body
    p.setBrush(DesignColours::iconDisplay);
    p.drawRect(QRectF(11, 12, 11, 6));                           // display
    p.setBrush(DesignColours::iconKeys);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawEllipse(QRectF(11 + col * 4, 21 + row * 4, 2.5, 2.5));   // keys
    p.end();
    return image;
}

QIcon radioIcon()
{
    return QIcon(QPixmap::fromImage(radioIconImage()));
}
