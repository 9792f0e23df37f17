#include <gtest/gtest.h>

#include <algorithm>

#include "common/lines.h"
#include "season/season_file.h"
#include "support/temp_dir.h"

namespace gm::season {
namespace {

Schedule threeEvents()
{
    Schedule s;
    s.name = "Club Cup";
    s.year = "1999";
    s.eventCount = 3;
    s.events[0] = {"1", "5", "3", "Spring Opener", "20", "atlanta", "1"};
    s.events[1] = {"2", "12", "3", "The  Long Race", "150", "sebring", "2"};
    s.events[2] = {"3", "19", "3", "Final", "8", "watkins", "1"};
    return s;
}

const std::string kThreeEventFile =
    "[ Event1 ]\r\n"
    "day = 5\t\t\t; Day of the event [1-31]\r\n"
    "month = 3\t\t\t; Month of the event [1-12]\r\n"
    "name = Spring Opener\t\t\t; Name of the event\r\n"
    "numberOfLaps = 20\t\t\t; Number of laps for the race session\r\n"
    "trackDirectory = atlanta\t\t\t; Directory for the track data\r\n"
    "startingGrid = 1\t\t\t; Starting grid: grid_2x2_InLinePoleOnLeft\r\n"
    "\r\n"
    "[ Event2 ]\r\n"
    "day = 12\t\t\t; Day of the event [1-31]\r\n"
    "month = 3\t\t\t; Month of the event [1-12]\r\n"
    "name = The  Long Race\t\t\t; Name of the event\r\n"
    "numberOfLaps = 150\t\t\t; Number of laps for the race session\r\n"
    "trackDirectory = sebring\t\t\t; Directory for the track data\r\n"
    "startingGrid = 2\t\t\t; Starting grid: grid_2x2_InLinePoleOnLeft\r\n"
    "\r\n"
    "[ Event3 ]\r\n"
    "day = 19\t\t\t; Day of the event [1-31]\r\n"
    "month = 3\t\t\t; Month of the event [1-12]\r\n"
    "name = Final\t\t\t; Name of the event\r\n"
    "numberOfLaps = 8\t\t\t; Number of laps for the race session\r\n"
    "trackDirectory = watkins\t\t\t; Directory for the track data\r\n"
    "startingGrid = 1\t\t\t; Starting grid: grid_2x2_InLinePoleOnLeft\r\n"
    "\r\n"
    "[ Season ]\r\n"
    "name = Club Cup\t\t\t; Name of the season\r\n"
    "numEvents = 3\t\t\t; Number of events in the season\r\n"
    "year = 1999\t\t\t; Year for the season\r\n";

// A one-event file with the event lines given, for the malformed cases.
std::string withSeason(const std::string& events)
{
    return events +
           "[ Season ]\r\n"
           "name = S\t\t\t; Name of the season\r\n"
           "numEvents = 1\t\t\t; Number of events in the season\r\n"
           "year = 2001\t\t\t; Year for the season\r\n";
}

std::string eventBlock(const std::string& header, const std::string& name = "Race",
                       const std::string& laps = "10")
{
    return header + "\r\n" + "day = 1\t\t\t; Day of the event [1-31]\r\n" +
           "month = 2\t\t\t; Month of the event [1-12]\r\n" + "name = " + name + "\t\t\t; Name of the event\r\n" +
           "numberOfLaps = " + laps + "\t\t\t; Number of laps for the race session\r\n" +
           "trackDirectory = x\t\t\t; Directory for the track data\r\n" +
           "startingGrid = 1\t\t\t; Starting grid: grid_2x2_InLinePoleOnLeft\r\n\r\n";
}

TEST(SeasonWriter, ThreeEventsGiveTheLayoutToTheByte)
{
    const std::string file = writeSchedule(threeEvents());
    EXPECT_EQ(file, kThreeEventFile);
    EXPECT_EQ(common::splitLines(file).size(), 28u);
}

TEST(SeasonWriter, NoEventsGiveTheSeasonLinesAloneAndRowsBeyondTheCountAreNotWritten)
{
    Schedule s = threeEvents();
    s.eventCount = 0;
    EXPECT_EQ(writeSchedule(s),
              "[ Season ]\r\n"
              "name = Club Cup\t\t\t; Name of the season\r\n"
              "numEvents = 0\t\t\t; Number of events in the season\r\n"
              "year = 1999\t\t\t; Year for the season\r\n");
    s.eventCount = 1;
    EXPECT_EQ(common::splitLines(writeSchedule(s)).size(), 12u);
}

TEST(SeasonWriter, SaveWritesTheFileAndReportsAFailure)
{
    test::TempDir dir;
    const auto path = dir.path() / "Club Cup.ini";
    EXPECT_TRUE(saveSchedule(path, threeEvents()).ok);
    EXPECT_EQ(dir.read("Club Cup.ini"), kThreeEventFile);

    dir.mkdir("Taken.ini");
    const platform::WriteResult failed = saveSchedule(dir.path() / "Taken.ini", threeEvents());
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.error.empty());
    EXPECT_FALSE(saveSchedule(dir.path() / "missing" / "x.ini", threeEvents()).ok);
}

TEST(SeasonReader, ReadsBackTheWrittenFile)
{
    const Schedule s = threeEvents();
    const ReadResult r = readSchedule(kThreeEventFile);
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.eventNames, (std::vector<std::string>{"Spring Opener", "The  Long Race", "Final"}));
    EXPECT_EQ(r.name, "Club Cup");
    EXPECT_EQ(r.year, "1999");
    for (std::size_t row = 0; row < 3; ++row) {
        EXPECT_EQ(r.events[row], s.events[row]) << "row " << row;
    }
    for (std::size_t row = 3; row < kTableRows; ++row) {
        EXPECT_EQ(r.events[row], EventRow{}) << "row " << row;
    }

