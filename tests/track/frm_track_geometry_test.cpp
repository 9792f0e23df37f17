// The track editor's layout against its control table: rectangles in twips
// (15 to a pixel), captions, tooltips and the keyboard order.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QTest>
#include <vector>

#include "support/layout_check.h"
#include "track/frm_track.h"
#include "track_window.h"
#include "ui/geometry.h"

namespace gm::track {
namespace {

using ui::twipsRect;

class TrackEditorLayout : public test::TrackWindowTest {};

// Box, its label, caption and tooltip; the first six in the Track frame.
struct LabelRow {
    std::size_t box, label;
    const char* caption;
    const char* tip;
};
const LabelRow kRows[] = {
    {0, 6, "Tire Heat", "> modifies amount of heat going into the tire at a given track"},
    {1, 7, "Tire Wear", "> 1.0 means more wear, i.e. 2.0 is twice normal wear, 0.5 is half normal wear"},
    {2, 8, "Tire Wear Loss", "percentage of grip lost at full tire wear"},
    {3, 9, "Tire Wear Exp", "> 1.0 gives a bigger fall off later in run < 1.0 gives a bigger fall off early in run"},
    {4, 10, "Asphalt Grip", "> 1.0 means more grip.  This shouldn't have to change by more than +- 0.05"},
    {5, 11, "Concrete Grip", "> means more grip.  Again, keep between about 0.9 and 1.05"},
    {6, 0, "Accel Modifier", "acceleration grip efficiency"},
    {7, 1, "Decel Modifier", "braking grip efficiency"},
    {8, 2, "Fuel Use", "> 1.0 = more fuel consumed"},
    {9, 3, "Grip Modifier", "> 1.0 = more grip"},
    {10, 4, "Drag Modifier", "> 1.0 = more drag, which is slower"},
    {11, 5, "Qualify Modifier", "> 1.0 = faster during qualifying"},
};

TEST_F(TrackEditorLayout, ControlsCaptionsTooltipsAndTabOrder)
{
    openAtlanta();
    ASSERT_FALSE(window->isUnloaded());
    EXPECT_TRUE(test::keepsDesignSize(*window, ui::twipsSize(6255, 6015)));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);

    struct Control {
        QWidget* widget;
        const char* name;
        QString caption;
        const char* want;
        const char* tip;
        QRect rect;
    };
    const Control controls[] = {
        {window->List1, "List1", {}, "", "Select track", twipsRect(120, 120, 2535, 5130)},
        {window->Frame1, "Frame1", window->Frame1->title(), "Track", "", twipsRect(2760, 120, 3375, 2535)},
        {window->Frame2, "Frame2", window->Frame2->title(), "AI (Simulation Only)", "",
         twipsRect(2760, 2760, 3375, 2535)},
        {window->cmdRestore, "cmdRestore", window->cmdRestore->text(), "Restore Default",
         "Restore default values for selected track", twipsRect(1800, 5400, 1095, 495)},
        {window->cmdSave, "cmdSave", window->cmdSave->text(), "Save", "Apply change",
         twipsRect(2880, 5400, 1095, 495)},
        {window->cmdCancel, "cmdCancel", window->cmdCancel->text(), "Cancel", "", twipsRect(3960, 5400, 1095, 495)},
        {window->cmdClose, "cmdClose", window->cmdClose->text(), "Close", "Go to main screen",
         twipsRect(5040, 5400, 1095, 495)},
        {window->Label2, "Label2", window->Label2->text(), "Point names for pop-up help.", "",
         twipsRect(240, 5400, 1215, 495)},
    };
    for (const Control& c : controls) {
        EXPECT_EQ(c.widget->objectName(), c.name);
        EXPECT_EQ(c.widget->parentWidget(), window.data()) << c.name;
        EXPECT_EQ(c.caption, c.want) << c.name;
        EXPECT_EQ(c.widget->toolTip(), c.tip) << c.name;
        EXPECT_EQ(c.widget->geometry(), c.rect) << c.name;
    }
    // Label2's caption wraps inside its rectangle rather than running under
    // the buttons.
    const QRect needed = window->Label2->fontMetrics().boundingRect(
        window->Label2->contentsRect(), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, window->Label2->text());
    EXPECT_LE(needed.height(), window->Label2->height());

    QStringList order{"List1"};
    for (const LabelRow& row : kRows) {
        const QLineEdit* box = window->Text1[row.box];
        const QLabel* label = window->Label1[row.label];
        const QWidget* frame = row.box < 6 ? window->Frame1 : window->Frame2;
        const int top = 360 + 360 * static_cast<int>(row.box % 6);
        order << QStringLiteral("Text1(%1)").arg(row.box);

        EXPECT_EQ(box->objectName(), order.back());
        EXPECT_EQ(box->parentWidget(), frame) << row.box;
        EXPECT_EQ(box->geometry(), twipsRect(1680, top, 1575, 285)) << row.box;
        EXPECT_TRUE(box->toolTip().isEmpty());

        EXPECT_EQ(label->objectName(), QStringLiteral("Label1(%1)").arg(row.label));
        EXPECT_EQ(label->parentWidget(), frame) << row.caption;
        EXPECT_EQ(label->text(), row.caption);
        EXPECT_EQ(label->toolTip(), row.tip);
        const QRect place = twipsRect(120, top, 0, 195);
        EXPECT_EQ(label->pos(), place.topLeft()) << row.caption;
        EXPECT_EQ(label->height(), place.height()) << row.caption;
        // Sized to the caption: the whole caption fits, and the label ends
        // before its box begins.
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << row.caption;
        EXPECT_LT(label->geometry().right(), box->geometry().left()) << row.caption;
    }
    order << "cmdRestore" << "cmdSave" << "cmdCancel" << "cmdClose";
    EXPECT_EQ(test::tabOrderNames(window), order);

    // And with the keyboard: Tab from the list goes through the boxes in
    // index order, then skips Save and Cancel, disabled while clean.
    window->List1->setFocus();
    ASSERT_EQ(window->focusWidget(), window->List1);
    std::vector<QWidget*> stops(window->Text1.begin(), window->Text1.end());
    stops.insert(stops.end(), {window->cmdRestore, window->cmdClose});
    for (QWidget* stop : stops) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(window->focusWidget(), stop) << stop->objectName().toStdString();
    }
}

}  // namespace
}  // namespace gm::track
