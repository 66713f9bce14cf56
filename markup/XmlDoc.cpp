#include "markup/XmlDoc.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "markup/XmlScanner.h"

namespace {

constexpr int64_t kMaxRecords = INT32_MAX;

inline bool IsSpace(char c)
{
    return xmlscan::ClassOf(c) & xmlscan::kSpace;
}

// Delimiters of the name reader: whitespace, "<", ">", "=", backslash, "/", "?", "!".
inline bool IsNameDelimiter(char c)
{
    switch (c) {
    case ' ': case '\t': case '\n': case '\r': case '<': case '>': case '=': case '\\': case '/': case '?':
    case '!': case '\0':
        return true;
    default:
        return false;
    }
}

inline uint32_t StartTagLength(const XmlElementRecord& r)
{
    return r.tagLengths & CXmlDoc::kStartTagMask;
}

inline uint32_t EndTagLength(const XmlElementRecord& r)
{
    return r.tagLengths >> CXmlDoc::kEndTagShift;
}

inline void AddTo(uint32_t& word, int64_t delta)
{
    word = static_cast<uint32_t>(static_cast<int64_t>(word) + delta);
}

const XmlElementRecord kNoRecord{};

} // namespace

struct CXmlDoc::StartTagScan {
    bool found = false;
    bool quoted = false;
    bool closed = false;      // a quoted value has its closing quote
    bool valueless = false;   // the attribute has no "=": the span is its name
    std::size_t valueStart = 0;
    std::size_t valueEnd = 0;
    std::size_t insertAt = 0; // where a new attribute goes when the name is absent
};

// ---------------------------------------------------------------------------------------
// Life cycle

CXmlDoc::CXmlDoc()
{
    IndexDocument();
}

CXmlDoc::CXmlDoc(const CXmlDoc& other)
    : documentText(other.documentText),
      resultText(other.resultText),
      parentPosition(other.parentPosition),
      currentPosition(other.currentPosition),
      childPosition(other.childPosition)
{
    AllocateIndex(std::max(other.recordCount, 8));
    recordCount = other.recordCount;
    for (int done = 0; done < recordCount;) {
        const int chunk = std::min(kSegmentSize, recordCount - done);
        std::memcpy(&Rec(done), &other.Rec(done), sizeof(XmlElementRecord) * static_cast<std::size_t>(chunk));
        done += chunk;
    }
}

CXmlDoc::CXmlDoc(CXmlDoc&& other) : CXmlDoc()
{
    Swap(other);
}

CXmlDoc& CXmlDoc::operator=(const CXmlDoc& other)
{
    if (this != &other) {
        CXmlDoc copy(other);
        Swap(copy);
    }
    return *this;
}

CXmlDoc& CXmlDoc::operator=(CXmlDoc&& other)
{
    if (this != &other) {
        CXmlDoc fresh;
        Swap(other);
        other.Swap(fresh);
    }
    return *this;
}

CXmlDoc::~CXmlDoc()
{
    ReleaseIndex();
}

void CXmlDoc::Swap(CXmlDoc& other) noexcept
{
    documentText.swap(other.documentText);
    resultText.swap(other.resultText);
    std::swap(parentPosition, other.parentPosition);
    std::swap(currentPosition, other.currentPosition);
    std::swap(childPosition, other.childPosition);
    std::swap(recordCount, other.recordCount);
    std::swap(indexCapacity, other.indexCapacity);
    std::swap(storedRecords, other.storedRecords);
    std::swap(segments, other.segments);
    std::swap(segmentTableCapacity, other.segmentTableCapacity);
}

// ---------------------------------------------------------------------------------------
// Element index

