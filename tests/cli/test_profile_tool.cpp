// orrery-profile on real files in temporary folders: the commands run in-process, the
// exit statuses also through the real executables, and the installed link.

#include "cli/ProfileTool.h"

#include <cstdio>
#include <sstream>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/TestFiles.h"

namespace cli {
namespace {

namespace fs = std::filesystem;
using testfiles::ReadBytes;
using Replacements = std::vector<std::pair<std::string, std::string>>;

fs::path Sample(const std::string& name)
{
    return fs::path(ORRERY_SOURCE_DIR) / "data" / "Profiles" / name;
}

// The text of a shipped profile, untagged so it is not built-in, with replacements.
std::string OwnCopy(const std::string& sample, Replacements replacements = {})
{
    std::string text = ReadBytes(Sample(sample));
    replacements.insert(replacements.begin(), {"tag=\"kestro\"", "tag=\"\""});
    for (const auto& [from, to] : replacements) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos)
            text.replace(at, from.size(), to);
    }
    return text;
}

std::size_t LineCount(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class ProfileTool : public ::testing::Test {
protected:
    testfiles::TempFolder temp{"orrery-cli-"};
    const std::string configHome = temp.File("config");
    testfiles::ScopedEnv settings{"XDG_CONFIG_HOME", configHome.c_str()};
    // Stands for the folder of the executable: its Orrery.xml and Profiles folder.
    const std::string program = temp.File("program");
    std::ostringstream out, err;

    void SetUp() override
    {
        fs::create_directories(configHome);
        fs::create_directories(program);
    }
    int Run(const std::vector<std::string>& args)
    {
        out.str("");
        err.str("");
        return RunProfileTool(args, program, out, err);
    }
    std::string Write(const std::string& name, const std::string& text)
    {
        EXPECT_TRUE(testfiles::WriteBytes(temp.Path() / name, text));
        return temp.File(name);
    }
    // A failure: status 2, nothing on stdout and one line on stderr holding the reason.
    void ExpectRefused(const std::vector<std::string>& args, const std::string& reason)
    {
        EXPECT_EQ(Run(args), kExitFailed) << args.back();
        EXPECT_EQ(out.str(), "") << args.back();
        EXPECT_EQ(LineCount(err.str()), 1u) << err.str();
        EXPECT_NE(err.str().find(reason), std::string::npos) << err.str();
    }
};

TEST_F(ProfileTool, UsageErrorsHelpAndVersion)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no command"},
        {{"convert", "a.xml"}, "unknown command"},
        {{"show"}, "usage: orrery-profile show"},
        {{"diff", "a", "b", "c"}, "usage: orrery-profile diff"},
        {{"list", "--dry-run"}, "list does not take --dry-run"},
        {{"show", "a.xml", "--bogus"}, "unknown option --bogus"},
        {{"set", "--device", "psp", "--type", "tv", "a=1"}, "--type takes video or audio"},
        {{"set", "--type", "audio", "a.xml", "a=1"}, "--type goes with --device"},
        {{"list", "--profiles"}, "--profiles needs a value"},
        {{"set", "a.xml"}, "at least one KEY=VALUE"},
        {{"set", "x=1", "a.xml"}, "files come before the values"},
        {{"set", "a.xml", "x=1", "x=2"}, "x is given twice"},
        {{"set", "--device", "psp", "a.xml", "x=1"}, "--device takes no files"},
    };
    for (const auto& [args, reason] : cases)
        ExpectRefused(args, reason);

    EXPECT_EQ(Run({"--version"}), kExitDone);
    EXPECT_EQ(out.str(), "orrery-profile 1.0.0.1\n");
    EXPECT_EQ(Run({"set", "--help"}), kExitDone);
    for (const char* command : {"list", "show", "get", "set", "validate", "diff"})
        EXPECT_NE(out.str().find(std::string("\n  ") + command + " "), std::string::npos) << command;
}

