#include "bench/DocumentGenerator.h"

#include <array>

namespace bench {

namespace {

constexpr std::array<const char*, 16> kWords = {
    "video", "audio", "bitrate", "stream", "default", "frame", "sample", "codec",
    "container", "device", "quality", "preset", "channel", "filter", "output", "profile",
};
constexpr std::array<const char*, 12> kAttributeNames = {
    "name", "value", "type", "unit", "min", "max", "step", "list", "mode", "id", "enabled", "order",
};
constexpr std::array<const char*, 5> kEntities = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};

class CWriter {
public:
    CWriter(std::string& out, CRandom& random) : out(out), random(random) {}

    void Indent(int depth)
    {
        out += "\n";
        out.append(static_cast<std::size_t>(depth) * 2, ' ');
    }

    void Value()
    {
        switch (random.Range(0, 6)) {
        case 0:
        case 1:
            out += std::to_string(random.Range(0, 99999));
            break;
        case 2:
            out += kWords[random.Next() % kWords.size()];
            break;
        case 3:
            out += kWords[random.Next() % kWords.size()];
            out += '_';
            out += std::to_string(random.Range(1, 64));
            break;
        case 4:
            out += random.Range(0, 1) ? "true" : "false";
            break;
        case 5:
            out += std::to_string(random.Range(1, 4000));
            out += ',';
            out += std::to_string(random.Range(1, 4000));
            out += ',';
            out += std::to_string(random.Range(1, 4000));
            break;
        default:
            out += "/media/";
            out += kWords[random.Next() % kWords.size()];
            out += '/';
            out += kWords[random.Next() % kWords.size()];
            out += ".cfg";
            break;
        }
        // A few values carry an entity.
        if (random.Range(0, 39) == 0)
            out += kEntities[random.Next() % kEntities.size()];
    }

    // "<tag a=.. b=..", 2 to 6 attributes with distinct names.
    void OpenTag(const char* tag)
    {
        out += '<';
        out += tag;
        const int count = random.Range(2, 6);
        const int first = random.Range(0, static_cast<int>(kAttributeNames.size()) - 1);
        for (int i = 0; i < count; ++i) {
            out += ' ';
            out += kAttributeNames[(static_cast<std::size_t>(first) + static_cast<std::size_t>(i)) % kAttributeNames.size()];
            out += "=\"";
            Value();
            out += '"';
        }
    }

    std::size_t elements = 0;

    // One leaf at `depth`: mostly empty-element tags, some with a short text.
    void Leaf(int depth)
    {
        Indent(depth);
        ++elements;
        if (random.Range(0, 7) == 0) {
            OpenTag("text");
            out += '>';
            out += kWords[random.Next() % kWords.size()];
            out += random.Range(0, 3) == 0 ? " &amp; " : " ";
            out += kWords[random.Next() % kWords.size()];
            out += "</text>";
        } else {
            OpenTag("setting");
            out += "/>";
        }
    }

    // An element indented `depth` steps (nesting level depth + 1). A child branches again
    // only while depth + 1 < maxDepth, so no element nests deeper than maxDepth + 1.
    void Branch(const char* tag, int depth, int maxDepth)
    {
        Indent(depth);
        ++elements;
        OpenTag(tag);
        out += '>';
        const int children = random.Range(2, 6);
        for (int i = 0; i < children; ++i) {
            if (depth + 1 < maxDepth && random.Range(0, 2) == 0)
                Branch("option", depth + 1, maxDepth);
            else
                Leaf(depth + 1);
        }
        Indent(depth);
        out += "</";
        out += tag;
        out += '>';
    }

private:
    std::string& out;
    CRandom& random;
};

} // namespace

std::string ConfigurationDocument(std::size_t targetBytes, uint64_t seed)
{
    CRandom random(seed);
    std::string out;
    out.reserve(targetBytes + 4096);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- Generated configuration, seed ";
    out += std::to_string(seed);
    out += " -->\n<configuration version=\"3\" generator=\"bench\">";
    CWriter writer(out, random);
    std::size_t nextComment = 300;
    int section = 0;
    while (out.size() < targetBytes) {
        writer.Indent(1);
        ++writer.elements;
        out += "<section id=\"s" + std::to_string(section++) + "\" enabled=\"true\">";
        const int groups = random.Range(3, 8);
        for (int g = 0; g < groups; ++g)
            writer.Branch("group", 2, random.Range(3, 4));
        writer.Indent(1);
        out += "</section>";
        if (writer.elements >= nextComment) {
            writer.Indent(1);
            out += "<!-- section " + std::to_string(section) + " ends; values below < > are escaped -->";
            nextComment += 300;
        }
    }
    out += "\n</configuration>\n";
    return out;
}

std::size_t CountStartTags(const std::string& text)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '<')
            continue;
        const unsigned char next = static_cast<unsigned char>(text[i + 1]);
        if ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') || next == '_')
            ++count;
    }
    return count;
}

} // namespace bench
