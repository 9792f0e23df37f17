#include "support/layout_check.h"

#include <QWidget>

namespace gm::test {

QStringList tabOrderNames(QWidget* window)
{
    QStringList names;
    QWidget* w = window->nextInFocusChain();
    int guard = 0;
    while (w != nullptr && w != window && guard++ < 10000) {
        const QString name = w->objectName();
        if ((w->focusPolicy() & Qt::TabFocus) && !name.isEmpty() && !name.startsWith(QStringLiteral("qt_")) &&
            w->window() == window && !names.contains(name)) {
            names.push_back(name);
        }
        w = w->nextInFocusChain();
    }
    return names;
}

}  // namespace gm::test
