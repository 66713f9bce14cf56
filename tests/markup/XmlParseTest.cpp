#include <gtest/gtest.h>


#include <random>
#include <string>
#include <vector>

#include "IndexCheck.h"
#include "ReferenceIndex.h"
#include "markup/XmlDoc.h"
#include "tests/TestFiles.h"

namespace {

constexpr uint32_t kFirst = CXmlDoc::kFirstSibling;
constexpr uint32_t kNotEnded = CXmlDoc::kNotEnded;
constexpr uint32_t kIll = CXmlDoc::kIllFormed;
constexpr uint32_t kBad = CXmlDoc::kNotWellFormed;

uint32_t Tags(uint32_t startTag, uint32_t endTag)
{
    return startTag | (endTag << 22);
}

struct Parsed {
    CXmlDoc doc;
    bool wellFormed;
};

Parsed Parse(const std::string& text)
{
    Parsed p;
    p.doc.SetDocumentText(text);
    p.wellFormed = p.doc.IndexDocument();
    return p;
}

// The eight words of a record, in order, for one readable comparison.
std::vector<int64_t> Words(const XmlElementRecord& r)
{
    return {r.start, r.length, r.tagLengths, r.levelFlags, r.parent, r.firstChild, r.nextSibling, r.previousSibling};
}

std::vector<int64_t> Words(uint32_t start, uint32_t length, uint32_t tags, uint32_t levelFlags, int parent,
                           int firstChild, int next, int previous)
{
    return {start, length, tags, levelFlags, parent, firstChild, next, previous};
}

} // namespace

TEST(XmlParse, NewDocumentIsEmptyAndNotWellFormed)
{
    CXmlDoc doc;
    EXPECT_EQ(doc.ResultText(), "Empty document");
    EXPECT_EQ(doc.RecordCount(), 1);
    EXPECT_EQ(doc.IndexCapacity(), 8);
    EXPECT_FALSE(doc.IsWellFormed());
    EXPECT_EQ(doc.CurrentPosition(), 0);
    EXPECT_FALSE(doc.SeekElement());
}

TEST(XmlParse, EmptyElementTag)
{
    Parsed p = Parse("<a/>");
    EXPECT_TRUE(p.wellFormed);
    EXPECT_EQ(p.doc.ResultText(), "");
    EXPECT_EQ(Words(p.doc.Record(0)), Words(0, 4, 0, 0, 0, 1, 0, 0));
    EXPECT_EQ(Words(p.doc.Record(1)), Words(0, 4, Tags(4, 0), kFirst, 0, 0, 0, 1));
}

TEST(XmlParse, LinksOfNestedSiblings)
{
    // Numbered in the order of the start tags: r(1) holds a(2), b(3), c(5); b holds d(4).
    Parsed p = Parse("<r><a/><b x='1'><d/></b><c></c></r>");
    EXPECT_TRUE(p.wellFormed);
    EXPECT_EQ(Words(p.doc.Record(1)), Words(0, 35, Tags(3, 4), kFirst, 0, 2, 0, 1));
    EXPECT_EQ(Words(p.doc.Record(2)), Words(3, 4, Tags(4, 0), 1 | kFirst, 1, 0, 3, 5));
    EXPECT_EQ(Words(p.doc.Record(3)), Words(7, 17, Tags(9, 4), 1, 1, 4, 5, 2));
    EXPECT_EQ(Words(p.doc.Record(4)), Words(16, 4, Tags(4, 0), 2 | kFirst, 3, 0, 0, 4));
    EXPECT_EQ(Words(p.doc.Record(5)), Words(24, 7, Tags(3, 4), 1, 1, 0, 0, 3));
}

