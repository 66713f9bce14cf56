#pragma once

// The properties the fuzz targets check, one function per target. Each takes the raw
// fuzz input and returns "" when every property held, or a description of the first one
// that failed. The libFuzzer entry points abort on a description; the reliability tests
// run the same functions over the kept regression inputs in the normal build.

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "controls/NumericBehavior.h"
#include "editor/ChoiceLists.h"
#include "editor/Orrery.h"
#include "markup/XmlDoc.h"
#include "profile/ProfileFile.h"
#include "tests/markup/IndexCheck.h"
#include "tests/markup/ReferenceIndex.h"
#include "tests/profile/NodeWriterText.h"
#include "tests/TestFiles.h"

namespace fuzzcheck {

// Reads the edit program from the end of the input, one byte at a time; what is left in
// front is the document. So a whole XML file is a useful input as it stands, and a
// program can be appended to one.
class CTailReader {
public:
    CTailReader(const uint8_t* data, std::size_t size) : data(data), size(size) {}
    uint8_t Next()
    {
        if (size == 0)
            return 0;
        return data[--size];
    }
    std::string Take(std::size_t count)
    {
        count = count < size ? count : size;
        size -= count;
        return std::string(reinterpret_cast<const char*>(data + size), count);
    }
    std::string Front() const { return std::string(reinterpret_cast<const char*>(data), size); }

private:
    const uint8_t* data;
    std::size_t size;
};

// A private folder for the files the targets write, on a memory file system when there is
// one: the document writer syncs every file it writes.
inline const std::string& ScratchFolder()
{
    static const std::string folder = [] {
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        if (const char* tmp = std::getenv("ORRERY_FUZZ_TMP"))
            base = tmp;
        std::string pattern = base + "/orrery-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        return pattern;
    }();
    // Gone when the process ends normally; a crash leaves it, with the files that made it.
    // Registered once the name exists, so it runs before the name is destroyed.
    static const bool removedAtExit = std::atexit([] {
        std::error_code error;
        std::filesystem::remove_all(ScratchFolder(), error);
    }) == 0;
    (void)removedAtExit;
    return folder;
}

using testfiles::WriteBytes;

inline bool ReadBytes(const std::string& path, std::string& bytes)
{
    std::string result;
    return CXmlDoc::ReadWholeFile(path, result, bytes);
}

// ---------------------------------------------------------------------------------------
// Markup: parse, then a program of moves and edits.

// Element and attribute names the edits use. They are valid names, so an edit of a
// document that parsed well-formed must keep it so; the long one is beyond what an end
// tag record can hold, so edits that would need its end tag must refuse.
inline const std::vector<std::string>& ElementNames()
{
    static const std::vector<std::string> names = {
        "a", "b", "profile", "common", "video", "videos", "x-y", "_n", "ns:el", "\xC3\xA9t\xC3\xA9",
        std::string(1100, 'L'), "r",
    };
    return names;
}

inline const std::vector<std::string>& AttributeNames()
{
    static const std::vector<std::string> names = {"name", "value", "list", "a", "x:y", "b-c", "type", "n"};
    return names;
}

inline const std::vector<std::string>& Values()
{
    static const std::vector<std::string> values = {
        "", "1", "a b", "<&>\"'", "]]>", "\r\n\t", "&amp;", "&#233;", "\xC3\xA9", "x=y/>", "/", "'", "\"",
        std::string(5000, 'v'), "?>", "<!--", "=",
    };
    return values;
}

inline bool PositionIsLive(const CXmlDoc& doc, int element)
{
    if (element == 0)
        return true;
    return element > 0 && element < doc.RecordCount() && !(doc.Record(element).levelFlags & CXmlDoc::kAbandoned);
}

inline std::string_view StartTagText(const CXmlDoc& doc, int element)
{
    const XmlElementRecord& r = doc.Record(element);
    const std::string& text = doc.DocumentText();
    const std::size_t length = r.tagLengths & CXmlDoc::kStartTagMask;
    if (element <= 0 || r.start >= text.size() || length > text.size() - r.start)
        return {};
    return std::string_view(text).substr(r.start, length);
}

// A start tag as XML writes one: "<" name, then name="value" or name='value' pairs
// separated by whitespace, then ">" or "/>". Names hold none of the bytes that end a name
// for the scanner or the start-tag reader, nor quotes.
inline bool IsRegularStartTag(std::string_view tag)
{
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    auto nameLength = [&](std::size_t from) {
        std::size_t p = from;
        while (p < tag.size() && std::string_view(" \t\n\r<>=\\/?!\"'").find(tag[p]) == std::string_view::npos)
            ++p;
        return p - from;
    };
    if (tag.size() < 3 || tag[0] != '<' || tag.back() != '>')
        return false;
    std::size_t p = 1 + nameLength(1);
    if (p == 1)
        return false;
    const std::size_t end = tag.size() - (tag[tag.size() - 2] == '/' ? 2 : 1);
    for (;;) {
        const std::size_t spaceStart = p;
        while (p < end && isSpace(tag[p]))
            ++p;
        if (p == end)
            return true;
        if (p == spaceStart)
            return false;   // attributes are separated by whitespace
        const std::size_t name = nameLength(p);
        if (name == 0)
            return false;
        p += name;
        while (p < end && isSpace(tag[p]))
            ++p;
        if (p >= end || tag[p] != '=')
            return false;
        ++p;
        while (p < end && isSpace(tag[p]))
            ++p;
        if (p >= end || (tag[p] != '"' && tag[p] != '\''))
            return false;
        const std::size_t close = tag.find(tag[p], p + 1);
        if (close == std::string_view::npos || close >= end)
            return false;
        p = close + 1;
    }
}

// The element tree a fresh parse of `text` builds: for each element in document order, the
// place of its parent in that order (-1 for the top level) and its form (empty-element
// tag, not ended, or ended by an end tag), with its start offset.
struct ShapeEntry {
    int parent;
    int form;
    uint32_t start;
    bool operator==(const ShapeEntry&) const = default;
};

inline std::vector<ShapeEntry> FreshShape(const std::string& text)
{
    CXmlDoc fresh;
    fresh.SetDocumentText(text);
    fresh.IndexDocument();
    std::vector<int> order;
    indexcheck::WalkTree(fresh, order);
    std::vector<int> place(static_cast<std::size_t>(fresh.RecordCount()), -1);
    std::vector<ShapeEntry> shape;
    for (const int e : order) {
        const XmlElementRecord& r = fresh.Record(e);
        const bool notEnded = (r.levelFlags & CXmlDoc::kNotEnded) != 0;
        const bool empty = !notEnded && (r.tagLengths >> CXmlDoc::kEndTagShift) == 0;
        place[static_cast<std::size_t>(e)] = static_cast<int>(shape.size());
        shape.push_back({r.parent == 0 ? -1 : place[static_cast<std::size_t>(r.parent)], notEnded ? 2 : empty ? 1 : 0,
                         r.start});
    }
    return shape;
}

// StoreAttribute on any text, however malformed: it either stores, and then a fresh parse
// builds the same tree as before (with the offsets after the tag moved), or refuses and
// changes nothing; it refuses only tags that are not regular. The tree is compared where
// the stored element is one a fresh parse finds too, and no NUL cuts the text short.
inline std::string StoreKeepsTheTree(CXmlDoc& doc, int element, const char* name, const std::string& value,
                                     bool& edited)
{
    const std::string textBefore = doc.DocumentText();
    const std::string tagBefore(StartTagText(doc, element));
    const XmlElementRecord recordBefore = doc.Record(element);
    const bool live = element != 0 && PositionIsLive(doc, element) && doc.CurrentPosition() != 0;
    const bool comparable = live && textBefore.find('\0') == std::string::npos && value.find('\0') == std::string::npos;
    std::vector<ShapeEntry> shapeBefore;
    bool parsedHere = false;
    if (comparable) {
        shapeBefore = FreshShape(textBefore);
        for (const ShapeEntry& entry : shapeBefore)
            parsedHere = parsedHere || entry.start == recordBefore.start;
    }
    edited = doc.StoreAttribute(element, name, value);
    if (!edited) {
        if (doc.DocumentText() != textBefore ||
            std::memcmp(&doc.Record(element), &recordBefore, sizeof(XmlElementRecord)) != 0)
            return "a refused StoreAttribute changed the document";
        if (live && IsRegularStartTag(tagBefore))
            return "StoreAttribute refused the regular tag " + tagBefore;
        return {};
    }
    if (!parsedHere)
        return {};
    std::vector<ShapeEntry> shapeAfter = FreshShape(doc.DocumentText());
    if (shapeAfter.size() != shapeBefore.size())
        return "StoreAttribute changed the element count of a fresh parse: " + doc.DocumentText();
    const int64_t delta = static_cast<int64_t>(doc.DocumentText().size()) - static_cast<int64_t>(textBefore.size());
    for (std::size_t i = 0; i < shapeAfter.size(); ++i) {
        ShapeEntry expected = shapeBefore[i];
        if (expected.start > recordBefore.start)
            expected.start = static_cast<uint32_t>(expected.start + delta);
        if (!(shapeAfter[i] == expected))
            return "StoreAttribute changed the element tree of a fresh parse at element " + std::to_string(i) + ": " +
                   doc.DocumentText();
    }
    return {};
}

// The exact comparison with a fresh parse holds for texts that parsed well-formed; a NUL
// ends the text for the scanner, so elements an edit put after one are not found by a
// fresh parse, and such texts get the structural check only.
inline bool ExactChecksApply(const CXmlDoc& doc, bool wellFormed)
{
    return wellFormed && doc.DocumentText().find('\0') == std::string::npos;
}

inline std::string CheckIndex(const CXmlDoc& doc, bool wellFormed)
{
    return ExactChecksApply(doc, wellFormed) ? indexcheck::IndexMismatch(doc) : indexcheck::InvariantViolation(doc);
}

inline std::string CheckMarkupProgram(const uint8_t* data, std::size_t size)
{
    CTailReader tail(data, size);
    struct Step {
        uint8_t kind, a, b;
    };
    std::vector<Step> steps(tail.Next() % 49u);
    for (Step& step : steps) {
        step.kind = tail.Next();
        step.a = tail.Next();
        step.b = tail.Next();
    }
    // Values made of input bytes follow the steps.
    std::vector<std::string> ownValues;
    for (const Step& step : steps)
        if (step.b >= 200)
            ownValues.push_back(tail.Take(step.b - 200u));
    const std::string text = tail.Front();

    CXmlDoc doc;
    doc.SetDocumentText(text);
    bool wellFormed = doc.IndexDocument();
    if (std::string v = indexcheck::InvariantViolation(doc); !v.empty())
        return "after the parse: " + v;
    if (doc.Record(0).length != text.size())
        return "after the parse: record 0 length differs from the text length";
    if (wellFormed != doc.IsWellFormed())
        return "IndexDocument and IsWellFormed disagree";
    // The indexer skips runs of bytes and closes unended elements in batches; the plain
    // reference indexer of the markup tests goes one byte and one record at a time.
    const ReferenceIndex reference = BuildReferenceIndex(text);
    if (doc.ResultText() != reference.resultText)
        return "result text '" + doc.ResultText() + "', reference '" + reference.resultText + "'";
    if (wellFormed != reference.wellFormed)
        return "well-formed differs from the reference";
    if (doc.RecordCount() != static_cast<int>(reference.records.size()))
        return "record count differs from the reference";
    for (int i = 0; i < doc.RecordCount(); ++i)
        if (std::memcmp(&doc.Record(i), &reference.records[static_cast<std::size_t>(i)], sizeof(XmlElementRecord)) != 0)
            return "record " + std::to_string(i) + " differs from the reference";

    // ORRERY_FUZZ_TRACE=1 prints the text after every step, for reading a failing input.
    static const bool trace = std::getenv("ORRERY_FUZZ_TRACE") != nullptr;
    if (trace)
        std::fprintf(stderr, "text (%s): %s\n", wellFormed ? "well-formed" : "not well-formed", text.c_str());
    const auto& names = ElementNames();
    const auto& attributes = AttributeNames();
    std::size_t nextOwn = 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        const std::string where = "step " + std::to_string(i) + " (kind " + std::to_string(step.kind % 13) + "): ";
        const std::string& value = step.b >= 200 ? ownValues[nextOwn++] : Values()[step.b % Values().size()];
        bool edited = false;
        switch (step.kind % 13) {
        case 0: doc.Rewind(); break;
        case 1: doc.SeekElement(nullptr); break;
        case 2: doc.SeekElement(names[step.a % names.size()].c_str()); break;
        case 3: doc.EnterElement(); break;
        case 4: doc.LeaveElement(); break;
        case 5: {
            doc.NodeName();
            // One reading of the start tag finds what FetchAttribute finds, name by name.
            std::vector<CXmlDoc::AttributeSpan> listed;
            doc.ListAttributes(listed);
            std::vector<std::string> wanted(attributes.begin(), attributes.end());
            for (const CXmlDoc::AttributeSpan& attribute : listed)
                if (attribute.name.find('\0') == std::string_view::npos)
                    wanted.emplace_back(attribute.name);
            for (const std::string& name : wanted)
                if (doc.AttributeValue(listed, name) != doc.FetchAttribute(name.c_str()))
                    return where + "the listed attributes read " + name + " as \"" +
                           doc.AttributeValue(listed, name) + "\", FetchAttribute as \"" +
                           doc.FetchAttribute(name.c_str()) + "\"";
            break;
        }
        case 6:
        case 7: {
            const std::string& name = attributes[step.a % attributes.size()];
            const int element = doc.CurrentPosition();
            if (std::string problem = StoreKeepsTheTree(doc, element, name.c_str(), value, edited); !problem.empty())
                return where + problem;
            // Edits of a malformed text may leave a start tag whose quotes no longer pair up
            // within the span the index gives it; only sound tags must read back.
            if (edited && ExactChecksApply(doc, wellFormed) && value.find('\0') == std::string::npos &&
                doc.FetchAttribute(name.c_str()) != value)
                return where + "the stored value of " + name + " does not read back: stored \"" + value +
                       "\", read \"" + doc.FetchAttribute(name.c_str()) + "\" from " + doc.DocumentText();
            break;
        }
        case 8: {
            // Any record number at all: abandoned, unused, negative.
            const int element = static_cast<int>(step.a % (doc.RecordCount() + 2)) - 1;
            if (std::string problem =
                    StoreKeepsTheTree(doc, element, attributes[step.b % attributes.size()].c_str(), value, edited);
                !problem.empty())
                return where + problem;
            break;
        }
        case 9:
        case 10: {
            const std::string& name = names[step.a % names.size()];
            edited = doc.AppendElement(name.c_str());
            if (edited && doc.NodeName() != name)
                return where + "the appended element is not current";
            break;
        }
        case 11: edited = doc.DeleteElement(); break;
        default: {
            if (step.a % 4 == 0) {
                // A fresh parse of the edited text; exact checks go on when it is well-formed.
                wellFormed = doc.IndexDocument();
                if (std::string v = indexcheck::InvariantViolation(doc); !v.empty())
                    return where + "after a new parse: " + v;
                break;
            }
            if (step.a % 4 == 1) {
                const CXmlDoc copy(doc);
                if (copy.DocumentText() != doc.DocumentText() || copy.RecordCount() != doc.RecordCount() ||
                    copy.CurrentPosition() != doc.CurrentPosition() || copy.ParentPosition() != doc.ParentPosition())
                    return where + "a copy differs from its source";
                if (CheckIndex(copy, wellFormed) != CheckIndex(doc, wellFormed))
                    return where + "a copy's index differs from its source's";
                break;
            }
            std::vector<int> live;
            if (!indexcheck::WalkTree(doc, live).empty() || live.empty())
                break;
            if (!indexcheck::NavigateTo(doc, live[step.b % live.size()]))
                return where + "a live element cannot be reached by the public moves";
            if (step.a % 4 == 3)
                doc.EnterElement();
            break;
        }
        }
        if (trace)
            std::fprintf(stderr, "%s%s -> %s\n", where.c_str(), edited ? "edited" : "",
                         doc.DocumentText().c_str());
        if (!PositionIsLive(doc, doc.CurrentPosition()) || !PositionIsLive(doc, doc.ParentPosition()))
            return where + "the position names a removed element";
        if (edited) {
            if (std::string v = CheckIndex(doc, wellFormed); !v.empty())
                return where + v;
        }
    }
    return {};
}

