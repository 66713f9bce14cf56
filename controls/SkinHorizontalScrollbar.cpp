#include "controls/SkinHorizontalScrollbar.h"

#include "controls/SkinScrollBarStyle.h"

CSkinHorizontalScrollbar::CSkinHorizontalScrollbar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent)
{
    setStyle(CSkinScrollBarStyle::Instance());
}

QSize CSkinHorizontalScrollbar::sizeHint() const
{
    return QSize(CSkinScrollBarStyle::kExtent * 3, CSkinScrollBarStyle::kExtent);
}
