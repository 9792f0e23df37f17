#include "ui/dialogs.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

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

}  // namespace

Answer QtDialogs::message(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                          const QString& title)
{
    // A text the program lays out line by line (the user agreement) keeps
    // each line whole: the box would otherwise wrap it at its own width, so
    // its blanks are shown as blanks that do not break.
    QString shown = text;
    if (shown.contains(QLatin1Char('\n'))) {
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        shown.replace(QLatin1Char(' '), QChar(0x00A0));
    }
    QMessageBox box(toQt(icon), title.isEmpty() ? kProgramTitle : title, shown, toQt(buttons), parent);
    box.setTextFormat(Qt::PlainText);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        break;
    }
    // Closing a box without a Cancel button counts as its only safe answer.
    if (buttons == Buttons::YesNo) {
        return Answer::No;
    }
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
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