TEST(XmlParse, UnclosedInnerElementIsNotEnded)
{
    Parsed p = Parse("<a><b></a>");
    EXPECT_FALSE(p.wellFormed);
    EXPECT_EQ(p.doc.ResultText(), "End tag 'a' at offset 7 does not match start tag 'b' at offset 3");
    EXPECT_EQ(Words(p.doc.Record(0)), Words(0, 10, 0, kBad, 0, 1, 0, 0));
    EXPECT_EQ(Words(p.doc.Record(1)), Words(0, 10, Tags(3, 4), kFirst, 0, 2, 0, 1));
    EXPECT_EQ(Words(p.doc.Record(2)), Words(3, 3, Tags(3, 0), 1 | kFirst | kNotEnded, 1, 0, 0, 2));
}

TEST(XmlParse, ChildrenOfUnendedElementBecomeItsSiblings)
{
    Parsed p = Parse("<a><b><c/></b>");
    EXPECT_FALSE(p.wellFormed);
    // "Element 'a' at offset 0 not ended" is replaced by the root check.
    EXPECT_EQ(p.doc.ResultText(), "Root element has sibling");
    EXPECT_EQ(Words(p.doc.Record(0)), Words(0, 14, 0, kBad, 0, 1, 0, 0));
    EXPECT_EQ(Words(p.doc.Record(1)), Words(0, 3, Tags(3, 0), kFirst | kNotEnded, 0, 0, 2, 2));
    // b keeps the level it was parsed at, loses the first-sibling flag and follows a.
    EXPECT_EQ(Words(p.doc.Record(2)), Words(3, 11, Tags(3, 4), 1, 0, 3, 0, 1));
    EXPECT_EQ(Words(p.doc.Record(3)), Words(6, 4, Tags(4, 0), 2 | kFirst, 2, 0, 0, 3));
}

TEST(XmlParse, StrayEndTagFlagsTheOpenElement)
{
    Parsed p = Parse("<a>x</b></a>");
    EXPECT_FALSE(p.wellFormed);
    EXPECT_EQ(p.doc.ResultText(), "No start tag for end tag 'b' at offset 4");
    EXPECT_EQ(Words(p.doc.Record(0)), Words(0, 12, 0, kBad, 0, 1, 0, 0));
    EXPECT_EQ(Words(p.doc.Record(1)), Words(0, 12, Tags(3, 4), kFirst | kIll, 0, 0, 0, 1));
}

TEST(XmlParse, UnterminatedCommentSwallowsTheRest)
{
    Parsed p = Parse("<a><!-- x</a>");
    EXPECT_EQ(p.doc.ResultText(), "Comment at offset 3 unterminated");
    // a is closed as not ended without a second message; its ill-formed flag moves up.
    EXPECT_EQ(Words(p.doc.Record(1)), Words(0, 3, Tags(3, 0), kFirst | kNotEnded, 0, 0, 0, 1));
    EXPECT_EQ(p.doc.Record(0).levelFlags, kBad | kIll);
}

TEST(XmlParse, EveryMessage)
{
    const std::string longName(5000, 'n');
    const std::string longTag = "<a" + std::string(CXmlDoc::kMaxStartTagLength, ' ') + ">";
    struct Case {
        std::string text;
        std::string result;
    };
    const Case cases[] = {
        {"", "Empty document"},
        {" \r\n\t", "No root element"},
        {"</a>", "No root element"},
        {"<1/>", "No root element"},
        {"<a/><b/>", "Root element has sibling"},
        {"<a><b></a>", "End tag 'a' at offset 7 does not match start tag 'b' at offset 3"},
        {"<a>x</b></a>", "No start tag for end tag 'b' at offset 4"},
        {"<a>text", "Element 'a' at offset 0 not ended"},
        {"<a><1/></a>", "Incorrect tag name character at offset 3"},
        {"<a><!x></a>", "Incorrect ! tag at offset 3"},
        {"<a><!-x></a>", "Incorrect comment tag at offset 3"},
        {"<a><![x></a>", "Incorrect tag at offset 3"},
        {"<a><!DOCTYPE x [", "Doctype at offset 3 unterminated"},
        {"<a><!ENTITY x 'y>'", "Doctype at offset 3 unterminated"},
        {"<a><b x='>'", "Element tag at offset 3 unterminated"},
        {"<a></a", "Element end tag at offset 3 unterminated"},
        {"<a><![CDATA[x]>", "CDATA Section at offset 3 unterminated"},
        {"<a><?pi x>", "Processing instruction at offset 3 unterminated"},
        {"<a><!-- x --", "Comment at offset 3 unterminated"},
        {"<a><", "tag at offset 3 unterminated"},
        {"<a><1 x", "tag at offset 3 unterminated"},
        {"<a></" + longName + "></a>", "Element end tag at offset 3 too long"},
        {"<r>" + longTag + "</r>", "Element tag at offset 3 too long"},
    };
    for (const Case& c : cases) {
        Parsed p = Parse(c.text);
        EXPECT_EQ(p.doc.ResultText(), c.result) << c.text.substr(0, 40);
        EXPECT_FALSE(p.wellFormed) << c.text.substr(0, 40);
    }
}

