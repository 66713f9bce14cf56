#pragma once

// Dialog units: the window's layout is given in units of the dialog font (a quarter of
// the font's average character width across, an eighth of its height down), so it
// keeps its proportions with whatever font and screen the program meets.

#include <QFont>
#include <QRect>
#include <QSize>

class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    // The font's base units in pixels: average width of the Latin letters, rounded
    // the way the classic dialog manager rounds it, and the font's line height.
    int BaseUnitX() const { return baseX; }
    int BaseUnitY() const { return baseY; }

    int X(int dialogUnits) const;
    int Y(int dialogUnits) const;
    QRect ToPixels(int left, int top, int width, int height) const;
    QSize ToPixels(int width, int height) const;

private:
    int baseX = 6;
    int baseY = 13;
};
