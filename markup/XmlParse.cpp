// The element parse: IndexDocument and its loop over the tags of the text.
//
// The loop gives the result of feeding every token of the byte scanner (XmlScanner.h) to
// the parse, but finds the tags through the bit masks of XmlBlocks.h. Text and whitespace
// between tags make no record and no message, so the loop goes from the end of one tag
// straight to the next "<". Start and end tags, nearly all of a document, are read from
// the masks; everything else that begins with "<" (declarations, comments, CDATA
// sections, processing instructions, malformed tags) goes to the byte scanner.

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "markup/XmlBlocks.h"
#include "markup/XmlDoc.h"
#include "markup/XmlScanner.h"

namespace {

using xmlscan::BlockMasks;

inline unsigned LowestBit(uint64_t mask)
{
    return static_cast<unsigned>(__builtin_ctzll(mask));
}

std::string Offset(std::size_t offset)
{
    return std::to_string(static_cast<int32_t>(offset));
}

// The masks of the text, made a chunk of blocks at a time as the parse moves on. The
// parse only moves forward, so a chunk is classified once. The searches look at the
// current block inline and leave everything else (the next block, the next chunk, the
// end of the text) to functions of their own.
//
// The text ends for the parse at its first NUL. Rather than search the whole text for one
// first, the cursor lowers the end when a chunk shows a NUL: chunks are classified in
// text order from where the parse is, and the bytes the parse passes without masks
// (tokens read by the byte scanner) are searched by the caller, so the first NUL a chunk
// shows is the first NUL of the text.
class CBlockCursor {
public:
    // `text` holds `size` bytes and a NUL after them; the text must not be empty.
    CBlockCursor(const char* text, std::size_t size)
        : text(text), end(size), classify(xmlscan::ActiveClassifier())
    {
        Enter(0);
    }

    std::size_t End() const { return end; }
    bool EndIsKnown() const { return nulFound; }
    void EndAtNul(std::size_t nul)
    {
        end = nul;
        nulFound = true;
    }

    // The first position at or after `from` with a bit in `kind`, or the end. Bits past
    // the end are never set, so a hit always lies below it.
    std::size_t Next(uint64_t BlockMasks::*kind, std::size_t from)
    {
        const std::size_t offset = from - base;
        if (offset < 64) {
            if (const uint64_t hits = current->*kind & (~uint64_t{0} << offset))
                return base + LowestBit(hits);
            from = base + 64;
        }
        return NextFrom(kind, from);
    }

    // The first ">" outside quoted values at or after `from`, or the end. Inline: the
    // tags that hold no single quote, where the quoted bytes of a block are those the
    // prefix XOR of its double quotes marks, flipped when a value is open at its start.
    std::size_t QuotedTagEnd(std::size_t from)
    {
        const std::size_t offset = from - base;
        if (offset >= 64)
            return QuotedTagEndFrom(from, false);
        const BlockMasks* m = current;
        const uint64_t live = ~uint64_t{0} << offset;
        if (m->sq & live)
            return QuotedTagEndFrom(from, false);
        // The quotes before `from` in the block are counted out again.
        uint64_t inside = m->dqInside ^ (0 - (((m->dqInside << 1) >> offset) & 1));
        if (const uint64_t open = m->gt & live & ~inside)
            return base + LowestBit(open);
        for (std::size_t block = (base >> 6) + 1;; ++block) {
            const uint64_t carry = 0 - (inside >> 63);
            if (block << 6 >= end)
                return end;
            m = &Enter(block);
            if (m->sq)
                return QuotedTagEndFrom(block << 6, carry != 0);
            inside = m->dqInside ^ carry;
            if (const uint64_t open = m->gt & ~inside)
                return base + LowestBit(open);
        }
    }

private:
    const BlockMasks& Enter(std::size_t block)
    {
        std::size_t i = block - first;
        if (i >= count) {
            Refill(block);
            i = 0;
        }
        current = &masks[i];
        base = block << 6;
        return *current;
    }
    std::size_t NextFrom(uint64_t BlockMasks::*kind, std::size_t from);
    std::size_t QuotedTagEndFrom(std::size_t from, bool inDoubleQuotes);
    void Refill(std::size_t block);

