#include <gtest/gtest.h>

#include <filesystem>
#include <string>
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
    EXPECT_EQ(savedBytes(r), file + "\r\n");

    const std::string written = writeStrengths(file, {"99"});
    EXPECT_EQ(written, "AutoAIStrength=77\r\nBestLap_Arc_CUP_All_Laptime=1\r\n[\r\nAutoAIStrength=99\r\n");
}

TEST(PlayerRecords, LineEndsAreNormalisedAndEachSaveAddsOneEmptyLine)
{
    // CR LF and a lone CR end a line, a lone LF does not.
    const PlayerRecords r = readRecords("[dover]\rAutoAIStrength=90\nx\r\n[texas]\r\nAutoAIStrength=85");
    EXPECT_EQ(r.Sections, Strengths({"dover", "texas"}));
    EXPECT_EQ(strengthsOf(r), Strengths({"90\nx", "85"}));
    EXPECT_EQ(r.RecordsText, "[dover]\r\nAutoAIStrength=90\nx\r\n[texas]\r\nAutoAIStrength=85\r\n");

    const std::string once = savedBytes(r);
    EXPECT_TRUE(once.ends_with("AutoAIStrength=85\r\n\r\n"));
    const std::string twice = savedBytes(readRecords(once));
    EXPECT_EQ(twice, once + "\r\n");
    EXPECT_EQ(savedBytes(readRecords(twice)), once + "\r\n\r\n");
}

TEST(PlayerRecords, RewriteChangesOnlyTheStrengthValues)
{
    struct Case {
        const char* what;
        std::string file;
        Strengths strengths;
        std::string expected;
    };
    const std::string lap = "BestLap_Sim_CUP_Qual_Laptime=30\r\n";
    const std::vector<Case> cases = {
        {"the usual file", section("atlanta", "90", {"1", "2", "3", "4", "5", "6"}) + section("dover", "91", {}),
         {"95", "96.000000"},
         section("atlanta", "95", {"1", "2", "3", "4", "5", "6"}) + section("dover", "96.000000", {})},
        {"a line without B between the strength line and the BestLap_ line survives",
         "[dover]\r\nAutoAIStrength=90\r\nextra line\r\n" + lap, {"70"},
         "[dover]\r\nAutoAIStrength=70\r\nextra line\r\n" + lap},
        {"a section without a strength line leaves the others in place",
         "[dover]\r\n" + lap + "[texas]\r\nAutoAIStrength=80\r\n" + lap + "[kansas]\r\nAutoAIStrength=81\r\n",
         {"", "100", "101"},
         "[dover]\r\n" + lap + "[texas]\r\nAutoAIStrength=100\r\n" + lap + "[kansas]\r\nAutoAIStrength=101\r\n"},
        {"a stray key inside a line is no key, and no B is needed after a key",
         "[dover]\r\nNote AutoAIStrength=5\r\nAutoAIStrength=90", {"110"},
         "[dover]\r\nNote AutoAIStrength=5\r\nAutoAIStrength=110\r\n"},
        {"every strength line of a section gets its strength",
         "[dover]\r\nAutoAIStrength=1\r\nAutoAIStrength=2\r\n[texas]\r\n", {"75", "76"},
         "[dover]\r\nAutoAIStrength=75\r\nAutoAIStrength=75\r\n[texas]\r\n"},
        {"fewer strengths than sections: the rest stay", "[a]\r\nAutoAIStrength=1\r\n[b]\r\nAutoAIStrength=2\r\n",
         {"9"}, "[a]\r\nAutoAIStrength=9\r\n[b]\r\nAutoAIStrength=2\r\n"},
        {"nothing to write into", "no sections\r\nAutoAIStrength=3\r\n", {"4"},
         "no sections\r\nAutoAIStrength=3\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(writeStrengths(c.file, c.strengths), c.expected) << c.what;
    }
}

TEST(PlayerRecords, FortyFiveSectionsLoadAndSave)
{
    std::string file;
    Strengths written;
    for (int i = 0; i < 45; ++i) {
        file += section("track" + std::to_string(i), std::to_string(70 + i % 40), {"1", "2"});
        written.push_back(std::to_string(110 - i % 40));
    }
    PlayerRecords r = readRecords(file);
    ASSERT_EQ(r.Sections.size(), 45u);
    EXPECT_EQ(r.Sections[44], "track44");
    EXPECT_EQ(r.TrackTable[44][0], std::to_string(70 + 44 % 40));
    for (std::size_t i = 0; i < written.size(); ++i) {
        r.TrackTable[i][0] = written[i];
    }
    EXPECT_EQ(strengthsOf(readRecords(savedBytes(r))), written);
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
    const PlayerList list = ListPlayers(game.path() / "players");
    EXPECT_TRUE(list.folderFound);
    EXPECT_EQ(list.names, Strengths({"Ann", "Bob", "carl", "Eve.KS", "notes.txt"}));
    EXPECT_FALSE(isPlayerName("."));
    EXPECT_TRUE(isPlayerName("ks"));
}

TEST(PlayerRecords, LoadAndSaveThroughTheFile)
{
    test::TempDir game;
    const std::filesystem::path players = game.path() / "players";
    const std::string file = section("texas", "88", {"29.5"});
    game.write("players/Ann/playrecs.ini", file);
    game.mkdir("players/Bob");

    PlayerRecords r;
    EXPECT_EQ(LoadRecords(players, "Bob", r), RecordsStatus::Missing);
    ASSERT_EQ(LoadRecords(players, "Ann", r), RecordsStatus::Ok);
    r.TrackTable[0][0] = "97.000000";
    ASSERT_EQ(SaveRecords(players, "Ann", r), RecordsStatus::Ok);
    EXPECT_EQ(game.read("players/Ann/playrecs.ini"), section("texas", "97.000000", {"29.5"}) + "\r\n");

    // A file gone since it was read is not made anew.
    EXPECT_EQ(SaveRecords(players, "Bob", r), RecordsStatus::WriteFailed);
    EXPECT_FALSE(game.exists("players/Bob/playrecs.ini"));
    // Something of that name that is no readable file is reported as such.
    game.mkdir("players/Cy/playrecs.ini");
    EXPECT_EQ(LoadRecords(players, "Cy", r), RecordsStatus::ReadFailed);
    EXPECT_EQ(r.Sections, Strengths({"texas"}));
}

}  // namespace
}  // namespace gm::autoai
