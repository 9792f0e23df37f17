// What the track tests share: track files, and the surroundings of a track
// editor window test (a temporary game folder with tracks, the application
// folder, scripted dialogs and the window).
#pragma once

#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>
#include <string>

#include "support/test_app.h"
#include "track/frm_track.h"

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

// A track.ini holding the twelve keys with these values, each followed by
// two blanks and a comment, between other lines.
inline std::string iniWith(const track::TrackValues& values)
{
    std::string out = "[track]\r\ntrack_name = x\r\n";
    for (std::size_t key = 0; key < track::kKeyCount; ++key) {
        out += std::string(track::kKeyPrefixes[key]) + values[key] + "  // note " + std::to_string(key) + "\r\n";
    }
    return out + "pit_speed = 60\r\n";
}

// Twelve distinct values whose last digit tells the track apart.
inline track::TrackValues valuesOf(int track)
{
    track::TrackValues values;
    for (std::size_t key = 0; key < track::kKeyCount; ++key) {
        values[key] = std::to_string(key + 1) + "." + std::to_string(track);
    }
    return values;
}

// valuesOf(track) with one value changed.
inline track::TrackValues valuesWith(int track, std::size_t key, const std::string& value)
{
    track::TrackValues values = valuesOf(track);
    values[key] = value;
    return values;
}

// One record of defaultTrackini.dat: the track name and its twelve values,
// quoted, between separators (commas, or line ends for one field a line).
inline std::string defaultsRecord(const std::string& name, const track::TrackValues& values,
                                  const std::string& separator = ",")
{
    std::string out = "\"" + name + "\"";
    for (const std::string& v : values) {
        out += separator + "\"" + v + "\"";
    }
    return out + "\r\n";
}

class TrackWindowTest : public ::testing::Test {
protected:
    TestApp app;
    QPointer<track::frmTrack> window;

    void TearDown() override
    {
        delete window.data();
        processEvents();
    }

    void addTrack(const std::string& name, const std::string& ini) const
    {
        app.game.write("tracks/" + name + "/track.ini", ini);
    }
    std::string trackFile(const std::string& name) const { return app.game.read("tracks/" + name + "/track.ini"); }

    track::frmTrack* open()
    {
        window = new track::frmTrack(app.context);
        window->Form_Load();
        return window;
    }

    // Opens on the one track "atlanta" holding valuesOf(1).
    track::frmTrack* openAtlanta()
    {
        addTrack("atlanta", iniWith(valuesOf(1)));
        return open();
    }

    // The unsaved-changes state; Save and Cancel must always agree.
    bool changed() const
    {
        EXPECT_EQ(window->cmdSave->isEnabled(), window->cmdCancel->isEnabled());
        return window->cmdSave->isEnabled();
    }

    // The boxes show these values, and the window has unsaved changes or not.
    ::testing::AssertionResult shows(const track::TrackValues& values, bool unsaved) const
    {
        for (std::size_t key = 0; key < values.size(); ++key) {
            if (const std::string text = window->Text1[key]->text().toStdString(); text != values[key]) {
                return ::testing::AssertionFailure() << "box " << key << " shows \"" << text << "\", not \""
                                                     << values[key] << '"';
            }
        }
        if (changed() != unsaved) {
            return ::testing::AssertionFailure() << (unsaved ? "no unsaved changes" : "unsaved changes");
        }
        return ::testing::AssertionSuccess();
    }

    static void click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Replaces a box's text as the user does: select all, then type.
    void type(std::size_t box, const QString& text) const
    {
        QLineEdit* edit = window->Text1[box];
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(edit, Qt::Key_Delete);
        } else {
            QTest::keyClicks(edit, text);
        }
    }

    // Clicks a list entry with the mouse.
    void clickTrack(int row) const
    {
        QListWidget* list = window->List1;
        const QRect place = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    }
};

}  // namespace gm::test
