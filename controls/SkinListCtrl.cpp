#include "controls/SkinListCtrl.h"

#include "controls/ChoiceDropList.h"
#include "controls/SkinHeaderCtrl.h"
#include "controls/SkinHorizontalScrollbar.h"
#include "controls/SkinImages.h"
#include "controls/SkinListAccessible.h"
#include "controls/SkinVerticleScrollbar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int kTextMargin = 6;
constexpr int kToggleLeft = 2;
constexpr int kWheelNotch = 120;

SkinListColours& Colours()
{
    static SkinListColours colours;
    return colours;
}

}  // namespace

CSkinListCtrl::CSkinListCtrl(QWidget* parent) : QAbstractScrollArea(parent)
{
    header = new CSkinHeaderCtrl(this);
    connect(header, &CSkinHeaderCtrl::ColumnClicked, this, &CSkinListCtrl::OnHeaderClicked);
    connect(header, &CSkinHeaderCtrl::ColumnResized, this, [this] {
        UpdateScrollBars();
        viewport()->update();
    });

    SkinListAccessibility::Install();

    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    // The plain frame is drawn in the foreground role's colour.
    setForegroundRole(QPalette::Mid);

    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setViewportMargins(0, header->sizeHint().height(), 0, 0);
    UpdateScrollBars();
}

CSkinListCtrl::~CSkinListCtrl()
{
    DestroyDropDown();
    rows.clear();
}

void CSkinListCtrl::SetSkinColours(const SkinListColours& colours)
{
    Colours() = colours;
}

const SkinListColours& CSkinListCtrl::SkinColours()
{
    return Colours();
}

SkinListColours CSkinListCtrl::EffectiveColours() const
{
    const QPalette& colours = palette();
    auto pick = [&colours](const QColor& skin, QPalette::ColorRole role) {
        return skin.isValid() ? skin : colours.color(role);
    };
    const SkinListColours& skin = Colours();
    SkinListColours effective;
    effective.selectedBackground = pick(skin.selectedBackground, QPalette::Highlight);
    effective.selectedText = pick(skin.selectedText, QPalette::HighlightedText);
    effective.plainBackground = pick(skin.plainBackground, QPalette::Base);
    effective.text = pick(skin.text, QPalette::Text);
    effective.evenRow = pick(skin.evenRow, QPalette::Base);
    effective.oddRow = pick(skin.oddRow, QPalette::AlternateBase);
    return effective;
}

// ---------------------------------------------------------------------------------------
// Columns

int CSkinListCtrl::InsertColumn(int index, const QString& caption, int width, bool centred)
{
    const int at = header->InsertColumn(index, caption, width, centred);
    if (at < 0)
        return -1;
    for (Row& row : rows) {
        const size_t textAt = std::min(size_t(at), row.texts.size());
        if (ColumnCount() > int(row.texts.size()))
            row.texts.insert(row.texts.begin() + std::ptrdiff_t(textAt), QString());
        const size_t cellAt = std::min(size_t(at), row.cells.size());
        row.cells.insert(row.cells.begin() + std::ptrdiff_t(cellAt), SkinListCell());
    }
    if (dropColumn >= at)
        ++dropColumn;
    setViewportMargins(0, header->sizeHint().height(), 0, 0);
    UpdateScrollBars();
    PlaceHeader();
    viewport()->update();
    SkinListAccessibility::ModelChanged(this, QAccessibleTableModelChangeEvent::ColumnsInserted, -1, at);
    return at;
}

int CSkinListCtrl::ColumnCount() const
{
    return header->Count();
}

int CSkinListCtrl::ColumnWidth(int column) const
{
    return header->Width(column);
}

bool CSkinListCtrl::SetColumnWidth(int column, int width)
{
    return header->SetWidth(column, width);
}

QString CSkinListCtrl::ColumnCaption(int column) const
{
    return header->Caption(column);
}

int CSkinListCtrl::GetHeaderCheck(int column) const
{
    return header->CheckMark(column);
}

bool CSkinListCtrl::SetHeaderCheck(int column, int mark)
{
    return header->SetCheckMark(column, mark);
}

