// The small waiting window shown while archives are packed or unpacked. It
// also runs that work: on a worker thread, while the window thread goes on
// painting and answering the Cancel button and the questions of the work.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <cstdint>
#include <functional>
#include <vector>

#include "ui/command_button.h"
#include "ui/dialogs.h"
#include "ui/form.h"

namespace gm::backup {

// Shown by both windows when an archive cannot go to the Recycle Bin.
inline const QString kBackupNotDeleted = QStringLiteral("Could not delete the backup file.");

class frmProgress : public ui::Form {
    Q_OBJECT

public:
    // `owner`: the tool window whose work it shows. The progress window
    // stays above it (it is the owner's transient window) without being its
    // child, so it stays enabled while the owner is disabled.
    explicit frmProgress(ui::AppContext& context, QWidget* owner = nullptr);

    // Shows the window without waiting (not modal), centred on its owner.
    // Its title stays empty until the caller sets one.
    void Form_Load() override;

    // Moves the bar: `done` of `total` bytes (total 0 shows a busy bar).
    void setProgress(std::uint64_t done, std::uint64_t total);

    struct Amount {
        std::uint64_t done = 0;
        std::uint64_t total = 0;
    };

    // Runs `work` on a worker thread and returns when it has ended. Until
    // then the window thread keeps handling its events, and every 50 ms the
    // bar shows what `progress` reports. A Cancel (the button or the close
    // box) calls `cancel` once, on the window thread; a Cancel pressed
    // before the work began is passed on at its start. An exception thrown
    // by the work is thrown again here.
    void runWork(const std::function<void()>& work, const std::function<Amount()>& progress,
                 const std::function<void()>& cancel);

    // True once the user asked to cancel.
    bool cancelRequested() const { return cancelRequested_; }

    void cmdCancel_Click();

    QLabel* Label1;
    QProgressBar* ProgressBar1;
    ui::CommandButton* cmdCancel;

protected:
    void Form_QueryUnload(bool& cancel) override;

private:
    QPointer<QWidget> owner_;
    std::function<void()> cancel_;
    bool cancelRequested_ = false;
    bool working_ = false;
};

// The boxes a window shows when its work is over: gathered while the
// progress window is up, shown once it has gone, over the window again.
class Outcome {
public:
    void add(const QString& text, ui::Icon icon, const QString& details = {});
    void show(ui::Dialogs& dialogs, QWidget* owner) const;

private:
    struct Box {
        QString text;
        ui::Icon icon;
        QString details;
    };
    std::vector<Box> boxes_;
};

// Runs `call` on the thread of `window` and waits for it: how work on a
// worker thread asks its questions through the window's dialogs. Called on
// the window's own thread, it runs `call` directly.
void runOnWindowThread(QObject* window, const std::function<void()>& call);

}  // namespace gm::backup
