#include "ui/option_controls.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace gm::ui {

namespace {

// Draws the control without its caption, then the caption wrapped into the
// contents rectangle, centred vertically like a one-line caption.
template <typename Button>
void paintWrapped(Button* button, QStyle::ControlElement element, QStyle::SubElement contents,
                  QStyleOptionButton& option)
{
    QStylePainter painter(button);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(element, option);
    const QRect area = button->style()->subElementRect(contents, &option, button);
    int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
    if (!button->style()->styleHint(QStyle::SH_UnderlineShortcut, &option, button)) {
        flags |= Qt::TextHideMnemonic;
    }
    painter.setPen(button->palette().color(button->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                           QPalette::WindowText));
    painter.drawText(area.adjusted(1, 0, 0, 0), flags, caption);
}

}  // namespace

WrappingCheckBox::WrappingCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {}

void WrappingCheckBox::paintEvent(QPaintEvent* /*event*/)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    paintWrapped(this, QStyle::CE_CheckBox, QStyle::SE_CheckBoxContents, option);
}

WrappingOptionButton::WrappingOptionButton(const QString& caption, QWidget* parent) : QRadioButton(caption, parent)
{
}

void WrappingOptionButton::deselect()
{
    if (!isChecked()) {
        return;
    }
    // An auto-exclusive button refuses to be unchecked directly.
    const bool exclusive = autoExclusive();
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(exclusive);
}

void WrappingOptionButton::paintEvent(QPaintEvent* /*event*/)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    paintWrapped(this, QStyle::CE_RadioButton, QStyle::SE_RadioButtonContents, option);
}

}  // namespace gm::ui
