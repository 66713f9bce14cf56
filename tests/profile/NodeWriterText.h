#pragma once

// The document of a profile as the node writer makes it: the root element appended to a
// new document, its six attributes stored, then each section's WriteNode. BuildDocument
// must give the same bytes, however it writes them.

#include <memory>
#include <string>

#include "markup/XmlDoc.h"
#include "profile/ProfileFile.h"

namespace profile_test {

inline std::string NodeWriterText(const profile::CProfileFile& profile)
{
    CXmlDoc doc;
    if (profile.rootName.empty() || !doc.AppendElement(profile.rootName.c_str()))
        return {};
    const int root = doc.CurrentPosition();
    doc.StoreAttribute(root, "name", profile.name);
    doc.StoreAttribute(root, "description", profile.description);
    doc.StoreAttribute(root, "version", profile.version);
    doc.StoreAttribute(root, "device", profile.device);
    doc.StoreAttribute(root, "tag", profile.tag);
    doc.StoreAttribute(root, "type", std::to_string(profile.type));
    doc.EnterElement();
    for (const std::unique_ptr<profile::CProfileBase>& section : profile.Sections()) {
        if (const profile::CProfileNode* top = section->TopNode())
            top->WriteNode(doc, true);
    }
    doc.LeaveElement();
    return doc.DocumentText();
}

} // namespace profile_test
