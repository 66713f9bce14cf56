#include "controls/FittingComboBox.h"

#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <algorithm>

namespace {
// Below this a text is no longer readable; it is cut off from there on.
constexpr qreal kSmallestPointSize = 6.0;
}

CFittingComboBox::CFittingComboBox(QWidget* parent) : QComboBox(parent) {}

QRect CFittingComboBox::TextRect() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
}

QFont CFittingComboBox::DisplayFont() const
{
    QFont shown = font();
    const QString text = currentText();
    // Text drawn into the field keeps a few pixels of the style's own margin free.
    const int room = TextRect().width() - 2;
    if (text.isEmpty() || room <= 0)
        return shown;
    qreal size = shown.pointSizeF();
    if (size <= 0)  // a font set in pixels
        return shown;
    while (QFontMetrics(shown).horizontalAdvance(text) > room && size > kSmallestPointSize) {
        size = std::max(kSmallestPointSize, size - 0.5);
        shown.setPointSizeF(size);
    }
    return shown;
}

void CFittingComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.setFont(DisplayFont());
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}
