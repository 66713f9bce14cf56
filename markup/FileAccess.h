#pragma once

// Reading and writing whole files, for every file the program keeps: profiles, the
// configuration and its own lists. Standard library and POSIX only, so the markup
// document and the platform layer share one way of doing it.
//
// Failures come back as false with the reason in words: the system's message for the
// error ("Permission denied", "File too large") or kNotRegularFileText.

#include <cstdint>
#include <string>
#include <string_view>

// The reason given for a path that names a FIFO, a socket or a device.
inline constexpr const char* kNotRegularFileText = "Not a regular file";

// Opens without blocking (a FIFO or a device never holds up the caller), and takes only
// a regular file (a link to one counts): its size, without reading it.
bool ProbeRegularFile(const std::string& path, std::uint64_t& size, std::string& reason);

// The whole content of a regular file of at most maxSize bytes. A larger file is
// refused with "File too large" before any of it is read; the text is left alone on
// every failure.
bool ReadRegularFile(const std::string& path, std::uint64_t maxSize, std::string& text, std::string& reason);

// What the read learnt of the file it opened: its last change and its size then.
struct FileFacts {
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    std::uint64_t size = 0;
};
// The same; facts, when the file could be opened and was a regular file (whether or not
// it was then read), tells of the file as it was opened, and known says so.
bool ReadRegularFile(const std::string& path, std::uint64_t maxSize, std::string& text, std::string& reason,
                     FileFacts& facts, bool& known);

enum class WriteMode {
    Replace,     // the file at the path is replaced, or made
    NoReplace,   // the write fails with "File exists" when anything stands at the path
};

// Writes a temporary file beside the target, syncs it and renames it over the target,
// so the old file stays whole until the new one is complete and on disk; nothing of
// the temporary file is left after a failure. A link is followed: its target is
// replaced. Only a regular file is ever replaced, and only when the caller may write
// to it; the new file keeps the old one's mode and, where the process may set them,
// its owner and group.
bool WriteFileAtomically(const std::string& path, std::string_view text, std::string& reason,
                         WriteMode mode = WriteMode::Replace);

// Whether a file name is one WriteFileAtomically gives its temporary files.
bool IsSaveTemporaryName(std::string_view name);

// Removes from the folder (not below it) the temporary files of our own pattern that a
// save cut short left behind, when they were last written at least minimumAgeSeconds
// ago; a younger one may belong to a save still running. Returns how many went.
int RemoveStaleSaveTemporaries(const std::string& folder, long minimumAgeSeconds);
