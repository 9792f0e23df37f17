#include "support/test_app.h"

#include <QCoreApplication>
#include <QEvent>

namespace gm::test {

TestApp::TestApp()
{
    context.gameDirectory = game.text();
    context.applicationFolder = appFolder.path();
    context.dialogs = &dialogs;
    context.showMenu = [this] { ++menuShows; };
    context.setMenuEnabled = [this](bool enabled) { menuEnabled = enabled; };
}

void TestApp::makeGameDirectory() const
{
    game.mkdir("players");
    game.mkdir("series");
}

void processEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace gm::test
