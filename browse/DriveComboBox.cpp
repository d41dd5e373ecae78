#include "browse/DriveComboBox.h"

#include "browse/BrowserItems.h"
#include "browse/DirectoryListBox.h"
#include "platform/Folders.h"

TDriveComboBox::TDriveComboBox(QWidget* parent) : QComboBox(parent) {
    setFocusPolicy(Qt::ClickFocus); // not a tab stop
    setRoots(qm::platform::fileSystemRoots());
    connect(this, &QComboBox::activated, this, &TDriveComboBox::chooseRoot);
}

TDriveComboBox::~TDriveComboBox() = default;

QStringList TDriveComboBox::roots() const {
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list.append(itemData(i).toString());
    return list;
}

void TDriveComboBox::setRoots(const QStringList& roots) {
    const QSignalBlocker block(this);
    clear();
    for (const QString& root : roots)
        addItem(qm::browse::driveGlyph(), root, root);
    if (dirList_)
        followFolder(dirList_->directory());
}

void TDriveComboBox::setDirList(TDirectoryListBox* list) {
    if (dirList_)
        disconnect(dirList_, nullptr, this, nullptr);
    dirList_ = list;
    if (dirList_) {
        connect(dirList_, &TDirectoryListBox::directoryChanged, this,
                &TDriveComboBox::followFolder);
        followFolder(dirList_->directory());
    }
}

QString TDriveComboBox::rootOf(const QString& folder) const {
    QString best;
    for (const QString& root : roots()) {
        const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + '/';
        const bool holds = folder == root || folder.startsWith(prefix);
        if (holds && root.size() > best.size())
            best = root;
    }
    return best;
}

void TDriveComboBox::chooseRoot(int index) {
    if (dirList_ && index >= 0)
        dirList_->setDirectory(itemData(index).toString());
}

void TDriveComboBox::followFolder(const QString& folder) {
    const int index = findData(rootOf(folder));
    if (index >= 0) {
        const QSignalBlocker block(this);
        setCurrentIndex(index);
    }
}
