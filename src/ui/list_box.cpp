#include "ui/list_box.h"

#include <QMouseEvent>

namespace gm::ui {

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {}

bool ListBox::onBlank(const QMouseEvent* event) const
{
    return !indexAt(event->position().toPoint()).isValid();
}

void ListBox::mousePressEvent(QMouseEvent* event)
{
    pressedOnBlank_ = onBlank(event);
    if (pressedOnBlank_) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

void ListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (pressedOnBlank_ || onBlank(event)) {
        pressedOnBlank_ = false;
        event->accept();
        return;
    }
    QListWidget::mouseReleaseEvent(event);
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (onBlank(event)) {
        pressedOnBlank_ = true;  // the release that follows belongs to it
        event->accept();
        return;
    }
    QListWidget::mouseDoubleClickEvent(event);
}

void ListBox::mouseMoveEvent(QMouseEvent* event)
{
    // A drag that began on an entry may select the entries it passes over,
    // but leaving them for the blank part keeps the last one.
    if (pressedOnBlank_ || ((event->buttons() & Qt::LeftButton) != 0 && onBlank(event))) {
        event->accept();
        return;
    }
    QListWidget::mouseMoveEvent(event);
}

}  // namespace gm::ui