TEST(XmlParse, OverlongTagsAreNeverTruncated)
{
    // A start tag one byte over the 22-bit field is an error; one that fits is an element.
    const std::string fits = "<a" + std::string(CXmlDoc::kMaxStartTagLength - 3, ' ') + ">";
    Parsed ok = Parse("<r>" + fits + "</a></r>");
    EXPECT_TRUE(ok.wellFormed) << ok.doc.ResultText();
    EXPECT_EQ(ok.doc.Record(2).tagLengths & CXmlDoc::kStartTagMask, CXmlDoc::kMaxStartTagLength);

    Parsed over = Parse("<r><a" + std::string(CXmlDoc::kMaxStartTagLength - 2, ' ') + "></a></r>");
    EXPECT_FALSE(over.wellFormed);
    EXPECT_EQ(over.doc.RecordCount(), 2);   // only r
    EXPECT_EQ(over.doc.Record(1).levelFlags & kIll, kIll);
    EXPECT_EQ(over.doc.ResultText(), "Element tag at offset 3 too long");
    EXPECT_EQ(indexcheck::IndexMismatch(over.doc), "");

    // End tags: 1023 bytes fit in ten bits, 1024 do not. The long one stays unmatched, so
    // its element is not ended rather than given a wrapped end-tag length.
    const std::string name1020(1020, 'b');
    Parsed endOk = Parse("<" + name1020 + "></" + name1020 + ">");
    EXPECT_TRUE(endOk.wellFormed);
    EXPECT_EQ(endOk.doc.Record(1).tagLengths >> 22, 1023u);
    const std::string name1021(1021, 'b');
    Parsed endOver = Parse("<r><" + name1021 + "></" + name1021 + "></r>");
    EXPECT_EQ(endOver.doc.ResultText(), "Element end tag at offset 1026 too long");
    EXPECT_EQ(endOver.doc.Record(2).levelFlags & kNotEnded, kNotEnded);
    EXPECT_EQ(endOver.doc.Record(2).tagLengths >> 22, 0u);
}

TEST(XmlParse, ProloguesCommentsDoctypeAndTextAreSkipped)
{
    const std::string text =
        "<?xml version=\"1.0\"?>\r\n"
        "<!-- first -->\r\n"
        "<!DOCTYPE r [\r\n"
        "  <!ENTITY e \"<not a tag>\">\r\n"
        "  <!-- inside > the subset -->\r\n"
        "  <!ATTLIST r a CDATA '>'>\r\n"
        "]>\r\n"
        "text before <r a=\"1\">text<![CDATA[<x/>]]></r> after\r\n";
    Parsed p = Parse(text);
    EXPECT_TRUE(p.wellFormed);
    EXPECT_EQ(p.doc.ResultText(), "");
    ASSERT_EQ(p.doc.RecordCount(), 2);
    EXPECT_EQ(p.doc.Record(1).start, text.find("<r a"));
    EXPECT_EQ(p.doc.Record(1).firstChild, 0);
}