TEST_F(ProfileTool, ListsTheVersion200ProfilesOfAFolderAsLinesAndJson)
{
    const fs::path folder = temp.Path() / "Profiles";
    fs::create_directories(folder);
    fs::copy_file(Sample("psp.Kestro.Audio.xml"), folder / "psp.Kestro.Audio.xml");
    const std::string own = Write("Profiles/psp.Kestro.Video.xml", OwnCopy("psp.Kestro.Video.xml"));
    Write("Profiles/old.xml", OwnCopy("pda.Kestro.Video.xml", {{"version=\"200\"", "version=\"100\""}}));
    Write("Profiles/broken.xml", "<profile");

    EXPECT_EQ(Run({"list", "--profiles", folder.string()}), kExitDone);
    EXPECT_EQ(out.str(), "psp  audio  psp.Kestro.Audio.xml  psp.Kestro.Audio  built-in\n"
                         "psp  video  psp.Kestro.Video.xml  psp.Kestro.Video\n");
    EXPECT_EQ(Run({"list", "--json", "--profiles=" + folder.string()}), kExitDone);
    EXPECT_EQ(out.str(), "[\n  {\"file\": \"psp.Kestro.Audio.xml\", \"device\": \"psp\", \"type\": 2, \"name\": "
                         "\"psp.Kestro.Audio\", \"builtin\": true, \"path\": \"" +
                             (folder / "psp.Kestro.Audio.xml").string() +
                             "\"},\n  {\"file\": \"psp.Kestro.Video.xml\", \"device\": \"psp\", \"type\": 0, "
                             "\"name\": \"psp.Kestro.Video\", \"builtin\": false, \"path\": \"" +
                             own + "\"}\n]\n");
    ExpectRefused({"list", "--profiles", temp.File("missing")}, "missing: No such file or directory");
}

// Without --profiles the tool reads the folder the editor would: here the converter's
// one that the settings name, not the program folder's.
TEST_F(ProfileTool, ListsTheProfilesFolderTheEditorUses)
{
    Write("conv/Profiles/zune.xml", OwnCopy("zune.Kestro.Audio.xml"));
    Write("program/Profiles/psp.xml", OwnCopy("psp.Kestro.Audio.xml"));
    Write("config/Kestro.conf", "[General]\nPath=" + temp.File("conv") + "/\n");
    EXPECT_EQ(Run({"list"}), kExitDone);
    EXPECT_EQ(out.str(), "zune  audio  zune.xml  zune.Kestro.Audio\n");
}

TEST_F(ProfileTool, ShowGetAndDiffReadTheKeysTheFileHolds)
{
    const std::string audio =
        Write("audio.xml", OwnCopy("psp.Kestro.Audio.xml", {{"description=\"MP3", "description=\"two&#10;lines MP3"}}));
    EXPECT_EQ(Run({"show", audio}), kExitDone);
    const std::string shown = out.str();
    EXPECT_EQ(shown.rfind("profile.name=psp.Kestro.Audio\nprofile.description=two\\x0Alines MP3", 0), 0u) << shown;
    EXPECT_NE(shown.find("\nprofile.type=2\ncommon.file.format=mp3\n"), std::string::npos);
    EXPECT_NE(shown.find("\ncommon.audio.bitrate.value=192000\n"), std::string::npos);
    EXPECT_NE(shown.find("\nacodec.name=lame\n"), std::string::npos);
    EXPECT_EQ(shown.find("\ncommon.video."), std::string::npos) << "the file has no <video>";
    EXPECT_EQ(Run({"show", "--json", audio}), kExitDone);
    EXPECT_EQ(out.str().rfind("{\n  \"profile.name\": \"psp.Kestro.Audio\",\n  \"profile.description\": "
                              "\"two\\u000alines MP3",
                              0),
              0u);
    EXPECT_EQ(LineCount(out.str()), LineCount(shown) + 2);

    EXPECT_EQ(Run({"get", audio, "common.audio.freq.list"}), kExitDone);
    EXPECT_EQ(out.str(), "44100,48000\n");
    ExpectRefused({"get", audio, "common.audio.rate"}, "unknown key common.audio.rate");
    ExpectRefused({"get", audio, "common.video.size.list"}, "the file has no element for it");

    const std::string video = Write("video.xml", OwnCopy("psp.Kestro.Video.xml"));
    const std::string other = Write("other.xml", OwnCopy("psp.Kestro.Video.xml", {{"bitrate_kbps=\"768\"", ""}}));
    EXPECT_EQ(Run({"diff", video, other}), kExitFound);
    EXPECT_EQ(out.str(), "common.video.encode.bitrate_kbps: 768 -> 900\n");
    EXPECT_EQ(Run({"diff", video, video}), kExitDone);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Run({"diff", video, audio}), kExitFound);
    EXPECT_NE(out.str().find("\ncommon.video.size.out_size: 480x272 -> (none)\n"), std::string::npos);
}

