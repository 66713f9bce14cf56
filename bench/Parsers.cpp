#include "bench/Parsers.h"

#include <cstring>

#include <expat.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <pugixml.hpp>
#include <rapidxml/rapidxml.hpp>
#include <tinyxml2.h>

#include "markup/XmlDoc.h"

namespace bench {

namespace {

// Results the optimiser must not drop.
volatile std::size_t sink = 0;

class COurs : public CParser {
public:
    void SetInput(const std::string& bytes) override { doc.SetDocumentText(bytes); }
    bool Parse() override { return doc.IndexDocument(); }
    std::size_t Elements() override { return static_cast<std::size_t>(doc.RecordCount() - 1); }

private:
    CXmlDoc doc;
};

// The input twice: the pristine bytes and the buffer the parser may write into.
class CInPlaceInput {
protected:
    void Keep(const std::string& bytes)
    {
        pristine = bytes;
        work.assign(bytes.size() + 1, '\0');
        std::memcpy(work.data(), pristine.data(), pristine.size());
    }
    void Put() { std::memcpy(work.data(), pristine.data(), pristine.size()); }

    std::string pristine;
    std::vector<char> work;   // NUL-terminated for RapidXML
};

class CPugi : public CParser, CInPlaceInput {
public:
    void SetInput(const std::string& bytes) override { Keep(bytes); }
    void Restore() override { Put(); }
    bool Parse() override { return static_cast<bool>(doc.load_buffer_inplace(work.data(), pristine.size())); }
    std::size_t Elements() override
    {
        struct Counter : pugi::xml_tree_walker {
            std::size_t count = 0;
            bool for_each(pugi::xml_node& node) override
            {
                count += node.type() == pugi::node_element;
                return true;
            }
        } counter;
        doc.traverse(counter);
        return counter.count;
    }

private:
    pugi::xml_document doc;
};

class CRapid : public CParser, CInPlaceInput {
public:
    void SetInput(const std::string& bytes) override { Keep(bytes); }
    void Restore() override { Put(); }
    bool Parse() override
    {
        doc.clear();
        try {
            doc.parse<0>(work.data());
        } catch (const rapidxml::parse_error&) {
            return false;
        }
        return true;
    }
    std::size_t Elements() override { return Count(&doc); }

private:
    static std::size_t Count(const rapidxml::xml_node<>* node)
    {
        std::size_t count = 0;
        for (const rapidxml::xml_node<>* child = node->first_node(); child; child = child->next_sibling())
            count += (child->type() == rapidxml::node_element) + Count(child);
        return count;
    }
    rapidxml::xml_document<> doc;
};

class CTiny : public CParser {
public:
    void SetInput(const std::string& bytes) override { input = bytes; }
    bool Parse() override { return doc.Parse(input.data(), input.size()) == tinyxml2::XML_SUCCESS; }
    std::size_t Elements() override { return Count(&doc); }

private:
    static std::size_t Count(const tinyxml2::XMLNode* node)
    {
        std::size_t count = 0;
        for (const tinyxml2::XMLElement* child = node->FirstChildElement(); child;
             child = child->NextSiblingElement())
            count += 1 + Count(child);
        return count;
    }
    std::string input;
    tinyxml2::XMLDocument doc;
};

class CExpat : public CParser {
public:
    CExpat() : parser(XML_ParserCreate(nullptr)) {}
    ~CExpat() override { XML_ParserFree(parser); }
    void SetInput(const std::string& bytes) override { input = bytes; }
    bool Parse() override
    {
        XML_ParserReset(parser, nullptr);
        count = 0;
        XML_SetUserData(parser, &count);
        XML_SetStartElementHandler(parser, [](void* data, const XML_Char*, const XML_Char**) {
            ++*static_cast<std::size_t*>(data);
        });
        return XML_Parse(parser, input.data(), static_cast<int>(input.size()), 1) == XML_STATUS_OK;
    }
    std::size_t Elements() override { return count; }

private:
    XML_Parser parser;
    std::string input;
    std::size_t count = 0;
};

class CLibXml : public CParser {
public:
    ~CLibXml() override { xmlFreeDoc(doc); }
    void SetInput(const std::string& bytes) override { input = bytes; }
    bool Parse() override
    {
        xmlFreeDoc(doc);
        doc = xmlReadMemory(input.data(), static_cast<int>(input.size()), "input.xml", nullptr, XML_PARSE_NONET);
        return doc != nullptr;
    }
    std::size_t Elements() override { return doc ? Count(xmlDocGetRootElement(doc)) : 0; }

private:
    static std::size_t Count(const xmlNode* node)
    {
        std::size_t count = 0;
        for (; node; node = node->next)
            if (node->type == XML_ELEMENT_NODE)
                count += 1 + Count(node->children);
        return count;
    }
    std::string input;
    xmlDocPtr doc = nullptr;
};

class CMemchrCeiling : public CParser {
public:
    void SetInput(const std::string& bytes) override { input = bytes; }
    bool Parse() override
    {
        const char* p = input.data();
        const char* const end = p + input.size();
        std::size_t stops = 0;
        while ((p = static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(end - p))))) {
            ++stops;
            ++p;
        }
        sink = stops;
        return true;
    }
    std::size_t Elements() override { return 0; }

private:
    std::string input;
};

class CByteLoopCeiling : public CParser {
public:
    void SetInput(const std::string& bytes) override { input = bytes; }
    bool Parse() override
    {
        std::size_t count = 0;
        for (const char c : input)
            count += c == '<';
        sink = count;
        return true;
    }
    std::size_t Elements() override { return 0; }

private:
    std::string input;
};

} // namespace

const std::vector<std::string>& ParserNames()
{
    static const std::vector<std::string> names = {
        kOurs, kPugi, "RapidXML", "tinyxml2", "expat", "libxml2", "memchr '<'", "byte loop '<'",
    };
    return names;
}

bool IsCeiling(const std::string& name)
{
    return name == "memchr '<'" || name == "byte loop '<'";
}

std::unique_ptr<CParser> MakeParser(const std::string& name)
{
    if (name == kOurs)
        return std::make_unique<COurs>();
    if (name == kPugi)
        return std::make_unique<CPugi>();
    if (name == "RapidXML")
        return std::make_unique<CRapid>();
    if (name == "tinyxml2")
        return std::make_unique<CTiny>();
    if (name == "expat")
        return std::make_unique<CExpat>();
    if (name == "libxml2")
        return std::make_unique<CLibXml>();
    if (name == "memchr '<'")
        return std::make_unique<CMemchrCeiling>();
    if (name == "byte loop '<'")
        return std::make_unique<CByteLoopCeiling>();
    return nullptr;
}

} // namespace bench
