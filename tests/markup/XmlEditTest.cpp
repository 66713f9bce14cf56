#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "IndexCheck.h"
#include "markup/XmlDoc.h"

using indexcheck::IndexMismatch;

namespace {

CXmlDoc Load(const std::string& text)
{
    CXmlDoc doc;
    doc.SetDocumentText(text);
    doc.IndexDocument();
    return doc;
}

// Makes the element reached by the names the current one: each name but the last is
// entered.
void Walk(CXmlDoc& doc, std::initializer_list<const char*> names)
{
    doc.Rewind();
    bool first = true;
    for (const char* name : names) {
        if (!first) {
            ASSERT_TRUE(doc.EnterElement());
        }
        ASSERT_TRUE(doc.SeekElement(name)) << name;
        first = false;
    }
}

} // namespace

// ------------------------------------------------------------------------- navigation

TEST(XmlNavigate, SeekWalksSiblingsAndStaysOnTheLast)
{
    CXmlDoc doc = Load("<a/><b/><c/>");
    ASSERT_TRUE(doc.SeekElement());
    EXPECT_EQ(doc.NodeName(), "a");
    ASSERT_TRUE(doc.SeekElement(""));
    EXPECT_EQ(doc.NodeName(), "b");
    ASSERT_TRUE(doc.SeekElement());
    EXPECT_FALSE(doc.SeekElement());
    EXPECT_EQ(doc.NodeName(), "c");
    doc.Rewind();
    ASSERT_TRUE(doc.SeekElement("c"));
    EXPECT_FALSE(doc.SeekElement("a"));   // only later siblings are candidates
    EXPECT_EQ(doc.NodeName(), "c");
}

TEST(XmlNavigate, NamesMatchByThePrefixRule)
{
    CXmlDoc doc = Load("<r><videos/><video n='1'/></r>");
    struct Case {
        const char* wanted;
        const char* found;   // the n attribute of the match, or null for none
    };
    const Case cases[] = {
        {"video", "1"}, {"video/size", "1"}, {"video[2]", "1"}, {"video=x", "1"}, {"video x", "1"},
        {"vide", nullptr}, {"videox", nullptr}, {"Video", nullptr},
    };
    for (const Case& c : cases) {
        Walk(doc, {"r"});
        ASSERT_TRUE(doc.EnterElement());
        EXPECT_EQ(doc.SeekElement(c.wanted), c.found != nullptr) << c.wanted;
        if (c.found) {
            EXPECT_EQ(doc.FetchAttribute("n"), c.found) << c.wanted;
        }
    }
}

TEST(XmlNavigate, EnterAndLeaveRememberTheChild)
{
    CXmlDoc doc = Load("<r><a><x/></a><b><y/></b></r>");
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_FALSE(doc.LeaveElement());
    ASSERT_TRUE(doc.SeekElement("r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.SeekElement("b"));
    const int b = doc.CurrentPosition();
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.ParentPosition(), b);
    EXPECT_EQ(doc.CurrentPosition(), 0);
    ASSERT_TRUE(doc.SeekElement());
    EXPECT_EQ(doc.NodeName(), "y");
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.CurrentPosition(), b);
    EXPECT_NE(doc.ChildPosition(), 0);
    // Entering again returns to the child just left.
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.NodeName(), "y");
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.NodeName(), "r");
    EXPECT_EQ(doc.ParentPosition(), 0);
    EXPECT_FALSE(doc.LeaveElement());
    // Any other move forgets the child.
    doc.Rewind();
    EXPECT_EQ(doc.ChildPosition(), 0);
}

TEST(XmlNavigate, NodeNameUsesTheNameReader)
{
    CXmlDoc doc = Load("<r><a=b/><c\tx='1'/></r>");
    EXPECT_EQ(doc.NodeName(), "");
    Walk(doc, {"r", ""});
    EXPECT_EQ(doc.NodeName(), "a");
    ASSERT_TRUE(doc.SeekElement());
    EXPECT_EQ(doc.NodeName(), "c");
}

// ------------------------------------------------------------------------- attributes

