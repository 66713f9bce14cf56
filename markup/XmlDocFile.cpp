#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "markup/XmlDoc.h"

namespace {

std::string SizeText(std::size_t size)
{
    return std::to_string(size) + " bytes";
}

bool Fail(std::string& resultText, int error)
{
    resultText = std::strerror(error);
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

} // namespace

bool CXmlDoc::ReadWholeFile(const std::string& path, std::string& resultText, std::string& text)
{
    CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0)
        return Fail(resultText, errno);
    struct stat info;
    if (::fstat(file.Get(), &info) != 0)
        return Fail(resultText, errno);
    if (S_ISDIR(info.st_mode))
        return Fail(resultText, EISDIR);
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > kMaxTextSize)
        return Fail(resultText, EFBIG);
    std::string content(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t got = 0;
    while (got < content.size()) {
        const ssize_t n = ::read(file.Get(), content.data() + got, content.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Fail(resultText, errno);
        }
        if (n == 0)
            break;   // the file shrank while we read it
        got += static_cast<std::size_t>(n);
    }
    content.resize(got);
    text = std::move(content);
    resultText = SizeText(got);
    return true;
}

// Writes a temporary file beside the target and renames it over the target, so the old
// file stays whole until the new one is complete and on disk.
bool CXmlDoc::WriteWholeFile(const std::string& path, std::string& resultText, const std::string& text)
{
    const std::string target = ResolveTarget(path);
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    struct stat old;
    const bool hadFile = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    // The temporary name must stay within the file-name limit however long the target's is.
    const std::string stem = base.substr(0, 200);
    static unsigned counter = 0;
    std::string temporary;
    CFileDescriptor file;
    for (int attempt = 0; attempt < 100 && file.Get() < 0; ++attempt) {
        temporary = folder + "/." + stem + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp";
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            file.Reset(fd);
        } else if (errno != EEXIST) {
            return Fail(resultText, errno);
        }
    }
    if (file.Get() < 0)
        return Fail(resultText, EEXIST);

    auto abandon = [&](int error) {
        file.Close();
        ::unlink(temporary.c_str());
        return Fail(resultText, error);
    };
    if (!WriteAll(file.Get(), text.data(), text.size()))
        return abandon(errno);
    if (hadFile && ::fchmod(file.Get(), old.st_mode & 07777) != 0)
        return abandon(errno);
    if (::fsync(file.Get()) != 0)
        return abandon(errno);
    if (file.Close() != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Fail(resultText, error);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Fail(resultText, error);
    }
    // Make the rename itself durable. The new file is in place by now, so a folder that
    // cannot be synced does not turn the save into a failure.
    CFileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.Get() >= 0)
        ::fsync(directory.Get());
    resultText = SizeText(text.size());
    return true;
}

bool CXmlDoc::ReadDocument(const std::string& path)
{
    std::string text;
    std::string result;
    if (!ReadWholeFile(path, result, text)) {
        resultText = result;
        return false;
    }
    documentText = std::move(text);
    resultText = std::move(result);
    return IndexDocument();
}