// ---------------------------------------------------------------------------------------
// Rows and cells

int CSkinListCtrl::RowCount() const
{
    return static_cast<int>(rows.size());
}

int CSkinListCtrl::InsertRow(int row, const QString& text)
{
    if (row < 0)
        return -1;
    row = std::min(row, RowCount());
    Row fresh;
    fresh.texts.resize(size_t(std::max(ColumnCount(), 1)));
    fresh.texts[0] = text;
    fresh.cells.resize(size_t(ColumnCount()));
    rows.insert(rows.begin() + row, std::move(fresh));
    for (int* index : {&selectedRow, &focusedRow, &dropRow}) {
        if (*index >= row)
            ++*index;
    }
    UpdateScrollBars();
    viewport()->update();
    SkinListAccessibility::ModelChanged(this, QAccessibleTableModelChangeEvent::RowsInserted, row, -1);
    return row;
}

bool CSkinListCtrl::DeleteRow(int row)
{
    if (row < 0 || row >= RowCount())
        return false;
    if (row == dropRow)
        DestroyDropDown();
    rows.erase(rows.begin() + row);
    for (int* index : {&selectedRow, &focusedRow, &dropRow}) {
        if (*index == row)
            *index = -1;
        else if (*index > row)
            --*index;
    }
    UpdateScrollBars();
    viewport()->update();
    SkinListAccessibility::ModelChanged(this, QAccessibleTableModelChangeEvent::RowsRemoved, row, -1);
    return true;
}

void CSkinListCtrl::DeleteAllRows()
{
    for (int row = RowCount() - 1; row >= 0; --row)
        DeleteRow(row);
    selectedRow = focusedRow = -1;
    pendingVisibleRow = -1;
    verticalScrollBar()->setValue(0);
}

SkinListCell* CSkinListCtrl::CellAt(int row, int column)
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return nullptr;
    std::vector<SkinListCell>& cells = rows[size_t(row)].cells;
    return size_t(column) < cells.size() ? &cells[size_t(column)] : nullptr;
}

const SkinListCell* CSkinListCtrl::CellAt(int row, int column) const
{
    return const_cast<CSkinListCtrl*>(this)->CellAt(row, column);
}

const SkinListCell* CSkinListCtrl::Cell(int row, int column) const
{
    return CellAt(row, column);
}

bool CSkinListCtrl::SetCellText(int row, int column, const QString& text)
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return false;
    std::vector<QString>& texts = rows[size_t(row)].texts;
    if (size_t(column) >= texts.size())
        return false;
    texts[size_t(column)] = text;
    RedrawCell(row, column);
    SkinListAccessibility::NameChanged(this, row, column);
    return true;
}

QString CSkinListCtrl::GetCellText(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0)
        return QString();
    const std::vector<QString>& texts = rows[size_t(row)].texts;
    return size_t(column) < texts.size() ? texts[size_t(column)] : QString();
}

int CSkinListCtrl::GetRowData(int row) const
{
    const SkinListCell* cell = CellAt(row, 0);
    return cell ? cell->rowData : 0;
}

bool CSkinListCtrl::SetRowData(int row, int value)
{
    SkinListCell* cell = CellAt(row, 0);
    if (!cell)
        return false;
    cell->rowData = value;
    return true;
}

bool CSkinListCtrl::MakeToggleCell(int row, int column)
{
    SkinListCell* cell = CellAt(row, column);
    if (!cell)
        return false;
    cell->toggleCell = 1;
    ChangeToggle(row, column, 0);
    return true;
}

int CSkinListCtrl::GetToggle(int row, int column) const
{
    const SkinListCell* cell = CellAt(row, column);
    return cell ? cell->toggleValue : -1;
}

bool CSkinListCtrl::SetToggle(int row, int column, int value)
{
    if (!CellAt(row, column))
        return false;
    ChangeToggle(row, column, value);
    return true;
}

void CSkinListCtrl::ChangeToggle(int row, int column, int value)
{
    SkinListCell* cell = CellAt(row, column);
    if (!cell)
        return;
    const bool wasOn = cell->toggleValue == 1;
    cell->toggleValue = value;
    RedrawCell(row, column);
    if (wasOn != (value == 1))
        SkinListAccessibility::CheckChanged(this, row, column);
}

