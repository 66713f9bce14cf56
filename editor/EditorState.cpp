#include "editor/EditorState.h"

#include <charconv>
#include <filesystem>
#include <system_error>

#include "editor/StringTable.h"
#include "markup/FileAccess.h"
#include "platform/Platform.h"

namespace editor {

namespace {

constexpr std::uint64_t kMaxStateFileSize = 64 * 1024;

// A value that would break its line is not kept: the name is then simply not found
// at the next start.
std::string LineValue(const std::string& value)
{
    for (const char c : value) {
        if (static_cast<unsigned char>(c) < 0x20)
            return {};
    }
    return value;
}

bool ReadNumber(const std::string& text, int& number)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    return error == std::errc() && stop == end;
}

} // namespace

std::string StateFilePath()
{
    const std::string folder = UserStateFolder();
    return folder.empty() ? std::string() : folder + "/orrery/state.ini";
}

bool ReadEditorPlace(const std::string& path, EditorPlace& place)
{
    std::string text;
    std::string reason;
    if (path.empty() || !ReadRegularFile(path, kMaxStateFileSize, text, reason))
        return false;
    std::string section;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        int number = 0;
        if (section == "Last") {
            if (key == "Device")
                place.device = value;
            else if (key == "Profile")
                place.profile = value;
            else if (key == "OutputType" && ReadNumber(value, number))
                place.outputType = number;
        } else if (section == "Window") {
            if (key == "X" && ReadNumber(value, number)) {
                place.windowX = number;
                place.hasWindowPosition = true;
            } else if (key == "Y" && ReadNumber(value, number)) {
                place.windowY = number;
            }
        }
    }
    return true;
}

bool WriteEditorPlace(const std::string& path, const EditorPlace& place, std::string& reason)
{
    if (path.empty()) {
        reason = LoadString(kIdsNoStateFolder);
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (error) {
        reason = error.message();
        return false;
    }
    std::string text = "[Last]\nDevice=" + LineValue(place.device) +
                       "\nOutputType=" + std::to_string(place.outputType) +
                       "\nProfile=" + LineValue(place.profile) + "\n";
    if (place.hasWindowPosition)
        text += "[Window]\nX=" + std::to_string(place.windowX) + "\nY=" + std::to_string(place.windowY) + "\n";
    return WriteFileAtomically(path, text, reason);
}

} // namespace editor
