#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "markup/XmlDoc.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Token kinds of the markup scanner. Kinds 1-64 are bit values so callers can test a set
// of kinds with one mask.
enum XmlTokenKind : int {
    kXmlEndOfDocument = -2,
    kXmlError = -1,
    kXmlEndTag = 0,
    kXmlStartTag = 1,
    kXmlText = 2,
    kXmlWhitespace = 4,
    kXmlCData = 8,
    kXmlProcessing = 16,
    kXmlComment = 32,
    kXmlDeclaration = 64,
};

// Why an error token is one; turned into words only when the message is shown.
enum class XmlProblem : uint8_t {
    None,
    BadNameCharacter,      // "<" followed by a byte that starts no tag
    BadBangTag,            // "<!" followed by an unknown byte
    BadCommentTag,         // "<!-" not followed by "-"
    BadTag,                // "<![" not followed by "C"
    UnterminatedDoctype,
    UnterminatedElementTag,
    UnterminatedEndTag,
    UnterminatedCData,
    UnterminatedProcessing,
    UnterminatedComment,
    UnterminatedTag,
    StartTagTooLong,       // longer than the 22-bit start-tag length of a record
    EndTagTooLong,         // longer than the 10-bit end-tag length of a record
};

struct XmlToken {
    int kind = kXmlEndOfDocument;
    uint32_t start = 0;
    uint32_t length = 0;
    // Start tag: its name; end tag: the name after "</". Spans into the text.
    uint32_t nameStart = 0;
    uint32_t nameLength = 0;
    bool emptyElement = false;      // start tag written "<a/>"
    XmlProblem problem = XmlProblem::None;
};

// The message of an error token, for the document's result text.
std::string XmlProblemText(XmlProblem problem, uint32_t offset);

namespace xmlscan {

// The pieces one after the other. Messages and inserted markup are built with it rather
// than with "literal" + std::string, which g++ 12 at -O3 wrongly reports as an
// overlapping copy (-Wrestrict).
inline std::string Join(std::initializer_list<std::string_view> parts)
{
    std::size_t size = 0;
    for (const std::string_view part : parts)
        size += part.size();
    std::string out;
    out.reserve(size);
    for (const std::string_view part : parts)
        out.append(part.data(), part.size());
    return out;
}

// Byte classes. Every stop class contains NUL, so a loop over a class halts at the
// sentinel that ends the text without a bound check per byte.
enum : uint8_t {
    kSpace = 1,        // the four whitespace bytes
    kNameStop = 2,     // ends a tag name in the scanner: whitespace, "/", ">"
    kTagStop = 4,      // matters inside a start tag: ">" and the two quotes
    kTextStop = 8,     // ends text: "<" and ">"
    kNameStart = 16,   // may follow "<" in a start tag
};

constexpr std::array<uint8_t, 256> MakeClasses()
{
    std::array<uint8_t, 256> c{};
    for (int b : {' ', '\t', '\n', '\r'})
        c[b] |= kSpace | kNameStop;
    c['/'] |= kNameStop;
    c['>'] |= kNameStop | kTagStop | kTextStop;
    c['"'] |= kTagStop;
    c['\''] |= kTagStop;
    c['<'] |= kTextStop;
    c[0] |= kNameStop | kTagStop | kTextStop;
    for (int b = 'A'; b <= 'Z'; ++b)
        c[b] |= kNameStart;
    c['_'] |= kNameStart;
    c[':'] |= kNameStart;
    for (int b = 0x61; b <= 0xFF; ++b)
        c[b] |= kNameStart;
    return c;
}

inline constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

inline uint8_t ClassOf(char c)
{
    return kClasses[static_cast<uint8_t>(c)];
}

// Whether the ">" at `close` ends an empty-element tag whose name ends at `nameEnd`:
// "/>" does unless the "/" ends an unquoted value, so the byte before it must be
// whitespace, a quote, or the end of the name.
inline bool SlashEndsEmptyTag(const char* text, std::size_t nameEnd, std::size_t close)
{
    if (close <= nameEnd || text[close - 1] != '/')
        return false;
    const char before = text[close - 2];
    return close - 1 == nameEnd || (ClassOf(before) & kSpace) || before == '"' || before == '\'';
}

} // namespace xmlscan

// Cuts a document text into tokens, with the result of reading it one byte at a time:
// the runs inside text, quoted values, comments and tags are skipped sixteen bytes at a
// time. The text ends at `end`, which must be the first NUL or the text's size, and
// text[end] must be readable and 0: the byte loops use it as their stop byte instead of
// testing the bound on every byte. (The element parse reads start and end tags from
// block masks, XmlParse.cpp, and hands every other token beginning with "<" to this.)
class CXmlScanner {
public:
    CXmlScanner(const char* text, std::size_t end) : text(text), end(end) {}