    static constexpr std::size_t kChunkBlocks = 16;
    const BlockMasks* current = nullptr;
    std::size_t base = 0;   // text position of the current block's first byte
    const char* text;
    std::size_t end;
    xmlscan::ClassifyBlocks classify;
    bool nulFound = false;
    std::size_t first = 0;
    std::size_t count = 0;
    alignas(64) BlockMasks masks[kChunkBlocks];
};

std::size_t CBlockCursor::NextFrom(uint64_t BlockMasks::*kind, std::size_t from)
{
    for (;;) {
        if (from >= end)
            return end;
        const std::size_t block = from >> 6;
        if (const uint64_t hits = Enter(block).*kind & (~uint64_t{0} << (from & 63)))
            return base + LowestBit(hits);
        from = (block + 1) << 6;
    }
}

void CBlockCursor::Refill(std::size_t block)
{
    const std::size_t start = block << 6;
    std::size_t n = std::min(kChunkBlocks, (end - start) >> 6);
    uint64_t nul = n ? classify(text + start, n, masks) : 0;
    if (n < kChunkBlocks && start + (n << 6) < end) {
        // The block the text ends in is read from a copy padded with NULs, so no load
        // reaches past the text.
        alignas(64) char padded[64] = {};
        const std::size_t at = start + (n << 6);
        std::memcpy(padded, text + at, end - at);
        nul |= classify(padded, 1, &masks[n]);
        ++n;
    }
    first = block;
    count = n;
    if (!nul)
        return;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t blockStart = (first + i) << 6;
        const std::size_t inText = end - blockStart;
        const uint64_t valid = inText >= 64 ? ~uint64_t{0} : (uint64_t{1} << inText) - 1;
        if (const uint64_t stop = masks[i].nul & valid) {
            EndAtNul(blockStart + LowestBit(stop));
            const uint64_t keep = (stop & (0 - stop)) - 1;
            BlockMasks& m = masks[i];
            m.lt &= keep;
            m.gt &= keep;
            m.nameStop &= keep;
            m.dq &= keep;
            m.sq &= keep;
            m.dqInside &= keep;
            m.sqInside &= keep;
            count = i + 1;
            return;
        }
    }
}

// The general case of QuotedTagEnd, from `from` on, where a double-quoted value may be
// open already. A quote of either kind opens a value, which only the same kind of quote
// closes. Where the bytes from `from` on hold quotes of one kind only, the prefix XOR
// settles a block at once; where both kinds meet, the quotes are taken one at a time.
std::size_t CBlockCursor::QuotedTagEndFrom(std::size_t from, bool inDoubleQuotes)
{
    if (inDoubleQuotes) {
        const std::size_t close = NextFrom(&BlockMasks::dq, from);
        if (close >= end)
            return end;
        from = close + 1;
    }
    std::size_t block = from >> 6;
    unsigned shift = static_cast<unsigned>(from & 63);
    for (;;) {
        if (block << 6 >= end)
            return end;
        const BlockMasks& m = Enter(block);
        const uint64_t live = ~uint64_t{0} << shift;
        const uint64_t d = m.dq & live;
        const uint64_t s = m.sq & live;
        const uint64_t g = m.gt & live;
        uint64_t BlockMasks::*openKind;
        if (!d || !s) {
            if (!(d | s)) {
                if (g)
                    return base + LowestBit(g);
                ++block;
                shift = 0;
                continue;
            }
            // The prefix XOR counts the quotes from the start of the block; those before
            // `shift` are flipped back out.
            const uint64_t prefix = d ? m.dqInside : m.sqInside;
            const uint64_t before = ((prefix << 1) >> shift) & 1;
            const uint64_t inside = (prefix ^ (0 - before)) & live;
            if (const uint64_t open = g & ~inside)
                return base + LowestBit(open);
            if (!(inside >> 63)) {
                ++block;
                shift = 0;
                continue;
            }
            openKind = d ? &BlockMasks::dq : &BlockMasks::sq;
        } else {
            const uint64_t any = d | s | g;
            const uint64_t firstBit = any & (0 - any);
            if (g & firstBit)
                return base + LowestBit(firstBit);
            if (const uint64_t close = ((d & firstBit) ? d : s) & ~firstBit) {
                const unsigned after = LowestBit(close) + 1;
                if (after == 64) {
                    ++block;
                    shift = 0;
                } else {
                    shift = after;
                }
                continue;
            }
            openKind = (d & firstBit) ? &BlockMasks::dq : &BlockMasks::sq;
        }
        // The value is still open at the end of the block: go on after its closing quote.
        const std::size_t close = NextFrom(openKind, (block + 1) << 6);
        if (close >= end)
            return end;
        block = (close + 1) >> 6;
        shift = static_cast<unsigned>((close + 1) & 63);
    }
}

} // namespace

