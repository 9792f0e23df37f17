// One data-driven check of a window's controls against its control table.
#pragma once

#include <initializer_list>

class QWidget;

namespace gm::test {

// A control as the window's table gives it: object name, caption (the text,
// or the title of a frame; null for controls without one), tooltip, and
// rectangle in twips. `parent` names the frame it sits in; null is the window.
struct ControlRow {
    const char* name;
    const char* caption;
    const char* tip;
    int left, top, width, height;
    const char* parent = nullptr;
};

// Finds each control by name and checks its parent, rectangle, caption and
// tooltip (an empty tip: no tooltip), each failure naming the control.
void expectControls(const QWidget& window, std::initializer_list<ControlRow> rows);

}  // namespace gm::test