// Records live in segments of 65,536. Full segments never move: growing the index copies
// only the table of segments, and the partial last segment is enlarged in place or by
// realloc in ProvideStorage. The capacity follows the growth policy; memory for it is taken a segment at a time as records are handed out (see
// ProvideStorage), so a capacity reserved from the text size costs nothing until used.
void CXmlDoc::GrowIndex(int64_t requested)
{
    if (requested == 0)
        requested = static_cast<int64_t>(recordCount) + recordCount / 2;
    requested = std::min(requested, kMaxRecords);
    if (indexCapacity >= requested)
        return;
    const int last = indexCapacity ? (indexCapacity - 1) >> kSegmentBits : 0;
    int newLast = static_cast<int>((requested - 1) >> kSegmentBits);
    if (newLast > last + 1) {
        // One call crosses at most one segment boundary.
        newLast = last + 1;
        requested = std::min(static_cast<int64_t>(last + 2) * kSegmentSize, kMaxRecords);
    }
    if (newLast >= segmentTableCapacity) {
        const int tableCapacity = 2 * newLast + 4;
        auto** table = new XmlElementRecord*[static_cast<std::size_t>(tableCapacity)]();
        if (segments)
            std::copy(segments, segments + segmentTableCapacity, table);
        delete[] segments;
        segments = table;
        segmentTableCapacity = tableCapacity;
    }
    indexCapacity = static_cast<int>(requested);
}

namespace {

XmlElementRecord* ResizeSegment(XmlElementRecord* segment, int records)
{
    void* memory = std::realloc(segment, sizeof(XmlElementRecord) * static_cast<std::size_t>(records));
    if (!memory)
        throw std::bad_alloc();
    return static_cast<XmlElementRecord*>(memory);
}

} // namespace

// Gives memory to every record up to `index`, which must lie below the capacity. A
// segment gets room for the capacity that falls into it, at most a full segment; a
// partial segment is enlarged (realloc, which keeps its records) before the next one
// is begun.
void CXmlDoc::ProvideStorage(int index)
{
    while (storedRecords <= index) {
        const int segment = storedRecords >> kSegmentBits;
        const int64_t base = static_cast<int64_t>(segment) * kSegmentSize;
        const int want = static_cast<int>(std::min<int64_t>(kSegmentSize, indexCapacity - base));
        segments[segment] = ResizeSegment(segments[segment], want);
        storedRecords = static_cast<int>(base + want);
    }
}

// After a parse: memory for records that were never handed out goes back, keeping at
// least 8 records and at most a page of spare ones (shrinking a block that small would
// only cost the next parse of a similar text a reallocation). The capacity becomes what
// has memory, so the next record grows the index by the usual policy.
void CXmlDoc::TrimIndex()
{
    const int keep = std::max(recordCount, 8);
    constexpr int kSpareRecords = 4096 / static_cast<int>(sizeof(XmlElementRecord));
    if (storedRecords - keep >= kSpareRecords) {
        const int lastSegment = (keep - 1) >> kSegmentBits;
        const int storedSegments = ((storedRecords - 1) >> kSegmentBits) + 1;
        for (int i = lastSegment + 1; i < storedSegments; ++i) {
            std::free(segments[i]);
            segments[i] = nullptr;
        }
        const int held = keep - lastSegment * kSegmentSize;
        segments[lastSegment] = ResizeSegment(segments[lastSegment], held);
        storedRecords = keep;
    }
    indexCapacity = storedRecords;
}

// Room and memory for record `recordCount`, the next to be handed out.
void CXmlDoc::ReserveRecord()
{
    if (recordCount == indexCapacity)
        GrowIndex(0);
    ProvideStorage(recordCount);
}

// Storage for `capacity` records, every segment full but the last. The records are left
// uninitialised, as ProvideStorage leaves them.
void CXmlDoc::AllocateIndex(int capacity)
{
    const int last = (capacity - 1) >> kSegmentBits;
    segmentTableCapacity = 2 * last + 4;
    segments = new XmlElementRecord*[static_cast<std::size_t>(segmentTableCapacity)]();
    indexCapacity = capacity;
    ProvideStorage(capacity - 1);
}

void CXmlDoc::ReleaseIndex()
{
    if (segments) {
        for (int i = 0; i < segmentTableCapacity; ++i)
            std::free(segments[i]);
        delete[] segments;
    }
    segments = nullptr;
    segmentTableCapacity = 0;
    indexCapacity = 0;
    storedRecords = 0;
    recordCount = 0;
}

int CXmlDoc::RecordCount() const
{
    return recordCount;
}

int CXmlDoc::IndexCapacity() const
{
    return indexCapacity;
}

