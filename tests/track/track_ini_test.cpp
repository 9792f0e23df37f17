// The track.ini rules: keys, values and lines, and the file on disk. Random
// files are the fuzz target's work.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "track/track_ini.h"
#include "track_test_support.h"

namespace gm::track {
namespace {

using test::TempDir;

TEST(TrackIniLine, GetValueAndReplaceValue)
{
    // Lines of ai_fuel_use, whose value starts at 15.
    struct Case {
        std::string line, value, newValue, replaced;
    };
    const std::string fuel = "ai_fuel_use = ";
    const Case cases[] = {
        // The worked example: two blanks and a comment keep their place;
        // a longer value pushes them right.
        {fuel + "1.00  // fuel", "1.00", "0.95", fuel + "0.95  // fuel"},
        {fuel + "1.00 x", "1.00", "1.125", fuel + "1.125 x"},
        // Two blanks after the equals sign: an empty value; the new text
        // takes the place of nothing and one blank.
        {fuel + " 1.00 x", "", "7", fuel + "7 1.00 x"},
        // TABs and other bytes belong to the value.
        {fuel + "1.0\t\xe9\xff\x01// tab ", "1.0\t\xe9\xff\x01//", "3", fuel + "3 tab "},
        // No blank after the value: it ends at the line end, and so does
        // the new text.
        {fuel + "1.00", "1.00", "0.95", fuel + "0.95"},
        {fuel, "", "4", fuel + "4"},
        // An empty new value leaves the prefix and the blank.
        {fuel + "1.00  c", "1.00", "", fuel + "  c"},
        // A lone LF ends the value as well, and stays where it was with
        // everything after it.
        {fuel + "1.00\nai_drag_modifier = 2 c", "1.00", "0.95", fuel + "0.95\nai_drag_modifier = 2 c"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetValue(c.line, 15), c.value) << c.line;
        EXPECT_EQ(ReplaceValue(c.line, 15, c.newValue), c.replaced) << c.line << " <- " << c.newValue;
    }
    // A start beyond the line never reads past it.
    EXPECT_EQ(GetValue("ab", 10), "");
    EXPECT_EQ(ReplaceValue("ab", 10, "x"), "abx");
}

TEST(TrackIniFile, KeysTwiceAbsentOrMisspelledAreHandledAsTheLineRuleSays)
{
    const std::string bytes =
        "track_tire_wear = 1.1 first\r\n"
        "track_tire_wear = 1.2 second\r\n"
        "ai_grip_modifier =  1.0 two blanks\r\n"
        "track_tire_wear_loss=5 no blanks\r\n";
    // The later line wins; two blanks after the equals sign give an empty
    // value; none before it is not the key (wrong case and leading blanks:
    // the sample file).
    EXPECT_EQ(readValues(bytes), (TrackValues{"", "1.2"}));

    TrackValues values;
    values.fill("5");
    EXPECT_EQ(writeValues(bytes, values),
              "track_tire_wear = 5 first\r\n"
              "track_tire_wear = 5 second\r\n"
              "ai_grip_modifier = 5 1.0 two blanks\r\n"
              "track_tire_wear_loss=5 no blanks\r\n"
              "\r\n");
}

TEST(TrackIniFile, LineEndsFollowTheGameLineRule)
{
    // A lone CR ends a line and is written back as CR LF; a lone LF is part
    // of the line (it ends a value, but not the line); a last line without
    // a line end gets one.
    const std::string bytes = "ai_fuel_use = 1 a\rx\ny\r\nai_drag_modifier = 2";
    TrackValues values = readValues(bytes);
    EXPECT_EQ(values, (TrackValues{"", "", "", "", "", "", "", "", "1", "", "2"}));
    values[10] = "3";
    EXPECT_EQ(writeValues(bytes, values), "ai_fuel_use = 1 a\r\nx\ny\r\nai_drag_modifier = 3\r\n\r\n");
    // An empty file stays empty apart from the one line end.
    EXPECT_EQ(writeValues("", values), "\r\n");
}

TEST(TrackIniFile, ReadsTheTwelveValuesAndWritingThemBackOnlyAddsOneLineEnd)
{
    const std::string bytes = test::sampleTrackIni();
    EXPECT_EQ(readValues(bytes), test::sampleValues());
    const std::string written = writeValues(bytes, readValues(bytes));
    EXPECT_EQ(written, bytes + "\r\n");
    // And again: every save adds one more empty line, nothing else.
    EXPECT_EQ(writeValues(written, readValues(written)), bytes + "\r\n\r\n");

    // On disk: the window's save test reads and rewrites the sample file;
    // here, a missing file is reported and never created.
    TempDir game;
    const std::filesystem::path missing = trackIniPath(game.path() / "tracks", "nowhere");
    EXPECT_EQ(missing, game.path() / "tracks" / "nowhere" / "track.ini");
    EXPECT_EQ(readTrackIni(missing).status, FileStatus::Missing);
    game.mkdir("tracks/empty");
    EXPECT_EQ(writeTrackIni(game.path() / "tracks/empty/track.ini", test::sampleValues()).status, FileStatus::Missing);
    EXPECT_FALSE(game.exists("tracks/empty/track.ini"));
}

}  // namespace
}  // namespace gm::track