TEST(XmlAttribute, FetchUnescapesAndFindsEveryForm)
{
    CXmlDoc doc = Load("<r q=\"&lt;&#233;&gt;\" s='it&apos;s' u=bare v = \"spaced\" flag w=\"a>b\"/>");
    EXPECT_EQ(doc.FetchAttribute("q"), "");   // no current element
    ASSERT_TRUE(doc.SeekElement());
    struct Case {
        const char* name;
        std::string value;
    };
    const Case cases[] = {
        {"q", "<\xC3\xA9>"}, {"s", "it's"}, {"u", "bare"}, {"v", "spaced"}, {"flag", "flag"}, {"w", "a>b"},
        {"x", ""},           {"fla", ""},   {"r", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(doc.FetchAttribute(c.name), c.value) << c.name;
    EXPECT_EQ(doc.FetchAttribute(nullptr), "");
}

TEST(XmlAttribute, ValuelessAttributeBeforeTheTagEnd)
{
    CXmlDoc doc = Load("<r a b='1' c/>");
    ASSERT_TRUE(doc.SeekElement());
    EXPECT_EQ(doc.FetchAttribute("a"), "a");
    EXPECT_EQ(doc.FetchAttribute("b"), "1");
    EXPECT_EQ(doc.FetchAttribute("c"), "c");
}

// One reading of a start tag lists what FetchAttribute finds name by name, however odd
// the tag: the first of a repeated name, valueless names, an "=" without a value, quotes
// that never close, names by the prefix rule.
TEST(XmlAttribute, ListingReadsAsFetchDoes)
{
    const char* const tags[] = {
        "<r a b='1' c/>", "<r a=1 a=2 b>", "<r = x a=q'b c='z>", "<r a= b=\"2\" c=>", "<r a'x' b=\"&amp;\"/>",
        "<r a[1]=\"p\" a=\"q\" d/e=3 ?f>", "<r>", "<r a=\"x\"b='y'/>",
    };
    const char* const names[] = {"a", "b", "c", "d", "e", "f", "x", "z", "a[1]", "r"};
    for (const char* tag : tags) {
        CXmlDoc doc = Load(tag);
        ASSERT_TRUE(doc.SeekElement()) << tag;
        std::vector<CXmlDoc::AttributeSpan> listed;
        doc.ListAttributes(listed);
        for (const char* name : names)
            EXPECT_EQ(doc.AttributeValue(listed, name), doc.FetchAttribute(name)) << tag << " " << name;
    }
    CXmlDoc doc = Load("<r a='1' a='2' b/>");
    ASSERT_TRUE(doc.SeekElement());
    std::vector<CXmlDoc::AttributeSpan> listed;
    doc.ListAttributes(listed);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[1].name, "a");
    EXPECT_EQ(doc.AttributeValue(listed[1]), "2");
    EXPECT_EQ(doc.AttributeValue(listed[2]), "b");
    doc.Rewind();
    doc.ListAttributes(listed);
    EXPECT_TRUE(listed.empty());
}

TEST(XmlAttribute, StoreReplacesInPlaceOrAppends)
{
    struct Case {
        const char* text;
        const char* name;
        const char* value;
        const char* expected;
    };
    const Case cases[] = {
        {"<r/>", "a", "1", "<r a=\"1\"/>"},
        {"<r />", "a", "1", "<r a=\"1\" />"},
        {"<r></r>", "a", "1", "<r a=\"1\"></r>"},
        {"<r b=\"x\"/>", "a", "say \"hi\" <&>", "<r b=\"x\" a=\"say &quot;hi&quot; &lt;&amp;&gt;\"/>"},
        {"<r a=\"old\" b=\"x\"/>", "a", "new", "<r a=\"new\" b=\"x\"/>"},
        {"<r a='old' b=\"x\"/>", "a", "it's", "<r a=\"it&apos;s\" b=\"x\"/>"},
        {"<r a=old b=\"x\"/>", "a", "new", "<r a=\"new\" b=\"x\"/>"},
        {"<r a = \"old\"/>", "a", "", "<r a = \"\"/>"},
        // An attribute written without "=" keeps its name and gains the value.
        {"<r a b=\"x\"/>", "a", "1", "<r a=\"1\" b=\"x\"/>"},
        {"<r ab=\"x\"/>", "a", "1", "<r ab=\"x\" a=\"1\"/>"},
    };
    for (const Case& c : cases) {
        CXmlDoc doc = Load(c.text);
        ASSERT_TRUE(doc.SeekElement());
        ASSERT_TRUE(doc.StoreAttribute(doc.CurrentPosition(), c.name, c.value)) << c.text;
        EXPECT_EQ(doc.DocumentText(), c.expected) << c.text;
        EXPECT_EQ(doc.FetchAttribute(c.name), c.value) << c.text;
        EXPECT_EQ(IndexMismatch(doc), "") << c.text;
    }
}

TEST(XmlAttribute, StoringTwiceKeepsThePlace)
{
    CXmlDoc doc = Load("<r><e/><f/></r>");
    Walk(doc, {"r", "e"});
    const int e = doc.CurrentPosition();
    ASSERT_TRUE(doc.StoreAttribute(e, "a", "1"));
    ASSERT_TRUE(doc.StoreAttribute(e, "b", "2"));
    ASSERT_TRUE(doc.StoreAttribute(e, "a", "three"));
    EXPECT_EQ(doc.DocumentText(), "<r><e a=\"three\" b=\"2\"/><f/></r>");
    EXPECT_EQ(IndexMismatch(doc), "");
    ASSERT_TRUE(doc.SeekElement("f"));
    EXPECT_EQ(doc.NodeName(), "f");
}

TEST(XmlAttribute, StoreRefusesWithoutALiveElement)
{
    CXmlDoc doc = Load("<r><a/><b/></r>");
    EXPECT_FALSE(doc.StoreAttribute(1, "x", "1"));   // no current element
    Walk(doc, {"r", "a"});
    const int a = doc.CurrentPosition();
    EXPECT_FALSE(doc.StoreAttribute(0, "x", "1"));
    EXPECT_FALSE(doc.StoreAttribute(99, "x", "1"));
    EXPECT_FALSE(doc.StoreAttribute(-1, "x", "1"));
    EXPECT_FALSE(doc.StoreAttribute(a, nullptr, "1"));
    ASSERT_TRUE(doc.DeleteElement());
    ASSERT_TRUE(doc.SeekElement("b"));
    // a's record is abandoned: writing through it would splice text that is gone.
    EXPECT_FALSE(doc.StoreAttribute(a, "x", "1"));
    EXPECT_EQ(doc.DocumentText(), "<r><b/></r>");
}

TEST(XmlAttribute, StoreNeverOverflowsTheStartTagLength)
{
    CXmlDoc doc = Load("<r/>");
    ASSERT_TRUE(doc.SeekElement());
    EXPECT_FALSE(doc.StoreAttribute(doc.CurrentPosition(), "a", std::string(CXmlDoc::kMaxStartTagLength, 'v')));
    EXPECT_EQ(doc.DocumentText(), "<r/>");
    ASSERT_TRUE(doc.StoreAttribute(doc.CurrentPosition(), "a", std::string(CXmlDoc::kMaxStartTagLength - 12, 'v')));
    EXPECT_EQ(doc.Record(1).tagLengths & CXmlDoc::kStartTagMask, CXmlDoc::kMaxStartTagLength - 3);
    EXPECT_EQ(IndexMismatch(doc), "");
}

TEST(XmlAttribute, ReaderStaysInsideTheStartTag)
{
    // The quote after "b=" never closes inside the tag; the reader must not take the
    // following element's text for a value or a place to insert.
    CXmlDoc doc = Load("<r><a b=x'y c='/><d e=\"1\"/></r>");
    Walk(doc, {"r", "a"});
    EXPECT_EQ(doc.FetchAttribute("e"), "");
    EXPECT_EQ(doc.FetchAttribute("b"), "x'y");
    ASSERT_TRUE(doc.StoreAttribute(doc.CurrentPosition(), "c", "v"));
    ASSERT_TRUE(doc.SeekElement("d"));
    EXPECT_EQ(doc.FetchAttribute("e"), "1");
    EXPECT_EQ(doc.Record(0).length, doc.DocumentText().size());
}

// The attribute reader and the parse read irregular tags differently: the parse pairs
// quotes anywhere and takes "/>" for an empty tag after whitespace or a quote, the reader
// reads an unquoted value up to whitespace or ">" and ends the tag at a "/" after a bare
// name. A store must leave the tree as the parse reads it, so it goes where both read it
// alike, or nowhere.
TEST(XmlAttribute, StoreOnIrregularTagsKeepsTheTreeOrRefuses)
{
    struct Case {
        const char* text;
        const char* name;
        const char* expected;   // null: refused, text unchanged
    };
    const Case cases[] = {
        // Where the reader would write, the parse would see the form change: the value
        // goes first instead, where both read it.
        {"<r><f x=m\"q\"/></r>", "n", "<r><f n=\"1\" x=m\"q\"/></r>"},
        {"<r><f x/></f></r>", "n", "<r><f n=\"1\" x/></f></r>"},
        {"<r><f x= /></r>", "n", "<r><f n=\"1\" x= /></r>"},
        {"<r><f x= /></r>", "x", "<r><f x=\"1\" x= /></r>"},
        {"<r><f x=a\"b c=d\"/></r>", "c", "<r><f c=\"1\" x=a\"b c=d\"/></r>"},
        // Where both read the tag alike, the edit stays where it always was.
        {"<r><f x=m /></r>", "n", "<r><f x=m n=\"1\" /></r>"},
        {"<r><f x=m/></f></r>", "n", "<r><f x=m/ n=\"1\"></f></r>"},
        {"<r><f x=m/></f></r>", "x", "<r><f x=\"1\"></f></r>"},
        {"<r><f x=\"0\"/></r>", "x", "<r><f x=\"1\"/></r>"},
        // The reader ends the tag at "?", inside the name the parse reads: no place works.
        {"<r><f?g x=\"0\"/></r>", "n", nullptr},
        {"<r><f?g x=\"0\"/></r>", "x", nullptr},
    };
    for (const Case& c : cases) {
        CXmlDoc doc = Load(c.text);
        ASSERT_TRUE(doc.IsWellFormed()) << c.text;
        Walk(doc, {"r", ""});
        const bool stored = doc.StoreAttribute(doc.CurrentPosition(), c.name, "1");
        EXPECT_EQ(stored, c.expected != nullptr) << c.text;
        EXPECT_EQ(doc.DocumentText(), c.expected ? c.expected : c.text) << c.text;
        if (stored) {
            EXPECT_EQ(doc.FetchAttribute(c.name), "1") << c.text;
        }
        EXPECT_EQ(IndexMismatch(doc), "") << c.text;
        EXPECT_TRUE(doc.IndexDocument()) << doc.DocumentText();
    }
}

// The reader ends a value at a NUL; a value holding one is still written whole, and reads
// back up to the NUL.
TEST(XmlAttribute, StoreOfAValueHoldingANul)
{
    CXmlDoc doc = Load("<r x=\"0\"/>");
    ASSERT_TRUE(doc.SeekElement());
    const std::string value("a\0b\"", 4);
    ASSERT_TRUE(doc.StoreAttribute(doc.CurrentPosition(), "n", value));
    EXPECT_EQ(doc.DocumentText(), std::string("<r x=\"0\" n=\"a\0b&quot;\"/>", 24));
    EXPECT_EQ(doc.FetchAttribute("n"), "a");
    EXPECT_EQ(doc.Record(1).tagLengths, 24u);
}

// A malformed text too keeps the tree a parse builds from it. Here r and g are not ended,
// so f and g stand beside r at the top.
TEST(XmlAttribute, StoreOnAnIrregularTagInMalformedText)
{
    CXmlDoc doc = Load("<r><f x=m\"q\"/><g x/>");
    ASSERT_FALSE(doc.IsWellFormed());
    Walk(doc, {"f"});
    ASSERT_TRUE(doc.StoreAttribute(doc.CurrentPosition(), "n", "1"));
    ASSERT_TRUE(doc.SeekElement("g"));
    ASSERT_TRUE(doc.StoreAttribute(doc.CurrentPosition(), "n", "2"));
    EXPECT_EQ(doc.DocumentText(), "<r><f n=\"1\" x=m\"q\"/><g n=\"2\" x/>");
    EXPECT_EQ(IndexMismatch(doc), "");
}

// ------------------------------------------------------------------------- elements

TEST(XmlAppend, IntoAnEmptyDocument)
{
    CXmlDoc doc;
    ASSERT_TRUE(doc.AppendElement("root"));
    EXPECT_EQ(doc.DocumentText(), "<root/>\r\n");
    EXPECT_EQ(doc.Record(doc.CurrentPosition()).start, 0u);
    EXPECT_EQ(IndexMismatch(doc), "");
    EXPECT_TRUE(doc.IndexDocument());
}

TEST(XmlAppend, BuiltDocumentHasOneElementPerLine)
{
    CXmlDoc doc;
    ASSERT_TRUE(doc.AppendElement("r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AppendElement("c"));
    ASSERT_TRUE(doc.StoreAttribute(doc.CurrentPosition(), "a", "1"));
    EXPECT_EQ(doc.DocumentText(), "<r>\r\n<c a=\"1\"/>\r\n</r>\r\n");
    EXPECT_EQ(IndexMismatch(doc), "");
    ASSERT_TRUE(doc.AppendElement("d"));
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.AppendElement("s"));
    EXPECT_EQ(doc.DocumentText(), "<r>\r\n<c a=\"1\"/>\r\n<d/>\r\n</r>\r\n<s/>\r\n");
    EXPECT_EQ(IndexMismatch(doc), "");
}

TEST(XmlAppend, EveryKindOfParent)
{
    struct Case {
        const char* text;
        std::initializer_list<const char*> path;   // parent to enter
        const char* expected;
    };
    const Case cases[] = {
        {"<r><p a=\"1\"/><q/></r>", {"r", "p"}, "<r><p a=\"1\">\r\n<x/>\r\n</p><q/></r>"},
        {"<r><p /><q/></r>", {"r", "p"}, "<r><p >\r\n<x/>\r\n</p><q/></r>"},
        {"<r><p></p><q/></r>", {"r", "p"}, "<r><p>\r\n<x/>\r\n</p><q/></r>"},
        {"<r>\r\n</r>", {"r"}, "<r>\r\n<x/>\r\n</r>"},
        {"<r><a/>tail</r>", {"r"}, "<r><a/>tail<x/>\r\n</r>"},
        {"<r>\r\n<a/>\r\n</r>", {"r"}, "<r>\r\n<a/>\r\n<x/>\r\n</r>"},
    };
    for (const Case& c : cases) {
        CXmlDoc doc = Load(c.text);
        Walk(doc, c.path);
        ASSERT_TRUE(doc.EnterElement());
        const int parent = doc.ParentPosition();
        ASSERT_TRUE(doc.AppendElement("x")) << c.text;
        EXPECT_EQ(doc.DocumentText(), c.expected) << c.text;
        EXPECT_EQ(doc.ParentPosition(), parent);
        EXPECT_EQ(doc.NodeName(), "x");
        EXPECT_EQ(IndexMismatch(doc), "") << c.text;
    }
}

// The end tag written for an empty-element or unended parent carries the name as the
// parse reads it (up to whitespace, "/" or ">"), not as NodeName reads it, or it would
// close nothing.
TEST(XmlAppend, EndTagClosesTheNameTheParseReads)
{
    struct Case {
        const char* text;
        std::initializer_list<const char*> path;
        const char* nodeName;
        const char* expected;
    };
    const Case cases[] = {
        {"<a?b/>", {""}, "a", "<a?b>\r\n<x/>\r\n</a?b>"},
        {"<r><a=b c=\"1\"/></r>", {"r", ""}, "a", "<r><a=b c=\"1\">\r\n<x/>\r\n</a=b></r>"},
        {"<r><a!b\\c /></r>", {"r", ""}, "a", "<r><a!b\\c >\r\n<x/>\r\n</a!b\\c></r>"},
        {"<r><a<b></r>", {"r", ""}, "a", "<r><a<b>\r\n<x/>\r\n</a<b></r>"},   // not ended
    };
    for (const Case& c : cases) {
        CXmlDoc doc = Load(c.text);
        Walk(doc, c.path);
        EXPECT_EQ(doc.NodeName(), c.nodeName) << c.text;
        ASSERT_TRUE(doc.EnterElement());
        ASSERT_TRUE(doc.AppendElement("x")) << c.text;
        EXPECT_EQ(doc.DocumentText(), c.expected) << c.text;
        EXPECT_EQ(IndexMismatch(doc, ~CXmlDoc::kNotWellFormed), "") << c.text;
        EXPECT_TRUE(doc.IndexDocument()) << doc.DocumentText();
    }
}

TEST(XmlAppend, EmptyElementParentMovesFollowersByInsertedLengthLessOne)
{
    CXmlDoc doc = Load("<r><p a=\"1\"/><q/></r>");
    const uint32_t qBefore = doc.Record(3).start;
    Walk(doc, {"r", "p"});
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AppendElement("x"));
    const std::string inserted = ">\r\n<x/>\r\n</p";
    EXPECT_EQ(doc.Record(3).start, qBefore + inserted.size() - 1);
    const XmlElementRecord& p = doc.Record(2);
    EXPECT_EQ(p.tagLengths, 9u | (4u << 22));
}

TEST(XmlAppend, IntoAnUnendedElement)
{
    CXmlDoc doc = Load("<r><p></r>");
    Walk(doc, {"r", "p"});
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AppendElement("x"));
    EXPECT_EQ(doc.DocumentText(), "<r><p>\r\n<x/>\r\n</p></r>");
    const XmlElementRecord& p = doc.Record(2);
    EXPECT_EQ(p.levelFlags & CXmlDoc::kNotEnded, 0u);
    EXPECT_EQ(p.tagLengths, 3u | (4u << 22));
    // The text is well-formed now; the index cannot know, so the flag of record 0 stays.
    EXPECT_EQ(IndexMismatch(doc, ~CXmlDoc::kNotWellFormed), "");
    EXPECT_TRUE(doc.IndexDocument());
}

