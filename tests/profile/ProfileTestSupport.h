#pragma once

// Helpers shared by the profile tests: a scratch folder, whole-file access, tree
// comparison and a look into the start tags of a written document.

#include <gtest/gtest.h>

#include <string>

#include "markup/XmlDoc.h"
#include "profile/ProfileNode.h"
#include "tests/TestFiles.h"

namespace profile_test {

inline std::string DataPath(const std::string& name)
{
    return std::string(ORRERY_TEST_DATA) + "/profile/" + name;
}

using testfiles::ReadBytes;
using testfiles::WriteBytes;

// A folder of its own per test, removed with everything in it.
class TempDir : public testfiles::TempFolder {
public:
    TempDir() : TempFolder("orrery-profile-") {}
};

// Every field of every attribute, the present flags and the shape must agree.
inline ::testing::AssertionResult TreesEqual(const profile::CProfileNode& a, const profile::CProfileNode& b,
                                             const std::string& where = {})
{
    const std::string here = where.empty() ? a.name : where + "." + a.name;
    if (a.name != b.name || a.present != b.present) {
        return ::testing::AssertionFailure() << here << ": name or present flag differs (" << b.name << ")";
    }
    if (a.attributes.size() != b.attributes.size() || a.children.size() != b.children.size()) {
        return ::testing::AssertionFailure() << here << ": attribute or child count differs";
    }
    for (std::size_t i = 0; i < a.attributes.size(); ++i) {
        const profile::CProfileAttr& x = a.attributes[i];
        const profile::CProfileAttr& y = b.attributes[i];
        if (x.name != y.name || x.value != y.value || x.defaultValue != y.defaultValue ||
            x.alwaysWrite != y.alwaysWrite || x.numeric != y.numeric || x.persistent != y.persistent) {
            return ::testing::AssertionFailure() << here << ": attribute " << x.name << " differs";
        }
    }
    for (std::size_t i = 0; i < a.children.size(); ++i) {
        auto result = TreesEqual(*a.children[i], *b.children[i], here);
        if (!result) {
            return result;
        }
    }
    return ::testing::AssertionSuccess();
}

// The start tag of the element a dotted path names below the root element
// ("common.audio.freq"), or an empty text when the document has no such element.
inline std::string StartTagAt(CXmlDoc doc, const std::string& path)
{
    doc.Rewind();
    if (!doc.SeekElement(nullptr)) {
        return {};
    }
    std::size_t from = 0;
    while (from <= path.size()) {
        const std::size_t dot = path.find('.', from);
        const std::string component = path.substr(from, dot == std::string::npos ? std::string::npos : dot - from);
        doc.EnterElement();
        if (!doc.SeekElement(component.c_str())) {
            return {};
        }
        if (dot == std::string::npos) {
            break;
        }
        from = dot + 1;
    }
    const XmlElementRecord& record = doc.Record(doc.CurrentPosition());
    return doc.DocumentText().substr(record.start, record.tagLengths & CXmlDoc::kStartTagMask);
}

inline bool TagHasAttribute(const std::string& startTag, const std::string& name)
{
    return startTag.find(" " + name + "=\"") != std::string::npos;
}

}  // namespace profile_test
