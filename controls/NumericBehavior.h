#pragma once

#include <string>
#include <string_view>

// Text and selection of an edit field. Positions are UTF-16 code units, as the widget
// counts them; selStart <= selEnd.
struct EditState {
    std::u16string text;
    int selStart = 0;
    int selEnd = 0;

    bool operator==(const EditState&) const = default;
};

enum class EditKey { Delete, Other };

// The rules of the numeric edit, free of any widget: each Handle... takes the field's text
// and selection and the user's action and gives the field's new text and selection.
class NumericBehavior {
public:
    static constexpr unsigned kNoNegatives = 0x1000;
    static constexpr unsigned kWholeNumbers = 0x2000;

    // A negative wholeDigits forbids negative numbers; its absolute value is the limit.
    NumericBehavior(int wholeDigits, int decimalPlaces);

    // Takes the first character of each non-empty text in place of "-", "." and ",". When
    // the decimal point and group separator end up equal, the separator gives way.
    void SetSymbols(std::u16string_view negative, std::u16string_view decimal, std::u16string_view group);
    char16_t NegativeSign() const { return negativeSign; }
    char16_t DecimalPoint() const { return decimalPoint; }
    char16_t GroupSeparator() const { return groupSeparator; }
    int WholeDigits() const { return wholeDigits; }
    int DecimalPlaces() const { return decimalPlaces; }
    unsigned Options() const { return options; }
    bool NegativesAllowed() const { return (options & kNoNegatives) == 0; }

    // Whole numbers only: a typed negative sign or decimal point changes nothing, and
    // neither does a paste that is not a whole number. Text the program sets keeps the
    // field's shape rules, so a value a file holds is shown as it stands.
    void SetWholeNumbers(bool on);
    bool WholeNumbers() const { return (options & kWholeNumbers) != 0; }

    void SetRange(double minimum, double maximum);
    double Minimum() const { return minimum; }
    double Maximum() const { return maximum; }

    // Digits, the first decimal point, and the negative sign moved to the front when one
    // occurs anywhere; nothing else.
    std::u16string NumericText(std::u16string_view text) const;
    // The text cut down to the field's shape: [sign] whole digits [point decimals].
    std::u16string NormalizedText(std::u16string_view text) const;
    double Value(std::u16string_view text) const;          // 0 for an empty number
    // The number as a file stores it, whatever the field's symbols: "-" and "." and no
    // group separators. ShownText is the reverse, cut to the field's shape; in stored
    // text only digits, "-" and "." count, so a locale's symbols never change its value.
    std::string StoredText(std::u16string_view shown) const;
    std::u16string ShownText(std::string_view stored) const;
    bool InRange(std::u16string_view text) const;          // limits inclusive
    std::u16string RangeErrorText() const;

    // A typed character (control characters such as Backspace included).
    EditState HandleChar(const EditState& state, char16_t c, bool readOnly = false) const;
    // A key press; false means the key is not ours and takes the field's own handling.
    bool HandleKeyDown(EditState& state, EditKey key, bool readOnly = false) const;
    // Clipboard text pasted over the selection.
    EditState HandlePaste(const EditState& state, std::u16string_view clip) const;
    // The selection removed (after it was copied).
    EditState HandleCut(const EditState& state) const;
    // Text set by the program; the caret goes to the end.
    EditState HandleSetText(std::u16string_view text) const;
    // Re-formatting after any change: the normalised text, the selection kept where it fits.
    EditState Reformat(const EditState& state) const;

private:
    EditState Overtype(const EditState& state, char16_t c) const;

    int wholeDigits;
    int decimalPlaces;
    unsigned options = 0;
    char16_t negativeSign = u'-';
    char16_t decimalPoint = u'.';
    char16_t groupSeparator = u',';
    double minimum;
    double maximum;
};