int CSkinListCtrl::GetCheck(int row, int column) const
{
    const SkinListCell* cell = CellAt(row, column);
    return cell ? cell->checkState : -1;
}

bool CSkinListCtrl::SetCheck(int row, int column, int state)
{
    SkinListCell* cell = CellAt(row, column);
    if (!cell)
        return false;
    const int before = cell->checkState;
    cell->checkState = state < 0 ? -1 : (state > 0 ? 1 : 0);
    RedrawCell(row, column);
    UpdateHeaderCheck(column);
    if (before != cell->checkState)
        SkinListAccessibility::CheckChanged(this, row, column);
    return true;
}

bool CSkinListCtrl::SetCheckEnabled(int row, int column, bool enabled)
{
    SkinListCell* cell = CellAt(row, column);
    if (!cell)
        return false;
    cell->checkEnabled = enabled ? 1 : 0;
    RedrawCell(row, column);
    return true;
}

bool CSkinListCtrl::SetRadio(int row, int column, bool radio)
{
    SkinListCell* cell = CellAt(row, column);
    if (!cell)
        return false;
    cell->radio = radio ? 1 : 0;
    return true;
}

bool CSkinListCtrl::MakeChoiceCell(int row, int column, const QStringList& choices, int visibleRows,
                                   int initialChoice)
{
    SkinListCell* cell = CellAt(row, column);
    if (!cell)
        return false;
    cell->choiceCell = 1;
    cell->choices = choices;
    cell->choiceRows = std::max(visibleRows, 1);
    cell->initialChoice = initialChoice;
    RedrawCell(row, column);
    return true;
}

bool CSkinListCtrl::SetCellBold(int row, int column, bool bold)
{
    SkinListCell* cell = CellAt(row, column);
    if (!cell)
        return false;
    cell->bold = bold ? 1 : 0;
    RedrawCell(row, column);
    return true;
}

bool CSkinListCtrl::SetCellTextColour(int row, int column, int colorRef)
{
    SkinListCell* cell = CellAt(row, column);
    if (!cell)
        return false;
    cell->textColour = colorRef;
    RedrawCell(row, column);
    return true;
}

// ---------------------------------------------------------------------------------------
// Selection and scrolling

bool CSkinListCtrl::SelectRow(int row)
{
    if (row < 0 || row >= RowCount())
        return false;
    selectedRow = row;
    SetFocusedRow(row);
    viewport()->update();
    return true;
}

void CSkinListCtrl::SetFocusedRow(int row)
{
    if (row == focusedRow)
        return;
    focusedRow = row;
    viewport()->update();
    SkinListAccessibility::FocusMoved(this);
}

int CSkinListCtrl::FirstSelectedRow() const
{
    return selectedRow;
}

int CSkinListCtrl::FocusedRow() const
{
    return focusedRow;
}

void CSkinListCtrl::ClearSelection()
{
    selectedRow = -1;
    viewport()->update();
}

int CSkinListCtrl::TopRow() const
{
    return verticalScrollBar()->value();
}

int CSkinListCtrl::FullyVisibleRows() const
{
    return std::max(1, viewport()->height() / RowHeight());
}

void CSkinListCtrl::EnsureRowVisible(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    // Until the list is shown its viewport has no real size; the row is brought into view
    // again once it has.
    pendingVisibleRow = isVisible() ? -1 : row;
    UpdateScrollBars();
    const int top = TopRow();
    const int visible = FullyVisibleRows();
    if (row < top)
        verticalScrollBar()->setValue(row);
    else if (row >= top + visible)
        verticalScrollBar()->setValue(row - visible + 1);
}

void CSkinListCtrl::SetFullRowSelect(bool on)
{
    fullRowSelect = on;
    viewport()->update();
}

bool CSkinListCtrl::FullRowSelect() const
{
    return fullRowSelect;
}

void CSkinListCtrl::SetAlternateRowColours(bool on)
{
    alternateRowColours = on;
    viewport()->update();
}

