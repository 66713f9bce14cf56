#pragma once

// The holder of the profile the window shows: an owned deep copy of one profile,
// replaced whenever another profile is shown, with the operations the window needs
// forwarded to it. Without a current profile every read gives nothing and every
// change is refused.

#include <memory>
#include <string>

#include "profile/ProfileFile.h"

namespace editor {

class CTypeFile {
public:
    CTypeFile();
    virtual ~CTypeFile();
    CTypeFile(const CTypeFile&) = delete;
    CTypeFile& operator=(const CTypeFile&) = delete;

    // The current profile becomes a copy of the given one; the previous one goes.
    void SetCurrentProfile(const profile::CProfileFile& profile);
    profile::CProfileFile* GetCurrentProfile() const;
    bool HasCurrentProfile() const { return current != nullptr; }
    // No profile is shown any more.
    void ClearCurrentProfile() { current.reset(); }

    bool GetValue(const std::string& key, std::string& out) const;
    bool SetValue(const std::string& key, const std::string& value);
    bool HasValue(const std::string& key) const;
    bool Save(const std::string& path = {});
    void SetFileName(const std::string& path, const std::string& title);

    std::string Name() const;
    std::string Description() const;
    std::string Device() const;
    std::string FileTitle() const;
    std::string FilePath() const;
    std::string Tag() const;
    int Type() const;
    void SetName(const std::string& value);
    void SetDescription(const std::string& value);
    void SetTag(const std::string& value);

private:
    std::unique_ptr<profile::CProfileFile> current;
};

} // namespace editor
