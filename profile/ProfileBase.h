#pragma once

// A profile section: an object owning one node tree ("common", "acodec" or "vcodec").
// The class decides which schema rows build the tree; nothing else differs.

#include <cstddef>
#include <memory>
#include <span>
#include <string>

#include "profile/ProfileNode.h"

namespace profile {

class CProfileBase {
public:
    CProfileBase();                                  // no tree until Init
    CProfileBase(const CProfileBase& other);         // deep copy of the tree
    CProfileBase& operator=(const CProfileBase&) = delete;
    virtual ~CProfileBase();

    // Replaces the tree by a new top node called `name` built from the class's own
    // schema rows. The base class has none: its tree is the bare top node.
    virtual void Init(const std::string& name);

    // A deep copy of the same class. Profile copies fall back on it when the codec
    // name of a section names no codec class (see CloneSection).
    virtual std::unique_ptr<CProfileBase> Clone() const;

    CProfileNode* TopNode() const;
    std::string GetSectionName() const;              // empty while there is no tree
    bool IsSection(const std::string& name) const;

    void AddSchemaTables(const CProfileSchema* entries, int count);
    void AddSchemaTables(std::span<const CProfileSchema> entries);

    // Replaces this section's tree by a deep copy of the other section's tree.
    void CopyTreeFrom(const CProfileBase& source);

protected:
    // Builds a fresh top node and applies the rows, in order.
    void BuildTree(const std::string& name, std::span<const CProfileSchema> entries);
    // The same from a tree BuildTree made once: a class keeps the tree of its own name
    // and copies it, which is cheaper than applying the rows again.
    static CProfileNode TreeOf(const std::string& name, std::span<const CProfileSchema> entries);
    void CopyTree(const CProfileNode& made);

    std::unique_ptr<CProfileNode> topNode;
};

}  // namespace profile