const XmlElementRecord& CXmlDoc::Record(int index) const
{
    if (index < 0 || index >= recordCount)
        return kNoRecord;
    return Rec(index);
}

bool CXmlDoc::IsWellFormed() const
{
    if (indexCapacity == 0 || recordCount == 0)
        return false;
    const XmlElementRecord& root = Rec(0);
    return !(root.levelFlags & kNotWellFormed) && root.firstChild != 0 && Rec(root.firstChild).nextSibling == 0;
}

bool CXmlDoc::IsLive(int element) const
{
    return element > 0 && element < recordCount && !(Rec(element).levelFlags & kAbandoned);
}

bool CXmlDoc::SpanInText(const XmlElementRecord& r) const
{
    return uint64_t{r.start} + r.length <= documentText.size() && StartTagLength(r) <= r.length &&
           r.start < documentText.size();
}

// ---------------------------------------------------------------------------------------
// Parsing

void CXmlDoc::SetDocumentText(std::string text)
{
    documentText = std::move(text);
    resultText.clear();
    // Until the caller indexes the new text, the document shows no elements rather than
    // records that point into the old text.
    parentPosition = currentPosition = childPosition = 0;
    if (indexCapacity == 0)
        GrowIndex(8);
    ProvideStorage(0);
    recordCount = 1;
    Rec(0) = XmlElementRecord{};
    Rec(0).length = static_cast<uint32_t>(std::min(documentText.size(), kMaxTextSize));
}

// ---------------------------------------------------------------------------------------
// Position and reading

const std::string& CXmlDoc::DocumentText() const
{
    return documentText;
}

const std::string& CXmlDoc::ResultText() const
{
    return resultText;
}

int CXmlDoc::ParentPosition() const
{
    return parentPosition;
}

int CXmlDoc::CurrentPosition() const
{
    return currentPosition;
}

int CXmlDoc::ChildPosition() const
{
    return childPosition;
}

void CXmlDoc::Rewind()
{
    parentPosition = currentPosition = childPosition = 0;
}

bool CXmlDoc::SeekElement(const char* name)
{
    int candidate = currentPosition ? Rec(currentPosition).nextSibling : Rec(parentPosition).firstChild;
    if (name && *name) {
        const std::string_view wanted(name);
        while (candidate != 0 && !NameMatches(TagName(candidate), wanted))
            candidate = Rec(candidate).nextSibling;
    }
    if (candidate == 0)
        return false;
    currentPosition = candidate;
    childPosition = 0;
    return true;
}

bool CXmlDoc::EnterElement()
{
    if (currentPosition == 0)
        return false;
    parentPosition = currentPosition;
    currentPosition = childPosition;
    childPosition = 0;
    return true;
}

bool CXmlDoc::LeaveElement()
{
    if (parentPosition == 0)
        return false;
    childPosition = currentPosition;
    currentPosition = parentPosition;
    parentPosition = Rec(parentPosition).parent;
    return true;
}

// The tag name as the name reader sees it: from the byte after "<", past whitespace, up to
// a delimiter; a delimiter in first place is a one-byte name. It never reads past the
// element's start tag.
std::string_view CXmlDoc::TagName(int element) const
{
    const XmlElementRecord& rec = Rec(element);
    if (!SpanInText(rec))
        return {};
    const char* text = documentText.data();
    const std::size_t end = std::size_t{rec.start} + StartTagLength(rec);
    std::size_t p = std::size_t{rec.start} + 1;
    while (p < end && IsSpace(text[p]))
        ++p;
    if (p >= end || text[p] == '\0')
        return {};
    if (IsNameDelimiter(text[p]))
        return std::string_view(text + p, 1);
    std::size_t q = p;
    while (q < end && !IsNameDelimiter(text[q]))
        ++q;
    return std::string_view(text + p, q - p);
}

// The tag name as the parse reads it: from the byte after "<" up to whitespace, "/" or ">".
std::string_view CXmlDoc::ParsedTagName(int element) const
{
    const XmlElementRecord& rec = Rec(element);
    if (!SpanInText(rec))
        return {};
    const char* text = documentText.data();
    const std::size_t nameStart = std::size_t{rec.start} + 1;
    const std::size_t end = std::size_t{rec.start} + StartTagLength(rec);
    std::size_t p = nameStart;
    while (p < end && !(xmlscan::ClassOf(text[p]) & xmlscan::kNameStop))
        ++p;
    return std::string_view(text + nameStart, p < end ? p - nameStart : 0);
}

