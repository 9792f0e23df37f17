#include "ui/option_controls.h"

#include <QFontMetrics>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace gm::ui {

namespace {

// Draws the control without its caption, then the caption wrapped into the
// contents rectangle, centred vertically like a one-line caption. A caption
// that needs more lines than the rectangle holds is drawn a little smaller
// (down to 6 points) rather than cut off.
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
    const QRect textArea = area.adjusted(1, 0, 0, 0);
    QFont font = button->font();
    while (font.pointSizeF() > 6.0 &&
           QFontMetrics(font).boundingRect(textArea, flags, caption).height() > textArea.height()) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    painter.setFont(font);
    painter.drawText(textArea, flags, caption);
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
