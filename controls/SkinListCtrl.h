#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <vector>

class CSkinHeaderCtrl;
class CChoiceDropList;

// A COLORREF (0x00BBGGRR) as a QColor; the skin colours are written down in that form.
inline QColor ColorFromRef(unsigned ref)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

// Colours that replace the palette's for every list. An invalid colour (the default for
// each) takes the palette's role named beside it, so the lists follow the desktop's theme
// unless a program sets a skin of its own.
struct SkinListColours {
    QColor selectedBackground;   // Highlight
    QColor selectedText;         // HighlightedText
    QColor plainBackground;      // Base: alternation off, and below the last row
    QColor text;                 // Text: rows not selected
    QColor evenRow;              // Base (row 0 is even)
    QColor oddRow;               // AlternateBase
};

// One cell of a row. A row owns one record per column; the row's application value lives
// in the first cell's rowData.
struct SkinListCell {
    int enabled = 1;
    int bold = 0;
    int textColour = -1;        // COLORREF, -1 = the list's colour
    int checkState = -1;        // -1 = not a check-box cell, 0 unchecked, 1 checked
    int checkEnabled = 1;       // 0 = clicks leave the check box alone
    int radio = 0;              // 1 = checking this cell unchecks the column in every other row
    int toggleValue = 0;        // 1 = on, drawn as a check mark
    int toggleCell = 0;
    int choiceCell = 0;
    int choiceOpen = 0;         // 1 while this cell's drop-down is shown
    QStringList choices;
    int choiceRows = 10;        // rows the drop-down shows
    int initialChoice = 0;
    int rowData = 0;
};

// Report-style list with per-cell check boxes, exclusive toggle cells and drop-down choice
// cells, painted in the program's own colours with its own header and scroll bars.
//
// Clicks are reported through the signals below. They are emitted synchronously: a
// handler connected with the default (direct) connection runs to its end before the list
// goes on, exactly where the list reports the event. Each signal is named after the
// message it stands for (constants kMsg...). Do not connect them queued: the row-selected
// signal, for one, is emitted before the list selects the clicked row, and handlers rely on
// running at that moment.
//
// Every row and column argument is checked against the list's storage; operations given
// an index outside it do nothing and return false, 0 or -1.
class CSkinListCtrl : public QAbstractScrollArea {
    Q_OBJECT

public:
    // Names of the messages the signals stand for, sent to the parent window in order.
    static constexpr const char* kMsgOnSelected = "WM_SKINLIST_ON_SELECTED";                   // RowSelected
    static constexpr const char* kMsgActiveColumnClicked = "WM_SKINLIST_ACTIVECOLUMN_CLICKED"; // ActiveColumnClicked
    static constexpr const char* kMsgCheckBoxClicked = "WM_SKINLIST_CHECKBOX_CLICKED";         // CheckBoxClicked
    static constexpr const char* kMsgComboSelection = "WM_SKINLIST_COMBO_SELECTION";           // ComboSelection
    static constexpr const char* kMsgOnDoubleClick = "WM_SKINLIST_ON_DBCLICK";                 // DoubleClicked
    // The drop-down's reports to its owner list (signals of CChoiceDropList).
    static constexpr const char* kMsgChoiceReturn = "WM_CHOICELIST_VK_RETURN";                 // VkReturn
    static constexpr const char* kMsgChoiceEscape = "WM_CHOICELIST_VK_ESCAPE";                 // VkEscape
    static constexpr const char* kMsgChoiceKeyDown = "WM_CHOICELIST_KEYDOWN";                  // KeyDown
    static constexpr const char* kMsgChoiceButtonUp = "WM_CHOICELIST_LBUTTONUP";               // LButtonUp

    explicit CSkinListCtrl(QWidget* parent = nullptr);
    ~CSkinListCtrl() override;

    static void SetSkinColours(const SkinListColours& colours);
    static const SkinListColours& SkinColours();
    // The colours this list paints with now: the skin's where set, else its palette's.
    SkinListColours EffectiveColours() const;

    // Columns. Existing rows gain a fresh plain cell for an inserted column.
    int InsertColumn(int index, const QString& caption, int width, bool centred = false);
    int ColumnCount() const;
    int ColumnWidth(int column) const;                 // -1 out of range
    bool SetColumnWidth(int column, int width);
    QString ColumnCaption(int column) const;
    // Header check mark of a column: 0 none, 1 unchecked, 2 checked.
    int GetHeaderCheck(int column) const;              // -1 out of range
    bool SetHeaderCheck(int column, int mark);

    // Rows. A row beyond the end is appended; a negative row is refused (-1).
    int RowCount() const;
    int InsertRow(int row, const QString& text);
    bool DeleteRow(int row);
    void DeleteAllRows();
    bool SetCellText(int row, int column, const QString& text);
    QString GetCellText(int row, int column) const;    // empty out of range
    int GetRowData(int row) const;                     // 0 out of range
    bool SetRowData(int row, int value);

