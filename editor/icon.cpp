#include "icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Drawn on a 32-unit grid and scaled, so that every size has the same shape.
QPixmap Draw(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // The page with its ruled lines.
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.2));
    p.setBrush(QColor(0xFF, 0xFD, 0xF0));
    p.drawRoundedRect(QRectF(4.5, 2.5, 20, 27), 2, 2);
    p.setPen(QPen(QColor(0x30, 0x70, 0xC0), 1.5));
    for (int y = 9; y <= 25; y += 4)
        p.drawLine(QPointF(8, y), QPointF(21, y));

    // The pencil, lying across the page from the lower left.
    p.translate(17, 21);
    p.rotate(-45);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
    p.setBrush(QColor(0xF0, 0xA0, 0x20));
    p.drawRect(QRectF(-2, -15, 5, 16)); // body
    p.setBrush(QColor(0xE0, 0x50, 0x60));
    p.drawRect(QRectF(-2, -18, 5, 3)); // eraser
    QPainterPath tip;
    tip.moveTo(-2, 1);
    tip.lineTo(3, 1);
    tip.lineTo(0.5, 7);
    tip.closeSubpath();
    p.setBrush(QColor(0xF5, 0xD8, 0xA8));
    p.drawPath(tip);
    return pixmap;
}

} // namespace

QIcon EditorIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64})
        icon.addPixmap(Draw(size));
    return icon;
}