// An open element on the parse stack, with the links the next child needs.
struct CXmlDoc::OpenElement {
    XmlElementRecord* rec;
    XmlElementRecord* firstChild;   // null while it has no child
    XmlElementRecord* lastChild;
    int element;
    int last;                       // index of the last child, 0 for none
    uint32_t nameStart;
    uint32_t nameLength;
};

namespace {

// The stack of open elements; room for a common nesting depth without an allocation.
template <class T>
class CSmallStack {
public:
    CSmallStack() : items(inlineItems) {}
    CSmallStack(const CSmallStack&) = delete;
    CSmallStack& operator=(const CSmallStack&) = delete;

    void Push(const T& item)
    {
        if (size == capacity)
            Grow();
        items[size++] = item;
    }
    T& Top() { return items[size - 1]; }
    T& operator[](std::size_t i) { return items[i]; }
    std::size_t Size() const { return size; }
    void Resize(std::size_t newSize) { size = newSize; }

private:
    void Grow()
    {
        std::vector<T> bigger(capacity * 2);
        std::copy(items, items + size, bigger.begin());
        heap.swap(bigger);
        items = heap.data();
        capacity *= 2;
    }

    static constexpr std::size_t kInline = 32;
    T inlineItems[kInline];
    std::vector<T> heap;
    T* items;
    std::size_t size = 0;
    std::size_t capacity = kInline;
};

} // namespace

bool CXmlDoc::IndexDocument()
{
    const std::string previous = std::move(resultText);
    resultText.clear();
    parentPosition = currentPosition = childPosition = 0;
    recordCount = 1;
    const std::size_t size = documentText.size();
    GrowIndex(size > kMaxTextSize ? 8 : static_cast<int64_t>(size / 64 + 8));
    ProvideStorage(0);
    Rec(0) = XmlElementRecord{};
    if (size == 0) {
        resultText = "Empty document";
    } else if (size > kMaxTextSize) {
        resultText = "Document too large";
        Rec(0).levelFlags = kNotWellFormed;
    } else {
        const int first = ParseElements();
        Rec(0).length = static_cast<uint32_t>(size);
        if (first == 0) {
            resultText = "No root element";
        } else {
            Rec(0).firstChild = first;
            if (Rec(first).nextSibling != 0)
                resultText = "Root element has sibling";
        }
    }
    TrimIndex();
    parentPosition = currentPosition = childPosition = 0;
    if (!previous.empty())
        resultText = resultText.empty() ? previous : xmlscan::Join({previous, ", ", resultText});
    return IsWellFormed();
}

// Memory for record `count` on, after the records handed out from the current segment
// ran out: the index grows, and the segment may move, which the links on the stack follow.
// Returns the first record and sets `limit` to the end of the memory after it.
XmlElementRecord* CXmlDoc::MoreRecords(int count, OpenElement* open, std::size_t openCount,
                                       XmlElementRecord** limit)
{
    recordCount = count;
    ReserveRecord();
    for (std::size_t i = 0; i < openCount; ++i) {
        OpenElement& o = open[i];
        o.rec = &Rec(o.element);
        o.firstChild = o.rec->firstChild ? &Rec(o.rec->firstChild) : nullptr;
        o.lastChild = o.last ? &Rec(o.last) : nullptr;
    }
    const int segment = count >> kSegmentBits;
    const int64_t segmentStart = int64_t{segment} * kSegmentSize;
    *limit = segments[segment] + (std::min<int64_t>(storedRecords, segmentStart + kSegmentSize) - segmentStart);
    return &Rec(count);
}

