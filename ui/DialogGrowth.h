#pragma once

// How the main window's controls follow a window made larger than its layout: the
// description takes a quarter of the extra height and the four value lists the rest,
// the lists share the extra width (half to the video box, half to the audio box, each
// half split between its two lists), the frames around them grow with them, and what
// stands right of or below a growing control moves with its edge. At the layout's own
// size nothing moves.

#include <QRect>
#include <QSize>

#include "ui/DialogLayout.h"

// The rectangle of a control in a window `extra` pixels larger than the layout (never
// smaller: a window below the layout's size scrolls instead), given its rectangle at
// the layout's size.
QRect GrownRect(const ControlLayout& layout, const QRect& atLayoutSize, QSize extra);
