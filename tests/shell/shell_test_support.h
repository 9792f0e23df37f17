// Helpers shared by the shell window tests.
#pragma once

#include <QApplication>
#include <QWidget>

#include "ui/form.h"

namespace gm::test {

// The one loaded (not yet unloaded) top-level window of a type, or null.
template <typename Window>
Window* findLoaded()
{
    Window* found = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<Window*>(widget);
        if (window != nullptr && !window->isUnloaded()) {
            found = window;
        }
    }
    return found;
}

// A tool window for the menu's openers: it either shows itself or closes
// itself while loading, and shows the menu when it unloads.
class FakeTool : public ui::Form {
    Q_OBJECT

public:
    FakeTool(ui::AppContext& context, bool closeWhileLoading)
        : ui::Form(context), closeWhileLoading_(closeWhileLoading)
    {
        setObjectName(QStringLiteral("FakeTool"));
    }

    void Form_Load() override
    {
        if (closeWhileLoading_) {
            unload();
            return;
        }
        show();
    }

protected:
    void Form_Unload() override { context().showMenu(); }

private:
    bool closeWhileLoading_;
};

}  // namespace gm::test
