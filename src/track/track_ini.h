// A track's attribute file, track.ini: the twelve key lines the track editor
// shows, how their values are read and how the file is rewritten with new
// values while every other byte stays as it was.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace gm::track {

inline constexpr std::size_t kKeyCount = 12;

// The twelve value texts of a track, in key order.
using TrackValues = std::array<std::string, kKeyCount>;

// The line prefixes of the twelve keys, in key order. A line carries a key
// when it starts, at its first character, with the exact prefix (case
// matters, no leading blanks); the value follows the prefix directly.
inline constexpr std::array<std::string_view, kKeyCount> kKeyPrefixes = {
    "track_tire_heat = ",     "track_tire_wear = ",   "track_tire_wear_loss = ",
    "track_tire_wear_exp = ", "track_asphalt_grip = ", "track_concrete_grip = ",
    "ai_accel_modifier = ",   "ai_decel_modifier = ", "ai_fuel_use = ",
    "ai_grip_modifier = ",    "ai_drag_modifier = ",  "ai_qual_modifier = ",
};

// Where a key's value starts, counting characters from 1: the character
// right after the prefix.
constexpr std::size_t valueStart(std::size_t key)
{
    return kKeyPrefixes[key].size() + 1;
}

// The key a line carries (the first prefix, in key order, that the line
// starts with), or nothing.
std::optional<std::size_t> keyOfLine(std::string_view line);

// The value that starts at character `valueStart` (counted from 1): the
// characters up to, not including, the first blank after it. TABs and any
// other byte belong to the value. A value with no blank after it ends at the
// line end, or at a lone LF (which the line rule keeps inside a line).
std::string GetValue(std::string_view line, std::size_t valueStart);

// The line with its value replaced: everything before the value, the new
// text, one blank, then everything after the first blank that followed the
// old value, so the further blanks and any comment keep their place relative
// to the value's end. When the old value ran to the line end, the new text
// ends the line as well (no blank is added); when a lone LF ended it, the LF
// and everything after it follow the new text unchanged.
std::string ReplaceValue(std::string_view line, std::size_t valueStart, std::string_view newValue);

// The twelve values of a file's bytes: each key's value from the last line
// that carries it; keys without a line stay empty.
TrackValues readValues(std::string_view bytes);

// The file's bytes with the values put in: every line that carries a key
// gets that key's new value, every other line is kept as it is; each line
// is followed by CR LF and one further CR LF ends the file. Keys the file
// lacks are not added.
std::string writeValues(std::string_view bytes, const TrackValues& values);

// The track.ini of a track folder (its name as listed) in the game's tracks folder.
std::filesystem::path trackIniPath(const std::filesystem::path& tracksFolder, std::string_view trackFolderUtf8);

enum class FileStatus {
    Ok,
    Missing,     // no file of that name
    ReadFailed,  // the file exists but could not be read
    WriteFailed, // the new content could not be written; the old file is kept
};

struct ReadResult {
    FileStatus status = FileStatus::Missing;
    TrackValues values;
};

// Reads the twelve values of a track.ini.
ReadResult readTrackIni(const std::filesystem::path& path);

struct SaveResult {
    FileStatus status = FileStatus::Missing;
    std::string error;  // the system's reason for ReadFailed / WriteFailed
};

// Rewrites a track.ini with new values, atomically. A missing file is not
// created.
SaveResult writeTrackIni(const std::filesystem::path& path, const TrackValues& values);

}  // namespace gm::track
