#include "backup/frm_progress.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QWindow>
#include <QTimer>
#include <exception>
#include <thread>

#include "ui/geometry.h"

namespace gm::backup {

namespace {

// How often the bar follows the work.
constexpr int kPollMilliseconds = 50;

}  // namespace

frmProgress::frmProgress(ui::AppContext& context, QWidget* owner)
    : ui::Form(context), owner_(owner != nullptr ? owner->window() : nullptr)
{
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QString());
    // Below the label and its bar, a row for the Cancel button.
    setDialogFixedSize(4680, 1305);

    Label1 = new QLabel(QStringLiteral("Please wait for a moment"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ui::placeTwips(Label1, 120, 240, 4455, 495);

    // The bar sits in the lower part of the label's area, under its text.
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setValue(0);
    ui::placeTwips(ProgressBar1, 120, 510, 4455, 195);

    cmdCancel = new ui::CommandButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    ui::placeTwips(cmdCancel, 3360, 840, 1215, 375);
    connect(cmdCancel, &QPushButton::clicked, this, &frmProgress::cmdCancel_Click);
}

void frmProgress::Form_Load()
{
    if (owner_ == nullptr) {
        showCentred();
        return;
    }
    // Activating the (disabled) owner must not cover this window and its
    // Cancel button: a transient window stays above the one it belongs to.
    winId();
    if (QWindow* above = owner_->windowHandle(); above != nullptr && windowHandle() != nullptr) {
        windowHandle()->setTransientParent(above);
    }
    ui::centreOn(this, owner_);
    show();
}

void frmProgress::setProgress(std::uint64_t done, std::uint64_t total)
{
    if (total == 0) {
        ProgressBar1->setRange(0, 0);
        return;
    }
    // Per mille, so that totals beyond the int range still work.
    const std::uint64_t clamped = done > total ? total : done;
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setValue(static_cast<int>(static_cast<double>(clamped) / static_cast<double>(total) * 1000.0));
}

void frmProgress::cmdCancel_Click()
{
    if (cancelRequested_) {
        return;
    }
    cancelRequested_ = true;
    cmdCancel->setEnabled(false);
    if (cancel_) {
        cancel_();
    }
}

void frmProgress::Form_QueryUnload(bool& cancel)
{
    // Closing the window while the work runs means Cancel; it closes when
    // the work has stopped.
    if (working_) {
        cmdCancel_Click();
        cancel = true;
    }
}

void frmProgress::runWork(const std::function<void()>& work, const std::function<Amount()>& progress,
                          const std::function<void()>& cancel)
{
    cancel_ = cancel;
    if (cancelRequested_ && cancel_) {
        cancel_();
    }
    working_ = true;

    QEventLoop loop;
    QTimer timer;
    timer.setInterval(kPollMilliseconds);
    connect(&timer, &QTimer::timeout, this, [this, &progress] {
        const Amount amount = progress();
        setProgress(amount.done, amount.total);
    });
    const Amount first = progress();
    setProgress(first.done, first.total);
    timer.start();

    std::exception_ptr failure;
    std::thread worker([&work, &failure, &loop] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Posted, so it ends the loop even when the work ended before the
        // loop began.
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    timer.stop();
    working_ = false;
    cmdCancel->setEnabled(false);  // nothing left to cancel
    cancel_ = nullptr;
    const Amount last = progress();
    setProgress(last.done, last.total);
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void Outcome::add(const QString& text, ui::Icon icon, const QString& details)
{
    boxes_.push_back({text, icon, details});
}

void Outcome::show(ui::Dialogs& dialogs, QWidget* owner) const
{
    for (const Box& box : boxes_) {
        dialogs.message(owner, box.text, ui::Buttons::Ok, box.icon, QString(), box.details);
    }
}

void runOnWindowThread(QObject* window, const std::function<void()>& call)
{
    if (QThread::currentThread() == window->thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(window, [&call] { call(); }, Qt::BlockingQueuedConnection);
}

}  // namespace gm::backup
