#pragma once

// What the shipping tests share: temporary folders, whole-file reads, running a
// command line, and where the samples, the build and cmake are.

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/TestFiles.h"

namespace shipping_test {

namespace fs = std::filesystem;

inline fs::path DataFolder()
{
    return fs::path(ORRERY_SOURCE_DIR) / "data";
}

inline fs::path SampleFolder()
{
    return DataFolder() / "Profiles";
}

using testfiles::ReadBytes;
using testfiles::WriteBytes;

// The "*.xml" files directly in a folder, by name.
inline std::vector<fs::path> XmlFiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file() && entry.path().extension() == ".xml")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

inline std::set<std::string> FileNames(const std::vector<fs::path>& files)
{
    std::set<std::string> names;
    for (const fs::path& file : files)
        names.insert(file.filename().string());
    return names;
}

class TempDir : public testfiles::TempFolder {
public:
    TempDir() : TempFolder("orrery-shipping-") {}
};

// A text as one word of a POSIX shell command line.
inline std::string ShellWord(const std::string& text)
{
    std::string word = "'";
    for (char c : text) {
        if (c == '\'')
            word += "'\\''";
        else
            word += c;
    }
    return word + "'";
}

// Runs a shell command line; its output goes to the given file. The exit status, or
// -1 when it did not exit normally.
inline int RunCommand(const std::string& command, const fs::path& log)
{
    const int status = std::system((command + " >" + ShellWord(log.string()) + " 2>&1").c_str());
    if (status == -1 || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace shipping_test
