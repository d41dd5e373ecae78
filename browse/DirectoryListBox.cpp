#include "browse/DirectoryListBox.h"

#include "browse/BrowserItems.h"
#include "browse/FileListBox.h"
#include "platform/FileNames.h"

#include <QDir>
#include <QKeyEvent>

#include <algorithm>

namespace qm::browse {

DirectoryListBox::DirectoryListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new BrowserItemDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    connect(this, &QListWidget::itemDoubleClicked, this, &DirectoryListBox::openItem);
}

DirectoryListBox::~DirectoryListBox() = default;

void DirectoryListBox::setFileList(FileListBox* list) {
    fileList_ = list;
    if (fileList_ && !directory_.isEmpty())
        fileList_->setDirectory(directory_);
}

bool DirectoryListBox::setDirectory(const QString& folder) {
    if (!qm::platform::isFolder(folder))
        return false;
    // Cleaned as text: the folder's name may hold bytes only the platform layer can open.
    const QString path = QDir::cleanPath(qm::platform::absolutePath(folder));
    if (path != directory_)
        setDirectory(path, qm::platform::folderEntries(path));
    return true;
}

void DirectoryListBox::setDirectory(const QString& folder,
                                    const std::vector<qm::platform::FolderEntry>& entries) {
    const QString path = QDir::cleanPath(qm::platform::absolutePath(folder));
    if (path == directory_)
        return;
    directory_ = path;
    fill(entries);
    if (fileList_)
        fileList_->setDirectory(directory_, entries);
    emit directoryChanged(directory_);
}

void DirectoryListBox::fill(const std::vector<qm::platform::FolderEntry>& entries) {
    const QSignalBlocker block(this);
    setUpdatesEnabled(false);
    clear();

    // The opened folders, from the root down.
    QStringList chain;
    for (QString path = directory_;;) {
        chain.prepend(path);
        const qsizetype slash = path.lastIndexOf(u'/');
        if (slash <= 0) {
            if (path != QStringLiteral("/"))
                chain.prepend(QStringLiteral("/"));
            break;
        }
        path.truncate(slash);
    }
    int depth = 0;
    for (const QString& path : chain) {
        const QString name = depth == 0 ? path : path.mid(path.lastIndexOf(u'/') + 1);
        auto* item = new QListWidgetItem(openFolderGlyph(), name);
        item->setData(kPathRole, path);
        item->setData(kDepthRole, depth++);
        addItem(item);
    }
    QListWidgetItem* current = item(count() - 1);

    // Then the subfolders of the current one; names starting with "." are hidden.
    QStringList subfolders;
    for (const qm::platform::FolderEntry& entry : entries) {
        if (entry.isFolder && !entry.name.startsWith(u'.'))
            subfolders.append(entry.name);
    }
    std::sort(subfolders.begin(), subfolders.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    const QString prefix = directory_.endsWith(QLatin1Char('/')) ? directory_ : directory_ + '/';
    for (const QString& name : subfolders) {
        auto* item = new QListWidgetItem(closedFolderGlyph(), name);
        item->setData(kPathRole, prefix + name);
        item->setData(kDepthRole, depth);
        addItem(item);
    }

    setCurrentItem(current);
    setUpdatesEnabled(true);
}

QStringList DirectoryListBox::entryPaths() const {
    QStringList paths;
    for (int i = 0; i < count(); ++i)
        paths.append(item(i)->data(kPathRole).toString());
    return paths;
}

void DirectoryListBox::openItem(QListWidgetItem* item) {
    if (item)
        setDirectory(item->data(kPathRole).toString());
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openItem(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace qm::browse