std::string CXmlDoc::NodeName() const
{
    if (currentPosition == 0)
        return {};
    return std::string(TagName(currentPosition));
}

// The start-tag reader. Tokens are whitespace-separated words, quoted values, and single
// delimiter bytes; the first word is the tag name. It stops at the end of the start tag
// as the index records it, so a quote that never closes cannot carry it into the content.
// Every attribute name is shown to `take` with what its next token makes of it (a value,
// or none: the span is then the name); the walk stops with true at the first one `take`
// accepts, which is then in scan. Otherwise it returns false with scan.insertAt set.
template <typename Take>
bool CXmlDoc::WalkStartTag(int element, StartTagScan& scan, Take&& take) const
{
    scan = StartTagScan{};
    const XmlElementRecord& rec = Rec(element);
    if (!SpanInText(rec))
        return false;
    const char* text = documentText.data();
    const std::size_t end = std::size_t{rec.start} + StartTagLength(rec);
    std::size_t pos = std::size_t{rec.start} + 1;
    bool first = true;
    bool afterEquals = false;
    bool pending = false;   // the last name waits for its value
    std::size_t pendingStart = 0;
    std::size_t pendingEnd = 0;
    // The pending name has its reading; true when take accepts it.
    auto settle = [&](StartTagScan reading) {
        pending = false;
        reading.found = true;
        if (!take(std::string_view(text + pendingStart, pendingEnd - pendingStart), reading))
            return false;
        scan = reading;
        return true;
    };
    auto valueless = [&]() {
        StartTagScan reading;
        reading.valueless = true;
        reading.valueStart = pendingStart;
        reading.valueEnd = pendingEnd;
        return settle(reading);
    };
    for (;;) {
        const std::size_t tokenStart = pos;
        while (pos < end && IsSpace(text[pos]))
            ++pos;
        if (pos >= end || text[pos] == '\0') {
            if (pending && valueless())
                return true;
            scan.insertAt = tokenStart;
            return false;
        }
        const char c = text[pos];
        if (c == '"' || c == '\'') {
            const std::size_t valueStart = pos + 1;
            // The value runs to its closing quote, or to a NUL or the tag's end before one.
            std::size_t close = valueStart;
            if (valueStart < end) {
                const void* quote = std::memchr(text + valueStart, c, end - valueStart);
                close = quote ? static_cast<std::size_t>(static_cast<const char*>(quote) - text) : end;
                if (const void* nul = std::memchr(text + valueStart, '\0', close - valueStart))
                    close = static_cast<std::size_t>(static_cast<const char*>(nul) - text);
            }
            const bool closed = close < end && text[close] == c;
            pos = closed ? close + 1 : close;
            if (first) {
                first = false;
            } else if (afterEquals) {
                afterEquals = false;
                if (pending) {
                    StartTagScan reading;
                    reading.quoted = true;
                    reading.closed = closed;
                    reading.valueStart = valueStart;
                    reading.valueEnd = close;
                    if (settle(reading))
                        return true;
                }
            } else if (pending && valueless()) {
                return true;
            }
            continue;
        }
        // A bare word. After "=" only whitespace and ">" end it, so a value may hold "/",
        // "?" or "=".
        const std::size_t wordStart = pos;
        auto delimiter = [afterEquals](char b) {
            return IsSpace(b) || b == '>' || b == '\0' ||
                   (!afterEquals && (b == '=' || b == '/' || b == '?'));
        };
        if (delimiter(c)) {
            ++pos;
        } else {
            while (pos < end && !delimiter(text[pos]))
                ++pos;
        }
        if (first) {
            first = false;
            continue;
        }
        if (c == '>' || (!afterEquals && (c == '/' || c == '?'))) {
            if (pending && valueless())
                return true;
            scan.insertAt = tokenStart;
            return false;
        }
        if (afterEquals) {
            afterEquals = false;
            if (pending) {
                StartTagScan reading;
                reading.valueStart = wordStart;
                reading.valueEnd = pos;
                if (settle(reading))
                    return true;
            }
            continue;
        }
        if (c == '=') {
            afterEquals = true;
            continue;
        }
        if (pending && valueless())
            return true;
        pending = true;
        pendingStart = wordStart;
        pendingEnd = pos;
    }
}

