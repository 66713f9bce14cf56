#pragma once

// Real folders for the editor tests: a fresh temporary folder per test, fixture files
// copied into it, and a settings folder of its own so the user's settings are never
// read or written.

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/TestFiles.h"

namespace editor_test {

namespace fs = std::filesystem;

inline fs::path FixturePath(const std::string& relative)
{
    return fs::path(ORRERY_TEST_DATA) / "editor" / relative;
}

using testfiles::ReadBytes;
using testfiles::WriteBytes;

class TempDir : public testfiles::TempFolder {
public:
    TempDir() : TempFolder("orrery-editor-") {}

    std::string Str() const { return Path().string(); }
    fs::path operator/(const std::string& name) const { return Path() / name; }

    // Copies fixture files (relative to tests/data/editor) into a folder below this one.
    void CopyFixture(const std::string& relative, const std::string& folder, const std::string& asName = {}) const
    {
        const fs::path target = Path() / folder;
        fs::create_directories(target);
        const fs::path source = FixturePath(relative);
        fs::copy_file(source, target / (asName.empty() ? source.filename().string() : asName),
                      fs::copy_options::overwrite_existing);
    }
};

// Points XDG_CONFIG_HOME at a folder inside a temporary folder for one test and puts
// the previous value back afterwards.
class ScopedConfigHome {
public:
    explicit ScopedConfigHome(const fs::path& folder) : folder_(folder), env_("XDG_CONFIG_HOME", Made(folder)) {}
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

    const fs::path& Folder() const { return folder_; }
    // The settings file of the organisation "Kestro", written as an installer would.
    void WriteSettings(const std::string& text) const { WriteBytes(folder_ / "Kestro.conf", text); }

private:
    static const char* Made(const fs::path& folder)
    {
        fs::create_directories(folder);
        return folder.c_str();
    }

    fs::path folder_;
    testfiles::ScopedEnv env_;
};

} // namespace editor_test
