// The season file: the writer's layout to the byte, the reader and its
// faults, and the season and track listings of the game folder.
#include <gtest/gtest.h>

#include <algorithm>

#include "season_test_support.h"
#include "support/temp_dir.h"

namespace gm::season::test {
namespace {

// The lines the writer gives an event, and the season block.
std::string eventBlock(const std::string& header, const std::string& name = "Race", const std::string& laps = "10",
                       const std::string& day = "1", const std::string& month = "2", const std::string& track = "x",
                       const std::string& grid = "1")
{
    return header + "\r\n" + "day = " + day + "\t\t\t; Day of the event [1-31]\r\n" + "month = " + month +
           "\t\t\t; Month of the event [1-12]\r\n" + "name = " + name + "\t\t\t; Name of the event\r\n" +
           "numberOfLaps = " + laps + "\t\t\t; Number of laps for the race session\r\n" + "trackDirectory = " +
           track + "\t\t\t; Directory for the track data\r\n" + "startingGrid = " + grid +
           "\t\t\t; Starting grid: grid_2x2_InLinePoleOnLeft\r\n\r\n";
}

std::string seasonBlock(const std::string& name, const std::string& count, const std::string& year)
{
    return "[ Season ]\r\nname = " + name + "\t\t\t; Name of the season\r\nnumEvents = " + count +
           "\t\t\t; Number of events in the season\r\nyear = " + year + "\t\t\t; Year for the season\r\n";
}

// A file with the event lines given, for the malformed cases.
std::string withSeason(const std::string& events)
{
    return events + seasonBlock("S", "1", "2001");
}

const std::string kThreeEventFile = eventBlock("[ Event1 ]", "Spring Opener", "20", "5", "3", "atlanta") +
                                    eventBlock("[ Event2 ]", "The  Long Race", "150", "12", "3", "sebring", "2") +
                                    eventBlock("[ Event3 ]", "Final", "8", "19", "3", "watkins") +
                                    seasonBlock("Club Cup", "3", "1999");

// Reading this layout back: the normalising round trip below.
TEST(SeasonFile, WritesTheLayoutToTheByteAndOnlyTheCountedRows)
{
    Schedule s = makeSchedule("Club Cup", "1999", {{"5", "3", "Spring Opener", "20", "atlanta", "1"},
                                                   {"12", "3", "The  Long Race", "150", "sebring", "2"},
                                                   {"19", "3", "Final", "8", "watkins", "1"}});
    EXPECT_EQ(writeSchedule(s), kThreeEventFile);
    s.eventCount = 0;
    EXPECT_EQ(writeSchedule(s), seasonBlock("Club Cup", "0", "1999"));
    s.eventCount = 1;
    EXPECT_EQ(writeSchedule(s), kThreeEventFile.substr(0, kThreeEventFile.find("[ Event2 ]")) +
                                    seasonBlock("Club Cup", "1", "1999"));
}

TEST(SeasonReader, RoundTripNormalisesAsTheCharacterPlacesSay)
{
    Schedule s{"  My  Season \t ", "in 2004 ", 3, {}};
    s.events[0] = {"1", "05", ".5", "  Lead and inner  blanks   ", "1000", "road course ", "2"};
    s.events[1] = {"2", "1.5", "12", "", "3.25", "t", "1"};
    s.events[2] = {"3", "x", " 4", "Last\t", "0", "u", "1"};
    const ReadResult r = readSchedule(writeSchedule(s));
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.name + "/" + r.year, "  My  Season/in 2004");
    EXPECT_EQ(r.eventNames, (std::vector<std::string>{"  Lead and inner  blanks", "", "Last"}));
    // Day "05" reads back as 5, "1.5" as 1 (two characters), text as 0; a
    // month ".5" keeps its form, so that it still fits its place when saved.
    EXPECT_EQ(r.events[0], (EventRow{"1", "5", ".5", "  Lead and inner  blanks", "1000", "road course", "2"}));
    EXPECT_EQ(r.events[1], (EventRow{"2", "1", "12", "", "3.25", "t", "1"}));
    EXPECT_EQ(r.events[2], (EventRow{"3", "0", "4", "Last", "0", "u", "1"}));
    EXPECT_EQ(readSchedule(writeSchedule(scheduleOf(r))).events, r.events);

