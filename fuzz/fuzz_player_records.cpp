// playrecs.ini read and strength rewrite. The input gives the file and the
// strengths to write. The rewrite changes nothing but the text after
// "AutoAIStrength=" on the strength lines of a section, reading the result
// gives back the strengths written, and writing back the strengths that were
// read gives the file as read. Putting the same strengths in as edits named
// by their sections (as Save does on the file as it is then) gives the same
// bytes, and names exactly the edited sections without a strength line.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "autoai/player_records.h"
#include "fuzz_check.h"

using namespace gm::autoai;

namespace {

struct StrengthLine {
    std::size_t valueStart;  // offset of the value in the text
    std::string value;
    std::size_t section;     // index into the sections; npos before the first
};

// The strength lines of a records text (every line ends in CR LF), with the
// section each belongs to.
std::vector<StrengthLine> strengthLines(const std::string& text)
{
    std::vector<StrengthLine> found;
    std::size_t section = std::string::npos;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line(text.data() + start, end - start);
        if (sectionName(line)) {
            section = section == std::string::npos ? 0 : section + 1;
        } else if (line.starts_with(kStrengthKey)) {
            found.push_back({start + kStrengthKey.size(), std::string(line.substr(kStrengthKey.size())), section});
        }
        start = end + 2;
    }
    return found;
}

// The text with every strength value cut out, so two texts can be compared
// on everything else.
std::string withoutStrengthValues(const std::string& text)
{
    std::string rest;
    std::size_t from = 0;
    for (const StrengthLine& line : strengthLines(text)) {
        rest.append(text, from, line.valueStart - from);
        rest += '|';
        from = line.valueStart + line.value.size();
    }
    rest.append(text, from, std::string::npos);
    return rest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    std::vector<std::string> strengths(input.ConsumeIntegralInRange<std::size_t>(0, 64));
    for (std::string& strength : strengths) {
        // A strength as the window writes it: no line ends.
        strength = input.ConsumeRandomLengthString(12);
        std::erase_if(strength, [](char c) { return c == '\r' || c == '\n'; });
    }
    const std::string bytes = input.ConsumeRemainingBytesAsString();

    const PlayerRecords read = readRecords(bytes);
    GM_FUZZ_CHECK(read.Sections.size() == read.TrackTable.size(), "one table row per section");
    const std::vector<StrengthLine> before = strengthLines(read.RecordsText);
    bool oneValuePerSection = true;
    std::vector<bool> hasStrengthLine(read.Sections.size(), false);
    for (const StrengthLine& line : before) {
        if (line.section != std::string::npos) {
            GM_FUZZ_CHECK(line.section < read.Sections.size(), "strength lines lie in a listed section");
            oneValuePerSection = oneValuePerSection && line.value == read.TrackTable[line.section][0];
            hasStrengthLine[line.section] = true;
        }
    }
    if (oneValuePerSection) {
        GM_FUZZ_CHECK(savedBytes(read) == read.RecordsText + "\r\n",
                      "saving the strengths as read gives the file as read and one line end");
    }

    const std::string written = writeStrengths(read.RecordsText, strengths);
    GM_FUZZ_CHECK(withoutStrengthValues(written) == withoutStrengthValues(read.RecordsText),
                  "only strength values change");
    const std::vector<StrengthLine> after = strengthLines(written);
    GM_FUZZ_CHECK(after.size() == before.size(), "no strength line comes or goes");
    for (std::size_t i = 0; i < after.size(); ++i) {
        const std::size_t k = before[i].section;
        const bool rewritten = k != std::string::npos && k < strengths.size();
        GM_FUZZ_CHECK(after[i].value == (rewritten ? strengths[k] : before[i].value),
                      "each strength line holds its own section's new strength, the rest stay");
    }
    const PlayerRecords again = readRecords(written);
    GM_FUZZ_CHECK(again.Sections == read.Sections, "the sections read back");
    for (std::size_t k = 0; k < again.TrackTable.size(); ++k) {
        const bool rewritten = hasStrengthLine[k] && k < strengths.size();
        GM_FUZZ_CHECK(again.TrackTable[k][0] == (rewritten ? strengths[k] : read.TrackTable[k][0]),
                      "reading the rewrite gives the strengths written");
        for (std::size_t c = 1; c < kColumnCount; ++c) {
            GM_FUZZ_CHECK(again.TrackTable[k][c] == read.TrackTable[k][c], "lap times stay");
        }
    }

    std::vector<StrengthEdit> edits;
    std::map<std::string, std::size_t> seen;
    std::vector<std::string> expectedMissing;
    for (std::size_t k = 0; k < read.Sections.size(); ++k) {
        const std::size_t occurrence = seen[read.Sections[k]]++;
        if (k < strengths.size()) {
            edits.push_back({read.Sections[k], occurrence, strengths[k]});
            if (!hasStrengthLine[k] && std::find(expectedMissing.begin(), expectedMissing.end(), read.Sections[k]) ==
                                           expectedMissing.end()) {
                expectedMissing.push_back(read.Sections[k]);
            }
        }
    }
    const MergedStrengths merged = mergeStrengths(bytes, edits);
    GM_FUZZ_CHECK(merged.bytes == written + "\r\n", "edits named by section write what the rewrite by position writes");
    GM_FUZZ_CHECK(merged.missing == expectedMissing, "the edited sections without a strength line are named, once each");
    bool anyPlaced = false;
    for (std::size_t k = 0; k < edits.size(); ++k) {
        anyPlaced = anyPlaced || hasStrengthLine[k];
    }
    GM_FUZZ_CHECK(merged.placed == anyPlaced, "an edit that found its strength line counts as placed");
    return 0;
}
