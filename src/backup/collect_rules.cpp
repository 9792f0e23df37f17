#include "backup/collect_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

}  // namespace gm::backup
