#pragma once

#include <QColor>
#include <QPixmap>
#include <QRect>

class QPainter;

// The skin's small pictures, painted by the program rather than loaded from files.
namespace SkinImages {

constexpr int kCheckMarkWidth = 10;
constexpr int kCheckMarkHeight = 12;
constexpr int kCheckBoxSize = 12;

// The check mark of an "on" toggle cell, drawn on a transparent 10x12 image.
QPixmap CheckMark(const QColor& colour);
// A 12x12 framed check box at the rectangle's top left.
void DrawCheckBox(QPainter& painter, const QPoint& topLeft, bool checked, bool enabled);
// A small downward arrow centred in the rectangle.
void DrawDownArrow(QPainter& painter, const QRect& rect, const QColor& colour);
// The arrow of a scroll bar button: up, down, left or right.
enum class Arrow { Up, Down, Left, Right };
void DrawArrow(QPainter& painter, const QRect& rect, Arrow direction, const QColor& colour);

// Skin colours shared by the header and the scroll bars.
QColor Frame();
QColor Face();
QColor FaceLight();
QColor Track();
QColor Thumb();
QColor ThumbLight();
QColor Glyph();

}  // namespace SkinImages