TEST(XmlParse, EmptyElementTagNeedsTheSlashAfterSpaceOrQuote)
{
    struct Case {
        const char* text;
        bool empty;
    };
    const Case cases[] = {
        {"<a/>", true},       {"<a />", true},           {"<a\t/>", true},       {"<a b='>'/>", true},
        {"<a b=\"x\"/>", true}, {"<a b=c/>", false},      {"<a b=c />", true},    {"<a/ >", false},
        {"<a b='/>' >", false}, {"<a b=\"/\">", false},
    };
    for (const Case& c : cases) {
        Parsed p = Parse(c.text);
        ASSERT_EQ(p.doc.RecordCount(), 2) << c.text;
        const XmlElementRecord& a = p.doc.Record(1);
        EXPECT_EQ((a.levelFlags & kNotEnded) == 0, c.empty) << c.text;
        EXPECT_EQ(a.length, std::string(c.text).size()) << c.text;
    }
}

TEST(XmlParse, ShortCommentAndProcessingInstructionEnds)
{
    // "<!-->" is a whole comment: its "-->" overlaps the opening.
    Parsed comment = Parse("<!--><a/>");
    EXPECT_TRUE(comment.wellFormed);
    EXPECT_EQ(comment.doc.Record(1).start, 5u);
    // "<?>" does not end itself at the very start of the text, but does anywhere else.
    Parsed atStart = Parse("<?><a/>?>");
    EXPECT_EQ(atStart.doc.ResultText(), "No root element");
    Parsed later = Parse(" <?><a/>");
    EXPECT_TRUE(later.wellFormed);
    EXPECT_EQ(later.doc.Record(1).start, 4u);
}

TEST(XmlParse, EndTagNamesMatchByPrefixRule)
{
    // The end-tag name must be the open element's name, or a prefix of it that stops
    // before one of " =/[]".
    EXPECT_TRUE(Parse("<video></video>").wellFormed);
    EXPECT_TRUE(Parse("<a[1]></a>").wellFormed);
    EXPECT_TRUE(Parse("<a=b></a>").wellFormed);
    EXPECT_FALSE(Parse("<videos></video>").wellFormed);
    EXPECT_FALSE(Parse("<video></videos>").wellFormed);
    EXPECT_FALSE(Parse("<A></a>").wellFormed);
}

TEST(XmlParse, TextEndsAtTheFirstNul)
{
    std::string text = "<a><b/></a>";
    text += '\0';
    text += "<c/>";
    Parsed p = Parse(text);
    EXPECT_TRUE(p.wellFormed);
    EXPECT_EQ(p.doc.RecordCount(), 3);
    EXPECT_EQ(p.doc.Record(0).length, text.size());

    std::string cut = "<a><b";
    cut += '\0';
    cut += "/></a>";
    EXPECT_EQ(Parse(cut).doc.ResultText(), "Element tag at offset 3 unterminated");
}

TEST(XmlParse, ResultOfAReadComesFirst)
{
    const testfiles::TempFolder folder("orrery-parse-");
    const std::string path = folder.File("p.xml");
    std::string result;
    ASSERT_TRUE(CXmlDoc::WriteWholeFile(path, result, "<a> b c"));
    CXmlDoc doc;
    EXPECT_FALSE(doc.ReadDocument(path));
    EXPECT_EQ(doc.ResultText(), "7 bytes, Element 'a' at offset 0 not ended");
    ASSERT_TRUE(CXmlDoc::WriteWholeFile(path, result, "<a/>"));
    EXPECT_TRUE(doc.ReadDocument(path));
    EXPECT_EQ(doc.ResultText(), "4 bytes");
}

