#pragma once

// Files and folders for tests of every module: a fresh folder of a test's own under the
// system's temporary folder, whole-file reads and writes, and an environment variable
// set for one test. Header only, so test suites and fuzz targets alike can use it.

#include <stdlib.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace testfiles {

// The bytes of a file; "" when it cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Replaces the file with the bytes, making the folders above it first. False when the
// file could not be written.
inline bool WriteBytes(const std::filesystem::path& path, std::string_view bytes)
{
    std::error_code ignored;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

// A folder no other test or process shares, named "<prefix>XXXXXX" in the temporary
// folder, removed with everything in it when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a temporary folder " + pattern);
        path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The path of a name below the folder, as a string.
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Sets (or, given null, removes) an environment variable and puts the old state back
// when the object goes.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            saved_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (saved_)
            ::setenv(name_.c_str(), saved_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

// The user a permission test runs as: root passes every permission check, so as root
// the test drops to this one.
inline constexpr uid_t kOtherUser = 65534;
inline constexpr gid_t kOtherGroup = 65534;

// Runs the check in a child process and returns its exit status as waitpid gives it:
// the check's result (0 for success), or the signal that ended the child. The child
// never returns into the test, so nothing of the test (its temporary folders) is torn
// down twice.
inline int RunInChild(const std::function<int()>& check, bool asOtherUser = false)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (asOtherUser && ::getuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kOtherGroup) != 0 || ::setuid(kOtherUser) != 0))
            ::_exit(99);
        ::_exit(check());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

// The same with root given up for kOtherUser and kOtherGroup when the tests run as
// root; as anyone else the check runs as that user.
inline int RunAsOtherUser(const std::function<int()>& check)
{
    return RunInChild(check, true);
}

} // namespace testfiles
