#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

#include "support/layout_check.h"
#include "support/test_app.h"
#include "ui/form.h"
#include "ui/geometry.h"
#include "ui/list_box.h"
#include "ui/sorted_list.h"

namespace gm::ui {
namespace {

// A window whose closing question is answered by a flag.
class Closable : public Form {
public:
    explicit Closable(AppContext& context) : Form(context) { setSizableFixedSize(6255, 6015); }
    bool refuse = false;
    int queries = 0;
    int unloads = 0;

protected:
    void Form_QueryUnload(bool& cancel) override
    {
        ++queries;
        cancel = refuse;
    }
    void Form_Unload() override { ++unloads; }
};

TEST(Form, UnloadAsksFirstAndRunsTheUnloadHandlerOnce)
{
    test::TestApp app;
    QPointer<Closable> window = new Closable(app.context);
    window->show();
    window->refuse = true;
    EXPECT_FALSE(window->unload());
    EXPECT_FALSE(window->isUnloaded());
    EXPECT_TRUE(window->isVisible());
    window->close();  // the close box asks the same question
    EXPECT_EQ(window->queries, 2);
    EXPECT_EQ(window->unloads, 0);

    window->refuse = false;
    EXPECT_TRUE(window->unload());
    EXPECT_TRUE(window->isUnloaded());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->unload());  // a second unload does nothing more
    EXPECT_EQ(window->unloads, 1);
    test::processEvents();
    EXPECT_TRUE(window.isNull()) << "an unloaded window is deleted";
}

TEST(Form, SizableWindowSnapsBackToItsDesignSize)
{
    test::TestApp app;
    Closable window(app.context);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    EXPECT_TRUE(test::keepsDesignSize(window, QSize(417, 401)));  // 6255 x 6015 twips, rounded to pixels
    window.setWindowState(Qt::WindowMinimized);
    test::processEvents();
    EXPECT_TRUE(window.windowState() & Qt::WindowMinimized) << "a minimised window is left alone";
    EXPECT_EQ(twipsRect(6240, 120, 1215, 495), QRect(416, 8, 81, 33));
    EXPECT_EQ(twipsRect(7, 8, 15, 0), QRect(0, 1, 1, 0));  // to the nearest pixel
}

TEST(SortedList, KeepsEntriesInOrderIgnoringCase)
{
    QListWidget list;
    QComboBox combo;
    for (const char* name : {"monza", "Atlanta", "shared-not", "Bristol", "atlanta", "Zandvoort", "brands",
                             "\xc3\x89t\xc3\xa9 Cup", "\xc3\x96sterreich"}) {
        insertSorted(&list, QString::fromUtf8(name));
        insertSorted(&combo, QString::fromUtf8(name));
    }
    // The user's collation, case ignored: "Été" with the E's, "Österreich" with the O's.
    const QStringList expected{"Atlanta", "atlanta", "brands",     "Bristol", QString::fromUtf8("\xc3\x89t\xc3\xa9 Cup"),
                               "monza",   QString::fromUtf8("\xc3\x96sterreich"), "shared-not", "Zandvoort"};
    QStringList fromList;
    QStringList fromCombo;
    for (int i = 0; i < list.count(); ++i) {
        fromList.push_back(list.item(i)->text());
        fromCombo.push_back(combo.itemText(i));
    }
    EXPECT_EQ(fromList, expected);
    EXPECT_EQ(fromCombo, expected);
    EXPECT_EQ(insertSorted(&list, QStringLiteral("a")), 0);
    const int last = insertSorted(&list, QStringLiteral("zz"));
    EXPECT_EQ(last, list.count() - 1);
}

TEST(ListBox, AClickOnTheBlankPartKeepsTheSelection)
{
    ListBox list;
    list.resize(200, 300);
    list.addItems({"First", "Second", "Third"});
    list.show();
    int changes = 0;
    QObject::connect(&list, &QListWidget::itemSelectionChanged, [&changes] { ++changes; });
    const QPoint third = list.visualItemRect(list.item(2)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, third);
    ASSERT_EQ(list.currentRow(), 2);
    ASSERT_TRUE(list.item(2)->isSelected());
    ASSERT_EQ(changes, 1);

    const QPoint blank(third.x(), list.viewport()->height() - 5);
    ASSERT_EQ(list.itemAt(blank), nullptr);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, blank);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, blank);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, blank);
    EXPECT_EQ(list.currentRow(), 2);
    EXPECT_TRUE(list.item(2)->isSelected());
    EXPECT_EQ(changes, 1);
    // A drag from an entry into the blank part keeps the entry.
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(1)).center());
    QMouseEvent move(QEvent::MouseMove, QPointF(blank), list.viewport()->mapToGlobal(QPointF(blank)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &move);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, blank);
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_TRUE(list.item(1)->isSelected());
    EXPECT_EQ(list.selectedItems().size(), 1);
}

}  // namespace
}  // namespace gm::ui
