#include "backup/frm_progress.h"

#include <QCoreApplication>

#include "ui/geometry.h"

namespace gm::backup {

frmProgress::frmProgress(ui::AppContext& context) : ui::Form(context)
{
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QString());
    setDialogFixedSize(4680, 825);

    Label1 = new QLabel(QStringLiteral("Please wait for a moment"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ui::placeTwips(Label1, 120, 240, 4455, 495);

    // The bar sits in the lower part of the label's area, under its text.
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ui::placeTwips(ProgressBar1, 120, 510, 4455, 195);
}

void frmProgress::Form_Load()
{
    showCentred();
    QCoreApplication::processEvents();
}

void frmProgress::setProgress(qint64 done, qint64 total)
{
    if (total <= 0) {
        ProgressBar1->setRange(0, 0);
        return;
    }
    // Scale to a per-mille value so that totals beyond int range still work.
    const qint64 clamped = done < 0 ? 0 : (done > total ? total : done);
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setValue(static_cast<int>(clamped * 1000 / total));
    QCoreApplication::processEvents();
}

}  // namespace gm::backup
