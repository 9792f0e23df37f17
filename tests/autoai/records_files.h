// Records files for the auto AI tests, written as the game writes them.
#pragma once

#include <string>
#include <vector>

#include "autoai/player_records.h"

namespace gm::test {

// A section as the game writes it: its line, a line the editor ignores, the
// strength, the lap times given (in key order), and one more ignored line.
inline std::string section(const std::string& name, const std::string& strength,
                           const std::vector<std::string>& laps)
{
    std::string out = "[" + name + "]\r\nRacesRun=3\r\nAutoAIStrength=" + strength + "\r\n";
    for (std::size_t i = 0; i < laps.size() && i < autoai::kLapKeys.size(); ++i) {
        out += std::string(autoai::kLapKeys[i]) + laps[i] + "\r\n";
    }
    return out + "LastCar=car01\r\n";
}

// The strengths of a table, column 0.
inline std::vector<std::string> strengthsOf(const autoai::PlayerRecords& records)
{
    std::vector<std::string> out;
    for (const autoai::TrackRow& row : records.TrackTable) {
        out.push_back(row[0]);
    }
    return out;
}

}  // namespace gm::test
