#include "support/layout_check.h"

#include <QWidget>

#include "support/test_app.h"

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

::testing::AssertionResult keepsDesignSize(QWidget& window, QSize design)
{
    auto wrongSize = [&](const char* when) {
        return ::testing::AssertionFailure() << when << ": " << window.width() << "x" << window.height()
                                             << " instead of " << design.width() << "x" << design.height();
    };
    if (window.size() != design) {
        return wrongSize("at first");
    }
    window.resize(design + QSize(40, -30));
    if (window.size() != design) {
        return wrongSize("after a resize");
    }
    window.showMaximized();
    processEvents();
    if (window.windowState() & Qt::WindowMaximized) {
        return ::testing::AssertionFailure() << "stays maximised";
    }
    if (window.size() != design) {
        return wrongSize("after maximising");
    }
    return ::testing::AssertionSuccess();
}

}  // namespace gm::test
