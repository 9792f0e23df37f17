#include "autoai/player_records.h"

#include <algorithm>
#include <map>

#include "common/lines.h"
#include "common/numbers.h"
#include "platform/atomic_write.h"
#include "platform/fs.h"

namespace gm::autoai {

namespace {

struct KnownSection {
    std::string_view name;
    std::size_t group;
};

// The 25 tracks the game writes sections for, and their groups: 0 road
// courses, 1 short tracks, 2 flat tracks, 3 intermediate tracks, 4 the
// 1.5 mile ovals, 5 the restrictor-plate tracks.
constexpr std::array<KnownSection, 25> kKnownSections = {{
    {"atlanta", 4},      {"bristol", 1},       {"bristol_night", 1},  {"california", 3},
    {"chicagoland", 4},  {"darlington", 3},    {"daytona", 5},        {"daytona_night", 5},
    {"dover", 3},        {"homestead", 2},     {"indianapolis", 3},   {"infineon", 0},
    {"kansas", 4},       {"las_vegas", 2},     {"lowes_night", 4},    {"martinsville", 1},
    {"michigan", 3},     {"north_carolina", 3}, {"new_hampshire", 2}, {"phoenix", 2},
    {"pocono", 2},       {"richmond_night", 1}, {"talladega", 5},     {"texas", 4},
    {"watkins_glen", 0},
}};

char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// NTFS keeps a folder's names in the order of their upper-cased characters.
bool listedBefore(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(upperAscii(x)) < static_cast<unsigned char>(upperAscii(y));
    });
}

}  // namespace

std::optional<std::size_t> groupOfSection(std::string_view name)
{
    for (const KnownSection& known : kKnownSections) {
        if (known.name == name) {
            return known.group;
        }
    }
    return std::nullopt;
}

std::optional<std::string> sectionName(std::string_view line)
{
    if (!line.starts_with('[')) {
        return std::nullopt;
    }
    if (line.size() < 2) {
        return std::string();
    }
    return std::string(line.substr(1, line.size() - 2));
}

PlayerRecords readRecords(std::string_view bytes)
{
    PlayerRecords records;
    records.RecordsText.reserve(bytes.size() + 64);
    for (const std::string& line : common::splitLines(bytes)) {
        records.RecordsText += line;
        records.RecordsText += common::kCrLf;
        if (std::optional<std::string> name = sectionName(line)) {
            records.Sections.push_back(std::move(*name));
            records.TrackTable.emplace_back();
        }
        if (records.Sections.empty()) {
            continue;  // before the first section: no row to go to
        }
        TrackRow& row = records.TrackTable.back();
        if (line.starts_with(kStrengthKey)) {
            row[0] = line.substr(kStrengthKey.size());
            if (const std::optional<std::size_t> group = groupOfSection(records.Sections.back())) {
                records.GroupSums[*group] += common::leadingNumber(row[0]);
            }
        }
        for (std::size_t key = 0; key < kLapKeys.size(); ++key) {
            if (line.starts_with(kLapKeys[key])) {
                row[key + 1] = line.substr(kLapKeys[key].size());
            }
        }
    }
    return records;
}

std::string writeStrengths(std::string_view text, const std::vector<std::string>& strengths)
{
    std::string out;
    out.reserve(text.size() + 64);
    std::size_t sections = 0;  // section lines so far; the current one is sections - 1
    for (const std::string& line : common::splitLines(text)) {
        if (sectionName(line)) {
            ++sections;
        }
        if (sections > 0 && sections <= strengths.size() && line.starts_with(kStrengthKey)) {
            out += kStrengthKey;
            out += strengths[sections - 1];
        } else {
            out += line;
        }
        out += common::kCrLf;
    }
    return out;
}

std::string savedBytes(const PlayerRecords& records)
{
    std::vector<std::string> strengths;
    strengths.reserve(records.TrackTable.size());
    for (const TrackRow& row : records.TrackTable) {
        strengths.push_back(row[0]);
    }
    std::string out = writeStrengths(records.RecordsText, strengths);
    out += common::kCrLf;
    return out;
}

std::vector<StrengthEdit> strengthEdits(const PlayerRecords& records, const std::vector<bool>& edited)
{
    std::vector<StrengthEdit> edits;
    const std::size_t rows = std::min({records.Sections.size(), records.TrackTable.size(), edited.size()});
    for (std::size_t row = 0; row < rows; ++row) {
        if (!edited[row]) {
            continue;
        }
        const std::string& name = records.Sections[row];
        const auto before = records.Sections.begin() + static_cast<std::ptrdiff_t>(row);
        const auto occurrence = static_cast<std::size_t>(std::count(records.Sections.begin(), before, name));
        edits.push_back({name, occurrence, records.TrackTable[row][0]});
    }
    return edits;
}