TEST_F(ProfileTool, RefusedSetsLeaveEveryFileByteIdentical)
{
    const std::string builtIn = temp.File("builtin.xml");
    fs::copy_file(Sample("psp.Kestro.Video.xml"), builtIn);
    const std::string video = Write("video.xml", OwnCopy("psp.Kestro.Video.xml"));
    const std::string audio = Write("audio.xml", OwnCopy("psp.Kestro.Audio.xml"));
    const std::string before[] = {ReadBytes(builtIn), ReadBytes(video), ReadBytes(audio)};

    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"set", builtIn, "profile.description=x"}, "built-in profile, use a copy"},
        {{"set", video, "common.audio.rate=1"}, "unknown key common.audio.rate"},
        {{"set", video, "common.video.encode.bitrate_kbps=12.5"}, "\"12.5\" is not a whole number"},
        {{"set", video, "common.video.encode.bitrate_kbps=99999999999"}, "is too large"},
        {{"set", video, "common.audio.freq.list=44100,,48000"}, "has an empty item"},
        {{"set", video, "common.audio.bitrate.list=64000,64000"}, "holds 64000 twice"},
        {{"set", video, "common.video.size.list=480x272,0480x272"}, "holds 0480x272, which is refused: 480x272 is"},
        {{"set", video, "common.video.outfps.value=fast"}, "is not a frame rate"},
        {{"set", video, "common.audio.codec=vorbis"}, "is not a codec the configuration names"},
        {{"set", video, "acodec.name=vorbis"}, "is not a codec section"},
        {{"set", video, "common.video.encode.mode.value=fast"}, "is not an encoding mode"},
        {{"set", video, "common.file.format=ogg"}, "is not a format of video output"},
        {{"set", video, "profile.device=a/b"}, "is not a device name"},
        {{"set", video, "profile.name=a\nb"}, "holds a control character"},
        {{"set", video, "common.video.crop.left=4"}, "is never written to a profile file"},
        {{"set", video, "profile.type=2"}, "profile.type is not set here"},
        {{"set", audio, "common.video.size.list=320x240"}, "an audio-only profile has no video settings"},
        // Values that are good on their own but not together with the rest.
        {{"set", video, "common.audio.codec=mp3"}, "would leave a problem: common.audio.codec \"mp3\" is not a codec"},
        {{"set", video, "common.video.encode.maxbitrate_kbps=500"}, "bitrate_kbps 768 is above"},
        {{"set", video, "common.video.size.out_size=640x480"}, "is not an item of common.video.size.list"},
        // One refused file of several: none is written.
        {{"set", video, builtIn, "profile.description=x"}, "built-in profile"},
    };
    for (const auto& [args, reason] : cases) {
        ExpectRefused(args, reason);
        EXPECT_EQ(ReadBytes(builtIn), before[0]) << args.back();
        EXPECT_EQ(ReadBytes(video), before[1]) << args.back();
        EXPECT_EQ(ReadBytes(audio), before[2]) << args.back();
    }
}

TEST_F(ProfileTool, SetSavesCheckedValuesAndADryRunWritesNothing)
{
    const std::string video = Write("video.xml", OwnCopy("psp.Kestro.Video.xml"));
    const std::string before = ReadBytes(video);
    const std::vector<std::string> change = {"set", video, "common.video.encode.bitrate_kbps=1000",
                                             "common.video.encode.mode.value=high_quality", "profile.description="};
    const std::string printed = video + ": common.video.encode.bitrate_kbps: 768 -> 1000\n" + video +
                                ": profile.description: MP4 with H.264 video at screen size (480x272, 768 kbps) and "
                                "AAC audio, for a handheld game console -> \"\"\n";
    std::vector<std::string> dryRun = change;
    dryRun.insert(dryRun.begin() + 1, "--dry-run");
    EXPECT_EQ(Run(dryRun), kExitDone);
    EXPECT_EQ(out.str(), printed);
    EXPECT_EQ(ReadBytes(video), before);

    EXPECT_EQ(Run(change), kExitDone);
    EXPECT_EQ(out.str(), printed);
    EXPECT_EQ(Run({"diff", Write("before.xml", before), video}), kExitFound);
    EXPECT_EQ(out.str(), "profile.description: MP4 with H.264 video at screen size (480x272, 768 kbps) and AAC "
                         "audio, for a handheld game console -> \"\"\n"
                         "common.video.encode.bitrate_kbps: 768 -> 1000\n");
    EXPECT_EQ(Run({"validate", video}), kExitDone);

    // A codec switch passes when every key of the pair changes together.
    EXPECT_EQ(Run({"set", video, "common.file.format=avi", "common.audio.codec=mp3", "acodec.name=lame"}), kExitDone);
    EXPECT_EQ(Run({"get", video, "acodec.name"}), kExitDone);
    EXPECT_EQ(out.str(), "lame\n");
}

