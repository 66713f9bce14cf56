#include "ReferenceIndex.h"

#include <cstdint>
#include <string_view>

namespace {

bool IsSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsNameStart(int c)
{
    return (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c > 0x60;
}

std::string At(const char* what, std::size_t offset)
{
    return std::string(what) + " at offset " + std::to_string(offset);
}

struct Token {
    int kind = 0;
    std::size_t start = 0;
    std::size_t length = 0;
    bool empty = false;
    std::string name;
};

struct Cursor {
    const std::string* text;
    std::size_t next = 0;
    std::size_t nameStart = 0;
    long nameEnd = -1;
};

int Scan(Cursor& cursor, Token& token)
{
    const std::string& t = *cursor.text;
    auto at = [&t](std::size_t p) -> int { return p < t.size() ? static_cast<unsigned char>(t[p]) : 0; };
    const std::size_t s = cursor.next;
    token.start = s;
    token.empty = false;
    token.name.clear();
    if (at(s) == 0) {
        token.kind = 0;
        token.length = 0;
        return -2;
    }
    bool afterLt = false, afterBang = false, afterBangDash = false, afterBangBracket = false;
    bool inSpace = false, doctype = false, single = false, dbl = false;
    int kind = -1;
    std::string_view terminator;
    std::size_t nameStart = 0;
    int last1 = -1, last2 = -1;
    long end = -1;
    std::size_t p = s;
    for (; at(p) != 0; ++p) {
        const int c = at(p);
        if (nameStart) {
            if (IsSpace(c) || c == '/' || c == '>') {
                if (kind == 0) {
                    cursor.nameStart = nameStart;
                    cursor.nameEnd = static_cast<long>(p) - 1;
                } else {
                    token.name = t.substr(nameStart, p - nameStart);
                }
                nameStart = 0;
                last1 = last2 = -1;
            } else {
                continue;
            }
        }
        if (!terminator.empty()) {
            if (c == '>' && !single && !dbl) {
                bool ends = false;
                if (terminator.size() == 1) {
                    if (kind == 1 && last1 == '/' && (last2 == -1 || IsSpace(last2) || last2 == '\'' || last2 == '"'))
                        token.empty = true;
                    ends = true;
                } else {
                    const std::size_t n = terminator.size();
                    ends = n < p && t.compare(p - (n - 1), n - 1, terminator, 0, n - 1) == 0;
                }
                if (ends) {
                    if (doctype) {
                        terminator = {};
                        continue;
                    }
                    end = static_cast<long>(p);
                    break;
                }
                continue;
            }
            if (c == '<' && (kind == 2 || kind == -1)) {
                end = static_cast<long>(p) - 1;
                break;
            }
            if (kind & 0x41) {
                if (c == '"' && !single)
                    dbl = !dbl;
                else if (c == '\'' && !dbl)
                    single = !single;
                if (kind == 1) {
                    last2 = last1;
                    last1 = c;
                }
            }
            continue;
        }
        if (!afterLt && !afterBang && !afterBangDash && !afterBangBracket && !inSpace && !doctype) {
            if (c == '<') {
                afterLt = true;
            } else if (IsSpace(c)) {
                inSpace = true;
                kind = 4;
            } else {
                kind = 2;
                terminator = "<";
            }
            continue;
        }
        if (inSpace) {
            if (c == '<') {
                end = static_cast<long>(p) - 1;
                break;
            }
            if (!IsSpace(c)) {
                inSpace = false;
                kind = 2;
                terminator = "<";
            }
            continue;
        }
        if (afterLt) {
            afterLt = false;
            if (IsNameStart(c)) {
                kind = 1;
                nameStart = p;
                terminator = ">";
            } else if (c == '/') {
                kind = 0;
                nameStart = p + 1;
                terminator = ">";
            } else if (c == '!') {
                afterBang = true;
            } else if (c == '?') {
                kind = 16;
                nameStart = p + 1;
                terminator = "?>";
            } else {
                token.name = "Incorrect " + At("tag name character", s);
                kind = -1;
                terminator = ">";
            }
            continue;
        }
        if (afterBang) {
            afterBang = false;
            if (c == '-') {
                afterBangDash = true;
            } else if (c == '[' && !doctype) {
                afterBangBracket = true;
            } else if (c == 'D' && !doctype) {
                doctype = true;
            } else {
                terminator = ">";
                if (c == 'E' || c == 'A' || c == 'N') {
                    kind = 64;
                } else {
                    token.name = "Incorrect " + At("! tag", s);
                    kind = -1;
                }
            }
            continue;
        }
        if (afterBangDash) {
            afterBangDash = false;
            if (c == '-') {
                kind = 32;
                terminator = "-->";
            } else {
                token.name = "Incorrect " + At("comment tag", s);
                kind = -1;
                terminator = ">";
            }
            continue;
        }
        if (afterBangBracket) {
            afterBangBracket = false;
            if (c == 'C') {
                kind = 8;
                terminator = "]]>";
            } else {
                token.name = "Incorrect " + At("tag", s);
                kind = -1;
                terminator = ">";
            }
            continue;
        }
        if (doctype) {
            if (c == '<') {
                afterLt = true;
            } else if (c == '>') {
                kind = 64;
                end = static_cast<long>(p);
                break;
            }
        }
    }
    if (end < 0) {
        end = static_cast<long>(p) - 1;
        if (kind != 2 && kind != 4) {
            const char* word = doctype || kind == 64 ? "Doctype"
                             : kind == 1             ? "Element tag"
                             : kind == 0             ? "Element end tag"
                             : kind == 8             ? "CDATA Section"
                             : kind == 16            ? "Processing instruction"
                             : kind == 32            ? "Comment"
                                                     : "tag";
            token.name = At(word, s) + " unterminated";
            kind = -1;
        }
    }
    cursor.next = static_cast<std::size_t>(end) + 1;
    token.length = static_cast<std::size_t>(end) + 1 - s;
    if (kind == 1 && token.length > 0x3FFFFF) {
        kind = -1;
        token.name = At("Element tag", s) + " too long";
    } else if (kind == 0 && token.length > 0x3FF) {
        kind = -1;
        token.name = At("Element end tag", s) + " too long";
    }
    token.kind = kind;
    return kind;
}

bool NameMatch(const std::string& stored, const std::string& wanted)
{
    if (stored.size() > wanted.size() || wanted.compare(0, stored.size(), stored) != 0)
        return false;
    if (wanted.size() == stored.size())
        return true;
    const char c = wanted[stored.size()];
    return c == ' ' || c == '=' || c == '/' || c == '[' || c == ']';
}

struct Parser {
    std::vector<XmlElementRecord> r;
    std::string result;
    std::vector<Token> stack;
    std::vector<int> stackElement;
    int parent = 0;

    void CloseNotEnded()
    {
        const int x = stackElement.back();
        XmlElementRecord& rec = r[x];
        rec.tagLengths &= 0x3FFFFF;
        rec.levelFlags |= CXmlDoc::kNotEnded;
        rec.length = rec.tagLengths & 0x3FFFFF;
        const int xp = rec.parent;
        if (rec.levelFlags & CXmlDoc::kIllFormed) {
            rec.levelFlags &= ~CXmlDoc::kIllFormed;
            r[xp].levelFlags |= CXmlDoc::kIllFormed;
        }
        if (rec.firstChild) {
            int c = rec.firstChild;
            int lastMoved = c;
            r[x].nextSibling = c;
            r[c].previousSibling = x;
            r[c].levelFlags &= ~CXmlDoc::kFirstSibling;
            for (; c; c = r[c].nextSibling) {
                r[c].parent = xp;
                lastMoved = c;
            }
            r[r[xp].firstChild].previousSibling = lastMoved;
            r[x].firstChild = 0;
        }
        parent = xp;
        stack.pop_back();
        stackElement.pop_back();
    }
};

} // namespace

ReferenceIndex BuildReferenceIndex(const std::string& text)
{
    ReferenceIndex out;
    Parser ps;
    ps.r.push_back(XmlElementRecord{});
    if (text.empty()) {
        out.records = ps.r;
        out.resultText = "Empty document";
        return out;
    }
    Cursor cursor{&text};
    int first = 0;
    for (;;) {
        Token token;
        const int kind = Scan(cursor, token);
        if (kind == 1) {
            const int e = static_cast<int>(ps.r.size());
            ps.r.push_back(XmlElementRecord{});
            if (!first)
                first = e;
            XmlElementRecord& rec = ps.r[e];
            rec.parent = ps.parent;
            uint32_t flags = 0;
            XmlElementRecord& par = ps.r[ps.parent];
            if (!par.firstChild) {
                par.firstChild = e;
                rec.previousSibling = e;
                flags = CXmlDoc::kFirstSibling;
            } else {
                const int last = ps.r[par.firstChild].previousSibling;
                ps.r[last].nextSibling = e;
                rec.previousSibling = last;
                ps.r[par.firstChild].previousSibling = e;
            }
            rec.levelFlags = (static_cast<uint32_t>(ps.stack.size()) & 0xFFFF) | flags;
            rec.start = static_cast<uint32_t>(token.start);
            rec.tagLengths = static_cast<uint32_t>(token.length);
            rec.length = static_cast<uint32_t>(token.length);
            if (!token.empty) {
                ps.stack.push_back(token);
                ps.stackElement.push_back(e);
                ps.parent = e;
            }
        } else if (kind == -1) {
            ps.r[0].levelFlags |= CXmlDoc::kNotWellFormed;
            ps.r[ps.parent].levelFlags |= CXmlDoc::kIllFormed;
            if (ps.result.empty())
                ps.result = token.name;
        } else if (kind == 0) {
            const std::string endName =
                text.substr(cursor.nameStart, static_cast<std::size_t>(cursor.nameEnd + 1) - cursor.nameStart);
            int match = static_cast<int>(ps.stack.size()) - 1;
            while (match >= 0 && !NameMatch(endName, ps.stack[match].name))
                --match;
            if (match >= 0) {
                const int m = ps.stackElement[match];
                ps.r[m].length = static_cast<uint32_t>(token.start + token.length - ps.r[m].start);
                ps.r[m].tagLengths = (ps.r[m].tagLengths & 0x3FFFFF) | static_cast<uint32_t>(token.length << 22);
                if (static_cast<int>(ps.stack.size()) - 1 > match)
                    ps.r[0].levelFlags |= CXmlDoc::kNotWellFormed;
                while (static_cast<int>(ps.stack.size()) - 1 > match) {
                    if (ps.result.empty())
                        ps.result = "End tag '" + endName + "' at offset " + std::to_string(cursor.nameStart - 1) +
                                    " does not match start tag '" + ps.stack.back().name + "' at offset " +
                                    std::to_string(ps.stack.back().start);
                    ps.CloseNotEnded();
                }
                ps.parent = ps.r[m].parent;
                ps.stack.pop_back();
                ps.stackElement.pop_back();
            } else {
                ps.r[0].levelFlags |= CXmlDoc::kNotWellFormed;
                ps.r[ps.parent].levelFlags |= CXmlDoc::kIllFormed;
                if (ps.result.empty())
                    ps.result = "No start tag for end tag '" + endName + "' at offset " + std::to_string(token.start);
            }
        } else if (kind == -2) {
            if (!ps.stack.empty())
                ps.r[0].levelFlags |= CXmlDoc::kNotWellFormed;
            while (!ps.stack.empty()) {
                if (ps.result.empty())
                    ps.result = "Element '" + ps.stack.back().name + "' at offset " +
                                std::to_string(ps.stack.back().start) + " not ended";
                ps.CloseNotEnded();
            }
            break;
        }
    }
    ps.r[0].length = static_cast<uint32_t>(text.size());
    if (!first) {
        ps.result = "No root element";
    } else {
        ps.r[0].firstChild = first;
        if (ps.r[first].nextSibling)
            ps.result = "Root element has sibling";
    }
    out.wellFormed = !(ps.r[0].levelFlags & CXmlDoc::kNotWellFormed) && first && !ps.r[first].nextSibling;
    out.records = std::move(ps.r);
    out.resultText = std::move(ps.result);
    return out;
}

std::string ReferenceMismatch(const std::string& text)
{
    const ReferenceIndex reference = BuildReferenceIndex(text);
    CXmlDoc doc;
    doc.SetDocumentText(text);
    const bool wellFormed = doc.IndexDocument();
    if (doc.ResultText() != reference.resultText)
        return "result text '" + doc.ResultText() + "', reference '" + reference.resultText + "'";
    if (wellFormed != reference.wellFormed)
        return "well-formed differs";
    if (doc.RecordCount() != static_cast<int>(reference.records.size()))
        return "record count " + std::to_string(doc.RecordCount()) + ", reference " +
               std::to_string(reference.records.size());
    for (int i = 0; i < doc.RecordCount(); ++i) {
        const XmlElementRecord& a = doc.Record(i);
        const XmlElementRecord& b = reference.records[static_cast<std::size_t>(i)];
        const uint32_t wordsA[8] = {a.start, a.length, a.tagLengths, a.levelFlags, static_cast<uint32_t>(a.parent),
                                    static_cast<uint32_t>(a.firstChild), static_cast<uint32_t>(a.nextSibling),
                                    static_cast<uint32_t>(a.previousSibling)};
        const uint32_t wordsB[8] = {b.start, b.length, b.tagLengths, b.levelFlags, static_cast<uint32_t>(b.parent),
                                    static_cast<uint32_t>(b.firstChild), static_cast<uint32_t>(b.nextSibling),
                                    static_cast<uint32_t>(b.previousSibling)};
        for (int w = 0; w < 8; ++w)
            if (wordsA[w] != wordsB[w])
                return "record " + std::to_string(i) + " word " + std::to_string(w) + ": " +
                       std::to_string(wordsA[w]) + ", reference " + std::to_string(wordsB[w]);
    }
    return {};
}
