#pragma once

#include <QScrollBar>

// The list's vertical scroll bar, 14 pixels wide, painted in the skin (CSkinScrollBarStyle).
class CSkinVerticleScrollbar : public QScrollBar {
    Q_OBJECT

public:
    explicit CSkinVerticleScrollbar(QWidget* parent = nullptr);
    QSize sizeHint() const override;
};
