// The track editor's layout against its control table: rectangles in twips
// (15 to a pixel), captions, tooltips and the keyboard order.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QTest>

#include "support/layout_check.h"
#include "track/frm_track.h"
#include "track_window.h"
#include "ui/geometry.h"

namespace gm::track {
namespace {

using ui::twipsRect;

class TrackEditorLayout : public test::TrackWindowTest {
protected:
    void SetUp() override
    {
        openAtlanta();
        ASSERT_FALSE(window->isUnloaded());
    }
};

struct LabelRow {
    int box;
    int label;
    const char* caption;
    const char* tip;
};

// Box, its label, caption and tooltip; the first six in the Track frame.
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

TEST_F(TrackEditorLayout, ClientSizeAndTheFixedSizeRule)
{
    EXPECT_TRUE(test::keepsDesignSize(*window, ui::twipsSize(6255, 6015)));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(TrackEditorLayout, ListFramesButtonsAndLabel2)
{
    EXPECT_EQ(window->List1->objectName(), "List1");
    EXPECT_EQ(window->List1->geometry(), twipsRect(120, 120, 2535, 5130));
    EXPECT_EQ(window->List1->toolTip(), "Select track");

    EXPECT_EQ(window->Frame1->objectName(), "Frame1");
    EXPECT_EQ(window->Frame1->title(), "Track");
    EXPECT_EQ(window->Frame1->geometry(), twipsRect(2760, 120, 3375, 2535));
    EXPECT_EQ(window->Frame2->objectName(), "Frame2");
    EXPECT_EQ(window->Frame2->title(), "AI (Simulation Only)");
    EXPECT_EQ(window->Frame2->geometry(), twipsRect(2760, 2760, 3375, 2535));

    struct Button {
        QPushButton* button;
        const char* name;
        const char* caption;
        const char* tip;
        int left;
    };
    const Button buttons[] = {
        {window->cmdRestore, "cmdRestore", "Restore Default", "Restore default values for selected track", 1800},
        {window->cmdSave, "cmdSave", "Save", "Apply change", 2880},
        {window->cmdCancel, "cmdCancel", "Cancel", "", 3960},
        {window->cmdClose, "cmdClose", "Close", "Go to main screen", 5040},
    };
    for (const Button& b : buttons) {
        EXPECT_EQ(b.button->objectName(), b.name);
        EXPECT_EQ(b.button->text(), b.caption);
        EXPECT_EQ(b.button->toolTip(), b.tip) << b.name;
        EXPECT_EQ(b.button->parentWidget(), window.data()) << b.name;
        EXPECT_EQ(b.button->geometry(), twipsRect(b.left, 5400, 1095, 495)) << b.name;
    }

    EXPECT_EQ(window->Label2->objectName(), "Label2");
    EXPECT_EQ(window->Label2->text(), "Point names for pop-up help.");
    EXPECT_EQ(window->Label2->geometry(), twipsRect(240, 5400, 1215, 495));
    EXPECT_TRUE(window->Label2->toolTip().isEmpty());
    // The caption wraps inside its rectangle rather than running under the
    // buttons.
    const QRect needed = window->Label2->fontMetrics().boundingRect(
        window->Label2->contentsRect(), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, window->Label2->text());
    EXPECT_LE(needed.height(), window->Label2->height());
}

TEST_F(TrackEditorLayout, BoxesAndLabelsSitInTheirFrames)
{
    for (const LabelRow& row : kRows) {
        const QLineEdit* box = window->Text1[static_cast<std::size_t>(row.box)];
        const QLabel* label = window->Label1[static_cast<std::size_t>(row.label)];
        const QWidget* frame = row.box < 6 ? window->Frame1 : window->Frame2;
        const int top = 360 + 360 * (row.box % 6);

        EXPECT_EQ(box->objectName(), QStringLiteral("Text1(%1)").arg(row.box));
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
}

TEST_F(TrackEditorLayout, TabOrder)
{
    QStringList expected{"List1"};
    for (int i = 0; i < 12; ++i) {
        expected << QStringLiteral("Text1(%1)").arg(i);
    }
    expected << "cmdRestore" << "cmdSave" << "cmdCancel" << "cmdClose";

    // Walk the focus chain from the list once round, keeping the controls
    // that take focus from the keyboard.
    QStringList order;
    QWidget* w = window->List1;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->window() == window.data() && w != window.data()) {
            order << w->objectName();
        }
        w = w->nextInFocusChain();
    } while (w != window->List1);
    EXPECT_EQ(order, expected);

    // And with the keyboard: Tab from the list goes through the boxes in
    // index order (Save and Cancel are disabled while clean).
    window->List1->setFocus();
    ASSERT_EQ(window->focusWidget(), window->List1);
    const auto tab = [this] { QTest::keyClick(window->focusWidget(), Qt::Key_Tab); };
    for (std::size_t i = 0; i < 12; ++i) {
        tab();
        ASSERT_EQ(window->focusWidget(), window->Text1[i]) << i;
    }
    tab();
    EXPECT_EQ(window->focusWidget(), window->cmdRestore);
    tab();
    EXPECT_EQ(window->focusWidget(), window->cmdClose);
}

}  // namespace
}  // namespace gm::track