bool CXmlDoc::ScanStartTag(int element, std::string_view wanted, StartTagScan& scan) const
{
    return WalkStartTag(element, scan, [wanted](std::string_view name, const StartTagScan&) {
        return NameMatches(name, wanted);
    });
}

void CXmlDoc::ListAttributes(std::vector<AttributeSpan>& out) const
{
    out.clear();
    if (currentPosition == 0)
        return;
    StartTagScan scan;
    WalkStartTag(currentPosition, scan, [&out](std::string_view name, const StartTagScan& reading) {
        out.push_back(AttributeSpan{name, reading.valueStart, reading.valueEnd});
        return false;
    });
}

std::string CXmlDoc::AttributeValue(const AttributeSpan& attribute) const
{
    return UnescapeMarkup(documentText.data() + attribute.valueStart,
                          static_cast<int>(attribute.valueEnd - attribute.valueStart));
}

std::string CXmlDoc::AttributeValue(const std::vector<AttributeSpan>& listed, std::string_view name) const
{
    for (const AttributeSpan& attribute : listed)
        if (NameMatches(attribute.name, name))
            return AttributeValue(attribute);
    return {};
}

std::string CXmlDoc::FetchAttribute(const char* name) const
{
    if (currentPosition == 0 || !name)
        return {};
    StartTagScan scan;
    if (!ScanStartTag(currentPosition, name, scan))
        return {};
    return UnescapeMarkup(documentText.data() + scan.valueStart, static_cast<int>(scan.valueEnd - scan.valueStart));
}

// ---------------------------------------------------------------------------------------
// Editing

bool CXmlDoc::Splice(std::size_t position, std::size_t removeLength, std::string_view insert)
{
    const std::size_t size = documentText.size();
    if (position > size || removeLength > size - position)
        return false;
    const std::size_t newSize = size - removeLength + insert.size();
    if (newSize > kMaxTextSize)
        return false;
    if (documentText.capacity() < newSize)
        documentText.reserve(newSize + newSize / 2 + 128);
    documentText.replace(position, removeLength, insert.data(), insert.size());
    return true;
}

void CXmlDoc::ShiftSubtree(int root, int64_t delta)
{
    int n = root;
    AddTo(Rec(n).start, delta);
    for (;;) {
        if (const int child = Rec(n).firstChild) {
            n = child;
        } else {
            while (n != root && Rec(n).nextSibling == 0)
                n = Rec(n).parent;
            if (n == root)
                return;
            n = Rec(n).nextSibling;
        }
        AddTo(Rec(n).start, delta);
    }
}

// After a splice of delta bytes at `element`, everything after it in document order moves
// and every ancestor, the document record included, grows or shrinks by delta.
void CXmlDoc::ShiftOffsets(int element, int64_t delta, bool skipDescendants)
{
    if (delta == 0)
        return;
    if (!skipDescendants) {
        for (int c = Rec(element).firstChild; c != 0; c = Rec(c).nextSibling)
            ShiftSubtree(c, delta);
    }
    for (int x = element; x != 0;) {
        for (int s = Rec(x).nextSibling; s != 0; s = Rec(s).nextSibling)
            ShiftSubtree(s, delta);
        x = Rec(x).parent;
        AddTo(Rec(x).length, delta);
    }
}

void CXmlDoc::AbandonSubtree(int root)
{
    int n = root;
    Rec(n).levelFlags |= kAbandoned;
    for (;;) {
        if (const int child = Rec(n).firstChild) {
            n = child;
        } else {
            while (n != root && Rec(n).nextSibling == 0)
                n = Rec(n).parent;
            if (n == root)
                return;
            n = Rec(n).nextSibling;
        }
        Rec(n).levelFlags |= kAbandoned;
    }
}

