#pragma once

// The "registry": values of the current user kept in a settings file.
//
// A key "Software\<Organisation>[\<Group>...]" under the current user is the INI file
// SettingsFolder() + "/<Organisation>.conf" (what QSettings uses for an organisation
// without an application name), and the groups below it are sections of that file;
// "/" may stand for "\". So the value "Path" under "Software\Kestro" is the key Path of
// $XDG_CONFIG_HOME/Kestro.conf. The file is read through an explicit path, so this
// works with or without a QCoreApplication and never looks anywhere else.
//
// Values follow that file's syntax: written by WriteRegistryValue (or QSettings) any
// text round-trips; by hand, ";" starts a comment and "\" escapes unless the value is
// quoted, and an unquoted value with commas is read back joined with ",".
//
// Results are the Windows error codes callers already know.

#include <cstddef>
#include <string>

inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;    // key or value missing
inline constexpr long kErrorAccessDenied = 5;    // settings file unreadable or unwritable
inline constexpr long kErrorInvalidHandle = 6;   // no key open
inline constexpr long kErrorMoreData = 234;      // value longer than the buffer

enum class RegistryRoot { CurrentUser };
inline constexpr RegistryRoot kHkeyCurrentUser = RegistryRoot::CurrentUser;

class CMyRegKey {
public:
    CMyRegKey() = default;
    CMyRegKey(const CMyRegKey&) = delete;
    CMyRegKey& operator=(const CMyRegKey&) = delete;
    virtual ~CMyRegKey();

    // On success an open key is replaced; on failure the old key stays open.
    long OpenKey(RegistryRoot parent, const std::string& subkey);
    void Close();
    bool IsOpen() const;

    // size: in, the buffer's size in bytes; out, the bytes the value needs with its
    // terminating NUL. The value is copied (NUL-terminated) only when it fits; when it
    // does not, kErrorMoreData. A null buffer only asks for the size. Value names are
    // matched exactly first, then without regard to ASCII case.
    long ReadValue(const std::string& name, char* buffer, std::size_t& size) const;

    // The whole value, however long.
    long ReadValue(const std::string& name, std::string& value) const;

private:
    std::string filePath;   // empty: closed
    std::string group;      // "a/b" inside the file, empty for the top level
};

// The settings file a key maps to, or empty when the subkey names none.
std::string RegistryKeyFilePath(RegistryRoot parent, const std::string& subkey);

// Writes a value, creating the settings folder, file and groups as needed. The editor
// itself never writes settings; installers and tests do.
long WriteRegistryValue(RegistryRoot parent, const std::string& subkey, const std::string& name,
                        const std::string& value);
