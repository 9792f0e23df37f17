// Check boxes and option buttons whose captions wrap onto several lines
// inside their rectangles, as the backup window's long captions need
// ("Select cars that number is between 0 to 99").
#pragma once

#include <QCheckBox>
#include <QRadioButton>

namespace gm::ui {

class WrappingCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit WrappingCheckBox(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

class WrappingOptionButton : public QRadioButton {
    Q_OBJECT

public:
    explicit WrappingOptionButton(const QString& caption, QWidget* parent = nullptr);

    // Deselects the button even though it is one of a group of option
    // buttons (a group may have none selected).
    void deselect();

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace gm::ui
