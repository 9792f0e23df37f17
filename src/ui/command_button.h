// A push button whose caption wraps onto several lines when it does not fit,
// as the program's narrow buttons ("Set Gridmark  Directory") need.
#pragma once

#include <QPushButton>

namespace gm::ui {

class CommandButton : public QPushButton {
    Q_OBJECT

public:
    explicit CommandButton(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace gm::ui
