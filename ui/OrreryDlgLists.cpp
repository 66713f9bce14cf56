// Editing the four value lists: adding a value, removing the selected row and
// choosing the row that is the profile's default (the checked "Default" cell).

#include "ui/OrreryDlg.h"

#include <QCheckBox>
#include <QComboBox>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/SkinListCtrl.h"
#include "editor/ChoiceLists.h"
#include "ui/ControlBinding.h"
#include "ui/DialogItems.h"

namespace {

constexpr int kDefaultColumn = 0;
constexpr int kValueColumn = 1;

bool HasValueText(const CSkinListCtrl* list, const QString& text)
{
    for (int row = 0; row < list->RowCount(); ++row) {
        if (list->GetCellText(row, kValueColumn) == text)
            return true;
    }
    return false;
}

// Appends an unchecked row; the first row of a list is its default.
void AppendValueRow(CSkinListCtrl* list, const QString& text, const int* rowData)
{
    const int row = AppendToggleRow(list, text, rowData);
    if (row >= 0 && list->RowCount() == 1)
        list->SetToggle(row, kDefaultColumn, 1);
}

void CheckOnly(CSkinListCtrl* list, int row)
{
    list->SetToggle(row, kDefaultColumn, 1);
    for (int other = 0; other < list->RowCount(); ++other) {
        if (other != row && list->GetToggle(other, kDefaultColumn) == 1)
            list->SetToggle(other, kDefaultColumn, 0);
    }
}

} // namespace

void COrreryDlg::OnAddFrameSize()
{
    auto* list = Item<CSkinListCtrl>(kIdcFrameSizes);
    std::vector<std::string> listed;
    for (int row = 0; row < list->RowCount(); ++row)
        listed.push_back(ToStd(list->GetCellText(row, kValueColumn)));
    const editor::FrameSizeCheck check = editor::CheckFrameSize(
        ToStd(EditBoxText(GetDlgItem(kIdcFrameWidth))), ToStd(EditBoxText(GetDlgItem(kIdcFrameHeight))), listed);
    if (!check.accepted) {
        Message(check.reason, PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    AppendValueRow(list, ToQt(check.text), nullptr);
    MarkChanged();
}

bool COrreryDlg::AddFromSelector(CSkinListCtrl* list, QComboBox* adder, ListKind kind)
{
    if (list == nullptr || adder == nullptr)
        return false;
    if (kind != ListKind::FrameRate && Item<QCheckBox>(kIdcCopySource)->isChecked())
        return false;
    if (adder->currentIndex() < 0)
        return false;
    const QString text = adder->currentText();
    if (HasValueText(list, text))
        return false;
    if (kind == ListKind::FrameRate) {
        const int rowData = FrameRateRowData(editor::FrameRateValue(ToStd(text)));
        AppendValueRow(list, text, &rowData);
    } else {
        AppendValueRow(list, text, nullptr);
    }
    MarkChanged();
    return true;
}

void COrreryDlg::RemoveSelectedRow(CSkinListCtrl* list)
{
    if (list == nullptr || list->RowCount() == 0)
        return;
    const int row = list->FirstSelectedRow();
    if (row < 0)
        return;
    const bool wasDefault = list->GetToggle(row, kDefaultColumn) == 1;
    list->DeleteRow(row);
    // A list with rows keeps a default.
    if (wasDefault && list->RowCount() > 0)
        list->SetToggle(0, kDefaultColumn, 1);
    MarkChanged();
}

bool COrreryDlg::IsValueList(const CSkinListCtrl* list) const
{
    return list != nullptr &&
           std::any_of(kValueLists.begin(), kValueLists.end(), [this, list](int id) { return GetDlgItem(id) == list; });
}

int COrreryDlg::OnListRowClicked(CSkinListCtrl* list, int row)
{
    MarkChanged();
    if (!IsValueList(list) || row < 0 || row >= list->RowCount())
        return 1;
    CheckOnly(list, row);
    list->SelectRow(row);
    return 1;
}

void COrreryDlg::OnDefaultCellClicked(CSkinListCtrl* list, int column, int row)
{
    // The list has just inverted the cell the click already checked; the clicked row
    // stays the default, whatever it was before.
    if (!IsValueList(list) || column != kDefaultColumn || row < 0 || row >= list->RowCount())
        return;
    CheckOnly(list, row);
}
