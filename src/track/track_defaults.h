// The track defaults file defaultTrackini.dat beside the program: records of
// thirteen quoted fields, a track folder name and its twelve default values
// in key order. How the fields are spread over lines does not matter.
#pragma once

#include <filesystem>
#include <string_view>

#include "track/track_ini.h"

namespace gm::track {

inline constexpr std::string_view kDefaultsFileName = "defaultTrackini.dat";

enum class DefaultsStatus {
    Found,       // `values` holds the track's record
    NotFound,    // no record carries the name
    MissingFile, // the defaults file is not there (or cannot be read)
    Incomplete,  // a record of the name ends before its twelve values
};

struct DefaultsResult {
    DefaultsStatus status = DefaultsStatus::NotFound;
    TrackValues values;
};

// Looks for the track's record in the bytes of a defaults file. Every field
// is compared with the name (case matters), values included, and reading
// goes on to the end, so a later record of the same name wins.
DefaultsResult findDefaults(std::string_view bytes, std::string_view trackName);

// The defaults file: the one beside the program when there is one (portable
// use), else the one in the installed data folder; the application folder's
// path when neither exists.
std::filesystem::path defaultsPath(const std::filesystem::path& applicationFolder);

// Reads the defaults file and looks for the track.
DefaultsResult readDefaults(const std::filesystem::path& applicationFolder, std::string_view trackName);

}  // namespace gm::track
