// The small sans-serif font the windows were laid out for.
#pragma once

#include <QFont>
#include <QString>

namespace gm::ui {

// The UI font at the given point size (the layouts use 8 point).
QFont uiFont(int pointSize = 8);

// A named face (such as Verdana) with sans-serif fall-backs that keep
// similar widths where the face is not installed.
QFont namedFont(const QString& family, int pointSize, bool bold = false);

}  // namespace gm::ui
