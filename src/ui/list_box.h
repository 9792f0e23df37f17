// The list box every window uses (the season scheduler's event list, the
// track list, the folder list of the directory window, and the lists of the
// tools to come): a QListWidget that behaves as the platform's list box.
#pragma once

#include <QListWidget>

namespace gm::ui {

class ListBox : public QListWidget {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent = nullptr);

protected:
    // A click (or a double click, or a drag) on the blank part of the list
    // below its entries keeps the selection and the current entry, so that
    // what the window shows as chosen stays chosen; Qt's list would drop
    // the selection. The list still takes the focus.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool onBlank(const QMouseEvent* event) const;
    bool pressedOnBlank_ = false;
};

}  // namespace gm::ui
