#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One element of the index. Offsets are byte offsets into the document text.
struct XmlElementRecord {            // eight 32-bit words, in this order
    uint32_t start, length, tagLengths, levelFlags;
    int32_t parent, firstChild, nextSibling, previousSibling;
};

// A markup document: the text exactly as read, plus an index of one fixed-size record per
// element. Names and values are read out of the text on demand; edits splice the text and
// patch the index in place, so a document is parsed only when its whole text is replaced.
class CXmlDoc {
public:
    // tagLengths: bits 0-21 start-tag length, bits 22-31 end-tag length.
    static constexpr uint32_t kStartTagMask = 0x3FFFFF;
    static constexpr int kEndTagShift = 22;
    static constexpr uint32_t kMaxStartTagLength = 0x3FFFFF;
    static constexpr uint32_t kMaxEndTagLength = 0x3FF;
    // levelFlags: bits 0-15 nesting level, the rest flags.
    static constexpr uint32_t kLevelMask = 0xFFFF;
    static constexpr uint32_t kFirstSibling = 0x80000;
    static constexpr uint32_t kNotEnded = 0x100000;
    static constexpr uint32_t kIllFormed = 0x200000;
    static constexpr uint32_t kNotWellFormed = 0x800000;   // record 0 only
    // Set on records removed by DeleteElement; they are no longer part of the tree.
    static constexpr uint32_t kAbandoned = 0x80000000u;
    // Offsets are 32-bit and messages print them as int: larger texts are not indexed.
    static constexpr std::size_t kMaxTextSize = 0x7FFFFFFF;
    static constexpr int kSegmentBits = 16;
    static constexpr int kSegmentSize = 1 << kSegmentBits;

    CXmlDoc();                                   // empty text, indexed: "Empty document"
    CXmlDoc(const CXmlDoc& other);
    CXmlDoc(CXmlDoc&& other);                    // leaves other as a new document
    CXmlDoc& operator=(const CXmlDoc& other);
    CXmlDoc& operator=(CXmlDoc&& other);
    void Swap(CXmlDoc& other) noexcept;
    ~CXmlDoc();

    void SetDocumentText(std::string text);      // replaces the text, empties the result text;
                                                 // call IndexDocument next
    bool IndexDocument();
    bool ReadDocument(const std::string& path);
    static bool ReadWholeFile(const std::string& path, std::string& resultText, std::string& text);
    static bool WriteWholeFile(const std::string& path, std::string& resultText, const std::string& text);
    const std::string& DocumentText() const;
    const std::string& ResultText() const;

    void Rewind();
    bool SeekElement(const char* name = nullptr);
    bool EnterElement();
    bool LeaveElement();
    std::string NodeName() const;
    std::string FetchAttribute(const char* name) const;
    // An attribute of the current element as FetchAttribute reads it: its name, and the
    // span of its value in DocumentText (the name's own span for a name without "=").
    struct AttributeSpan {
        std::string_view name;
        std::size_t valueStart = 0;
        std::size_t valueEnd = 0;
    };
    // Every attribute of the current element in one reading of its start tag, in order;
    // none without a current element. FetchAttribute(n) is the AttributeValue of the
    // first one whose name NameMatches n, and empty when there is none.
    void ListAttributes(std::vector<AttributeSpan>& out) const;
    std::string AttributeValue(const AttributeSpan& attribute) const;
    // The value of the first of the listed attributes whose name NameMatches name, as
    // FetchAttribute(name) gives it on their element; empty when there is none.
    std::string AttributeValue(const std::vector<AttributeSpan>& listed, std::string_view name) const;
    // False, changing nothing, without a current element, for record 0, a record not in
    // the tree, a null name, or when the start tag would outgrow its 22-bit length. Also
    // false, changing nothing, when no edit lets both the parse and FetchAttribute read the
    // tag as before plus the new value; only irregular tags (quotes inside an unquoted
    // value, a "/" that ends a value or follows a bare name, "?" in the tag name) come to
    // that. On a tag where the two readings part, the value may be written as a new first
    // attribute, leaving the old one behind it.
    bool StoreAttribute(int element, const char* name, const std::string& value);
    // False, changing nothing, for a null name or one whose tags a record cannot hold. An
    // empty-element or unended parent gets its end tag from the name as the parse reads it.
    bool AppendElement(const char* name);
    bool DeleteElement();