TEST(XmlParse, ReindexingDiscardsTheOldIndex)
{
    CXmlDoc doc;
    doc.SetDocumentText("<r><a/><b/></r>");
    EXPECT_TRUE(doc.IndexDocument());
    ASSERT_TRUE(doc.SeekElement());
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.SeekElement("b"));
    doc.SetDocumentText("<x/>");
    EXPECT_EQ(doc.ResultText(), "");
    EXPECT_EQ(doc.CurrentPosition(), 0);
    EXPECT_EQ(doc.ParentPosition(), 0);
    // Before it is indexed the new text shows no elements at all.
    EXPECT_FALSE(doc.SeekElement());
    EXPECT_TRUE(doc.IndexDocument());
    EXPECT_EQ(doc.RecordCount(), 2);
    ASSERT_TRUE(doc.SeekElement());
    EXPECT_EQ(doc.NodeName(), "x");
}

TEST(XmlParse, DeepNestingKeepsLevelsOutOfTheFlags)
{
    const int depth = 70000;
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    Parsed p = Parse(text);
    EXPECT_TRUE(p.wellFormed);
    ASSERT_EQ(p.doc.RecordCount(), depth + 1);
    // Level 65536 wraps to 0 inside its 16 bits instead of setting a flag bit.
    EXPECT_EQ(p.doc.Record(65537).levelFlags, kFirst);
    EXPECT_EQ(p.doc.Record(65536).levelFlags, 65535 | kFirst);
}

TEST(XmlParse, LongRunOfUnclosedTagsIsLinear)
{
    // Closing 200,000 unended elements one at a time would move their children again and
    // again; the result must still be the flat list of siblings.
    std::string text = "<r>";
    for (int i = 0; i < 200000; ++i)
        text += "<a>";
    text += "</r>";
    Parsed p = Parse(text);
    ASSERT_EQ(p.doc.RecordCount(), 200002);
    EXPECT_EQ(p.doc.ResultText(), "End tag 'r' at offset 600004 does not match start tag 'a' at offset 600000");
    const XmlElementRecord& r = p.doc.Record(1);
    EXPECT_EQ(r.firstChild, 2);
    EXPECT_EQ(p.doc.Record(2).previousSibling, 200001);
    for (int i = 2; i <= 200001; ++i) {
        const XmlElementRecord& a = p.doc.Record(i);
        ASSERT_EQ(a.parent, 1) << i;
        ASSERT_EQ(a.nextSibling, i == 200001 ? 0 : i + 1) << i;
        ASSERT_EQ(a.levelFlags, (static_cast<uint32_t>(i - 1) & 0xFFFF) | kNotEnded | (i == 2 ? kFirst : 0)) << i;
    }
}

TEST(XmlParse, MoreThanOneSegmentOfRecords)
{
    const int count = 3 * CXmlDoc::kSegmentSize + 123;
    std::string text = "<r>\n";
    for (int i = 0; i < count; ++i)
        text += "<e n=\"" + std::to_string(i) + "\"/>\n";
    text += "</r>\n";
    Parsed p = Parse(text);
    EXPECT_TRUE(p.wellFormed);
    ASSERT_EQ(p.doc.RecordCount(), count + 2);
    EXPECT_GE(p.doc.IndexCapacity(), count + 2);
    int previous = 0;
    for (int i = 2; i < count + 2; ++i) {
        const XmlElementRecord& e = p.doc.Record(i);
        ASSERT_EQ(e.parent, 1);
        ASSERT_EQ(e.previousSibling, i == 2 ? count + 1 : previous);
        ASSERT_EQ(e.nextSibling, i == count + 1 ? 0 : i + 1);
        ASSERT_EQ(text.compare(e.start, 6, "<e n=\""), 0);
        previous = i;
    }
    // Navigation resolves every index through its segment.
    p.doc.Rewind();
    ASSERT_TRUE(p.doc.SeekElement("r"));
    ASSERT_TRUE(p.doc.EnterElement());
    int seen = 0;
    while (p.doc.SeekElement("e")) {
        ASSERT_EQ(p.doc.FetchAttribute("n"), std::to_string(seen));
        ++seen;
    }
    EXPECT_EQ(seen, count);
}