// How the parse reads the tag at `start`: the scanner's token there. The index and every
// edit must agree with it, or a fresh parse of the text would build a different tree.
CXmlDoc::TagReading CXmlDoc::ReadTagAt(std::size_t start) const
{
    TagReading reading;
    CXmlScanner scanner(documentText.c_str(), documentText.size());
    scanner.SetNextPosition(start);
    XmlToken token;
    if (scanner.ScanToken(token) == kXmlStartTag) {
        reading.startTag = true;
        reading.empty = token.emptyElement;
        reading.length = token.length;
        reading.nameLength = token.nameLength;
    }
    return reading;
}

// Splices `insert` for [position, position + removeLength) in the start tag of `element`,
// where `insert` ends with the quoted value text. The edit stands only when the parse still
// reads one start tag there, with the same name and the same empty or open form, ending
// where the index will say, and when the attribute reader finds exactly the new value for
// `name`; otherwise the text goes back as it was and the index is not touched.
bool CXmlDoc::SpliceIntoStartTag(int element, const TagReading& before, const char* name, std::size_t position,
                                 std::size_t removeLength, const std::string& insert, std::size_t valueTextLength)
{
    XmlElementRecord& rec = Rec(element);
    // The tag name the parse reads stays as it is: the edit begins after it.
    if (position < std::size_t{rec.start} + 1 + before.nameLength)
        return false;
    const int64_t delta = static_cast<int64_t>(insert.size()) - static_cast<int64_t>(removeLength);
    const int64_t newStartLength = static_cast<int64_t>(StartTagLength(rec)) + delta;
    if (newStartLength > static_cast<int64_t>(kMaxStartTagLength))
        return false;
    const std::string removed = documentText.substr(position, removeLength);
    if (!Splice(position, removeLength, insert))
        return false;
    const XmlElementRecord saved = rec;
    rec.tagLengths = (rec.tagLengths & ~kStartTagMask) | static_cast<uint32_t>(newStartLength);
    AddTo(rec.length, delta);

    const TagReading after = ReadTagAt(rec.start);
    bool sound = after.startTag && after.length == static_cast<std::size_t>(newStartLength) &&
                 after.empty == before.empty && after.nameLength == before.nameLength;
    if (sound) {
        // The reader ends a value at a NUL, as the parse ends the text there, so a value
        // holding one reads back only up to it; that is all it ever did.
        const std::size_t valueAt = position + insert.size() - valueTextLength;
        const std::size_t nul = insert.find('\0', insert.size() - valueTextLength);
        const std::size_t valueEnd = nul != std::string::npos ? position + nul : valueAt + valueTextLength - 1;
        StartTagScan scan;
        sound = ScanStartTag(element, name, scan) && scan.quoted && scan.closed == (nul == std::string::npos) &&
                scan.valueStart == valueAt + 1 && scan.valueEnd == valueEnd;
    }
    if (!sound) {
        rec = saved;
        Splice(position, insert.size(), removed);
        return false;
    }
    ShiftOffsets(element, delta, false);
    return true;
}