    // Reads the token at the next position and returns its kind; kXmlEndOfDocument (with
    // kind 0 and length 0 in the token) once the text is used up.
    int ScanToken(XmlToken& token);
    std::size_t NextPosition() const { return next; }
    // Where the next token starts; it must be a token boundary for the result to be what a
    // scan from the start would give there.
    void SetNextPosition(std::size_t position) { next = position; }

private:
    int Finish(XmlToken& token, int kind, std::size_t last)
    {
        next = last + 1;
        token.kind = kind;
        token.length = static_cast<uint32_t>(last + 1 - token.start);
        return kind;
    }
    int Unterminated(XmlToken& token, XmlProblem problem)
    {
        token.problem = problem;
        return Finish(token, kXmlError, end - 1);
    }
    int ScanText(XmlToken& token, std::size_t from);
    int ScanError(XmlToken& token, std::size_t from, XmlProblem problem);
    int ScanStartTag(XmlToken& token);
    int ScanEndTag(XmlToken& token);
    int ScanUntilTerminator(XmlToken& token, std::size_t from, char before, int kind, XmlProblem unterminated);
    int ScanDeclaration(XmlToken& token, std::size_t from);
    int ScanDoctype(XmlToken& token, std::size_t from);
    std::size_t QuotedTagEnd(std::size_t from) const;
    std::size_t Find(std::size_t from, char a) const;
    std::size_t Find(std::size_t from, char a, char b) const;
    std::size_t Find(std::size_t from, char a, char b, char c) const;

    const char* text;
    std::size_t end;
    std::size_t next = 0;
};

// First position at or after `from` holding one of the bytes, or end. The vector loop
// loads only whole blocks below end; the rest goes byte by byte up to the sentinel.
inline std::size_t CXmlScanner::Find(std::size_t from, char a) const
{
    std::size_t p = from;
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a);
    for (; p + 16 <= end; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + p));
        if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(v, va)))
            return p + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    while (p < end && text[p] != a)
        ++p;
    return p;
}

inline std::size_t CXmlScanner::Find(std::size_t from, char a, char b) const
{
    std::size_t p = from;
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a);
    const __m128i vb = _mm_set1_epi8(b);
    for (; p + 16 <= end; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + p));
        if (const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb))))
            return p + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    while (p < end && text[p] != a && text[p] != b)
        ++p;
    return p;
}

inline std::size_t CXmlScanner::Find(std::size_t from, char a, char b, char c) const
{
    std::size_t p = from;
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a);
    const __m128i vb = _mm_set1_epi8(b);
    const __m128i vc = _mm_set1_epi8(c);
    for (; p + 16 <= end; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + p));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)),
                                         _mm_cmpeq_epi8(v, vc));
        if (const int mask = _mm_movemask_epi8(hit))
            return p + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    while (p < end && text[p] != a && text[p] != b && text[p] != c)
        ++p;
    return p;
}

inline int CXmlScanner::ScanToken(XmlToken& token)
{
    using namespace xmlscan;
    const std::size_t s = next;
    token.start = static_cast<uint32_t>(s);
    token.nameStart = 0;
    token.nameLength = 0;
    token.emptyElement = false;
    token.problem = XmlProblem::None;
    if (s >= end) {
        token.kind = 0;
        token.length = 0;
        return kXmlEndOfDocument;
    }
    const char c = text[s];
    if (ClassOf(c) & kSpace) {
        std::size_t p = s + 1;
        while (ClassOf(text[p]) & kSpace)
            ++p;
        if (p >= end)
            return Finish(token, kXmlWhitespace, end - 1);
        if (text[p] == '<')
            return Finish(token, kXmlWhitespace, p - 1);
        // The first other byte turns the run into text and is taken whatever it is.
        return ScanText(token, p + 1);
    }
    if (c != '<')
        return ScanText(token, s + 1);

    const char c1 = text[s + 1];
    if (s + 1 >= end)
        return Unterminated(token, XmlProblem::UnterminatedTag);
    if (ClassOf(c1) & kNameStart)
        return ScanStartTag(token);
    switch (c1) {
    case '/': return ScanEndTag(token);
    case '?': return ScanUntilTerminator(token, s + 2, '?', kXmlProcessing, XmlProblem::UnterminatedProcessing);
    case '!': break;
    default: return ScanError(token, s + 2, XmlProblem::BadNameCharacter);
    }

    const char c2 = text[s + 2];
    if (s + 2 >= end)
        return Unterminated(token, XmlProblem::UnterminatedTag);
    switch (c2) {
    case '-':
        if (s + 3 >= end)
            return Unterminated(token, XmlProblem::UnterminatedTag);
        if (text[s + 3] == '-')
            return ScanUntilTerminator(token, s + 4, '-', kXmlComment, XmlProblem::UnterminatedComment);
        return ScanError(token, s + 4, XmlProblem::BadCommentTag);
    case '[':
        if (s + 3 >= end)
            return Unterminated(token, XmlProblem::UnterminatedTag);
        if (text[s + 3] == 'C')
            return ScanUntilTerminator(token, s + 4, ']', kXmlCData, XmlProblem::UnterminatedCData);
        return ScanError(token, s + 4, XmlProblem::BadTag);
    case 'D':
        return ScanDoctype(token, s + 3);
    case 'E':
    case 'A':
    case 'N':
        return ScanDeclaration(token, s + 3);
    default:
        return ScanError(token, s + 3, XmlProblem::BadBangTag);
    }
}

