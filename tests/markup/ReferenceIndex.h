#pragma once

#include <string>
#include <vector>

#include "markup/XmlBlocks.h"
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

// IndexDocument on `text` against the reference: "" when the result text, the
// well-formed result and all eight words of every record agree, else the first difference.
std::string ReferenceMismatch(const std::string& text);

// Runs `check(kernel)` with each block kernel this processor can run as the one parses
// use, then goes back to the default.
template <class Check>
void ForEachBlockKernel(Check check)
{
    const xmlscan::BlockKernel before = xmlscan::ActiveBlockKernel();
    for (const xmlscan::BlockKernel kernel :
         {xmlscan::BlockKernel::Portable, xmlscan::BlockKernel::Sse2, xmlscan::BlockKernel::Avx2}) {
        if (xmlscan::UseBlockKernel(kernel))
            check(kernel);
    }
    xmlscan::UseBlockKernel(before);
}

inline const char* KernelName(xmlscan::BlockKernel kernel)
{
    switch (kernel) {
    case xmlscan::BlockKernel::Portable: return "portable";
    case xmlscan::BlockKernel::Sse2: return "SSE2";
    case xmlscan::BlockKernel::Avx2: return "AVX2";
    }
    return "?";
}