// Where two texts part, with some context from each.
inline std::string FirstDifference(const std::string& a, const std::string& b)
{
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    const std::size_t from = at > 60 ? at - 60 : 0;
    return "at offset " + std::to_string(at) + "\n--- first:\n" + a.substr(from, 160) + "\n--- second:\n" +
           b.substr(from, 160);
}

// ---------------------------------------------------------------------------------------
// Profile: load any bytes into a default profile, save, load the saved file, save again.

inline std::string CheckProfileLoad(const uint8_t* data, std::size_t size)
{
    const std::string& folder = ScratchFolder();
    const std::string input = folder + "/input.xml";
    const std::string first = folder + "/first.xml";
    const std::string second = folder + "/second.xml";
    if (!WriteBytes(input, std::string_view(reinterpret_cast<const char*>(data), size)))
        return "cannot write the input file";

    profile::CProfileFile loaded;
    loaded.CreateDefault();
    const bool loads = loaded.Load(input);
    // The library's load reads the sections later, from the text it keeps; what it
    // then holds must be what the load above read.
    profile::CProfileFile deferred;
    if (deferred.LoadDeferred(input) != loads)
        return "a deferred load and a load disagree on whether the file loads";
    if (loads) {
        if (deferred.name != loaded.name || deferred.description != loaded.description ||
            deferred.device != loaded.device || deferred.version != loaded.version || deferred.tag != loaded.tag ||
            deferred.type != loaded.type)
            return "a deferred load read other root attributes";
        profile::CProfileFile eager(loaded);
        if (!deferred.BuildDocument() || !eager.BuildDocument())
            return "BuildDocument failed";
        if (deferred.Document()->DocumentText() != eager.Document()->DocumentText())
            return "a deferred load read other sections: " +
                   FirstDifference(eager.Document()->DocumentText(), deferred.Document()->DocumentText());
    }
    if (!loads) {
        // A file that does not load leaves the default profile as it was.
        profile::CProfileFile plain;
        plain.CreateDefault();
        profile::CProfileFile kept(loaded);
        if (!plain.BuildDocument() || !kept.BuildDocument())
            return "BuildDocument failed";
        if (plain.Document()->DocumentText() != kept.Document()->DocumentText())
            return "a load that failed changed the profile";
    }
    if (!loaded.Save(first))
        return "the first save failed: " + loaded.WriteResultText();
    std::string firstText;
    if (!ReadBytes(first, firstText))
        return "the first save cannot be read";
    const std::string nodeWriterText = profile_test::NodeWriterText(loaded);
    if (firstText != nodeWriterText)
        return "the save differs from what the node writer makes: " + FirstDifference(nodeWriterText, firstText);

    profile::CProfileFile again;
    again.CreateDefault();
    if (!again.Load(first))
        return "the saved file does not load: " + (again.Document() ? again.Document()->ResultText() : "");
    if (again.name != loaded.name || again.description != loaded.description || again.device != loaded.device ||
        again.version != loaded.version || again.tag != loaded.tag || again.type != loaded.type)
        return "the root attributes changed on the way through the file";
    if (!again.Save(second))
        return "the second save failed: " + again.WriteResultText();
    std::string secondText;
    if (!ReadBytes(second, secondText))
        return "the second save cannot be read";
    if (firstText != secondText)
        return "the second save differs from the first: " + FirstDifference(firstText, secondText);
    return {};
}

