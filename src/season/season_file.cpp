#include "season/season_file.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/lines.h"
#include "common/numbers.h"
#include "platform/fs.h"

namespace gm::season {

namespace {

constexpr std::string_view kTabs = "\t\t\t";
constexpr std::string_view kSeasonHeader = "[ Season ]";

// The comments whose lengths the reader drops from the ends of the name,
// track and year lines, and the keys it drops from their starts.
constexpr std::string_view kEventNameComment = "; Name of the event";
constexpr std::string_view kTrackComment = "; Directory for the track data";
constexpr std::string_view kSeasonNameComment = "; Name of the season";
constexpr std::string_view kYearComment = "; Year for the season";
constexpr std::string_view kNameKey = "name = ";
constexpr std::string_view kYearKey = "year = ";
constexpr std::string_view kTrackKey = "trackDirectory = ";

void appendLine(std::string& out, std::string_view a, std::string_view b = {}, std::string_view c = {},
                std::string_view d = {})
{
    out += a;
    out += b;
    out += c;
    out += d;
    out += common::kCrLf;
}

// Characters `count` characters long from the 1-based place `start`, as much
// of them as the line has.
std::string_view mid(std::string_view line, std::size_t start, std::size_t count = std::string_view::npos)
{
    if (start - 1 >= line.size()) {
        return {};
    }
    return line.substr(start - 1, count);
}

// The plain decimal text of the number those characters begin with, with
// the digits the file holds (a long race keeps every digit of its laps).
std::string numberAt(std::string_view line, std::size_t start, std::size_t count = std::string_view::npos)
{
    std::string text = common::leadingNumberText(mid(line, start, count));
    // ".5" in a two-character place reads as 0.5; written back as "0.5" it
    // would no longer fit its place and read as 0. Kept without the leading
    // zero, the value survives a save and a load.
    if (count != std::string_view::npos && text.size() > count && text.starts_with("0.")) {
        text.erase(0, 1);
    }
    return text;
}

// The line less its first `key` and last `comment` characters, with
// trailing blanks and TABs dropped; false when the line is shorter than
// the two parts together.
bool textBetween(std::string_view line, std::size_t key, std::size_t comment, std::string& text)
{
    if (line.size() < key + comment) {
        return false;
    }
    std::string_view rest = line.substr(key, line.size() - key - comment);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) {
        rest.remove_suffix(1);
    }
    text.assign(rest);
    return true;
}

// Hands out the lines of a file one at a time; nothing past the end.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : lines_(common::splitLines(bytes))
    {
        // Empty lines after the last line (an extra CR LF an editor added)
        // are not part of the layout.
        while (!lines_.empty() && lines_.back().empty()) {
            lines_.pop_back();
        }
    }
    const std::string* next() { return at_ < lines_.size() ? &lines_[at_++] : nullptr; }
    bool atEnd() const { return at_ >= lines_.size(); }

private:
    std::vector<std::string> lines_;
    std::size_t at_ = 0;
};

// Reads the six lines of an event block after its header into `row`.
bool readEventBody(LineReader& lines, EventRow& row)
{
    const std::string* day = lines.next();
    const std::string* month = lines.next();
    const std::string* name = lines.next();
    const std::string* laps = lines.next();
    const std::string* track = lines.next();
    const std::string* grid = lines.next();
    if (grid == nullptr) {
        return false;
    }
    row[kDay] = numberAt(*day, 7, 2);
    row[kMonth] = numberAt(*month, 9, 2);
    // Laps are read from character 16 to the end of the number, so that
    // races of 1000 laps or more survive a load and a save.
    row[kLaps] = numberAt(*laps, 16);
    row[kGrid] = numberAt(*grid, 16, 1);
    return textBetween(*name, kNameKey.size(), kEventNameComment.size(), row[kName]) &&
           textBetween(*track, kTrackKey.size(), kTrackComment.size(), row[kTrack]);
}

// The event count is the number of blocks read, and rows 0 to count - 1
// are the events. The list names them in race order, the order a save
// writes them in, so that each list entry shows its own event even when a
// hand-edited file has its blocks out of order. Numbers repeated or skipped
// leave one of those rows empty: saving would then write an event without a
// number and drop another, so such a file is reported.
ReadResult finish(ReadResult result, std::size_t blocks)
{
    for (std::size_t r = 0; r < blocks; ++r) {
        if (result.events[r][kNumber].empty()) {
            result.valid = false;
        }
        result.eventNames.push_back(result.events[r][kName]);
    }
    return result;
}

}  // namespace

