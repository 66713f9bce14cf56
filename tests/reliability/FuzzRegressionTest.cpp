// The fuzz targets' properties in the normal build: every kept input under
// tests/data/fuzz/<target> and every seed file, through the same checks the fuzzers run.
// The inputs of faults found by fuzzing and not mended yet are in tests/data/fuzz/open;
// their tests are disabled until the fault is mended (then drop DISABLED_ and move the
// input beside the others).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/reliability/FuzzChecks.h"
#include "markup/XmlDoc.h"
#include "profile/ProfileFile.h"
#include "tests/TestFiles.h"

namespace fs = std::filesystem;

namespace {

using Check = std::function<std::string(const uint8_t*, std::size_t)>;

using testfiles::ReadBytes;

// Files below the folder; the seeds leave out the fuzz inputs, which have their own targets.
std::vector<fs::path> FilesIn(const fs::path& folder, bool seedsOnly = false)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file() &&
            (!seedsOnly || (it->path().extension() == ".xml" && it->path().string().find("/fuzz/") == std::string::npos)))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

int RunAll(const std::vector<fs::path>& files, const Check& check)
{
    int count = 0;
    for (const fs::path& file : files) {
        const std::string bytes = ReadBytes(file);
        EXPECT_EQ(check(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "") << file;
        ++count;
    }
    return count;
}

const fs::path kData = ORRERY_TEST_DATA;

std::vector<fs::path> Seeds()
{
    std::vector<fs::path> seeds = FilesIn(kData, true);
    const std::vector<fs::path> shipped = FilesIn(kData.parent_path().parent_path() / "data", true);
    seeds.insert(seeds.end(), shipped.begin(), shipped.end());
    return seeds;
}

} // namespace

TEST(FuzzRegression, KeptInputsOfEveryTarget)
{
    const std::vector<std::pair<const char*, Check>> targets = {
        {"markup", fuzzcheck::CheckMarkupProgram},
        {"profile", fuzzcheck::CheckProfileLoad},
        {"config", fuzzcheck::CheckConfigurationLoad},
        {"numeric", fuzzcheck::CheckNumericEdit},
    };
    int count = 0;
    for (const auto& [name, check] : targets)
        count += RunAll(FilesIn(kData / "fuzz" / name), check);
    EXPECT_GE(count, 2);
}

TEST(FuzzRegression, SeedFilesPassEveryDocumentCheck)
{
    const std::vector<fs::path> seeds = Seeds();
    ASSERT_GT(seeds.size(), 20u);
    RunAll(seeds, fuzzcheck::CheckMarkupProgram);
    RunAll(seeds, fuzzcheck::CheckProfileLoad);
    RunAll(seeds, fuzzcheck::CheckConfigurationLoad);
}

// The checks must be able to fail: a corrupted index, a changed round trip and a field
// out of shape are all reported.
TEST(FuzzRegression, ChecksReportRealFaults)
{
    CXmlDoc doc;
    doc.SetDocumentText("<a><b/></a>");
    ASSERT_TRUE(doc.IndexDocument());
    EXPECT_EQ(fuzzcheck::CheckIndex(doc, true), "");
    CXmlDoc unindexed(doc);
    unindexed.SetDocumentText("<a> <b/></a>");   // new text, no index built for it
    EXPECT_NE(fuzzcheck::CheckIndex(unindexed, true), "");

    EXPECT_FALSE(fuzzcheck::IsRegularStartTag("<a x=b\"c\"/>"));
    EXPECT_FALSE(fuzzcheck::IsRegularStartTag("<a x/>"));
    EXPECT_TRUE(fuzzcheck::IsRegularStartTag("<a x=\"1\" y = 'b'/>"));

    NumericBehavior rules(3, 2);
    EXPECT_EQ(fuzzcheck::CheckFieldShape(rules, EditState{u"12.5", 0, 4}), "");
    EXPECT_NE(fuzzcheck::CheckFieldShape(rules, EditState{u"1234", 0, 0}), "");
    EXPECT_NE(fuzzcheck::CheckFieldShape(rules, EditState{u"1.5", 2, 1}), "");
}

// Faults found by fuzzing and mended: their inputs are kept under the target's folder.

