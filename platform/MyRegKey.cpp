#include "platform/MyRegKey.h"

#include "platform/Platform.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace {

struct KeyLocation {
    std::string filePath;
    std::string group;
};

bool IsUsableComponent(const std::string& component)
{
    if (component.empty() || component == "." || component == "..")
        return false;
    for (const char c : component) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return false;
    }
    return true;
}

// "Software\Org\Group..." -> <settings folder>/Org.conf and the group "Group/...".
bool LocateKey(RegistryRoot parent, const std::string& subkey, KeyLocation& location)
{
    if (parent != RegistryRoot::CurrentUser)
        return false;
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= subkey.size()) {
        std::size_t end = subkey.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = subkey.size();
        if (end > start)
            components.push_back(subkey.substr(start, end - start));
        start = end + 1;
    }
    if (components.size() < 2 || CompareNoCase(components[0], "software") != 0)
        return false;
    for (std::size_t i = 1; i < components.size(); ++i) {
        if (!IsUsableComponent(components[i]))
            return false;
    }
    const std::string folder = SettingsFolder();
    if (folder.empty())
        return false;
    location.filePath = folder + kPathSeparator + components[1] + ".conf";
    location.group.clear();
    for (std::size_t i = 2; i < components.size(); ++i) {
        if (!location.group.empty())
            location.group += '/';
        location.group += components[i];
    }
    return true;
}

// QSettings reads "\" and "/" in a key as group separators, which no value name means.
bool IsUsableValueName(const std::string& name)
{
    return !name.empty() && name.find_first_of("\\/") == std::string::npos;
}

QString FromBytes(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToBytes(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString FilePathText(const std::string& path)
{
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

}  // namespace

CMyRegKey::~CMyRegKey()
{
    Close();
}

long CMyRegKey::OpenKey(RegistryRoot parent, const std::string& subkey)
{
    KeyLocation location;
    if (!LocateKey(parent, subkey, location))
        return kErrorFileNotFound;
    std::error_code error;
    if (!std::filesystem::is_regular_file(location.filePath, error))
        return kErrorFileNotFound;
    // QSettings would read an unreadable file as an empty one.
    if (!std::ifstream(location.filePath, std::ios::binary).is_open())
        return kErrorAccessDenied;
    if (!location.group.empty()) {
        QSettings settings(FilePathText(location.filePath), QSettings::IniFormat);
        settings.beginGroup(FromBytes(location.group));
        if (settings.allKeys().isEmpty())
            return kErrorFileNotFound;
    }
    filePath = std::move(location.filePath);
    group = std::move(location.group);
    return kErrorSuccess;
}

void CMyRegKey::Close()
{
    filePath.clear();
    group.clear();
}

bool CMyRegKey::IsOpen() const
{
    return !filePath.empty();
}

long CMyRegKey::ReadValue(const std::string& name, std::string& value) const
{
    if (!IsOpen())
        return kErrorInvalidHandle;
    if (!IsUsableValueName(name))
        return kErrorFileNotFound;
    // Read at the time of the call, like a registry query, not when the key was opened.
    QSettings settings(FilePathText(filePath), QSettings::IniFormat);
    if (settings.status() == QSettings::AccessError)
        return kErrorAccessDenied;
    if (!group.empty())
        settings.beginGroup(FromBytes(group));
    QString key = FromBytes(name);
    if (!settings.contains(key)) {
        // Value names of the registry are not case-sensitive; the file's keys are.
        const QStringList keys = settings.childKeys();
        const auto found = std::find_if(keys.begin(), keys.end(), [&](const QString& candidate) {
            return CompareNoCase(ToBytes(candidate), name.c_str()) == 0;
        });
        if (found == keys.end())
            return kErrorFileNotFound;
        key = *found;
    }
    const QVariant stored = settings.value(key);
    // An unquoted value with commas reads as a list in this file format.
    if (stored.typeId() == QMetaType::QStringList)
        value = ToBytes(stored.toStringList().join(QLatin1Char(',')));
    else
        value = ToBytes(stored.toString());
    return kErrorSuccess;
}

long CMyRegKey::ReadValue(const std::string& name, char* buffer, std::size_t& size) const
{
    std::string value;
    const long result = ReadValue(name, value);
    if (result != kErrorSuccess)
        return result;
    const std::size_t needed = value.size() + 1;
    if (!buffer) {
        size = needed;
        return kErrorSuccess;
    }
    const std::size_t available = size;
    size = needed;
    if (needed > available)
        return kErrorMoreData;
    std::memcpy(buffer, value.c_str(), needed);
    return kErrorSuccess;
}

std::string RegistryKeyFilePath(RegistryRoot parent, const std::string& subkey)
{
    KeyLocation location;
    return LocateKey(parent, subkey, location) ? location.filePath : std::string();
}

long WriteRegistryValue(RegistryRoot parent, const std::string& subkey, const std::string& name,
                        const std::string& value)
{
    KeyLocation location;
    if (!LocateKey(parent, subkey, location) || !IsUsableValueName(name))
        return kErrorFileNotFound;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(location.filePath).parent_path(), error);
    QSettings settings(FilePathText(location.filePath), QSettings::IniFormat);
    if (!location.group.empty())
        settings.beginGroup(FromBytes(location.group));
    settings.setValue(FromBytes(name), FromBytes(value));
    settings.sync();
    return settings.status() == QSettings::NoError ? kErrorSuccess : kErrorAccessDenied;
}
