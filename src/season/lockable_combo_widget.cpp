#include "season/lockable_combo_widget.h"

#include <QKeyEvent>
#include <QWheelEvent>

namespace gm::season {

void LockableComboBox::showPopup()
{
    if (!readOnly_) {
        QComboBox::showPopup();
    }
}

void LockableComboBox::keyPressEvent(QKeyEvent* event)
{
    if (readOnly_) {
        event->ignore();  // Tab and the window's keys still reach the window
        return;
    }
    QComboBox::keyPressEvent(event);
}

void LockableComboBox::wheelEvent(QWheelEvent* event)
{
    if (readOnly_) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

}  // namespace gm::season