MergedStrengths mergeStrengths(std::string_view bytes, const std::vector<StrengthEdit>& edits)
{
    MergedStrengths merged;
    merged.bytes.reserve(bytes.size() + 64);
    std::vector<bool> placed(edits.size(), false);
    std::map<std::string, std::size_t> sectionsSeen;  // by name, the sections of that name so far
    std::optional<std::size_t> edit;                  // the edit of the current section, if any
    for (const std::string& line : common::splitLines(bytes)) {
        if (std::optional<std::string> name = sectionName(line)) {
            const std::size_t occurrence = sectionsSeen[*name]++;
            const auto found = std::find_if(edits.begin(), edits.end(), [&](const StrengthEdit& e) {
                return e.section == *name && e.occurrence == occurrence;
            });
            edit = found == edits.end() ? std::nullopt
                                        : std::optional<std::size_t>(static_cast<std::size_t>(found - edits.begin()));
        }
        if (edit && line.starts_with(kStrengthKey)) {
            merged.bytes += kStrengthKey;
            merged.bytes += edits[*edit].strength;
            placed[*edit] = true;
        } else {
            merged.bytes += line;
        }
        merged.bytes += common::kCrLf;
    }
    merged.bytes += common::kCrLf;
    for (std::size_t i = 0; i < edits.size(); ++i) {
        if (placed[i]) {
            merged.placed = true;
        } else if (std::find(merged.missing.begin(), merged.missing.end(), edits[i].section) ==
                   merged.missing.end()) {
            merged.missing.push_back(edits[i].section);
        }
    }
    return merged;
}

std::filesystem::path playersFolder(std::string_view gameDirectory)
{
    return platform::joinGamePath(gameDirectory, "\\players");
}

std::filesystem::path recordsPath(const std::filesystem::path& playersFolder, std::string_view playerUtf8)
{
    return playersFolder / platform::toPath(playerUtf8) / "playrecs.ini";
}

bool isPlayerName(std::string_view name)
{
    return name != "." && name != ".." && !name.ends_with(".ks");
}

PlayerList ListPlayers(const std::filesystem::path& playersFolder)
{
    PlayerList list;
    if (!platform::folderExists(playersFolder) || !platform::canListFolder(playersFolder)) {
        return list;
    }
    list.folderFound = true;
    for (platform::DirEntry& entry : platform::listVisible(playersFolder)) {
        if (isPlayerName(entry.name)) {
            list.names.push_back(std::move(entry.name));
        }
    }
    std::stable_sort(list.names.begin(), list.names.end(), listedBefore);
    return list;
}

RecordsStatus LoadRecords(const std::filesystem::path& playersFolder, std::string_view playerUtf8,
                          PlayerRecords& records)
{
    // Something of that name that is no readable file (a folder, a file
    // without read rights) is reported as unreadable, not as missing.
    const std::filesystem::path path = recordsPath(playersFolder, playerUtf8);
    if (!platform::pathExists(path)) {
        return RecordsStatus::Missing;
    }
    const std::optional<std::string> bytes = platform::readFile(path);
    if (!bytes) {
        return RecordsStatus::ReadFailed;
    }
    records = readRecords(*bytes);
    return RecordsStatus::Ok;
}

SaveOutcome SaveRecords(const std::filesystem::path& playersFolder, std::string_view playerUtf8,
                        const std::vector<StrengthEdit>& edits)
{
    // The strengths go into the file as it is now, not as it was read: what
    // the game wrote since (lap records, other strengths) stays. A file that
    // vanished since it was read is not made anew from memory: the save
    // fails and the user hears of it.
    const std::filesystem::path path = recordsPath(playersFolder, playerUtf8);
    if (!platform::fileExists(path)) {
        return {RecordsStatus::WriteFailed, {}, false};
    }
    const std::optional<std::string> current = platform::readFile(path);
    if (!current) {
        return {RecordsStatus::WriteFailed, {}, false};
    }
    MergedStrengths merged = mergeStrengths(*current, edits);
    if (merged.placed && !platform::writeFileAtomic(path, merged.bytes)) {
        return {RecordsStatus::WriteFailed, {}, false};
    }
    return {RecordsStatus::Ok, std::move(merged.missing), merged.placed};
}

}  // namespace gm::autoai
