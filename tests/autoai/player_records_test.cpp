#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "autoai/player_records.h"
#include "records_files.h"
#include "support/temp_dir.h"

namespace gm::autoai {
namespace {

using test::section;
using test::strengthsOf;
using Strengths = std::vector<std::string>;

TEST(PlayerRecords, ReadsSectionsStrengthsAndLapTimesExactly)
{
    const std::string file = "Version=3\r\n" + section("atlanta", "95.5", {"30.1", "30.2", "30.3", "31", "32", "33"}) +
                             "[Atlanta]\r\nAutoAIStrength= 80\r\n" + "[bristol]\r\nBestLap_Arc_CUP_All_Laptime=15\r\n" +
                             "AutoAIStrength=90\r\nAutoAIStrength=100x";  // no line end at the end
    const PlayerRecords r = readRecords(file);
    EXPECT_EQ(r.Sections, Strengths({"atlanta", "Atlanta", "bristol"}));
    ASSERT_EQ(r.TrackTable.size(), 3u);
    EXPECT_EQ(r.TrackTable[0], TrackRow({"95.5", "30.1", "30.2", "30.3", "31", "32", "33"}));
    // The blank stays in the value; a repeated key replaces the earlier one.
    EXPECT_EQ(r.TrackTable[1], TrackRow({" 80", "", "", "", "", "", ""}));
    EXPECT_EQ(r.TrackTable[2], TrackRow({"100x", "15", "", "", "", "", ""}));
    // atlanta counts in group 4, Atlanta in none, bristol twice in group 1.
    EXPECT_EQ(r.GroupSums, GroupValues({0, 190, 0, 0, 95.5, 0}));
    EXPECT_EQ(r.RecordsText, file + "\r\n");
}

TEST(PlayerRecords, SectionLinesAndLinesBeforeTheFirstSection)
{
    EXPECT_EQ(sectionName("[dover]"), "dover");
    EXPECT_EQ(sectionName("[dover"), "dove");  // the last character goes, whatever it is
    EXPECT_EQ(sectionName("["), "");
    EXPECT_EQ(sectionName("[]"), "");
    EXPECT_FALSE(sectionName(" [dover]"));

    // Key lines before the first section are kept but not interpreted; a
    // single "[" opens a section with an empty name.
    const std::string file = "AutoAIStrength=77\r\nBestLap_Arc_CUP_All_Laptime=1\r\n[\r\nAutoAIStrength=88\r\n";
    const PlayerRecords r = readRecords(file);
    EXPECT_EQ(r.Sections, Strengths({""}));
    EXPECT_EQ(strengthsOf(r), Strengths({"88"}));
    EXPECT_EQ(r.TrackTable[0][1], "");
    EXPECT_EQ(mergeStrengths(file, {{"", 0, "99"}}).bytes,
              "AutoAIStrength=77\r\nBestLap_Arc_CUP_All_Laptime=1\r\n[\r\nAutoAIStrength=99\r\n\r\n");
}

TEST(PlayerRecords, LineEndsAreNormalisedAndEachSaveAddsOneEmptyLine)
{
    // CR LF and a lone CR end a line, a lone LF does not.
    const std::string file = "[dover]\rAutoAIStrength=90\nx\r\n[texas]\r\nAutoAIStrength=85";
    const PlayerRecords r = readRecords(file);
    EXPECT_EQ(r.Sections, Strengths({"dover", "texas"}));
    EXPECT_EQ(strengthsOf(r), Strengths({"90\nx", "85"}));
    EXPECT_EQ(r.RecordsText, "[dover]\r\nAutoAIStrength=90\nx\r\n[texas]\r\nAutoAIStrength=85\r\n");

    const std::string once = mergeStrengths(file, {}).bytes;
    EXPECT_EQ(once, r.RecordsText + "\r\n");
    EXPECT_EQ(mergeStrengths(once, {}).bytes, once + "\r\n");
}

TEST(PlayerRecords, FortyFiveSectionsLoadAndSave)
{
    std::string file;
    for (int i = 0; i < 45; ++i) {
        file += section("track" + std::to_string(i), std::to_string(70 + i % 40), {"1", "2"});
    }
    PlayerRecords r = readRecords(file);
    ASSERT_EQ(r.Sections.size(), 45u);
    EXPECT_EQ(r.Sections[44], "track44");
    EXPECT_EQ(r.TrackTable[44][0], "74");
    Strengths written;
    for (std::size_t i = 0; i < 45; ++i) {
        r.TrackTable[i][0] = written.emplace_back(std::to_string(110 - i % 40));
    }
    const std::vector<bool> all(45, true);
    EXPECT_EQ(strengthsOf(readRecords(mergeStrengths(file, strengthEdits(r, all)).bytes)), written);
}

TEST(PlayerRecords, ListPlayersSkipsKeyFilesAndHiddenEntries)
{
    test::TempDir game;
    EXPECT_FALSE(ListPlayers(game.path() / "players").folderFound);

    for (const char* folder : {"Bob", "Ann", "carl", "Dan.ks"}) {
        game.mkdir(std::string("players/") + folder);
    }
    game.write("players/Ann.ks", "keys");
    game.write("players/Eve.KS", "keys");
    game.write("players/notes.txt", "");
    game.write("players/.hidden/playrecs.ini", "");
    test::hidden(game.path() / "players" / ".hidden");  // on Windows by its attribute
    const PlayerList list = ListPlayers(game.path() / "players");
    EXPECT_TRUE(list.folderFound);
    EXPECT_EQ(list.names, Strengths({"Ann", "Bob", "carl", "Eve.KS", "notes.txt"}));
    EXPECT_FALSE(isPlayerName("."));
    EXPECT_TRUE(isPlayerName("ks"));
}

TEST(PlayerRecords, EditsNameTheirSectionAndWhichOfItsNameItIs)
{
    PlayerRecords r = readRecords(section("texas", "80", {}) + section("dover", "81", {}) +
                                  section("texas", "82", {}) + section("kansas", "83", {}));
    r.TrackTable[2][0] = "99";
    r.TrackTable[3][0] = "98";
    const std::vector<StrengthEdit> edits = strengthEdits(r, {false, false, true, true});
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_EQ((std::tuple{edits[0].section, edits[0].occurrence, edits[0].strength}), (std::tuple{"texas", 1u, "99"}));
    EXPECT_EQ((std::tuple{edits[1].section, edits[1].occurrence, edits[1].strength}), (std::tuple{"kansas", 0u, "98"}));
    EXPECT_TRUE(strengthEdits(r, {}).empty());
}

// A save puts the edits into the file as it is at that moment (the game may
// have written it since it was read): only their strength values change.
TEST(PlayerRecords, EditsGoIntoTheStrengthLinesOfTheTextAsItIsNow)
{
    using Edits = std::vector<StrengthEdit>;
    const std::string lap = "BestLap_Sim_CUP_Qual_Laptime=30\r\n";
    struct Case {
        const char* what;
        std::string file;
        Edits edits;
        std::string expected;  // less the empty line each save adds
        Strengths missing;
        bool placed = true;
    };
    const std::vector<Case> cases = {
        {"a faster lap, a section added in front and the game's own strength stay",
         section("atlanta", "70", {}) + section("dover", "80", {"30.9", "2", "3", "4", "5", "6"}) +
             section("texas", "92", {"29.1"}),
         {{"dover", 0, "95.000000"}},
         section("atlanta", "70", {}) + section("dover", "95.000000", {"30.9", "2", "3", "4", "5", "6"}) +
             section("texas", "92", {"29.1"}),
         {}},
        {"a line without B between the strength line and the BestLap_ line survives",
         "[dover]\r\nAutoAIStrength=90\r\nextra line\r\n" + lap, {{"dover", 0, "70"}},
         "[dover]\r\nAutoAIStrength=70\r\nextra line\r\n" + lap, {}},
        {"a stray key inside a line is no key, and no B is needed after a key",
         "[dover]\r\nNote AutoAIStrength=5\r\nAutoAIStrength=90", {{"dover", 0, "110"}},
         "[dover]\r\nNote AutoAIStrength=5\r\nAutoAIStrength=110\r\n", {}},
        {"every strength line of the section gets the strength",
         "[dover]\r\nAutoAIStrength=1\r\nAutoAIStrength=2\r\n[texas]\r\n", {{"dover", 0, "75"}},
         "[dover]\r\nAutoAIStrength=75\r\nAutoAIStrength=75\r\n[texas]\r\n", {}},
        {"strength lines before the first section belong to none", "AutoAIStrength=1\r\n[a]\r\nAutoAIStrength=2",
         {{"a", 0, "3"}}, "AutoAIStrength=1\r\n[a]\r\nAutoAIStrength=3\r\n", {}},
        {"a section gone, one of two of a name gone and one without a strength line: each named once",
         section("texas", "90", {}) + "[kansas]\r\n" + lap + section("dover", "80", {}),
         {{"dover", 0, "75"}, {"pocono", 0, "76"}, {"texas", 1, "77"}, {"kansas", 0, "78"}, {"pocono", 1, "79"}},
         section("texas", "90", {}) + "[kansas]\r\n" + lap + section("dover", "75", {}), {"pocono", "texas", "kansas"}},
        {"nothing found: nothing placed", section("atlanta", "70", {}), {{"bristol", 0, "75"}},
         section("atlanta", "70", {}), {"bristol"}, false},
    };
    for (const Case& c : cases) {
        const MergedStrengths merged = mergeStrengths(c.file, c.edits);
        EXPECT_EQ(merged.bytes, c.expected + "\r\n") << c.what;
        EXPECT_EQ(merged.missing, c.missing) << c.what;
        EXPECT_EQ(merged.placed, c.placed) << c.what;
    }
    // Into a file unchanged since it was read: what saving the whole table gives.
    const std::string asRead = section("dover", "80", {"31.5"}) + section("texas", "90", {"29.1"});
    PlayerRecords r = readRecords(asRead);
    r.TrackTable[0][0] = "95.000000";
    EXPECT_EQ(mergeStrengths(asRead, strengthEdits(r, {true, true})).bytes, savedBytes(r));
}

// What a save merges into the file as the game wrote it since, and how a
// track it no longer has is reported, are the window's tests.
TEST(PlayerRecords, LoadAndSaveThroughTheFile)
{
    test::TempDir game;
    const std::filesystem::path players = game.path() / "players";
    game.write("players/Ann/playrecs.ini", section("texas", "88", {"29.5"}) + section("dover", "80", {"31"}));
    game.mkdir("players/Bob");

    PlayerRecords r;
    EXPECT_EQ(LoadRecords(players, "Bob", r), RecordsStatus::Missing);
    ASSERT_EQ(LoadRecords(players, "Ann", r), RecordsStatus::Ok);
    r.TrackTable[0][0] = "97.000000";
    const std::vector<StrengthEdit> edits = strengthEdits(r, {true, false});
    const SaveOutcome saved = SaveRecords(players, "Ann", edits);
    EXPECT_EQ(saved.status, RecordsStatus::Ok);
    EXPECT_TRUE(saved.written);
    EXPECT_TRUE(saved.missing.empty());
    EXPECT_EQ(game.read("players/Ann/playrecs.ini"),
              section("texas", "97.000000", {"29.5"}) + section("dover", "80", {"31"}) + "\r\n");

    // A file gone since it was read is not made anew.
    EXPECT_EQ(SaveRecords(players, "Bob", edits).status, RecordsStatus::WriteFailed);
    EXPECT_FALSE(game.exists("players/Bob/playrecs.ini"));
    // Something of that name that is no readable file is reported as such,
    // at loading and at saving.
    game.mkdir("players/Cy/playrecs.ini");
    EXPECT_EQ(LoadRecords(players, "Cy", r), RecordsStatus::ReadFailed);
    EXPECT_EQ(r.Sections, Strengths({"texas", "dover"}));
    EXPECT_EQ(SaveRecords(players, "Cy", edits).status, RecordsStatus::WriteFailed);
}

}  // namespace
}  // namespace gm::autoai
