#pragma once

// The node tree every profile section (and the editor configuration) is made of:
// named nodes holding attributes, built from constant schema rows and addressed by
// dotted keys such as "common.video.size.list". Lookups are exact, case-sensitive
// and take the first match in list order.

#include <cstddef>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CXmlDoc;

namespace profile {

// A name or default of the schema: text that lives as long as the program (the schema
// tables' literals), which the attributes of every profile point at instead of each
// holding a copy. Compares and joins as the text it holds.
class CSchemaText {
public:
    constexpr CSchemaText() = default;
    constexpr CSchemaText(const char* text) : text(text != nullptr ? text : "") {}   // the schema's literals

    const char* c_str() const { return text; }
    std::string_view view() const { return text; }
    operator std::string_view() const { return text; }
    std::string str() const { return text; }
    bool empty() const { return *text == '\0'; }

    friend bool operator==(CSchemaText a, std::string_view b) { return a.view() == b; }
    friend std::string operator+(const std::string& a, CSchemaText b) { return a + b.text; }
    friend std::string operator+(CSchemaText a, const std::string& b) { return a.text + b; }
    friend std::ostream& operator<<(std::ostream& out, CSchemaText t) { return out << t.text; }

private:
    const char* text = "";
};

// One attribute of a node. The flags decide what the writer puts into a file:
// an attribute is written when it is persistent and either always-written or
// different from its default. "numeric" is carried along for the schema's sake only.
struct CProfileAttr {
    CSchemaText name;
    std::string value;
    CSchemaText defaultValue;
    bool alwaysWrite = false;
    bool numeric = false;
    bool persistent = false;
};

// The flags of a schema row, named so a table row says which of them it sets.
enum SchemaFlag : unsigned {
    kNoFlags = 0,
    kAlwaysWrite = 1u << 0,   // written even when the value equals the default
    kNumeric = 1u << 1,       // a number; carried for the schema's sake
    kPersistent = 1u << 2,    // written to the file at all
};

// An attribute of a schema table: the value starts at its default.
CProfileAttr SchemaAttr(const char* name, const char* defaultValue, unsigned flags);

// One constant schema row: the attributes to append to the node at `path`
// ("common.video.size"), whose first component is the section's top name.
struct CProfileSchema {
    const char* path = nullptr;
    const CProfileAttr* attrs = nullptr;
    int count = 0;
};

// A schema row over a whole attribute array, so the count cannot drift from the array.
template <std::size_t N>
constexpr CProfileSchema SchemaEntry(const char* path, const CProfileAttr (&attrs)[N])
{
    return CProfileSchema{path, attrs, static_cast<int>(N)};
}

// Splits a dotted key at its first ".". Without a "." both head and rest are the
// whole key (and the result is false); otherwise head is the text before the first
// "." and rest the text after it, which may be empty. An empty key gives two empty
// parts and false.
bool SplitKey(std::string_view key, std::string_view& head, std::string_view& rest);
std::pair<std::string, std::string> SplitKey(const std::string& key);

// A name the one-pass writer (AppendNodeText) takes as it stands: letters, digits, "_"
// and "-", at most 255 of them. The schema's names are all of this kind.
bool IsPlainName(std::string_view name);
// Appends ` name="value"`, the value escaped as CXmlDoc::StoreAttribute escapes it; false,
// appending nothing, for a name that is not plain or a value holding a NUL.
bool AppendAttributeText(std::string& out, std::string_view name, std::string_view value);

class CProfileNode {
public:
    std::string name;
    std::vector<CProfileAttr> attributes;
    std::vector<std::unique_ptr<CProfileNode>> children;
    // Cleared by the reader when the node's element is missing from a file; the
    // writer skips nodes that are not present.
    bool present = true;

    CProfileNode() = default;
    explicit CProfileNode(std::string nodeName);
    CProfileNode(const CProfileNode& other);              // deep copy
    CProfileNode& operator=(const CProfileNode& other);   // deep copy
    CProfileNode(CProfileNode&&) noexcept = default;
    CProfileNode& operator=(CProfileNode&&) noexcept = default;
    ~CProfileNode() = default;

    // The attribute a dotted key names; the key's first component must be this
    // node's name and its last names the attribute. Null when anything is missing.
    CProfileAttr* FindAttr(const std::string& key);
    const CProfileAttr* FindAttr(const std::string& key) const;
    bool GetAttrValue(const std::string& key, std::string& out) const;  // out untouched when not found

    // The node a dotted node path names, this node's own name first ("common.video").
    CProfileNode* FindNode(std::string_view path) const;
    // First child with the given name, or null.
    CProfileNode* FindChild(std::string_view childName) const;

    // Creates the entry's path below this node where it is missing (the first
    // component is taken to be this node and is not compared) and appends copies of
    // the entry's attributes to the node at its end. Applying an entry twice
    // duplicates its attributes; the first one wins every lookup.
    void AddSchema(const CProfileSchema& entry);
    void AddSchema(const CProfileSchema& entry, std::string_view path);

    // Removes and destroys the node a dotted key names below this node
    // ("common.video" on the node "common"); nothing happens when there is none.
    void RemoveChild(const std::string& key);

    // Deep copy: name, present flag, every attribute and, recursively, every child.
    void CopyFrom(const CProfileNode& other);

    // Reads this node's element, at the document's current level, and its subtree.
    // Missing and empty attributes take their defaults. A missing element marks the
    // node absent when it would write anything (WritesSomething); the search only
    // moves forward, so elements must stand in schema order.
    bool ReadNode(CXmlDoc& document);
    // Whether WriteNode would keep this node's element: an attribute the flags select,
    // or a present child.
    bool WritesSomething() const;
    // Appends this node's element at the document's current level with the
    // attributes the flags select and every present child; an element left without
    // an attribute and without a present child is removed again, unless keepElement
    // asks for it to stay (a section's own element, which a file always holds).
    bool WriteNode(CXmlDoc& document, bool keepElement = false) const;
    // Appends to `out` the text WriteNode gives this node in a document built from
    // nothing but such calls, each element at the end of its parent: the same bytes,
    // written in one pass. False, with out in any state, for what that writer treats
    // apart (a name other than letters, digits, "_" and "-", a value holding a NUL, two
    // written attributes of one name, a start tag too long to index); WriteNode is then
    // the one to ask.
    bool AppendNodeText(std::string& out, bool keepElement = false) const;
};

}  // namespace profile