TEST(XmlAppend, AfterTheCurrentElementAndAtDocumentLevel)
{
    CXmlDoc doc = Load("<r>\r\n<a/>\r\n<b/>\r\n</r>\r\n");
    Walk(doc, {"r", "a"});
    ASSERT_TRUE(doc.AppendElement("x"));
    EXPECT_EQ(doc.DocumentText(), "<r>\r\n<a/>\r\n<x/>\r\n<b/>\r\n</r>\r\n");
    EXPECT_EQ(IndexMismatch(doc), "");
    doc.Rewind();
    ASSERT_TRUE(doc.AppendElement("top"));
    EXPECT_EQ(doc.DocumentText(), "<r>\r\n<a/>\r\n<x/>\r\n<b/>\r\n</r>\r\n<top/>\r\n");
    EXPECT_EQ(IndexMismatch(doc), "");
    EXPECT_FALSE(doc.AppendElement(nullptr));
}

TEST(XmlDelete, CurrentBecomesThePreviousSibling)
{
    CXmlDoc doc = Load("<r>\r\n<a/>\r\n<b><c/></b>\r\n<d/>\r\n</r>");
    Walk(doc, {"r", "b"});
    ASSERT_TRUE(doc.DeleteElement());
    EXPECT_EQ(doc.DocumentText(), "<r>\r\n<a/>\r\n<d/>\r\n</r>");
    EXPECT_EQ(doc.NodeName(), "a");
    EXPECT_EQ(IndexMismatch(doc), "");
    ASSERT_TRUE(doc.DeleteElement());   // a was the first child: no current element now
    EXPECT_EQ(doc.CurrentPosition(), 0);
    EXPECT_EQ(doc.DocumentText(), "<r>\r\n<d/>\r\n</r>");
    EXPECT_FALSE(doc.DeleteElement());
    ASSERT_TRUE(doc.SeekElement());
    EXPECT_EQ(doc.NodeName(), "d");
    EXPECT_EQ(IndexMismatch(doc), "");
    ASSERT_TRUE(doc.DeleteElement());
    EXPECT_EQ(doc.DocumentText(), "<r>\r\n</r>");
    EXPECT_EQ(IndexMismatch(doc), "");
}

