// Season files found by name whatever the case of their extension, the
// event limit of the reader, and line breaks typed into a field.
#include <gtest/gtest.h>

#include "season_test_support.h"
#include "support/temp_dir.h"

namespace gm::season::test {
namespace {

TEST(SeasonFileNames, FindsTheFileTheListingNamed)
{
    gm::test::TempDir folder;
    folder.write("Upper.INI", "u");
    folder.write("Both.ini", "exact");
    folder.write("both.INI", "other");
    folder.write(".Hidden.ini", "h");
    folder.mkdir("Folder.ini");

    EXPECT_EQ(findSeasonFile(folder.path(), "Upper"), folder.path() / "Upper.INI");
    EXPECT_EQ(seasonFilePath(folder.path(), "Upper"), folder.path() / "Upper.INI");
    EXPECT_TRUE(seasonFileExists(folder.path(), "Upper"));
    // An exact name wins over one that differs only in case.
    EXPECT_EQ(findSeasonFile(folder.path(), "Both"), folder.path() / "Both.ini");
    // Hidden files and folders are no season files; a new name gets ".ini".
    EXPECT_FALSE(findSeasonFile(folder.path(), ".Hidden").has_value());
    EXPECT_FALSE(seasonFileExists(folder.path(), "Folder"));
    EXPECT_EQ(seasonFilePath(folder.path(), "New Cup"), folder.path() / "New Cup.ini");
    // Wildcard characters in a name are plain characters here.
    EXPECT_FALSE(findSeasonFile(folder.path(), "*").has_value());
    EXPECT_FALSE(findSeasonFile(folder.path(), "Upp?r").has_value());
}

TEST(SeasonFileNames, MoreEventBlocksThanAScheduleHoldsAreNotAValidSchedule)
{
    Schedule one = makeSchedule("Many", "2001", {{"1", "2", "Repeated"}});
    const std::string text = writeSchedule(one);
    const std::string block = text.substr(0, text.find("[ Season ]"));
    std::string many;
    for (int i = 0; i < 120; ++i) {
        many += block;
    }
    many += text.substr(text.find("[ Season ]"));
    const ReadResult read = readSchedule(many);
    EXPECT_FALSE(read.valid);
    EXPECT_EQ(read.eventNames.size(), 99u) << "what fits is kept";

    Schedule full = one;
    full.eventCount = 99;
    for (std::size_t r = 0; r < 99; ++r) {
        full.events[r] = one.events[0];
        full.events[r][kNumber] = std::to_string(r + 1);
    }
    EXPECT_TRUE(readSchedule(writeSchedule(full)).valid);
}

using SeasonFileNamesWindow = SeasonWindowTest;

TEST_F(SeasonFileNamesWindow, ASeasonWithAnUpperCaseExtensionIsReadAndSavedInPlace)
{
    app.game.write("series/cup/Loud.INI", writeSchedule(makeSchedule("Loud", "1990", kClubEvents)));
    frmSeason& f = open();
    ASSERT_EQ(f.Combo1->currentText(), "Loud");
    EXPECT_EQ(listed(f), (QStringList{"First", "Second", "Third"}));
    EXPECT_EQ(f.txtYear->text(), "1990");

    f.cmdEdit_Click();
    f.txtYear->setText("1991");
    app.dialogs.expect(QStringLiteral("Loud.ini already exists.  Would you like to overwrite?"), Buttons::OkCancel,
                       Icon::Question, Answer::Ok);
    f.cmdSave_Click();
    EXPECT_EQ(app.game.read("series/cup/Loud.INI"), writeSchedule(makeSchedule("Loud", "1991", kClubEvents)));
    EXPECT_FALSE(app.game.exists("series/cup/Loud.ini")) << "no second file beside the first";
    EXPECT_EQ(entries(f.Combo1), (QStringList{"Loud"}));

    app.dialogs.expect(QStringLiteral("Are you sure you want to delte Loud season?"), Buttons::YesNo, Icon::Question,
                       Answer::Yes);
    app.dialogs.expect(QStringLiteral("No season was found."), Buttons::Ok, Icon::Critical);
    f.cmdDelete_Click();
    EXPECT_FALSE(app.game.exists("series/cup/Loud.INI"));
}

TEST_F(SeasonFileNamesWindow, ALineBreakInAFieldIsStoredAsABlank)
{
    frmSeason& f = openClub();
    f.cmdEdit_Click();
    f.cmdNewEvent_Click();
    f.txtDay->setText("26");
    f.txtMonth->setText("3");
    f.txtName->setText(QStringLiteral("Two\r\nLines\rand\nmore"));
    f.txtLaps->setText("15");
    f.cboTrack->setCurrentIndex(0);
    f.cmdAdd_Click();
    f.txtYear->setText(QStringLiteral("19\r\n99"));
    app.dialogs.expect(QStringLiteral("Club.ini already exists.  Would you like to overwrite?"), Buttons::OkCancel,
                       Icon::Question, Answer::Ok);
    f.cmdSave_Click();

    const ReadResult read = readSchedule(app.game.read("series/cup/Club.ini"));
    EXPECT_TRUE(read.valid);
    ASSERT_EQ(read.eventNames.size(), 4u);
    EXPECT_EQ(read.eventNames[3], "Two  Lines and more");
    EXPECT_EQ(read.year, "19  99");
}

}  // namespace
}  // namespace gm::season::test
