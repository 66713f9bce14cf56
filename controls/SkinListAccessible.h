#pragma once

#include <QAccessibleTableModelChangeEvent>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

class CSkinListCtrl;

// The list as assistive technology sees it: a table with one row per item and the list's
// columns, its column headers first among its children (as the toolkit's own tables do),
// then the cells row by row. A cell's name is the text it shows; a toggle or check-box cell
// is checkable and checked while it is on. Cells are made when first asked for and kept
// until the rows change.
class CSkinListAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit CSkinListAccessible(CSkinListCtrl* list);
    ~CSkinListAccessible() override;

    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    QAccessibleInterface* caption() const override;
    QAccessibleInterface* summary() const override;
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    int columnCount() const override;
    QString rowDescription(int row) const override;
    int rowCount() const override;
    int selectedColumnCount() const override;
    int selectedRowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // Child index of a cell; row -1 is the column header.
    static int ChildIndex(const CSkinListCtrl* list, int row, int column);
    // The cell the list's focus row is reported in: its first cell that is neither a
    // toggle nor a check box, the one showing the row's value.
    static int FocusColumn(const CSkinListCtrl* list, int row);

private:
    CSkinListCtrl* List() const;
    void DropCells();

    mutable QHash<int, QAccessible::Id> cells;   // child index -> registered cell
};

// A cell of the list, or (row -1) one of its column headers.
class CSkinListCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    CSkinListCellAccessible(CSkinListCtrl* list, int row, int column);

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    bool isSelected() const override;
    int columnExtent() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    int columnIndex() const override;
    int rowExtent() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int rowIndex() const override;
    QAccessibleInterface* table() const override;

    const CSkinListCtrl* List() const { return list.data(); }

private:
    QPointer<CSkinListCtrl> list;
    int row;
    int column;
};

// What the list tells assistive technology as it changes. Each call sends one event.
namespace SkinListAccessibility {

// Makes the toolkit build CSkinListAccessible for every list; once per program.
void Install();
// A row (row >= 0) or a column was inserted or removed, or every row went (ModelReset).
void ModelChanged(CSkinListCtrl* list, QAccessibleTableModelChangeEvent::ModelChangeType type, int row, int column);
// The focus row moved, or the list gained the focus; nothing while another widget has it.
void FocusMoved(CSkinListCtrl* list);
// A toggle or check-box cell turned on or off.
void CheckChanged(CSkinListCtrl* list, int row, int column);
void NameChanged(CSkinListCtrl* list, int row, int column);

}  // namespace SkinListAccessibility
