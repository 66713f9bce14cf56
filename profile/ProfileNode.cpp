#include "profile/ProfileNode.h"

#include "markup/XmlDoc.h"

namespace profile {

namespace {

// What the writer stores: persistent attributes that are always written or differ
// from their default.
bool IsWritten(const CProfileAttr& attr)
{
    return attr.persistent && (attr.alwaysWrite || attr.value != attr.defaultValue);
}

CProfileNode* FirstChildNamed(const CProfileNode& node, std::string_view childName)
{
    for (const std::unique_ptr<CProfileNode>& child : node.children) {
        if (child->name == childName) {
            return child.get();
        }
    }
    return nullptr;
}

// Walks the key down from `node`: the first component must be the node's own name,
// the last names the attribute, those between name children (first match each).
const CProfileAttr* FindAttrIn(const CProfileNode* node, std::string_view key)
{
    std::string_view head;
    std::string_view rest;
    if (!SplitKey(key, head, rest) || head != node->name) {
        return nullptr;
    }
    for (;;) {
        std::string_view childName;
        std::string_view childRest;
        if (!SplitKey(rest, childName, childRest)) {
            for (const CProfileAttr& attr : node->attributes) {
                if (attr.name == rest) {
                    return &attr;
                }
            }
            return nullptr;
        }
        node = FirstChildNamed(*node, childName);
        if (node == nullptr) {
            return nullptr;
        }
        // The child sees `rest` as its own key, its name first.
        rest = childRest;
    }
}

}  // namespace

CProfileAttr SchemaAttr(const char* name, const char* defaultValue, unsigned flags)
{
    return CProfileAttr{name, defaultValue, defaultValue, (flags & kAlwaysWrite) != 0, (flags & kNumeric) != 0,
                        (flags & kPersistent) != 0};
}

bool SplitKey(std::string_view key, std::string_view& head, std::string_view& rest)
{
    const std::size_t dot = key.find('.');
    if (dot == std::string_view::npos) {
        head = key;
        rest = key;
        return false;
    }
    head = key.substr(0, dot);
    rest = key.substr(dot + 1);
    return true;
}

std::pair<std::string, std::string> SplitKey(const std::string& key)
{
    std::string_view head;
    std::string_view rest;
    SplitKey(std::string_view(key), head, rest);
    return {std::string(head), std::string(rest)};
}

CProfileNode::CProfileNode(std::string nodeName)
    : name(std::move(nodeName))
{
}

CProfileNode::CProfileNode(const CProfileNode& other)
    : name(other.name), attributes(other.attributes), present(other.present)
{
    children.reserve(other.children.size());
    for (const std::unique_ptr<CProfileNode>& child : other.children) {
        children.push_back(std::make_unique<CProfileNode>(*child));
    }
}

CProfileNode& CProfileNode::operator=(const CProfileNode& other)
{
    CopyFrom(other);
    return *this;
}

CProfileAttr* CProfileNode::FindAttr(const std::string& key)
{
    return const_cast<CProfileAttr*>(FindAttrIn(this, key));
}

const CProfileAttr* CProfileNode::FindAttr(const std::string& key) const
{
    return FindAttrIn(this, key);
}

bool CProfileNode::GetAttrValue(const std::string& key, std::string& out) const
{
    const CProfileAttr* attr = FindAttrIn(this, key);
    if (attr == nullptr) {
        return false;
    }
    out = attr->value;
    return true;
}

CProfileNode* CProfileNode::FindNode(std::string_view path) const
{
    std::string_view head;
    std::string_view rest;
    const bool dotted = SplitKey(path, head, rest);
    if (head != name) {
        return nullptr;
    }
    const CProfileNode* node = this;
    while (dotted) {
        std::string_view childName;
        std::string_view childRest;
        const bool more = SplitKey(rest, childName, childRest);
        node = FirstChildNamed(*node, childName);
        if (node == nullptr || !more) {
            break;
        }
        rest = childRest;
    }
    return const_cast<CProfileNode*>(node);
}

CProfileNode* CProfileNode::FindChild(std::string_view childName) const
{
    return FirstChildNamed(*this, childName);
}

void CProfileNode::AddSchema(const CProfileSchema& entry)
{
    AddSchema(entry, entry.path != nullptr ? std::string_view(entry.path) : std::string_view());
}

void CProfileNode::AddSchema(const CProfileSchema& entry, std::string_view path)
{
    CProfileNode* node = this;
    std::string_view head;
    std::string_view rest;
    // The first component is this node and is not compared.
    while (SplitKey(path, head, rest)) {
        std::string_view childName;
        std::string_view childRest;
        SplitKey(rest, childName, childRest);
        CProfileNode* child = FirstChildNamed(*node, childName);
        if (child == nullptr) {
            node->children.push_back(std::make_unique<CProfileNode>(std::string(childName)));
            child = node->children.back().get();
        }
        node = child;
        path = rest;
    }
    if (entry.attrs == nullptr || entry.count <= 0) {
        return;
    }
    node->attributes.insert(node->attributes.end(), entry.attrs, entry.attrs + entry.count);
}

void CProfileNode::RemoveChild(const std::string& key)
{
    CProfileNode* node = this;
    std::string_view head;
    std::string_view rest;
    SplitKey(std::string_view(key), head, rest);
    for (;;) {
        std::string_view childName;
        std::string_view childRest;
        if (!SplitKey(rest, childName, childRest)) {
            for (auto it = node->children.begin(); it != node->children.end(); ++it) {
                if ((*it)->name == rest) {
                    node->children.erase(it);
                    return;
                }
            }
            return;
        }
        node = FirstChildNamed(*node, childName);
        if (node == nullptr) {
            return;
        }
        rest = childRest;
    }
}

void CProfileNode::CopyFrom(const CProfileNode& other)
{
    if (&other == this) {
        return;
    }
    // Copy before replacing anything: `other` may live inside this node's subtree.
    CProfileNode copy(other);
    *this = std::move(copy);
}

bool CProfileNode::WritesSomething() const
{
    for (const CProfileAttr& attr : attributes) {
        if (IsWritten(attr)) {
            return true;
        }
    }
    for (const std::unique_ptr<CProfileNode>& child : children) {
        if (child->present) {
            return true;
        }
    }
    return false;
}

namespace {

// ReadNode over a subtree, the element's attributes read once each; spans is scratch
// shared by the whole subtree.
bool ReadTree(CProfileNode& node, CXmlDoc& document, std::vector<CXmlDoc::AttributeSpan>& spans)
{
    // A search for an empty name would take whatever element comes next.
    if (node.name.empty()) {
        return false;
    }
    // The search only moves forward, so an element standing before one already read
    // counts as missing. A missing element marks the node absent when the node would
    // write anything as it stands; a node that writes nothing stays present, so the
    // empty elements that keep such children (a file's <source/>) read back as they
    // were written. Either way a saved file loads into the same tree again.
    const std::string current = document.NodeName();
    if (current != node.name && !document.SeekElement(node.name.c_str())) {
        if (node.WritesSomething()) {
            node.present = false;
        }
        return false;
    }
    document.ListAttributes(spans);
    for (CProfileAttr& attr : node.attributes) {
        std::string text = document.AttributeValue(spans, attr.name.view());
        if (text.empty()) {
            attr.value = attr.defaultValue;
        } else {
            attr.value = std::move(text);
        }
    }
    document.EnterElement();
    for (const std::unique_ptr<CProfileNode>& child : node.children) {
        ReadTree(*child, document, spans);
    }
    document.LeaveElement();
    return true;
}

}  // namespace

bool CProfileNode::ReadNode(CXmlDoc& document)
{
    std::vector<CXmlDoc::AttributeSpan> spans;
    spans.reserve(16);   // more than any element the schema knows holds, in one allocation
    return ReadTree(*this, document, spans);
}

bool CProfileNode::WriteNode(CXmlDoc& document, bool keepElement) const
{
    // An element without a name cannot be written, and seeking one would match any.
    if (name.empty()) {
        return false;
    }
    if (!document.SeekElement(name.c_str()) && !document.AppendElement(name.c_str())) {
        return false;
    }
    const int element = document.CurrentPosition();
    for (const CProfileAttr& attr : attributes) {
        if (IsWritten(attr)) {
            document.StoreAttribute(element, attr.name.c_str(), attr.value);
        }
    }
    document.EnterElement();
    for (const std::unique_ptr<CProfileNode>& child : children) {
        if (child->present) {
            child->WriteNode(document);
        }
    }
    document.LeaveElement();
    // A present child keeps its parent's element even when its own was removed.
    if (!keepElement && !WritesSomething()) {
        document.DeleteElement();
    }
    return true;
}

bool IsPlainName(std::string_view name)
{
    if (name.empty() || name.size() > 255) {
        return false;
    }
    for (const char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                           c == '-';
        if (!plain) {
            return false;
        }
    }
    return true;
}

bool AppendAttributeText(std::string& out, std::string_view name, std::string_view value)
{
    if (!IsPlainName(name) || value.find('\0') != std::string_view::npos) {
        return false;
    }
    out += ' ';
    out += name;
    out += "=\"";
    CXmlDoc::AppendEscapedMarkup(out, value, true);
    out += '"';
    return true;
}

bool CProfileNode::AppendNodeText(std::string& out, bool keepElement) const
{
    // WriteNode appends an element and removes it again when it keeps nothing; the
    // element then leaves nothing behind.
    if (!IsPlainName(name)) {
        return false;
    }
    if (!keepElement && !WritesSomething()) {
        return true;
    }
    const std::size_t tagStart = out.size();
    out += '<';
    out += name;
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const CProfileAttr& attr = attributes[i];
        if (!IsWritten(attr)) {
            continue;
        }
        // A second store of a name replaces the first one's value in place.
        for (std::size_t j = 0; j < i; ++j) {
            if (IsWritten(attributes[j]) && attributes[j].name == attr.name.view()) {
                return false;
            }
        }
        if (!AppendAttributeText(out, attr.name.view(), attr.value)) {
            return false;
        }
    }
    // Attributes are stored while the tag still ends in "/>".
    if (out.size() - tagStart + 2 > CXmlDoc::kMaxStartTagLength) {
        return false;
    }
    bool holdsChild = false;
    for (const std::unique_ptr<CProfileNode>& child : children) {
        holdsChild = holdsChild || child->present;
    }
    if (!holdsChild) {
        out += "/>\r\n";
        return true;
    }
    // The first child turns "<name .../>" into "<name ...>", a line break, the child and
    // "</name>"; a child removed again leaves that form as it is.
    out += ">\r\n";
    for (const std::unique_ptr<CProfileNode>& child : children) {
        if (child->present && !child->AppendNodeText(out)) {
            return false;
        }
    }
    out += "</";
    out += name;
    out += ">\r\n";
    return true;
}

}  // namespace profile
