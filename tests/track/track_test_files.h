// Track files for the track editor tests.
#pragma once

#include <string>

#include "support/file_size_limit.h"
#include "track/track_ini.h"

namespace gm::test {

// A track.ini as the game ships them, with the awkward parts the editor
// must keep: comments, blanks, a TAB inside a value, non-ASCII bytes,
// unknown keys, a wrong-case key, a key with leading blanks and a value at
// the very end of its line.
inline std::string sampleTrackIni()
{
    return "// Atlanta Motor Speedway \xa9 1999\r\n"
           "[track]\r\n"
           "track_name = Atlanta\r\n"
           "track_tire_heat = 1.00  // heat \xe9\xe8\r\n"
           "track_tire_wear = 1.05 // wear\r\n"
           "track_tire_wear_loss = 30.0   \t// loss\r\n"
           "track_tire_wear_exp = 0.80\t \r\n"
           "Track_Asphalt_Grip = 9.99 // wrong case, not the key\r\n"
           "track_asphalt_grip = 1.02 \r\n"
           "   track_concrete_grip = 7.77 // leading blanks, not the key\r\n"
           "track_concrete_grip = 0.98 // concrete\r\n"
           "\r\n"
           "[ai]\r\n"
           "ai_accel_modifier = 1.000 // accel\r\n"
           "ai_decel_modifier = 1.000 // decel\r\n"
           "ai_fuel_use = 1.00  // fuel\r\n"
           "ai_unknown_key = 5 // unknown\r\n"
           "ai_grip_modifier = 1.01 // grip\r\n"
           "ai_drag_modifier = 0.99 // drag\r\n"
           "ai_qual_modifier = 1.03\r\n"
           "pit_speed = 60 \xff\x80\r\n";
}

// The twelve values of sampleTrackIni().
inline track::TrackValues sampleValues()
{
    return {"1.00", "1.05", "30.0", "0.80\t", "1.02", "0.98", "1.000", "1.000", "1.00", "1.01", "0.99", "1.03"};
}

}  // namespace gm::test
