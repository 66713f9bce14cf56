#include "editor/TypeFile.h"

namespace editor {

CTypeFile::CTypeFile() = default;
CTypeFile::~CTypeFile() = default;

void CTypeFile::SetCurrentProfile(const profile::CProfileFile& profile)
{
    auto copy = std::make_unique<profile::CProfileFile>();
    copy->CopyFrom(profile);
    current = std::move(copy);
}

profile::CProfileFile* CTypeFile::GetCurrentProfile() const
{
    return current.get();
}

bool CTypeFile::GetValue(const std::string& key, std::string& out) const
{
    return current && current->GetValue(key, out);
}

bool CTypeFile::SetValue(const std::string& key, const std::string& value)
{
    return current && current->SetValue(key, value);
}

bool CTypeFile::HasValue(const std::string& key) const
{
    return current && current->HasValue(key);
}

bool CTypeFile::Save(const std::string& path)
{
    return current && current->Save(path);
}

void CTypeFile::SetFileName(const std::string& path, const std::string& title)
{
    if (current)
        current->SetFileName(path, title);
}

std::string CTypeFile::Name() const { return current ? current->name : std::string(); }
std::string CTypeFile::Description() const { return current ? current->description : std::string(); }
std::string CTypeFile::Device() const { return current ? current->device : std::string(); }
std::string CTypeFile::FileTitle() const { return current ? current->fileTitle : std::string(); }
std::string CTypeFile::FilePath() const { return current ? current->filePath : std::string(); }
std::string CTypeFile::Tag() const { return current ? current->tag : std::string(); }
int CTypeFile::Type() const { return current ? current->type : 0; }

void CTypeFile::SetName(const std::string& value)
{
    if (current)
        current->name = value;
}

void CTypeFile::SetDescription(const std::string& value)
{
    if (current)
        current->description = value;
}

void CTypeFile::SetTag(const std::string& value)
{
    if (current)
        current->tag = value;
}

} // namespace editor
