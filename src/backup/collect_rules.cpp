#include "backup/collect_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <system_error>

#include "backup/name_case.h"
#include "common/lines.h"
#include "common/numbers.h"

namespace gm::backup {

bool takesFile(std::string_view fileName, std::string_view extension)
{
    return extension == kAnyExtension || fileName.ends_with(extension);
}

void sortAsWindowsLists(std::vector<platform::DirEntry>& entries)
{
    std::vector<std::pair<std::string, platform::DirEntry>> keyed;
    keyed.reserve(entries.size());
    for (platform::DirEntry& entry : entries) {
        std::string key = upperCaseName(entry.name);
        keyed.emplace_back(std::move(key), std::move(entry));
    }
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
    });
    entries.clear();
    for (auto& [key, entry] : keyed) {
        entries.push_back(std::move(entry));
    }
}

std::optional<int> carNumber(std::string_view carFile)
{
    static constexpr std::string_view kKey = "car_number=";
    for (const std::string& line : common::splitLines(carFile)) {
        if (!line.starts_with(kKey)) {
            continue;
        }
        const double value = common::leadingNumber(std::string_view(line).substr(kKey.size(), 4));
        // Four characters hold at most 9999 (or 9E99 with an exponent):
        // clamp so that the conversion stays defined.
        if (!std::isfinite(value)) {
            return 0;
        }
        const double limit = std::numeric_limits<int>::max();
        return static_cast<int>(std::clamp(std::trunc(value), -limit, limit));
    }
    return std::nullopt;
}

namespace {

namespace fs = std::filesystem;

void collectBelow(const fs::path& gameDirectory, const std::string& startFolder, std::string_view extension,
                  bool checked, bool carsByNumber, std::set<fs::path>& ancestors, std::vector<ListedFile>& out)
{
    const fs::path folder = platform::appendGamePath(gameDirectory, startFolder);
    // A folder that links back to one being listed would make the walk
    // endless: each real folder is entered once on the way down.
    std::error_code ec;
    const fs::path real = fs::canonical(folder, ec);
    if (ec || !ancestors.insert(real).second) {
        return;
    }
    std::vector<platform::DirEntry> listing = platform::listVisible(folder);
    sortAsWindowsLists(listing);
    for (const platform::DirEntry& entry : listing) {
        const std::string relative = startFolder + entry.name;
        if (entry.isFolder) {
            collectBelow(gameDirectory, relative + "\\", extension, checked, carsByNumber, ancestors, out);
            continue;
        }
        if (!takesFile(entry.name, extension)) {
            continue;
        }
        bool state = checked;
        if (extension == ".car" && carsByNumber) {
            const std::optional<std::string> bytes = platform::readFile(folder / platform::toPath(entry.name));
            const std::optional<int> number = bytes ? carNumber(*bytes) : std::nullopt;
            if (number && *number >= kFirstExcludedCarNumber) {
                state = !checked;
            }
        }
        out.push_back({relative, state});
    }
    ancestors.erase(real);
}

}  // namespace

std::vector<ListedFile> CollectFiles(const fs::path& gameDirectory, const std::string& startFolder,
                                     std::string_view extension, bool checked, bool carsByNumber)
{
    std::vector<ListedFile> files;
    std::set<fs::path> ancestors;
    collectBelow(gameDirectory, startFolder, extension, checked, carsByNumber, ancestors, files);
    return files;
}

std::vector<ListedFile> previewFiles(const fs::path& gameDirectory, const PreviewChoices& choices,
                                     const PlayerQuestion& askPlayer)
{
    std::vector<ListedFile> files;
    const auto exists = [&gameDirectory](std::string_view relative) {
        return platform::folderExists(platform::appendGamePath(gameDirectory, relative));
    };
    const auto collect = [&](const std::string& startFolder, std::string_view extension, bool checked,
                             bool carsByNumber = false) {
        std::vector<ListedFile> found = CollectFiles(gameDirectory, startFolder, extension, checked, carsByNumber);
        files.insert(files.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    };
    if (choices.exportsImports && exists("\\exports_imports")) {
        collect("\\exports_imports\\", kAnyExtension, true);
    }
    if (choices.players && exists("\\players")) {
        if (!choices.askPerPlayer) {
            collect("\\players\\", kAnyExtension, true);
        } else {
            // Every player's folder, asked for in the order they are listed;
            // files lying directly in the players folder are not listed.
            std::vector<std::string> players;
            std::vector<platform::DirEntry> listing =
                platform::listVisible(platform::appendGamePath(gameDirectory, "\\players"));
            sortAsWindowsLists(listing);
            for (const platform::DirEntry& entry : listing) {
                if (entry.isFolder) {
                    players.push_back(entry.name);
                }
            }
            for (const std::string& player : players) {
                const bool yes = askPlayer && askPlayer(player);
                collect("\\players\\" + player + "\\", kAnyExtension, yes);
            }
        }
    }
    if (choices.replays && exists("\\replay")) {
        collect("\\replay\\", ".rpy", true);
    }
    if (choices.seasons && exists("\\series\\cup")) {
        collect("\\series\\cup\\", ".ini", true);
    }
    if (choices.rosters && exists("\\series\\cup\\cars")) {
        collect("\\series\\cup\\cars\\", ".lst", true);
    }
    if (choices.cars && exists("\\series\\cup\\cars")) {
        collect("\\series\\cup\\cars\\", ".car", choices.carChoice != CarChoice::ByHand,
                choices.carChoice == CarChoice::ByNumber);
    }
    if (choices.tracks && exists("\\tracks")) {
        collect("\\tracks\\", ".ini", true);
    }
    return files;
}

}  // namespace gm::backup
