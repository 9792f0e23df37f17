#include "support/control_table.h"

#include <QLabel>
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
        ASSERT_NE(parent, nullptr);
        EXPECT_EQ(control->parentWidget()->objectName().toStdString(), parent->objectName().toStdString());
        EXPECT_EQ(control->parentWidget(), parent);
        EXPECT_EQ(control->toolTip().toStdString(), row.tip);
        const QString caption = control->property(control->inherits("QGroupBox") ? "title" : "text").toString();
        if (row.caption != nullptr) {
            EXPECT_EQ(caption.toStdString(), row.caption);
        }
        const QRect place = ui::twipsRect(row.left, row.top, row.width, row.height);
        if (row.width > 0) {
            EXPECT_EQ(control->geometry(), place);
        } else {
            EXPECT_EQ(control->geometry().topLeft(), place.topLeft());
            EXPECT_EQ(control->height(), place.height());
            EXPECT_GE(control->width(), control->fontMetrics().horizontalAdvance(caption));
        }
        if (const auto* label = qobject_cast<const QLabel*>(control); label != nullptr && row.width > 0) {
            const QRect needed =
                label->fontMetrics().boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text().trimmed());
            EXPECT_LE(needed.height(), label->height());
        }
    }
}

}  // namespace gm::test
