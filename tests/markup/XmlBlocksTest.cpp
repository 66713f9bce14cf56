// The masks the element parse reads the text through, and parses of large texts: every
// kernel must give the portable kernel's masks, and every parse the reference's records.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "IndexCheck.h"
#include "ReferenceIndex.h"
#include "markup/XmlBlocks.h"
#include "markup/XmlDoc.h"

namespace {

using xmlscan::BlockKernel;
using xmlscan::BlockMasks;
using namespace std::string_literals;

std::string MaskDifference(const BlockMasks& a, const BlockMasks& b)
{
    const std::pair<const char*, uint64_t BlockMasks::*> fields[] = {
        {"lt", &BlockMasks::lt},   {"gt", &BlockMasks::gt},           {"nameStop", &BlockMasks::nameStop},
        {"dq", &BlockMasks::dq},   {"sq", &BlockMasks::sq},           {"dqInside", &BlockMasks::dqInside},
        {"sqInside", &BlockMasks::sqInside}, {"nul", &BlockMasks::nul},
    };
    for (const auto& [name, field] : fields)
        if (a.*field != b.*field)
            return name;
    return {};
}

// A configuration-like document: nested elements with attributes in both kinds of quotes,
// values long enough to run across blocks, text, comments, CDATA sections, processing
// instructions and now and then a DOCTYPE.
std::string GeneratedDocument(std::mt19937& random, std::size_t targetSize)
{
    const char* names[] = {"setting", "group", "option", "a", "section", "x:y", "long_element_name_of_some_length"};
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto value = [&]() {
        std::string v;
        const int kind = pick(6);
        const int length = kind == 0 ? 60 + pick(200) : pick(12);
        for (int i = 0; i < length; ++i)
            v += "abc 123/=>&;-"[pick(13)];
        return v;
    };
    std::string out = pick(2) ? "<?xml version=\"1.0\"?>\n" : "";
    if (pick(4) == 0)
        out += "<!DOCTYPE r [\n <!ENTITY e \"<x>\">\n <!-- > -->\n]>\n";
    out += "<r>";
    std::vector<std::string> open;
    while (out.size() < targetSize) {
        const int what = pick(20);
        if (what < 9) {
            const std::string name = names[pick(static_cast<int>(std::size(names)))];
            out += "\n" + std::string(open.size() * 2, ' ') + "<" + name;
            const int attributes = pick(6);
            for (int i = 0; i < attributes; ++i) {
                const char quote = pick(5) == 0 ? '\'' : '"';
                std::string v = value();
                if (quote == '"' && pick(6) == 0)
                    v += "it's";
                if (quote == '\'' && pick(3) == 0)
                    v += "say \"hi\"";
                out += " n" + std::to_string(i) + "=" + quote + v + quote;
            }
            if (pick(3) == 0 || open.size() > 6) {
                out += pick(2) ? "/>" : " />";
            } else {
                out += ">";
                open.push_back(name);
            }
        } else if (what < 15 && !open.empty()) {
            out += "</" + open.back() + (pick(8) == 0 ? " >" : ">");
            open.pop_back();
        } else if (what == 15) {
            out += "<!-- a comment with <tags> and \"quotes' -->";
        } else if (what == 16) {
            out += "<![CDATA[ <not> \"a\" tag ]]>";
        } else if (what == 17) {
            out += "<?pi some > thing ?>";
        } else {
            out += "text with 'quotes\" and > signs";
        }
    }
    while (!open.empty()) {
        out += "</" + open.back() + ">";
        open.pop_back();
    }
    return out + "</r>\n";
}

} // namespace

