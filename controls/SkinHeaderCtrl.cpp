#include "controls/SkinHeaderCtrl.h"

#include "controls/SkinImages.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kDividerGrip = 3;
constexpr int kTextMargin = 4;

}  // namespace

CSkinHeaderCtrl::CSkinHeaderCtrl(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CSkinHeaderCtrl::InsertColumn(int index, const QString& caption, int width, bool centred)
{
    if (index < 0)
        return -1;
    index = std::min(index, Count());
    columns.insert(columns.begin() + index, Column{caption, std::max(width, 0), centred, 0});
    update();
    return index;
}

int CSkinHeaderCtrl::Count() const
{
    return static_cast<int>(columns.size());
}

int CSkinHeaderCtrl::Width(int column) const
{
    return column >= 0 && column < Count() ? columns[size_t(column)].width : -1;
}

bool CSkinHeaderCtrl::SetWidth(int column, int width)
{
    if (column < 0 || column >= Count())
        return false;
    columns[size_t(column)].width = std::max(width, 0);
    update();
    emit ColumnResized(column, columns[size_t(column)].width);
    return true;
}

QString CSkinHeaderCtrl::Caption(int column) const
{
    return column >= 0 && column < Count() ? columns[size_t(column)].caption : QString();
}

bool CSkinHeaderCtrl::Centred(int column) const
{
    return column >= 0 && column < Count() && columns[size_t(column)].centred;
}

int CSkinHeaderCtrl::CheckMark(int column) const
{
    return column >= 0 && column < Count() ? columns[size_t(column)].checkMark : -1;
}

bool CSkinHeaderCtrl::SetCheckMark(int column, int mark)
{
    if (column < 0 || column >= Count() || mark < 0 || mark > 2)
        return false;
    columns[size_t(column)].checkMark = mark;
    update();
    return true;
}

int CSkinHeaderCtrl::Left(int column) const
{
    int left = 0;
    for (int i = 0; i < column && i < Count(); ++i)
        left += columns[size_t(i)].width;
    return left;
}

int CSkinHeaderCtrl::TotalWidth() const
{
    return Left(Count());
}

int CSkinHeaderCtrl::ColumnAt(int contentX) const
{
    if (contentX < 0)
        return -1;
    int left = 0;
    for (int i = 0; i < Count(); ++i) {
        left += columns[size_t(i)].width;
        if (contentX < left)
            return i;
    }
    return -1;
}

void CSkinHeaderCtrl::SetOffset(int newOffset)
{
    if (offset == newOffset)
        return;
    offset = newOffset;
    update();
}

int CSkinHeaderCtrl::Offset() const
{
    return offset;
}

QSize CSkinHeaderCtrl::sizeHint() const
{
    return QSize(TotalWidth(), fontMetrics().height() + 8);
}

int CSkinHeaderCtrl::DividerAt(int x) const
{
    // The last divider under the pointer wins, so a column shrunk to nothing can still be
    // dragged open again.
    int found = -1;
    for (int i = 0; i < Count(); ++i) {
        const int edge = Left(i + 1) - offset;
        if (std::abs(x - edge) <= kDividerGrip)
            found = i;
    }
    return found;
}

void CSkinHeaderCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    const QRect all = rect();
    QLinearGradient face(all.topLeft(), all.bottomLeft());
    face.setColorAt(0, SkinImages::FaceLight(colours));
    face.setColorAt(1, SkinImages::Face(colours));
    painter.fillRect(all, face);

    const bool enabled = isEnabled();
    const QColor textColour = colours.color(QPalette::ButtonText);
    int left = -offset;
    for (int i = 0; i < Count(); ++i) {
        const Column& column = columns[size_t(i)];
        const QRect cell(left, 0, column.width, all.height());
        left += column.width;
        if (cell.right() < 0 || cell.width() <= 0)
            continue;
        if (i == pressedColumn) {
            QLinearGradient down(cell.topLeft(), cell.bottomLeft());
            down.setColorAt(0, SkinImages::Face(colours));
            down.setColorAt(1, SkinImages::ThumbLight(colours));
            painter.fillRect(cell, down);
        }
        // Divider: a dark line with a light one beside it.
        painter.setPen(SkinImages::Frame(colours));
        painter.drawLine(cell.right() - 1, cell.top() + 3, cell.right() - 1, cell.bottom() - 3);
        painter.setPen(SkinImages::FaceLight(colours));
        painter.drawLine(cell.right(), cell.top() + 3, cell.right(), cell.bottom() - 3);

        QRect textRect = cell.adjusted(kTextMargin, 0, -kTextMargin, 0);
        if (i == pressedColumn)
            textRect.translate(1, 1);
        if (column.checkMark > 0) {
            const int y = textRect.top() + (textRect.height() - SkinImages::kCheckBoxSize) / 2;
            SkinImages::DrawCheckBox(painter, colours, QPoint(textRect.left(), y), column.checkMark == 2, enabled);
            textRect.setLeft(textRect.left() + SkinImages::kCheckBoxSize + 4);
        }
        // A caption a little too wide for the margins may use them before it is shortened.
        if (fontMetrics().horizontalAdvance(column.caption) > textRect.width() && column.checkMark == 0)
            textRect = cell.adjusted(1, 0, -2, 0).translated(i == pressedColumn ? 1 : 0, i == pressedColumn ? 1 : 0);
        painter.setPen(textColour);
        painter.setFont(font());
        const QString shown = fontMetrics().elidedText(column.caption, Qt::ElideRight, std::max(textRect.width(), 0));
        painter.drawText(textRect, Qt::AlignVCenter | (column.centred ? Qt::AlignHCenter : Qt::AlignLeft), shown);
    }
    painter.setPen(SkinImages::Frame(colours));
    painter.drawLine(all.bottomLeft(), all.bottomRight());
}

void CSkinHeaderCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int x = int(event->position().x());
    const int divider = DividerAt(x);
    if (divider >= 0) {
        resizingColumn = divider;
        resizeOrigin = x;
        resizeStartWidth = columns[size_t(divider)].width;
        return;
    }
    pressedColumn = ColumnAt(x + offset);
    update();
}

void CSkinHeaderCtrl::mouseMoveEvent(QMouseEvent* event)
{
    const int x = int(event->position().x());
    if (resizingColumn >= 0) {
        SetWidth(resizingColumn, resizeStartWidth + x - resizeOrigin);
        return;
    }
    if (!(event->buttons() & Qt::LeftButton))
        setCursor(DividerAt(x) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void CSkinHeaderCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (resizingColumn >= 0) {
        resizingColumn = -1;
        return;
    }
    const int pressed = pressedColumn;
    pressedColumn = -1;
    update();
    if (pressed >= 0 && rect().contains(event->position().toPoint()) &&
        ColumnAt(int(event->position().x()) + offset) == pressed)
        emit ColumnClicked(pressed);
}

void CSkinHeaderCtrl::leaveEvent(QEvent* event)
{
    if (resizingColumn < 0)
        unsetCursor();
    QWidget::leaveEvent(event);
}

void CSkinHeaderCtrl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        updateGeometry();
    update();
    QWidget::changeEvent(event);
}