// ---------------------------------------------------------------------------------------
// Configuration: any bytes as "Orrery.xml", then every table and list built from it.

inline std::vector<std::string> ConfigurationKeys()
{
    std::vector<std::string> keys;
    const profile::CProfileSchema* schema = editor::ConfigurationSchema();
    for (int i = 0; i < editor::ConfigurationSchemaCount(); ++i) {
        // Keys are given without "profile.": the root node's own attributes by name alone.
        const std::string path = schema[i].path;
        const std::size_t dot = path.find('.');
        const std::string prefix = dot == std::string::npos ? "" : path.substr(dot + 1) + ".";
        for (int a = 0; a < schema[i].count; ++a)
            keys.push_back(prefix + schema[i].attrs[a].name);
    }
    return keys;
}

inline std::vector<std::string> ConfigurationValues(const editor::COrrery& config,
                                                    const std::vector<std::string>& keys)
{
    std::vector<std::string> values;
    for (const std::string& key : keys) {
        std::string value = "<missing>";
        config.GetValue(key, value);
        values.push_back(value);
    }
    return values;
}

inline std::string CheckConfigurationLoad(const uint8_t* data, std::size_t size)
{
    const std::string path = ScratchFolder() + "/Orrery.xml";
    if (!WriteBytes(path, std::string_view(reinterpret_cast<const char*>(data), size)))
        return "cannot write the configuration file";
    static const std::vector<std::string> keys = ConfigurationKeys();

    editor::COrrery config;
    config.CreateDefault();
    const std::vector<std::string> defaults = ConfigurationValues(config, keys);
    const bool loaded = config.LoadDocument(path);
    if (loaded)
        config.ReadFromDocument();
    const std::vector<std::string> values = ConfigurationValues(config, keys);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (values[i] == "<missing>")
            return "the key " + keys[i] + " vanished";
        if (!loaded && values[i] != defaults[i])
            return "a file that did not load changed " + keys[i];
    }

    // A second load of the same file gives the same values.
    editor::COrrery twice;
    twice.CreateDefault();
    twice.Load(path);
    if (ConfigurationValues(twice, keys) != values)
        return "two loads of one file differ";

    editor::ContainerTable containers;
    editor::AudioContainerTable audioContainers;
    editor::FourccTable fourccs;
    editor::BuildContainerTable(config, containers);
    editor::BuildAudioContainerTable(config, audioContainers);
    editor::BuildFourccTable(config, fourccs);
    for (const editor::ChoiceKind kind : {editor::ChoiceKind::Devices, editor::ChoiceKind::FrameRates,
                                          editor::ChoiceKind::AudioBitrates, editor::ChoiceKind::SampleRates}) {
        for (std::string item : editor::ChoiceItems(kind, config)) {
            editor::FrameRateChoiceText(item);
            editor::ThousandthsText(item);
            editor::ThousandfoldText(item);
            editor::RateStoredText(editor::RateDisplayText(item, editor::kKhzSuffix), editor::kKhzSuffix);
        }
    }
    for (const std::string& format : editor::FormatItems(containers)) {
        std::string list;
        editor::CodecListForFormat(containers, format, list, false);
        editor::CodecItemsForFormat(containers, format, true);
        editor::CodecItemsForFormat(containers, format, false);
    }
    for (const std::string& format : editor::AudioFormatItems(audioContainers)) {
        std::vector<std::string> codecs;
        editor::AudioCodecsForFormat(audioContainers, format, codecs);
    }
    editor::CTypeFile holder;
    profile::CProfileFile profile;
    profile.CreateDefault();
    holder.SetCurrentProfile(profile);
    for (const auto& [codec, fourcc] : fourccs) {
        editor::SetFourccForCodec(holder, fourccs, codec);
        std::string stored;
        holder.GetValue("common.video.encode.fourcc", stored);
        if (stored != fourcc)
            return "the FourCC of " + codec + " was not stored";
    }
    return {};
}

