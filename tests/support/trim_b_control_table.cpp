#include "support/trim_b_control_table.h"

#include <QVariant>
#include <QWidget>
#include <gtest/gtest.h>

#include "ui/geometry.h"

namespace gm::test {

void expectControls(const QWidget& window, std::initializer_list<ControlRow> rows)
{
    for (const ControlRow& row : rows) {
        SCOPED_TRACE(row.name);
        const auto* control = window.findChild<const QWidget*>(QString::fromLatin1(row.name));
        ASSERT_NE(control, nullptr);
        const QWidget* parent =
            row.parent == nullptr ? &window : window.findChild<const QWidget*>(QString::fromLatin1(row.parent));
        EXPECT_EQ(control->parentWidget(), parent);
        EXPECT_EQ(control->geometry(), ui::twipsRect(row.left, row.top, row.width, row.height));
        EXPECT_EQ(control->toolTip(), QString::fromLatin1(row.tip));
        if (row.caption != nullptr) {
            EXPECT_EQ(control->property(control->inherits("QGroupBox") ? "title" : "text").toString(),
                      QString::fromUtf8(row.caption));
        }
    }
}

}  // namespace gm::test
