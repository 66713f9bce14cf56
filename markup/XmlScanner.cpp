#include "markup/XmlScanner.h"

#include <cstring>

namespace {

std::string OffsetMessage(const char* before, uint32_t offset, const char* after)
{
    return xmlscan::Join({before, " at offset ", std::to_string(static_cast<int32_t>(offset)), after});
}

} // namespace

std::string XmlProblemText(XmlProblem problem, uint32_t offset)
{
    auto incorrect = [offset](const char* what) {
        return xmlscan::Join({"Incorrect ", OffsetMessage(what, offset, "")});
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

// A DOCTYPE may hold an internal subset with its own declarations, comments and tags. It
// is rare, so it keeps the plain byte-by-byte state machine: inner tokens only clear the
// terminator, and the DOCTYPE ends at a ">" met while no inner token is open.
int CXmlScanner::ScanDoctype(XmlToken& token, std::size_t from)
{
    using namespace xmlscan;
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
