// A Dialogs implementation for tests: every dialog must be announced in
// advance with its exact text, buttons and icon; it is answered from the
// script. An unannounced dialog, or a mismatch, fails the running test; a
// dialog announced but never shown fails it when the script is destroyed.
#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "ui/dialogs.h"

namespace gm::test {

struct ShownDialog {
    QString text;
    ui::Buttons buttons = ui::Buttons::Ok;
    ui::Icon icon = ui::Icon::None;
    QString title;  // as shown: the program title when none was given
    bool isInput = false;
    QString details;
};

class ScriptedDialogs final : public ui::Dialogs {
public:
    ~ScriptedDialogs() override;

    // Announces the next message box and the answer to give. `during` runs
    // while the box is "open" (to check what the window shows meanwhile).
    ScriptedDialogs& expect(const QString& text, ui::Buttons buttons, ui::Icon icon,
                            ui::Answer answer = ui::Answer::Ok, const QString& title = ui::kProgramTitle,
                            std::function<void()> during = {});

    // Announces the next message box with details (a log) that hold
    // `detailsPart`; every other message box must come without details.
    ScriptedDialogs& expectWithDetails(const QString& text, const QString& detailsPart, ui::Buttons buttons,
                                       ui::Icon icon, ui::Answer answer = ui::Answer::Ok);

    // Announces the next message box without fixing its text: for texts
    // another part of the program composes (an archive library's messages).
    // The text shown is in shown().
    ScriptedDialogs& expectAnyText(ui::Buttons buttons, ui::Icon icon, ui::Answer answer = ui::Answer::Ok);

    // Announces the next input box; nothing as the answer means Cancel.
    ScriptedDialogs& expectInput(const QString& prompt, std::optional<QString> answer,
                                 const QString& title = ui::kProgramTitle,
                                 std::optional<QString> preset = std::nullopt, std::function<void()> during = {});

    ui::Answer message(QWidget* parent, const QString& text, ui::Buttons buttons, ui::Icon icon,
                       const QString& title = {}, const QString& details = {}) override;
    std::optional<QString> input(QWidget* parent, const QString& prompt, const QString& title = {},
                                 const QString& preset = {}) override;

    std::size_t pending() const { return script_.size(); }
    const std::vector<ShownDialog>& shown() const { return shown_; }
    // Fails the test when announced dialogs were not shown, then forgets them.
    void verifyAllShown();

private:
    struct Step {
        ShownDialog expected;
        ui::Answer answer = ui::Answer::Ok;
        std::optional<QString> inputAnswer;
        std::optional<QString> preset;
        std::function<void()> during;
        bool anyText = false;
        std::optional<QString> detailsPart;  // nothing: no details
    };
    std::deque<Step> script_;
    std::vector<ShownDialog> shown_;
};

}  // namespace gm::test
