// The real message boxes, shown on the offscreen platform: every button set,
// every button and the Escape and Return keys give the answer that the
// scripted dialogs of the window tests stand for.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <utility>
#include <vector>

#include "ui/dialogs.h"

namespace gm::ui {
namespace {

// Shows a real box and runs `act` on it once it is open; the box's answer.
Answer showAndAct(QWidget* parent, const QString& text, Buttons buttons, const std::function<void(QMessageBox*)>& act)
{
    bool acted = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            ADD_FAILURE() << "no message box open";
            return;
        }
        acted = true;
        act(box);
        if (box->isVisible()) {
            box->done(QMessageBox::NoButton);  // never leave the test hanging
            ADD_FAILURE() << "the box stayed open";
        }
    });
    const Answer answer = QtDialogs().message(parent, text, buttons, Icon::Question);
    EXPECT_TRUE(acted);
    return answer;
}

TEST(QtDialogs, EveryButtonAndKeyGivesItsAnswer)
{
    using Button = QMessageBox::StandardButton;
    struct Case {
        Buttons buttons;
        std::vector<std::pair<Button, Answer>> clicks;
        Answer onReturn, onEscape;  // closing the box answers as Escape does
    };
    const Case cases[] = {
        {Buttons::Ok, {{Button::Ok, Answer::Ok}}, Answer::Ok, Answer::Ok},
        {Buttons::OkCancel, {{Button::Ok, Answer::Ok}, {Button::Cancel, Answer::Cancel}}, Answer::Ok, Answer::Cancel},
        {Buttons::YesNo, {{Button::Yes, Answer::Yes}, {Button::No, Answer::No}}, Answer::Yes, Answer::No},
        {Buttons::YesNoCancel, {{Button::Yes, Answer::Yes}, {Button::No, Answer::No}, {Button::Cancel, Answer::Cancel}},
         Answer::Yes, Answer::Cancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.buttons));
        // Each button clicked, and pressed by Enter once it has the focus: a
        // button reached with Tab answers Enter itself.
        for (const auto& [button, answer] : c.clicks) {
            for (const bool enter : {false, true}) {
                EXPECT_EQ(showAndAct(nullptr, QStringLiteral("Click"), c.buttons,
                                     [&, b = button](QMessageBox* box) {
                                         EXPECT_EQ(box->buttons().size(), static_cast<qsizetype>(c.clicks.size()));
                                         ASSERT_NE(box->button(b), nullptr);
                                         if (!enter) {
                                             QTest::mouseClick(box->button(b), Qt::LeftButton);
                                             return;
                                         }
                                         QApplication::setActiveWindow(box);
                                         box->button(b)->setFocus();
                                         ASSERT_EQ(QApplication::focusWidget(), box->button(b));
                                         QTest::keyClick(box->button(b), Qt::Key_Return);
                                     }),
                          answer)
                    << "button " << button << (enter ? " by Enter" : "");
            }
        }
        const std::pair<std::function<void(QMessageBox*)>, Answer> keys[] = {
            {[](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }, c.onReturn},
            {[](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier); }, c.onReturn},
            {[](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }, c.onEscape},
            {[](QMessageBox* box) { box->close(); }, c.onEscape},
        };
        for (const auto& [act, answer] : keys) {
            EXPECT_EQ(showAndAct(nullptr, QStringLiteral("Key"), c.buttons, act), answer);
        }
    }
}

TEST(QtDialogs, BoxesAreCentredOverTheirWindowOrTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    auto centreOfBox = [](QWidget* parent) {
        QPoint centre;
        showAndAct(parent, QStringLiteral("Where am I?"), Buttons::Ok, [&](QMessageBox* box) {
            centre = box->geometry().center();
            box->button(QMessageBox::Ok)->click();
        });
        return centre;
    };
    // No window, and a window not shown yet with no other window of the
    // program active (the first start): the middle of the screen.
    QWidget hidden;
    hidden.resize(300, 200);
    for (QWidget* parent : {static_cast<QWidget*>(nullptr), &hidden}) {
        const QPoint centre = centreOfBox(parent);
        EXPECT_LE((centre - screen.center()).manhattanLength(), 4) << centre.x() << "," << centre.y();
    }
    // A shown window, and a window not shown yet while the program's active
    // window (the menu) is: over that window.
    QWidget shown;
    shown.setGeometry(screen.left() + 40, screen.top() + 60, 500, 400);
    shown.show();
    for (QWidget* parent : {&shown, &hidden}) {
        QApplication::setActiveWindow(&shown);
        const QPoint centre = centreOfBox(parent);
        EXPECT_LE((centre - shown.frameGeometry().center()).manhattanLength(), 4) << centre.x() << "," << centre.y();
    }
}

TEST(QtDialogs, LongWordsNeverMakeABoxWiderThanTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QString name(300, QLatin1Char('x'));
    showAndAct(nullptr, QStringLiteral("Could not save the file ") + name + QStringLiteral(".ini."), Buttons::Ok,
               [&](QMessageBox* box) {
                   EXPECT_LE(box->frameGeometry().width(), screen.width());
                   EXPECT_TRUE(screen.contains(box->geometry())) << box->geometry().x() << "," << box->width();
                   // Elided in the middle: both ends of the text stay readable.
                   EXPECT_TRUE(box->text().startsWith(QStringLiteral("Could not save the file xxx")));
                   EXPECT_TRUE(box->text().endsWith(QStringLiteral("xxx.ini.")));
                   EXPECT_TRUE(box->text().contains(QChar(0x2026)));
                   box->button(QMessageBox::Ok)->click();
               });
    // Ordinary text is shown as given.
    showAndAct(nullptr, QStringLiteral("Could not delete the file."), Buttons::Ok, [](QMessageBox* box) {
        EXPECT_EQ(box->text(), QStringLiteral("Could not delete the file."));
        box->button(QMessageBox::Ok)->click();
    });
}

}  // namespace
}  // namespace gm::ui
