#pragma once

// The editor configuration: what the editor offers (devices, containers with their
// formats and codecs, rates, encoding modes, FourCC codes). A built-in tree gives
// every setting a value; "Orrery.xml" beside the executable may override values of
// that tree but never adds nodes. The editor never writes it.

#include <memory>
#include <string>
#include <vector>

#include "profile/ProfileBase.h"
#include "profile/ProfileNode.h"

class CXmlDoc;

namespace editor {

// The built-in configuration schema, in the order its entries are applied.
const profile::CProfileSchema* ConfigurationSchema();
int ConfigurationSchemaCount();

class COrrery {
public:
    COrrery();
    virtual ~COrrery();
    COrrery(const COrrery&) = delete;
    COrrery& operator=(const COrrery&) = delete;
    COrrery(COrrery&& other) noexcept;              // the nodes stay where they are
    COrrery& operator=(COrrery&& other) noexcept;

    std::string rootName, filePath, name, description, deviceList, fileTitle;

    // Drops the document and the tree and empties the texts; rootName stays.
    void Clear();
    // The built-in tree under the single top node "profile". Always true.
    bool CreateDefault();
    // LoadDocument and, when it succeeds, ReadFromDocument. A missing or broken file
    // leaves the tree as it was.
    void Load(const std::string& path);
    // Reads and indexes the file into a fresh document; on success filePath and
    // fileTitle name it. False when the file cannot be read or is not well-formed.
    bool LoadDocument(const std::string& path);
    // Applies the loaded document: root attributes to the fields, every root child
    // named "profile" onto the "profile" node. False without the root element.
    bool ReadFromDocument();

    // The top node named by the key's first component; null for a key without ".".
    profile::CProfileNode* FindSection(const std::string& key) const;
    // The key is given without "profile." ("common.audio.freq.list", "device_list").
    // False (out untouched) when it names no attribute.
    bool GetValue(const std::string& key, std::string& out) const;

    const CXmlDoc* Document() const;

private:
    std::unique_ptr<CXmlDoc> document;
    std::vector<profile::CProfileNode*> topNodes;                 // not owned: the sections' top nodes
    std::vector<std::unique_ptr<profile::CProfileBase>> sections;
};

} // namespace editor
