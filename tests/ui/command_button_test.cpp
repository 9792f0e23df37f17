// The button every window uses answers the keyboard as a Windows button
// does: focused, it is pressed by Space and by Enter (main or keypad), once
// per key press.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include "ui/command_button.h"

namespace gm::ui {
namespace {

class FocusedButton : public ::testing::Test {
protected:
    // A plain window (not a dialog) with a text box and two buttons that
    // are neither default nor auto-default, as the program's windows have
    // them; the second button has the focus.
    void SetUp() override
    {
        window.resize(300, 100);
        box = new QLineEdit(&window);
        first = new CommandButton(QStringLiteral("First"), &window);
        second = new CommandButton(QStringLiteral("Second"), &window);
        for (CommandButton* button : {first, second}) {
            button->setAutoDefault(false);
        }
        first->move(0, 40);
        second->move(100, 40);
        window.show();
        QApplication::setActiveWindow(&window);
        second->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), second);
    }

    // Sends a key press and release to the focused widget.
    static void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false)
    {
        QWidget* focused = QApplication::focusWidget();
        QKeyEvent down(QEvent::KeyPress, key, modifiers, QString(), autoRepeat);
        QApplication::sendEvent(focused, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers, QString(), autoRepeat);
        QApplication::sendEvent(focused, &up);
    }

    QWidget window;
    QLineEdit* box = nullptr;
    CommandButton* first = nullptr;
    CommandButton* second = nullptr;
};

TEST_F(FocusedButton, EnterAndSpacePressOnlyTheFocusedButtonOncePerKeyPress)
{
    QSignalSpy firstClicks(first, &QAbstractButton::clicked);
    QSignalSpy secondClicks(second, &QAbstractButton::clicked);

    press(Qt::Key_Return);
    EXPECT_EQ(secondClicks.count(), 1) << "Enter";
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(secondClicks.count(), 2) << "Enter of the keypad";
    press(Qt::Key_Space);
    EXPECT_EQ(secondClicks.count(), 3) << "Space";
    EXPECT_EQ(firstClicks.count(), 0);

    // The key stops at the button: the window behind it does not see it.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(second, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(secondClicks.count(), 4);

    // Tab moves on, and Enter presses the button that has the focus now.
    first->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(firstClicks.count(), 1);
    EXPECT_EQ(secondClicks.count(), 4);

    // A held Enter presses once; Alt+Enter and Ctrl+Enter are other keys.
    press(Qt::Key_Return, Qt::NoModifier, true);
    press(Qt::Key_Return, Qt::AltModifier);
    press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(firstClicks.count(), 1);

    // Enter in the text box presses no button: there is no default button.
    box->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(firstClicks.count() + secondClicks.count(), 5);
}

}  // namespace
}  // namespace gm::ui
