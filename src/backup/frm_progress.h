// The small waiting window shown while archives are packed or unpacked.
#pragma once

#include <QLabel>
#include <QProgressBar>

#include "ui/form.h"

namespace gm::backup {

class frmProgress : public ui::Form {
    Q_OBJECT

public:
    explicit frmProgress(ui::AppContext& context);

    // Shows the window without waiting (not modal). Its title stays empty
    // until the caller sets one.
    void Form_Load() override;

    // Moves the bar: `done` of `total` steps (total 0 shows a busy bar).
    void setProgress(qint64 done, qint64 total);

    QLabel* Label1;
    QProgressBar* ProgressBar1;
};

}  // namespace gm::backup
