// The rules by which the backup window picks files of a category: the
// extension rule and the car number of a car file.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "platform/fs.h"

namespace gm::backup {

// The extension that takes every file.
inline constexpr std::string_view kAnyExtension = ".*";

// True when a file of this name belongs to a category with this extension:
// ".*" takes every file; any other extension must end the name exactly,
// letter case included (".ini" does not take "TRACK.INI").
bool takesFile(std::string_view fileName, std::string_view extension);

// The car number of a car file: the first line that begins with
// "car_number=" (exact case, first column) holds it, as the number that the
// up to four characters after the "=" begin with (leading blanks skipped, no
// digits giving 0). Nothing when no line carries it.
std::optional<int> carNumber(std::string_view carFile);

// Puts a folder's entries in the order Windows lists them on NTFS: by their
// names in capitals (ASCII and Latin-1 letters), whatever order this file
// system gave. Names equal but for letter case (possible off Windows) keep
// a fixed order among themselves.
void sortAsWindowsLists(std::vector<platform::DirEntry>& entries);

// Car files numbered this or above are left unchecked when the cars are
// picked by number.
inline constexpr int kFirstExcludedCarNumber = 100;

}  // namespace gm::backup
