#include "controls/FieldEdit.h"

#include <QPalette>

#include <cmath>

namespace {

// Relative luminance as the web's contrast rules define it.
double Luminance(const QColor& colour)
{
    auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& fill)
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return Contrast(fill, black) >= Contrast(fill, white) ? black : white;
}

}  // namespace

CFieldEdit::CFieldEdit(QWidget* parent) : QLineEdit(parent) {}

QColor CFieldEdit::OutOfRangeFill()
{
    return QColor(255, 0, 0);
}

void CFieldEdit::SetOutOfRange(bool on)
{
    if (outOfRange == on)
        return;
    outOfRange = on;
    setAccessibleDescription(on ? tr("Value out of range") : QString());
    ApplyColours();
}

bool CFieldEdit::OutOfRange() const
{
    return outOfRange;
}

void CFieldEdit::SetFillColor(const QColor& colour)
{
    fillColour = colour;
    ApplyColours();
}

QColor CFieldEdit::FillColor() const
{
    return palette().color(QPalette::Base);
}

void CFieldEdit::SetTextColor(const QColor& colour)
{
    textColour = colour;
    ApplyColours();
}

QString CFieldEdit::NormalizedText() const
{
    return text();
}

bool CFieldEdit::AcceptsChar(QChar) const
{
    return true;
}

void CFieldEdit::Refresh()
{
    const QString normal = NormalizedText();
    if (normal != text())
        QLineEdit::setText(normal);
}

void CFieldEdit::ApplyColours()
{
    // Start from the inherited palette each time, so clearing a colour really restores
    // the style's own one.
    setPalette(QPalette());
    QPalette colours = palette();
    // Only the roles set below are this edit's own; the rest keep following the parent.
    colours.setResolveMask(0);
    const QColor fill = fillColour.isValid() ? fillColour : (outOfRange ? OutOfRangeFill() : QColor());
    if (fill.isValid())
        colours.setColor(QPalette::Base, fill);
    if (textColour.isValid())
        colours.setColor(QPalette::Text, textColour);
    else if (fill.isValid())
        colours.setColor(QPalette::Text, ReadableOn(fill));
    setPalette(colours);
    update();
}