TEST(XmlParse, FullSegmentsNeverMove)
{
    std::string text = "<r>";
    for (int i = 0; i < CXmlDoc::kSegmentSize + 10; ++i)
        text += "<e/>";
    text += "</r>";
    Parsed p = Parse(text);
    const XmlElementRecord* early = &p.doc.Record(100);
    const XmlElementRecord copy = *early;
    ASSERT_TRUE(p.doc.SeekElement());
    ASSERT_TRUE(p.doc.EnterElement());
    // Appending grows the index across further segment boundaries.
    for (int i = 0; i < 2 * CXmlDoc::kSegmentSize; ++i)
        ASSERT_TRUE(p.doc.AppendElement("n"));
    EXPECT_EQ(&p.doc.Record(100), early);
    EXPECT_EQ(Words(*early), Words(copy));
    EXPECT_EQ(p.doc.RecordCount(), 3 * CXmlDoc::kSegmentSize + 12);
}

TEST(XmlParse, CopiesAreIndependent)
{
    CXmlDoc original;
    original.SetDocumentText("<r><a x=\"1\"/><b/></r>");
    original.IndexDocument();
    original.SeekElement();
    original.EnterElement();
    original.SeekElement("b");

    CXmlDoc copy(original);
    EXPECT_EQ(copy.IndexCapacity(), 8);   // the record count, but at least 8
    EXPECT_EQ(copy.CurrentPosition(), original.CurrentPosition());
    EXPECT_EQ(copy.ParentPosition(), original.ParentPosition());
    EXPECT_EQ(copy.NodeName(), "b");
    ASSERT_TRUE(copy.StoreAttribute(copy.CurrentPosition(), "y", "2"));
    EXPECT_EQ(copy.DocumentText(), "<r><a x=\"1\"/><b y=\"2\"/></r>");
    EXPECT_EQ(original.DocumentText(), "<r><a x=\"1\"/><b/></r>");
    EXPECT_EQ(indexcheck::IndexMismatch(original), "");
    EXPECT_EQ(indexcheck::IndexMismatch(copy), "");

    CXmlDoc assigned;
    assigned = copy;
    EXPECT_EQ(assigned.DocumentText(), copy.DocumentText());
    EXPECT_EQ(assigned.ResultText(), copy.ResultText());
    EXPECT_EQ(assigned.NodeName(), "b");
    assigned = assigned;   // self-assignment keeps everything
    EXPECT_EQ(assigned.NodeName(), "b");

    CXmlDoc moved(std::move(assigned));
    EXPECT_EQ(moved.NodeName(), "b");
    EXPECT_EQ(assigned.ResultText(), "Empty document");
    EXPECT_FALSE(assigned.SeekElement());
}

TEST(XmlParse, CopyOfALargeIndexSpansSegments)
{
    std::string text = "<r>";
    for (int i = 0; i < CXmlDoc::kSegmentSize + 500; ++i)
        text += "<e/>";
    text += "</r>";
    Parsed p = Parse(text);
    CXmlDoc copy(p.doc);
    EXPECT_EQ(copy.IndexCapacity(), p.doc.RecordCount());
    for (int i = 0; i < p.doc.RecordCount(); ++i)
        ASSERT_EQ(Words(copy.Record(i)), Words(p.doc.Record(i))) << i;
    ASSERT_TRUE(copy.SeekElement());
    ASSERT_TRUE(copy.EnterElement());
    ASSERT_TRUE(copy.AppendElement("z"));
    EXPECT_EQ(indexcheck::IndexMismatch(copy), "");
}

