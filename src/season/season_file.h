// Season schedule files of the game (series\cup\<season>.ini): the event
// table a schedule is kept in, the writer, the reader, and which files of
// the season folder count as seasons.
//
// Writer and reader are positional: the reader finds every value at fixed
// character places of the lines the writer produces, so the layout below
// must stay exactly as it is.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/atomic_write.h"

namespace gm::season {

// The event table has 100 rows; a season holds at most 99 events because an
// event header carries a two-digit number.
inline constexpr int kTableRows = 100;
inline constexpr int kMaxEvents = 99;

// The seven texts of an event row, in this order.
enum EventColumn : std::size_t {
    kNumber = 0,  // "1" to "99": row + 1, never moved
    kDay = 1,
    kMonth = 2,
    kName = 3,
    kLaps = 4,
    kTrack = 5,  // a folder of the tracks folder
    kGrid = 6,   // "1" pole on the left, "2" pole on the right
};
inline constexpr std::size_t kColumns = 7;

using EventRow = std::array<std::string, kColumns>;
using EventTable = std::array<EventRow, kTableRows>;

// One season in memory. All texts are bytes of the game's code page.
struct Schedule {
    std::string name;
    std::string year;
    int eventCount = 0;  // rows 0 to eventCount - 1 are the events, in race order
    EventTable events;
};

// The whole file for a schedule: one block of seven lines and an empty line
// per event, then the four season lines; every line ends in CR LF.
std::string writeSchedule(const Schedule& schedule);

// Writes the file atomically; the result says whether it worked.
platform::WriteResult saveSchedule(const std::filesystem::path& file, const Schedule& schedule);

struct ReadResult {
    EventTable events;
    // The event names in race order: the entries of the event list. The
    // event count is the number of names (the event blocks read).
    std::vector<std::string> eventNames;
    std::string name;
    std::string year;
    // False when the file does not follow the layout; everything read
    // before the fault is kept (complete event blocks, and the season name
    // and year when their block was complete).
    bool valid = true;
};

// Reads a schedule by the fixed character places of the layout. Never
// fails on odd input: a file that does not follow the layout comes back
// with valid == false.
ReadResult readSchedule(std::string_view bytes);

// Season names of the season folder: every visible plain file matching
// "*.ini" directly in it, less the last four characters of its name, in
// listing order.
std::vector<std::string> listSeasons(const std::filesystem::path& seasonFolder);

// The visible season file of that name: name + ".ini", the extension and
// the name matched without regard to case (every letter on Windows, as its
// file systems compare names; ASCII letters elsewhere), an exact match
// preferred. Nothing when there is none.
std::optional<std::filesystem::path> findSeasonFile(const std::filesystem::path& seasonFolder, std::string_view name);

// The file a season of that name is read from, deleted or saved to: the
// existing file when there is one (so "Cup.INI" is not saved again beside
// itself as "Cup.ini"), else name + ".ini".
std::filesystem::path seasonFilePath(const std::filesystem::path& seasonFolder, std::string_view name);

// True when the season file of that name exists as a visible file.
bool seasonFileExists(const std::filesystem::path& seasonFolder, std::string_view name);

// Entries of the tracks folder offered for an event: every visible entry,
// plain files included, except "shared" (any case on Windows, where that
// is the same folder; exact case elsewhere), in listing order.
std::vector<std::string> listTracks(const std::filesystem::path& tracksFolder);

}  // namespace gm::season