bool CXmlDoc::StoreAttribute(int element, const char* name, const std::string& value)
{
    if (element == 0 || currentPosition == 0 || !name || !IsLive(element) || !SpanInText(Rec(element)))
        return false;
    // A tag the parse reads otherwise than the index (edits of malformed text, or an element
    // appended under a name the parse reads otherwise, can leave one) gives no ground to
    // edit on.
    const TagReading tag = ReadTagAt(Rec(element).start);
    if (!tag.startTag || tag.length != StartTagLength(Rec(element)))
        return false;
    const std::string valueText = xmlscan::Join({"\"", EscapeMarkup(value, true), "\""});
    const std::string newAttribute = xmlscan::Join({" ", name, "=", valueText});
    StartTagScan scan;
    std::size_t position;
    std::size_t removeLength = 0;
    std::string insert;
    if (!ScanStartTag(element, name, scan)) {
        if (scan.insertAt == 0)
            return false;
        position = scan.insertAt;
        insert = newAttribute;
    } else if (scan.valueless) {
        // An attribute written without "=" keeps its name and gains the value.
        position = scan.valueEnd;
        insert = xmlscan::Join({"=", valueText});
    } else if (scan.quoted) {
        position = scan.valueStart - 1;
        removeLength = (scan.closed ? scan.valueEnd + 1 : scan.valueEnd) - position;
        insert = valueText;
    } else {
        position = scan.valueStart;
        removeLength = scan.valueEnd - scan.valueStart;
        insert = valueText;
    }
    if (SpliceIntoStartTag(element, tag, name, position, removeLength, insert, valueText.size()))
        return true;
    // The attribute reader and the parse read this tag differently (quotes inside an
    // unquoted value, a value running into "/>", a "/" after a bare name): where the reader
    // put the value, the parse would see another tag. Right after the tag name both read a
    // new attribute alike, and the reader takes the first of equal names, so the value goes
    // there; the old text of the attribute stays behind it, unread. When the reader does
    // not get that far either (a tag name holding "?"), nothing is stored.
    const std::size_t nameEnd = std::size_t{Rec(element).start} + 1 + tag.nameLength;
    if (position == nameEnd && removeLength == 0 && insert == newAttribute)
        return false;   // that was the place tried already
    return SpliceIntoStartTag(element, tag, name, nameEnd, 0, newAttribute, valueText.size());
}

bool CXmlDoc::AppendElement(const char* name)
{
    if (!name)
        return false;
    const std::size_t nameLength = std::strlen(name);
    if (nameLength + 3 > kMaxStartTagLength || recordCount >= kMaxRecords)
        return false;
    const int p = parentPosition;
    const int a = currentPosition;
    const std::size_t size = documentText.size();
    const char* text = documentText.data();

    enum { kOrdinary, kHollow, kEmptyTag, kNotEndedTag } parentKind = kOrdinary;
    std::size_t x;
    if (a != 0) {
        const XmlElementRecord& after = Rec(a);
        if (!SpanInText(after))
            return false;
        x = std::size_t{after.start} + after.length;
    } else {
        const XmlElementRecord& par = Rec(p);
        if (p != 0 && !SpanInText(par))
            return false;
        const uint32_t startLength = StartTagLength(par);
        const uint32_t endLength = EndTagLength(par);
        x = std::size_t{par.start} + par.length - endLength;
        if (p != 0 && startLength == par.length)
            parentKind = (par.levelFlags & kNotEnded) ? kNotEndedTag : kEmptyTag;
        else if (p != 0 && par.length - endLength == startLength)
            parentKind = kHollow;
        if (x > size)
            return false;
    }
    if (parentKind != kEmptyTag && parentKind != kNotEndedTag) {
        // A new element goes right before the next tag, after the line break that follows
        // the element before it; text that follows stays where it is.
        std::size_t q = x;
        while (q < size && IsSpace(text[q]))
            ++q;
        if (q == size || text[q] == '<')
            x = q;
    }
    const int after = a != 0 ? a : (Rec(p).firstChild ? Rec(Rec(p).firstChild).previousSibling : 0);

    const std::string elementText = xmlscan::Join({"<", name, "/>\r\n"});
    std::string insert;
    std::size_t position = x;
    std::size_t removeLength = 0;
    std::size_t newStart = x;
    uint32_t parentEndTag = 0;
    switch (parentKind) {
    case kOrdinary:
        insert = elementText;
        break;
    case kHollow:
        position = std::size_t{Rec(p).start} + StartTagLength(Rec(p));
        insert = xmlscan::Join({"\r\n", elementText});
        newStart = position + 2;
        break;
    case kEmptyTag:
    case kNotEndedTag: {
        const XmlElementRecord& par = Rec(p);
        // The end tag must close the parent for the parse, which reads a tag name up to
        // whitespace, "/" or ">"; the name reader also stops at "<", "=", "?", "!" and the
        // backslash, so "<a?b/>" would get "</a>", which closes nothing.
        const std::string_view parentName = ParsedTagName(p);
        parentEndTag = static_cast<uint32_t>(parentName.size() + 3);
        if (parentName.empty() || parentEndTag > kMaxEndTagLength)
            return false;
        if (StartTagLength(par) < 3)
            return false;
        const std::size_t close = std::size_t{par.start} + StartTagLength(par) - 1;
        if (text[close] != '>')
            return false;
        if (parentKind == kEmptyTag) {
            // "<p .../>" becomes "<p ...>" CR LF "<name/>" CR LF "</p>": the "/" goes.
            if (close == par.start || text[close - 1] != '/')
                return false;
            position = close - 1;
            removeLength = 1;
        } else {
            position = close;
        }
        insert = xmlscan::Join({">\r\n", elementText, "</", parentName});
        newStart = position + 3;
        break;
    }
    }
    // The record is reserved first, so a failed allocation leaves text and index as they were.
    ReserveRecord();
    if (!Splice(position, removeLength, insert))
        return false;

    const int n = recordCount++;
    if (parentKind == kEmptyTag || parentKind == kNotEndedTag) {
        XmlElementRecord& par = Rec(p);
        const uint32_t startLength = StartTagLength(par) - static_cast<uint32_t>(removeLength);
        par.tagLengths = startLength | (parentEndTag << kEndTagShift);
        par.levelFlags &= ~kNotEnded;
    }
    XmlElementRecord& rec = Rec(n);
    rec.start = static_cast<uint32_t>(newStart);
    rec.length = static_cast<uint32_t>(nameLength + 3);
    rec.tagLengths = rec.length;
    rec.parent = p;
    rec.firstChild = 0;
    const uint32_t level = p != 0 ? ((Rec(p).levelFlags & kLevelMask) + 1) & kLevelMask : 0;
    if (after != 0) {
        XmlElementRecord& sibling = Rec(after);
        rec.nextSibling = sibling.nextSibling;
        if (sibling.nextSibling != 0)
            Rec(sibling.nextSibling).previousSibling = n;
        else
            Rec(Rec(p).firstChild).previousSibling = n;
        sibling.nextSibling = n;
        rec.previousSibling = after;
        rec.levelFlags = level;
    } else {
        XmlElementRecord& par = Rec(p);
        const int oldFirst = par.firstChild;
        rec.nextSibling = oldFirst;
        if (oldFirst != 0) {
            rec.previousSibling = Rec(oldFirst).previousSibling;
            Rec(oldFirst).previousSibling = n;
            Rec(oldFirst).levelFlags &= ~kFirstSibling;
        } else {
            rec.previousSibling = n;
        }
        par.firstChild = n;
        rec.levelFlags = level | kFirstSibling;
    }
    ShiftOffsets(n, static_cast<int64_t>(insert.size()) - static_cast<int64_t>(removeLength), false);
    parentPosition = p;
    currentPosition = n;
    childPosition = 0;
    return true;
}

