// A drop-down list that can be locked: while locked it shows its entry but
// the user can neither open it nor change it by keys or the wheel, as the
// event fields of the season scheduler are read-only until an event is
// edited.
#pragma once

#include <QComboBox>

namespace gm::season {

class LockableComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(bool readOnly READ isReadOnly WRITE setReadOnly)

public:
    using QComboBox::QComboBox;

    bool isReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool readOnly_ = false;
};

}  // namespace gm::season
