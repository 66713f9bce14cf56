#include "markup/FileAccess.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

bool Fail(std::string& reason, int error)
{
    reason = std::strerror(error);
    return false;
}

bool FailNotRegular(std::string& reason)
{
    reason = kNotRegularFileText;
    return false;
}

// Closes the descriptor on every path out of a function.
class CFileDescriptor {
public:
    explicit CFileDescriptor(int fd = -1) : fd(fd) {}
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;
    ~CFileDescriptor() { Close(); }
    int Get() const { return fd; }
    void Reset(int descriptor)
    {
        Close();
        fd = descriptor;
    }
    int Close()
    {
        int result = 0;
        if (fd >= 0)
            result = ::close(fd);
        fd = -1;
        return result;
    }

private:
    int fd;
};

// O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer forever.
// O_NOCTTY: a terminal device must never become the program's controlling terminal.
// Both leave a regular file as it is.
bool OpenRegular(const std::string& path, CFileDescriptor& file, struct stat& info, std::string& reason)
{
    file.Reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0)
        // A socket cannot be opened at all (ENXIO); it is no file to read either.
        return errno == ENXIO ? FailNotRegular(reason) : Fail(reason, errno);
    if (::fstat(file.Get(), &info) != 0)
        return Fail(reason, errno);
    if (S_ISDIR(info.st_mode))
        return Fail(reason, EISDIR);
    if (!S_ISREG(info.st_mode))
        return FailNotRegular(reason);
    return true;
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// A save through a symbolic link replaces the file it points to, not the link.
std::string ResolveTarget(const std::string& path)
{
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            std::string target(resolved);
            std::free(resolved);
            return target;
        }
    }
    return path;
}

// Root may give the file back to its owner, and anyone may keep a group they belong
// to. Where neither is allowed the file becomes the saver's own, and the mode it keeps
// still says who else may read it. A change of owner clears the set-id bits, so the
// caller sets the mode after this.
bool KeepOwner(int fd, const struct stat& old)
{
    return ::fchown(fd, old.st_uid, old.st_gid) == 0 || ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
}

bool MoveIntoPlace(const std::string& temporary, const std::string& target, WriteMode mode)
{
    if (mode == WriteMode::Replace)
        return ::rename(temporary.c_str(), target.c_str()) == 0;
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without the flag: a hard link also refuses to replace anything.
    if (::link(temporary.c_str(), target.c_str()) != 0)
        return false;
    ::unlink(temporary.c_str());
    return true;
}

constexpr std::string_view kTemporarySuffix = ".tmp";

bool AllDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

bool ProbeRegularFile(const std::string& path, std::uint64_t& size, std::string& reason)
{
    CFileDescriptor file;
    struct stat info;
    if (!OpenRegular(path, file, info, reason))
        return false;
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool ReadRegularFile(const std::string& path, std::uint64_t maxSize, std::string& text, std::string& reason)
{
    FileFacts facts;
    bool known = false;
    return ReadRegularFile(path, maxSize, text, reason, facts, known);
}

bool ReadRegularFile(const std::string& path, std::uint64_t maxSize, std::string& text, std::string& reason,
                     FileFacts& facts, bool& known)
{
    known = false;
    CFileDescriptor file;
    struct stat info;
    if (!OpenRegular(path, file, info, reason))
        return false;
    known = true;
    facts.seconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
    facts.nanoseconds = static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    facts.size = static_cast<std::uint64_t>(info.st_size);
    if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > maxSize)
        return Fail(reason, EFBIG);
    std::string content(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t got = 0;
    while (got < content.size()) {
        const ssize_t n = ::read(file.Get(), content.data() + got, content.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Fail(reason, errno);
        }
        if (n == 0)
            break;   // the file shrank while we read it
        got += static_cast<std::size_t>(n);
    }
    content.resize(got);
    text = std::move(content);
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view text, std::string& reason, WriteMode mode)
{
    const std::string target = ResolveTarget(path);
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    struct stat old;
    bool hadFile = false;
    if (::stat(target.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            return Fail(reason, EISDIR);
        // Renaming over a device, a FIFO or a socket would put a file where the system
        // keeps something else.
        if (!S_ISREG(old.st_mode))
            return FailNotRegular(reason);
        if (mode == WriteMode::NoReplace)
            return Fail(reason, EEXIST);
        // The folder may let us replace a file we may not write; that is not ours to do.
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
            return Fail(reason, errno);
        hadFile = true;
    } else if (errno != ENOENT) {
        return Fail(reason, errno);
    }

    // The temporary name must stay within the file-name limit however long the target's is.
    const std::string stem = base.substr(0, 200);
    static std::atomic<unsigned> counter{0};
    std::string temporary;
    CFileDescriptor file;
    for (int attempt = 0; attempt < 100 && file.Get() < 0; ++attempt) {
        temporary = folder + "/." + stem + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) +
                    std::string(kTemporarySuffix);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            file.Reset(fd);
        else if (errno != EEXIST)
            return Fail(reason, errno);
    }
    if (file.Get() < 0)
        return Fail(reason, EEXIST);

    auto abandon = [&](int error) {
        file.Close();
        ::unlink(temporary.c_str());
        return Fail(reason, error);
    };
    if (!WriteAll(file.Get(), text.data(), text.size()))
        return abandon(errno);
    if (hadFile) {
        KeepOwner(file.Get(), old);
        if (::fchmod(file.Get(), old.st_mode & 07777) != 0)
            return abandon(errno);
    }
    if (::fsync(file.Get()) != 0)
        return abandon(errno);
    if (file.Close() != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Fail(reason, error);
    }
    if (!MoveIntoPlace(temporary, target, mode)) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Fail(reason, error);
    }
    // Make the rename itself durable. The new file is in place by now, so a folder that
    // cannot be synced does not turn the save into a failure.
    CFileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.Get() >= 0)
        ::fsync(directory.Get());
    reason.clear();
    return true;
}

bool IsSaveTemporaryName(std::string_view name)
{
    // "." + target name + "." + process id + "-" + counter + ".tmp"
    if (name.size() < 2 || name.front() != '.' || !name.ends_with(kTemporarySuffix))
        return false;
    name.remove_suffix(kTemporarySuffix.size());
    const std::size_t dash = name.rfind('-');
    const std::size_t dot = name.rfind('.', dash);
    if (dash == std::string_view::npos || dot == std::string_view::npos || dot == 0)
        return false;
    return AllDigits(name.substr(dash + 1)) && AllDigits(name.substr(dot + 1, dash - dot - 1));
}

int RemoveStaleSaveTemporaries(const std::string& folder, long minimumAgeSeconds)
{
    DIR* listing = ::opendir(folder.c_str());
    if (!listing)
        return 0;
    const std::time_t now = std::time(nullptr);
    int removed = 0;
    while (const dirent* entry = ::readdir(listing)) {
        if (!IsSaveTemporaryName(entry->d_name))
            continue;
        const std::string path = folder + "/" + entry->d_name;
        struct stat info;
        // Never through a link: only the file our own save left goes.
        if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        if (now - info.st_mtime >= minimumAgeSeconds && ::unlink(path.c_str()) == 0)
            ++removed;
    }
    ::closedir(listing);
    return removed;
}