// The scanner's fast paths against the byte-by-byte reference: edge cases first, then
// random texts built from the pieces markup is made of.
TEST(XmlParse, AgreesWithByteByByteReference)
{
    const char* samples[] = {
        "<a/>", "<a><b></a>", "<a><b><c/></b>", "<a>x</b></a>", "<1/>", "<a><!-- x</a>", "<!-->", "<?>",
        " <?>", "<?xml?><a/>", "<a b='x>y'/>", "<a b=c/>", "<a \"b>c\">", "<a\"b>", "<<a/>", "<>", "<a>a>b</a>",
        "<!DOCTYPE r [<!ENTITY e '>'><!-- > --><x>]><r/>", "<!DOCTYPE [<1>]><r/>", "<!DOCTYPE [<!X <r/>",
        "<!DOCTYPE [<a/>]><r/>", "<![CDATA[x]]><r/>", "<![C]]><r/>", "<!-x><a/>", "<!EL<a/>", "</>", "<a></ a>",
        "<a></a x>", "<r><a><b><c></r>", "<r><a><b></a></r>", "x", " ", "<a", "<!", "<!-", "<![", "<!D", "<!-- -->",
    };
    ForEachBlockKernel([&](xmlscan::BlockKernel kernel) {
        for (const char* sample : samples)
            EXPECT_EQ(ReferenceMismatch(sample), "") << KernelName(kernel) << ": " << sample;
    });

    const char* pieces[] = {
        "<", ">", "/", "!", "?", "-", "[", "]", "=", "'", "\"", " ", "\n", "\t", "\r", "a", "b", "E", "D", "C",
        "1", "x", "\xC3\xA9", "<a>", "</a>", "<b/>", "<a ", "</b>", "<!--", "-->", "<![CDATA[", "]]>", "<!DOCTYPE",
        "<?", "?>", "<!ENTITY", "/>", "b='", "c=\"", "<!-->", "<r>", "</r>", "<a[1]>", "<a=x>",
    };
    ForEachBlockKernel([&](xmlscan::BlockKernel kernel) {
        std::mt19937 random(20240601);
        for (int round = 0; round < 20000; ++round) {
            std::string text;
            const int length = static_cast<int>(random() % 40);
            for (int i = 0; i < length; ++i)
                text += pieces[random() % std::size(pieces)];
            const std::string mismatch = ReferenceMismatch(text);
            ASSERT_EQ(mismatch, "") << KernelName(kernel) << ", text: " << text;
        }
    });
}

TEST(XmlParse, AgreesWithReferenceOnLongTags)
{
    // Tags and values long enough to span several 16-byte blocks, with quotes of both
    // kinds inside each other, and runs cut off anywhere (also by a NUL).
    const char* pieces[] = {
        " name=\"", "\"", "'", " v='", "abcdefghijklmnopq", ">", "/>", " />", "<item", "</item>", "<r>", "</r>",
        "\r\n    ", "<!-- a long comment with -- and > inside -->", "<![CDATA[ ]] > ]]>", "<?pi ? > ?>", "=",
    };
    ForEachBlockKernel([&](xmlscan::BlockKernel kernel) {
        std::mt19937 random(99);
        for (int round = 0; round < 4000; ++round) {
            std::string text = "<r>";
            const int length = static_cast<int>(random() % 120);
            for (int i = 0; i < length; ++i)
                text += pieces[random() % std::size(pieces)];
            if (random() % 4 == 0)
                text.resize(random() % (text.size() + 1));
            if (random() % 8 == 0 && !text.empty())
                text[random() % text.size()] = '\0';
            ASSERT_EQ(ReferenceMismatch(text), "") << KernelName(kernel) << ", text: " << text;
        }
    });
}

TEST(XmlParse, AgreesWithReferenceOnRandomBytes)
{
    const char alphabet[] = "<>/!?-[]='\" \nabCDEAN1\0";
    ForEachBlockKernel([&](xmlscan::BlockKernel kernel) {
        std::mt19937 random(7);
        for (int round = 0; round < 20000; ++round) {
            std::string text;
            // Up to two blocks and a bit, so texts end in every place of a block.
            const int length = static_cast<int>(random() % 150);
            for (int i = 0; i < length; ++i)
                text += alphabet[random() % (sizeof alphabet - (i < 40 ? 2 : 1))];
            ASSERT_EQ(ReferenceMismatch(text), "") << KernelName(kernel) << ", text: " << text;
        }
    });
}
