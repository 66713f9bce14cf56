#include "markup/XmlScanner.h"

#include <array>
#include <cstring>

#include "markup/XmlDoc.h"

namespace {

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

constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

inline uint8_t ClassOf(char c)
{
    return kClasses[static_cast<uint8_t>(c)];
}

std::string OffsetMessage(const char* before, uint32_t offset, const char* after)
{
    return std::string(before) + " at offset " + std::to_string(static_cast<int32_t>(offset)) + after;
}

} // namespace

std::string XmlProblemText(XmlProblem problem, uint32_t offset)
{
    auto incorrect = [offset](const char* what) {
        return "Incorrect " + OffsetMessage(what, offset, "");
    };
    switch (problem) {
    case XmlProblem::None: return {};
    case XmlProblem::BadNameCharacter: return incorrect("tag name character");
    case XmlProblem::BadBangTag: return incorrect("! tag");
    case XmlProblem::BadCommentTag: return incorrect("comment tag");
    case XmlProblem::BadTag: return incorrect("tag");
    case XmlProblem::UnterminatedDoctype: return OffsetMessage("Doctype", offset, " unterminated");
    case XmlProblem::UnterminatedElementTag: return OffsetMessage("Element tag", offset, " unterminated");
    case XmlProblem::UnterminatedEndTag: return OffsetMessage("Element end tag", offset, " unterminated");
    case XmlProblem::UnterminatedCData: return OffsetMessage("CDATA Section", offset, " unterminated");
    case XmlProblem::UnterminatedProcessing:
        return OffsetMessage("Processing instruction", offset, " unterminated");
    case XmlProblem::UnterminatedComment: return OffsetMessage("Comment", offset, " unterminated");
    case XmlProblem::UnterminatedTag: return OffsetMessage("tag", offset, " unterminated");
    case XmlProblem::StartTagTooLong: return OffsetMessage("Element tag", offset, " too long");
    case XmlProblem::EndTagTooLong: return OffsetMessage("Element end tag", offset, " too long");
    }
    return {};
}

int CXmlScanner::Finish(XmlToken& token, int kind, std::size_t last)
{
    next = last + 1;
    token.kind = kind;
    token.length = static_cast<uint32_t>(last + 1 - token.start);
    return kind;
}

int CXmlScanner::Unterminated(XmlToken& token, XmlProblem problem)
{
    token.problem = problem;
    return Finish(token, kXmlError, end - 1);
}

