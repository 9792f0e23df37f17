// One data-driven check of a window's controls against its control table.
#pragma once

#include <initializer_list>

class QWidget;

namespace gm::test {

// A control as the window's table gives it: object name, caption (the text,
// or the title of a frame; null for controls without one to compare, such
// as lists), tooltip, and rectangle in twips. A width of 0 is a label sized
// to its caption. `parent` names the frame or panel it sits in; null is the
// window.
struct ControlRow {
    const char* name;
    const char* caption;
    const char* tip;
    int left, top, width, height;
    const char* parent = nullptr;
};

// Finds each control by name and checks its parent, rectangle, caption and
// tooltip (an empty tip: no tooltip), each failure naming the control. A
// label's caption must also fit it: on one line when the label is sized to
// it, within its height when the label wraps.
void expectControls(const QWidget& window, std::initializer_list<ControlRow> rows);

}  // namespace gm::test
