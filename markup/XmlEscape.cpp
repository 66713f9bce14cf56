#include <cstdlib>
#include <cstring>

#include "markup/XmlDoc.h"

namespace {

struct NamedReference {
    const char* name;   // without the "&", with the ";"
    std::size_t length;
    char byte;
};

// Tried in this order.
constexpr NamedReference kNamedReferences[] = {
    {"lt;", 3, '<'}, {"amp;", 4, '&'}, {"gt;", 3, '>'}, {"apos;", 5, '\''}, {"quot;", 5, '"'},
};

// Writes a code point as UTF-8. Values outside Unicode, and the surrogate halves, which
// no UTF-8 text may hold, are refused.
bool AppendUtf8(std::string& out, long value)
{
    if (value <= 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    const auto v = static_cast<unsigned long>(value);
    if (v <= 0x7F) {
        out += static_cast<char>(v);
    } else if (v <= 0x7FF) {
        out += static_cast<char>(0xC0 | ((v >> 6) & 0x1F));
        out += static_cast<char>(0x80 | (v & 0x3F));
    } else if (v <= 0xFFFF) {
        out += static_cast<char>(0xE0 | ((v >> 12) & 0x0F));
        out += static_cast<char>(0x80 | ((v >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (v & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | ((v >> 18) & 0x07));
        out += static_cast<char>(0x80 | ((v >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((v >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (v & 0x3F));
    }
    return true;
}

} // namespace

std::string CXmlDoc::EscapeMarkup(std::string_view text, bool escapeQuotes)
{
    std::string out;
    out.reserve(text.size() + text.size() / 10 + 7);
    AppendEscapedMarkup(out, text, escapeQuotes);
    return out;
}

void CXmlDoc::AppendEscapedMarkup(std::string& out, std::string_view text, bool escapeQuotes)
{
    // Runs without a byte to escape go across at once.
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* reference = nullptr;
        switch (text[i]) {
        case '<': reference = "&lt;"; break;
        case '&': reference = "&amp;"; break;
        case '>': reference = "&gt;"; break;
        case '\'': reference = escapeQuotes ? "&apos;" : nullptr; break;
        case '"': reference = escapeQuotes ? "&quot;" : nullptr; break;
        default: break;
        }
        if (reference == nullptr)
            continue;
        out.append(text.substr(from, i - from));
        out += reference;
        from = i + 1;
    }
    out.append(text.substr(from));
}

std::string CXmlDoc::UnescapeMarkup(const char* text, int length)
{
    std::string out;
    if (!text || length <= 0)
        return out;
    const auto size = static_cast<std::size_t>(length);
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        if (text[i] != '&') {
            // Everything up to the next reference goes across at once.
            const void* amp = std::memchr(text + i, '&', size - i);
            const std::size_t next = amp ? static_cast<std::size_t>(static_cast<const char*>(amp) - text) : size;
            out.append(text + i, next - i);
            i = next - 1;
            continue;
        }
        if (i + 1 < size && text[i + 1] == '#') {
            std::size_t digits = i + 2;
            int base = 10;
            if (digits < size && text[digits] == 'x') {
                base = 16;
                ++digits;
            }
            // The ";" must come within 8 bytes, so at most 7 digits stand before it.
            std::size_t semicolon = digits;
            while (semicolon < size && semicolon < digits + 8 && text[semicolon] != ';' && text[semicolon] != '\0')
                ++semicolon;
            if (semicolon < size && semicolon < digits + 8 && text[semicolon] == ';') {
                char number[9] = {};
                std::memcpy(number, text + digits, semicolon - digits);
                const long value = std::strtol(number, nullptr, base);
                if (AppendUtf8(out, value)) {
                    i = semicolon;
                    continue;
                }
            }
            out += '&';
            continue;
        }
        bool named = false;
        for (const NamedReference& reference : kNamedReferences) {
            if (size - (i + 1) >= reference.length && std::memcmp(text + i + 1, reference.name, reference.length) == 0) {
                out += reference.byte;
                i += reference.length;
                named = true;
                break;
            }
        }
        if (!named)
            out += '&';
    }
    return out;
}

std::string CXmlDoc::WrapCData(std::string_view text)
{
    std::string out = "<![CDATA[";
    out.reserve(text.size() + 12);
    std::size_t from = 0;
    for (std::size_t at = text.find("]]>"); at != std::string_view::npos; at = text.find("]]>", from)) {
        // Close the section between "]]" and ">" and open a new one.
        out.append(text.substr(from, at - from));
        out += "]]]]><![CDATA[>";
        from = at + 3;
    }
    out.append(text.substr(from));
    out += "]]>";
    return out;
}
