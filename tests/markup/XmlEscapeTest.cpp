#include <gtest/gtest.h>

#include <random>
#include <string>

#include "markup/XmlDoc.h"

namespace {

std::string Unescape(const std::string& text)
{
    return CXmlDoc::UnescapeMarkup(text.data(), static_cast<int>(text.size()));
}

} // namespace

TEST(XmlUnescape, References)
{
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"&lt;&amp;&gt;&apos;&quot;", "<&>'\""},
        {"&amp;lt;", "&lt;"},
        {"&#65;&#x41;", "AA"},
        {"&#127;&#128;", "\x7F\xC2\x80"},
        {"&#233;", "\xC3\xA9"},
        {"&#2047;&#2048;", "\xDF\xBF\xE0\xA0\x80"},
        {"&#xFFFF;", "\xEF\xBF\xBF"},
        {"&#x1F600;", "\xF0\x9F\x98\x80"},
        {"&#0065536;", "\xF0\x90\x80\x80"},
        {"&#x10FFFF;", "\xF4\x8F\xBF\xBF"},
        // Not decoded: zero, no digits, beyond Unicode, surrogates, negative values.
        {"&#0;", "&#0;"},
        {"&#;", "&#;"},
        {"&#x;", "&#x;"},
        {"&#x110000;", "&#x110000;"},
        {"&#xD800;&#xDFFF;", "&#xD800;&#xDFFF;"},
        {"&#-5;", "&#-5;"},
        // The ";" must follow within 8 bytes.
        {"&#1234567;", "&#1234567;"},
        {"&#12345678;", "&#12345678;"},
        {"&#x0000041;", "A"},
        // Digits are not validated: the number ends at the first non-digit.
        {"&#12a;", "\x0C"},
        {"&#x1G;", "\x01"},
        {"& lt;", "& lt;"},
        {"&lt", "&lt"},
        {"&LT;", "&LT;"},
        {"a&", "a&"},
        {"&#", "&#"},
        {"&#x41", "&#x41"},
        {std::string("&#6\0;", 5), std::string("&#6\0;", 5)},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Unescape(c.text), c.expected) << c.text;
}

TEST(XmlUnescape, StopsAtTheGivenLength)
{
    const char* text = "&lt;&#65;";
    EXPECT_EQ(CXmlDoc::UnescapeMarkup(text, 3), "&lt");
    EXPECT_EQ(CXmlDoc::UnescapeMarkup(text, 8), "<&#65");
    EXPECT_EQ(CXmlDoc::UnescapeMarkup(text, 0), "");
    EXPECT_EQ(CXmlDoc::UnescapeMarkup(nullptr, 5), "");
}

TEST(XmlEscape, Markup)
{
    struct Case {
        std::string text;
        bool quotes;
        std::string expected;
    };
    const Case cases[] = {
        {"<a & b>", false, "&lt;a &amp; b&gt;"},
        {"'\"", false, "'\""},
        {"'\"", true, "&apos;&quot;"},
        {"&amp;", true, "&amp;amp;"},
        {"\xC3\xA9\xFF\r\n\t", true, "\xC3\xA9\xFF\r\n\t"},
        {"", true, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CXmlDoc::EscapeMarkup(c.text, c.quotes), c.expected) << c.text;
}

TEST(XmlEscape, UnescapeUndoesEscape)
{
    std::mt19937 random(3);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int n = static_cast<int>(random() % 30); n > 0; --n)
            text += static_cast<char>(1 + random() % 255);
        ASSERT_EQ(Unescape(CXmlDoc::EscapeMarkup(text, true)), text);
    }
}

TEST(XmlEscape, CDataSections)
{
    EXPECT_EQ(CXmlDoc::WrapCData(""), "<![CDATA[]]>");
    EXPECT_EQ(CXmlDoc::WrapCData("a<b>&"), "<![CDATA[a<b>&]]>");
    EXPECT_EQ(CXmlDoc::WrapCData("a]]>b"), "<![CDATA[a]]]]><![CDATA[>b]]>");
    EXPECT_EQ(CXmlDoc::WrapCData("]]>]]>"), "<![CDATA[]]]]><![CDATA[>]]]]><![CDATA[>]]>");
    // Whatever the text, the sections close where they should: the element around them
    // is the only element and is well-formed.
    for (const char* text : {"]]>", "]]]>", "]]>>", "x]]><y/>", "<z>]]</z>"}) {
        CXmlDoc doc;
        doc.SetDocumentText("<r>" + CXmlDoc::WrapCData(text) + "</r>");
        EXPECT_TRUE(doc.IndexDocument()) << text << ": " << doc.ResultText();
        EXPECT_EQ(doc.RecordCount(), 2) << text;
    }
}