TEST(XmlBlocks, EveryKernelGivesThePortableMasks)
{
    const xmlscan::ClassifyBlocks portable = xmlscan::Classifier(BlockKernel::Portable);
    ASSERT_NE(portable, nullptr);
    std::mt19937 random(5);
    const std::string special = "<>\"'/ \t\n\r\0=!?-[]"s;
    for (const BlockKernel kernel : {BlockKernel::Sse2, BlockKernel::Avx2}) {
        const xmlscan::ClassifyBlocks classify = xmlscan::Classifier(kernel);
        if (!classify)
            continue;
        for (int round = 0; round < 2000; ++round) {
            // Three blocks: every byte value, and the bytes the masks are about, often.
            std::string text(3 * 64, ' ');
            for (char& c : text)
                c = random() % 2 ? special[random() % special.size()] : static_cast<char>(random() % 256);
            BlockMasks expected[3];
            BlockMasks got[3];
            const uint64_t expectedNul = portable(text.data(), 3, expected);
            ASSERT_EQ(classify(text.data(), 3, got), expectedNul) << KernelName(kernel);
            for (int b = 0; b < 3; ++b)
                ASSERT_EQ(MaskDifference(got[b], expected[b]), "") << KernelName(kernel) << ", block " << b;
        }
    }
    // The portable masks themselves, on one block written out.
    std::string block = "<a b=\"x>y\" c='z'/>\t\r\n";
    block.resize(64, 'q');
    block[40] = '\0';
    BlockMasks m;
    EXPECT_EQ(portable(block.data(), 1, &m), uint64_t{1} << 40);
    EXPECT_EQ(m.lt, 1u);
    EXPECT_EQ(m.gt, (1u << 7) | (1u << 17));
    EXPECT_EQ(m.dq, (1u << 5) | (1u << 9));
    EXPECT_EQ(m.sq, (1u << 13) | (1u << 15));
    EXPECT_EQ(m.dqInside, 0x1E0u);   // bytes 5-8: from the opening quote to the one before the closing
    EXPECT_EQ(m.sqInside, 0x6000u);
    EXPECT_EQ(m.nameStop, (1u << 2) | (1u << 7) | (1u << 10) | (1u << 16) | (1u << 17) | (0x7u << 18));
}

TEST(XmlParse, LargeDocumentsAgreeWithTheReference)
{
    // Whole documents, then the same with bytes changed to the ones the parse stops at,
    // cut short anywhere, or ended early by a NUL.
    const char stops[] = "<>\"'/ \n=!?-\0";
    ForEachBlockKernel([&](BlockKernel kernel) {
        std::mt19937 random(11);
        for (int round = 0; round < 60; ++round) {
            std::string text = GeneratedDocument(random, 200 + random() % 6000);
            ASSERT_EQ(ReferenceMismatch(text), "") << KernelName(kernel) << ", round " << round;
            const int changes = static_cast<int>(random() % 4);
            for (int i = 0; i < changes; ++i)
                text[random() % text.size()] = stops[random() % (sizeof stops - 1)];
            if (random() % 3 == 0)
                text.resize(random() % text.size());
            ASSERT_EQ(ReferenceMismatch(text), "") << KernelName(kernel) << ", round " << round << ": " << text;
        }
    });
}

TEST(XmlParse, QuotedValuesAndNamesAcrossBlocks)
{
    // Start tags placed so that the name, a quote or the closing ">" falls on each byte
    // around a block boundary, with values long enough to hold whole blocks.
    ForEachBlockKernel([&](BlockKernel kernel) {
        for (int pad = 0; pad < 70; ++pad) {
            for (const char* tag : {"<item a=\"", "<item a='", "<a b='1' c=\"", "<averyveryverylongnamethatcrosses x=\""}) {
                for (int valueLength : {0, 1, 63, 64, 65, 130}) {
                    std::string value(static_cast<std::size_t>(valueLength), 'v');
                    if (valueLength > 2)
                        value[1] = '>';
                    const std::string opening = tag;
                    const char quote = opening.back();
                    std::string text = "<r>" + std::string(static_cast<std::size_t>(pad), ' ') + opening + value;
                    text += quote;
                    text += valueLength % 2 ? "/>" : "></item></r>";
                    ASSERT_EQ(ReferenceMismatch(text), "") << KernelName(kernel) << ": " << text;
                    // The same tag unterminated: the value never closes.
                    ASSERT_EQ(ReferenceMismatch(text.substr(0, text.size() - 5)), "") << KernelName(kernel);
                }
            }
        }
    });
}