void CSkinListCtrl::SetRightClickSelects(bool on)
{
    rightClickSelects = on;
}

void CSkinListCtrl::SetToggleCellsActive(bool on)
{
    toggleCellsActive = on;
    viewport()->update();
}

void CSkinListCtrl::SetRowClickTogglesCheck(bool on)
{
    rowClickTogglesCheck = on;
}

void CSkinListCtrl::AttachSkinScrollBars()
{
    if (skinBarsAttached)
        return;
    skinBarsAttached = true;
    // The area takes ownership of the new bars and deletes the platform ones.
    setVerticalScrollBar(new CSkinVerticleScrollbar(this));
    setHorizontalScrollBar(new CSkinHorizontalScrollbar(this));
    // The square where the two bars meet, in the bars' face colour.
    auto* corner = new QWidget(this);
    corner->setBackgroundRole(QPalette::Button);
    corner->setAutoFillBackground(true);
    setCornerWidget(corner);
    UpdateScrollBars();
}

bool CSkinListCtrl::SkinScrollBarsAttached() const
{
    return skinBarsAttached;
}

void CSkinListCtrl::UpdateScrollBars()
{
    const int visible = FullyVisibleRows();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setSingleStep(1);
    vertical->setPageStep(visible);
    vertical->setRange(0, std::max(0, RowCount() - visible));

    QScrollBar* horizontal = horizontalScrollBar();
    const int width = viewport()->width();
    horizontal->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 2));
    horizontal->setPageStep(std::max(1, width));
    horizontal->setRange(0, std::max(0, TotalColumnsWidth() - width));
    header->SetOffset(horizontal->value());
}

void CSkinListCtrl::PlaceHeader()
{
    const QRect area = viewport()->geometry();
    const int height = header->sizeHint().height();
    header->setGeometry(area.left(), area.top() - height, area.width(), height);
}

// ---------------------------------------------------------------------------------------
// Geometry

int CSkinListCtrl::RowHeight() const
{
    return std::max(fontMetrics().height() + 4, SkinImages::kCheckMarkHeight + 4);
}

int CSkinListCtrl::TotalColumnsWidth() const
{
    return header->TotalWidth();
}

int CSkinListCtrl::ColumnLeft(int column) const
{
    return header->Left(column);
}

QRect CSkinListCtrl::RowRect(int row) const
{
    if (row < 0 || row >= RowCount())
        return QRect();
    const int x = -horizontalScrollBar()->value();
    const int y = (row - TopRow()) * RowHeight();
    return QRect(x, y, TotalColumnsWidth(), RowHeight());
}

QRect CSkinListCtrl::CellRect(int row, int column) const
{
    if (column < 0 || column >= ColumnCount())
        return QRect();
    const QRect rowRect = RowRect(row);
    if (rowRect.isNull())
        return QRect();
    return QRect(rowRect.left() + ColumnLeft(column), rowRect.top(), ColumnWidth(column), rowRect.height());
}

int CSkinListCtrl::RowAt(const QPoint& pos) const
{
    // Only rows that are on screen can be under the pointer.
    const int first = TopRow();
    const int last = std::min(RowCount() - 1, first + viewport()->height() / RowHeight() + 1);
    for (int row = std::max(first, 0); row <= last; ++row) {
        if (RowRect(row).contains(pos))
            return row;
    }
    return -1;
}

int CSkinListCtrl::ColumnAt(const QPoint& pos) const
{
    return header->ColumnAt(pos.x() + horizontalScrollBar()->value());
}

CSkinHeaderCtrl* CSkinListCtrl::Header() const
{
    return header;
}

CChoiceDropList* CSkinListCtrl::DropList() const
{
    return dropList.data();
}

void CSkinListCtrl::RedrawCell(int row, int column)
{
    const QRect area = column < 0 ? RowRect(row) : CellRect(row, column);
    if (!area.isNull())
        viewport()->update(area);
}

// ---------------------------------------------------------------------------------------
// Mouse and keyboard

