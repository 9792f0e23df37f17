// The main menu: start-up, the hub that opens every tool window, Quit.
#pragma once

#include <QLabel>
#include <QPointer>
#include <functional>
#include <map>

#include "ui/command_button.h"
#include "ui/form.h"

namespace gm::shell {

// Creates a tool window (not yet loaded). An empty factory means the tool is
// not part of this build: its button stays disabled.
using ToolFactory = std::function<ui::Form*(ui::AppContext&)>;

struct ToolWindows {
    ToolFactory season;
    ToolFactory autoAI;
    ToolFactory track;
    ToolFactory backup;
    ToolFactory restore;
};

class frmMain : public ui::Form {
    Q_OBJECT

public:
    frmMain(ui::AppContext& context, ToolWindows tools);

    // Start-up: reads the option file, or on a first start asks for the user
    // agreement and opens the directory window.
    void Form_Load() override;

    // True when start-up ended the program (the agreement was declined).
    bool programEnded() const { return programEnded_; }

    // What Quit does; the default quits the application's event loop.
    void setQuitAction(std::function<void()> quit) { quit_ = std::move(quit); }

    void cmdSeason_Click();
    void cmdAutoAI_Click();
    void cmdTrack_Click();
    void cmdBackup_Click();
    void cmdRestore_Click();
    void cmdDirectory_Click();
    void cmdAbout_Click();
    void cmdQuit_Click();

    ui::CommandButton* cmdSeason;
    ui::CommandButton* cmdAutoAI;
    ui::CommandButton* cmdTrack;
    ui::CommandButton* cmdBackup;
    ui::CommandButton* cmdRestore;
    ui::CommandButton* cmdDirectory;
    QLabel* Picture1;
    ui::CommandButton* cmdAbout;
    ui::CommandButton* cmdQuit;

protected:
    void Form_QueryUnload(bool& cancel) override;
    void Form_Unload() override;

private:
    enum class Tool { Season, AutoAI, Track, Backup, Restore, Directory };

    // Loads a tool window (creating it only when it is not loaded yet) and
    // hides the menu. Guarded openers show the menu again when the window
    // failed or closed itself while loading.
    void openTool(Tool tool, const ToolFactory& factory, bool guarded);

    // The tool windows created by the menu, while they are loaded.
    std::map<Tool, QPointer<ui::Form>> loaded_;

    ToolWindows tools_;
    std::function<void()> quit_;
    bool programEnded_ = false;
};

}  // namespace gm::shell
