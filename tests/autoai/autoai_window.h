// The surroundings of an auto AI editor window test: a temporary game folder
// with players and their records files, scripted dialogs and the window.
#pragma once

#include <gtest/gtest.h>

#include <QPointer>
#include <QStringList>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "autoai/frm_auto_ai.h"
#include "records_files.h"
#include "support/test_app.h"

namespace gm::test {

// A records file of sections with these strengths and no lap times.
inline std::string recordsWith(const std::vector<std::pair<std::string, std::string>>& strengths)
{
    std::string out;
    for (const auto& [name, strength] : strengths) {
        out += section(name, strength, {});
    }
    return out;
}

class AutoAIWindowTest : public ::testing::Test {
protected:
    TestApp app;
    QPointer<autoai::frmAutoAI> window;

    void TearDown() override
    {
        delete window.data();
        processEvents();
    }

    void addPlayer(const std::string& name, const std::string& records) const
    {
        app.game.write("players/" + name + "/playrecs.ini", records);
    }
    std::string recordsOf(const std::string& name) const
    {
        return app.game.read("players/" + name + "/playrecs.ini");
    }

    autoai::frmAutoAI* open()
    {
        window = new autoai::frmAutoAI(app.context);
        window->Form_Load();
        return window;
    }

    QStringList listed() const
    {
        QStringList names;
        for (int row = 0; row < window->List1->count(); ++row) {
            names << window->List1->item(row)->text();
        }
        return names;
    }

    std::vector<std::string> strengths() const { return strengthsOf(window->records()); }

    QStringList stats() const
    {
        return {window->txtMax->text(), window->txtMin->text(), window->txtAvg->text()};
    }

    bool applyEnabled() const
    {
        EXPECT_EQ(window->cmdApply->isEnabled(), window->cmdApplyAll->isEnabled());
        return window->cmdApply->isEnabled();
    }

    // Clicks into the strength box, types over its text and, if given,
    // clicks a button.
    void typeStrength(const QString& text, QAbstractButton* button = nullptr) const
    {
        QTest::mouseClick(window->txtAI, Qt::LeftButton);
        window->txtAI->selectAll();
        QTest::keyClick(window->txtAI, Qt::Key_Delete);
        QTest::keyClicks(window->txtAI, text);
        if (button != nullptr) {
            QTest::mouseClick(button, Qt::LeftButton);
        }
    }

    void clickTrack(int row) const
    {
        QListWidget* list = window->List1;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }

    // Picks an entry of the player list as the user does.
    void choosePlayer(int index) const
    {
        window->Combo1->setCurrentIndex(index);
        Q_EMIT window->Combo1->activated(index);
    }
};

}  // namespace gm::test