void CSkinListCtrl::SelectByDefault(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    selectedRow = row;
    SetFocusedRow(row);
    setFocus(Qt::MouseFocusReason);
    EnsureRowVisible(row);
    viewport()->update();
}

void CSkinListCtrl::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        LeftButtonDown(pos);
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        const int row = RowAt(pos);
        if (row >= 0) {
            QPointer<CSkinListCtrl> self(this);
            if (rightClickSelects)
                emit RowSelected(this, row);
            if (self)
                SelectByDefault(row);
        }
        event->accept();
        return;
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void CSkinListCtrl::LeftButtonDown(const QPoint& pos)
{
    const int row = RowAt(pos);
    if (row < 0) {
        // Below the last row nothing happens at all; the selection stays.
        if (dropList)
            CloseDropDownRestoring();
        return;
    }
    ClickCell(row, ColumnAt(pos));
}

void CSkinListCtrl::ClickCell(int row, int column)
{
    // Handlers run now and may rebuild the list or delete it, so everything below
    // re-checks what it touches.
    QPointer<CSkinListCtrl> self(this);
    emit RowSelected(this, row);
    if (!self || row >= RowCount())
        return;

    if (rowClickTogglesCheck) {
        const SkinListCell* clicked = CellAt(row, column);
        if (!clicked || clicked->checkState < 0) {
            for (int c = 0; c < ColumnCount(); ++c) {
                const SkinListCell* cell = CellAt(row, c);
                if (cell && cell->checkState >= 0) {
                    ToggleCheckBox(row, c);
                    break;
                }
            }
            if (!self || row >= RowCount())
                return;
        }
    }

    const SkinListCell* cell = CellAt(row, column);
    if (!cell) {
        SelectByDefault(row);
        return;
    }
    if (cell->checkState >= 0) {
        ToggleCheckBox(row, column);
        if (self)
            SelectByDefault(row);
        return;
    }
    if (cell->toggleCell && toggleCellsActive) {
        // A row with a check box only lets its toggle change while that box is checked or
        // cannot be changed.
        bool mayChange = true;
        for (int c = 0; c < ColumnCount(); ++c) {
            const SkinListCell* box = CellAt(row, c);
            if (box && box->checkState >= 0) {
                mayChange = box->checkEnabled == 0 || box->checkState == 1;
                break;
            }
        }
        if (mayChange) {
            const int value = cell->toggleValue ? 0 : 1;
            ChangeToggle(row, column, value);
            if (value == 1) {
                for (int other = 0; other < RowCount(); ++other) {
                    const SkinListCell* peer = CellAt(other, column);
                    if (other != row && peer && peer->toggleValue != 0)
                        ChangeToggle(other, column, 0);
                }
            }
            emit ActiveColumnClicked(this, column, row);
            if (!self)
                return;
        }
        SelectByDefault(row);
        return;
    }
    if (cell->choiceCell) {
        SelectByDefault(row);
        OpenDropDown(row, column);
        return;
    }
    SelectByDefault(row);
}

int CSkinListCtrl::KeyboardColumn(int row) const
{
    for (int column = 0; column < ColumnCount(); ++column) {
        const SkinListCell* cell = CellAt(row, column);
        if (cell && (cell->toggleCell || cell->checkState >= 0))
            return column;
    }
    return 0;
}

void CSkinListCtrl::ToggleCheckBox(int row, int column)
{
    SkinListCell* cell = CellAt(row, column);
    if (!cell || cell->checkEnabled == 0)
        return;
    const int before = cell->checkState;
    if (cell->radio) {
        cell->checkState = 1;
        for (int other = 0; other < RowCount(); ++other) {
            SkinListCell* peer = CellAt(other, column);
            if (other != row && peer && peer->checkState == 1) {
                peer->checkState = 0;
                RedrawCell(other, column);
                SkinListAccessibility::CheckChanged(this, other, column);
            }
        }
    } else {
        cell->checkState = cell->checkState == 1 ? 0 : 1;
    }
    RedrawCell(row, column);
    if (before != cell->checkState)
        SkinListAccessibility::CheckChanged(this, row, column);
    QPointer<CSkinListCtrl> self(this);
    emit CheckBoxClicked(this, column, row);
    if (self)
        UpdateHeaderCheck(column);
}