TEST_F(ProfileTool, ASetByDeviceTouchesOnlyThatDeviceAndType)
{
    const char* names[] = {"psp.Kestro.Video.xml", "psp.Kestro.Audio.xml", "pda.Kestro.Video.xml",
                           "pda.Kestro.Audio.xml"};
    std::vector<std::string> before;
    for (const char* name : names)
        before.push_back(ReadBytes(Write(std::string("Profiles/") + name, OwnCopy(name))));
    const std::string folder = temp.File("Profiles");
    auto unchanged = [&](std::size_t i) { return ReadBytes(temp.Path() / "Profiles" / names[i]) == before[i]; };

    EXPECT_EQ(Run({"set", "--profiles", folder, "--device", "psp", "--type", "audio",
                   "common.audio.bitrate.value=256000"}),
              kExitDone);
    EXPECT_EQ(out.str(), folder + "/psp.Kestro.Audio.xml: common.audio.bitrate.value: 192000 -> 256000\n");
    EXPECT_FALSE(unchanged(1));
    EXPECT_TRUE(unchanged(0) && unchanged(2) && unchanged(3));

    // Without --type the device's audio profile refuses a video key, so neither is written.
    ExpectRefused({"set", "--profiles", folder, "--device", "pda", "common.video.encode.bitrate_kbps=500"},
                  "pda.Kestro.Audio.xml: common.video.encode.bitrate_kbps is not set here");
    EXPECT_TRUE(unchanged(2) && unchanged(3));
    ExpectRefused({"set", "--profiles", folder, "--device", "zune", "profile.description=x"},
                  "no profile of the device \"zune\"");
}

TEST_F(ProfileTool, ValidateFindsEachKindOfProblemAndNothingOnTheSamples)
{
    const std::vector<std::pair<Replacements, std::string>> cases = {
        {{{"</profile>", ""}}, "not well-formed: "},
        {{{"version=\"200\"", "version=\"100\""}}, "version \"100\" is not \"200\""},
        {{{"type=\"0\"", "type=\"1\""}}, "output type 1 is neither 0"},
        {{{"format=\"psp\"", "format=\"ogg\""}}, "common.file.format \"ogg\" is not a format of video output"},
        {{{"format=\"psp\"", "format=\"avi\""}}, "common.audio.codec \"aac\" is not a codec the format \"avi\" allows"},
        {{{"<encode codec=\"h264\"", "<encode codec=\"xvid\""}, {"<vcodec name=\"h264\"", "<vcodec name=\"xvid\""}},
         "common.video.encode.codec \"xvid\" is not a codec the format \"psp\" allows (h264, mpeg4)"},
        {{{"<acodec name=\"faac\"", "<acodec name=\"lame\""}}, "acodec.name \"lame\" does not go with"},
        {{{"list=\"24000,48000\"", "list=\"24000,48k\""}}, "common.audio.freq.list \"24000,48k\" holds 48k"},
        {{{"out_size=\"480x272\"", "out_size=\"720x480\""}}, "\"720x480\" is not an item of common.video.size.list"},
        {{{"bitrate_kbps=\"768\"", "bitrate_kbps=\"2000\""}}, "bitrate_kbps 2000 is above"},
        {{{"onefile_size_mb=\"600\"", "onefile_size_mb=\"big\""}}, "onefile_size_mb \"big\" is not a number"},
    };
    for (const auto& [replacements, problem] : cases) {
        const std::string path = Write("bad.xml", OwnCopy("psp.Kestro.Video.xml", replacements));
        EXPECT_EQ(Run({"validate", path}), kExitFound) << problem;
        EXPECT_EQ(out.str().rfind(path + ": ", 0), 0u) << out.str();
        EXPECT_NE(out.str().find(problem), std::string::npos) << out.str();
        EXPECT_EQ(LineCount(out.str()), 1u) << out.str();
    }

    EXPECT_EQ(Run({"validate", Sample("").string()}), kExitDone);
    EXPECT_EQ(out.str() + err.str(), "");
    const std::string missing = temp.File("missing.xml");
    EXPECT_EQ(Run({"validate", missing, temp.File("bad.xml")}), kExitFailed);
    EXPECT_EQ(err.str(), "orrery-profile: " + missing + ": No such file or directory\n");
    EXPECT_EQ(LineCount(out.str()), 1u);

    // The program folder's configuration decides what a format allows.
    Write("program/Orrery.xml", "<editor><profile><common><container clist=\"mp4\"><mp4 flist=\"psp\" "
                                "vlist=\"mpeg4\" alist=\"aac\"/></container></common></profile></editor>");
    EXPECT_EQ(Run({"validate", Sample("psp.Kestro.Video.xml").string()}), kExitFound);
    EXPECT_NE(out.str().find("\"h264\" is not a codec the configuration names (mpeg4)"), std::string::npos);
}

