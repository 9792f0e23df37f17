// The surroundings a window test needs: a temporary game folder and
// application folder, scripted dialogs and a recording main menu.
#pragma once

#include <string>
#include <string_view>

#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "ui/app_context.h"

namespace gm::test {

struct TestApp {
    TestApp();

    TempDir game;
    TempDir appFolder;
    ScriptedDialogs dialogs;
    ui::AppContext context;

    int menuShows = 0;
    bool menuEnabled = true;

    // Creates the two folders that make a game directory ("players", "series").
    void makeGameDirectory() const;
};

// Lets posted events run (deferred deletes included).
void processEvents();

}  // namespace gm::test