    // Laps keep every digit the file holds, and a load and a save give the
    // same file; only a number written with an exponent is read as a value.
    for (const std::string laps :
         {"12.75", "123456", "1000000000000000", "12345678901234567", "99999999999999999999999"}) {
        const std::string bytes = withSeason(eventBlock("[ Event1 ]", "R", laps));
        const ReadResult read = readSchedule(bytes);
        EXPECT_EQ(read.events[0][kLaps], laps);
        EXPECT_EQ(writeSchedule(scheduleOf(read)), bytes);
    }
    EXPECT_EQ(readSchedule(withSeason(eventBlock("[ Event1 ]", "R", "1e3"))).events[0][kLaps], "1000");
}

TEST(SeasonReader, TheHeaderNumberChoosesTheRowAndTheListFollowsIt)
{
    // Blocks out of order (a hand-edited file): the list names the events
    // in race order, so each entry shows its own event, and a save keeps it.
    const ReadResult r =
        readSchedule(withSeason(eventBlock("[ Event2 ]", "Second") + eventBlock("[ Event1 ]", "First")));
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.eventNames, (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(readSchedule(writeSchedule(scheduleOf(r))).eventNames, r.eventNames);
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
    const auto cut = [](std::string bytes, const std::string& part) {
        return bytes.erase(bytes.find(part), part.size());
    };
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t events;  // complete events kept; the season block is never read
    };
    const std::vector<Case> cases = {
        {"empty file", "", 0},
        {"no season line", good + eventBlock("[ Event2 ]"), 2},
        {"season header last", good + "[ Season ]\r\n", 1},
        // Lines shorter than the key and comment the reader drops.
        {"season block cut short", good + "[ Season ]\r\nname = S\t\t\t; Name of the season\r\n", 1},
        {"short season name line", cut(withSeason(good), "\t\t\t; Name of the season"), 1},
        {"short year line", cut(withSeason(good), "\t\t\t; Year for the season"), 1},
        {"event number 0", withSeason(good + eventBlock("[ Event0 ]")), 1},
        {"event number negative", withSeason(eventBlock("[ Event-1 ]")), 0},
        {"block cut short", good + "[ Event2 ]\r\nday = 1\r\nmonth = 1\r\n", 1},
        {"short name line", withSeason(good + cut(eventBlock("[ Event2 ]"), "\t\t\t; Name of the event")), 1},
        {"short track line", withSeason(cut(eventBlock("[ Event1 ]"), "\t\t\t; Directory for the track data")), 0},
        {"blank line where a header belongs", withSeason(good + "\r\n" + eventBlock("[ Event2 ]")), 1},
        {"binary junk", std::string("\0\xff\r\r\n\x01", 6), 0},
    };
    for (const Case& c : cases) {
        const ReadResult r = readSchedule(c.bytes);
        EXPECT_FALSE(r.valid) << c.what;
        EXPECT_EQ(r.eventNames.size(), c.events) << c.what;
        EXPECT_EQ(r.name + r.year, "") << c.what;
        for (std::size_t row = c.events; row < kTableRows; ++row) {
            EXPECT_EQ(r.events[row], EventRow{}) << c.what << " row " << row;
        }
    }
}

TEST(SeasonReader, EmptyLinesAtTheEndAndAMissingLastLineEndAreNoFault)
{
    const std::string file = withSeason(eventBlock("[ Event1 ]", "Good"));
    for (const std::string& bytes : {file + "\r\n", file + "\r\n\r\n\r\n", file + "\r", file.substr(0, file.size() - 2)}) {
        const ReadResult r = readSchedule(bytes);
        EXPECT_TRUE(r.valid) << bytes.size();
        EXPECT_EQ(r.name + "/" + r.year, "S/2001");
        EXPECT_EQ(r.eventNames, std::vector<std::string>{"Good"});
    }
    // Something after the season block still is.
    EXPECT_FALSE(readSchedule(file + "\r\nx\r\n").valid);
}

TEST(SeasonReader, MoreEventBlocksThanAScheduleHoldsAreNotAValidSchedule)
{
    std::string many;
    for (int r = 0; r < 2 * kMaxEvents; ++r) {
        many += eventBlock("[ Event1 ]", "Repeated");
    }
    const ReadResult read = readSchedule(many + seasonBlock("Many", "1", "2001"));
    EXPECT_FALSE(read.valid);
    EXPECT_EQ(read.eventNames.size(), 99u) << "what fits is kept";
}

TEST(SeasonFolder, FindsPlainIniFilesWhateverTheCaseOfTheirExtensionAndTracksExceptShared)
{
    // Hidden entries and the "*.ini" match are the listing's own rules; the
    // window tests list seasons and tracks and save over "Loud.INI".
    gm::test::TempDir dir;
    for (const char* file : {"cup/B.ini", "cup/a.INI", "cup/both.INI", "cup/Both.ini", "cup/notes.txt", "tracks/t.txt",
                             "cup/\xc3\xa9t\xc3\xa9.ini"}) {
        dir.write(file, file);
    }
    for (const char* folder : {"cup/folder.ini", "tracks/x", "tracks/shared", "tracks/Shared"}) {
        dir.mkdir(folder);
    }
    const auto cup = dir.path() / "cup";
    std::vector<std::string> seasons = listSeasons(cup);
    std::sort(seasons.begin(), seasons.end());
    std::vector<std::string> tracks = listTracks(dir.path() / "tracks");
    std::sort(tracks.begin(), tracks.end());
    const std::string ete = "\xc3\xa9t\xc3\xa9";       // été
    const std::string upperEte = "\xc3\x89T\xc3\x89";  // ÉTÉ
#ifdef _WIN32
    // Names that differ only in case are one file or folder: the name it
    // was made with ("both.INI", "shared") is the one listed, and "shared"
    // in any case is passed over. Every letter counts, not only ASCII ones.
    EXPECT_EQ(seasons, (std::vector<std::string>{"B", "a", "both", ete}));
    EXPECT_EQ(tracks, (std::vector<std::string>{"t.txt", "x"}));
    EXPECT_EQ(findSeasonFile(cup, "Both"), cup / "both.INI");
    EXPECT_EQ(findSeasonFile(cup, upperEte), cup / gm::platform::toPath(ete + ".ini"));
#else
    // Case makes names different; "shared" is passed over in that case only.
    // An exact name wins over one that differs only in case; only the case
    // of ASCII letters is ignored.
    EXPECT_EQ(seasons, (std::vector<std::string>{"B", "Both", "a", "both", ete}));
    EXPECT_EQ(tracks, (std::vector<std::string>{"Shared", "t.txt", "x"}));
    EXPECT_EQ(findSeasonFile(cup, "Both"), cup / "Both.ini");
    EXPECT_EQ(findSeasonFile(cup, upperEte), std::nullopt);
#endif

    // Folders are no season files; a new name gets ".ini"; wildcard
    // characters in a name are plain characters.
    EXPECT_EQ(seasonFilePath(cup, "A"), cup / "a.INI");
    for (const char* name : {"folder", "C", "*", "Bot?", "B*"}) {
        EXPECT_FALSE(seasonFileExists(cup, name)) << name;
    }
    EXPECT_EQ(seasonFilePath(cup, "New Cup"), cup / "New Cup.ini");
}

}  // namespace
}  // namespace gm::season::test
