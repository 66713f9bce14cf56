#pragma once

#include <QComboBox>

// A drop-down list whose closed field shows its current text whole: a text wider than
// the field is drawn in a smaller size of the field's font (down to a floor) instead of
// being cut off. The open list and the field's size are those of a plain drop-down list.
class CFittingComboBox : public QComboBox {
public:
    explicit CFittingComboBox(QWidget* parent = nullptr);

    // The font the closed field draws its current text in.
    QFont DisplayFont() const;
    // Where the closed field draws its text.
    QRect TextRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
