#include "ui/dialogs.h"

#include <algorithm>

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QStringList>

#include "ui/geometry.h"

namespace gm::ui {

namespace {

QMessageBox::Icon toQt(Icon icon)
{
    switch (icon) {
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(Buttons buttons)
{
    switch (buttons) {
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// The button that Return presses (the first, as the system's boxes do) and
// the one that Escape or the close box presses (Cancel; No where there is
// no Cancel; OK when it is the only button).
QMessageBox::StandardButton defaultButton(Buttons buttons)
{
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? QMessageBox::Yes : QMessageBox::Ok;
}

QMessageBox::StandardButton escapeButton(Buttons buttons)
{
    switch (buttons) {
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
        return QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::No;
    case Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QRect screenArea(const QWidget* near)
{
    const QScreen* screen = near != nullptr && near->screen() != nullptr ? near->screen()
                                                                          : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// Words wider than `limit` pixels (a path, a pasted run of letters) are
// elided in the middle: the box lays its text out at the width of its
// widest word, and would otherwise grow past the screen.
QString elideLongWords(const QString& text, const QFontMetrics& metrics, int limit)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        QStringList words = line.split(QLatin1Char(' '));
        for (QString& word : words) {
            if (metrics.horizontalAdvance(word) > limit) {
                word = metrics.elidedText(word, Qt::ElideMiddle, limit);
            }
        }
        line = words.join(QLatin1Char(' '));
    }
    return lines.join(QLatin1Char('\n'));
}

// A message box that puts itself in the middle of its owner window once it
// knows its size; when the owner is not shown (yet), in the middle of the
// program's active window, or of the screen when there is none: Qt would
// place it at the owner's unset position.
class CentredMessageBox final : public QMessageBox {
public:
    CentredMessageBox(Icon icon, const QString& title, const QString& text, StandardButtons buttons,
                      QWidget* parent)
        : QMessageBox(icon, title, text, buttons, parent), owner_(parent != nullptr ? parent->window() : nullptr)
    {
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);  // sizes the box
        // A window that refuses while it loads (before it shows itself)
        // puts its box over the program's active window, the menu.
        const QWidget* over = owner_.data();
        if (over == nullptr || !over->isVisible()) {
            over = QApplication::activeWindow();
        }
        centreOn(this, over == this ? nullptr : over);
    }

private:
    QPointer<QWidget> owner_;
};

}  // namespace

Answer toAnswer(int button, Buttons buttons)
{
    switch (button) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        break;
    }
    // Anything else (a box closed without a button) is the Escape answer.
    switch (escapeButton(buttons)) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Ok;
    }
}

Answer QtDialogs::message(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                          const QString& title, const QString& details)
{
    // A text the program lays out line by line (the user agreement) keeps
    // each line whole: the box would otherwise wrap it at its own width, so
    // its blanks are shown as blanks that do not break.
    QString shown = text;
    if (shown.contains(QLatin1Char('\n'))) {
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        shown.replace(QLatin1Char(' '), QChar(0x00A0));
    }
    CentredMessageBox box(toQt(icon), title.isEmpty() ? kProgramTitle : title, QString(), toQt(buttons), parent);
    box.setTextFormat(Qt::PlainText);
    // Room for the icon and the margins is left beside the widest word.
    const int limit = std::max(200, screenArea(parent).width() - 240);
    box.setText(elideLongWords(shown, QFontMetrics(box.font()), limit));
    if (!details.isEmpty()) {
        box.setDetailedText(details);
    }
    box.setDefaultButton(defaultButton(buttons));
    box.setEscapeButton(escapeButton(buttons));
    return toAnswer(box.exec(), buttons);
}

std::optional<QString> QtDialogs::input(QWidget* parent, const QString& prompt, const QString& title,
                                        const QString& preset)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title.isEmpty() ? kProgramTitle : title, prompt,
                                               QLineEdit::Normal, preset, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text;
}

}  // namespace gm::ui
