#pragma once

#include <QColor>
#include <QPalette>
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
void DrawCheckBox(QPainter& painter, const QPalette& palette, const QPoint& topLeft, bool checked, bool enabled);
// A small downward arrow centred in the rectangle.
void DrawDownArrow(QPainter& painter, const QRect& rect, const QColor& colour);
// The arrow of a scroll bar button: up, down, left or right.
enum class Arrow { Up, Down, Left, Right };
void DrawArrow(QPainter& painter, const QRect& rect, Arrow direction, const QColor& colour);

// The skin's colours for the header and the scroll bars, made from the palette of the
// widget they paint, so a dark theme gets a dark skin with light glyphs. The colour group
// of the palette passed (disabled, inactive) is the one used.
QColor Mix(const QColor& from, const QColor& to, qreal share);
QColor Frame(const QPalette& palette);
QColor Face(const QPalette& palette);
QColor FaceLight(const QPalette& palette);
QColor Track(const QPalette& palette);
QColor Thumb(const QPalette& palette);
QColor ThumbLight(const QPalette& palette);
QColor Glyph(const QPalette& palette);

}  // namespace SkinImages