// Text ends before the next "<", or with a ">", which the text keeps.
inline int CXmlScanner::ScanText(XmlToken& token, std::size_t from)
{
    const std::size_t p = Find(from, '<', '>');
    if (p >= end)
        return Finish(token, kXmlText, end - 1);
    return Finish(token, kXmlText, text[p] == '<' ? p - 1 : p);
}

// An error token runs to the next ">" outside quotes, or stops before any "<", even a
// quoted one.
inline int CXmlScanner::ScanError(XmlToken& token, std::size_t from, XmlProblem problem)
{
    token.problem = problem;
    char quote = 0;
    for (std::size_t p = from; p < end; ++p) {
        const char c = text[p];
        if (c == '<')
            return Finish(token, kXmlError, p - 1);
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '>') {
            return Finish(token, kXmlError, p);
        } else if (c == '"' || c == '\'') {
            quote = c;
        }
    }
    return Unterminated(token, XmlProblem::UnterminatedTag);
}

// Position of the first ">" outside quotes at or after `from`, or end.
inline std::size_t CXmlScanner::QuotedTagEnd(std::size_t from) const
{
    std::size_t p = from;
    for (;;) {
        p = Find(p, '>', '"', '\'');
        if (p >= end || text[p] == '>')
            return p;
        const std::size_t close = Find(p + 1, text[p]);
        if (close >= end)
            return end;
        p = close + 1;
    }
}

inline int CXmlScanner::ScanStartTag(XmlToken& token)
{
    using namespace xmlscan;
    const std::size_t nameStart = token.start + 1;
    std::size_t n = nameStart;
    while (!(ClassOf(text[n]) & kNameStop))
        ++n;
    if (n >= end)
        return Unterminated(token, XmlProblem::UnterminatedElementTag);
    token.nameStart = static_cast<uint32_t>(nameStart);
    token.nameLength = static_cast<uint32_t>(n - nameStart);
    // Quotes inside the name do not count; quote tracking starts at the byte that ended it.
    const std::size_t p = QuotedTagEnd(n);
    if (p >= end)
        return Unterminated(token, XmlProblem::UnterminatedElementTag);
    if (SlashEndsEmptyTag(text, n, p))
        token.emptyElement = true;
    if (p + 1 - token.start > CXmlDoc::kMaxStartTagLength) {
        token.emptyElement = false;
        token.problem = XmlProblem::StartTagTooLong;
        return Finish(token, kXmlError, p);
    }
    return Finish(token, kXmlStartTag, p);
}

inline int CXmlScanner::ScanEndTag(XmlToken& token)
{
    using namespace xmlscan;
    const std::size_t nameStart = token.start + 2;
    std::size_t n = nameStart;
    while (!(ClassOf(text[n]) & kNameStop))
        ++n;
    if (n >= end)
        return Unterminated(token, XmlProblem::UnterminatedEndTag);
    token.nameStart = static_cast<uint32_t>(nameStart);
    token.nameLength = static_cast<uint32_t>(n - nameStart);
    const std::size_t p = Find(n, '>');
    if (p >= end)
        return Unterminated(token, XmlProblem::UnterminatedEndTag);
    if (p + 1 - token.start > CXmlDoc::kMaxEndTagLength) {
        token.problem = XmlProblem::EndTagTooLong;
        return Finish(token, kXmlError, p);
    }
    return Finish(token, kXmlEndTag, p);
}

// Processing instructions ("?>"), comments ("-->") and CDATA sections ("]]>"): the token
// ends at a ">" preceded by the rest of its terminator. The bytes before the ">" may
// overlap the token's own opening, which makes "<!-->" a complete comment. The check
// needs the terminator's length to be below the ">"'s offset in the whole text.
inline int CXmlScanner::ScanUntilTerminator(XmlToken& token, std::size_t from, char before, int kind,
                                            XmlProblem unterminated)
{
    const std::size_t terminatorLength = kind == kXmlProcessing ? 2 : 3;
    for (std::size_t p = Find(from, '>'); p < end; p = Find(p + 1, '>')) {
        if (p > terminatorLength && text[p - 1] == before && (terminatorLength == 2 || text[p - 2] == before))
            return Finish(token, kind, p);
    }
    return Unterminated(token, unterminated);
}

inline int CXmlScanner::ScanDeclaration(XmlToken& token, std::size_t from)
{
    const std::size_t p = QuotedTagEnd(from);
    if (p >= end)
        return Unterminated(token, XmlProblem::UnterminatedDoctype);
    return Finish(token, kXmlDeclaration, p);
}