void CSkinListCtrl::UpdateHeaderCheck(int column)
{
    const int mark = header->CheckMark(column);
    if (mark != 1 && mark != 2)
        return;
    bool all = true;
    for (int row = 0; row < RowCount() && all; ++row) {
        const SkinListCell* cell = CellAt(row, column);
        all = cell && cell->checkState == 1;
    }
    header->SetCheckMark(column, all ? 2 : 1);
}

void CSkinListCtrl::OnHeaderClicked(int column)
{
    const int mark = header->CheckMark(column);
    if (mark != 1 && mark != 2)
        return;
    const int flipped = mark == 1 ? 2 : 1;
    header->SetCheckMark(column, flipped);
    for (int row = 0; row < RowCount(); ++row) {
        SkinListCell* cell = CellAt(row, column);
        if (cell && cell->checkState >= 0) {
            cell->checkState = flipped == 2 ? 1 : 0;
            RedrawCell(row, column);
        }
    }
}

void CSkinListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click only selects; the cell is not clicked twice.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const int row = RowAt(event->position().toPoint());
    if (row >= 0)
        SelectByDefault(row);
    emit DoubleClicked(this);
    event->accept();
}

void CSkinListCtrl::wheelEvent(QWheelEvent* event)
{
    // Scrolls by whole rows: each notch moves the platform's number of wheel lines.
    wheelRemainder += event->angleDelta().y();
    const int notches = wheelRemainder / kWheelNotch;
    wheelRemainder -= notches * kWheelNotch;
    if (notches != 0) {
        const int lines = notches * std::max(1, QApplication::wheelScrollLines());
        verticalScrollBar()->setValue(verticalScrollBar()->value() - lines);
    }
    event->accept();
}

