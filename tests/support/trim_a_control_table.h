// A window's controls checked against its layout table: parent, caption,
// tooltip and place of each control, in one data-driven check.
#pragma once

#include <QString>
#include <initializer_list>

class QWidget;

namespace gm::test {

struct TableControl {
    const char* name;
    const char* parent;   // the parent's object name
    const char* caption;  // nullptr: nothing to compare (a list, a text box showing data)
    const char* tip;
    int left, top, width, height;  // twips; a width of 0 is a label sized to its caption
};

// What a control shows as its caption: a button's or a label's text, a
// frame's title, a text box's text; empty for anything else.
QString controlCaption(const QWidget* control);

// Checks every row against the window's control of that name. A label's
// caption must fit it: on one line when the label is sized to it, within
// its height when the label wraps.
void expectControlTable(const QWidget& window, std::initializer_list<TableControl> rows);

}  // namespace gm::test