    int ParentPosition() const;  int CurrentPosition() const;  int ChildPosition() const;
    int RecordCount() const;
    int IndexCapacity() const;
    // Records at or beyond RecordCount() read as an all-zero record.
    const XmlElementRecord& Record(int index) const;
    // What IndexDocument returned, as far as the index knows after later edits.
    bool IsWellFormed() const;

    static std::string EscapeMarkup(std::string_view text, bool escapeQuotes);
    // The same, appended to out.
    static void AppendEscapedMarkup(std::string& out, std::string_view text, bool escapeQuotes);
    static std::string UnescapeMarkup(const char* text, int length);
    static std::string WrapCData(std::string_view text);

    // The name-matching rule shared by end tags, element and attribute lookups: the stored
    // name matches when it is a prefix of the wanted text that ends there or continues with
    // one of " =/[]".
    static bool NameMatches(std::string_view stored, std::string_view wanted)
    {
        if (stored.size() > wanted.size() || wanted.compare(0, stored.size(), stored) != 0)
            return false;
        if (wanted.size() == stored.size())
            return true;
        switch (wanted[stored.size()]) {
        case ' ': case '=': case '/': case '[': case ']':
            return true;
        default:
            return false;
        }
    }

private:
    struct StartTagScan;
    struct OpenElement;
    struct TagReading {
        bool startTag = false;
        bool empty = false;
        std::size_t length = 0;
        std::size_t nameLength = 0;
    };

    XmlElementRecord& Rec(int index) { return segments[index >> kSegmentBits][index & (kSegmentSize - 1)]; }
    const XmlElementRecord& Rec(int index) const
    {
        return segments[index >> kSegmentBits][index & (kSegmentSize - 1)];
    }
    void GrowIndex(int64_t requested);
    void ProvideStorage(int index);
    void TrimIndex();
    void ReserveRecord();
    void AllocateIndex(int capacity);
    void ReleaseIndex();
    int ParseElements();
    XmlElementRecord* MoreRecords(int count, OpenElement* open, std::size_t openCount, XmlElementRecord** limit);
    void CloseNotEnded(OpenElement* open, int count);
    void ShiftOffsets(int element, int64_t delta, bool skipDescendants);
    void ShiftSubtree(int root, int64_t delta);
    void AbandonSubtree(int root);
    bool Splice(std::size_t position, std::size_t removeLength, std::string_view insert);
    bool SpanInText(const XmlElementRecord& record) const;
    std::string_view TagName(int element) const;
    std::string_view ParsedTagName(int element) const;
    template <typename Take>
    bool WalkStartTag(int element, StartTagScan& scan, Take&& take) const;
    bool ScanStartTag(int element, std::string_view wanted, StartTagScan& scan) const;
    TagReading ReadTagAt(std::size_t start) const;
    bool SpliceIntoStartTag(int element, const TagReading& before, const char* name, std::size_t position,
                            std::size_t removeLength, const std::string& insert, std::size_t valueTextLength);
    bool IsLive(int element) const;

    std::string documentText;
    std::string resultText;
    int parentPosition = 0;
    int currentPosition = 0;
    int childPosition = 0;
    int recordCount = 0;
    int indexCapacity = 0;
    // Records [0, storedRecords) have memory; the rest of the capacity gets it as records
    // are handed out. Every segment below the last one with memory is full.
    int storedRecords = 0;
    XmlElementRecord** segments = nullptr;
    int segmentTableCapacity = 0;
};
