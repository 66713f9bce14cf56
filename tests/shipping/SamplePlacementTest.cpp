// The step that puts the samples into a Profiles folder (build tree and installation):
// it fills what is missing and never replaces a file that is there.

#include <gtest/gtest.h>

#include <string>

#include "ShippingTestSupport.h"

namespace {

using namespace shipping_test;

int PlaceSamples(const fs::path& destination, const fs::path& log)
{
    return RunCommand(ShellWord(ORRERY_CMAKE_COMMAND) + " -DSAMPLE_SOURCE=" + ShellWord(SampleFolder().string()) +
                   " -DSAMPLE_DESTINATION=" + ShellWord(destination.string()) + " -P " +
                   ShellWord((DataFolder() / "PlaceSampleProfiles.cmake").string()),
               log);
}

TEST(SamplePlacement, FillsAFolderThatDoesNotExistYetWithExactCopies)
{
    TempDir temp;
    const fs::path profiles = temp.Path() / "program" / "Profiles";
    ASSERT_EQ(PlaceSamples(profiles, temp.Path() / "log"), 0) << ReadBytes(temp.Path() / "log");

    const std::vector<fs::path> samples = XmlFiles(SampleFolder());
    ASSERT_FALSE(samples.empty());
    EXPECT_EQ(FileNames(XmlFiles(profiles)), FileNames(samples));
    for (const fs::path& sample : samples)
        EXPECT_EQ(ReadBytes(profiles / sample.filename()), ReadBytes(sample)) << sample;
}

TEST(SamplePlacement, NeverReplacesAFileTheUserHasUnderASampleName)
{
    TempDir temp;
    const fs::path profiles = temp.Path() / "Profiles";
    const std::string changed = "<profile name=\"mine\" version=\"200\" device=\"psp\" tag=\"\" type=\"0\">\r\n</profile>\r\n";
    WriteBytes(profiles / "psp.Kestro.Video.xml", changed);
    // A link to nothing is a name taken all the same.
    fs::create_symlink(temp.Path() / "nowhere.xml", profiles / "generic.Kestro.Audio.xml");
    WriteBytes(profiles / "psp.Standard.xml", "the user's own profile");

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_EQ(PlaceSamples(profiles, temp.Path() / "log"), 0) << ReadBytes(temp.Path() / "log");
        EXPECT_EQ(ReadBytes(profiles / "psp.Kestro.Video.xml"), changed);
        EXPECT_TRUE(fs::is_symlink(profiles / "generic.Kestro.Audio.xml"));
        EXPECT_FALSE(fs::exists(temp.Path() / "nowhere.xml"));
        EXPECT_EQ(ReadBytes(profiles / "psp.Standard.xml"), "the user's own profile");
        for (const fs::path& sample : XmlFiles(SampleFolder())) {
            const std::string name = sample.filename().string();
            if (name != "psp.Kestro.Video.xml" && name != "generic.Kestro.Audio.xml") {
                EXPECT_EQ(ReadBytes(profiles / name), ReadBytes(sample)) << name;
            }
        }
    }
}

TEST(SamplePlacement, ADeletedSampleComesBackAndTheOthersStayAsTheyAre)
{
    TempDir temp;
    const fs::path profiles = temp.Path() / "Profiles";
    ASSERT_EQ(PlaceSamples(profiles, temp.Path() / "log"), 0);
    fs::remove(profiles / "zune.Kestro.Audio.xml");
    WriteBytes(profiles / "nds.Kestro.Video.xml", "edited");
    ASSERT_EQ(PlaceSamples(profiles, temp.Path() / "log"), 0);
    EXPECT_EQ(ReadBytes(profiles / "zune.Kestro.Audio.xml"), ReadBytes(SampleFolder() / "zune.Kestro.Audio.xml"));
    EXPECT_EQ(ReadBytes(profiles / "nds.Kestro.Video.xml"), "edited");
}

TEST(SamplePlacement, AProfilesPathThatIsAFileFailsLoudly)
{
    TempDir temp;
    WriteBytes(temp.Path() / "Profiles", "not a folder");
    EXPECT_NE(PlaceSamples(temp.Path() / "Profiles", temp.Path() / "log"), 0);
    EXPECT_EQ(ReadBytes(temp.Path() / "Profiles"), "not a folder");
}

} // namespace
