#include "controls/SkinImages.h"

#include "controls/SkinListCtrl.h"

#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPolygonF>

namespace SkinImages {

QPixmap CheckMark(const QColor& colour)
{
    QPixmap image(kCheckMarkWidth, kCheckMarkHeight);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    const QPointF tick[] = {{1.5, 6.5}, {4.0, 9.0}, {8.5, 2.5}};
    painter.drawPolyline(tick, 3);
    return image;
}

void DrawCheckBox(QPainter& painter, const QPoint& topLeft, bool checked, bool enabled)
{
    const QPalette palette;
    const QRect box(topLeft, QSize(kCheckBoxSize, kCheckBoxSize));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(box, enabled ? QColor(Qt::white) : palette.color(QPalette::Button));
    painter.setPen(palette.color(QPalette::Mid));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    if (checked) {
        const QPixmap mark = CheckMark(enabled ? Glyph() : palette.color(QPalette::Mid));
        painter.drawPixmap(box.left() + 1, box.top(), mark);
    }
    painter.restore();
}

void DrawArrow(QPainter& painter, const QRect& rect, Arrow direction, const QColor& colour)
{
    const QPointF c = QRectF(rect).center();
    const qreal s = 3.0;
    QPolygonF shape;
    switch (direction) {
    case Arrow::Up:
        shape << QPointF(c.x() - s, c.y() + s / 2) << QPointF(c.x() + s, c.y() + s / 2) << QPointF(c.x(), c.y() - s / 2);
        break;
    case Arrow::Down:
        shape << QPointF(c.x() - s, c.y() - s / 2) << QPointF(c.x() + s, c.y() - s / 2) << QPointF(c.x(), c.y() + s / 2);
        break;
    case Arrow::Left:
        shape << QPointF(c.x() + s / 2, c.y() - s) << QPointF(c.x() + s / 2, c.y() + s) << QPointF(c.x() - s / 2, c.y());
        break;
    case Arrow::Right:
        shape << QPointF(c.x() - s / 2, c.y() - s) << QPointF(c.x() - s / 2, c.y() + s) << QPointF(c.x() + s / 2, c.y());
        break;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(shape);
    painter.restore();
}

void DrawDownArrow(QPainter& painter, const QRect& rect, const QColor& colour)
{
    DrawArrow(painter, rect, Arrow::Down, colour);
}

QColor Frame()
{
    return ColorFromRef(0x8F7A6A);
}

QColor Face()
{
    return ColorFromRef(0xEBDBD3);
}

QColor FaceLight()
{
    return ColorFromRef(0xFBF5F2);
}

QColor Track()
{
    return ColorFromRef(0xF4E6E0);
}

QColor Thumb()
{
    return ColorFromRef(0xAE8D6D);
}

QColor ThumbLight()
{
    return ColorFromRef(0xD2BBA6);
}

QColor Glyph()
{
    return ColorFromRef(0x6D4C3D);
}

}  // namespace SkinImages
