#include "controls/SkinImages.h"

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

void DrawCheckBox(QPainter& painter, const QPalette& palette, const QPoint& topLeft, bool checked, bool enabled)
{
    const QRect box(topLeft, QSize(kCheckBoxSize, kCheckBoxSize));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(box, palette.color(enabled ? QPalette::Base : QPalette::Button));
    painter.setPen(palette.color(QPalette::Mid));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    if (checked) {
        const QPixmap mark = CheckMark(palette.color(enabled ? QPalette::Text : QPalette::Mid));
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

QColor Mix(const QColor& from, const QColor& to, qreal share)
{
    const qreal keep = 1.0 - share;
    return QColor::fromRgbF(float(from.redF() * keep + to.redF() * share), float(from.greenF() * keep + to.greenF() * share),
                            float(from.blueF() * keep + to.blueF() * share));
}

QColor Frame(const QPalette& palette)
{
    return palette.color(QPalette::Mid);
}

QColor Face(const QPalette& palette)
{
    return palette.color(QPalette::Button);
}

QColor FaceLight(const QPalette& palette)
{
    return Mix(palette.color(QPalette::Button), palette.color(QPalette::Light), 0.5);
}

// The alternate rows' tint, so the track sits with the rows beside it.
QColor Track(const QPalette& palette)
{
    return palette.color(QPalette::AlternateBase);
}

// The thumb carries the selection's colour, toned down towards the buttons.
QColor Thumb(const QPalette& palette)
{
    return Mix(palette.color(QPalette::Highlight), palette.color(QPalette::Button), 0.25);
}

QColor ThumbLight(const QPalette& palette)
{
    return Mix(palette.color(QPalette::Highlight), palette.color(QPalette::Button), 0.6);
}

QColor Glyph(const QPalette& palette)
{
    return palette.color(QPalette::ButtonText);
}

}  // namespace SkinImages
