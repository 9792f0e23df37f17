// The auto AI editor's layout against its control tables, and the chart
// panel: labels, tooltips, what is drawn and where it lands on screen.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "autoai/frm_auto_ai.h"
#include "autoai/strength_chart.h"
#include "autoai_window.h"
#include "support/layout_check.h"
#include "support/control_table.h"
#include "ui/geometry.h"

namespace gm::autoai {
namespace {

using ui::twipsRect;

// Every known track at its group's strength: group averages 100, 90, 80,
// 95, 85 and 70, the lowest single strength 70, the highest 100.
std::string workedExampleRecords()
{
    const std::array<const char*, 6> strengths = {"100", "90", "80", "95", "85", "70"};
    std::string out;
    for (const char* name : {"atlanta", "bristol", "bristol_night", "california", "chicagoland", "darlington",
                             "daytona", "daytona_night", "dover", "homestead", "indianapolis", "infineon",
                             "kansas", "las_vegas", "lowes_night", "martinsville", "michigan", "north_carolina",
                             "new_hampshire", "phoenix", "pocono", "richmond_night", "talladega", "texas",
                             "watkins_glen"}) {
        out += test::section(name, strengths[*groupOfSection(name)], {});
    }
    return out;
}

class AutoAIEditorLayout : public test::AutoAIWindowTest {
protected:
    void SetUp() override
    {
        addPlayer("Ann", workedExampleRecords());
        open();
        ASSERT_FALSE(window->isUnloaded());
    }
};

TEST_F(AutoAIEditorLayout, EveryControlAsTheTablesGiveIt)
{
    EXPECT_TRUE(test::keepsDesignSize(*window, ui::twipsSize(8055, 5895)));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    // The window, its frames and the chart panel; a width of 0 is a label
    // sized to its caption.
    test::expectControls(*window, {
        {"Combo1", nullptr, "Select player name", 120, 120, 2535, 315},
        {"List1", nullptr, "Select track", 120, 600, 2535, 5130},
        {"txtAI", nullptr, "Type AI strength", 6000, 4680, 1815, 285},
        {"cmdApply", "Apply", "Apply AI strength change to the selected track", 3120, 5280, 975, 495},
        {"cmdApplyAll", "Apply to All", "Apply AI strength change to all tracks", 4080, 5280, 975, 495},
        {"cmdSave", "Save", "Save changes", 5040, 5280, 975, 495},
        {"cmdChart", "AI Strength Chart", "", 6000, 5280, 975, 495},
        {"cmdClose", "Close", "Go to main screen", 6960, 5280, 975, 495},
        {"txtAP", nullptr, "", 6000, 480, 1815, 285},
        {"txtAQ", nullptr, "", 6000, 840, 1815, 285},
        {"txtAR", nullptr, "", 6000, 1200, 1815, 285},
        {"txtSP", nullptr, "", 6000, 2040, 1815, 285},
        {"txtSQ", nullptr, "", 6000, 2400, 1815, 285},
        {"txtSR", nullptr, "", 6000, 2760, 1815, 285},
        {"txtMax", nullptr, "", 6000, 3600, 1815, 285},
        {"txtMin", nullptr, "", 6000, 3960, 1815, 285},
        {"txtAvg", nullptr, "", 6000, 4320, 1815, 285},
        {"Picture1", "", "", 2760, 120, 5175, 5055},
        {"Frame1", "Arcade Mode", "", 2880, 120, 5055, 1455},
        {"Frame2", "Simulatoin Mode", "", 2880, 1680, 5055, 1455},
        {"Frame4", "AI Strength", "", 2880, 3240, 5055, 1815},
        {"Label1", "Best Lap Time", "", 120, 360, 0, 195, "Frame1"},
        {"Label2", "Best Qualify Time", "", 120, 720, 0, 195, "Frame1"},
        {"Label3", "Best Lap Time in Race", "", 120, 1080, 0, 195, "Frame1"},
        {"Label4", "Best Lap Time", "", 120, 360, 0, 195, "Frame2"},
        {"Label5", "Best Qualify Time", "", 120, 720, 0, 195, "Frame2"},
        {"Label6", "Best Lap Time in Race", "", 120, 1080, 0, 195, "Frame2"},
        {"Label7", "Highest AI Strength", "", 120, 360, 0, 195, "Frame4"},
        {"Label8", "Lowest  AI Strength", "", 120, 720, 0, 195, "Frame4"},
        {"Label9", "Average  AI Strength", "", 120, 1080, 0, 195, "Frame4"},
        {"Label10", "Auto AI Strength  (70 - 110)", "", 120, 1440, 0, 195, "Frame4"},
        {"cmdHide", "Hide", "", 4200, 4680, 975, 375, "Picture1"},
        {"Text1(0)", "Road Course", "", 2160, 120, 1215, 195, "Picture1"},
        {"Text1(1)", "Intermediate Track", "", 1920, 4680, 1455, 195, "Picture1"},
        {"Text1(2)", "Plate Track", "", 120, 1080, 495, 435, "Picture1"},
        {"Text1(3)", "1.5 Oval", "", 120, 3600, 735, 195, "Picture1"},
        {"Text1(4)", "Short Track", "", 4560, 1080, 495, 555, "Picture1"},
        {"Text1(5)", "Flat Track", "", 4320, 3600, 1215, 195, "Picture1"},
        {"Text1(6)", "Average\r\n", "Bigger the average polygon, more consistent at any type of tracks ", 120, 4680,
         1095, 195, "Picture1"},
        {"Text1(7)", "AI Strength\r\n", "", 120, 4440, 1095, 195, "Picture1"},
    });
    // The frames' labels stay clear of the boxes beside the frames.
    for (const QGroupBox* frame : {window->Frame1, window->Frame2, window->Frame4}) {
        for (const QLabel* label : frame->findChildren<QLabel*>()) {
            EXPECT_LT(label->geometry().right(), twipsRect(6000 - 2880, 0, 0, 0).x())
                << label->objectName().toStdString();
        }
    }
    // The boxes that only show values: read-only, grey and out of the tab chain.
    for (const QLineEdit* box : {window->txtAP, window->txtAQ, window->txtAR, window->txtSP, window->txtSQ,
                                 window->txtSR, window->txtMax, window->txtMin, window->txtAvg}) {
        EXPECT_TRUE(box->isReadOnly()) << box->objectName().toStdString();
        EXPECT_EQ(box->palette().color(QPalette::Base), box->palette().color(QPalette::Button));
    }
    EXPECT_EQ(test::tabOrderNames(window), QStringList({"Combo1", "List1", "txtAI", "cmdApply", "cmdApplyAll",
                                                         "cmdSave", "cmdChart", "cmdClose", "cmdHide"}));
}

bool red(const QColor& c)
{
    return c.red() > 150 && c.green() < 100 && c.blue() < 100;
}
bool blue(const QColor& c)
{
    return c.blue() > 150 && c.red() < 100 && c.green() < 100;
}

// The pixels of that colour within `reach` pixels of a point given in twips
// of the widget.
int pixels(const QImage& image, ChartPoint at, int reach, bool (*colour)(const QColor&))
{
    const int x = qRound(at.x / ui::kTwipsPerPixel);
    const int y = qRound(at.y / ui::kTwipsPerPixel);
    int count = 0;
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            count += image.valid(x + dx, y + dy) && colour(image.pixelColor(x + dx, y + dy));
        }
    }
    return count;
}

