#pragma once

// Checks that a document's element index, however it was patched by edits, describes its
// text exactly as a fresh parse of that text does. Header only, so fuzz targets and other
// test suites can include it.

#include <cstdint>
#include <string>
#include <vector>

#include "markup/XmlDoc.h"

namespace indexcheck {

// The live elements of `doc` in document order, found by following the links from record
// 0. Returns a description of the first broken link, or "".
inline std::string WalkTree(const CXmlDoc& doc, std::vector<int>& order)
{
    order.clear();
    const int count = doc.RecordCount();
    std::vector<char> seen(static_cast<std::size_t>(count), 0);
    struct Frame {
        int parent;
        int child;
    };
    std::vector<Frame> stack{{0, doc.Record(0).firstChild}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const int e = frame.child;
        if (e == 0) {
            stack.pop_back();
            continue;
        }
        if (e < 0 || e >= count)
            return "record " + std::to_string(frame.parent) + " links to record " + std::to_string(e) +
                   " beyond the record count " + std::to_string(count);
        if (seen[static_cast<std::size_t>(e)])
            return "record " + std::to_string(e) + " is reached twice";
        seen[static_cast<std::size_t>(e)] = 1;
        const XmlElementRecord& rec = doc.Record(e);
        const XmlElementRecord& parent = doc.Record(frame.parent);
        if (rec.parent != frame.parent)
            return "record " + std::to_string(e) + " has parent " + std::to_string(rec.parent) + " but hangs under " +
                   std::to_string(frame.parent);
        const bool isFirst = parent.firstChild == e;
        if (isFirst != ((rec.levelFlags & CXmlDoc::kFirstSibling) != 0))
            return "record " + std::to_string(e) + " first-sibling flag does not match its place";
        if (!isFirst && doc.Record(rec.previousSibling).nextSibling != e)
            return "record " + std::to_string(e) + " previous sibling does not lead back to it";
        if (rec.nextSibling == 0 && doc.Record(parent.firstChild).previousSibling != e)
            return "record " + std::to_string(e) + " is the last child but its parent's first child does not say so";
        if (rec.levelFlags & CXmlDoc::kAbandoned)
            return "record " + std::to_string(e) + " is in the tree but marked abandoned";
        order.push_back(e);
        frame.child = rec.nextSibling;
        stack.push_back({e, rec.firstChild});
    }
    return {};
}

// What must hold for any text, however malformed, after any sequence of edits: the links
// form a tree, record 0 spans the text, and every live element lies inside the text and
// starts at a "<", so no later operation can reach outside it. Returns "" or the first
// violation. (IndexMismatch is stronger but holds only for texts that were well-formed.)
inline std::string InvariantViolation(const CXmlDoc& doc)
{
    const std::string& text = doc.DocumentText();
    if (doc.Record(0).length != text.size())
        return "record 0 length differs from the text length";
    std::vector<int> live;
    if (std::string broken = WalkTree(doc, live); !broken.empty())
        return broken;
    for (const int e : live) {
        const XmlElementRecord& r = doc.Record(e);
        if (uint64_t{r.start} + r.length > text.size() || (r.tagLengths & CXmlDoc::kStartTagMask) > r.length)
            return "element " + std::to_string(e) + " reaches past the text";
        if (text[r.start] != '<')
            return "element " + std::to_string(e) + " does not start at a '<'";
    }
    return {};
}

inline std::string Describe(int element, const char* word, uint32_t patched, uint32_t fresh)
{
    return "element " + std::to_string(element) + " " + word + ": patched " + std::to_string(patched) + ", fresh " +
           std::to_string(fresh);
}

// Compares the patched index of `doc` with IndexDocument over its text, element by
// element in document order and word by word, links compared through that order.
// `levelFlagsMask` selects the bits of the level-and-flags word that must agree; an edit
// cannot know that it made a malformed document well-formed, or undo the level a moved
// child kept, so callers that edit malformed documents mask those bits.
// Returns "" when they agree, otherwise the first difference.
inline std::string IndexMismatch(const CXmlDoc& doc, uint32_t levelFlagsMask = 0xFFFFFFFFu)
{
    const std::string& text = doc.DocumentText();
    if (doc.Record(0).length != text.size())
        return "record 0 length " + std::to_string(doc.Record(0).length) + " differs from the text length " +
               std::to_string(text.size());
    CXmlDoc fresh;
    fresh.SetDocumentText(text);
    fresh.IndexDocument();

    std::vector<int> patchedOrder;
    std::vector<int> freshOrder;
    if (std::string broken = WalkTree(doc, patchedOrder); !broken.empty())
        return "patched index: " + broken;
    if (std::string broken = WalkTree(fresh, freshOrder); !broken.empty())
        return "fresh index: " + broken;
    if (patchedOrder.size() != freshOrder.size())
        return "patched index has " + std::to_string(patchedOrder.size()) + " live elements, fresh parse " +
               std::to_string(freshOrder.size());

    std::vector<int> toFresh(static_cast<std::size_t>(doc.RecordCount()), -1);
    toFresh[0] = 0;
    for (std::size_t i = 0; i < patchedOrder.size(); ++i)
        toFresh[static_cast<std::size_t>(patchedOrder[i])] = freshOrder[i];
    auto mapped = [&toFresh](int e) { return e == 0 ? 0 : toFresh[static_cast<std::size_t>(e)]; };

    auto compare = [&](int p, int f) -> std::string {
        const XmlElementRecord& a = doc.Record(p);
        const XmlElementRecord& b = fresh.Record(f);
        if (a.start != b.start)
            return Describe(f, "start", a.start, b.start);
        if (a.length != b.length)
            return Describe(f, "length", a.length, b.length);
        if (a.tagLengths != b.tagLengths)
            return Describe(f, "tag lengths", a.tagLengths, b.tagLengths);
        if ((a.levelFlags & levelFlagsMask) != (b.levelFlags & levelFlagsMask))
            return Describe(f, "level and flags", a.levelFlags, b.levelFlags);
        if (p == 0) {
            if (mapped(a.firstChild) != b.firstChild)
                return "record 0 first child differs";
            return {};
        }
        if (mapped(a.parent) != b.parent)
            return Describe(f, "parent", static_cast<uint32_t>(mapped(a.parent)), static_cast<uint32_t>(b.parent));
        if (mapped(a.firstChild) != b.firstChild)
            return Describe(f, "first child", static_cast<uint32_t>(mapped(a.firstChild)),
                            static_cast<uint32_t>(b.firstChild));
        if (mapped(a.nextSibling) != b.nextSibling)
            return Describe(f, "next sibling", static_cast<uint32_t>(mapped(a.nextSibling)),
                            static_cast<uint32_t>(b.nextSibling));
        if (mapped(a.previousSibling) != b.previousSibling)
            return Describe(f, "previous sibling", static_cast<uint32_t>(mapped(a.previousSibling)),
                            static_cast<uint32_t>(b.previousSibling));
        return {};
    };
    if (std::string difference = compare(0, 0); !difference.empty())
        return difference;
    for (std::size_t i = 0; i < patchedOrder.size(); ++i)
        if (std::string difference = compare(patchedOrder[i], freshOrder[i]); !difference.empty())
            return difference;
    return {};
}

// Moves to `element` with the public moves only: down its chain of ancestors from the
// document level, seeking along each sibling list. False when a move fails.
inline bool NavigateTo(CXmlDoc& doc, int element)
{
    std::vector<int> chain;
    for (int e = element; e != 0; e = doc.Record(e).parent)
        chain.insert(chain.begin(), e);
    doc.Rewind();
    for (std::size_t i = 0; i < chain.size(); ++i) {
        if (i > 0 && !doc.EnterElement())
            return false;
        while (doc.CurrentPosition() != chain[i])
            if (!doc.SeekElement())
                return false;
    }
    return true;
}

} // namespace indexcheck
