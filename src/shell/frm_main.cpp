#include "shell/frm_main.h"

#include <QApplication>
#include <QPixmap>

#include "platform/paths.h"
#include "shell/frm_about.h"
#include "shell/frm_directory.h"
#include "shell/option_file.h"
#include "shell/resources.h"
#include "ui/dialogs.h"
#include "ui/geometry.h"

namespace gm::shell {

namespace {

ui::CommandButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QString& tip,
                              int left, int top)
{
    auto* button = new ui::CommandButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    button->setAutoDefault(false);
    ui::placeTwips(button, left, top, 1215, 495);
    return button;
}

const QString kAgreement = QStringLiteral(
    "SOFTWARE USER AGREEMENT\r\n"
    "\r\n"
    "Tarvel will not be responsible for any damage to anything this software may cause\r\n"
    "either by user misuse or other-wise normal use.\r\n"
    "\r\n"
    "I have read and understand the information above, and wish to use software.");

}  // namespace

frmMain::frmMain(ui::AppContext& context, ToolWindows tools)
    : ui::Form(context), tools_(std::move(tools)), quit_([] { QCoreApplication::exit(0); })
{
    initShellResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Gridmark Editor"));
    setWindowIcon(QIcon(QStringLiteral(":/shell/icon.png")));
    setSizableFixedSize(7575, 5295);

    cmdSeason = makeButton(this, "cmdSeason", QStringLiteral("Season Scheduler"),
                           QStringLiteral("Create, edit, or delete season schedules"), 6240, 120);
    cmdAutoAI = makeButton(this, "cmdAutoAI", QStringLiteral("Auto AI Editor"),
                           QStringLiteral("Change auto AI strength"), 6240, 600);
    cmdTrack = makeButton(this, "cmdTrack", QStringLiteral("Track Editor"),
                          QStringLiteral("Change track attributes, and AI performance"), 6240, 1080);
    cmdBackup = makeButton(this, "cmdBackup", QStringLiteral("Backup Utility"),
                           QStringLiteral("Backup or restore  your game files"), 6240, 1560);
    cmdRestore = makeButton(this, "cmdRestore", QStringLiteral("Restore Utility"),
                            QStringLiteral("Backup or restore  your game files"), 6240, 2040);
    cmdDirectory = makeButton(this, "cmdDirectory", QStringLiteral("Set Gridmark  Directory"), QString(), 6240, 2520);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    ui::placeTwips(Picture1, 120, 120, 6015, 5055);
    Picture1->setFrameShape(QFrame::Panel);
    Picture1->setFrameShadow(QFrame::Sunken);
    Picture1->setLineWidth(1);
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setPixmap(QPixmap(QStringLiteral(":/shell/title.png")));
    Picture1->setFocusPolicy(Qt::TabFocus);

    cmdAbout = makeButton(this, "cmdAbout", QStringLiteral("About"), QString(), 6240, 4200);
    cmdQuit = makeButton(this, "cmdQuit", QStringLiteral("Quit"), QString(), 6240, 4680);

    QWidget::setTabOrder(cmdSeason, cmdAutoAI);
    QWidget::setTabOrder(cmdAutoAI, cmdTrack);
    QWidget::setTabOrder(cmdTrack, cmdBackup);
    QWidget::setTabOrder(cmdBackup, cmdRestore);
    QWidget::setTabOrder(cmdRestore, cmdDirectory);
    QWidget::setTabOrder(cmdDirectory, Picture1);
    QWidget::setTabOrder(Picture1, cmdAbout);
    QWidget::setTabOrder(cmdAbout, cmdQuit);

    // Tools that are not part of this build cannot be opened.
    cmdSeason->setEnabled(static_cast<bool>(tools_.season));
    cmdAutoAI->setEnabled(static_cast<bool>(tools_.autoAI));
    cmdTrack->setEnabled(static_cast<bool>(tools_.track));
    cmdBackup->setEnabled(static_cast<bool>(tools_.backup));
    cmdRestore->setEnabled(static_cast<bool>(tools_.restore));

    connect(cmdSeason, &QPushButton::clicked, this, &frmMain::cmdSeason_Click);
    connect(cmdAutoAI, &QPushButton::clicked, this, &frmMain::cmdAutoAI_Click);
    connect(cmdTrack, &QPushButton::clicked, this, &frmMain::cmdTrack_Click);
    connect(cmdBackup, &QPushButton::clicked, this, &frmMain::cmdBackup_Click);
    connect(cmdRestore, &QPushButton::clicked, this, &frmMain::cmdRestore_Click);
    connect(cmdDirectory, &QPushButton::clicked, this, &frmMain::cmdDirectory_Click);
    connect(cmdAbout, &QPushButton::clicked, this, &frmMain::cmdAbout_Click);
    connect(cmdQuit, &QPushButton::clicked, this, &frmMain::cmdQuit_Click);

    // The menu is a top-level window for the life of the program: it is
    // never deleted when it closes.
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void frmMain::Form_Load()
{
    ui::AppContext& ctx = context();
    if (const std::optional<std::string> stored = readGameDirectory(ctx.ownFilesFolder())) {
        ctx.gameDirectory = *stored;
        return;
    }
    const ui::Answer answer = ctx.dialogs->message(this, kAgreement, ui::Buttons::YesNo, ui::Icon::None);
    if (answer != ui::Answer::Yes) {
        programEnded_ = true;
        return;
    }
    ctx.dialogs->message(this, QStringLiteral("You have to specify the Gridmark directory in order to use Gridmark Editor."),
                         ui::Buttons::Ok, ui::Icon::Information);
    ctx.gameDirectory = platform::defaultGameDirectory();
    cmdDirectory_Click();
}

void frmMain::openTool(Tool tool, const ToolFactory& factory, bool guarded)
{
    if (!factory) {
        return;
    }
    // A window that is still loaded (the directory window of a first start,
    // say) is brought forward instead of opened a second time.
    if (const QPointer<ui::Form>& open = loaded_[tool]; open && !open->isUnloaded()) {
        open->show();
        open->raise();
        open->activateWindow();
        hide();
        return;
    }
    try {
        ui::Form* window = factory(context());
        loaded_[tool] = window;
        window->Form_Load();
        if (window->isUnloaded()) {
            // The window closed itself while loading; its unload already
            // brought the menu back.
            if (guarded) {
                show();
            }
            return;
        }
        hide();
    } catch (...) {
        if (!guarded) {
            throw;
        }
        show();
    }
}

void frmMain::cmdSeason_Click()
{
    openTool(Tool::Season, tools_.season, true);
}

void frmMain::cmdAutoAI_Click()
{
    openTool(Tool::AutoAI, tools_.autoAI, true);
}

void frmMain::cmdTrack_Click()
{
    openTool(Tool::Track, tools_.track, true);
}

void frmMain::cmdBackup_Click()
{
    openTool(Tool::Backup, tools_.backup, false);
}

void frmMain::cmdRestore_Click()
{
    openTool(Tool::Restore, tools_.restore, false);
}

void frmMain::cmdDirectory_Click()
{
    openTool(Tool::Directory, [](ui::AppContext& ctx) -> ui::Form* { return new frmDirectory(ctx); }, false);
}

void frmMain::cmdAbout_Click()
{
    auto* about = new frmAbout(context());
    about->Form_Load();
    if (context().setMenuEnabled) {
        context().setMenuEnabled(false);
    }
}

void frmMain::cmdQuit_Click()
{
    if (quit_) {
        quit_();
    }
}

void frmMain::Form_QueryUnload(bool& cancel)
{
    // The close box ends the program only when no other window is loaded;
    // otherwise the menu just goes away until a window brings it back.
    for (const auto& [tool, window] : loaded_) {
        if (window && !window->isUnloaded()) {
            cancel = true;
            hide();
            return;
        }
    }
}

void frmMain::Form_Unload()
{
    // Closing the menu with its close box ends the program.
    if (quit_) {
        quit_();
    }
}

}  // namespace gm::shell
