#include "profile/ProfileBase.h"

#include <utility>

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

CProfileNode CProfileBase::TreeOf(const std::string& name, std::span<const CProfileSchema> entries)
{
    CProfileBase made;
    made.BuildTree(name, entries);
    return std::move(*made.topNode);
}

void CProfileBase::CopyTree(const CProfileNode& made)
{
    topNode = std::make_unique<CProfileNode>(made);
}

void CProfileBase::BuildTree(const std::string& name, std::span<const CProfileSchema> entries)
{
    topNode = std::make_unique<CProfileNode>(name);
    AddSchemaTables(entries);
}

}  // namespace profile