    const ReadResult empty = readSchedule("[ Season ]\r\nname = Nothing Yet\t\t\t; Name of the season\r\n"
                                          "numEvents = 0\t\t\t; Number of events in the season\r\n"
                                          "year = \t\t\t; Year for the season\r\n");
    EXPECT_TRUE(empty.valid);
    EXPECT_TRUE(empty.eventNames.empty());
    EXPECT_EQ(empty.name, "Nothing Yet");
    EXPECT_EQ(empty.year, "");
}

TEST(SeasonReader, RoundTripNormalisesAsTheCharacterPlacesSay)
{
    Schedule s;
    s.name = "  My  Season \t ";
    s.year = "in 2004 ";
    s.eventCount = 3;
    s.events[0] = {"1", "05", "07", "  Lead and inner  blanks   ", "1000", "road course ", "2"};
    s.events[1] = {"2", "1.5", "12", "", "3.25", "t", "1"};
    s.events[2] = {"3", "x", " 4", "Last\t", "0", "u", "1"};
    const ReadResult r = readSchedule(writeSchedule(s));
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.name, "  My  Season");
    EXPECT_EQ(r.year, "in 2004");
    EXPECT_EQ(r.eventNames, (std::vector<std::string>{"  Lead and inner  blanks", "", "Last"}));
    // Day "05" reads back as 5, "1.5" as 1 (two characters), text as 0.
    EXPECT_EQ(r.events[0], (EventRow{"1", "5", "7", "  Lead and inner  blanks", "1000", "road course", "2"}));
    EXPECT_EQ(r.events[1], (EventRow{"2", "1", "12", "", "3.25", "t", "1"}));
    EXPECT_EQ(r.events[2], (EventRow{"3", "0", "4", "Last", "0", "u", "1"}));

    // Laps of any length read in full; a number past the TABs is not taken.
    EXPECT_EQ(readSchedule(withSeason(eventBlock("[ Event1 ]", "R", "123456"))).events[0][kLaps], "123456");
    EXPECT_EQ(readSchedule(withSeason(eventBlock("[ Event1 ]", "R", "12.75"))).events[0][kLaps], "12.75");

    // Laps keep every digit the file holds, and a load and a save give the
    // same file; only a number written with an exponent is read as a value.
    for (const std::string laps : {"1000000000000000", "12345678901234567", "99999999999999999999999"}) {
        const std::string bytes = withSeason(eventBlock("[ Event1 ]", "R", laps));
        const ReadResult read = readSchedule(bytes);
        EXPECT_EQ(read.events[0][kLaps], laps);
        Schedule again;
        again.name = read.name;
        again.year = read.year;
        again.eventCount = 1;
        again.events = read.events;
        EXPECT_EQ(writeSchedule(again), bytes);
    }
    EXPECT_EQ(readSchedule(withSeason(eventBlock("[ Event1 ]", "R", "1e3"))).events[0][kLaps], "1000");
}