std::string KeptCase(const std::string& target, const std::string& name, const Check& check)
{
    const std::string bytes = ReadBytes(kData / "fuzz" / target / name);
    EXPECT_FALSE(bytes.empty()) << name;
    return check(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// "<a?b/>": the parse names the element "a?b", the name reader "a"; appending a child
// wrote "</a>", which closed nothing, and the document was no longer well-formed.
TEST(FuzzMendedFaults, AppendIntoElementWhoseNameHoldsAReaderDelimiter)
{
    EXPECT_EQ(KeptCase("markup", "append-into-punctuated-name", fuzzcheck::CheckMarkupProgram), "");
    CXmlDoc doc;
    doc.SetDocumentText("<a?b/>");
    ASSERT_TRUE(doc.IndexDocument());
    ASSERT_TRUE(doc.SeekElement());
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AppendElement("x"));
    EXPECT_TRUE(doc.IndexDocument()) << doc.DocumentText();
}

// <f x=m"q"/> is an empty-element tag for the parse (the "/" follows a quote), but the
// attribute reader reads the unquoted value m"q"/ up to ">", so a new attribute landed
// after the "/" and the element lost its empty-tag form; <f x/></f> is the reverse.
TEST(FuzzMendedFaults, StoreAttributeKeepsTheTagForm)
{
    EXPECT_EQ(KeptCase("markup", "store-after-quoted-unquoted-value", fuzzcheck::CheckMarkupProgram), "");
    EXPECT_EQ(KeptCase("markup", "store-before-bare-slash", fuzzcheck::CheckMarkupProgram), "");
    EXPECT_EQ(KeptCase("markup", "store-on-irregular-tag-fuzzed", fuzzcheck::CheckMarkupProgram), "");
    for (const char* text : {"<r><f x=m\"q\"/></r>", "<r><f x/></f></r>", "<r><f x= /></r>"}) {
        CXmlDoc doc;
        doc.SetDocumentText(text);
        ASSERT_TRUE(doc.IndexDocument()) << text;
        ASSERT_TRUE(doc.SeekElement());
        ASSERT_TRUE(doc.EnterElement());
        ASSERT_TRUE(doc.SeekElement());
        ASSERT_TRUE(doc.StoreAttribute(doc.CurrentPosition(), "n", "1"));
        EXPECT_EQ(doc.FetchAttribute("n"), "1") << doc.DocumentText();
        EXPECT_EQ(indexcheck::IndexMismatch(doc), "") << doc.DocumentText();
        EXPECT_TRUE(doc.IndexDocument()) << doc.DocumentText();
    }
}

// A missing element used to mark its node absent only when an element of the same
// level had been read before it, and the writer drops elements that hold only
// defaults. <audio><source/></audio>: source was read, so freq and bitrate became
// absent and were not written, and neither was source; that save read again found
// nothing at the level, left freq and bitrate present with their defaults, and the
// next save wrote them: two saves of one profile differed. A missing element now
// marks its node absent whenever the node would write anything, and a section's own
// element is written even when nothing below it is (an empty <common>, whose children
// all went absent, read back as a missing section would fall back to its defaults).
// The forward search stays: freq and bitrate written after source are not read.
TEST(FuzzMendedFaults, ASavedProfileSavesTheSameAgain)
{
    for (const char* name : {"profile-empty-first-child.xml", "profile-out-of-order.xml", "out-of-order-fuzzed.xml",
                             "absent-nodes-fuzzed.xml", "empty-common-section.xml"})
        EXPECT_EQ(KeptCase("profile", name, fuzzcheck::CheckProfileLoad), "") << name;
    profile::CProfileFile loaded;
    loaded.CreateDefault();
    ASSERT_TRUE(loaded.Load((kData / "fuzz" / "profile" / "profile-out-of-order.xml").string()));
    std::string value;
    EXPECT_TRUE(loaded.GetValue("common.audio.freq.value", value));
    EXPECT_EQ(value, "48000");
    const profile::CProfileNode* common = loaded.FindSection("common.audio.freq");
    ASSERT_NE(common, nullptr);
    ASSERT_NE(common->FindNode("common.audio.freq"), nullptr);
    EXPECT_FALSE(common->FindNode("common.audio.freq")->present);
}