// ---------------------------------------------------------------------------------------
// Numeric edit core: a field shape, symbols and limits, then a run of user actions.

inline std::string CheckFieldShape(const NumericBehavior& rules, const EditState& state)
{
    const int length = static_cast<int>(state.text.size());
    if (state.selStart < 0 || state.selStart > state.selEnd || state.selEnd > length)
        return "selection outside the text or reversed";
    if (rules.NormalizedText(state.text) != state.text)
        return "the text is not in the field's shape";
    int whole = 0;
    int decimals = 0;
    bool point = false;
    for (std::size_t i = 0; i < state.text.size(); ++i) {
        const char16_t c = state.text[i];
        if (c == rules.NegativeSign() && i == 0 && rules.NegativesAllowed())
            continue;
        if (c == rules.DecimalPoint() && !point && rules.DecimalPlaces() > 0) {
            point = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return "a character other than a digit, one point and a leading sign";
        ++(point ? decimals : whole);
    }
    if (whole > rules.WholeDigits() || decimals > rules.DecimalPlaces())
        return "more digits than the field allows";
    if (!std::isfinite(rules.Value(state.text)))
        return "the value is not finite";
    return {};
}

inline std::string CheckNumericEdit(const uint8_t* data, std::size_t size)
{
    CTailReader in(data, size);
    static const char16_t kNegatives[] = {u'-', u'\u2212', u'~'};
    static const char16_t kPoints[] = {u'.', u',', u'\u066B'};
    static const char16_t kGroups[] = {u',', u'.', u' ', u'\u00A0', u'\''};
    static const char16_t kTyped[] = {u'0', u'1', u'5', u'9', u'-', u'.', u',', u'\u2212', u'\u066B', u'~', u'a',
                                      u' ', u'\b', u'\x7F', u'\r', u'\x01', u'\u00A0', u'\''};
    static const double kLimits[] = {0, 1, -1, 100, -100, 0.5, 1e9, -1e9, 1e300, -1e300, 65535, 255.75};

    const int whole = static_cast<int>(in.Next() % 41) - 20;
    const int decimals = static_cast<int>(in.Next() % 12) - 1;
    NumericBehavior rules(whole, decimals);
    const uint8_t symbols = in.Next();
    rules.SetSymbols(std::u16string(1, kNegatives[symbols % 3]), std::u16string(1, kPoints[(symbols / 3) % 3]),
                     std::u16string(1, kGroups[(symbols / 9) % 5]));
    const uint8_t range = in.Next();
    if (range & 0x80)
        rules.SetRange(kLimits[range % 12], kLimits[(range / 12) % 12]);
    rules.RangeErrorText();

    auto pasteText = [&in](uint8_t length) {
        std::u16string text;
        for (uint8_t i = 0; i < length % 24; ++i) {
            const uint8_t b = in.Next();
            text.push_back(b < 0xF0 ? static_cast<char16_t>(b) : kTyped[b % std::size(kTyped)]);
        }
        return text;
    };

    EditState state = rules.HandleSetText(pasteText(in.Next()));
    if (std::string problem = CheckFieldShape(rules, state); !problem.empty())
        return "after setting the text: " + problem;
    for (int step = 0; step < 64; ++step) {
        const uint8_t action = in.Next();
        if (action == 0)
            break;
        // Any selection at all, stale positions included: the rules clamp them.
        EditState before = state;
        before.selStart = static_cast<int>(in.Next() % 40) - 4;
        before.selEnd = static_cast<int>(in.Next() % 40) - 4;
        const bool readOnly = (action & 0x80) != 0;
        EditState after;
        switch (action % 7) {
        case 0: after = rules.HandleChar(before, kTyped[in.Next() % std::size(kTyped)], readOnly); break;
        case 1: after = rules.HandleChar(before, static_cast<char16_t>(in.Next() | (in.Next() << 8)), readOnly); break;
        case 2:
            after = before;
            // A key the rules do not take is the widget's own business.
            if (!rules.HandleKeyDown(after, in.Next() & 1 ? EditKey::Delete : EditKey::Other, readOnly))
                after = state;
            break;
        case 3: after = rules.HandlePaste(before, pasteText(in.Next())); break;
        case 4: after = rules.HandleCut(before); break;
        case 5: after = rules.HandleSetText(pasteText(in.Next())); break;
        default: after = rules.Reformat(before); break;
        }
        if (std::string problem = CheckFieldShape(rules, after); !problem.empty())
            return "step " + std::to_string(step) + " (action " + std::to_string(action % 7) + "): " + problem;
        if (readOnly && (action % 7 == 0 || action % 7 == 1 || action % 7 == 2) && after.text != before.text)
            return "a read-only field changed its text";
        if (rules.InRange(after.text) != (rules.Value(after.text) >= rules.Minimum() &&
                                          rules.Value(after.text) <= rules.Maximum()))
            return "InRange disagrees with the limits";
        state = after;
    }
    return {};
}

} // namespace fuzzcheck
