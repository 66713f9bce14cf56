#pragma once

// Every parser the table compares, behind one shape. An instance holds one input and
// whatever the parser builds from it, so a second Parse() is a parse with warm memory
// and a fresh instance's first Parse() is a parse with cold memory.
//
// What a timed Parse() covers, for each:
//   ours      CXmlDoc::IndexDocument on the text the document already holds
//   pugixml   xml_document::load_buffer_inplace (default flags); the old tree is freed inside
//   RapidXML  xml_document::clear + parse<0>, in place
//   tinyxml2  XMLDocument::Parse (it copies the input itself; nothing else is offered)
//   expat     XML_ParserReset + XML_Parse with a start-element handler that counts
//   libxml2   xmlFreeDoc of the previous tree + xmlReadMemory (options: XML_PARSE_NONET)
//   ceilings  memchr stopping at every "<"; a plain byte loop counting "<"
// pugixml and RapidXML write into their input: Restore() puts the bytes back, untimed.

#include <memory>
#include <string>
#include <vector>

namespace bench {

class CParser {
public:
    virtual ~CParser() = default;
    // Takes a private copy of the input (untimed).
    virtual void SetInput(const std::string& bytes) = 0;
    // Untimed, before every Parse(): undoes what a parse wrote into the input.
    virtual void Restore() {}
    // The measured work; false when the parser rejects the input.
    virtual bool Parse() = 0;
    // Elements the last Parse() found (untimed), to check that every parser read all.
    virtual std::size_t Elements() = 0;
};

// Table order: ours first, then the references, then the two ceilings.
const std::vector<std::string>& ParserNames();
inline constexpr const char* kOurs = "IndexDocument";
inline constexpr const char* kPugi = "pugixml";
bool IsCeiling(const std::string& name);

std::unique_ptr<CParser> MakeParser(const std::string& name);

} // namespace bench
