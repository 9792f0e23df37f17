// A message box's details: the real box shows them as its detailed text,
// and the scripted dialogs of the window tests hold a window to them.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "support/scripted_dialogs.h"
#include "ui/dialogs.h"

namespace gm::ui {
namespace {

// The detailed text of the real box shown with these details.
QString detailedTextShown(const QString& details)
{
    QString seen = QStringLiteral("(no box)");
    QTimer::singleShot(0, [&seen] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen = box->detailedText();
            box->done(QMessageBox::Ok);
        }
    });
    EXPECT_EQ(QtDialogs().message(nullptr, QStringLiteral("The restore failed."), Buttons::Ok, Icon::Critical, {},
                                  details),
              Answer::Ok);
    return seen;
}

TEST(DialogDetails, TheRealBoxShowsThemAsItsDetailedText)
{
    EXPECT_EQ(detailedTextShown(QStringLiteral("error: invalid compressed data to inflate a.ini")).toStdString(),
              "error: invalid compressed data to inflate a.ini");
    EXPECT_EQ(detailedTextShown(QString()).toStdString(), "");
}

TEST(DialogDetails, TheScriptedBoxesCheckThem)
{
    test::ScriptedDialogs dialogs;
    dialogs.expectWithDetails(QStringLiteral("failed"), QStringLiteral("inflate"), Buttons::Ok, Icon::Critical);
    dialogs.message(nullptr, QStringLiteral("failed"), Buttons::Ok, Icon::Critical, {},
                    QStringLiteral("can't inflate"));
    EXPECT_EQ(dialogs.shown().back().details, QStringLiteral("can't inflate"));

    // Details nobody expected, none where some were, and other ones fail.
    EXPECT_NONFATAL_FAILURE(
        {
            dialogs.expect(QStringLiteral("done"), Buttons::Ok, Icon::Information);
            dialogs.message(nullptr, QStringLiteral("done"), Buttons::Ok, Icon::Information, {}, QStringLiteral("log"));
        },
        "unexpected details");
    EXPECT_NONFATAL_FAILURE(
        {
            dialogs.expectWithDetails(QStringLiteral("failed"), QStringLiteral("inflate"), Buttons::Ok, Icon::Critical);
            dialogs.message(nullptr, QStringLiteral("failed"), Buttons::Ok, Icon::Critical);
        },
        "no details");
    EXPECT_NONFATAL_FAILURE(
        {
            dialogs.expectWithDetails(QStringLiteral("failed"), QStringLiteral("inflate"), Buttons::Ok, Icon::Critical);
            dialogs.message(nullptr, QStringLiteral("failed"), Buttons::Ok, Icon::Critical, {}, QStringLiteral("CRC"));
        },
        "details of");
}

}  // namespace
}  // namespace gm::ui
