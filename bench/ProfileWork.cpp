#include "bench/ProfileWork.h"

#include <cstdio>
#include <filesystem>

#include <pugixml.hpp>

#include "bench/DocumentGenerator.h"
#include "markup/XmlDoc.h"

namespace bench {

namespace {

std::string NumberList(CRandom& random, int count, int low, int high, int step)
{
    std::string list;
    int value = low;
    for (int i = 0; i < count && value <= high; ++i) {
        if (!list.empty())
            list += ',';
        list += std::to_string(value);
        value += step * random.Range(1, 3);
    }
    return list;
}

std::string Padded(int value, int width)
{
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

void WalkInto(const pugi::xml_node& node, const std::string& prefix, std::map<std::string, std::string>& out)
{
    for (const pugi::xml_attribute& attribute : node.attributes())
        out[prefix + attribute.name()] = attribute.value();
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() == pugi::node_element)
            WalkInto(child, prefix + child.name() + ".", out);
    }
}

} // namespace

bool PugiLoadProfile(const std::string& path, std::map<std::string, std::string>& out)
{
    pugi::xml_document document;
    if (!document.load_file(path.c_str()))
        return false;
    const pugi::xml_node root = document.document_element();
    if (!root)
        return false;
    WalkInto(root, {}, out);
    return true;
}

void MakeProfile(int index, int devices, profile::CProfileFile& out)
{
    CRandom random(static_cast<uint64_t>(index) + 1000);
    out.CreateDefault();
    out.name = "Profile " + Padded(index, 5);
    out.device = "Device " + Padded(index % devices, 3);
    out.description = "Encodes for " + out.device + " at " + std::to_string(random.Range(300, 3000)) +
                      " kbps with " + std::to_string(random.Range(2, 6)) +
                      " audio channels; keeps the source frame rate where the device allows it, "
                      "otherwise the nearest one below. Generated profile number " +
                      std::to_string(index) + " for the benchmarks";
    out.version = "200";
    out.tag = index % 7 == 0 ? "user & shared" : "user";
    out.type = index % 2 == 0 ? 0 : 2;
    out.SetValue("common.audio.bitrate.list", NumberList(random, 18, 8000, 448000, 8000));
    out.SetValue("common.audio.freq.list", NumberList(random, 9, 8000, 192000, 4000));
    out.SetValue("common.audio.bitrate.value", std::to_string(random.Range(4, 20) * 16000));
    std::string sizes;
    for (int i = 0; i < 44; ++i) {
        if (i)
            sizes += ',';
        sizes += std::to_string(random.Range(10, 120) * 16);
        sizes += 'x';
        sizes += std::to_string(random.Range(8, 68) * 16);
    }
    out.SetValue("common.video.size.list", sizes);
    out.SetValue("common.video.outfps.list", NumberList(random, 12, 5, 120, 5));
    out.SetValue("common.video.size.out_size", std::to_string(random.Range(10, 120) * 16) + "x" +
                                                   std::to_string(random.Range(8, 68) * 16));
    out.SetValue("common.file.mode", std::to_string(random.Range(1, 3)));
    out.SetValue("common.file.mux_abitrate", std::to_string(random.Range(4, 20) * 16));
    out.SetValue("common.file.mux_vbitrate", std::to_string(random.Range(300, 3000)));
    out.SetValue("common.device.psp.firmware", std::to_string(random.Range(1, 6)) + "." + std::to_string(random.Range(0, 9)));
    out.SetValue("common.audio.chmask", std::to_string(random.Range(1, 63)));
    out.SetValue("common.video.encode.bitrate_kbps", std::to_string(random.Range(300, 3000)));
    out.SetValue("common.video.encode.quality", std::to_string(random.Range(50, 99)));
    out.SetValue("common.video.encode.fourcc", "XVID");
}

std::string ProfileDocumentText(int index, int devices)
{
    profile::CProfileFile p;
    MakeProfile(index, devices, p);
    if (!p.BuildDocument() || p.Document() == nullptr)
        return {};
    return p.Document()->DocumentText();
}

bool WriteProfileFolder(const std::string& folder, int count, int devices)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (int i = 0; i < count; ++i) {
        const std::string text = ProfileDocumentText(i, devices);
        const std::string path = folder + "/P" + Padded(i, 5) + ".xml";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file)
            return false;
        const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
        if (std::fclose(file) != 0 || !written || text.empty())
            return false;
    }
    return true;
}

} // namespace bench
