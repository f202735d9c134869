#include "app/DemoPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace DemoPictures {

namespace {

QImage Blank(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage Triangle(int w, int h, bool up, bool filled, QColor color)
{
    QImage image = Blank(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double l = 2.5, r = w - 2.5, t = 2.5, b = h - 2.5;
    QPolygonF tri;
    if (up)
        tri << QPointF((l + r) / 2, t) << QPointF(r, b) << QPointF(l, b);
    else
        tri << QPointF(l, t) << QPointF(r, t) << QPointF((l + r) / 2, b);
    p.setPen(QPen(color, 1.2));
    p.setBrush(filled ? QBrush(color) : QBrush(Qt::NoBrush));
    p.drawPolygon(tri);
    return image;
}

QImage CheckBox(bool checked)
{
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 12, 12));
    if (checked) {
        p.setPen(QPen(QColor(0, 0x80, 0), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF { QPointF(4, 8), QPointF(6.5, 11), QPointF(11.5, 4.5) });
    }
    return image;
}

} // namespace

QImage Car()
{
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x80, 0, 0), 1));
    p.setBrush(QColor(0xD0, 0x20, 0x20));
    QPainterPath body;
    body.moveTo(1, 11);
    body.lineTo(1, 8);
    body.lineTo(4, 7);
    body.lineTo(6, 4);
    body.lineTo(11, 4);
    body.lineTo(13, 7);
    body.lineTo(15, 8);
    body.lineTo(15, 11);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(0xC8, 0xE8, 0xFF));
    p.drawRect(QRectF(6.5, 5, 4, 2));
    p.setPen(Qt::black);
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.drawEllipse(QPointF(4.5, 12), 2, 2);
    p.drawEllipse(QPointF(11.5, 12), 2, 2);
    return image;
}

QImage Star()
{
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? 7.2 : 3.0;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        star << QPointF(8 + radius * std::cos(angle), 8.5 + radius * std::sin(angle));
    }
    p.setPen(QPen(QColor(0xA0, 0x70, 0), 1));
    p.setBrush(QColor(0xFF, 0xD0, 0x20));
    p.drawPolygon(star);
    return image;
}

QImage Flag()
{
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1));
    p.drawLine(3, 1, 3, 15);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 5; ++col)
            p.fillRect(4 + col * 2, 2 + row * 2, 2, 2, (row + col) % 2 ? Qt::white : Qt::black);
    p.drawRect(4, 2, 10, 8);
    return image;
}

QImage Globe()
{
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0x40, 0x90), 1));
    p.setBrush(QColor(0x40, 0x90, 0xE0));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(5, 1.5, 6, 13));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    return image;
}

QImage UpOutline()
{
    return Triangle(16, 16, true, false, QColor(0x20, 0x20, 0x20));
}
QImage DownOutline()
{
    return Triangle(16, 16, false, false, QColor(0x20, 0x20, 0x20));
}

QImage Tick()
{
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0xA0, 0), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF { QPointF(2.5, 8.5), QPointF(6, 12.5), QPointF(13.5, 3.5) });
    return image;
}

QImage Cross()
{
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xD0, 0, 0), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    return image;
}

QImage SortUpGlyph()
{
    return Triangle(14, 13, true, true, QColor(0x60, 0x60, 0x60));
}
QImage SortDownGlyph()
{
    return Triangle(14, 13, false, true, QColor(0x60, 0x60, 0x60));
}
QImage CheckTrue()
{
    return CheckBox(true);
}
QImage CheckFalse()
{
    return CheckBox(false);
}

} // namespace DemoPictures
