#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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

// Cuts a document text into tokens. The text ends at `end`, which must be the first NUL
// or the text's size, and text[end] must be readable and 0: the inner loops use it as
// their stop byte instead of testing the bound on every byte.
class CXmlScanner {
public:
    CXmlScanner(const char* text, std::size_t end) : text(text), end(end) {}

    // Reads the token at the next position and returns its kind; kXmlEndOfDocument (with
    // kind 0 and length 0 in the token) once the text is used up.
    int ScanToken(XmlToken& token);
    std::size_t NextPosition() const { return next; }

private:
    int Finish(XmlToken& token, int kind, std::size_t last);
    int Unterminated(XmlToken& token, XmlProblem problem);
    int ScanText(XmlToken& token, std::size_t from);
    int ScanError(XmlToken& token, std::size_t from, XmlProblem problem);
    int ScanStartTag(XmlToken& token);
    int ScanEndTag(XmlToken& token);
    int ScanUntilTerminator(XmlToken& token, std::size_t from, char before, int kind, XmlProblem unterminated);
    int ScanDeclaration(XmlToken& token, std::size_t from);
    int ScanDoctype(XmlToken& token, std::size_t from);
    std::size_t QuotedTagEnd(std::size_t from) const;

    const char* text;
    std::size_t end;
    std::size_t next = 0;
};
