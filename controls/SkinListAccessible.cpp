#include "controls/SkinListAccessible.h"

#include "controls/SkinHeaderCtrl.h"
#include "controls/SkinListCtrl.h"

#include <QWindow>

namespace {

QAccessibleInterface* Factory(const QString& className, QObject* object)
{
    auto* list = qobject_cast<CSkinListCtrl*>(object);
    if (list == nullptr || className != QLatin1String(CSkinListCtrl::staticMetaObject.className()))
        return nullptr;
    return new CSkinListAccessible(list);
}

bool IsCheckable(const SkinListCell* cell)
{
    return cell != nullptr && (cell->toggleCell || cell->checkState >= 0);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The table

CSkinListAccessible::CSkinListAccessible(CSkinListCtrl* list) : QAccessibleWidget(list, QAccessible::Table) {}

CSkinListAccessible::~CSkinListAccessible()
{
    DropCells();
}

CSkinListCtrl* CSkinListAccessible::List() const
{
    return static_cast<CSkinListCtrl*>(widget());
}

void CSkinListAccessible::DropCells()
{
    for (QAccessible::Id id : std::as_const(cells))
        QAccessible::deleteAccessibleInterface(id);
    cells.clear();
}

int CSkinListAccessible::ChildIndex(const CSkinListCtrl* list, int row, int column)
{
    return (row + 1) * list->ColumnCount() + column;
}

int CSkinListAccessible::FocusColumn(const CSkinListCtrl* list, int row)
{
    for (int column = 0; column < list->ColumnCount(); ++column) {
        if (!IsCheckable(list->Cell(row, column)))
            return column;
    }
    return 0;
}

void* CSkinListAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

int CSkinListAccessible::childCount() const
{
    return (List()->RowCount() + 1) * List()->ColumnCount();
}

QAccessibleInterface* CSkinListAccessible::child(int index) const
{
    const int columns = List()->ColumnCount();
    if (index < 0 || index >= childCount() || columns == 0)
        return nullptr;
    if (const auto known = cells.constFind(index); known != cells.constEnd()) {
        if (QAccessibleInterface* cell = QAccessible::accessibleInterface(*known))
            return cell;
    }
    auto* cell = new CSkinListCellAccessible(List(), index / columns - 1, index % columns);
    cells.insert(index, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

int CSkinListAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* cell = dynamic_cast<const CSkinListCellAccessible*>(child);
    if (cell == nullptr || cell->List() != List() || !cell->isValid())
        return -1;
    return ChildIndex(List(), cell->rowIndex(), cell->columnIndex());
}

QAccessibleInterface* CSkinListAccessible::childAt(int x, int y) const
{
    const CSkinListCtrl* list = List();
    const QPoint global(x, y);
    const CSkinHeaderCtrl* header = list->Header();
    const QPoint inHeader = header->mapFromGlobal(global);
    if (header->rect().contains(inHeader)) {
        const int column = header->ColumnAt(inHeader.x() + header->Offset());
        return column >= 0 ? child(ChildIndex(list, -1, column)) : nullptr;
    }
    const QPoint inRows = list->viewport()->mapFromGlobal(global);
    if (!list->viewport()->rect().contains(inRows))
        return nullptr;
    const int row = list->RowAt(inRows);
    const int column = list->ColumnAt(inRows);
    return row >= 0 && column >= 0 ? child(ChildIndex(list, row, column)) : nullptr;
}

QAccessibleInterface* CSkinListAccessible::focusChild() const
{
    const CSkinListCtrl* list = List();
    const int row = list->FocusedRow();
    if (!list->hasFocus() || row < 0 || row >= list->RowCount())
        return nullptr;
    return child(ChildIndex(list, row, FocusColumn(list, row)));
}

QAccessibleInterface* CSkinListAccessible::caption() const
{
    return nullptr;
}

QAccessibleInterface* CSkinListAccessible::summary() const
{
    return nullptr;
}

QAccessibleInterface* CSkinListAccessible::cellAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return nullptr;
    return child(ChildIndex(List(), row, column));
}

int CSkinListAccessible::selectedCellCount() const
{
    return selectedRowCount() * columnCount();
}

QList<QAccessibleInterface*> CSkinListAccessible::selectedCells() const
{
    QList<QAccessibleInterface*> selected;
    for (int row : selectedRows()) {
        for (int column = 0; column < columnCount(); ++column)
            selected << cellAt(row, column);
    }
    return selected;
}

QString CSkinListAccessible::columnDescription(int column) const
{
    return List()->ColumnCaption(column);
}

int CSkinListAccessible::columnCount() const
{
    return List()->ColumnCount();
}

QString CSkinListAccessible::rowDescription(int) const
{
    return QString();
}

int CSkinListAccessible::rowCount() const
{
    return List()->RowCount();
}

int CSkinListAccessible::selectedColumnCount() const
{
    return 0;
}

int CSkinListAccessible::selectedRowCount() const
{
    return int(selectedRows().size());
}

QList<int> CSkinListAccessible::selectedColumns() const
{
    return {};
}

QList<int> CSkinListAccessible::selectedRows() const
{
    const int row = List()->FirstSelectedRow();
    return row >= 0 ? QList<int>{row} : QList<int>{};
}

bool CSkinListAccessible::isColumnSelected(int) const
{
    return false;
}

bool CSkinListAccessible::isRowSelected(int row) const
{
    return row >= 0 && row == List()->FirstSelectedRow();
}

bool CSkinListAccessible::selectRow(int row)
{
    return List()->SelectRow(row);
}

bool CSkinListAccessible::selectColumn(int)
{
    return false;
}

bool CSkinListAccessible::unselectRow(int row)
{
    if (!isRowSelected(row))
        return false;
    List()->ClearSelection();
    return true;
}

bool CSkinListAccessible::unselectColumn(int)
{
    return false;
}

void CSkinListAccessible::modelChange(QAccessibleTableModelChangeEvent*)
{
    // A cell knows itself by position; after rows or columns moved, a kept cell would
    // name another one's place.
    DropCells();
}

// ---------------------------------------------------------------------------------------
// A cell

CSkinListCellAccessible::CSkinListCellAccessible(CSkinListCtrl* list, int row, int column)
    : list(list), row(row), column(column)
{
}

bool CSkinListCellAccessible::isValid() const
{
    return list != nullptr && row >= -1 && row < list->RowCount() && column >= 0 && column < list->ColumnCount();
}

QObject* CSkinListCellAccessible::object() const
{
    // Cells have no object of their own; naming the list would make the toolkit take a
    // cell for the list itself.
    return nullptr;
}

QWindow* CSkinListCellAccessible::window() const
{
    return list != nullptr ? list->window()->windowHandle() : nullptr;
}

QAccessibleInterface* CSkinListCellAccessible::parent() const
{
    return table();
}

QAccessibleInterface* CSkinListCellAccessible::child(int) const
{
    return nullptr;
}

int CSkinListCellAccessible::childCount() const
{
    return 0;
}

int CSkinListCellAccessible::indexOfChild(const QAccessibleInterface*) const
{
    return -1;
}

QAccessibleInterface* CSkinListCellAccessible::childAt(int, int) const
{
    return nullptr;
}

QString CSkinListCellAccessible::text(QAccessible::Text type) const
{
    if (!isValid() || type != QAccessible::Name)
        return QString();
    return row < 0 ? list->ColumnCaption(column) : list->GetCellText(row, column);
}

void CSkinListCellAccessible::setText(QAccessible::Text, const QString&) {}

QRect CSkinListCellAccessible::rect() const
{
    if (!isValid())
        return QRect();
    if (row < 0) {
        const CSkinHeaderCtrl* header = list->Header();
        const QPoint topLeft(header->Left(column) - header->Offset(), 0);
        return QRect(header->mapToGlobal(topLeft), QSize(header->Width(column), header->height()));
    }
    const QRect cell = list->CellRect(row, column);
    return QRect(list->viewport()->mapToGlobal(cell.topLeft()), cell.size());
}

QAccessible::Role CSkinListCellAccessible::role() const
{
    return row < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
}

QAccessible::State CSkinListCellAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.disabled = !list->isEnabled();
    if (row < 0)
        return state;
    const QRect shown = list->CellRect(row, column);
    state.offscreen = !list->viewport()->rect().intersects(shown);
    state.invisible = !list->isVisible();
    state.selectable = true;
    state.selected = isSelected();
    state.focusable = true;
    state.focused = list->hasFocus() && row == list->FocusedRow() && column == CSkinListAccessible::FocusColumn(list, row);
    if (const SkinListCell* cell = list->Cell(row, column); IsCheckable(cell)) {
        state.checkable = true;
        state.checked = cell->toggleCell ? cell->toggleValue == 1 : cell->checkState == 1;
    }
    return state;
}

void* CSkinListCellAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

bool CSkinListCellAccessible::isSelected() const
{
    return isValid() && row >= 0 && row == list->FirstSelectedRow();
}

int CSkinListCellAccessible::columnExtent() const
{
    return 1;
}

QList<QAccessibleInterface*> CSkinListCellAccessible::columnHeaderCells() const
{
    QAccessibleInterface* table = this->table();
    if (table == nullptr || row < 0)
        return {};
    QAccessibleInterface* header = table->child(CSkinListAccessible::ChildIndex(list, -1, column));
    return header != nullptr ? QList<QAccessibleInterface*>{header} : QList<QAccessibleInterface*>{};
}

int CSkinListCellAccessible::columnIndex() const
{
    return column;
}

int CSkinListCellAccessible::rowExtent() const
{
    return 1;
}

QList<QAccessibleInterface*> CSkinListCellAccessible::rowHeaderCells() const
{
    return {};
}

int CSkinListCellAccessible::rowIndex() const
{
    return row;
}

QAccessibleInterface* CSkinListCellAccessible::table() const
{
    return list != nullptr ? QAccessible::queryAccessibleInterface(list.data()) : nullptr;
}

// ---------------------------------------------------------------------------------------
// Events

namespace SkinListAccessibility {

void Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

void ModelChanged(CSkinListCtrl* list, QAccessibleTableModelChangeEvent::ModelChangeType type, int row, int column)
{
    QAccessibleTableModelChangeEvent event(list, type);
    event.setFirstRow(row);
    event.setLastRow(row);
    event.setFirstColumn(column);
    event.setLastColumn(column);
    QAccessible::updateAccessibility(&event);
}

void FocusMoved(CSkinListCtrl* list)
{
    const int row = list->FocusedRow();
    if (!list->hasFocus() || row < 0)
        return;
    QAccessibleEvent event(list, QAccessible::Focus);
    event.setChild(CSkinListAccessible::ChildIndex(list, row, CSkinListAccessible::FocusColumn(list, row)));
    QAccessible::updateAccessibility(&event);
}

void CheckChanged(CSkinListCtrl* list, int row, int column)
{
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(list, changed);
    event.setChild(CSkinListAccessible::ChildIndex(list, row, column));
    QAccessible::updateAccessibility(&event);
}

void NameChanged(CSkinListCtrl* list, int row, int column)
{
    QAccessibleEvent event(list, QAccessible::NameChanged);
    event.setChild(CSkinListAccessible::ChildIndex(list, row, column));
    QAccessible::updateAccessibility(&event);
}

}  // namespace SkinListAccessibility