int CXmlDoc::ParseElements()
{
    using xmlscan::ClassOf;
    const char* text = documentText.data();
    CBlockCursor blocks(text, documentText.size());
    CSmallStack<OpenElement> open;
    open.Push({&Rec(0), nullptr, nullptr, 0, 0, 0, 0});
    OpenElement* top = &open.Top();
    int count = recordCount;
    XmlElementRecord* nextRecord = nullptr;
    XmlElementRecord* recordLimit = nullptr;

    // Flags a problem; true when it is the first, whose message the result text takes.
    auto problem = [this, &open]() {
        open[0].rec->levelFlags |= kNotWellFormed;
        open.Top().rec->levelFlags |= kIllFormed;
        return resultText.empty();
    };
    auto problemAt = [this, &problem](XmlProblem what, std::size_t offset) {
        if (problem())
            resultText = XmlProblemText(what, static_cast<uint32_t>(offset));
    };

    std::size_t p = 0;
    for (;;) {
        const std::size_t s = blocks.Next(&BlockMasks::lt, p);
        if (s >= blocks.End())
            break;
        // text[s + 1] is readable: the text's own terminating NUL or the NUL it ends at.
        const char c1 = text[s + 1];
        if (ClassOf(c1) & xmlscan::kNameStart) {
            // A start tag. Its first byte cannot end the name.
            const std::size_t nameStart = s + 1;
            const std::size_t nameEnd = blocks.Next(&BlockMasks::nameStop, nameStart + 1);
            const std::size_t close = nameEnd < blocks.End() ? blocks.QuotedTagEnd(nameEnd) : blocks.End();
            if (close >= blocks.End()) {
                problemAt(XmlProblem::UnterminatedElementTag, s);
                break;
            }
            const bool empty = xmlscan::SlashEndsEmptyTag(text, nameEnd, close);
            const uint32_t length = static_cast<uint32_t>(close + 1 - s);
            p = close + 1;
            if (close + 1 - s > kMaxStartTagLength) {
                problemAt(XmlProblem::StartTagTooLong, s);
                continue;
            }
            if (nextRecord == recordLimit) {
                nextRecord = MoreRecords(count, &open[0], open.Size(), &recordLimit);
                top = &open.Top();
            }
            const int e = count++;
            XmlElementRecord& rec = *nextRecord++;
            const uint32_t level = static_cast<uint32_t>(open.Size() - 1) & kLevelMask;
            rec.start = static_cast<uint32_t>(s);
            rec.length = length;
            rec.tagLengths = length;
            rec.parent = top->element;
            rec.firstChild = 0;
            rec.nextSibling = 0;
            if (top->last == 0) {
                top->rec->firstChild = e;
                top->firstChild = &rec;
                rec.previousSibling = e;
                rec.levelFlags = level | kFirstSibling;
            } else {
                top->lastChild->nextSibling = e;
                top->firstChild->previousSibling = e;
                rec.previousSibling = top->last;
                rec.levelFlags = level;
            }
            top->last = e;
            top->lastChild = &rec;
            if (!empty) {
                open.Push({&rec, nullptr, nullptr, e, 0, static_cast<uint32_t>(nameStart),
                           static_cast<uint32_t>(nameEnd - nameStart)});
                top = &open.Top();
            }
            continue;
        }
        if (c1 == '/') {
            const std::size_t nameStart = s + 2;
            const std::size_t nameEnd = blocks.Next(&BlockMasks::nameStop, nameStart);
            const std::size_t close = blocks.Next(&BlockMasks::gt, nameEnd);
            if (close >= blocks.End()) {
                problemAt(XmlProblem::UnterminatedEndTag, s);
                break;
            }
            const uint32_t length = static_cast<uint32_t>(close + 1 - s);
            p = close + 1;
            if (close + 1 - s > kMaxEndTagLength) {
                problemAt(XmlProblem::EndTagTooLong, s);
                continue;
            }
            const std::size_t nameLength = nameEnd - nameStart;
            std::size_t match = open.Size() - 1;
            while (match > 0 &&
                   !NameMatches({text + nameStart, nameLength}, {text + open[match].nameStart, open[match].nameLength}))
                --match;
            if (match == 0) {
                if (problem())
                    resultText = xmlscan::Join({"No start tag for end tag '",
                                                std::string_view(text + nameStart, nameLength), "' at offset ",
                                                Offset(s)});
                continue;
            }
            XmlElementRecord& rec = *open[match].rec;
            rec.length = static_cast<uint32_t>(close + 1 - rec.start);
            rec.tagLengths = (rec.tagLengths & kStartTagMask) | (length << kEndTagShift);
            const std::size_t inner = open.Size() - 1 - match;
            if (inner > 0) {
                open[0].rec->levelFlags |= kNotWellFormed;
                if (resultText.empty()) {
                    const OpenElement& innermost = open.Top();
                    resultText = xmlscan::Join(
                        {"End tag '", std::string_view(text + nameStart, nameLength), "' at offset ",
                         Offset(nameStart - 1), " does not match start tag '",
                         std::string_view(text + innermost.nameStart, innermost.nameLength), "' at offset ",
                         Offset(innermost.rec->start)});
                }
                CloseNotEnded(&open[match + 1], static_cast<int>(inner));
            }
            open.Resize(match);
            top = &open.Top();
            continue;
        }
        // The byte scanner reads this token. It runs to the text's size unless the NUL the
        // text ends at is known; a NUL inside the token means the token must be read again
        // with the text ending there.
        XmlToken token;
        CXmlScanner scanner(text, blocks.End());
        scanner.SetNextPosition(s);
        int kind = scanner.ScanToken(token);
        if (!blocks.EndIsKnown()) {
            if (const void* nul = std::memchr(text + s, 0, scanner.NextPosition() - s)) {
                blocks.EndAtNul(static_cast<std::size_t>(static_cast<const char*>(nul) - text));
                scanner = CXmlScanner(text, blocks.End());
                scanner.SetNextPosition(s);
                kind = scanner.ScanToken(token);
            }
        }
        p = scanner.NextPosition();
        if (kind == kXmlError)
            problemAt(token.problem, token.start);
    }

    if (open.Size() > 1) {
        open[0].rec->levelFlags |= kNotWellFormed;
        if (resultText.empty()) {
            const OpenElement& innermost = open.Top();
            resultText = xmlscan::Join({"Element '", std::string_view(text + innermost.nameStart, innermost.nameLength),
                                        "' at offset ", Offset(innermost.rec->start), " not ended"});
        }
        CloseNotEnded(&open[1], static_cast<int>(open.Size() - 1));
    }
    recordCount = count;
    return count > 1 ? 1 : 0;
}

