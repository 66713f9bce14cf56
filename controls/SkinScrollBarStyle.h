#pragma once

#include <QProxyStyle>

class QStyleOptionSlider;

// Geometry and painting of the skinned scroll bars: 14-pixel arrow buttons at both ends
// and a thumb sized by the visible share, all drawn in the skin's colours. The scroll
// bar's own mouse tracking and auto-repeat use this geometry through the style, so what
// is drawn and what is hit always agree.
class CSkinScrollBarStyle : public QProxyStyle {
    Q_OBJECT

public:
    static constexpr int kExtent = 14;
    static constexpr int kMinimumThumb = 10;

    // One instance serves every skinned bar; it lives as long as the application.
    static CSkinScrollBarStyle* Instance();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget = nullptr) const override;
    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     const QPoint& pos, const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;

private:
    CSkinScrollBarStyle();
    static QRect BarRect(const QStyleOptionSlider& option, SubControl sub);
};
