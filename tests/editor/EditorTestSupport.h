#pragma once

// Real folders for the editor tests: a fresh temporary folder per test, fixture files
// copied into it, and a settings folder of its own so the user's settings are never
// read or written.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace editor_test {

namespace fs = std::filesystem;

inline fs::path FixturePath(const std::string& relative)
{
    return fs::path(ORRERY_TEST_DATA) / "editor" / relative;
}

inline void WriteText(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class TempDir {
public:
    TempDir()
    {
        std::random_device random;
        for (;;) {
            path_ = fs::temp_directory_path() / ("orrery-editor-" + std::to_string(random()));
            if (fs::create_directory(path_))
                break;
        }
    }
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& Path() const { return path_; }
    std::string Str() const { return path_.string(); }
    fs::path operator/(const std::string& name) const { return path_ / name; }

    // Copies fixture files (relative to tests/data/editor) into a folder below this one.
    void CopyFixture(const std::string& relative, const std::string& folder, const std::string& asName = {}) const
    {
        const fs::path target = path_ / folder;
        fs::create_directories(target);
        const fs::path source = FixturePath(relative);
        fs::copy_file(source, target / (asName.empty() ? source.filename().string() : asName),
                      fs::copy_options::overwrite_existing);
    }

private:
    fs::path path_;
};

// Points XDG_CONFIG_HOME at a folder inside a temporary folder for one test and puts
// the previous value back afterwards.
class ScopedConfigHome {
public:
    explicit ScopedConfigHome(const fs::path& folder) : folder_(folder)
    {
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            previous_ = old;
        fs::create_directories(folder_);
        setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
    }
    ~ScopedConfigHome()
    {
        if (previous_)
            setenv("XDG_CONFIG_HOME", previous_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

    const fs::path& Folder() const { return folder_; }
    // The settings file of the organisation "Kestro", written as an installer would.
    void WriteSettings(const std::string& text) const { WriteText(folder_ / "Kestro.conf", text); }

private:
    fs::path folder_;
    std::optional<std::string> previous_;
};

} // namespace editor_test
