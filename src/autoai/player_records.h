// A player's records file, playrecs.ini: where the players and their files
// lie, which lines are read (section lines, the AI strength and the six
// best lap times), the six track groups the known sections belong to, and
// how the strengths are written back while every other byte stays.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gm::autoai {

inline constexpr std::string_view kStrengthKey = "AutoAIStrength=";

// Column 0 of a track row is the strength; columns 1 to 6 the lap times of
// these keys, in this order.
inline constexpr std::size_t kColumnCount = 7;
inline constexpr std::array<std::string_view, 6> kLapKeys = {
    "BestLap_Arc_CUP_All_Laptime=", "BestLap_Arc_CUP_Qual_Laptime=", "BestLap_Arc_CUP_Race_Laptime=",
    "BestLap_Sim_CUP_All_Laptime=", "BestLap_Sim_CUP_Qual_Laptime=", "BestLap_Sim_CUP_Race_Laptime=",
};

inline constexpr std::size_t kGroupCount = 6;
using GroupValues = std::array<double, kGroupCount>;

// The track group (0 to 5) of a section name, compared exactly; nothing for
// a section outside the 25 known tracks.
std::optional<std::size_t> groupOfSection(std::string_view name);

// The value texts of one section: strength, then the six lap times.
using TrackRow = std::array<std::string, kColumnCount>;

// The records of one player as read.
struct PlayerRecords {
    // The file as read, every line followed by CR LF.
    std::string RecordsText;
    // The section names in file order; Sections[i] belongs to TrackTable[i].
    std::vector<std::string> Sections;
    std::vector<TrackRow> TrackTable;
    // Per group, the sum of the numeric strengths of its sections.
    GroupValues GroupSums{};
};

// The section name of a section line (a line whose first character is "["):
// the line without its first and last character; "[" alone names the
// section "". Nothing for any other line.
std::optional<std::string> sectionName(std::string_view line);

// Reads a records file's bytes. A line ends at CR LF or a lone CR. Values
// are the rest of their line after the key, exactly. Key lines before the
// first section line belong to no section and are not interpreted; a
// repeated key inside a section replaces the earlier value in the table
// (both strengths count in the group sum).
PlayerRecords readRecords(std::string_view bytes);

// The text with the strengths put in: the strength of section k replaces
// everything after the key on each line of section k that begins with
// "AutoAIStrength=". Every other byte stays: a section without a strength
// line (or without an entry in `strengths`) gets nothing, and the key inside
// a line is no key. Lines are split as readRecords splits them and each is
// followed by CR LF, so a RecordsText comes back with only its values
// changed.
std::string writeStrengths(std::string_view text, const std::vector<std::string>& strengths);

// The bytes a save writes: the records text with the strengths of column 0
// of the table put in, followed by one more CR LF.
std::string savedBytes(const PlayerRecords& records);

// A strength set in the editor and the section it belongs to: the section's
// name and which of the sections of that name it is, counted from 0 in file
// order (a file may name a section twice).
struct StrengthEdit {
    std::string section;
    std::size_t occurrence = 0;
    std::string strength;
};

// The strengths of the table rows marked in `edited` (one flag per row), each
// with its section.
std::vector<StrengthEdit> strengthEdits(const PlayerRecords& records, const std::vector<bool>& edited);

struct MergedStrengths {
    // The bytes to write: the text with the edited strengths put in and one
    // more CR LF, lines split and ended as savedBytes does.
    std::string bytes;
    // The sections of the edits that found no strength line (the section is
    // gone, or has no such line), in edit order, each name once.
    std::vector<std::string> missing;
    // At least one edit found its place.
    bool placed = false;
};

// Puts edited strengths into a records file's text as it is now, which may
// differ from the text they were made on (the game writes the file after a
// race): every strength line of an edit's section gets the edit's strength,
// and every other byte stays, the strengths of the sections not edited
// included.
MergedStrengths mergeStrengths(std::string_view bytes, const std::vector<StrengthEdit>& edits);

// game directory + "\players".
std::filesystem::path playersFolder(std::string_view gameDirectory);
// players folder + "\" + player + "\playrecs.ini".
std::filesystem::path recordsPath(const std::filesystem::path& playersFolder, std::string_view playerUtf8);

// A name of the players folder that counts as a player: not "." or "..",
// and not ending in ".ks" (case matters: "Ann.KS" is a player).
bool isPlayerName(std::string_view name);

struct PlayerList {
    bool folderFound = false;
    std::vector<std::string> names;  // UTF-8
};

// The players of a players folder: its visible entries, files and folders
// alike, that pass isPlayerName, ordered as an NTFS listing orders them
// (letters compared without case) whatever the file system's own order.
PlayerList ListPlayers(const std::filesystem::path& playersFolder);

enum class RecordsStatus {
    Ok,
    Missing,     // no records file
    ReadFailed,  // the file exists but could not be read
    WriteFailed, // the new content could not be written; the old file is kept
};

// Reads a player's records file into `records` (left as it was unless Ok).
RecordsStatus LoadRecords(const std::filesystem::path& playersFolder, std::string_view playerUtf8,
                          PlayerRecords& records);

struct SaveOutcome {
    RecordsStatus status = RecordsStatus::Ok;  // Ok or WriteFailed
    // The sections whose strength the file no longer had a place for; they
    // were not saved, the others were.
    std::vector<std::string> missing;
    // The file was written (some edit found its place).
    bool written = false;
};

// Reads the player's records file again and writes the edited strengths into
// it as it is now, atomically. A file that is gone or unreadable, or a failed
// write, is WriteFailed and leaves the file as it was. When no edit finds its
// section the file is not written at all.
SaveOutcome SaveRecords(const std::filesystem::path& playersFolder, std::string_view playerUtf8,
                        const std::vector<StrengthEdit>& edits);

}  // namespace gm::autoai