bool CXmlDoc::DeleteElement()
{
    const int e = currentPosition;
    if (e == 0)
        return false;
    XmlElementRecord& rec = Rec(e);
    if (!SpanInText(rec))
        return false;
    const std::size_t size = documentText.size();
    const char* text = documentText.data();
    const std::size_t end = std::size_t{rec.start} + rec.length;
    std::size_t removeEnd = end;
    std::size_t q = end;
    while (q < size && IsSpace(text[q]))
        ++q;
    if (q == size || text[q] == '<')
        removeEnd = q;
    const std::size_t removed = removeEnd - rec.start;
    if (!Splice(rec.start, removed, {}))
        return false;
    ShiftOffsets(e, -static_cast<int64_t>(removed), true);

    XmlElementRecord& par = Rec(rec.parent);
    int now = 0;
    if (par.firstChild == e) {
        par.firstChild = rec.nextSibling;
        if (rec.nextSibling != 0) {
            XmlElementRecord& next = Rec(rec.nextSibling);
            next.previousSibling = rec.previousSibling;
            next.levelFlags |= kFirstSibling;
        }
    } else {
        Rec(rec.previousSibling).nextSibling = rec.nextSibling;
        if (rec.nextSibling != 0)
            Rec(rec.nextSibling).previousSibling = rec.previousSibling;
        else
            Rec(par.firstChild).previousSibling = rec.previousSibling;
        now = rec.previousSibling;
    }
    AbandonSubtree(e);
    currentPosition = now;
    childPosition = 0;
    return true;
}
