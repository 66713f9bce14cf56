#include "platform/Platform.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <filesystem>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "markup/FileAccess.h"

namespace fs = std::filesystem;

namespace {

// ASCII only: the C library's tolower and isspace follow the process locale, which
// Qt sets from the environment, and a Latin-1 locale would rewrite UTF-8 bytes.
char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int CompareLowered(std::string_view a, std::string_view b)
{
    const std::size_t count = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < count; ++i) {
        const auto ca = static_cast<unsigned char>(AsciiLower(a[i]));
        const auto cb = static_cast<unsigned char>(AsciiLower(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && CompareLowered(text.substr(0, prefix.size()), prefix) == 0;
}

constexpr std::string_view kRenameHeader = "[rename]";
constexpr std::string_view kDeleteKey = "NUL=";

// The list file split into lines (without their line feeds).
struct ListLines {
    std::vector<std::string> lines;
    std::size_t firstEntryLine = 0;  // lines from here on may hold entries
    bool hasHeader = false;
};

ListLines SplitListFile(const std::string& content)
{
    ListLines result;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        result.lines.push_back(content.substr(start, end - start));
        start = end + 1;
    }
    for (std::size_t i = 0; i < result.lines.size(); ++i) {
        if (StartsWithNoCase(result.lines[i], kRenameHeader)) {
            result.hasHeader = true;
            result.firstEntryLine = i + 1;
            break;
        }
    }
    return result;
}

// The path of an entry line, or false when the line is no entry.
bool EntryPath(const std::string& line, std::string& path)
{
    if (!StartsWithNoCase(line, kDeleteKey))
        return false;
    path = line.substr(kDeleteKey.size());
    if (!path.empty() && path.back() == '\r')
        path.pop_back();
    return true;
}

enum class ReadResult { Read, Missing, Failed };

ReadResult ReadFileBytes(const std::string& path, std::string& content)
{
    content.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        content.append(chunk, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? ReadResult::Failed : ReadResult::Read;
}

// The freedesktop.org trash: "files" holds what was thrown away under a unique name,
// "info" a note of where it came from and when.
bool UsableTrashFolder(const std::string& trash, bool create)
{
    if (create) {
        std::error_code error;
        fs::create_directories(trash, error);
        ::chmod(trash.c_str(), 0700);
        ::mkdir((trash + "/files").c_str(), 0700);
        ::mkdir((trash + "/info").c_str(), 0700);
    }
    struct stat info {};
    // Never a trash of someone else's making, or one a link leads to.
    return ::lstat(trash.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
        && ::access((trash + "/files").c_str(), W_OK | X_OK) == 0
        && ::access((trash + "/info").c_str(), W_OK | X_OK) == 0;
}

// The trash for a file on the device: the home trash when the data folder is on it,
// else "<top folder of the device>/.Trash-<uid>" (a file may be renamed only within
// its file system). Empty when there is none.
std::string TrashFolderFor(const std::string& path, dev_t device)
{
    const std::string data = UserDataFolder();
    struct stat info {};
    std::error_code error;
    if (!data.empty()) {
        fs::create_directories(data, error);
        if (::stat(data.c_str(), &info) == 0 && info.st_dev == device) {
            const std::string home = data + "/Trash";
            return UsableTrashFolder(home, true) ? home : std::string();
        }
    }
    fs::path top = fs::absolute(fs::path(path), error).parent_path();
    while (top.has_relative_path() && ::stat(top.parent_path().c_str(), &info) == 0 && info.st_dev == device)
        top = top.parent_path();
    const std::string topTrash = (top / (".Trash-" + std::to_string(::geteuid()))).string();
    return UsableTrashFolder(topTrash, true) ? topTrash : std::string();
}

std::string PercentEncoded(const std::string& path)
{
    static const char* const kHex = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || std::strchr("/-_.~", c))
            encoded += c;
        else
            encoded.append({'%', kHex[byte >> 4], kHex[byte & 15]});
    }
    return encoded;
}

bool MoveToTrash(const std::string& path, const struct stat& fileInfo)
{
    const std::string trash = TrashFolderFor(path, fileInfo.st_dev);
    if (trash.empty())
        return false;
    std::error_code error;
    const std::string absolute = fs::absolute(fs::path(path), error).lexically_normal().string();
    if (error)
        return false;
    const std::string name = LastPathPart(absolute);
    char date[32];
    const std::time_t now = std::time(nullptr);
    struct tm local {};
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", ::localtime_r(&now, &local));
    const std::string note = "[Trash Info]\nPath=" + PercentEncoded(absolute) + "\nDeletionDate=" + date + "\n";
    for (int number = 1; number < 10000; ++number) {
        const std::string unique = number == 1 ? name : name + "." + std::to_string(number);
        const std::string infoPath = trash + "/info/" + unique + ".trashinfo";
        // The note claims the name: made exclusively, it is ours.
        const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        const bool written = ::write(fd, note.data(), note.size()) == static_cast<ssize_t>(note.size());
        const bool closed = ::close(fd) == 0;
        const std::string target = trash + "/files/" + unique;
        // A file left without its note still holds its name.
        const bool free = written && closed && !EntryExists(target);
        if (free && ::rename(path.c_str(), target.c_str()) == 0)
            return true;
        ::unlink(infoPath.c_str());
        if (written && closed && !free)
            continue;
        return false;
    }
    return false;
}

// Whether the path's folder is the folder or lies below it, links resolved; the path
// itself is not resolved, so a listed link is removed, never what it points to.
bool IsInsideFolder(const std::string& path, const std::string& folder)
{
    std::error_code error;
    const fs::path base = fs::weakly_canonical(fs::path(folder), error);
    if (error)
        return false;
    const fs::path parent = fs::weakly_canonical(fs::path(path).parent_path(), error);
    if (error)
        return false;
    return std::mismatch(base.begin(), base.end(), parent.begin(), parent.end()).first == base.end();
}

std::string StripTrailingSeparators(std::string folder)
{
    while (folder.size() > 1 && folder.back() == kPathSeparator)
        folder.pop_back();
    return folder;
}

}  // namespace

// ---------------------------------------------------------------------------
// Folders and files

bool MakeDirectory(const std::string& path)
{
    if (::mkdir(path.c_str(), 0777) == 0)
        return true;
    if (errno != EEXIST)
        return false;
    // Something already stands there; only a folder makes the call a success.
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int RemoveFileOrSchedule(const std::string& path)
{
    if (::unlink(path.c_str()) == 0)
        return kFileRemoved;
    if (errno == ENOENT)
        return kFileNotFound;
    return ScheduleDeleteInWininit(path) ? kFileRemovalScheduled : kFileNotFound;
}

std::string PendingDeletionListPath()
{
    const std::string folder = SettingsFolder();
    if (folder.empty())
        return {};
    return folder + kPathSeparator + "Kestro" + kPathSeparator + "wininit.ini";
}

bool ScheduleDeleteInWininit(const std::string& path)
{
    // One entry is one line; a path that cannot be written as one would corrupt the list.
    if (path.empty() || path.find_first_of(std::string_view("\n\r\0", 3)) != std::string::npos)
        return false;
    // The list is worked off at the next start, possibly from another working folder.
    std::error_code error;
    const fs::path absolute = fs::absolute(fs::path(path), error);
    if (error)
        return false;
    const std::string listPath = PendingDeletionListPath();
    if (listPath.empty())
        return false;
    fs::create_directories(fs::path(listPath).parent_path(), error);

    std::FILE* file = std::fopen(listPath.c_str(), "a+b");
    if (!file)
        return false;
    std::string content;
    char chunk[4096];
    std::size_t got = 0;
    std::rewind(file);
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        content.append(chunk, got);
    bool ok = std::ferror(file) == 0;

    std::string addition;
    // A last line without its line feed would otherwise swallow the new entry.
    if (!content.empty() && content.back() != '\n')
        addition += '\n';
    if (!SplitListFile(content).hasHeader)
        addition.append(kRenameHeader).append("\n");
    addition.append(kDeleteKey).append(absolute.string()).append("\n");

    // Append mode: every write lands at the end whatever the read position.
    ok = ok && std::fseek(file, 0, SEEK_END) == 0;
    ok = ok && std::fwrite(addition.data(), 1, addition.size(), file) == addition.size();
    ok = (std::fclose(file) == 0) && ok;
    return ok;
}

std::vector<std::string> PendingDeletions()
{
    std::vector<std::string> paths;
    const std::string listPath = PendingDeletionListPath();
    std::string content;
    if (listPath.empty() || ReadFileBytes(listPath, content) != ReadResult::Read)
        return paths;
    const ListLines list = SplitListFile(content);
    if (!list.hasHeader)
        return paths;
    std::string path;
    for (std::size_t i = list.firstEntryLine; i < list.lines.size(); ++i) {
        if (EntryPath(list.lines[i], path))
            paths.push_back(path);
    }
    return paths;
}

int ProcessPendingDeletions(const std::string& folder)
{
    const std::string listPath = PendingDeletionListPath();
    if (listPath.empty() || folder.empty())
        return 0;
    std::string content;
    switch (ReadFileBytes(listPath, content)) {
    case ReadResult::Missing: return 0;
    case ReadResult::Failed: return -1;
    case ReadResult::Read: break;
    }
    const ListLines list = SplitListFile(content);
    if (!list.hasHeader)
        return 0;

    std::vector<std::string> kept(list.lines.begin(), list.lines.begin() + list.firstEntryLine);
    int carriedOut = 0;
    std::string path;
    for (std::size_t i = list.firstEntryLine; i < list.lines.size(); ++i) {
        const std::string& line = list.lines[i];
        if (EntryPath(line, path) && IsInsideFolder(path, folder)) {
            // remove() also takes an emptied folder, as a restart would. ENOTDIR: a
            // component of the path is no folder, so the file cannot exist.
            if (std::remove(path.c_str()) == 0 || errno == ENOENT || errno == ENOTDIR) {
                ++carriedOut;
                continue;
            }
        }
        kept.push_back(line);
    }
    if (carriedOut == 0)
        return 0;

    const bool onlyHeaders = std::all_of(kept.begin(), kept.end(), [](const std::string& line) {
        return StartsWithNoCase(line, kRenameHeader)
            || std::all_of(line.begin(), line.end(), IsAsciiSpace);
    });
    if (onlyHeaders)
        return ::unlink(listPath.c_str()) == 0 ? carriedOut : -1;

    std::string rewritten;
    for (const std::string& line : kept)
        rewritten.append(line).append("\n");
    std::string reason;
    return WriteFileAtomically(listPath, rewritten, reason) ? carriedOut : -1;
}

FileDisposal DiscardFile(const std::string& path, std::string& reason)
{
    reason.clear();
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return FileDisposal::NotFound;
        reason = std::strerror(errno);
        return FileDisposal::Failed;
    }
    if (S_ISDIR(info.st_mode)) {
        reason = std::strerror(EISDIR);
        return FileDisposal::Failed;
    }
    if (MoveToTrash(path, info))
        return FileDisposal::Trashed;
    // No trash could take it (none on its file system, or none can be made); the
    // deletion then tells whether the file can go at all.
    if (::unlink(path.c_str()) == 0)
        return FileDisposal::Deleted;
    const int error = errno;
    if (error == ENOENT)
        return FileDisposal::NotFound;
    if ((error == EBUSY || error == ETXTBSY) && ScheduleDeleteInWininit(path))
        return FileDisposal::Scheduled;
    reason = std::strerror(error);
    return FileDisposal::Failed;
}

bool IsRegularFile(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool EntryExists(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::lstat(path.c_str(), &info) == 0;
}

bool IsWritableFolder(const std::string& path)
{
    struct stat info {};
    // The effective ids decide, as for the files the folder gets.
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)
        && ::faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

void IgnoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

bool WildcardMatch(std::string_view pattern, std::string_view name)
{
    // Greedy with backtracking to the last "*": linear in practice, no recursion.
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starAt = std::string_view::npos;
    std::size_t resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || AsciiLower(pattern[p]) == AsciiLower(name[n]))) {
            ++p;
            ++n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

namespace {

bool NameOrderLess(std::string_view a, std::string_view b)
{
    const int lowered = CompareLowered(a, b);
    return lowered != 0 ? lowered < 0 : a < b;
}

// The matching entries of the pattern's folder, each the prefix (the pattern up to its
// last separator, when kept) followed by the name, sorted by name, with whether each
// entry names a regular file of its own (the type the folder's listing gives, a lstat
// only where the file system gives none).
std::vector<ListedFile> ListMatchingNames(const std::string& pattern, bool keepPrefix)
{
    std::vector<ListedFile> list;
    const std::size_t lastSeparator = pattern.rfind(kPathSeparator);
    const std::string prefix = lastSeparator == std::string::npos ? std::string() : pattern.substr(0, lastSeparator + 1);
    const std::string_view namePattern = std::string_view(pattern).substr(prefix.size());
    if (namePattern.empty())
        return list;

    DIR* folder = ::opendir(prefix.empty() ? "." : prefix.c_str());
    if (folder == nullptr)
        return list;
    const std::size_t kept = keepPrefix ? prefix.size() : 0;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == ".." || !WildcardMatch(namePattern, name))
            continue;
        ListedFile file;
        file.path.reserve(kept + name.size());
        file.path.append(prefix, 0, kept).append(name);
        if (entry->d_type == DT_REG) {
            file.regular = true;
        } else if (entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            const std::string full = keepPrefix ? file.path : prefix + std::string(name);
            file.regular = ::lstat(full.c_str(), &info) == 0 && S_ISREG(info.st_mode);
        }
        list.push_back(std::move(file));
    }
    ::closedir(folder);
    std::sort(list.begin(), list.end(), [kept](const ListedFile& a, const ListedFile& b) {
        return NameOrderLess(std::string_view(a.path).substr(kept), std::string_view(b.path).substr(kept));
    });
    return list;
}

} // namespace

