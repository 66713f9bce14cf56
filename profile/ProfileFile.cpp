#include "profile/ProfileFile.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <stdexcept>
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

CSharedText::CSharedText(std::size_t size)
{
    // A kept text is a profile file's, far below the count's and the length's limits.
    if (size > UINT32_MAX) {
        throw std::length_error("shared text too long");
    }
    void* memory = std::malloc(sizeof(Block) + size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    block = new (memory) Block{1, static_cast<std::uint32_t>(size)};
}

void CSharedText::Shrink(std::size_t size)
{
    if (block == nullptr || size >= block->size) {
        return;
    }
    // Shrinking keeps the block where it is, or moves it whole.
    block->size = static_cast<std::uint32_t>(size);
    if (void* memory = std::realloc(block, sizeof(Block) + size)) {
        block = static_cast<Block*>(memory);
    }
}

CSharedText::CSharedText(const CSharedText& other) noexcept
    : block(other.block)
{
    if (block != nullptr) {
        std::atomic_ref<std::uint32_t>(block->holders).fetch_add(1, std::memory_order_relaxed);
    }
}

CSharedText& CSharedText::operator=(const CSharedText& other) noexcept
{
    CSharedText copy(other);
    std::swap(block, copy.block);
    return *this;
}

CSharedText& CSharedText::operator=(CSharedText&& other) noexcept
{
    if (this != &other) {
        reset();
        std::swap(block, other.block);
    }
    return *this;
}

void CSharedText::reset() noexcept
{
    if (block != nullptr &&
        std::atomic_ref<std::uint32_t>(block->holders).fetch_sub(1, std::memory_order_acq_rel) == 1) {
        std::free(block);
    }
    block = nullptr;
}

std::string_view CSharedText::View() const
{
    return block != nullptr ? std::string_view(reinterpret_cast<const char*>(block + 1), block->size)
                            : std::string_view();
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
    filePath.clear();
    name.clear();
    description.clear();
    device.clear();
    version.clear();
    tag.clear();
    fileTitle.clear();
    writeResult.reset();
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

namespace {

bool AllBlank(std::string_view text)
{
    for (const char c : text) {
        if (c != ' ' && c != '\n' && c != '\r' && c != '\t') {
            return false;
        }
    }
    return true;
}

// Visits, in document order, the tags of the element at `root` and of everything below
// it (start and end tags as they stand in the text), and the text between each two of
// them. The walk follows the records' parent links, so a deep document needs no stack.
template <typename Tag, typename Gap>
void WalkTags(const CXmlDoc& doc, int root, Tag&& tag, Gap&& gap)
{
    const std::string_view text = doc.DocumentText();
    std::size_t cursor = 0;
    bool first = true;
    const auto emit = [&](std::size_t from, std::size_t to) {
        if (!first)
            gap(text.substr(cursor, from - cursor));
        first = false;
        tag(text.substr(from, to - from));
        cursor = to;
    };
    const auto close = [&](int element) {
        const XmlElementRecord& r = doc.Record(element);
        const std::size_t endLength = r.tagLengths >> CXmlDoc::kEndTagShift;
        if (endLength != 0)
            emit(r.start + r.length - endLength, r.start + r.length);
    };
    const int count = doc.RecordCount();
    int open = 0;   // the element whose tags were emitted last, not yet closed
    for (int i = root; i < count; ++i) {
        const XmlElementRecord& r = doc.Record(i);
        if (i != root) {
            if (r.parent < root)
                break;   // past the root's subtree
            // Every element between the last one and this one's parent has ended.
            while (open != r.parent) {
                close(open);
                open = doc.Record(open).parent;
            }
        }
        emit(r.start, r.start + (r.tagLengths & CXmlDoc::kStartTagMask));
        open = i;
    }
    for (;;) {
        close(open);
        if (open == root)
            break;
        open = doc.Record(open).parent;
    }
}

}  // namespace

void CProfileFile::KeepText(const CXmlDoc& doc)
{
    // The sections read only the elements and their attributes, so a root of the usual
    // shape is kept as its elements' tags alone: the root's start tag bare
    // ("<profile>", its attributes are read already), the text between two tags where
    // it is all blanks (the line breaks of every file) left out, and nothing after the
    // root's end. Any other text between tags stays as it was. Any other shape (an
    // empty root, an unended one, a name the parse reads otherwise) is kept whole.
    const std::string& text = doc.DocumentText();
    const int rootIndex = doc.CurrentPosition();
    const XmlElementRecord& root = doc.Record(rootIndex);
    const std::size_t start = root.start;
    const std::size_t tagLength = root.tagLengths & CXmlDoc::kStartTagMask;
    const std::string bareTag = std::string("<") + kRootTag + ">";
    const std::string_view bare = bareTag;
    const std::string_view opening = bare.substr(0, bare.size() - 1);
    const bool usual = (root.tagLengths >> CXmlDoc::kEndTagShift) != 0 && tagLength > opening.size() &&
                       start + root.length <= text.size() && text.compare(start, opening.size(), opening) == 0 &&
                       std::string_view(" \t\r\n>").find(text[start + opening.size()]) != std::string_view::npos;
    if (!usual) {
        CSharedText kept(text.size());
        std::copy(text.begin(), text.end(), kept.Data());
        deferredText = std::move(kept);
        return;
    }
    const std::string_view before = std::string_view(text).substr(0, start);
    // Room for the most it can hold; what the blanks left free goes back after.
    CSharedText kept(before.size() + bare.size() + (root.length - tagLength));
    char* out = std::copy(before.begin(), before.end(), kept.Data());
    bool rootTag = true;
    WalkTags(
        doc, rootIndex,
        [&](std::string_view tag) {
            out = rootTag ? std::copy(bare.begin(), bare.end(), out) : std::copy(tag.begin(), tag.end(), out);
            rootTag = false;
        },
        [&](std::string_view gap) {
            if (!AllBlank(gap))
                out = std::copy(gap.begin(), gap.end(), out);
        });
    kept.Shrink(static_cast<std::size_t>(out - kept.Data()));
    deferredText = std::move(kept);
}

void CProfileFile::Settle() const
{
    if (!deferredText) {
        return;
    }
    // Taken first: the reading below goes through functions that settle.
    const CSharedText text = std::move(deferredText);

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
    doc.SetDocumentText(std::string(text.View()));
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

bool CProfileFile::AppendDocumentText(std::string& out) const
{
    if (!IsPlainName(rootName)) {
        return false;
    }
    const std::size_t tagStart = out.size();
    out += '<';
    out += rootName;
    const std::string typeText = std::to_string(type);
    const std::pair<const char*, const std::string*> fields[] = {
        {"name", &name}, {"description", &description}, {"version", &version},
        {"device", &device}, {"tag", &tag}, {"type", &typeText},
    };
    for (const auto& [field, value] : fields) {
        if (!AppendAttributeText(out, field, *value)) {
            return false;
        }
    }
    // As in a node's tag, the stores are made while the tag still ends in "/>".
    if (out.size() - tagStart + 2 > CXmlDoc::kMaxStartTagLength) {
        return false;
    }
    const bool holdsSection = std::any_of(sections.begin(), sections.end(), [](const auto& section) {
        return section->TopNode() != nullptr;
    });
    if (!holdsSection) {
        out += "/>\r\n";
        return true;
    }
    out += ">\r\n";
    for (const std::unique_ptr<CProfileBase>& section : sections) {
        const CProfileNode* top = section->TopNode();
        if (top != nullptr && !top->AppendNodeText(out, true)) {
            return false;
        }
    }
    out += "</";
    out += rootName;
    out += ">\r\n";
    return true;
}

bool CProfileFile::BuildDocument()
{
    Settle();
    // The text the appends and stores below give, written in one pass and parsed: a
    // fraction of their cost. What that writer leaves to them takes the long way.
    std::string text;
    text.reserve(2048);   // a profile's file is about 1.7 KB
    if (AppendDocumentText(text)) {
        document = std::make_unique<CXmlDoc>();
        document->SetDocumentText(std::move(text));
        if (document->IndexDocument()) {
            document->Rewind();
            document->SeekElement(rootName.c_str());
            return true;
        }
    }
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
    writeResult = std::make_unique<std::string>();
    if (!document) {
        *writeResult = "Nothing to write";
        return false;
    }
    const std::string& target = path.empty() ? filePath : path;
    if (!CXmlDoc::WriteWholeFile(target, *writeResult, document->DocumentText())) {
        return false;
    }
    if (!path.empty()) {
        filePath = path;
    }
    return true;
}

const std::string& CProfileFile::WriteResultText() const
{
    static const std::string none;
    return writeResult ? *writeResult : none;
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
