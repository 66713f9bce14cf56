#include "profile/ProfileFile.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "markup/XmlDoc.h"
#include "profile/ProfileCodec.h"
#include "profile/ProfileCommon.h"

namespace profile {

namespace {

constexpr const char* kRootTag = "profile";
constexpr const char* kCommonTag = "common";
constexpr const char* kAudioTag = "acodec";
constexpr const char* kVideoTag = "vcodec";

// Reads a decimal integer the way atoi does (leading blanks, a sign, digits up to
// the first other byte, 0 when there are none), but saturates instead of
// overflowing.
int ParseDecimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude >= limit) {
            magnitude = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

// Marks the top node and every node on the key's path below it present; the last
// component names the attribute and is not a node.
void MakePathPresent(CProfileNode& top, std::string_view key)
{
    CProfileNode* node = &top;
    node->present = true;
    std::string_view head;
    std::string_view rest;
    SplitKey(key, head, rest);
    std::string_view childName;
    std::string_view childRest;
    while (node != nullptr && SplitKey(rest, childName, childRest)) {
        node = node->FindChild(childName);
        if (node != nullptr) {
            node->present = true;
        }
        rest = childRest;
    }
}

}  // namespace

std::string FileTitleOf(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    std::string_view fileName = slash == std::string_view::npos ? path : path.substr(slash + 1);
    // The scan's "*.xml" takes the extension in any case, so the title does too; only
    // the final one is the extension ("a.xml.bak.xml" is the title "a.xml.bak").
    constexpr std::string_view kExtension = ".xml";
    if (fileName.size() >= kExtension.size()) {
        const std::string_view tail = fileName.substr(fileName.size() - kExtension.size());
        const bool isExtension = std::equal(tail.begin(), tail.end(), kExtension.begin(), [](char a, char b) {
            return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
        });
        if (isExtension) {
            fileName.remove_suffix(kExtension.size());
        }
    }
    return std::string(fileName);
}

CProfileFile::CProfileFile() = default;

CProfileFile::CProfileFile(const CProfileFile& other)
{
    CopyFrom(other);
}

CProfileFile& CProfileFile::operator=(const CProfileFile& other)
{
    if (this != &other) {
        CProfileFile copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CProfileFile::CProfileFile(CProfileFile&& other) noexcept
    : rootName(std::move(other.rootName)),
      filePath(std::move(other.filePath)),
      name(std::move(other.name)),
      description(std::move(other.description)),
      device(std::move(other.device)),
      version(std::move(other.version)),
      tag(std::move(other.tag)),
      fileTitle(std::move(other.fileTitle)),
      type(other.type),
      deferredSize(other.deferredSize),
      document(std::move(other.document)),
      sections(std::move(other.sections)),
      deferredText(std::move(other.deferredText)),
      writeResult(std::move(other.writeResult))
{
    other.Clear();
    other.rootName.clear();
    other.type = 0;
}

CProfileFile& CProfileFile::operator=(CProfileFile&& other) noexcept
{
    if (this != &other) {
        rootName = std::move(other.rootName);
        filePath = std::move(other.filePath);
        name = std::move(other.name);
        description = std::move(other.description);
        device = std::move(other.device);
        version = std::move(other.version);
        tag = std::move(other.tag);
        fileTitle = std::move(other.fileTitle);
        type = other.type;
        deferredSize = other.deferredSize;
        document = std::move(other.document);
        sections = std::move(other.sections);
        deferredText = std::move(other.deferredText);
        writeResult = std::move(other.writeResult);
        other.Clear();
        other.rootName.clear();
        other.type = 0;
    }
    return *this;
}

CProfileFile::~CProfileFile() = default;

bool CProfileFile::GetValue(const std::string& key, std::string& out) const
{
    Settle();
    const CProfileNode* top = FindSection(key);
    return top != nullptr && top->GetAttrValue(key, out);
}

bool CProfileFile::SetValue(const std::string& key, const std::string& value)
{
    Settle();
    CProfileNode* top = FindSection(key);
    CProfileAttr* attr = top != nullptr ? top->FindAttr(key) : nullptr;
    if (attr == nullptr) {
        return false;
    }
    if (attr->value == value) {
        return true;
    }
    attr->value = value;
    // Hand-written and foreign files may lack the element of a node (a <common>
    // without <file>); the reader marks such nodes absent and the writer skips them.
    // A change the user made there must reach the file, so the path down to it is
    // made present. A value the caller leaves as it was changes nothing, so a file
    // stored back unchanged keeps its shape.
    if (attr->persistent) {
        MakePathPresent(*top, key);
    }
    return true;
}

bool CProfileFile::HasValue(const std::string& key) const
{
    Settle();
    const CProfileNode* top = FindSection(key);
    return top != nullptr && top->FindAttr(key) != nullptr;
}

CProfileNode* CProfileFile::FindSection(const std::string& key) const
{
    std::string_view head;
    std::string_view rest;
    if (!SplitKey(key, head, rest)) {
        return nullptr;
    }
    Settle();
    CProfileBase* section = FindSectionObject(head);
    return section != nullptr ? section->TopNode() : nullptr;
}

CProfileBase* CProfileFile::FindSectionObject(std::string_view kind) const
{
    for (const std::unique_ptr<CProfileBase>& section : sections) {
        const CProfileNode* top = section->TopNode();
        if (top != nullptr && top->name == kind) {
            return section.get();
        }
    }
    return nullptr;
}

namespace {

// "acodec.lame" names a section kind and a codec; anything after a second "." is ignored.
std::pair<std::string_view, std::string_view> SplitCodecKey(std::string_view key)
{
    std::string_view kind;
    std::string_view rest;
    SplitKey(key, kind, rest);
    std::string_view codec;
    std::string_view ignored;
    SplitKey(rest, codec, ignored);
    return {kind, codec};
}

} // namespace

CProfileBase* CProfileFile::AddCodecSection(const std::string& key)
{
    const auto [kind, codec] = SplitCodecKey(key);
    std::unique_ptr<CProfileBase> section = CreateCodec(std::string(kind), std::string(codec));
    if (!section) {
        return nullptr;
    }
    Settle();
    sections.push_back(std::move(section));
    return sections.back().get();
}

void CProfileFile::RemoveCodecSection(const std::string& key)
{
    const auto [kind, codec] = SplitCodecKey(key);
    const std::string nameKey = std::string(kind) + ".name";
    Settle();
    for (auto it = sections.begin(); it != sections.end(); ++it) {
        const CProfileNode* top = (*it)->TopNode();
        if (top == nullptr || top->name != kind) {
            continue;
        }
        const CProfileAttr* codecName = top->FindAttr(nameKey);
        if (codecName != nullptr && codecName->value == codec) {
            sections.erase(it);
            return;
        }
    }
}

void CProfileFile::RemoveNode(const std::string& key)
{
    // A key of one component would name a whole section's top node; dropping only the
    // tree would leave a section without one, so such a key does nothing.
    std::string_view head;
    std::string_view rest;
    if (!SplitKey(key, head, rest)) {
        return;
    }
    if (CProfileNode* top = FindSection(key)) {
        top->RemoveChild(key);
    }
}

void CProfileFile::Clear()
{
    document.reset();
    sections.clear();
    deferredText.reset();
    deferredSize = 0;
    filePath.clear();
    name.clear();
    description.clear();
    device.clear();
    version.clear();
    tag.clear();
    fileTitle.clear();
    writeResult.clear();
}

void CProfileFile::CopyFrom(const CProfileFile& other)
{
    if (&other == this) {
        return;
    }
    Clear();
    document = other.document ? std::make_unique<CXmlDoc>(*other.document) : std::make_unique<CXmlDoc>();
    rootName = other.rootName;
    filePath = other.filePath;
    name = other.name;
    description = other.description;
    version = other.version;
    device = other.device;
    tag = other.tag;
    fileTitle = other.fileTitle;
    type = other.type;
    deferredText = other.deferredText;
    deferredSize = other.deferredSize;
    sections.reserve(other.sections.size());
    for (const std::unique_ptr<CProfileBase>& section : other.sections) {
        std::unique_ptr<CProfileBase> copy = CloneSection(*section);
        if (!copy) {
            // The section's name attribute names no codec class (it was set to an
            // unknown name): keep the section's own class rather than lose it.
            copy = section->Clone();
        }
        sections.push_back(std::move(copy));
    }
}

bool CProfileFile::CreateDefault()
{
    Clear();
    rootName = kRootTag;
    std::unique_ptr<CProfileBase> common = std::make_unique<CProfileCommon>();
    common->Init(kCommonTag);
    sections.push_back(std::move(common));

    std::string codec;
    if (GetValue("common.audio.codec", codec) && codec == "mp3") {
        AddCodecSection("acodec.lame");
    }
    codec.clear();
    GetValue("common.video.encode.codec", codec);
    AddCodecSection("vcodec." + codec);
    return true;
}

bool CProfileFile::Load(const std::string& path)
{
    return LoadDocument(path) && ReadFromDocument();
}

bool CProfileFile::LoadDeferred(const std::string& path)
{
    std::string text;
    std::string reason;
    return CXmlDoc::ReadWholeFile(path, reason, text) && LoadDeferredText(path, std::move(text));
}

bool CProfileFile::LoadDeferredText(const std::string& path, std::string text)
{
    CXmlDoc doc;
    doc.SetDocumentText(std::move(text));
    if (!doc.IndexDocument()) {
        return false;
    }
    doc.Rewind();
    if (!doc.SeekElement(kRootTag)) {
        return false;
    }
    Clear();
    rootName = kRootTag;
    filePath = path;
    fileTitle = FileTitleOf(path);
    ReadRoot(doc);
    KeepText(doc);
    return true;
}

void CProfileFile::KeepText(const CXmlDoc& doc)
{
    // The root's attributes are read already and its sections need none of them, so a
    // root start tag of the usual shape is kept bare ("<profile>"): the rest of the
    // text reads as before after it. Any other shape (an empty root, an unended one, a
    // name the parse reads otherwise) is kept whole.
    const std::string& text = doc.DocumentText();
    const XmlElementRecord& root = doc.Record(doc.CurrentPosition());
    const std::size_t start = root.start;
    const std::size_t tagLength = root.tagLengths & CXmlDoc::kStartTagMask;
    const std::string bareTag = std::string("<") + kRootTag + ">";
    const std::string_view bare = bareTag;
    const std::string_view opening = bare.substr(0, bare.size() - 1);
    std::string_view before = std::string_view(text).substr(0, start);
    std::string_view tag = bare;
    std::string_view after;
    const bool usual = (root.tagLengths >> CXmlDoc::kEndTagShift) != 0 && tagLength > opening.size() &&
                       start + tagLength <= text.size() && text.compare(start, opening.size(), opening) == 0 &&
                       std::string_view(" \t\r\n>").find(text[start + opening.size()]) != std::string_view::npos;
    if (usual) {
        after = std::string_view(text).substr(start + tagLength);
    } else {
        before = text;
        tag = {};
    }
    const std::size_t size = before.size() + tag.size() + after.size();
    std::shared_ptr<char[]> kept = std::make_shared_for_overwrite<char[]>(size);
    char* out = kept.get();
    for (const std::string_view part : {before, tag, after}) {
        std::copy(part.begin(), part.end(), out);
        out += part.size();
    }
    deferredText = std::move(kept);
    deferredSize = static_cast<std::uint32_t>(size);
}

void CProfileFile::Settle() const
{
    if (!deferredText) {
        return;
    }
    // Taken first: the reading below goes through functions that settle.
    const std::shared_ptr<const char[]> text = std::move(deferredText);
    const std::size_t size = deferredSize;
    deferredText.reset();
    deferredSize = 0;

    // Every deferred profile starts from the same default sections, made once.
    static const CProfileFile defaults = [] {
        CProfileFile made;
        made.CreateDefault();
        return made;
    }();
    sections.clear();
    sections.reserve(defaults.sections.size());
    for (const std::unique_ptr<CProfileBase>& section : defaults.sections) {
        sections.push_back(section->Clone());
    }

    CXmlDoc doc;
    doc.SetDocumentText(std::string(text.get(), size));
    doc.IndexDocument();
    doc.Rewind();
    if (doc.SeekElement(rootName.c_str())) {
        ReadSections(doc);
    }
}

bool CProfileFile::LoadDocument(const std::string& path)
{
    // What a deferred load kept is this profile's content: a file that cannot be read
    // must leave it, and a file that can is read over it.
    Settle();
    document = std::make_unique<CXmlDoc>();
    if (!document->ReadDocument(path)) {
        return false;
    }
    filePath = path;
    fileTitle = FileTitleOf(path);
    return true;
}

bool CProfileFile::ReadFromDocument()
{
    if (!document) {
        return false;
    }
    CXmlDoc& doc = *document;
    doc.Rewind();
    if (!doc.SeekElement(rootName.c_str())) {
        return false;
    }
    Settle();
    ReadRoot(doc);
    ReadSections(doc);
    return true;
}

void CProfileFile::ReadRoot(CXmlDoc& doc)
{
    std::vector<CXmlDoc::AttributeSpan> spans;
    spans.reserve(8);   // a root's six and a few more, in one allocation
    doc.ListAttributes(spans);
    name = doc.AttributeValue(spans, "name");
    description = doc.AttributeValue(spans, "description");
    version = doc.AttributeValue(spans, "version");
    device = doc.AttributeValue(spans, "device");
    tag = doc.AttributeValue(spans, "tag");
    type = ParseDecimal(doc.AttributeValue(spans, "type"));
}

void CProfileFile::ReadSections(CXmlDoc& doc) const
{
    doc.EnterElement();
    while (doc.SeekElement(nullptr)) {
        const std::string elementName = doc.NodeName();
        // Anything but the three section elements is skipped, and so is "common" on
        // a profile without a common section: CreateDefault builds that one.
        if (elementName == kCommonTag) {
            if (CProfileBase* common = FindSectionObject(elementName)) {
                common->TopNode()->ReadNode(doc);
            }
        } else if (elementName == kAudioTag || elementName == kVideoTag) {
            LoadCodecSection(doc, elementName, FindSectionObject(elementName), doc.FetchAttribute("name"));
        }
    }
    doc.LeaveElement();
}

bool CProfileFile::LoadCodecSection(CXmlDoc& doc, const std::string& elementName, CProfileBase* section,
                                    const std::string& codec) const
{
    if (section != nullptr) {
        std::string current;
        section->TopNode()->GetAttrValue(elementName + ".name", current);
        if (current != codec) {
            // The section is replaced only once its replacement exists: an element
            // naming an unknown codec leaves the section as it was.
            std::unique_ptr<CProfileBase> replacement = CreateCodec(elementName, codec);
            if (!replacement) {
                return false;
            }
            for (auto it = sections.begin(); it != sections.end(); ++it) {
                if (it->get() == section) {
                    sections.erase(it);
                    break;
                }
            }
            sections.push_back(std::move(replacement));
            section = sections.back().get();
        }
    } else {
        std::unique_ptr<CProfileBase> created = CreateCodec(elementName, codec);
        if (!created) {
            return false;
        }
        sections.push_back(std::move(created));
        section = sections.back().get();
    }
    return section->TopNode()->ReadNode(doc);
}

bool CProfileFile::Save(const std::string& path)
{
    return BuildDocument() && WriteFile(path);
}

bool CProfileFile::BuildDocument()
{
    Settle();
    document = std::make_unique<CXmlDoc>();
    CXmlDoc& doc = *document;
    if (rootName.empty() || !doc.AppendElement(rootName.c_str())) {
        return false;
    }
    const int root = doc.CurrentPosition();
    doc.StoreAttribute(root, "name", name);
    doc.StoreAttribute(root, "description", description);
    doc.StoreAttribute(root, "version", version);
    doc.StoreAttribute(root, "device", device);
    doc.StoreAttribute(root, "tag", tag);
    doc.StoreAttribute(root, "type", std::to_string(type));
    doc.EnterElement();
    for (const std::unique_ptr<CProfileBase>& section : sections) {
        // A section read from an element whose children all went missing writes
        // nothing of its own; its element stays, so reading the file back finds the
        // section again instead of falling back to its defaults.
        if (const CProfileNode* top = section->TopNode()) {
            top->WriteNode(doc, true);
        }
    }
    doc.LeaveElement();
    return true;
}

bool CProfileFile::WriteFile(const std::string& path)
{
    writeResult.clear();
    if (!document) {
        writeResult = "Nothing to write";
        return false;
    }
    const std::string& target = path.empty() ? filePath : path;
    if (!CXmlDoc::WriteWholeFile(target, writeResult, document->DocumentText())) {
        return false;
    }
    if (!path.empty()) {
        filePath = path;
    }
    return true;
}

const std::string& CProfileFile::WriteResultText() const
{
    return writeResult;
}

void CProfileFile::ReleaseDocument()
{
    document.reset();
}

void CProfileFile::SetFileName(const std::string& path, const std::string& title)
{
    filePath = path;
    fileTitle = title;
}

bool CProfileFile::IsVersion200() const
{
    return version == "200";
}

const std::vector<std::unique_ptr<CProfileBase>>& CProfileFile::Sections() const
{
    Settle();
    return sections;
}

const CXmlDoc* CProfileFile::Document() const
{
    return document.get();
}

}  // namespace profile
