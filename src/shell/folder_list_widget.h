// The folder list of the directory window: the open folder's ancestors,
// the open folder itself, then its sub-folders. A double click opens an
// entry and makes it the current path; a single click only highlights.
#pragma once

#include <QListWidget>
#include <QString>

#include "ui/list_box.h"

namespace gm::shell {

class FolderListWidget : public ui::ListBox {
    Q_OBJECT

public:
    explicit FolderListWidget(QWidget* parent = nullptr);

    // Opens a folder; false (and nothing changes) when it is not one.
    bool setPath(const QString& folder);
    // The open folder, without a trailing separator except for a root.
    QString path() const { return path_; }

    // The folder an entry stands for.
    static QString entryPath(const QListWidgetItem* item);
    // The entry for a folder of the list, or null.
    QListWidgetItem* entryFor(const QString& folder) const;

Q_SIGNALS:
    void pathChanged(const QString& folder);

private:
    void rebuild();

    QString path_;
};

// Removes a trailing separator unless the text is a root ("/", "C:\").
QString withoutTrailingSeparator(QString folder);

}  // namespace gm::shell
