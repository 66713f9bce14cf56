#include "controls/SkinVerticleScrollbar.h"

#include "controls/SkinScrollBarStyle.h"

CSkinVerticleScrollbar::CSkinVerticleScrollbar(QWidget* parent) : QScrollBar(Qt::Vertical, parent)
{
    setStyle(CSkinScrollBarStyle::Instance());
}

QSize CSkinVerticleScrollbar::sizeHint() const
{
    return QSize(CSkinScrollBarStyle::kExtent, CSkinScrollBarStyle::kExtent * 3);
}
