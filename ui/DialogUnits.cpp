#include "ui/DialogUnits.h"

#include <QFontMetrics>
#include <QString>

namespace {

// a * b / c rounded to nearest, halves away from zero.
int MulDivRound(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

} // namespace

CDialogUnits::CDialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int width = metrics.horizontalAdvance(letters);
    // Average over 52 letters, rounded to nearest.
    const int averageX = (width / 26 + 1) / 2;
    if (averageX > 0)
        baseX = averageX;
    if (metrics.height() > 0)
        baseY = metrics.height();
}

int CDialogUnits::X(int dialogUnits) const
{
    return MulDivRound(dialogUnits, baseX, 4);
}

int CDialogUnits::Y(int dialogUnits) const
{
    return MulDivRound(dialogUnits, baseY, 8);
}

QRect CDialogUnits::ToPixels(int left, int top, int width, int height) const
{
    // Convert the edges, not the extents, so neighbouring controls stay flush.
    const int x = X(left);
    const int y = Y(top);
    return QRect(x, y, X(left + width) - x, Y(top + height) - y);
}

QSize CDialogUnits::ToPixels(int width, int height) const
{
    return QSize(X(width), Y(height));
}
