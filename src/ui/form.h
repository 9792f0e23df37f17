// The base of every window: load / unload in the program's terms, the
// fixed-size rule and the UI font.
#pragma once

#include <QSize>
#include <QString>
#include <functional>
#include <QWidget>

#include "ui/app_context.h"

namespace gm::ui {

class Form : public QWidget {
    Q_OBJECT

public:
    explicit Form(AppContext& context, QWidget* parent = nullptr);

    // Runs the window's load handler (fills its lists, shows itself).
    virtual void Form_Load() {}

    // Closes the window as the program's Unload does: asks Form_QueryUnload
    // first, then runs Form_Unload, hides the window and deletes it later.
    // Returns false when the window refused to close.
    bool unload();

    // True once the window has been unloaded (it is then only waiting to be
    // deleted).
    bool isUnloaded() const { return unloaded_; }

    // The client size the window keeps (from its layout).
    QSize designSize() const { return designSize_; }

    AppContext& context() const { return context_; }

protected:
    // cancel = true keeps the window open.
    virtual void Form_QueryUnload(bool& cancel) { (void)cancel; }
    virtual void Form_Unload() {}
    // Default: the fixed-size rule for sizable windows.
    virtual void Form_Resize();

    // A window with a sizable border that is held at its design size by
    // Form_Resize (normal: snap back; maximised: back to normal; minimised:
    // left alone). Client size in twips.
    void setSizableFixedSize(int clientWidthTwips, int clientHeightTwips);
    // A window with a fixed single border and no minimise or maximise button.
    void setDialogFixedSize(int clientWidthTwips, int clientHeightTwips);

    // Shows the window modeless, centred on the menu window.
    void showCentred();

    // The question a window with unsaved edits asks as it closes (Yes, No
    // and Cancel, question icon): Yes runs `save` and lets the window close
    // only when it saved; No lets it close without saving; Cancel or the
    // close box keep it open. True: the window stays open.
    bool keepOpenAfterAsking(const QString& question, const std::function<bool()>& save);
    // Shows the menu window again, as each tool does when it closes.
    void showMenu() const;

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    AppContext& context_;
    QSize designSize_;
    bool unloaded_ = false;
    bool inResize_ = false;
};

}  // namespace gm::ui
