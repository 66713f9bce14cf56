#pragma once

// The main window's layout: every control with its kind, caption and rectangle in
// dialog units, and the order Tab visits the controls in.

#include <span>

#include "ui/Resource.h"

enum class ControlKind {
    DropList,        // combo box, drop-down list (the rectangle's height includes the open list)
    Edit,
    ReadOnlyEdit,
    MultiLineEdit,
    NumericEdit,     // digits only: CFieldNumericEdit
    PushButton,
    DefPushButton,   // the button Return presses
    CheckBox,
    RadioButton,
    Slider,          // both sides, no ticks
    ValueList,       // CSkinListCtrl: report view, single selection, border
    Label,
    GroupBox,
};

struct ControlLayout {
    int id;              // kIdcStatic for labels and frames nobody addresses
    ControlKind kind;
    const char* caption;   // the English text, translated in the context "COrreryDlg"
    int left, top, width, height;   // dialog units
    bool visible;
    int buddy = kIdcStatic;   // labels: the control they name, which their mnemonic focuses
};

inline constexpr int kMainDialogWidth = 552;    // dialog units
inline constexpr int kMainDialogHeight = 473;
// Height of the closed field of a drop-down list, in dialog units.
inline constexpr int kDropListFieldHeight = 14;

std::span<const ControlLayout> MainDialogLayout();
// The controls Tab visits, as they stand on the screen: group by group, top to bottom
// and left to right within each (hidden ones keep their place for when they show).
std::span<const int> MainDialogTabOrder();
