// orrery_make_samples <folder>: writes the sample profiles into the folder, each as
// the profile writer lays it out, and checks that every file reads back and writes
// again to the same bytes. The committed files in data/Profiles come from here.

#include <cstdio>
#include <string>

#include "markup/XmlDoc.h"
#include "packaging/SampleProfiles.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    int failures = 0;
    for (const samples::SampleProfile& sample : samples::SampleProfiles()) {
        const std::string path = folder + "/" + samples::SampleFileName(sample);
        profile::CProfileFile built;
        if (!samples::BuildSampleProfile(sample, built) || !built.Save(path)) {
            std::fprintf(stderr, "%s: not written %s\n", path.c_str(), built.WriteResultText().c_str());
            ++failures;
            continue;
        }
        profile::CProfileFile reread;
        reread.CreateDefault();
        if (!reread.Load(path)) {
            std::fprintf(stderr, "%s: does not read back\n", path.c_str());
            ++failures;
            continue;
        }
        // The loaded document holds the file's bytes until the rebuild replaces it.
        const std::string bytes = reread.Document()->DocumentText();
        if (!reread.BuildDocument() || reread.Document()->DocumentText() != bytes) {
            std::fprintf(stderr, "%s: does not read back unchanged\n", path.c_str());
            ++failures;
            continue;
        }
        std::printf("%s\n", path.c_str());
    }
    return failures == 0 ? 0 : 1;
}