    bool MakeToggleCell(int row, int column);
    int GetToggle(int row, int column) const;          // -1 out of range
    bool SetToggle(int row, int column, int value);    // no exclusivity, no signal
    int GetCheck(int row, int column) const;           // -1 out of range or not a check box
    bool SetCheck(int row, int column, int state);
    bool SetCheckEnabled(int row, int column, bool enabled);
    bool SetRadio(int row, int column, bool radio);
    bool MakeChoiceCell(int row, int column, const QStringList& choices, int visibleRows = 10,
                        int initialChoice = 0);
    bool SetCellBold(int row, int column, bool bold);
    bool SetCellTextColour(int row, int column, int colorRef);   // -1 = the list's colour
    const SkinListCell* Cell(int row, int column) const;         // nullptr out of range

    // Selection (single). SelectRow selects and focuses the row.
    bool SelectRow(int row);
    int FirstSelectedRow() const;
    int FocusedRow() const;
    void ClearSelection();
    void EnsureRowVisible(int row);
    int TopRow() const;

    // Behaviour switches.
    void SetFullRowSelect(bool on);
    bool FullRowSelect() const;
    void SetAlternateRowColours(bool on);
    void SetRightClickSelects(bool on);
    void SetToggleCellsActive(bool on);
    void SetRowClickTogglesCheck(bool on);

    // Replaces the platform scroll bars by the skinned 14-pixel bars. Called once per list;
    // further calls do nothing.
    void AttachSkinScrollBars();
    bool SkinScrollBarsAttached() const;

    // Geometry in viewport coordinates, for hit testing and for tests.
    int RowHeight() const;
    QRect RowRect(int row) const;                      // empty out of range
    QRect CellRect(int row, int column) const;
    int RowAt(const QPoint& viewportPos) const;        // -1 below the last row
    int ColumnAt(const QPoint& viewportPos) const;

    CSkinHeaderCtrl* Header() const;
    CChoiceDropList* DropList() const;                 // the open drop-down, or nullptr

signals:
    // kMsgOnSelected: a left click on a row (or a right click when right-click selects is
    // on), before the list changes the selection or the cell.
    void RowSelected(CSkinListCtrl* list, int row);
    // kMsgActiveColumnClicked: after a click inverted a toggle cell.
    void ActiveColumnClicked(CSkinListCtrl* list, int column, int row);
    // kMsgCheckBoxClicked: after a click toggled a check-box cell.
    void CheckBoxClicked(CSkinListCtrl* list, int column, int row);
    // kMsgComboSelection: after a choice taken from a drop-down was written into its cell.
    void ComboSelection(CSkinListCtrl* list, int column, int row);
    // kMsgOnDoubleClick: a double click anywhere in the rows area.
    void DoubleClicked(CSkinListCtrl* list);
    // The Delete key on the focused row, which the list has just selected; the owner
    // removes it (or not) as its Remove command would.
    void RowDeleteRequested(CSkinListCtrl* list, int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Row {
        std::vector<QString> texts;
        std::vector<SkinListCell> cells;
    };

    SkinListCell* CellAt(int row, int column);
    const SkinListCell* CellAt(int row, int column) const;
    void RedrawCell(int row, int column);
    void UpdateScrollBars();
    void PlaceHeader();
    int FullyVisibleRows() const;
    int TotalColumnsWidth() const;
    int ColumnLeft(int column) const;
    void SelectByDefault(int row);
    void LeftButtonDown(const QPoint& pos);
    // A left click on the cell: the row is reported, then the cell reacts.
    void ClickCell(int row, int column);
    // The column Space and Return click in: the row's first toggle or check-box cell.
    int KeyboardColumn(int row) const;
    void DeleteFocusedRow();
    void SetFocusedRow(int row);
    void ChangeToggle(int row, int column, int value);
    void ToggleCheckBox(int row, int column);
    void UpdateHeaderCheck(int column);
    void OnHeaderClicked(int column);
    void OpenDropDown(int row, int column);
    void CloseDropDownRestoring();
    void TakeDropDownChoice(bool closeAfter);
    void DestroyDropDown();
    void PaintCell(class QPainter& painter, const SkinListColours& colours, int row, int column, const QRect& rect);

    std::vector<Row> rows;
    CSkinHeaderCtrl* header = nullptr;
    QPointer<CChoiceDropList> dropList;
    int dropRow = -1;
    int dropColumn = -1;
    QString dropOldText;
    int selectedRow = -1;
    int focusedRow = -1;
    int wheelRemainder = 0;
    int pendingVisibleRow = -1;   // asked for before the list had its real size
    bool fullRowSelect = false;
    bool alternateRowColours = true;
    bool rightClickSelects = false;
    bool toggleCellsActive = true;
    bool rowClickTogglesCheck = false;
    bool skinBarsAttached = false;
};
