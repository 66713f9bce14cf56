#pragma once

// One conversion profile: the root attributes of its file, its sections ("common",
// "acodec", "vcodec") and the markup document of the file last read or written.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "profile/ProfileBase.h"
#include "profile/ProfileNode.h"

class CXmlDoc;

namespace profile {

// A text that never changes once written, shared by every copy that holds it: a count
// and the length in front of the bytes, in one block of the text's own size.
class CSharedText {
public:
    CSharedText() = default;
    // A block of `size` bytes for the one holder to fill through Data() before it is
    // copied.
    explicit CSharedText(std::size_t size);
    CSharedText(const CSharedText& other) noexcept;
    CSharedText& operator=(const CSharedText& other) noexcept;
    CSharedText(CSharedText&& other) noexcept : block(other.block) { other.block = nullptr; }
    CSharedText& operator=(CSharedText&& other) noexcept;
    ~CSharedText() { reset(); }

    void reset() noexcept;
    // Gives back the room past `size` bytes; for the one holder, before it is copied.
    void Shrink(std::size_t size);
    explicit operator bool() const { return block != nullptr; }
    char* Data() { return block != nullptr ? reinterpret_cast<char*>(block + 1) : nullptr; }
    std::string_view View() const;

private:
    // Plain words, so realloc may move a block; the count is changed atomically.
    struct Block {
        std::uint32_t holders;
        std::uint32_t size;
    };
    Block* block = nullptr;
};

class CProfileFile {
public:
    std::string rootName;      // "profile" after CreateDefault
    std::string filePath;      // file last loaded or written
    std::string name;
    std::string description;
    std::string device;
    std::string version;
    std::string tag;
    std::string fileTitle;     // file name without its ".xml" (FileTitleOf)
    int type = 0;              // 0 video with audio, 2 audio only

    CProfileFile();
    // Copies are deep, as CopyFrom; a moved-from profile is empty.
    CProfileFile(const CProfileFile& other);
    CProfileFile& operator=(const CProfileFile& other);
    CProfileFile(CProfileFile&& other) noexcept;
    CProfileFile& operator=(CProfileFile&& other) noexcept;
    virtual ~CProfileFile();

    // Settings by dotted key ("common.audio.codec", "acodec.name"). Root attributes
    // are fields, not keys. A SetValue that changes a written attribute makes its
    // node and the nodes above it present, so the change reaches the file even when
    // the file lacked their elements; setting the value a key already has changes
    // nothing.
    bool GetValue(const std::string& key, std::string& out) const;   // out untouched when not found
    bool SetValue(const std::string& key, const std::string& value);
    bool HasValue(const std::string& key) const;

    // Top node of the first section named by the key's first component; null for a
    // key without ".".
    CProfileNode* FindSection(const std::string& key) const;
    // key = kind "." codec ("acodec.lame"): appends a new default section of that
    // codec class, or returns null when there is none. Callers remove an existing
    // section of the kind first.
    CProfileBase* AddCodecSection(const std::string& key);
    // Removes the first section of the kind whose name attribute equals the codec.
    void RemoveCodecSection(const std::string& key);
    // Removes the node a key of two or more components names ("common.video");
    // a key of one component does nothing (sections go with RemoveCodecSection).
    void RemoveNode(const std::string& key);
    // Drops document and sections and empties the texts; rootName and type stay.
    void Clear();
    void CopyFrom(const CProfileFile& other);

    // A new default profile: the common section, Lame audio and Xvid video.
    bool CreateDefault();
    // Reads a file into the sections CreateDefault made. False when the file cannot
    // be read, is not well-formed or has another root element; the root attributes
    // and sections are then unchanged.
    bool Load(const std::string& path);
    // CreateDefault and Load, except that only the root attributes are read now: the
    // file's text is kept and the sections are read from it when first used (any of
    // the calls below that reach a section, a copy's too). A library of many profiles
    // then holds, for each one never shown, its root fields and the file's text.
    // False, changing nothing, where Load would fail.
    bool LoadDeferred(const std::string& path);
    // The same for a file at the path already read: text is what it holds.
    bool LoadDeferredText(const std::string& path, std::string text);
    // Whether the sections still wait to be read from the kept text.
    bool IsDeferred() const { return static_cast<bool>(deferredText); }
    bool LoadDocument(const std::string& path);
    bool ReadFromDocument();
    // BuildDocument, then WriteFile. An empty path means filePath.
    bool Save(const std::string& path = {});
    bool BuildDocument();
    // Writes the document atomically; false when the file was not written, and the
    // previous file is then intact (WriteResultText says why). filePath follows only
    // a successful write to a given path.
    bool WriteFile(const std::string& path = {});
    const std::string& WriteResultText() const;
    // Frees the markup document of the file last read or written; Document() is null
    // after it. What was read stays in the sections, and Save builds a new document.
    void ReleaseDocument();
    void SetFileName(const std::string& path, const std::string& title);
    bool IsVersion200() const;

    const std::vector<std::unique_ptr<CProfileBase>>& Sections() const;
    const CXmlDoc* Document() const;   // null before the first load or build

private:
    CProfileBase* FindSectionObject(std::string_view kind) const;
    // Appends the document BuildDocument makes, as text; false where one of its names or
    // values is one CProfileNode::AppendNodeText leaves to the node writer.
    bool AppendDocumentText(std::string& out) const;
    void ReadRoot(CXmlDoc& doc);
    // Reads the root element's children into the sections; the document stands on
    // the root element.
    void ReadSections(CXmlDoc& doc) const;
    bool LoadCodecSection(CXmlDoc& doc, const std::string& tag, CProfileBase* section,
                          const std::string& codec) const;
    // Keeps the text of the document a deferred load read, standing on its root.
    void KeepText(const CXmlDoc& doc);
    // Reads the sections of a deferred load; every use of the sections calls it first.
    void Settle() const;

    std::unique_ptr<CXmlDoc> document;
    // Creation order, which is also the order sections are written in. Keys resolve
    // against the first section of a name, so no separate list of top nodes is kept.
    // Mutable for Settle only: reading the deferred sections changes no value a
    // caller can see.
    mutable std::vector<std::unique_ptr<CProfileBase>> sections;
    // The text of a deferred load, shared by the profile's copies until they settle: what
    // of the file's text the sections are read from (KeepText says what is left out).
    mutable CSharedText deferredText;
    // What the last WriteFile said; made by the first write, so the many profiles of a
    // library that are never written do not each hold an empty text.
    std::unique_ptr<std::string> writeResult;
};

// The file title of a path: the part after its last "/" without a final ".xml" in any
// case ("Movie" for ".../psp/Movie.xml", "a.xml.bak" for "a.xml.bak.xml"); a name
// without that extension is kept whole.
std::string FileTitleOf(std::string_view path);

}  // namespace profile
