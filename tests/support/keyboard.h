// Working a window from the keyboard in the window tests.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include "ui/command_button.h"

namespace gm::test {

// Gives a control of a shown window the keyboard focus, as Tab or a click
// would, and presses a key there. Fails when the control cannot take the
// focus (hidden, disabled, or not a focus stop).
inline ::testing::AssertionResult pressOn(QWidget* control, Qt::Key key)
{
    QApplication::setActiveWindow(control->window());
    control->setFocus(Qt::TabFocusReason);
    if (QApplication::focusWidget() != control) {
        return ::testing::AssertionFailure() << control->objectName().toStdString() << " does not take the focus";
    }
    QTest::keyClick(control, key);
    return ::testing::AssertionSuccess();
}

// The push buttons of a window that are not the program's own button, which
// answers Enter when it has the focus: the names of those that would not.
inline QStringList buttonsDeafToEnter(const QWidget& window)
{
    QStringList deaf;
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        if (qobject_cast<const ui::CommandButton*>(button) == nullptr) {
            deaf << button->objectName();
        }
    }
    return deaf;
}

}  // namespace gm::test
