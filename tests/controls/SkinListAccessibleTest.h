#pragma once

#include <QObject>

class SkinListAccessibleTest : public QObject {
    Q_OBJECT

private slots:
    void tableOfRowsWithShownTextsAndTheCheckedDefault();
    void focusChildIsTheValueCellOfTheFocusRow();
};
