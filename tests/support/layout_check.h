// Layout checks shared by the window tests.
#pragma once

#include <QStringList>

class QWidget;

namespace gm::test {

// The object names of a window's controls in keyboard focus order: the
// widgets that take focus by Tab, in focus-chain order, each control once
// (the inner parts of a control, such as a list's viewport, are left out).
QStringList tabOrderNames(QWidget* window);

}  // namespace gm::test
