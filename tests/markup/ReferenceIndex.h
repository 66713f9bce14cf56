#pragma once

#include <string>
#include <vector>

#include "markup/XmlDoc.h"

// A deliberately plain indexer: one byte at a time through the scanner's state machine,
// one record at a time through the parse loop, no shortcuts. The document's own indexer
// skips runs of bytes and closes unended elements in batches; both must give the same
// records and the same result text.
struct ReferenceIndex {
    std::vector<XmlElementRecord> records;   // record 0 included
    std::string resultText;
    bool wellFormed = false;
};

ReferenceIndex BuildReferenceIndex(const std::string& text);
