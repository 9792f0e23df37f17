#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <tuple>
#include <vector>

#include <QWindow>

#include "backup/frm_progress.h"
#include "support/test_app.h"
#include "support/control_table.h"
#include "ui/geometry.h"

namespace gm::backup {
namespace {

TEST(ProgressWindow, LayoutABarThatFollowsTheWorkDoneAndTheWorkOffTheWindowThread)
{
    test::TestApp app;
    frmProgress window(app.context);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.Form_Load();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isModal());
    EXPECT_TRUE(window.windowTitle().isEmpty());
    test::expectControls(window, {{"Label1", "Please wait for a moment", "", 120, 240, 4455, 495},
                                  {"cmdCancel", "Cancel", "", 3360, 840, 1215, 375}});
    EXPECT_EQ(window.size(), ui::twipsSize(4680, 1305));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinMaxButtonsHint);

    QProgressBar* bar = window.ProgressBar1;
    // The share of the work done, full beyond the total, and totals beyond
    // the int range (large archives in bytes) scaled down.
    const std::uint64_t big = std::uint64_t{1} << 40;
    for (const auto& [done, total, share] : std::vector<std::tuple<std::uint64_t, std::uint64_t, double>>{
             {0, 4, 0.0}, {1, 4, 0.25}, {9, 4, 1.0}, {big / 2, big, 0.5}}) {
        window.setProgress(done, total);
        EXPECT_GT(bar->maximum(), 0);
        EXPECT_EQ(bar->value(), bar->maximum() * share) << done << " of " << total;
    }
    window.setProgress(3, 0);  // unknown total: a busy bar
    EXPECT_EQ(bar->maximum(), 0);

    // The work runs on another thread; what it asks runs on this one, and
    // the bar follows the work while it waits.
    const std::thread::id windowThread = std::this_thread::get_id();
    std::atomic<std::uint64_t> done{0};
    std::atomic<bool> cancelled{false};
    std::thread::id workThread;
    std::thread::id askedOn;
    int barSeen = -1;
    int barMaximum = 0;
    window.runWork(
        [&] {
            workThread = std::this_thread::get_id();
            done = 50;
            // The bar catches up within a few polls.
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (barSeen * 2 != barMaximum && std::chrono::steady_clock::now() < giveUp) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                runOnWindowThread(&window, [&] {
                    askedOn = std::this_thread::get_id();
                    barSeen = window.ProgressBar1->value();
                    barMaximum = window.ProgressBar1->maximum();
                });
            }
            runOnWindowThread(&window, [&] { window.cmdCancel->click(); });
            while (!cancelled) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        },
        [&] { return frmProgress::Amount{done.load(), 100}; }, [&] { cancelled = true; });
    EXPECT_NE(workThread, windowThread);
    EXPECT_EQ(askedOn, windowThread);
    EXPECT_EQ(barSeen * 2, barMaximum);
    EXPECT_GT(barMaximum, 0);
    EXPECT_TRUE(window.cancelRequested());
    EXPECT_FALSE(window.cmdCancel->isEnabled());

    // The close box while working is a Cancel; the window stays.
    frmProgress other(app.context);
    other.setAttribute(Qt::WA_DeleteOnClose, false);
    other.Form_Load();
    bool stopped = false;
    other.runWork([&] { runOnWindowThread(&other, [&] { EXPECT_FALSE(other.unload()); }); }, [] {
        return frmProgress::Amount{};
    }, [&] { stopped = true; });
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(other.isVisible());

    // A failure of the work reaches the caller; a Cancel pressed before the
    // work began is passed on at once.
    frmProgress third(app.context);
    third.setAttribute(Qt::WA_DeleteOnClose, false);
    third.cmdCancel_Click();
    bool told = false;
    EXPECT_THROW(third.runWork([] { throw std::runtime_error("broken"); }, [] { return frmProgress::Amount{}; },
                               [&] { told = true; }),
                 std::runtime_error);
    EXPECT_TRUE(told);
}

TEST(ProgressWindow, StaysAboveItsOwnerWithoutBeingDisabledWithIt)
{
    test::TestApp app;
    QWidget owner;
    owner.setGeometry(300, 200, 600, 500);
    owner.show();
    frmProgress window(app.context, &owner);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.Form_Load();
    ASSERT_NE(window.windowHandle(), nullptr);
    // The owner's transient window: kept above it by the window system, and
    // not its child, so that disabling the owner leaves Cancel usable.
    EXPECT_EQ(window.windowHandle()->transientParent(), owner.windowHandle());
    EXPECT_TRUE(window.isWindow());
    owner.setEnabled(false);
    EXPECT_TRUE(window.isEnabled());
    EXPECT_TRUE(window.cmdCancel->isEnabled());
    // Opened centred on its owner.
    EXPECT_LE((window.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
}

}  // namespace
}  // namespace gm::backup
