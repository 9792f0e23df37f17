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

TEST(PlayerRecords, EditsGoIntoTheTextAsItIsNow)
{
    using Edits = std::vector<StrengthEdit>;
    const std::string lap = "BestLap_Sim_CUP_Qual_Laptime=";
    // As read, and as the game wrote it since: a faster lap at dover, the
    // game's own new strength at texas, a section added in front.
    const std::string asRead = section("dover", "80", {"31.5"}) + section("texas", "90", {"29.1"});
    const std::string now = section("atlanta", "70", {}) + section("dover", "80", {"30.9"}) +
                            section("texas", "92", {"29.1"});

    // Unchanged since it was read: what the whole table would save.
    PlayerRecords r = readRecords(asRead);
    r.TrackTable[0][0] = "95.000000";
    const MergedStrengths same = mergeStrengths(asRead, strengthEdits(r, {true, true}));
    EXPECT_EQ(same.bytes, savedBytes(r));
    EXPECT_TRUE(same.placed);
    EXPECT_TRUE(same.missing.empty());

    // Changed: the edit lands in its own section, the rest is the game's.
    const MergedStrengths merged = mergeStrengths(now, Edits{{"dover", 0, "95.000000"}});
    EXPECT_EQ(merged.bytes, section("atlanta", "70", {}) + section("dover", "95.000000", {"30.9"}) +
                                section("texas", "92", {"29.1"}) + "\r\n");
    EXPECT_TRUE(merged.missing.empty());

    // A section gone, one of two of a name gone, and one without a strength
    // line any more: reported once each, and nothing else changes.
    const std::string later = section("texas", "90", {}) + "[kansas]\r\n" + lap + "1\r\n" + section("dover", "80", {});
    const MergedStrengths partly =
        mergeStrengths(later, Edits{{"dover", 0, "75"}, {"pocono", 0, "76"}, {"texas", 1, "77"}, {"kansas", 0, "78"},
                                    {"pocono", 1, "79"}});
    EXPECT_EQ(partly.bytes, section("texas", "90", {}) + "[kansas]\r\n" + lap + "1\r\n" + section("dover", "75", {}) +
                                "\r\n");
    EXPECT_EQ(partly.missing, Strengths({"pocono", "texas", "kansas"}));
    EXPECT_TRUE(partly.placed);

    // Nothing found: nothing placed.
    const MergedStrengths none = mergeStrengths(now, Edits{{"bristol", 0, "75"}});
    EXPECT_FALSE(none.placed);
    EXPECT_EQ(none.missing, Strengths({"bristol"}));
    // Strength lines before the first section belong to none.
    EXPECT_EQ(mergeStrengths("AutoAIStrength=1\r\n[a]\r\nAutoAIStrength=2", Edits{{"a", 0, "3"}}).bytes,
              "AutoAIStrength=1\r\n[a]\r\nAutoAIStrength=3\r\n\r\n");
}

TEST(PlayerRecords, LoadAndSaveThroughTheFile)
{
    test::TempDir game;
    const std::filesystem::path players = game.path() / "players";
    const std::string file = section("texas", "88", {"29.5"}) + section("dover", "80", {"31"});
    game.write("players/Ann/playrecs.ini", file);
    game.mkdir("players/Bob");

    PlayerRecords r;
    EXPECT_EQ(LoadRecords(players, "Bob", r), RecordsStatus::Missing);
    ASSERT_EQ(LoadRecords(players, "Ann", r), RecordsStatus::Ok);
    r.TrackTable[0][0] = "97.000000";
    const std::vector<StrengthEdit> edits = strengthEdits(r, {true, false});

    // The game wrote the file after a race since it was read: its new lap
    // record and strength stay.
    const std::string raced = section("texas", "88", {"28.75"}) + section("dover", "82", {"31"});
    game.write("players/Ann/playrecs.ini", raced);
    SaveOutcome saved = SaveRecords(players, "Ann", edits);
    EXPECT_EQ(saved.status, RecordsStatus::Ok);
    EXPECT_TRUE(saved.written);
    EXPECT_TRUE(saved.missing.empty());
    EXPECT_EQ(game.read("players/Ann/playrecs.ini"),
              section("texas", "97.000000", {"28.75"}) + section("dover", "82", {"31"}) + "\r\n");

    // The edited section gone: reported, and the file is not written.
    const std::string withoutTexas = section("dover", "82", {"31"});
    game.write("players/Ann/playrecs.ini", withoutTexas);
    saved = SaveRecords(players, "Ann", edits);
    EXPECT_EQ(saved.status, RecordsStatus::Ok);
    EXPECT_FALSE(saved.written);
    EXPECT_EQ(saved.missing, Strengths({"texas"}));
    EXPECT_EQ(game.read("players/Ann/playrecs.ini"), withoutTexas);

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