bool NameOrderLess(const std::string& a, const std::string& b)
{
    return NameOrderLess(std::string_view(a), std::string_view(b));
}

std::size_t ListMatchingFiles(const std::string& pattern, std::vector<std::string>& list, bool fullPaths)
{
    list.clear();
    std::vector<ListedFile> names = ListMatchingNames(pattern, fullPaths);
    list.reserve(names.size());
    for (ListedFile& name : names)
        list.push_back(std::move(name.path));
    return list.size();
}

std::size_t ListMatchingFiles(const std::string& pattern, std::vector<ListedFile>& list)
{
    list = ListMatchingNames(pattern, true);
    return list.size();
}

// ---------------------------------------------------------------------------
// Where things are

std::string ProgramFilePath()
{
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<std::size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(length));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExecutableFolder()
{
    const std::string program = ProgramFilePath();
    const std::size_t lastSeparator = program.rfind(kPathSeparator);
    return lastSeparator == std::string::npos ? std::string() : program.substr(0, lastSeparator);
}

namespace {

// $<variable> when it holds an absolute path (a relative one is invalid by the
// base-directory rules and ignored), otherwise the home folder (from the password
// database when HOME is unset) followed by the fallback.
std::string BaseDirectory(const char* variable, const char* homeRelative)
{
    const char* value = std::getenv(variable);
    if (value && value[0] == kPathSeparator)
        return StripTrailingSeparators(value);

    std::string home;
    if (const char* homeVariable = std::getenv("HOME"); homeVariable && *homeVariable) {
        home = homeVariable;
    } else {
        struct passwd record {};
        struct passwd* found = nullptr;
        std::vector<char> strings(16384);
        if (::getpwuid_r(::getuid(), &record, strings.data(), strings.size(), &found) == 0 && found
            && found->pw_dir && *found->pw_dir)
            home = found->pw_dir;
    }
    if (home.empty())
        return {};
    home = StripTrailingSeparators(home);
    if (home.back() != kPathSeparator)
        home += kPathSeparator;
    return home + homeRelative;
}

}  // namespace

