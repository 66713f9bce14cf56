#pragma once

#include <QScrollBar>

// The list's horizontal scroll bar, 14 pixels high, painted in the skin (CSkinScrollBarStyle).
class CSkinHorizontalScrollbar : public QScrollBar {
    Q_OBJECT

public:
    explicit CSkinHorizontalScrollbar(QWidget* parent = nullptr);
    QSize sizeHint() const override;
};