TEST(XmlDelete, FollowingTextStays)
{
    CXmlDoc doc = Load("<r><a/>tail<b/> \t<c/></r>");
    Walk(doc, {"r", "a"});
    ASSERT_TRUE(doc.DeleteElement());
    EXPECT_EQ(doc.DocumentText(), "<r>tail<b/> \t<c/></r>");
    ASSERT_TRUE(doc.SeekElement("b"));
    ASSERT_TRUE(doc.DeleteElement());
    EXPECT_EQ(doc.DocumentText(), "<r>tail<c/></r>");
    EXPECT_EQ(IndexMismatch(doc), "");
    doc.Rewind();
    ASSERT_TRUE(doc.SeekElement());
    ASSERT_TRUE(doc.DeleteElement());
    EXPECT_EQ(doc.DocumentText(), "");
    EXPECT_EQ(IndexMismatch(doc), "");
}

// ------------------------------------------------------------------------- random edits

namespace {

const char* const kNames[] = {"a", "b", "item", "video", "videos", "x:y", "_z"};
const char* const kAttributes[] = {"n", "m", "flag", "value"};

std::string RandomValue(std::mt19937& random)
{
    static const char* const parts[] = {"1", "abc", " ", "<", ">", "&", "\"", "'", "\xC3\xA9", "&amp;", "]]>", "="};
    std::string value;
    for (int n = static_cast<int>(random() % 4); n > 0; --n)
        value += parts[random() % std::size(parts)];
    return value;
}

std::string RandomAttributes(std::mt19937& random)
{
    std::string out;
    for (int n = static_cast<int>(random() % 3); n > 0; --n) {
        const std::string name = kAttributes[random() % std::size(kAttributes)];
        switch (random() % 5) {
        case 0: out += " " + name + "=\"v>1\""; break;
        case 1: out += " " + name + "='it'"; break;
        // Unquoted values and bare names keep a blank before a closing "/>", which would
        // otherwise belong to them and leave the tag open.
        case 2: out += " " + name + "=bare "; break;
        case 3: out += " " + name + " "; break;
        default: out += "\t" + name + " = \"x\""; break;
        }
    }
    return out;
}

std::string Separator(std::mt19937& random)
{
    static const char* const separators[] = {"", "\r\n", "\n  ", " text ", "<!-- c -->", "\r\n\t"};
    return separators[random() % std::size(separators)];
}

// A well-formed element with random attributes, forms and content. With `unended`, some
// childless elements lose their end tag and become not-ended parents.
std::string RandomElement(std::mt19937& random, int depth, bool unended)
{
    const std::string name = kNames[random() % std::size(kNames)];
    const std::string open = "<" + name + RandomAttributes(random);
    switch (random() % (depth > 3 ? 3 : 5)) {
    case 0: return open + "/>";
    case 1: return open + " />";
    case 2: return open + "></" + name + ">";
    default: break;
    }
    std::string content;
    const int children = static_cast<int>(random() % 4);
    for (int i = 0; i < children; ++i)
        content += Separator(random) + RandomElement(random, depth + 1, unended);
    content += Separator(random);
    if (unended && random() % 3 == 0)
        content += "<p" + RandomAttributes(random) + ">";   // a childless element that is never closed
    return open + ">" + content + "</" + name + ">";
}

struct Coverage {
    int emptyTag = 0, hollow = 0, notEnded = 0, ordinary = 0, documentLevel = 0, afterCurrent = 0;
    int stores = 0, deletes = 0;
};

void CountAppendTarget(const CXmlDoc& doc, Coverage& coverage)
{
    if (doc.CurrentPosition() != 0) {
        ++coverage.afterCurrent;
        return;
    }
    if (doc.ParentPosition() == 0) {
        ++coverage.documentLevel;
        return;
    }
    const XmlElementRecord& p = doc.Record(doc.ParentPosition());
    const uint32_t startTag = p.tagLengths & CXmlDoc::kStartTagMask;
    const uint32_t endTag = p.tagLengths >> 22;
    if (startTag == p.length)
        ++((p.levelFlags & CXmlDoc::kNotEnded) ? coverage.notEnded : coverage.emptyTag);
    else if (p.length - endTag == startTag)
        ++coverage.hollow;
    else
        ++coverage.ordinary;
}

// Jumps to a random live element, and half the time into it, so that appends reach
// childless and unended parents often.
void Jump(CXmlDoc& doc, std::mt19937& random)
{
    std::vector<int> live;
    if (!indexcheck::WalkTree(doc, live).empty() || live.empty())
        return;
    const int target = live[random() % live.size()];
    ASSERT_TRUE(indexcheck::NavigateTo(doc, target));
    if (random() % 2)
        doc.EnterElement();
}

// One random step: mostly moves, sometimes an edit, after which the patched index must
// still describe the text. Returns the mismatch, or "".
std::string RandomStep(CXmlDoc& doc, std::mt19937& random, Coverage& coverage, uint32_t mask)
{
    switch (random() % 11) {
    case 10: Jump(doc, random); return {};
    case 0: doc.Rewind(); return {};
    case 1:
    case 2: doc.SeekElement(random() % 2 ? nullptr : kNames[random() % std::size(kNames)]); return {};
    case 3: doc.EnterElement(); return {};
    case 4: doc.LeaveElement(); return {};
    case 5:
    case 6: {
        const char* name = kAttributes[random() % std::size(kAttributes)];
        const std::string value = RandomValue(random);
        if (!doc.StoreAttribute(doc.CurrentPosition(), name, value))
            return doc.CurrentPosition() == 0 ? std::string() : "StoreAttribute failed";
        ++coverage.stores;
        if (doc.FetchAttribute(name) != value)
            return "stored value does not read back";
        break;
    }
    case 7:
    case 8:
        CountAppendTarget(doc, coverage);
        if (!doc.AppendElement(kNames[random() % std::size(kNames)]))
            return "AppendElement failed";
        break;
    default:
        if (!doc.DeleteElement())
            return doc.CurrentPosition() == 0 ? std::string() : "DeleteElement failed";
        ++coverage.deletes;
        break;
    }
    return IndexMismatch(doc, mask);
}

} // namespace