std::string SettingsFolder()
{
    return BaseDirectory("XDG_CONFIG_HOME", ".config");
}

std::string UserDataFolder()
{
    return BaseDirectory("XDG_DATA_HOME", ".local/share");
}

std::string UserStateFolder()
{
    return BaseDirectory("XDG_STATE_HOME", ".local/state");
}

// ---------------------------------------------------------------------------
// Paths

std::string FirstPathPart(std::string_view path)
{
    return std::string(path.substr(0, path.find(kPathSeparator)));
}

std::string LastPathPart(std::string_view path)
{
    const std::size_t lastSeparator = path.rfind(kPathSeparator);
    return std::string(lastSeparator == std::string_view::npos ? path : path.substr(lastSeparator + 1));
}

std::size_t FirstPathPart(const char* path, char* buffer, std::size_t bufferSize)
{
    const std::string part = FirstPathPart(std::string_view(path ? path : ""));
    if (buffer && part.size() < bufferSize) {
        std::memset(buffer, 0, bufferSize);
        std::memcpy(buffer, part.data(), part.size());
    }
    return part.size();
}

std::size_t LastPathPart(const char* path, char* buffer, std::size_t bufferSize)
{
    const std::string part = LastPathPart(std::string_view(path ? path : ""));
    if (buffer && part.size() < bufferSize) {
        std::memcpy(buffer, part.data(), part.size());
        buffer[part.size()] = '\0';
    }
    return part.size();
}

// ---------------------------------------------------------------------------
// Byte strings

void ToLowerCase(std::string& text)
{
    std::transform(text.begin(), text.end(), text.begin(), AsciiLower);
}

void TrimLeadingSpace(std::string& text)
{
    const auto first = std::find_if_not(text.begin(), text.end(), IsAsciiSpace);
    text.erase(text.begin(), first);
}

void TrimTrailingSpace(std::string& text)
{
    const auto last = std::find_if_not(text.rbegin(), text.rend(), IsAsciiSpace);
    text.erase(last.base(), text.end());
}

void TrimSpace(std::string& text)
{
    TrimTrailingSpace(text);
    TrimLeadingSpace(text);
}

int CompareNoCase(const std::string& a, const char* b)
{
    return CompareLowered(a, b ? std::string_view(b) : std::string_view());
}