std::string writeSchedule(const Schedule& schedule)
{
    std::string out;
    const int count = std::clamp(schedule.eventCount, 0, kTableRows);
    for (int r = 0; r < count; ++r) {
        const EventRow& row = schedule.events[static_cast<std::size_t>(r)];
        appendLine(out, "[ Event", row[kNumber], " ]");
        appendLine(out, "day = ", row[kDay], kTabs, "; Day of the event [1-31]");
        appendLine(out, "month = ", row[kMonth], kTabs, "; Month of the event [1-12]");
        appendLine(out, kNameKey, row[kName], kTabs, kEventNameComment);
        appendLine(out, "numberOfLaps = ", row[kLaps], kTabs, "; Number of laps for the race session");
        appendLine(out, kTrackKey, row[kTrack], kTabs, kTrackComment);
        // The comment names the left-side grid whatever the value is.
        appendLine(out, "startingGrid = ", row[kGrid], kTabs, "; Starting grid: grid_2x2_InLinePoleOnLeft");
        appendLine(out, "");
    }
    appendLine(out, kSeasonHeader);
    appendLine(out, kNameKey, schedule.name, kTabs, kSeasonNameComment);
    appendLine(out, "numEvents = ", std::to_string(count), kTabs, "; Number of events in the season");
    appendLine(out, kYearKey, schedule.year, kTabs, kYearComment);
    return out;
}

platform::WriteResult saveSchedule(const std::filesystem::path& file, const Schedule& schedule)
{
    return platform::writeFileAtomic(file, writeSchedule(schedule));
}

ReadResult readSchedule(std::string_view bytes)
{
    ReadResult result;
    LineReader lines(bytes);
    const std::string* line = lines.next();
    std::size_t blocks = 0;

    // Event blocks, up to the season header. The number in the header, not
    // the block's place, chooses the row.
    while (true) {
        if (line == nullptr) {
            result.valid = false;  // no season block at all
            return finish(std::move(result), blocks);
        }
        if (std::string_view(*line).substr(0, kSeasonHeader.size()) == kSeasonHeader) {
            break;
        }
        const double number = common::leadingNumber(mid(*line, 8, 2));
        // More blocks than a schedule can hold (numbers repeated) do not
        // fit the table or the event list.
        if (!(number >= 1.0 && number <= kMaxEvents) || blocks >= kMaxEvents) {
            result.valid = false;
            return finish(std::move(result), blocks);
        }
        EventRow row;
        row[kNumber] = common::plainDecimal(number);
        if (!readEventBody(lines, row)) {
            result.valid = false;
            return finish(std::move(result), blocks);
        }
        const auto index = static_cast<std::size_t>(std::nearbyint(number - 1.0));
        result.events[index] = row;
        ++blocks;
        lines.next();  // the empty line after the block
        line = lines.next();
    }

    // The season block: name, the numEvents line (the count comes from the
    // event headers instead), year. A file of the program's own ends with
    // the year line, so this runs once.
    int passes = 0;
    while (!lines.atEnd()) {
        const std::string* name = lines.next();
        lines.next();
        const std::string* year = lines.next();
        std::string nameText;
        std::string yearText;
        if (year == nullptr || !textBetween(*name, kNameKey.size(), kSeasonNameComment.size(), nameText) ||
            !textBetween(*year, kYearKey.size(), kYearComment.size(), yearText)) {
            result.valid = false;
            return finish(std::move(result), blocks);
        }
        result.name = std::move(nameText);
        result.year = std::move(yearText);
        ++passes;
    }
    if (passes == 0) {
        result.valid = false;
    }
    return finish(std::move(result), blocks);
}

std::vector<std::string> listSeasons(const std::filesystem::path& seasonFolder)
{
    std::vector<std::string> names;
    for (const platform::DirEntry& entry : platform::listVisible(seasonFolder)) {
        if (!entry.isFolder && platform::wildcardMatch("*.ini", entry.name)) {
            names.push_back(entry.name.substr(0, entry.name.size() - 4));
        }
    }
    return names;
}

std::optional<std::filesystem::path> findSeasonFile(const std::filesystem::path& seasonFolder, std::string_view name)
{
    // The listing gives a season's name as its file name less the last four
    // characters, whatever the case of ".ini"; find that file again. An
    // exact "name.ini" wins over a name that differs only in case.
    const std::string fileName = std::string(name) + ".ini";
    std::optional<std::filesystem::path> found;
    for (const platform::DirEntry& entry : platform::listVisible(seasonFolder)) {
        if (entry.isFolder || !platform::equalIgnoringCase(entry.name, fileName)) {
            continue;
        }
        if (entry.name == fileName) {
            return seasonFolder / platform::toPath(entry.name);
        }
        if (!found) {
            found = seasonFolder / platform::toPath(entry.name);
        }
    }
    return found;
}

std::filesystem::path seasonFilePath(const std::filesystem::path& seasonFolder, std::string_view name)
{
    return findSeasonFile(seasonFolder, name).value_or(seasonFolder / platform::toPath(std::string(name) + ".ini"));
}

bool seasonFileExists(const std::filesystem::path& seasonFolder, std::string_view name)
{
    return findSeasonFile(seasonFolder, name).has_value();
}

std::vector<std::string> listTracks(const std::filesystem::path& tracksFolder)
{
    std::vector<std::string> names;
    for (const platform::DirEntry& entry : platform::listVisible(tracksFolder)) {
        if (!platform::sameEntryName(entry.name, "shared")) {
            names.push_back(entry.name);
        }
    }
    return names;
}

}  // namespace gm::season