TEST(SeasonReader, TheHeaderNumberChoosesTheRowAndNamesFollowFileOrder)
{
    const ReadResult r =
        readSchedule(withSeason(eventBlock("[ Event2 ]", "Second") + eventBlock("[ Event1 ]", "First")));
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.eventNames, (std::vector<std::string>{"Second", "First"}));
    EXPECT_EQ(r.events[0][kName], "First");
    EXPECT_EQ(r.events[1][kName], "Second");
    EXPECT_EQ(r.events[1][kNumber], "2");
    // Blanks and TABs are skipped inside the two header characters, and
    // "[ Event99 ]" is the last event that fits.
    EXPECT_EQ(readSchedule(withSeason(eventBlock("[ Event\t7 ]"))).events[6][kNumber], "7");
    EXPECT_EQ(readSchedule(withSeason(eventBlock("[ Event99 ]"))).events[98][kNumber], "99");
    // Only two characters are looked at: a header of 100 reads as event 10,
    // which leaves the first row of a one-event schedule empty: reported.
    const ReadResult hundred = readSchedule(withSeason(eventBlock("[ Event100 ]")));
    EXPECT_FALSE(hundred.valid);
    EXPECT_EQ(hundred.events[9][kNumber], "10");
    // So are repeated numbers; a gap-free numbering in another order is not.
    EXPECT_FALSE(readSchedule(withSeason(eventBlock("[ Event1 ]", "A") + eventBlock("[ Event1 ]", "B"))).valid);
    EXPECT_FALSE(readSchedule(withSeason(eventBlock("[ Event1 ]", "A") + eventBlock("[ Event3 ]", "B"))).valid);
    // The numEvents line is not read.
    std::string wrongCount = withSeason(eventBlock("[ Event1 ]"));
    wrongCount.replace(wrongCount.find("numEvents = 1"), 13, "numEvents = 7");
    EXPECT_EQ(readSchedule(wrongCount).eventNames.size(), 1u);
}

