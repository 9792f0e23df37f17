#include "ui/geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace gm::ui {

void placeTwips(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(twipsRect(left, top, width, height));
}

void centreOn(QWidget* window, const QWidget* owner)
{
    QRect area;
    if (owner != nullptr && owner->isVisible()) {
        area = owner->frameGeometry();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    } else {
        return;
    }
    const QSize size = window->frameGeometry().size().expandedTo(window->size());
    window->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

}  // namespace gm::ui
