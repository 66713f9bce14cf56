#include "profile/ProfileBase.h"

namespace profile {

CProfileBase::CProfileBase() = default;

CProfileBase::CProfileBase(const CProfileBase& other)
    : topNode(other.topNode ? std::make_unique<CProfileNode>(*other.topNode) : nullptr)
{
}

CProfileBase::~CProfileBase() = default;

void CProfileBase::Init(const std::string& name)
{
    BuildTree(name, {});
}

std::unique_ptr<CProfileBase> CProfileBase::Clone() const
{
    return std::make_unique<CProfileBase>(*this);
}

CProfileNode* CProfileBase::TopNode() const
{
    return topNode.get();
}

std::string CProfileBase::GetSectionName() const
{
    return topNode ? topNode->name : std::string();
}

bool CProfileBase::IsSection(const std::string& name) const
{
    return topNode && topNode->name == name;
}

void CProfileBase::AddSchemaTables(const CProfileSchema* entries, int count)
{
    if (entries == nullptr || count <= 0) {
        return;
    }
    AddSchemaTables(std::span<const CProfileSchema>(entries, static_cast<std::size_t>(count)));
}

void CProfileBase::AddSchemaTables(std::span<const CProfileSchema> entries)
{
    if (!topNode) {
        return;
    }
    for (const CProfileSchema& entry : entries) {
        topNode->AddSchema(entry);
    }
}

void CProfileBase::CopyTreeFrom(const CProfileBase& source)
{
    if (&source == this) {
        return;
    }
    topNode = source.topNode ? std::make_unique<CProfileNode>(*source.topNode) : nullptr;
}

void CProfileBase::BuildTree(const std::string& name, std::span<const CProfileSchema> entries)
{
    topNode = std::make_unique<CProfileNode>(name);
    AddSchemaTables(entries);
}

}  // namespace profile
