#include "controls/NumericBehavior.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <random>
#include <string>

namespace {

std::string Narrow(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

// "12|34" or "1[23]4": the text with the caret or selection marked, so a case reads as
// the user sees the field.
EditState Parse(std::u16string_view marked)
{
    EditState state;
    for (char16_t c : marked) {
        if (c == u'|') {
            state.selStart = state.selEnd = static_cast<int>(state.text.size());
        } else if (c == u'[') {
            state.selStart = static_cast<int>(state.text.size());
        } else if (c == u']') {
            state.selEnd = static_cast<int>(state.text.size());
        } else {
            state.text.push_back(c);
        }
    }
    return state;
}

std::string Show(const EditState& state)
{
    std::u16string out = state.text;
    if (state.selStart == state.selEnd) {
        out.insert(size_t(state.selStart), 1, u'|');
    } else {
        out.insert(size_t(state.selEnd), 1, u']');
        out.insert(size_t(state.selStart), 1, u'[');
    }
    return Narrow(out);
}

EditState Type(const NumericBehavior& rules, EditState state, std::u16string_view keys)
{
    for (char16_t c : keys)
        state = rules.HandleChar(state, c);
    return state;
}

struct NormalCase {
    const char16_t* input;
    const char* expected;
};

TEST(NumericBehaviorNormalize, CutsTextDownToTheFieldShape)
{
    const NumericBehavior rules(9, 4);
    const NormalCase cases[] = {
        {u"12a3", "123"},
        {u"1,234.56789", "1234.5678"},
        {u"abc", ""},
        {u"", ""},
        {u"1234567890", "123456789"},               // further whole digits are dropped
        {u"1234567890.12", "123456789.12"},         // ... and the walk goes on
        {u"12.3.4", "12.34"},                       // a second point is dropped
        {u".123456", ".1234"},                      // the fifth decimal ends the walk
        {u"1.23456789", "1.2345"},
        {u"5-", "-5"},                              // the sign goes in front
        {u"--5", "-5"},
        {u"-", "-"},
        {u"1 000", "1000"},
    };
    for (const NormalCase& c : cases)
        EXPECT_EQ(Narrow(rules.NormalizedText(c.input)), c.expected) << Narrow(c.input);
}

TEST(NumericBehaviorNormalize, HonoursZeroDecimalsAndForbiddenNegatives)
{
    const NumericBehavior wholeOnly(9, 0);
    EXPECT_EQ(Narrow(wholeOnly.NormalizedText(u"12.5")), "12");
    const NumericBehavior positive(-5, 2);
    EXPECT_FALSE(positive.NegativesAllowed());
    EXPECT_EQ(positive.WholeDigits(), 5);
    EXPECT_EQ(Narrow(positive.NormalizedText(u"-1234567.891")), "12345.89");
}

TEST(NumericBehaviorNormalize, NumericTextKeepsDigitsFirstPointAndSign)
{
    const NumericBehavior rules(9, 4);
    EXPECT_EQ(Narrow(rules.NumericText(u"a1-2.3.4x")), "-12.34");
    EXPECT_EQ(Narrow(rules.NumericText(u"12345678901")), "12345678901");  // no limits here
}

struct EditCase {
    const char16_t* before;
    char16_t key;
    const char* after;
};

TEST(NumericBehaviorTyping, FollowsTheRulesForEachCharacter)
{
    const NumericBehavior rules(9, 4);
    const EditCase cases[] = {
        // digits before the point
        {u"123456789|", u'0', "123456789|"},        // tenth digit at the end: dropped
        {u"12|3456789", u'5', "125|456789"},        // inside a full whole part: overtypes
        {u"[123456789]", u'5', "5|"},                // a selection to the end is replaced
        {u"12[34]56789", u'0', "120|456789"},        // otherwise only the next character
        {u"123456789|.5", u'1', "123456789|.5"},
        {u"12|34", u'9', "129|34"},
        {u"-123456789|", u'1', "-123456789|"},       // the sign does not count as a digit
        {u"-12345678|", u'9', "-123456789|"},
        // digits after the point
        {u"1.23|", u'4', "1.234|"},
        {u"1.2345|", u'6', "1.2345|"},               // decimals full, caret at the end
        {u"1.|2345", u'9', "1.9|345"},               // decimals full, elsewhere: overtypes
        // the decimal point
        {u"|3.14", u'.', "3.|14"},                   // jumps past the existing point
        {u"3.14|", u'.', "3.|14"},
        {u"3|14", u'.', "3.|14"},
        {u"3[.]14", u'.', "3.|14"},                  // the point inside the selection is retyped
        {u"[3.1]4", u'.', ".|4"},
        // the negative sign
        {u"42|", u'-', "-42|"},
        {u"4|2", u'-', "-4|2"},
        {u"-42|", u'-', "42|"},
        {u"|42", u'-', "-|42"},
        {u"|-42", u'-', "-|42"},                     // typed over the sign: nothing changes
        {u"4[2]", u'-', "-4[2]"},
        {u"|", u'-', "-|"},
        // anything else
        {u"12|", u'a', "12|"},
        {u"12|", u' ', "12|"},
        {u"12|", u',', "12|"},
        {u"1.|5", 0x08, "1|5"},                      // Backspace over the point
        {u"|15", 0x08, "|15"},
        {u"1[23]4", 0x08, "1|4"},
        {u"123456789.|1234", 0x08, "123456789|"},    // joined digits beyond the limit go
        {u"12|", 0x03, "12|"},                       // other control characters change nothing
    };
    for (const EditCase& c : cases) {
        const EditState after = rules.HandleChar(Parse(c.before), c.key);
        EXPECT_EQ(Show(after), c.after) << "typing " << Narrow(std::u16string(1, c.key)) << " into "
                                        << Narrow(c.before);
    }
}

TEST(NumericBehaviorTyping, TypedSequences)
{
    const NumericBehavior rules(9, 4);
    EXPECT_EQ(Show(Type(rules, {}, u"12a3")), "123|");
    EXPECT_EQ(Show(Type(rules, {}, u"3.14159")), "3.1415|");
    EXPECT_EQ(Show(Type(rules, Parse(u"42|"), u"--")), "42|");
    EXPECT_EQ(Show(Type(rules, {}, u"1234567890")), "123456789|");
}

TEST(NumericBehaviorTyping, ReadOnlyAndZeroDecimals)
{
    const NumericBehavior rules(9, 4);
    EXPECT_EQ(Show(rules.HandleChar(Parse(u"12|"), u'3', true)), "12|");
    const NumericBehavior wholeOnly(9, 0);
    EXPECT_EQ(Show(wholeOnly.HandleChar(Parse(u"12|"), u'.')), "12|");
    const NumericBehavior positive(-9, 2);
    EXPECT_EQ(Show(positive.HandleChar(Parse(u"12|"), u'-')), "12|");
}

TEST(NumericBehaviorKeys, DeleteIsOursAndReformats)
{
    const NumericBehavior rules(9, 4);
    const struct {
        const char16_t* before;
        const char* after;
    } cases[] = {
        {u"1|.5", "1|5"},
        {u"15|", "15|"},
        {u"1[2.3]4", "1|4"},
        {u"12[34]", "12|"},
        {u"123456789|.1234", "123456789|"},
    };
    for (const auto& c : cases) {
        EditState state = Parse(c.before);
        ASSERT_TRUE(rules.HandleKeyDown(state, EditKey::Delete));
        EXPECT_EQ(Show(state), c.after) << Narrow(c.before);
    }
    EditState untouched = Parse(u"1|2");
    EXPECT_FALSE(rules.HandleKeyDown(untouched, EditKey::Other));
    EXPECT_EQ(Show(untouched), "1|2");
    EditState readOnly = Parse(u"1|2");
    EXPECT_TRUE(rules.HandleKeyDown(readOnly, EditKey::Delete, true));
    EXPECT_EQ(Show(readOnly), "1|2");
}

TEST(NumericBehaviorClipboard, PasteCutAndProgrammaticText)
{
    const NumericBehavior rules(9, 4);
    // Normalised paste: the selection goes back to where it was before the paste.
    EXPECT_EQ(Show(rules.HandlePaste(Parse(u"|"), u"1,234.56789")), "|1234.5678");
    EXPECT_EQ(Show(rules.HandlePaste(Parse(u"9[9]"), u"x12")), "9[1]2");
    // Text that needs no change keeps the caret after it.
    EXPECT_EQ(Show(rules.HandlePaste(Parse(u"12|34"), u"5")), "125|34");
    EXPECT_EQ(Show(rules.HandlePaste(Parse(u"|"), u"12\n34")), "12|");

    EXPECT_EQ(Show(rules.HandleCut(Parse(u"12[34]"))), "12|");
    EXPECT_EQ(Show(rules.HandleCut(Parse(u"12|34"))), "12|34");
    // Cutting the point out cannot leave more whole digits than allowed.
    EXPECT_EQ(Show(rules.HandleCut(Parse(u"123456789[.]1234"))), "123456789|");

    EXPECT_EQ(Show(rules.HandleSetText(u"abc")), "|");
    EXPECT_EQ(Show(rules.HandleSetText(u"12x.5")), "12.5|");
}

TEST(NumericBehaviorSymbols, LocaleSymbolsReplaceTheDefaults)
{
    NumericBehavior rules(9, 4);
    EXPECT_EQ(rules.NegativeSign(), u'-');
    EXPECT_EQ(rules.DecimalPoint(), u'.');
    EXPECT_EQ(rules.GroupSeparator(), u',');

    rules.SetSymbols(u"", u",", u".");
    EXPECT_EQ(rules.NegativeSign(), u'-');     // empty: the default stays
    EXPECT_EQ(rules.DecimalPoint(), u',');
    EXPECT_EQ(Narrow(rules.NormalizedText(u"1.234,56789")), "1234,5678");
    EXPECT_EQ(Show(rules.HandleChar(Parse(u"12|"), u'.')), "12|");
    EXPECT_DOUBLE_EQ(rules.Value(u"-12,5"), -12.5);

    NumericBehavior clash(9, 4);
    clash.SetSymbols(u"-", u",", u",");
    EXPECT_EQ(clash.GroupSeparator(), u'.');
    clash.SetSymbols(u"-", u".", u".");
    EXPECT_EQ(clash.GroupSeparator(), u',');
}

TEST(NumericBehaviorRange, ValueAndRangeMessages)
{
    NumericBehavior rules(9, 4);
    EXPECT_DOUBLE_EQ(rules.Value(u""), 0);
    EXPECT_DOUBLE_EQ(rules.Value(u"-"), 0);
    EXPECT_DOUBLE_EQ(rules.Value(u"-12.5"), -12.5);
    EXPECT_TRUE(rules.InRange(u"-999999999.9999"));
    EXPECT_EQ(Narrow(rules.RangeErrorText()), "Please specify a valid numeric value.");

    rules.SetRange(1.5, 10);
    EXPECT_FALSE(rules.InRange(u"1.4999"));
    EXPECT_TRUE(rules.InRange(u"1.5"));
    EXPECT_TRUE(rules.InRange(u"10"));
    EXPECT_FALSE(rules.InRange(u"10.0001"));
    EXPECT_EQ(Narrow(rules.RangeErrorText()), "Please specify a numeric value between 1.5 and 10.");

    rules.SetRange(std::numeric_limits<double>::lowest(), 100.25);
    EXPECT_EQ(Narrow(rules.RangeErrorText()), "Please specify a numeric value less than or equal to 100.25.");
    rules.SetRange(-3, std::numeric_limits<double>::max());
    EXPECT_EQ(Narrow(rules.RangeErrorText()), "Please specify a numeric value greater than or equal to -3.");

    rules.SetSymbols(u"-", u",", u".");
    rules.SetRange(0.5, 2);
    EXPECT_EQ(Narrow(rules.RangeErrorText()), "Please specify a numeric value between 0,5 and 2.");
}

// Bitrates and frame sizes: what the user types or pastes is a whole number or nothing.
TEST(NumericBehaviorWholeNumbers, SignPointAndOtherPastesChangeNothing)
{
    NumericBehavior rules(9, 4);
    rules.SetWholeNumbers(true);
    EXPECT_EQ(Show(rules.HandleChar(Parse(u"15|00"), u'.')), "15|00");
    EXPECT_EQ(Show(rules.HandleChar(Parse(u"|2500"), u'-')), "|2500");
    EXPECT_EQ(Show(rules.HandleChar(Parse(u"25|00"), u'-')), "25|00");
    for (const char16_t* clip : {u"1500.5", u"-2500", u"1,500", u"12a", u"", u" "})
        EXPECT_EQ(Show(rules.HandlePaste(Parse(u"9[9]"), clip)), "9[9]") << Narrow(clip);
    EXPECT_EQ(Show(rules.HandlePaste(Parse(u"9[9]"), u" 0640 \n")), "90640|");
    // A value a file holds is shown as it stands.
    EXPECT_EQ(Show(rules.HandleSetText(u"-1500.5")), "-1500.5|");

    rules.SetSymbols(u"-", u",", u".");
    EXPECT_EQ(Show(rules.HandleChar(Parse(u"15|"), u',')), "15|");
}

// Qt programs take the user's locale for the C library at start; nothing a field
// stores or reports may follow it.
TEST(NumericBehaviorLocale, StoredTextAndMessagesInAGermanLocale)
{
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "the de_DE.UTF-8 locale is missing; scripts/install-deps generates it";
    NumericBehavior rules(9, 4);
    rules.SetSymbols(u"-", u",", u".");
    EXPECT_EQ(Narrow(rules.ShownText("-1500.5")), "-1500,5");
    EXPECT_EQ(rules.StoredText(u"-1500,5"), "-1500.5");
    EXPECT_EQ(Narrow(rules.ShownText("1,234")), "1234");
    EXPECT_DOUBLE_EQ(rules.Value(u"1500,25"), 1500.25);
    rules.SetRange(0.5, 5000);
    const std::string message = Narrow(rules.RangeErrorText());
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(message, "Please specify a numeric value between 0,5 and 5000.");
}

// Whatever the user does, starting from any text and selection, the field ends in its
// shape with the selection inside the text.
TEST(NumericBehaviorInvariant, EveryEditEndsNormalised)
{
    const NumericBehavior rules(4, 2);
    const std::u16string alphabet = u"0123456789.-,a \x08";
    std::mt19937 random(20240607);
    for (int round = 0; round < 3000; ++round) {
        EditState state;  // normalised text, but any selection, even outside the text
        const int length = int(random() % 9);
        for (int i = 0; i < length; ++i)
            state.text.push_back(alphabet[random() % alphabet.size()]);
        state.selStart = int(random() % 12) - 1;
        state.selEnd = int(random() % 12) - 1;
        state.text = rules.NormalizedText(state.text);
        const char16_t key = alphabet[random() % alphabet.size()];
        EditState after;
        switch (random() % 4) {
        case 0:
            after = rules.HandleChar(state, key);
            break;
        case 1:
            after = rules.HandlePaste(state, state.text);
            break;
        case 2:
            after = rules.HandleCut(state);
            break;
        default:
            after = state;
            rules.HandleKeyDown(after, EditKey::Delete);
            break;
        }
        EXPECT_EQ(after.text, rules.NormalizedText(after.text)) << Narrow(state.text) << " key " << int(key);
        EXPECT_LE(0, after.selStart);
        EXPECT_LE(after.selStart, after.selEnd);
        EXPECT_LE(after.selEnd, int(after.text.size()));
    }
}

}  // namespace
