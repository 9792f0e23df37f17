// The auto AI editor's layout against its control tables, and the chart
// panel: labels, tooltips, what is drawn and where it lands on screen.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "autoai/frm_auto_ai.h"
#include "autoai/strength_chart.h"
#include "autoai_window.h"
#include "support/layout_check.h"
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

// Every control of the window and the chart panel: its parent, caption,
// tooltip and place in twips. A width of 0 is a label sized to its caption.
struct Place {
    const char* name;
    const char* parent;
    const char* text;
    const char* tip;
    int left, top, width, height;
};
const Place kPlaces[] = {
    {"Combo1", "frmAutoAI", "", "Select player name", 120, 120, 2535, 315},
    {"List1", "frmAutoAI", "", "Select track", 120, 600, 2535, 5130},
    {"txtAI", "frmAutoAI", "", "Type AI strength", 6000, 4680, 1815, 285},
    {"cmdApply", "frmAutoAI", "Apply", "Apply AI strength change to the selected track", 3120, 5280, 975, 495},
    {"cmdApplyAll", "frmAutoAI", "Apply to All", "Apply AI strength change to all tracks", 4080, 5280, 975, 495},
    {"cmdSave", "frmAutoAI", "Save", "Save changes", 5040, 5280, 975, 495},
    {"cmdChart", "frmAutoAI", "AI Strength Chart", "", 6000, 5280, 975, 495},
    {"cmdClose", "frmAutoAI", "Close", "Go to main screen", 6960, 5280, 975, 495},
    {"txtAP", "frmAutoAI", "", "", 6000, 480, 1815, 285},
    {"txtAQ", "frmAutoAI", "", "", 6000, 840, 1815, 285},
    {"txtAR", "frmAutoAI", "", "", 6000, 1200, 1815, 285},
    {"txtSP", "frmAutoAI", "", "", 6000, 2040, 1815, 285},
    {"txtSQ", "frmAutoAI", "", "", 6000, 2400, 1815, 285},
    {"txtSR", "frmAutoAI", "", "", 6000, 2760, 1815, 285},
    {"txtMax", "frmAutoAI", "", "", 6000, 3600, 1815, 285},
    {"txtMin", "frmAutoAI", "", "", 6000, 3960, 1815, 285},
    {"txtAvg", "frmAutoAI", "", "", 6000, 4320, 1815, 285},
    {"Picture1", "frmAutoAI", "", "", 2760, 120, 5175, 5055},
    {"Frame1", "frmAutoAI", "Arcade Mode", "", 2880, 120, 5055, 1455},
    {"Frame2", "frmAutoAI", "Simulatoin Mode", "", 2880, 1680, 5055, 1455},
    {"Frame4", "frmAutoAI", "AI Strength", "", 2880, 3240, 5055, 1815},
    {"Label1", "Frame1", "Best Lap Time", "", 120, 360, 0, 195},
    {"Label2", "Frame1", "Best Qualify Time", "", 120, 720, 0, 195},
    {"Label3", "Frame1", "Best Lap Time in Race", "", 120, 1080, 0, 195},
    {"Label4", "Frame2", "Best Lap Time", "", 120, 360, 0, 195},
    {"Label5", "Frame2", "Best Qualify Time", "", 120, 720, 0, 195},
    {"Label6", "Frame2", "Best Lap Time in Race", "", 120, 1080, 0, 195},
    {"Label7", "Frame4", "Highest AI Strength", "", 120, 360, 0, 195},
    {"Label8", "Frame4", "Lowest  AI Strength", "", 120, 720, 0, 195},
    {"Label9", "Frame4", "Average  AI Strength", "", 120, 1080, 0, 195},
    {"Label10", "Frame4", "Auto AI Strength  (70 - 110)", "", 120, 1440, 0, 195},
    {"cmdHide", "Picture1", "Hide", "", 4200, 4680, 975, 375},
    {"Text1(0)", "Picture1", "Road Course", "", 2160, 120, 1215, 195},
    {"Text1(1)", "Picture1", "Intermediate Track", "", 1920, 4680, 1455, 195},
    {"Text1(2)", "Picture1", "Plate Track", "", 120, 1080, 495, 435},
    {"Text1(3)", "Picture1", "1.5 Oval", "", 120, 3600, 735, 195},
    {"Text1(4)", "Picture1", "Short Track", "", 4560, 1080, 495, 555},
    {"Text1(5)", "Picture1", "Flat Track", "", 4320, 3600, 1215, 195},
    {"Text1(6)", "Picture1", "Average\r\n", "Bigger the average polygon, more consistent at any type of tracks ", 120,
     4680, 1095, 195},
    {"Text1(7)", "Picture1", "AI Strength\r\n", "", 120, 4440, 1095, 195},
};

QString textOf(const QWidget* w)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return button->text();
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(w)) {
        return frame->title();
    }
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        return label->text();
    }
    return {};
}

TEST_F(AutoAIEditorLayout, EveryControlAsTheTablesGiveIt)
{
    EXPECT_TRUE(test::keepsDesignSize(*window, ui::twipsSize(8055, 5895)));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    for (const Place& p : kPlaces) {
        const auto* w = window->findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->parentWidget()->objectName(), p.parent) << p.name;
        EXPECT_EQ(textOf(w), p.text) << p.name;
        EXPECT_EQ(w->toolTip(), p.tip) << p.name;
        const QRect place = twipsRect(p.left, p.top, p.width, p.height);
        if (p.width > 0) {
            EXPECT_EQ(w->geometry(), place) << p.name;
        } else {
            EXPECT_EQ(w->geometry().topLeft(), place.topLeft()) << p.name;
            EXPECT_EQ(w->height(), place.height()) << p.name;
            // Sized to its caption, and clear of the boxes beside the frame.
            EXPECT_GE(w->width(), w->fontMetrics().horizontalAdvance(textOf(w))) << p.name;
            EXPECT_LT(w->geometry().right(), twipsRect(6000 - 2880, 0, 0, 0).x()) << p.name;
        }
        if (const auto* label = qobject_cast<const QLabel*>(w); label && p.width > 0) {
            // The chart labels' captions fit: the two narrow ones on two lines.
            EXPECT_LE(label->fontMetrics()
                          .boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text().trimmed())
                          .height(),
                      label->height())
                << p.name;
        }
        if (QString::fromLatin1(p.name).startsWith("txt") && w != window->txtAI) {
            // The read-only boxes: grey and out of the tab chain.
            const auto* box = qobject_cast<const QLineEdit*>(w);
            EXPECT_TRUE(box->isReadOnly()) << p.name;
            EXPECT_EQ(box->palette().color(QPalette::Base), box->palette().color(QPalette::Button)) << p.name;
        }
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