void CSkinListCtrl::keyPressEvent(QKeyEvent* event)
{
    if (RowCount() == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int current = focusedRow >= 0 ? focusedRow : -1;
    int target = current;
    switch (event->key()) {
    case Qt::Key_Up:
        target = current < 0 ? 0 : current - 1;
        break;
    case Qt::Key_Down:
        target = current + 1;
        break;
    case Qt::Key_PageUp:
        target = current - FullyVisibleRows();
        break;
    case Qt::Key_PageDown:
        target = current + FullyVisibleRows();
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = RowCount() - 1;
        break;
    case Qt::Key_Left:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        event->accept();
        return;
    case Qt::Key_Right:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        event->accept();
        return;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // As a click on the row's Default cell, so the owner hears the same reports in the
        // same order. Without a focused row, Return goes on to the dialog's default button.
        if (current < 0 || event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
            QAbstractScrollArea::keyPressEvent(event);
            return;
        }
        event->accept();
        EnsureRowVisible(current);
        ClickCell(current, KeyboardColumn(current));
        return;
    case Qt::Key_Delete:
        if (current < 0) {
            QAbstractScrollArea::keyPressEvent(event);
            return;
        }
        event->accept();
        DeleteFocusedRow();
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    target = std::clamp(target, 0, RowCount() - 1);
    selectedRow = target;
    SetFocusedRow(target);
    EnsureRowVisible(target);
    viewport()->update();
    event->accept();
}

void CSkinListCtrl::DeleteFocusedRow()
{
    const int row = focusedRow;
    SelectRow(row);
    QPointer<CSkinListCtrl> self(this);
    emit RowDeleteRequested(this, row);
    // The row that took the deleted one's place carries the focus on, so Delete can be
    // pressed again.
    if (self && focusedRow < 0 && RowCount() > 0) {
        const int next = std::min(row, RowCount() - 1);
        SelectRow(next);
        EnsureRowVisible(next);
    }
}

// ---------------------------------------------------------------------------------------
// Drop-down of choice cells

void CSkinListCtrl::OpenDropDown(int row, int column)
{
    if (dropList)
        CloseDropDownRestoring();
    SkinListCell* cell = CellAt(row, column);
    if (!cell)
        return;
    cell->choiceOpen = 1;
    dropRow = row;
    dropColumn = column;
    dropOldText = GetCellText(row, column);
    RedrawCell(row, column);

    auto* drop = new CChoiceDropList(this);
    dropList = drop;
    drop->Fill(cell->choices, dropOldText, cell->initialChoice);
    connect(drop, &CChoiceDropList::VkReturn, this, [this] { TakeDropDownChoice(true); });
    connect(drop, &CChoiceDropList::LButtonUp, this, [this] { TakeDropDownChoice(true); });
    connect(drop, &CChoiceDropList::KeyDown, this, [this] { TakeDropDownChoice(false); });
    connect(drop, &CChoiceDropList::VkEscape, this, &CSkinListCtrl::CloseDropDownRestoring);
    const QRect cellRect = CellRect(row, column);
    drop->ShowBelow(QRect(viewport()->mapToGlobal(cellRect.topLeft()), cellRect.size()), cell->choiceRows);
}

void CSkinListCtrl::TakeDropDownChoice(bool closeAfter)
{
    if (!dropList)
        return;
    const int row = dropRow;
    const int column = dropColumn;
    const int index = dropList->CurrentIndex();
    const QString text = dropList->CurrentText();
    if (closeAfter)
        DestroyDropDown();
    if (index < 0 || !CellAt(row, column))
        return;
    SetCellText(row, column, text);
    if (closeAfter)
        emit ComboSelection(this, column, row);
}

void CSkinListCtrl::CloseDropDownRestoring()
{
    const int row = dropRow;
    const int column = dropColumn;
    const QString oldText = dropOldText;
    DestroyDropDown();
    if (CellAt(row, column))
        SetCellText(row, column, oldText);
}

void CSkinListCtrl::DestroyDropDown()
{
    if (SkinListCell* cell = CellAt(dropRow, dropColumn)) {
        cell->choiceOpen = 0;
        RedrawCell(dropRow, dropColumn);
    }
    dropRow = dropColumn = -1;
    if (CChoiceDropList* drop = dropList.data()) {
        dropList.clear();
        drop->disconnect(this);
        drop->Dismiss();
        // It may be reporting from inside its own event handling.
        drop->deleteLater();
    }
}

// ---------------------------------------------------------------------------------------
// Painting

void CSkinListCtrl::PaintCell(QPainter& painter, const SkinListColours& colours, int row, int column,
                              const QRect& rect)
{
    const SkinListCell* cell = CellAt(row, column);
    const bool selected = row == selectedRow && (fullRowSelect || column == 0);

    QColor background = colours.plainBackground;
    if (selected)
        background = colours.selectedBackground;
    else if (alternateRowColours)
        background = row % 2 == 0 ? colours.evenRow : colours.oddRow;
    painter.fillRect(rect, background);

    QColor textColour = colours.text;
    if (selected)
        textColour = colours.selectedText;
    else if (cell && cell->textColour != -1)
        textColour = ColorFromRef(unsigned(cell->textColour));
    if (!isEnabled())
        textColour = palette().color(QPalette::Disabled, QPalette::Text);

    if (cell && cell->toggleCell) {
        if (cell->toggleValue == 1 && toggleCellsActive) {
            const int y = rect.top() + (rect.height() - SkinImages::kCheckMarkHeight) / 2;
            painter.drawPixmap(rect.left() + kToggleLeft, y, SkinImages::CheckMark(textColour));
        }
        return;
    }

    QRect textRect = rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    if (cell && cell->checkState >= 0) {
        const int y = rect.top() + (rect.height() - SkinImages::kCheckBoxSize) / 2;
        SkinImages::DrawCheckBox(painter, palette(), QPoint(rect.left() + kToggleLeft, y), cell->checkState == 1,
                                 cell->checkEnabled != 0 && isEnabled());
        textRect.setLeft(rect.left() + kToggleLeft + SkinImages::kCheckBoxSize + 4);
    }

    const bool showCombo = cell && cell->choiceCell && hasFocus() && row == selectedRow;
    if (showCombo) {
        // A combo field: a framed box with the drop arrow at its right.
        const QRect field = rect.adjusted(1, 1, -2, -2);
        painter.fillRect(field, colours.plainBackground);
        painter.setPen(SkinImages::Frame(palette()));
        painter.drawRect(field);
        const QRect button(field.right() - field.height() + 1, field.top() + 1, field.height() - 1,
                           field.height() - 1);
        painter.fillRect(button, SkinImages::Face(palette()));
        SkinImages::DrawDownArrow(painter, button, SkinImages::Glyph(palette()));
        textRect.setRight(button.left() - 2);
        textColour = colours.text;
    }

    const QString text = GetCellText(row, column);
    if (text.isEmpty())
        return;
    QFont cellFont = font();
    if (cell && cell->bold)
        cellFont.setBold(true);
    painter.setFont(cellFont);
    painter.setPen(textColour);
    const QFontMetrics metrics(cellFont);
    const QString shown = metrics.elidedText(text, Qt::ElideRight, std::max(textRect.width(), 0));
    const bool centred = header->Centred(column) && !(cell && cell->checkState >= 0);
    painter.drawText(textRect, Qt::AlignVCenter | (centred ? Qt::AlignHCenter : Qt::AlignLeft), shown);
}

void CSkinListCtrl::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const SkinListColours colours = EffectiveColours();
    painter.fillRect(event->rect(), colours.plainBackground);

    const int rowHeight = RowHeight();
    const int first = TopRow();
    const int last = std::min(RowCount() - 1, first + viewport()->height() / rowHeight + 1);
    for (int row = first; row <= last; ++row) {
        const QRect rowRect = RowRect(row);
        if (!rowRect.intersects(event->rect()))
            continue;
        for (int column = 0; column < ColumnCount(); ++column) {
            const QRect cellRect = CellRect(row, column);
            if (cellRect.width() <= 0 || !cellRect.intersects(event->rect()))
                continue;
            painter.save();
            painter.setClipRect(cellRect);
            PaintCell(painter, colours, row, column, cellRect);
            painter.restore();
        }
        if (row == focusedRow && hasFocus()) {
            QPen focusPen(row == selectedRow ? colours.selectedText : colours.text);
            focusPen.setStyle(Qt::DotLine);
            painter.setPen(focusPen);
            painter.setBrush(Qt::NoBrush);
            const QRect focusRect = fullRowSelect ? rowRect : CellRect(row, 0);
            painter.drawRect(focusRect.adjusted(0, 0, -1, -1));
        }
    }
}

void CSkinListCtrl::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    PlaceHeader();
}

