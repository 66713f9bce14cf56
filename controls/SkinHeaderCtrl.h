#pragma once

#include <QString>
#include <QWidget>

#include <vector>

// The list's column header, painted in the skin. It owns the columns (caption, width,
// centring and an optional check mark); dragging a divider resizes a column, and a click
// released on the column it started on reports the column.
class CSkinHeaderCtrl : public QWidget {
    Q_OBJECT

public:
    explicit CSkinHeaderCtrl(QWidget* parent = nullptr);

    int InsertColumn(int index, const QString& caption, int width, bool centred);
    int Count() const;
    int Width(int column) const;                  // -1 out of range
    bool SetWidth(int column, int width);
    QString Caption(int column) const;
    bool Centred(int column) const;
    // Check mark: 0 none, 1 unchecked, 2 checked; -1 out of range.
    int CheckMark(int column) const;
    bool SetCheckMark(int column, int mark);

    int Left(int column) const;                   // in content coordinates
    int TotalWidth() const;
    int ColumnAt(int contentX) const;             // -1 right of the last column
    // Horizontal scroll offset of the list's contents.
    void SetOffset(int offset);
    int Offset() const;

    QSize sizeHint() const override;

signals:
    void ColumnClicked(int column);
    void ColumnResized(int column, int width);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Column {
        QString caption;
        int width = 0;
        bool centred = false;
        int checkMark = 0;
    };

    int DividerAt(int x) const;                   // column whose right edge is under x, or -1

    std::vector<Column> columns;
    int offset = 0;
    int pressedColumn = -1;
    int resizingColumn = -1;
    int resizeOrigin = 0;
    int resizeStartWidth = 0;
};
