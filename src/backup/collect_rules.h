// How a backup picks game files: the categories of Preview, the walk of a
// category's folder, the extension rule and the car number of a car file.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
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

// One file of the list Preview makes: its path below the game directory as
// the list and the index show it ("\players\Ann\playrecs.ini", UTF-8), and
// whether it is checked, that is to be backed up.
struct ListedFile {
    std::string relative;
    bool checked = true;
};

// The files below `startFolder` (relative to the game directory, ending
// with a backslash: "\players\"), depth first, so that a folder's files come
// where the folder is met, each folder in the order Windows lists it; hidden
// and system entries are left out. A file is taken when the extension rule
// takes it; it is checked as `checked` says, except that with
// `carsByNumber` a ".car" file numbered kFirstExcludedCarNumber or more gets
// the opposite. A folder that links back to one being listed is entered
// once.
std::vector<ListedFile> CollectFiles(const std::filesystem::path& gameDirectory, const std::string& startFolder,
                                     std::string_view extension, bool checked, bool carsByNumber = false);

// How the car files are picked: all checked, all unchecked to check by
// hand, or those numbered 0 to 99 checked.
enum class CarChoice { Every, ByHand, ByNumber };

// The categories of Preview, in its order, each taken or not.
struct PreviewChoices {
    bool exportsImports = true;
    bool players = true;
    bool askPerPlayer = false;  // every player's files, checked only for the players answered Yes
    bool replays = true;
    bool seasons = true;
    bool rosters = true;
    bool cars = true;
    CarChoice carChoice = CarChoice::Every;
    bool tracks = true;
};

// Asked once per player folder, in listing order, when the choices say so:
// true to check that player's files.
using PlayerQuestion = std::function<bool(const std::string& player)>;

// Preview: the files of every chosen category whose folder exists, category
// after category.
std::vector<ListedFile> previewFiles(const std::filesystem::path& gameDirectory, const PreviewChoices& choices,
                                     const PlayerQuestion& askPlayer);

}  // namespace gm::backup
