// Every message box and input box of the program goes through this
// interface, so that tests can answer them from a script.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace gm::ui {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Yes, No };

// The title every message box carries unless a caller gives its own.
inline const QString kProgramTitle = QStringLiteral("Gridmark Editor");

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A modal message box; an empty title means the program title. A
    // non-empty `details` is shown on request below the text (a log, say).
    virtual Answer message(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                           const QString& title = {}, const QString& details = {}) = 0;

    // A modal input box with a prompt and a preset text; nothing when the
    // user cancels.
    virtual std::optional<QString> input(QWidget* parent, const QString& prompt,
                                         const QString& title = {},
                                         const QString& preset = {}) = 0;
};

// The real dialogs, on QMessageBox and QInputDialog.
class QtDialogs final : public Dialogs {
public:
    // The details are the box's detailed text.
    Answer message(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                   const QString& title = {}, const QString& details = {}) override;
    std::optional<QString> input(QWidget* parent, const QString& prompt, const QString& title = {},
                                 const QString& preset = {}) override;
};

// The answer for the QMessageBox::StandardButton that closed a box with these
// buttons; any other result (the box closed without a button) gives the
// answer of Escape: Cancel, No where there is no Cancel, OK for an OK box.
Answer toAnswer(int button, Buttons buttons);

}  // namespace gm::ui