// Closes open[0..count) (outermost first in the array) as not ended, with the result of
// closing them one by one from the innermost: each one's children become its following
// siblings, so all of them end up as children of the outermost one's parent, chained in
// document order. Doing it in one pass keeps a long run of unclosed tags linear.
void CXmlDoc::CloseNotEnded(OpenElement* open, int count)
{
    const int base = Rec(open[0].element).parent;
    bool illFormed = false;
    int chainLast = 0;
    for (int j = 0; j < count; ++j) {
        const int x = open[j].element;
        XmlElementRecord& rec = Rec(x);
        rec.tagLengths &= kStartTagMask;
        rec.length = rec.tagLengths;
        rec.levelFlags |= kNotEnded;
        if (rec.levelFlags & kIllFormed) {
            illFormed = true;
            rec.levelFlags &= ~kIllFormed;
        }
        chainLast = x;
        if (const int firstChild = rec.firstChild) {
            XmlElementRecord& child = Rec(firstChild);
            chainLast = child.previousSibling;
            rec.nextSibling = firstChild;
            rec.firstChild = 0;
            child.previousSibling = x;
            child.levelFlags &= ~kFirstSibling;
            for (int c = firstChild; c != 0; c = Rec(c).nextSibling)
                Rec(c).parent = base;
        }
    }
    XmlElementRecord& baseRec = Rec(base);
    Rec(baseRec.firstChild).previousSibling = chainLast;
    if (illFormed)
        baseRec.levelFlags |= kIllFormed;
}
