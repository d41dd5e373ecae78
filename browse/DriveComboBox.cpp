#include "browse/DriveComboBox.h"

#include "browse/BrowserItems.h"
#include "browse/DirectoryListBox.h"
#include "platform/Folders.h"

namespace qm::browse {

DriveComboBox::DriveComboBox(QWidget* parent) : QComboBox(parent) {
    setFocusPolicy(Qt::ClickFocus); // not a tab stop
    setRoots(qm::platform::fileSystemRoots());
    connect(this, &QComboBox::activated, this, &DriveComboBox::chooseRoot);
}

DriveComboBox::~DriveComboBox() = default;

QStringList DriveComboBox::roots() const {
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list.append(itemData(i).toString());
    return list;
}

void DriveComboBox::setRoots(const QStringList& roots) {
    const QSignalBlocker block(this);
    clear();
    for (const QString& root : roots)
        addItem(driveGlyph(), root, root);
    if (dirList_)
        followFolder(dirList_->directory());
}

void DriveComboBox::setDirList(DirectoryListBox* list) {
    if (dirList_)
        disconnect(dirList_, nullptr, this, nullptr);
    dirList_ = list;
    if (dirList_) {
        connect(dirList_, &DirectoryListBox::directoryChanged, this, &DriveComboBox::followFolder);
        followFolder(dirList_->directory());
    }
}

QString DriveComboBox::rootOf(const QString& folder) const {
    QString best;
    for (const QString& root : roots()) {
        const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + '/';
        const bool holds = folder == root || folder.startsWith(prefix);
        if (holds && root.size() > best.size())
            best = root;
    }
    return best;
}

void DriveComboBox::chooseRoot(int index) {
    if (dirList_ && index >= 0)
        dirList_->setDirectory(itemData(index).toString());
}

void DriveComboBox::followFolder(const QString& folder) {
    const int index = findData(rootOf(folder));
    if (index >= 0) {
        const QSignalBlocker block(this);
        setCurrentIndex(index);
    }
}

} // namespace qm::browse
