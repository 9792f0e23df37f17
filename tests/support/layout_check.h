// Layout checks shared by the window tests.
#pragma once

#include <QSize>
#include <QStringList>
#include <gtest/gtest.h>

class QWidget;

namespace gm::test {

// The object names of a window's controls in keyboard focus order: the
// widgets that take focus by Tab, in focus-chain order, each control once
// (the inner parts of a control, such as a list's viewport, are left out).
QStringList tabOrderNames(QWidget* window);

// The fixed-size rule on a shown window: it has the design size, and a
// resize or a maximise brings it back to that size, not maximised.
::testing::AssertionResult keepsDesignSize(QWidget& window, QSize design);

}  // namespace gm::test
