#include "controls/SkinScrollBarStyle.h"

#include "controls/SkinImages.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOptionSlider>

#include <algorithm>

CSkinScrollBarStyle::CSkinScrollBarStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

CSkinScrollBarStyle* CSkinScrollBarStyle::Instance()
{
    static QPointer<CSkinScrollBarStyle> instance;
    if (!instance) {
        instance = new CSkinScrollBarStyle();
        instance->setParent(QCoreApplication::instance());
    }
    return instance;
}

int CSkinScrollBarStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_ScrollBarExtent:
        return kExtent;
    case PM_ScrollBarSliderMin:
        return kMinimumThumb;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int CSkinScrollBarStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                                   QStyleHintReturn* returnData) const
{
    switch (hint) {
    case SH_ScrollBar_Transient:
    case SH_ScrollBar_LeftClickAbsolutePosition:
        return 0;
    case SH_ScrollBar_ScrollWhenPointerLeavesControl:
        return 1;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

QRect CSkinScrollBarStyle::BarRect(const QStyleOptionSlider& option, SubControl sub)
{
    const QRect r = option.rect;
    const bool horizontal = option.orientation == Qt::Horizontal;
    const int length = horizontal ? r.width() : r.height();
    const int thickness = horizontal ? r.height() : r.width();
    const int button = std::max(0, std::min(thickness, length / 2));
    const int grooveStart = button;
    const int grooveLength = std::max(0, length - 2 * button);

    const qint64 range = qint64(option.maximum) - option.minimum;
    int thumb = grooveLength;
    if (range > 0) {
        const qint64 page = std::max(option.pageStep, 1);
        thumb = int(qint64(grooveLength) * page / (range + page));
        thumb = std::clamp(thumb, std::min(kMinimumThumb, grooveLength), grooveLength);
    }
    const int thumbStart = grooveStart + QStyle::sliderPositionFromValue(option.minimum, option.maximum,
                                                                         option.sliderPosition,
                                                                         grooveLength - thumb, option.upsideDown);

    auto along = [&](int start, int size) {
        size = std::max(size, 0);
        const QRect piece = horizontal ? QRect(r.x() + start, r.y(), size, thickness)
                                       : QRect(r.x(), r.y() + start, thickness, size);
        return horizontal ? QStyle::visualRect(option.direction, r, piece) : piece;
    };
    switch (sub) {
    case SC_ScrollBarSubLine:
        return along(0, button);
    case SC_ScrollBarAddLine:
        return along(length - button, button);
    case SC_ScrollBarGroove:
        return along(grooveStart, grooveLength);
    case SC_ScrollBarSlider:
        return along(thumbStart, thumb);
    case SC_ScrollBarSubPage:
        return along(grooveStart, thumbStart - grooveStart);
    case SC_ScrollBarAddPage:
        return along(thumbStart + thumb, grooveStart + grooveLength - thumbStart - thumb);
    default:
        return QRect();
    }
}

QRect CSkinScrollBarStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                          SubControl sub, const QWidget* widget) const
{
    if (control == CC_ScrollBar) {
        if (const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option))
            return BarRect(*bar, sub);
    }
    return QProxyStyle::subControlRect(control, option, sub, widget);
}

QStyle::SubControl CSkinScrollBarStyle::hitTestComplexControl(ComplexControl control,
                                                              const QStyleOptionComplex* option,
                                                              const QPoint& pos, const QWidget* widget) const
{
    if (control == CC_ScrollBar) {
        if (const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option)) {
            for (SubControl sub : {SC_ScrollBarSlider, SC_ScrollBarSubLine, SC_ScrollBarAddLine,
                                   SC_ScrollBarSubPage, SC_ScrollBarAddPage}) {
                if (BarRect(*bar, sub).contains(pos))
                    return sub;
            }
            return SC_None;
        }
    }
    return QProxyStyle::hitTestComplexControl(control, option, pos, widget);
}

namespace {

void DrawButton(QPainter& painter, const QPalette& palette, const QRect& rect, bool pressed, bool horizontal,
                SkinImages::Arrow arrow, bool enabled)
{
    if (rect.isEmpty())
        return;
    QLinearGradient fill(rect.topLeft(), horizontal ? rect.bottomLeft() : rect.topRight());
    fill.setColorAt(0, pressed ? SkinImages::Face(palette) : SkinImages::FaceLight(palette));
    fill.setColorAt(1, pressed ? SkinImages::ThumbLight(palette) : SkinImages::Face(palette));
    painter.fillRect(rect, fill);
    painter.setPen(SkinImages::Frame(palette));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    SkinImages::DrawArrow(painter, rect.translated(pressed ? 1 : 0, pressed ? 1 : 0), arrow,
                          enabled ? SkinImages::Glyph(palette) : SkinImages::ThumbLight(palette));
}

}  // namespace

void CSkinScrollBarStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                             QPainter* painter, const QWidget* widget) const
{
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || !bar) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const bool horizontal = bar->orientation == Qt::Horizontal;
    const bool enabled = (bar->state & State_Enabled) && bar->maximum > bar->minimum;
    const bool sunken = bar->state & State_Sunken;
    auto pressed = [&](SubControl sub) { return sunken && (bar->activeSubControls & sub); };

    const QPalette& palette = bar->palette;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);

    const QRect groove = BarRect(*bar, SC_ScrollBarGroove);
    painter->fillRect(bar->rect, SkinImages::Track(palette));
    painter->setPen(SkinImages::Frame(palette));
    if (horizontal)
        painter->drawLine(groove.topLeft(), groove.topRight());
    else
        painter->drawLine(groove.topLeft(), groove.bottomLeft());

    using SkinImages::Arrow;
    DrawButton(*painter, palette, BarRect(*bar, SC_ScrollBarSubLine), pressed(SC_ScrollBarSubLine), horizontal,
               horizontal ? Arrow::Left : Arrow::Up, enabled);
    DrawButton(*painter, palette, BarRect(*bar, SC_ScrollBarAddLine), pressed(SC_ScrollBarAddLine), horizontal,
               horizontal ? Arrow::Right : Arrow::Down, enabled);

    const QRect thumb = BarRect(*bar, SC_ScrollBarSlider).adjusted(horizontal ? 0 : 2, horizontal ? 2 : 0,
                                                                     horizontal ? 0 : -2, horizontal ? -2 : 0);
    if (enabled && !thumb.isEmpty()) {
        painter->setRenderHint(QPainter::Antialiasing);
        QLinearGradient fill(thumb.topLeft(), horizontal ? thumb.bottomLeft() : thumb.topRight());
        const bool held = pressed(SC_ScrollBarSlider);
        fill.setColorAt(0, held ? SkinImages::Thumb(palette) : SkinImages::ThumbLight(palette));
        fill.setColorAt(1, held ? SkinImages::Frame(palette) : SkinImages::Thumb(palette));
        painter->setBrush(fill);
        painter->setPen(SkinImages::Frame(palette));
        painter->drawRoundedRect(QRectF(thumb).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        // Grip lines in the middle of the thumb.
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(SkinImages::FaceLight(palette));
        const QPoint c = thumb.center();
        for (int i = -2; i <= 2; i += 2) {
            if (horizontal && thumb.width() > 12)
                painter->drawLine(c.x() + i, thumb.top() + 3, c.x() + i, thumb.bottom() - 3);
            else if (!horizontal && thumb.height() > 12)
                painter->drawLine(thumb.left() + 3, c.y() + i, thumb.right() - 3, c.y() + i);
        }
    }
    painter->restore();
}
