#include "shell/frm_directory.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include "common/quoted_field.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "shell/option_file.h"
#include "ui/dialogs.h"
#include "ui/geometry.h"

namespace gm::shell {

frmDirectory::frmDirectory(ui::AppContext& context) : ui::Form(context)
{
    setObjectName(QStringLiteral("frmDirectory"));
    setWindowTitle(QStringLiteral("Directory Setup"));
    setDialogFixedSize(5175, 4935);

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    ui::placeTwips(Drive1, 120, 480, 4935, 315);
    Drive1->addItems(driveList());

    Dir1 = new FolderListWidget(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    ui::placeTwips(Dir1, 120, 960, 4935, 3240);

    cmdOK = new ui::CommandButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    ui::placeTwips(cmdOK, 2640, 4320, 1215, 495);
    cmdOK->setAutoDefault(false);

    cmdCancel = new ui::CommandButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    ui::placeTwips(cmdCancel, 3840, 4320, 1215, 495);
    cmdCancel->setAutoDefault(false);

    Label1 = new QLabel(QStringLiteral("Please double click on the Gridmark Directory."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ui::placeTwips(Label1, 120, 120, 4920, 255);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    QWidget::setTabOrder(Drive1, Dir1);
    QWidget::setTabOrder(Dir1, cmdOK);
    QWidget::setTabOrder(cmdOK, cmdCancel);

    connect(Drive1, &QComboBox::currentIndexChanged, this, [this](int) { Drive1_Change(); });
    connect(cmdOK, &QPushButton::clicked, this, &frmDirectory::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDirectory::cmdCancel_Click);
}

QStringList frmDirectory::driveList()
{
    QStringList drives;
#ifdef _WIN32
    for (const QFileInfo& drive : QDir::drives()) {
        drives.push_back(QDir::toNativeSeparators(drive.absolutePath()).left(2).toLower());
    }
#else
    drives.push_back(QStringLiteral("/"));
    // Wine's drive C: of the default prefix and of the prefixes that
    // winetricks keeps: they lie in hidden folders, which the folder list
    // does not show, so they are offered as drives.
    const QString home = QDir::homePath();
    QStringList wineDrives{home + QStringLiteral("/.wine/drive_c")};
    const QDir prefixes(home + QStringLiteral("/.local/share/wineprefixes"));
    for (const QString& prefix : prefixes.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        wineDrives.push_back(prefixes.absoluteFilePath(prefix) + QStringLiteral("/drive_c"));
    }
    for (const QString& drive : wineDrives) {
        if (QFileInfo(drive).isDir() && !drives.contains(drive)) {
            drives.push_back(drive);
        }
    }
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isValid() && volume.isReady() && !drives.contains(root)) {
            drives.push_back(root);
        }
    }
#endif
    return drives;
}

void frmDirectory::Form_Load()
{
    showCentred();
    // Positioning the lists is best effort: whatever fails here leaves the
    // lists as they are.
    const QSignalBlocker block(Drive1);
#ifdef _WIN32
    int first = Drive1->findText(QStringLiteral("c:"), Qt::MatchFixedString);
#else
    // Drive C: is the default Wine prefix's drive_c when there is one.
    const QString wineC = QString::fromStdString(
        platform::fromPath(platform::driveRoot(platform::toPath(platform::defaultGameDirectory()))));
    int first = Drive1->findText(wineC, Qt::MatchExactly);
#endif
    if (first < 0) {
        first = 0;
    }
    Drive1->setCurrentIndex(first);
    if (first >= 0 && first < Drive1->count()) {
        Dir1->setPath(Drive1->itemText(first));
    }
    const QString game = QString::fromStdString(context().gameDirectory);
    if (platform::folderExists(platform::toPath(context().gameDirectory))) {
        Dir1->setPath(game);
    }
}

void frmDirectory::Drive1_Change()
{
    QString drive = Drive1->currentText();
#ifdef _WIN32
    if (drive.size() == 2 && drive.endsWith(QLatin1Char(':'))) {
        drive += QLatin1Char('\\');
    }
#endif
    if (!Dir1->setPath(drive)) {
        context().dialogs->message(this, QStringLiteral("The drive you specified is not accessible."),
                                   ui::Buttons::Ok, ui::Icon::Critical);
    }
}

void frmDirectory::cmdOK_Click()
{
    const std::string folder = Dir1->path().toStdString();
    // The option file keeps the folder in double quotes: a path holding a
    // quote would read back cut short at the next start.
    if (!common::canQuote(folder)) {
        context().dialogs->message(this, kQuoteInPath, ui::Buttons::Ok, ui::Icon::Critical);
        return;
    }
    if (!isGameDirectory(folder)) {
        context().dialogs->message(
            this, QStringLiteral("The directory you specified is not the valid directory for Gridmark."),
            ui::Buttons::Ok, ui::Icon::Critical);
        return;
    }
    if (!writeGameDirectory(context().ownFilesFolder(), folder)) {
        context().dialogs->message(this, QStringLiteral("Could not save the Gridmark directory setting."),
                                   ui::Buttons::Ok, ui::Icon::Critical);
        return;
    }
    context().gameDirectory = folder;
    unload();
}

void frmDirectory::cmdCancel_Click()
{
    unload();
}

void frmDirectory::Form_Unload()
{
    showMenu();
}

}  // namespace gm::shell
