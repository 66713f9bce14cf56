#include <string>

#include "markup/FileAccess.h"
#include "markup/XmlDoc.h"

namespace {

std::string SizeText(std::size_t size)
{
    return std::to_string(size) + " bytes";
}

} // namespace

bool CXmlDoc::ReadWholeFile(const std::string& path, std::string& resultText, std::string& text)
{
    std::string content;
    if (!ReadRegularFile(path, kMaxTextSize, content, resultText))
        return false;
    text = std::move(content);
    resultText = SizeText(text.size());
    return true;
}

bool CXmlDoc::WriteWholeFile(const std::string& path, std::string& resultText, const std::string& text)
{
    if (!WriteFileAtomically(path, text, resultText))
        return false;
    resultText = SizeText(text.size());
    return true;
}

bool CXmlDoc::ReadDocument(const std::string& path)
{
    std::string text;
    std::string result;
    if (!ReadWholeFile(path, result, text)) {
        resultText = result;
        return false;
    }
    documentText = std::move(text);
    resultText = std::move(result);
    return IndexDocument();
}
