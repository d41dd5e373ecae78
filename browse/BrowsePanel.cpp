#include "browse/BrowsePanel.h"

#include "browse/DirectoryListBox.h"
#include "browse/DriveComboBox.h"
#include "browse/FileListBox.h"
#include "platform/FileNames.h"
#include "platform/Folders.h"

#include <QDir>
#include <QLineEdit>

#include <mutex>
#include <thread>
#include <vector>

namespace qm::browse {

// What opening a path needs from the file system, read in one go, on any thread.
struct OpenListing {
    QString target;        // absolute and cleaned
    bool isFolder = false; // the target is a folder: it is browsed
    QString folder;        // else the folder holding it
    QString name;          // and its name there
    bool folderExists = false;
    std::vector<qm::platform::FolderEntry> entries; // of the folder browsed

    static OpenListing read(const QString& path) {
        OpenListing l;
        l.target = QDir::cleanPath(qm::platform::absolutePath(path));
        l.isFolder = qm::platform::isFolder(l.target);
        if (l.isFolder) {
            l.folder = l.target;
        } else {
            const qsizetype slash = l.target.lastIndexOf(u'/');
            l.folder = slash <= 0 ? QStringLiteral("/") : l.target.left(slash);
            l.name = l.target.mid(slash + 1);
        }
        l.folderExists = l.isFolder || qm::platform::isFolder(l.folder);
        if (l.folderExists)
            l.entries = qm::platform::folderEntries(l.folder);
        return l;
    }
};

// A reading thread posts its listing here while the panel lives; the panel closes it on its way.
struct ListingMailbox {
    std::mutex mutex;
    BrowsePanel* panel = nullptr;
};

BrowsePanel::BrowsePanel(DriveComboBox* drive, DirectoryListBox* folders, FileListBox* files,
                         QLineEdit* fileName, QObject* parent)
    : QObject(parent), drive_(drive), folders_(folders), files_(files), fileName_(fileName) {
    files_->setFileEdit(fileName_);
    folders_->setFileList(files_);
    drive_->setDirList(folders_);
    connect(files_, &FileListBox::fileEditWritten, this,
            [this](const QString& name) { name_ = name; });
    // No file is chosen in a new folder yet.
    connect(folders_, &DirectoryListBox::directoryChanged, this, [this] {
        fileName_->clear();
        name_.clear();
        emit folderChosen(folder());
    });
    connect(files_, &FileListBox::mouseReleased, this, &BrowsePanel::D_FileMouseUp);
    connect(files_, &FileListBox::keyReleased, this, &BrowsePanel::D_FileKeyUp);
    mailbox_ = std::make_shared<ListingMailbox>();
    mailbox_->panel = this;
}

BrowsePanel::~BrowsePanel() {
    const std::lock_guard lock(mailbox_->mutex);
    mailbox_->panel = nullptr;
}

QString BrowsePanel::folder() const {
    return folders_->directory();
}

int BrowsePanel::fontCount() const {
    return files_->count();
}

void BrowsePanel::reread() {
    files_->reread();
}

void BrowsePanel::D_FileMouseUp() {
    if (files_->isLocked())
        return giveBoxBack();
    emit fontChosen(selectedPath());
}

void BrowsePanel::D_FileKeyUp(int key) {
    // Tab and Shift+Tab only pass through, and a modifier let go is no key of the list's: the
    // keyboard reaches the folders beyond a locked list.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Shift ||
        key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta)
        return;
    if (files_->isLocked())
        return giveBoxBack();
    // Page Up and Page Down only move the selection.
    if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Home || key == Qt::Key_End)
        emit fontChosen(selectedPath());
}

void BrowsePanel::giveBoxBack() {
    files_->clearSelection();
    fileName_->setFocus();
}

QString BrowsePanel::selectedPath() const {
    return pathIn(folder(), name_);
}

QString BrowsePanel::pathIn(const QString& folder, const QString& name) const {
    // The folder, a "/" unless it ends in one, and the name.
    const QString separator = folder.endsWith(u'/') ? QString() : QStringLiteral("/");
    return qm::platform::pathCase(folder + separator + name);
}

void BrowsePanel::open(const QString& path) {
    if (path.isEmpty() || files_->isLocked())
        return;
    open(OpenListing::read(path));
}

void BrowsePanel::openInBackground(const QString& path, std::function<void()> done) {
    if (path.isEmpty() || files_->isLocked()) {
        done();
        return;
    }
    const QString browsed = folder();
    // Detached: a mount that never answers must not hold up the program's exit.
    std::thread([mailbox = mailbox_, path, browsed, done = std::move(done)]() mutable {
        auto listing = std::make_shared<OpenListing>(OpenListing::read(path));
        const std::lock_guard lock(mailbox->mutex);
        if (!mailbox->panel)
            return;
        BrowsePanel* panel = mailbox->panel;
        QMetaObject::invokeMethod(
            panel,
            [panel, listing, browsed, done = std::move(done)] {
                // Only where the user has not gone elsewhere meanwhile.
                if (panel->folder() == browsed && !panel->files_->isLocked())
                    panel->open(*listing);
                done();
            },
            Qt::QueuedConnection);
    }).detach();
}

void BrowsePanel::open(const OpenListing& listing) {
    if (listing.isFolder) {
        folders_->setDirectory(listing.target, listing.entries);
        return;
    }
    const QString& name = listing.name;
    if (!listing.folderExists) {
        // Its folder is gone as well: the error still names the file asked for.
        emit fontChosen(qm::platform::pathCase(listing.target));
        return;
    }
    folders_->setDirectory(listing.folder, listing.entries);
    // A name the list does not show (missing, or not ".ttf") is typed into the box instead.
    if (!files_->selectFileName(name)) {
        files_->clearSelection();
        fileName_->setText(name);
        name_ = name;
    }
    if (QListWidgetItem* item = files_->currentItem())
        files_->scrollToItem(item);
    files_->setFocus();
    emit fontChosen(selectedPath());
}

void BrowsePanel::setLocked(bool locked) {
    files_->setLocked(locked, locked ? nullptr : fileName_);
    if (locked) {
        files_->clearSelection();
        fileName_->clear();
        fileName_->setFocus();
    }
}

bool BrowsePanel::isLocked() const {
    return files_->isLocked();
}

} // namespace qm::browse