bool CSkinListCtrl::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        UpdateScrollBars();
        PlaceHeader();
        if (pendingVisibleRow >= 0 && isVisible())
            EnsureRowVisible(pendingVisibleRow);
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void CSkinListCtrl::scrollContentsBy(int, int)
{
    header->SetOffset(horizontalScrollBar()->value());
    viewport()->update();
}

void CSkinListCtrl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        header->setFont(font());
        setViewportMargins(0, header->sizeHint().height(), 0, 0);
        UpdateScrollBars();
        PlaceHeader();
    }
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::PaletteChange)
        viewport()->update();
    QAbstractScrollArea::changeEvent(event);
}

void CSkinListCtrl::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    // Arriving by keyboard, the focus row starts at the selection, or else at the first
    // row that is on (the list's default), so it is visible and Space acts on a row. A
    // click sets it itself, on the row under the pointer.
    const Qt::FocusReason reason = event->reason();
    const bool byKeyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                            reason == Qt::ShortcutFocusReason;
    if (byKeyboard && focusedRow < 0 && RowCount() > 0) {
        int start = selectedRow;
        for (int row = 0; row < RowCount() && start < 0; ++row) {
            if (GetToggle(row, KeyboardColumn(row)) == 1)
                start = row;
        }
        focusedRow = std::max(start, 0);
        EnsureRowVisible(focusedRow);
    }
    viewport()->update();
    SkinListAccessibility::FocusMoved(this);
}

void CSkinListCtrl::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void CSkinListCtrl::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    UpdateScrollBars();
    PlaceHeader();
    if (pendingVisibleRow >= 0)
        EnsureRowVisible(pendingVisibleRow);
}
