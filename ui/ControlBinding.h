#pragma once

// The control binding table: one static table ties each dotted profile key to a
// control of the main window and to the pair of handlers that move the value between
// the current profile and that control. The load pass runs after a profile is
// selected, the store pass before one is written; everything control-specific lives
// in the handlers.

#include <span>
#include <string>

namespace editor {
class CTypeFile;
}
class COrreryDlg;
class CSkinListCtrl;
class QString;
struct ControlBinding;

using BindingHandler = void (*)(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);

// controlKind values (carried for reference; handlers test the control itself).
inline constexpr int kBindCombo = 0;
inline constexpr int kBindEdit = 1;
inline constexpr int kBindValueList = 3;
inline constexpr int kBindSlider = 4;
inline constexpr int kBindCheckBox = 5;

// valueKind values: the shape of a row's value, which its handlers check.
inline constexpr int kValueNumber = 0;          // a number as typed (bitrates, the default rates)
inline constexpr int kValueText = 1;            // a text as it stands
inline constexpr int kValueRateList = 2;        // Hz or bit/s, shown in thousands with a unit
inline constexpr int kValueChoice = 3;          // a selector's item text
inline constexpr int kValueSizeList = 4;        // frame sizes "640x480"
inline constexpr int kValueFrameRateList = 5;   // frame rates, kept as frame-rate table indexes
inline constexpr int kValueDefaultSize = 6;     // the checked frame size
inline constexpr int kValueDefaultFrameRate = 7;// the checked frame rate

struct ControlBinding {
    const char* key;     // dotted key, or editor::keys::kProfileName, kProfileDescription, kProfileDevice, kPath
    int controlId;
    int valueKind;       // kValue...
    int controlKind;
    BindingHandler load; // null: the load pass skips the row
    BindingHandler store;
};

// The 31 rows, in pass order.
std::span<const ControlBinding> ControlBindings();

// The load pass and the store pass over the whole table. Both do nothing without a
// holder, a dialog or a current profile.
void LoadProfileToControls(editor::CTypeFile* typeFile, COrreryDlg* dialog);
void StoreControlsToProfile(editor::CTypeFile* typeFile, COrreryDlg* dialog);
// The load handlers of rows first to last (1-based, inclusive), in order.
void LoadBindingRows(int first, int last, editor::CTypeFile* typeFile, COrreryDlg* dialog);
// The store handlers of rows first to last, in order.
void StoreBindingRows(int first, int last, editor::CTypeFile* typeFile, COrreryDlg* dialog);

// Rows 16 to 23: the sample-rate and audio-bitrate lists with their default marks.
inline constexpr int kFirstAudioListRow = 16;
inline constexpr int kLastAudioListRow = 23;

// The handlers.
void LoadEditText(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void StoreEditText(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void LoadNumberEdit(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void StoreNumberEdit(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void LoadBitrateSlider(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void StoreComboText(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void StoreVideoCodecName(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void StoreAudioCodecName(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void StoreCopyCheck(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void LoadValueList(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void LoadFrameRateList(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void LoadDefaultMark(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void StoreDefaultValue(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void StoreDefaultFrameRate(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void StoreValueList(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);
void StoreFrameRateList(const ControlBinding& row, editor::CTypeFile* typeFile, COrreryDlg* dialog);

// The frame rates a frame-rate list row can stand for; a row with one of them keeps its
// index as its row data (see kOwnFrameRate for the others). Index 0, "0", is the
// source's own rate.
inline constexpr int kFrameRateCount = 12;
inline constexpr const char* kFrameRateTable[kFrameRateCount] = {
    "0", "10", "12", "14", "14.985", "15", "20", "23.976", "24", "25", "29.97", "30",
};
// The index of a rate text (exact comparison); a text the table lacks gets the index
// of "24".
int FrameRateIndex(const std::string& text);
inline constexpr int kUnknownFrameRateIndex = 8;
// The rate text of an index, or null outside the table.
const char* FrameRateText(int index);

// Row data of a frame-rate row whose rate the table lacks ("50", "60" from a
// configuration or a profile): such a row keeps its rate as its own text, so it is
// shown, stored and matched as that text instead of being taken for another rate.
inline constexpr int kOwnFrameRate = -1;
// The row data for a rate: its table index, or kOwnFrameRate.
int FrameRateRowData(const std::string& rate);
// The rate a frame-rate row stands for: the table text of its row data, or, for a
// row with a rate of its own, its shown text without the " fps" suffix.
std::string FrameRateOfRow(const CSkinListCtrl* list, int row);

// Appends a row to a value list: the text in the value column, a toggle cell for the
// default mark (off), and the row data when given. Returns the row, or -1.
int AppendToggleRow(CSkinListCtrl* list, const QString& text, const int* rowData);

// A text read as a whole decimal number the way the bitrate controls read it: leading
// blanks, a sign, digits; anything else ends it, no digits give 0, and values beyond
// int are clamped.
int DecimalValue(const std::string& text);
