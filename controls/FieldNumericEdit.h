#pragma once

#include "controls/FieldEdit.h"
#include "controls/NumericBehavior.h"

#include <string>

// Single-line edit that only ever holds a decimal number of a bounded shape: an optional
// negative sign, at most wholeDigits digits before the decimal point and at most
// decimalPlaces after it. Keystrokes are filtered as typed; every other change (Delete,
// Backspace, paste, cut, programmatic text, undo, drops) is cut down to that shape.
//
// The rules live in NumericBehavior; this class only moves the text and selection between
// the QLineEdit and it. setText/insert/paste/cut are routed when called through this class;
// the same calls made through a QLineEdit pointer are caught after the fact and normalised.
class CFieldNumericEdit : public CFieldEdit {
    Q_OBJECT

public:
    // A negative wholeDigits forbids negative numbers (its absolute value is the limit).
    CFieldNumericEdit(int wholeDigits, int decimalPlaces, QWidget* parent = nullptr);

    NumericBehavior& Behavior();
    const NumericBehavior& Behavior() const;

    // Whole numbers only (NumericBehavior::SetWholeNumbers). Drops are refused then,
    // as they would bypass the paste rule.
    void SetWholeNumbers(bool on);

    // The value as a profile stores it ("-" and ".", no group separators), and showing a
    // stored value in the locale's symbols. Use these, not text(), to move values
    // between a file and the field.
    std::string StoredText() const;
    void SetStoredText(const std::string& stored);

    QString NormalizedText() const override;
    double Value() const;
    bool InRange() const;
    QString RangeErrorText() const;
    // Tells the user the allowed range in a warning message box.
    void ReportRangeError();

    // Routed replacements of the QLineEdit operations of the same names.
    void setText(const QString& text);
    void insert(const QString& text);
    void paste();
    void cut();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    EditState CurrentState() const;
    void Apply(const EditState& state);
    // The Delete key's work: the selection, or the digit after the cursor, goes.
    void DeleteForward();
    void OnTextChanged();

    NumericBehavior behavior;
    bool reformatting = false;
};
