#include "app/AppIcon.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap DrawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // Rounded tile.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x79));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    // Waves spreading from the sensor at the lower left.
    QPen wave(QColor(0x7f, 0xd1, 0xff), 4.5, Qt::SolidLine, Qt::RoundCap);
    p.setPen(wave);
    p.setBrush(Qt::NoBrush);
    for (int r : {14, 26, 38})
        p.drawArc(QRectF(14 - r, 50 - r, 2 * r, 2 * r), 0 * 16, 90 * 16);
    // The sensor.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4c, 0xd9, 0x64));
    p.drawEllipse(QPointF(14, 50), 6, 6);
    p.end();
    return QPixmap::fromImage(image);
}

} // namespace

QIcon MakeAppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(DrawIcon(size));
    return icon;
}
