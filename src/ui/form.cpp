#include "ui/form.h"

#include <QCloseEvent>
#include <QEvent>
#include <QResizeEvent>

#include "ui/dialogs.h"
#include "ui/font.h"
#include "ui/geometry.h"

namespace gm::ui {

Form::Form(AppContext& context, QWidget* parent) : QWidget(parent, Qt::Window), context_(context)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(uiFont());
}

bool Form::unload()
{
    if (unloaded_) {
        return true;
    }
    return close();
}

void Form::closeEvent(QCloseEvent* event)
{
    if (unloaded_) {
        event->accept();
        return;
    }
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    unloaded_ = true;
    event->accept();
    Form_Unload();
}

void Form::setSizableFixedSize(int clientWidthTwips, int clientHeightTwips)
{
    designSize_ = twipsSize(clientWidthTwips, clientHeightTwips);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(designSize_);
}

void Form::setDialogFixedSize(int clientWidthTwips, int clientHeightTwips)
{
    designSize_ = twipsSize(clientWidthTwips, clientHeightTwips);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(designSize_);
}

void Form::showCentred()
{
    centreOn(this, context_.menuWindow);
    show();
}

bool Form::keepOpenAfterAsking(const QString& question, const std::function<bool()>& save)
{
    switch (context_.dialogs->message(this, question, Buttons::YesNoCancel, Icon::Question)) {
    case Answer::Yes:
        // A refused or failed save keeps the window open with the edits
        // rather than losing them.
        return !save();
    case Answer::No:
        return false;
    case Answer::Ok:
    case Answer::Cancel:
        break;
    }
    return true;
}

void Form::showMenu() const
{
    if (context_.showMenu) {
        context_.showMenu();
    }
}

void Form::Form_Resize()
{
    if (designSize_.isEmpty() || inResize_) {
        return;
    }
    const Qt::WindowStates state = windowState();
    if (state & Qt::WindowMinimized) {
        return;
    }
    inResize_ = true;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        setWindowState(state & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    }
    if (size() != designSize_) {
        resize(designSize_);
    }
    inResize_ = false;
}

void Form::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Form_Resize();
    }
}

}  // namespace gm::ui
