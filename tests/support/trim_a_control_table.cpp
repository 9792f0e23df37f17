#include "support/trim_a_control_table.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "ui/geometry.h"

namespace gm::test {

QString controlCaption(const QWidget* control)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(control)) {
        return frame->title();
    }
    if (const auto* box = qobject_cast<const QLineEdit*>(control)) {
        return box->text();
    }
    return {};
}

void expectControlTable(const QWidget& window, std::initializer_list<TableControl> rows)
{
    for (const TableControl& row : rows) {
        SCOPED_TRACE(row.name);
        const auto* control = window.findChild<QWidget*>(QString::fromLatin1(row.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget()->objectName().toStdString(), row.parent);
        if (row.caption != nullptr) {
            EXPECT_EQ(controlCaption(control).toStdString(), row.caption);
        }
        EXPECT_EQ(control->toolTip().toStdString(), row.tip);
        const QRect place = ui::twipsRect(row.left, row.top, row.width, row.height);
        if (row.width > 0) {
            EXPECT_EQ(control->geometry(), place);
        } else {
            EXPECT_EQ(control->geometry().topLeft(), place.topLeft());
            EXPECT_EQ(control->height(), place.height());
            EXPECT_GE(control->width(), control->fontMetrics().horizontalAdvance(controlCaption(control)));
        }
        if (const auto* label = qobject_cast<const QLabel*>(control); label != nullptr && row.width > 0) {
            const QRect needed = label->fontMetrics().boundingRect(label->contentsRect(), Qt::TextWordWrap,
                                                                   label->text().trimmed());
            EXPECT_LE(needed.height(), label->height());
        }
    }
}

}  // namespace gm::test
