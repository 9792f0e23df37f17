#include <gtest/gtest.h>

#include "backup/frm_progress.h"
#include "support/test_app.h"
#include "ui/geometry.h"

namespace gm::backup {
namespace {

TEST(ProgressWindow, ShowsItsLabelAndAnEmptyTitleUntilSet)
{
    test::TestApp app;
    frmProgress window(app.context);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.Form_Load();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isModal());
    EXPECT_TRUE(window.windowTitle().isEmpty());
    EXPECT_EQ(window.Label1->text(), "Please wait for a moment");
    EXPECT_EQ(window.Label1->geometry(), ui::twipsRect(120, 240, 4455, 495));
    EXPECT_EQ(window.size(), ui::twipsSize(4680, 825));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinMaxButtonsHint);
    window.setWindowTitle(QStringLiteral("Zipping backup files"));
    EXPECT_EQ(window.windowTitle(), "Zipping backup files");
}

TEST(ProgressWindow, BarFollowsTheWorkDone)
{
    test::TestApp app;
    frmProgress window(app.context);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    QProgressBar* bar = window.ProgressBar1;
    window.setProgress(0, 4);
    EXPECT_EQ(bar->value(), 0);
    window.setProgress(1, 4);
    EXPECT_EQ(bar->value() * 4, bar->maximum());
    window.setProgress(9, 4);  // more than the total: full, not beyond
    EXPECT_EQ(bar->value(), bar->maximum());
    // Totals beyond the int range (large archives in bytes) still scale.
    const qint64 big = qint64{1} << 40;
    window.setProgress(big / 2, big);
    EXPECT_EQ(bar->value() * 2, bar->maximum());
    window.setProgress(3, 0);  // unknown total: a busy bar
    EXPECT_EQ(bar->maximum(), 0);
}

}  // namespace
}  // namespace gm::backup
