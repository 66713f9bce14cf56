#include "controls/NumericBehavior.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int Length(const std::u16string& text)
{
    return static_cast<int>(text.size());
}

int IndexOf(const std::u16string& text, char16_t c)
{
    const auto at = text.find(c);
    return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

// The state with its selection ordered and inside the text, so no rule below has to
// guard against a caller's stale positions.
EditState Clamped(const EditState& state)
{
    EditState out = state;
    const int length = Length(out.text);
    out.selStart = std::clamp(out.selStart, 0, length);
    out.selEnd = std::clamp(out.selEnd, 0, length);
    if (out.selStart > out.selEnd)
        std::swap(out.selStart, out.selEnd);
    return out;
}

// What a plain edit field does with typed or pasted text: it replaces the selection and
// leaves the caret after the new text.
EditState ReplaceSelection(const EditState& state, std::u16string_view insert)
{
    EditState out;
    out.text = state.text.substr(0, static_cast<size_t>(state.selStart));
    out.text.append(insert);
    out.text.append(state.text.substr(static_cast<size_t>(state.selEnd)));
    out.selStart = out.selEnd = state.selStart + static_cast<int>(insert.size());
    return out;
}

std::u16string_view TrimBlanks(std::u16string_view text)
{
    const auto first = text.find_first_not_of(u" \t");
    if (first == std::u16string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(u" \t") + 1 - first);
}

std::u16string FormatLimit(double value, char16_t decimalPoint)
{
    // Six decimals as "%f" gives them, but with "." whatever the C library's locale.
    // Wide enough for the largest double printed in full.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    std::string text(buffer, result.ec == std::errc() ? result.ptr : buffer);
    const auto point = text.find('.');
    if (point != std::string::npos) {
        while (!text.empty() && text.back() == '0')
            text.pop_back();
        if (!text.empty() && text.back() == '.')
            text.pop_back();
    }
    std::u16string out;
    for (char c : text)
        out.push_back(c == '.' ? decimalPoint : static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

NumericBehavior::NumericBehavior(int wholeDigits, int decimalPlaces)
    : wholeDigits(wholeDigits < 0 ? -wholeDigits : wholeDigits),
      decimalPlaces(std::max(decimalPlaces, 0)),
      minimum(std::numeric_limits<double>::lowest()),
      maximum(std::numeric_limits<double>::max())
{
    if (wholeDigits < 0)
        options |= kNoNegatives;
}

void NumericBehavior::SetWholeNumbers(bool on)
{
    if (on)
        options |= kWholeNumbers;
    else
        options &= ~kWholeNumbers;
}

void NumericBehavior::SetSymbols(std::u16string_view negative, std::u16string_view decimal,
                                 std::u16string_view group)
{
    if (!negative.empty())
        negativeSign = negative.front();
    if (!decimal.empty())
        decimalPoint = decimal.front();
    if (!group.empty())
        groupSeparator = group.front();
    if (decimalPoint == groupSeparator)
        groupSeparator = decimalPoint == u',' ? u'.' : u',';
}

void NumericBehavior::SetRange(double minimumValue, double maximumValue)
{
    minimum = minimumValue;
    maximum = maximumValue;
}

std::u16string NumericBehavior::NumericText(std::u16string_view text) const
{
    std::u16string out;
    bool negative = false;
    bool point = false;
    for (char16_t c : text) {
        if (IsDigit(c)) {
            out.push_back(c);
        } else if (c == decimalPoint && !point) {
            out.push_back(c);
            point = true;
        } else if (c == negativeSign) {
            negative = true;
        }
    }
    if (negative)
        out.insert(out.begin(), negativeSign);
    return out;
}

std::u16string NumericBehavior::NormalizedText(std::u16string_view text) const
{
    std::u16string out;
    bool negative = false;
    bool point = false;
    int wholeCount = 0;
    int decimalCount = 0;
    for (char16_t c : text) {
        if (c == negativeSign && NegativesAllowed()) {
            negative = true;
        } else if (IsDigit(c)) {
            if (point) {
                if (decimalCount >= decimalPlaces)
                    break;
                out.push_back(c);
                ++decimalCount;
            } else if (wholeCount < wholeDigits) {
                out.push_back(c);
                ++wholeCount;
            }
        } else if (c == decimalPoint && !point) {
            if (decimalPlaces == 0)
                break;
            out.push_back(c);
            point = true;
        }
    }
    if (negative)
        out.insert(out.begin(), negativeSign);
    return out;
}

std::string NumericBehavior::StoredText(std::u16string_view shown) const
{
    std::string stored;
    for (char16_t c : NumericText(shown)) {
        if (c == negativeSign)
            stored.push_back('-');
        else if (c == decimalPoint)
            stored.push_back('.');
        else
            stored.push_back(static_cast<char>(c));
    }
    return stored;
}

std::u16string NumericBehavior::ShownText(std::string_view stored) const
{
    std::u16string shown;
    for (char c : stored) {
        if (c == '-')
            shown.push_back(negativeSign);
        else if (c == '.')
            shown.push_back(decimalPoint);
        else if (c >= '0' && c <= '9')
            shown.push_back(static_cast<char16_t>(c));
    }
    return NormalizedText(shown);
}

double NumericBehavior::Value(std::u16string_view text) const
{
    // Converted from the stored form, which from_chars reads the same in every locale.
    const std::string plain = StoredText(text);
    double value = 0;
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (result.ec != std::errc())
        return 0;
    return value;
}

bool NumericBehavior::InRange(std::u16string_view text) const
{
    const double value = Value(text);
    return value >= minimum && value <= maximum;
}

std::u16string NumericBehavior::RangeErrorText() const
{
    const bool hasMinimum = minimum > std::numeric_limits<double>::lowest();
    const bool hasMaximum = maximum < std::numeric_limits<double>::max();
    if (hasMinimum && hasMaximum)
        return u"Please specify a numeric value between " + FormatLimit(minimum, decimalPoint) + u" and " +
               FormatLimit(maximum, decimalPoint) + u".";
    if (hasMaximum)
        return u"Please specify a numeric value less than or equal to " + FormatLimit(maximum, decimalPoint) + u".";
    if (hasMinimum)
        return u"Please specify a numeric value greater than or equal to " + FormatLimit(minimum, decimalPoint) +
               u".";
    return u"Please specify a valid numeric value.";
}

EditState NumericBehavior::Reformat(const EditState& state) const
{
    const EditState in = Clamped(state);
    std::u16string normal = NormalizedText(in.text);
    if (normal == in.text)
        return in;
    EditState out;
    out.selStart = std::min(in.selStart, Length(normal));
    out.selEnd = std::min(in.selEnd, Length(normal));
    out.text = std::move(normal);
    return out;
}

EditState NumericBehavior::Overtype(const EditState& state, char16_t c) const
{
    // Replaces the character after the caret, or the whole selection when it runs to the
    // end of the text.
    EditState replaced = state;
    if (state.selStart < state.selEnd && state.selEnd == Length(state.text)) {
        replaced = ReplaceSelection(state, std::u16string_view(&c, 1));
    } else {
        replaced.selEnd = std::min(state.selStart + 1, Length(state.text));
        replaced = ReplaceSelection(replaced, std::u16string_view(&c, 1));
    }
    return Reformat(replaced);
}

EditState NumericBehavior::HandleChar(const EditState& original, char16_t c, bool readOnly) const
{
    const EditState state = Clamped(original);
    if (readOnly)
        return state;
    if (WholeNumbers() && (c == negativeSign || c == decimalPoint))
        return state;

    const std::u16string& text = state.text;
    const std::u16string numeric = NumericText(text);
    const int start = state.selStart;
    const int end = state.selEnd;
    const int pointInText = IndexOf(text, decimalPoint);
    const int pointInNumeric = IndexOf(numeric, decimalPoint);
    const std::u16string_view typed(&c, 1);

    if (c == negativeSign && NegativesAllowed()) {
        const bool hasSign = !text.empty() && text.front() == negativeSign;
        if (start == 0) {
            if (!hasSign)
                return Reformat(ReplaceSelection(state, typed));
            // Typing the sign over the sign: the text stays, the caret steps past it.
            return EditState{text, 1, 1};
        }
        EditState toggled;
        if (hasSign) {
            toggled.text = text.substr(1);
            toggled.selStart = start - 1;
            toggled.selEnd = end - 1;
        } else {
            toggled.text = negativeSign + text;
            toggled.selStart = start + 1;
            toggled.selEnd = end + 1;
        }
        return Reformat(toggled);
    }

    if (c == decimalPoint && decimalPlaces > 0) {
        if (pointInText < 0 || (pointInText >= start && pointInText < end))
            return Reformat(ReplaceSelection(state, typed));
        return EditState{text, pointInText + 1, pointInText + 1};
    }

    if (IsDigit(c)) {
        if (pointInText < 0 || start <= pointInText) {
            const int wholeLength = pointInNumeric < 0 ? Length(numeric) : pointInNumeric;
            const bool signed_ = !numeric.empty() && numeric.front() == negativeSign;
            const bool full = wholeLength >= wholeDigits + (signed_ ? 1 : 0);
            const int wholeEnd = pointInText < 0 ? Length(text) : pointInText;
            if (!full)
                return Reformat(ReplaceSelection(state, typed));
            if (start == wholeEnd)
                return state;
            return Overtype(state, c);
        }
        const int decimals = Length(numeric) - pointInNumeric - 1;
        if (decimals < decimalPlaces)
            return Reformat(ReplaceSelection(state, typed));
        if (start != Length(text))
            return Overtype(state, c);
        return state;
    }

    if (c >= 0x20 && c != 0x7F)
        return state;  // any other printable character is refused without a sound

    if (c == 0x08) {
        EditState erased = state;
        if (erased.selStart == erased.selEnd) {
            if (erased.selStart == 0)
                return Reformat(state);
            --erased.selStart;
        }
        return Reformat(ReplaceSelection(erased, u""));
    }
    return Reformat(state);
}

bool NumericBehavior::HandleKeyDown(EditState& state, EditKey key, bool readOnly) const
{
    if (key != EditKey::Delete)
        return false;
    EditState current = Clamped(state);
    if (readOnly) {
        state = current;
        return true;
    }
    const bool reachedEnd = current.selEnd == Length(current.text);
    const int oldStart = current.selStart;
    if (current.selStart == current.selEnd) {
        if (current.selEnd == Length(current.text)) {
            state = Reformat(current);
            return true;
        }
        ++current.selEnd;
    }
    EditState out = Reformat(ReplaceSelection(current, u""));
    if (reachedEnd)
        out.selStart = out.selEnd = std::min(oldStart, Length(out.text));
    state = out;
    return true;
}

EditState NumericBehavior::HandlePaste(const EditState& original, std::u16string_view clip) const
{
    const EditState state = Clamped(original);
    // A single-line field takes the clipboard text up to its first line break.
    const auto lineEnd = clip.find_first_of(u"\r\n");
    if (lineEnd != std::u16string_view::npos)
        clip = clip.substr(0, lineEnd);
    if (WholeNumbers()) {
        clip = TrimBlanks(clip);
        if (clip.empty() || !std::all_of(clip.begin(), clip.end(), IsDigit))
            return state;
    }
    const EditState pasted = ReplaceSelection(state, clip);
    std::u16string normal = NormalizedText(pasted.text);
    if (normal == pasted.text)
        return pasted;
    EditState out;
    out.selStart = std::min(state.selStart, Length(normal));
    out.selEnd = std::min(state.selEnd, Length(normal));
    out.text = std::move(normal);
    return out;
}

EditState NumericBehavior::HandleCut(const EditState& original) const
{
    const EditState state = Clamped(original);
    if (state.selStart == state.selEnd)
        return state;
    // Re-formatted like every other change, so cutting the decimal point out cannot leave
    // more whole digits than the field allows.
    return Reformat(ReplaceSelection(state, u""));
}

EditState NumericBehavior::HandleSetText(std::u16string_view text) const
{
    EditState out;
    out.text = NormalizedText(text);
    out.selStart = out.selEnd = Length(out.text);
    return out;
}
