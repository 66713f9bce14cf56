#include "controls/FieldEdit.h"

#include <QPalette>

CFieldEdit::CFieldEdit(QWidget* parent) : QLineEdit(parent) {}

void CFieldEdit::SetFillColor(const QColor& colour)
{
    fillColour = colour;
    ApplyColours();
}

QColor CFieldEdit::FillColor() const
{
    return fillColour;
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
    if (fillColour.isValid())
        colours.setColor(QPalette::Base, fillColour);
    if (textColour.isValid())
        colours.setColor(QPalette::Text, textColour);
    setPalette(colours);
    update();
}