int CXmlScanner::ScanToken(XmlToken& token)
{
    const std::size_t s = next;
    token.start = static_cast<uint32_t>(s);
    token.emptyElement = false;
    token.problem = XmlProblem::None;
    token.nameStart = 0;
    token.nameLength = 0;
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
int CXmlScanner::ScanText(XmlToken& token, std::size_t from)
{
    std::size_t p = from;
    while (!(ClassOf(text[p]) & kTextStop))
        ++p;
    if (p >= end)
        return Finish(token, kXmlText, end - 1);
    return Finish(token, kXmlText, text[p] == '<' ? p - 1 : p);
}

// An error token runs to the next ">" outside quotes, or stops before any "<", even a
// quoted one.
int CXmlScanner::ScanError(XmlToken& token, std::size_t from, XmlProblem problem)
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
std::size_t CXmlScanner::QuotedTagEnd(std::size_t from) const
{
    std::size_t p = from;
    for (;;) {
        while (!(ClassOf(text[p]) & kTagStop))
            ++p;
        if (p >= end || text[p] == '>')
            return p;
        const void* close = std::memchr(text + p + 1, text[p], end - p - 1);
        if (!close)
            return end;
        p = static_cast<std::size_t>(static_cast<const char*>(close) - text) + 1;
    }
}

int CXmlScanner::ScanStartTag(XmlToken& token)
{
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
    // "/>" makes an empty-element tag unless the "/" ends an unquoted value: the byte
    // before it must be whitespace, a quote, or the end of the name.
    if (p > n && text[p - 1] == '/') {
        const char before = text[p - 2];
        token.emptyElement = p - 1 == n || (ClassOf(before) & kSpace) || before == '"' || before == '\'';
    }
    if (p + 1 - token.start > CXmlDoc::kMaxStartTagLength) {
        token.emptyElement = false;
        token.problem = XmlProblem::StartTagTooLong;
        return Finish(token, kXmlError, p);
    }
    return Finish(token, kXmlStartTag, p);
}

int CXmlScanner::ScanEndTag(XmlToken& token)
{
    const std::size_t nameStart = token.start + 2;
    std::size_t n = nameStart;
    while (!(ClassOf(text[n]) & kNameStop))
        ++n;
    if (n >= end)
        return Unterminated(token, XmlProblem::UnterminatedEndTag);
    token.nameStart = static_cast<uint32_t>(nameStart);
    token.nameLength = static_cast<uint32_t>(n - nameStart);
    const void* close = std::memchr(text + n, '>', end - n);
    if (!close)
        return Unterminated(token, XmlProblem::UnterminatedEndTag);
    const std::size_t p = static_cast<std::size_t>(static_cast<const char*>(close) - text);
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
int CXmlScanner::ScanUntilTerminator(XmlToken& token, std::size_t from, char before, int kind,
                                     XmlProblem unterminated)
{
    const std::size_t terminatorLength = kind == kXmlProcessing ? 2 : 3;
    std::size_t p = from;
    while (p < end) {
        const void* close = std::memchr(text + p, '>', end - p);
        if (!close)
            break;
        p = static_cast<std::size_t>(static_cast<const char*>(close) - text);
        if (p > terminatorLength && text[p - 1] == before && (terminatorLength == 2 || text[p - 2] == before))
            return Finish(token, kind, p);
        ++p;
    }
    return Unterminated(token, unterminated);
}

int CXmlScanner::ScanDeclaration(XmlToken& token, std::size_t from)
{
    const std::size_t p = QuotedTagEnd(from);
    if (p >= end)
        return Unterminated(token, XmlProblem::UnterminatedDoctype);
    return Finish(token, kXmlDeclaration, p);
}

// A DOCTYPE may hold an internal subset with its own declarations, comments and tags. It
// is rare, so it keeps the plain byte-by-byte state machine: inner tokens only clear the
// terminator, and the DOCTYPE ends at a ">" met while no inner token is open.
int CXmlScanner::ScanDoctype(XmlToken& token, std::size_t from)
{
    enum Mode { kNone, kAfterLt, kAfterLtBang, kAfterLtBangDash };
    Mode mode = kNone;
    int kind = kXmlError;
    const char* terminator = nullptr;
    std::size_t terminatorLength = 0;
    bool collectingName = false;
    bool inSingle = false;
    bool inDouble = false;
    for (std::size_t p = from; p < end; ++p) {
        const char c = text[p];
        if (collectingName) {
            if (!(ClassOf(c) & kNameStop))
                continue;
            collectingName = false;
        }
        if (terminator) {
            if (c == '>' && !inSingle && !inDouble) {
                if (terminatorLength == 1 ||
                    (terminatorLength < p &&
                     std::memcmp(text + p - (terminatorLength - 1), terminator, terminatorLength - 1) == 0))
                    terminator = nullptr;
            } else if (c == '<' && (kind == kXmlText || kind == kXmlError)) {
                return Finish(token, kXmlError, p - 1);
            } else if (kind & 0x41) {
                if (c == '"' && !inSingle)
                    inDouble = !inDouble;
                else if (c == '\'' && !inDouble)
                    inSingle = !inSingle;
            }
            continue;
        }
        switch (mode) {
        case kAfterLt:
            mode = kNone;
            terminator = ">";
            terminatorLength = 1;
            if (ClassOf(c) & kNameStart) {
                kind = kXmlStartTag;
                collectingName = true;
            } else if (c == '/') {
                kind = kXmlEndTag;
                collectingName = true;
            } else if (c == '!') {
                mode = kAfterLtBang;
                terminator = nullptr;
            } else if (c == '?') {
                kind = kXmlProcessing;
                collectingName = true;
                terminator = "?>";
                terminatorLength = 2;
            } else {
                kind = kXmlError;
                token.problem = XmlProblem::BadNameCharacter;
            }
            break;
        case kAfterLtBang:
            mode = kNone;
            if (c == '-') {
                mode = kAfterLtBangDash;
            } else {
                terminator = ">";
                terminatorLength = 1;
                if (c == 'E' || c == 'A' || c == 'N') {
                    kind = kXmlDeclaration;
                } else {
                    kind = kXmlError;
                    token.problem = XmlProblem::BadBangTag;
                }
            }
            break;
        case kAfterLtBangDash:
            mode = kNone;
            if (c == '-') {
                kind = kXmlComment;
                terminator = "-->";
                terminatorLength = 3;
            } else {
                kind = kXmlError;
                token.problem = XmlProblem::BadCommentTag;
                terminator = ">";
                terminatorLength = 1;
            }
            break;
        case kNone:
            if (c == '<')
                mode = kAfterLt;
            else if (c == '>')
                return Finish(token, kXmlDeclaration, p);
            break;
        }
    }
    return Unterminated(token, XmlProblem::UnterminatedDoctype);
}
