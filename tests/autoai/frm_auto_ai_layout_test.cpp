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

TEST_F(AutoAIEditorLayout, ControlsAsTheTableGivesThem)
{
    EXPECT_TRUE(test::keepsDesignSize(*window, ui::twipsSize(8055, 5895)));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);

    struct Control {
        QWidget* widget;
        const char* name;
        const char* caption;
        const char* tip;
        QRect place;
    };
    const Control controls[] = {
        {window->Combo1, "Combo1", "", "Select player name", twipsRect(120, 120, 2535, 315)},
        {window->List1, "List1", "", "Select track", twipsRect(120, 600, 2535, 5130)},
        {window->txtAI, "txtAI", "", "Type AI strength", twipsRect(6000, 4680, 1815, 285)},
        {window->cmdApply, "cmdApply", "Apply", "Apply AI strength change to the selected track",
         twipsRect(3120, 5280, 975, 495)},
        {window->cmdApplyAll, "cmdApplyAll", "Apply to All", "Apply AI strength change to all tracks",
         twipsRect(4080, 5280, 975, 495)},
        {window->cmdSave, "cmdSave", "Save", "Save changes", twipsRect(5040, 5280, 975, 495)},
        {window->cmdChart, "cmdChart", "AI Strength Chart", "", twipsRect(6000, 5280, 975, 495)},
        {window->cmdClose, "cmdClose", "Close", "Go to main screen", twipsRect(6960, 5280, 975, 495)},
        {window->Picture1, "Picture1", "", "", twipsRect(2760, 120, 5175, 5055)},
        {window->cmdHide, "cmdHide", "Hide", "", twipsRect(4200, 4680, 975, 375)},
    };
    for (const Control& c : controls) {
        EXPECT_EQ(c.widget->objectName(), c.name);
        EXPECT_EQ(c.widget->geometry(), c.place) << c.name;
        EXPECT_EQ(c.widget->toolTip(), c.tip) << c.name;
        if (auto* button = qobject_cast<QPushButton*>(c.widget)) {
            EXPECT_EQ(button->text(), c.caption);
        }
    }

    // The read-only boxes: grey, no tab stops, lined up with their labels.
    struct Box {
        QLineEdit* box;
        const char* name;
        QGroupBox* frame;
        const char* label;
        int top;
    };
    const Box boxes[] = {
        {window->txtAP, "txtAP", window->Frame1, "Best Lap Time", 480},
        {window->txtAQ, "txtAQ", window->Frame1, "Best Qualify Time", 840},
        {window->txtAR, "txtAR", window->Frame1, "Best Lap Time in Race", 1200},
        {window->txtSP, "txtSP", window->Frame2, "Best Lap Time", 2040},
        {window->txtSQ, "txtSQ", window->Frame2, "Best Qualify Time", 2400},
        {window->txtSR, "txtSR", window->Frame2, "Best Lap Time in Race", 2760},
        {window->txtMax, "txtMax", window->Frame4, "Highest AI Strength", 3600},
        {window->txtMin, "txtMin", window->Frame4, "Lowest  AI Strength", 3960},
        {window->txtAvg, "txtAvg", window->Frame4, "Average  AI Strength", 4320},
        {window->txtAI, "txtAI", window->Frame4, "Auto AI Strength  (70 - 110)", 4680},
    };
    for (const Box& b : boxes) {
        EXPECT_EQ(b.box->objectName(), b.name);
        if (b.box != window->txtAI) {
            EXPECT_EQ(b.box->geometry(), twipsRect(6000, b.top, 1815, 285)) << b.name;
            EXPECT_TRUE(b.box->isReadOnly()) << b.name;
            EXPECT_FALSE(b.box->focusPolicy() & Qt::TabFocus) << b.name;
            EXPECT_EQ(b.box->palette().color(QPalette::Base), b.box->palette().color(QPalette::Button)) << b.name;
        }
        const int frameTop = b.frame->geometry().top();
        const QLabel* label = nullptr;
        for (const QLabel* l : b.frame->findChildren<QLabel*>()) {
            if (l->text() == b.label && l->y() + frameTop == twipsRect(0, b.top, 0, 0).y()) {
                label = l;
            }
        }
        ASSERT_NE(label, nullptr) << b.label;
        EXPECT_EQ(label->x(), twipsRect(120, 0, 0, 0).x());
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << b.label;
        EXPECT_LT(label->geometry().right() + b.frame->x(), b.box->x()) << b.label;
    }

    struct Frame {
        QGroupBox* frame;
        const char* name;
        const char* caption;
        QRect place;
    };
    for (const Frame& f : {Frame{window->Frame1, "Frame1", "Arcade Mode", twipsRect(2880, 120, 5055, 1455)},
                           Frame{window->Frame2, "Frame2", "Simulatoin Mode", twipsRect(2880, 1680, 5055, 1455)},
                           Frame{window->Frame4, "Frame4", "AI Strength", twipsRect(2880, 3240, 5055, 1815)}}) {
        EXPECT_EQ(f.frame->objectName(), f.name);
        EXPECT_EQ(f.frame->title(), f.caption);
        EXPECT_EQ(f.frame->geometry(), f.place) << f.name;
    }

    EXPECT_EQ(test::tabOrderNames(window), QStringList({"Combo1", "List1", "txtAI", "cmdApply", "cmdApplyAll",
                                                         "cmdSave", "cmdChart", "cmdClose", "cmdHide"}));
}