TEST(XmlRandomEdits, PatchedIndexEqualsAFreshParse)
{
    Coverage coverage;
    for (unsigned seed = 1; seed <= 1000; ++seed) {
        std::mt19937 random(seed);
        CXmlDoc doc;
        if (seed % 10 != 0) {   // every tenth document is built from nothing
            doc.SetDocumentText(Separator(random) + RandomElement(random, 0, false) + "\r\n");
            ASSERT_TRUE(doc.IndexDocument()) << doc.ResultText() << "\n" << doc.DocumentText();
            ASSERT_EQ(IndexMismatch(doc), "");
        }
        for (int step = 0; step < 80; ++step) {
            const std::string before = doc.DocumentText();
            const std::string mismatch = RandomStep(doc, random, coverage, 0xFFFFFFFFu);
            ASSERT_EQ(mismatch, "") << "seed " << seed << " step " << step << "\nbefore: " << before
                                    << "\nafter:  " << doc.DocumentText();
        }
    }
    // The walk must really have reached every kind of insertion point.
    EXPECT_GT(coverage.emptyTag, 100);
    EXPECT_GT(coverage.hollow, 20);
    EXPECT_GT(coverage.ordinary, 100);
    EXPECT_GT(coverage.documentLevel, 100);
    EXPECT_GT(coverage.afterCurrent, 100);
    EXPECT_GT(coverage.stores, 1000);
    EXPECT_GT(coverage.deletes, 500);
}

