#include "shell/folder_list_widget.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

#include "platform/fs.h"
#include "ui/sorted_list.h"

namespace gm::shell {

namespace {

constexpr int kPathRole = Qt::UserRole + 1;

bool isRoot(const QString& folder)
{
    return QDir(folder).isRoot() || folder == QStringLiteral("/");
}

}  // namespace

QString withoutTrailingSeparator(QString folder)
{
    while (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))) {
        const QString shorter = folder.left(folder.size() - 1);
        if (isRoot(folder) && !isRoot(shorter)) {
            break;  // "C:\" stays as it is
        }
        folder = shorter;
    }
    return folder;
}

FolderListWidget::FolderListWidget(QWidget* parent) : ui::ListBox(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { setPath(entryPath(item)); });
}

QString FolderListWidget::entryPath(const QListWidgetItem* item)
{
    return item == nullptr ? QString() : item->data(kPathRole).toString();
}

QListWidgetItem* FolderListWidget::entryFor(const QString& folder) const
{
    for (int i = 0; i < count(); ++i) {
        if (entryPath(item(i)) == folder) {
            return item(i);
        }
    }
    return nullptr;
}

bool FolderListWidget::setPath(const QString& folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || !info.isReadable()) {
        return false;
    }
    QString native = QDir::toNativeSeparators(QDir::cleanPath(info.absoluteFilePath()));
    native = withoutTrailingSeparator(native);
    if (isRoot(native) && !native.endsWith(QDir::separator())) {
        native += QDir::separator();  // "C:" means the root "C:\"
    }
    path_ = native;
    rebuild();
    Q_EMIT pathChanged(path_);
    return true;
}

void FolderListWidget::rebuild()
{
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirIcon);

    // The chain from the root down to the open folder.
    QStringList chain;
    QDir dir(path_);
    chain.prepend(path_);
    while (dir.cdUp()) {
        chain.prepend(withoutTrailingSeparator(QDir::toNativeSeparators(dir.absolutePath())));
        if (dir.isRoot()) {
            break;
        }
    }
    if (!chain.isEmpty() && isRoot(chain.front()) && !chain.front().endsWith(QDir::separator())) {
        chain.front() += QDir::separator();
    }
    int depth = 0;
    for (const QString& folder : chain) {
        const QString name = depth == 0 ? folder : QFileInfo(folder).fileName();
        auto* item = new QListWidgetItem(openIcon, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(kPathRole, folder);
        ++depth;
    }
    if (count() > 0) {
        QFont bold = item(count() - 1)->font();
        bold.setBold(true);
        item(count() - 1)->setFont(bold);
    }

    // The open folder's visible sub-folders, sorted without case.
    QStringList children;
    for (const platform::DirEntry& entry : platform::listVisible(platform::toPath(path_.toStdString()))) {
        if (entry.isFolder) {
            children.push_back(QString::fromStdString(entry.name));
        }
    }
    ui::sortNames(children);
    const QString base = path_.endsWith(QDir::separator()) ? path_ : path_ + QDir::separator();
    for (const QString& child : children) {
        auto* item = new QListWidgetItem(closedIcon, QString(depth * 2, QLatin1Char(' ')) + child, this);
        item->setData(kPathRole, base + child);
    }
    setCurrentRow(-1);
}

}  // namespace gm::shell