TEST(SeasonReader, MalformedFilesAreReportedAndKeepWhatCameBefore)
{
    const std::string good = eventBlock("[ Event1 ]", "Good");
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t events;  // complete events kept
        bool seasonRead;
    };
    const std::vector<Case> cases = {
        {"empty file", "", 0, false},
        {"no season line", good + eventBlock("[ Event2 ]"), 2, false},
        {"no season line, one block", good, 1, false},
        {"season header last", good + "[ Season ]\r\n", 1, false},
        {"season block cut short", good + "[ Season ]\r\nname = S\t\t\t; Name of the season\r\n", 1, false},
        {"short season name line",
         good + "[ Season ]\r\nname = S\r\nnumEvents = 1\r\nyear = 2001\t\t\t; Year for the season\r\n", 1, false},
        {"short year line", good + "[ Season ]\r\nname = S\t\t\t; Name of the season\r\nnumEvents = 1\r\nyear\r\n",
         1, false},
        {"event number 0", withSeason(good + eventBlock("[ Event0 ]")), 1, false},
        {"event number missing", withSeason(eventBlock("[ Event ]")), 0, false},
        {"event number negative", withSeason(eventBlock("[ Event-1 ]")), 0, false},
        {"block cut short", good + "[ Event2 ]\r\nday = 1\r\nmonth = 1\r\n", 1, false},
        {"blank line where a header belongs", withSeason(good + "\r\n" + eventBlock("[ Event2 ]")), 1, false},
        {"binary junk", std::string("\0\xff\r\r\n\x01", 6), 0, false},
    };
    for (const Case& c : cases) {
        const ReadResult r = readSchedule(c.bytes);
        EXPECT_FALSE(r.valid) << c.what;
        EXPECT_EQ(r.eventNames.size(), c.events) << c.what;
        EXPECT_EQ(!r.name.empty(), c.seasonRead) << c.what;
        for (std::size_t row = c.events; row < kTableRows; ++row) {
            EXPECT_EQ(r.events[row], EventRow{}) << c.what << " row " << row;
        }
    }

    // Name and track lines shorter than the parts the reader drops.
    std::string shortName = withSeason(good + eventBlock("[ Event2 ]"));
    shortName.replace(shortName.rfind("name = Race\t\t\t; Name of the event"), 33, "name = x");
    ReadResult r = readSchedule(shortName);
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.eventNames, std::vector<std::string>{"Good"});
    EXPECT_EQ(r.events[1], EventRow{});

    std::string shortTrack = withSeason(eventBlock("[ Event1 ]"));
    shortTrack.replace(shortTrack.find("trackDirectory = x"), 18 + 3 + 30, "trackDirectory = x");
    EXPECT_FALSE(readSchedule(shortTrack).valid);

}

TEST(SeasonReader, EmptyLinesAtTheEndAndAMissingLastLineEndAreNoFault)
{
    const std::string file = withSeason(eventBlock("[ Event1 ]", "Good"));
    for (const std::string& bytes : {file + "\r\n", file + "\r\n\r\n\r\n", file + "\r", file.substr(0, file.size() - 2)}) {
        const ReadResult r = readSchedule(bytes);
        EXPECT_TRUE(r.valid) << bytes.size();
        EXPECT_EQ(r.name, "S");
        EXPECT_EQ(r.year, "2001");
        EXPECT_EQ(r.eventNames, std::vector<std::string>{"Good"});
    }
    // Something after the season block still is.
    EXPECT_FALSE(readSchedule(file + "\r\nx\r\n").valid);
}

TEST(SeasonFolder, ListsVisibleIniFilesOnlyAndTracksExceptShared)
{
    test::TempDir dir;
    dir.write("cup/B.ini", "x");
    dir.write("cup/a.INI", "x");
    dir.write("cup/.hidden.ini", "x");
    dir.write("cup/notes.txt", "x");
    dir.write("cup/old.ini.bak", "x");
    dir.mkdir("cup/folder.ini");
    dir.write("cup/sub/deeper.ini", "x");
    std::vector<std::string> seasons = listSeasons(dir.path() / "cup");
    std::sort(seasons.begin(), seasons.end());
    EXPECT_EQ(seasons, (std::vector<std::string>{"B", "a"}));
    EXPECT_TRUE(listSeasons(dir.path() / "nowhere").empty());

    EXPECT_TRUE(seasonFileExists(dir.path() / "cup", "B"));
    EXPECT_FALSE(seasonFileExists(dir.path() / "cup", ".hidden"));
    EXPECT_FALSE(seasonFileExists(dir.path() / "cup", "folder"));
    EXPECT_FALSE(seasonFileExists(dir.path() / "cup", "C"));

    dir.mkdir("tracks/x");
    dir.mkdir("tracks/shared");
    dir.mkdir("tracks/Shared");
    dir.mkdir("tracks/.cache");
    dir.write("tracks/notes.txt", "x");
    std::vector<std::string> tracks = listTracks(dir.path() / "tracks");
    std::sort(tracks.begin(), tracks.end());
    EXPECT_EQ(tracks, (std::vector<std::string>{"Shared", "notes.txt", "x"}));
}

}  // namespace
}  // namespace gm::season