// The real programs, for what only a process shows: exit statuses, the streams, no
// display needed, and the installed link finding the program folder.
std::pair<int, std::string> RunProgram(const std::string& command)
{
    std::string output;
    FILE* pipe = ::popen(("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + command + " 2>&1").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = pipe != nullptr ? ::pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(ProfileToolProgram, ExitStatusesAndTheEditorsInformationOptions)
{
    testfiles::TempFolder temp("orrery-cli-");
    testfiles::WriteBytes(temp.Path() / "bad.xml", "<profile>");
    const std::string tool = ORRERY_TOOL;
    EXPECT_EQ(RunProgram(tool + " validate " + Sample("psp.Kestro.Video.xml").string()),
              std::make_pair(0, std::string()));
    EXPECT_EQ(RunProgram(tool + " validate " + temp.File("bad.xml")).first, 1);
    EXPECT_EQ(RunProgram(tool + " get " + temp.File("none.xml") + " profile.name"),
              std::make_pair(2, "orrery-profile: " + temp.File("none.xml") + ": No such file or directory\n"));
    EXPECT_EQ(RunProgram(tool + " --version"), std::make_pair(0, std::string("orrery-profile 1.0.0.1\n")));

    EXPECT_EQ(RunProgram(std::string(ORRERY_EDITOR) + " --version"),
              std::make_pair(0, std::string("orrery 1.0.0.1 Beta\n")));
    const auto [status, help] = RunProgram(std::string(ORRERY_EDITOR) + " --help");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(help.rfind("Usage: orrery [options]\n", 0), 0u) << help;
}

TEST(ProfileToolProgram, TheInstalledLinkReadsTheProgramFoldersConfiguration)
{
    testfiles::TempFolder temp("orrery-cli-");
    const fs::path prefix = temp.Path() / "prefix";
    for (const char* folder : {"cli", "man"}) {
        const std::string script = std::string(ORRERY_BINARY_DIR) + "/" + folder + "/cmake_install.cmake";
        ASSERT_EQ(RunProgram(std::string(ORRERY_CMAKE_COMMAND) + " -DCMAKE_INSTALL_PREFIX=" + prefix.string() +
                             " -P " + script)
                      .first,
                  0);
    }
    const fs::path link = prefix / ORRERY_INSTALL_BINDIR / "orrery-profile";
    const fs::path programFolder = prefix / ORRERY_INSTALL_PROGRAM_DIR;
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::read_symlink(link).is_relative());
    EXPECT_EQ(fs::canonical(link), fs::canonical(programFolder / "orrery-profile"));
    for (const char* page : {"orrery.1", "orrery-profile.1"})
        EXPECT_EQ(ReadBytes(prefix / ORRERY_INSTALL_MANDIR / "man1" / page),
                  ReadBytes(fs::path(ORRERY_SOURCE_DIR) / "man" / page));

    testfiles::WriteBytes(programFolder / "Orrery.xml",
                          "<editor><profile><common><container clist=\"mp4\"><mp4 flist=\"psp\" vlist=\"mpeg4\"/>"
                          "</container></common></profile></editor>");
    const auto [status, output] = RunProgram(link.string() + " validate " + Sample("psp.Kestro.Video.xml").string());
    EXPECT_EQ(status, 1);
    EXPECT_NE(output.find("\"h264\" is not a codec the configuration names (mpeg4)"), std::string::npos) << output;
}

} // namespace
} // namespace cli