TEST(XmlIndex, MemoryFollowsTheRecordsHandedOut)
{
    // The capacity reserved from the text size (a record per 64 bytes) gets memory only as
    // records are handed out; what no record took goes back at the end of the parse.
    std::string sparse = "<r>" + std::string(1 << 20, ' ') + "<a/></r>";
    CXmlDoc doc;
    doc.SetDocumentText(sparse);
    EXPECT_TRUE(doc.IndexDocument());
    EXPECT_EQ(doc.RecordCount(), 3);
    EXPECT_EQ(doc.IndexCapacity(), 8);

    // Several segments' worth: the capacity is the record count, or a page of records more.
    std::string dense = "<r>";
    for (int i = 0; i < 2 * CXmlDoc::kSegmentSize + 1000; ++i)
        dense += "<e/>";
    dense += "</r>";
    doc.SetDocumentText(dense);
    EXPECT_TRUE(doc.IndexDocument());
    EXPECT_EQ(doc.RecordCount(), 2 * CXmlDoc::kSegmentSize + 1002);
    EXPECT_GE(doc.IndexCapacity(), doc.RecordCount());
    EXPECT_LE(doc.IndexCapacity(), doc.RecordCount() + 128);

    // Parsing a smaller text again gives the memory back, and the index still grows.
    doc.SetDocumentText("<r><a/><b/></r>");
    EXPECT_TRUE(doc.IndexDocument());
    EXPECT_EQ(doc.IndexCapacity(), 8);
    ASSERT_TRUE(doc.SeekElement());
    ASSERT_TRUE(doc.EnterElement());
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(doc.AppendElement("n"));
    EXPECT_EQ(doc.RecordCount(), 104);
    EXPECT_GE(doc.IndexCapacity(), 104);
    EXPECT_EQ(indexcheck::IndexMismatch(doc), "");

    // The same text parsed again gives the same index in the same memory.
    doc.SetDocumentText(dense);
    doc.IndexDocument();
    const int capacity = doc.IndexCapacity();
    CXmlDoc again(doc);
    EXPECT_TRUE(doc.IndexDocument());
    EXPECT_EQ(doc.IndexCapacity(), capacity);
    for (int i = 0; i < doc.RecordCount(); i += 997)
        ASSERT_EQ(std::memcmp(&doc.Record(i), &again.Record(i), sizeof(XmlElementRecord)), 0) << i;
}

TEST(XmlParse, NulInsideLongTokens)
{
    // Tokens the byte scanner reads, long enough to run past the masks made so far, with
    // the NUL that ends the text inside them or just after them.
    const char* openings[] = {"<!-- ", "<?pi ", "<![CDATA[ ", "<!DOCTYPE r [ ", "<!ENTITY e '", "<1 x='", "<a b='",
                              "</a ", "<!x "};
    ForEachBlockKernel([&](BlockKernel kernel) {
        for (const char* opening : openings) {
            for (std::size_t lead : {std::size_t{3}, std::size_t{1000}, std::size_t{1021}}) {
                for (std::size_t body : {std::size_t{10}, std::size_t{2000}, std::size_t{5000}}) {
                    std::string text = "<r>" + std::string(lead, ' ') + opening + std::string(body, 'x');
                    const std::size_t nulAt = text.size() - 1 - body / 2;
                    text += "' --> ?> ]]> ]> > </r><a/>";
                    std::string withNul = text;
                    withNul[nulAt] = '\0';
                    ASSERT_EQ(ReferenceMismatch(withNul), "") << KernelName(kernel) << ": " << opening << lead << "/" << body;
                    std::string nulAfter = text;
                    nulAfter[nulAfter.size() - 5] = '\0';
                    ASSERT_EQ(ReferenceMismatch(nulAfter), "") << KernelName(kernel) << ": " << opening << lead << "/" << body;
                    ASSERT_EQ(ReferenceMismatch(text), "") << KernelName(kernel) << ": " << opening << lead << "/" << body;
                }
            }
        }
    });
}

TEST(XmlParse, ProblemsAfterTheIndexGrew)
{
    // Elements far denser than the record per 64 bytes reserved from the text size: the
    // index grows, and its first segment moves, during the parse. The problems that come
    // after must still reach record 0 and the open elements where they now are.
    for (const char* tail : {"<a><b></a></r>", "</x></r>", "<1></r>", "<a><b>", "<a><!-- x"}) {
        for (const int elements : {100, 5000, 70000}) {
            std::string text = "<r><p>";
            for (int i = 0; i < elements; ++i)
                text += "<e/>";
            text += "</p>";
            text += tail;
            ASSERT_EQ(ReferenceMismatch(text), "") << tail << " after " << elements;
        }
    }
}