TEST(XmlRandomEdits, MalformedTextsStayInBounds)
{
    const char* pieces[] = {
        "<a>", "</a>", "<b x='1'/>", "<b", " y=\"", "'", "\"", ">", "/>", "<!--", "-->", "<!DOCTYPE d [", "]>",
        "<?p", "?>", "<![CDATA[", "]]>", "text", " ", "\r\n", "=", "z=q", "<c flag>", "</c>", "<1>", "</",
    };
    const char* names[] = {"a", "b", "c", "x", "y", "z", "flag"};
    int edits = 0;
    for (unsigned seed = 1; seed <= 600; ++seed) {
        std::mt19937 random(seed);
        std::string text;
        for (int n = static_cast<int>(random() % 30); n > 0; --n)
            text += pieces[random() % std::size(pieces)];
        CXmlDoc doc;
        doc.SetDocumentText(text);
        doc.IndexDocument();
        ASSERT_EQ(indexcheck::InvariantViolation(doc), "") << text;
        for (int step = 0; step < 60; ++step) {
            const char* name = names[random() % std::size(names)];
            bool edited = false;
            switch (random() % 9) {
            case 0: doc.Rewind(); break;
            case 1: doc.SeekElement(random() % 2 ? nullptr : name); break;
            case 2: doc.EnterElement(); break;
            case 3: doc.LeaveElement(); break;
            case 4: Jump(doc, random); break;
            case 5: {
                // Any record number at all, including abandoned and unused ones.
                const int element = random() % 3 ? doc.CurrentPosition()
                                                 : static_cast<int>(random() % (doc.RecordCount() + 2)) - 1;
                edited = doc.StoreAttribute(element, name, RandomValue(random));
                break;
            }
            case 6: edited = doc.AppendElement(name); break;
            case 7: edited = doc.DeleteElement(); break;
            default:
                doc.NodeName();
                doc.FetchAttribute(name);
                break;
            }
            edits += edited;
            ASSERT_EQ(indexcheck::InvariantViolation(doc), "") << "seed " << seed << " step " << step << "\n" << doc.DocumentText();
        }
    }
    EXPECT_GT(edits, 5000);
}

TEST(XmlRandomEdits, DocumentsWithUnendedElements)
{
    // An edit cannot clear record 0's not-well-formed flag when it happens to mend the
    // text, nor give a child that a parse moves out of an unended element the level that
    // parse keeps, so levels and those two flags are left out; everything else must agree.
    const uint32_t mask = ~(CXmlDoc::kLevelMask | CXmlDoc::kNotWellFormed | CXmlDoc::kIllFormed);
    Coverage coverage;
    for (unsigned seed = 5000; seed < 6500; ++seed) {
        std::mt19937 random(seed);
        CXmlDoc doc;
        doc.SetDocumentText("<r>" + RandomElement(random, 1, true) + "<p></r>\r\n");
        doc.IndexDocument();
        ASSERT_EQ(IndexMismatch(doc, mask), "");
        for (int step = 0; step < 60; ++step) {
            const std::string before = doc.DocumentText();
            const std::string mismatch = RandomStep(doc, random, coverage, mask);
            ASSERT_EQ(mismatch, "") << "seed " << seed << " step " << step << "\nbefore: " << before
                                    << "\nafter:  " << doc.DocumentText();
        }
    }
    EXPECT_GT(coverage.notEnded, 20);
}