TEST_F(AutoAIEditorLayout, TheChartWithItsTooltipsAndLegendsIsDrawnWhereItsVerticesAreAndKept)
{
    QTest::mouseClick(window->cmdChart, Qt::LeftButton);
    const std::pair<int, const char*> tips[] = {
        {0, "100.0000 (Infineon, Watkins Glen)"},
        {4, "90.0000 (Bristol, Martinsville, Richmond)"},
        {5, "80.0000 (Homestead, Indianapolis, Las Vegas, New Hampshire, Phoenix, Pocono)"},
        {1, "95.0000 (California, Darlington, Dover, Michigan, North Carolina)"},
        {3, "85.0000 (Atlanta, Charlotte, Chicagoland, Kansas, Texas)"},
        {2, "70.0000 (Daytona, Talladega)"},
    };
    for (const auto& [element, tip] : tips) {
        EXPECT_EQ(window->Text1[static_cast<std::size_t>(element)]->toolTip(), tip);
        EXPECT_TRUE(window->Text1[static_cast<std::size_t>(element)]->isVisible());
    }
    EXPECT_TRUE(window->cmdHide->isVisible());
    // The legends are written in their polygon's colour.
    const QImage redLegend = window->Text1[7]->grab().toImage();
    const QImage blueLegend = window->Text1[6]->grab().toImage();
    EXPECT_GT(pixels(redLegend, {0, 0}, 200, red), 10);
    EXPECT_EQ(pixels(redLegend, {0, 0}, 200, blue), 0);
    EXPECT_GT(pixels(blueLegend, {0, 0}, 200, blue), 10);
    EXPECT_EQ(pixels(blueLegend, {0, 0}, 200, red), 0);

    const ChartDrawing d = chartDrawing("100.000000", "70.000000", window->txtAvg->text().toStdString(),
                                        window->records().GroupSums);
    ASSERT_NEAR(d.meanDistance, 1111.11, 0.01);
    const auto check = [&](const QImage& image) {
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_GT(pixels(image, d.polygon[i], 2, red), 0) << "red vertex " << i;
            EXPECT_GT(pixels(image, d.hexagon[i], 2, blue), 0) << "blue vertex " << i;
        }
        // Nothing red or blue in the corners of the panel.
        EXPECT_EQ(pixels(image, {300, 300}, 2, red) + pixels(image, {300, 300}, 2, blue), 0);
    };
    check(window->Picture1->grab().toImage());
    // Covered and uncovered: the panel paints the same chart again.
    window->hide();
    window->show();
    test::processEvents();
    check(window->Picture1->grab().toImage());

    QTest::mouseClick(window->cmdHide, Qt::LeftButton);
    EXPECT_FALSE(window->Picture1->isVisible());
    EXPECT_FALSE(window->cmdHide->isVisibleTo(window));
    for (const QLabel* label : window->Text1) {
        EXPECT_FALSE(label->isVisibleTo(window));
    }
    // The chart button draws again; a player choice hides the panel.
    QTest::mouseClick(window->cmdChart, Qt::LeftButton);
    EXPECT_TRUE(window->Picture1->isVisible());
    window->Combo1_Click();
    EXPECT_FALSE(window->Picture1->isVisible());
}

}  // namespace
}  // namespace gm::autoai
