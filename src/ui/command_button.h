// The push button of every window. Its caption wraps onto several lines when
// it does not fit, as the program's narrow buttons ("Set Gridmark
// Directory") need, and a focused button is pressed by Enter as well as by
// Space, as a Windows button is.
#pragma once

#include <QPushButton>

namespace gm::ui {

class CommandButton : public QPushButton {
    Q_OBJECT

public:
    explicit CommandButton(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace gm::ui