TEST_F(AutoAIEditorLayout, ChartLabelsTooltipsAndHide)
{
    struct Label {
        int element;
        const char* text;
        QRect place;
    };
    const Label labels[] = {
        {0, "Road Course", twipsRect(2160, 120, 1215, 195)},
        {4, "Short Track", twipsRect(4560, 1080, 495, 555)},
        {5, "Flat Track", twipsRect(4320, 3600, 1215, 195)},
        {1, "Intermediate Track", twipsRect(1920, 4680, 1455, 195)},
        {3, "1.5 Oval", twipsRect(120, 3600, 735, 195)},
        {2, "Plate Track", twipsRect(120, 1080, 495, 435)},
        {7, "AI Strength\r\n", twipsRect(120, 4440, 1095, 195)},
        {6, "Average\r\n", twipsRect(120, 4680, 1095, 195)},
    };
    for (const Label& l : labels) {
        const QLabel* label = window->Text1[static_cast<std::size_t>(l.element)];
        EXPECT_EQ(label->objectName(), QStringLiteral("Text1(%1)").arg(l.element));
        EXPECT_EQ(label->parentWidget(), window->Picture1);
        EXPECT_EQ(label->text(), l.text);
        EXPECT_EQ(label->geometry(), l.place) << l.text;
        EXPECT_FALSE(label->focusPolicy() & Qt::TabFocus);
        // The caption fits: the two narrow ones on two lines.
        const QRect needed = label->fontMetrics().boundingRect(label->contentsRect(), Qt::TextWordWrap,
                                                               label->text().trimmed());
        EXPECT_LE(needed.height(), label->height()) << l.text;
    }
    EXPECT_EQ(window->Text1[6]->toolTip(), "Bigger the average polygon, more consistent at any type of tracks ");

    QTest::mouseClick(window->cmdChart, Qt::LeftButton);
    EXPECT_TRUE(window->Picture1->isVisible());
    EXPECT_TRUE(window->cmdHide->isVisible());
    // The legends are written in their polygon's colour.
    const auto inks = [](QLabel* label) {
        const QImage image = label->grab().toImage();
        int red = 0;
        int blue = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red += c.red() > 150 && c.green() < 100 && c.blue() < 100;
                blue += c.blue() > 150 && c.red() < 100 && c.green() < 100;
            }
        }
        return std::pair{red, blue};
    };
    EXPECT_GT(inks(window->Text1[7]).first, 10);
    EXPECT_EQ(inks(window->Text1[7]).second, 0);
    EXPECT_GT(inks(window->Text1[6]).second, 10);
    EXPECT_EQ(inks(window->Text1[6]).first, 0);
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

// True when a pixel of that kind lies within two pixels of a point given in
// twips of the panel.
template <typename Kind>
bool near(const QImage& image, ChartPoint at, Kind kind)
{
    const int x = qRound(at.x / ui::kTwipsPerPixel);
    const int y = qRound(at.y / ui::kTwipsPerPixel);
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            if (image.valid(x + dx, y + dy) && kind(image.pixelColor(x + dx, y + dy))) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(AutoAIEditorLayout, TheChartIsDrawnWhereItsVerticesAreAndKept)
{
    QTest::mouseClick(window->cmdChart, Qt::LeftButton);
    const ChartDrawing d = chartDrawing("100.000000", "70.000000", window->txtAvg->text().toStdString(),
                                        window->records().GroupSums);
    ASSERT_NEAR(d.meanDistance, 1111.11, 0.01);

    const auto red = [](const QColor& c) { return c.red() > 200 && c.green() < 90 && c.blue() < 90; };
    const auto blue = [](const QColor& c) { return c.blue() > 200 && c.red() < 90 && c.green() < 90; };
    const auto check = [&](const QImage& image) {
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_TRUE(near(image, d.polygon[i], red)) << "red vertex " << i;
            EXPECT_TRUE(near(image, d.hexagon[i], blue)) << "blue vertex " << i;
        }
        // Nothing red or blue in the corners of the panel.
        EXPECT_FALSE(near(image, {300, 300}, red));
        EXPECT_FALSE(near(image, {300, 300}, blue));
    };
    check(window->Picture1->grab().toImage());

    // Covered and uncovered: the panel paints the same chart again.
    window->hide();
    window->show();
    test::processEvents();
    check(window->Picture1->grab().toImage());
}

}  // namespace
}  // namespace gm::autoai
