#pragma once

// The browser as one panel: the drive box, the folder list, the file list and the file-name
// box, linked. It says which folder is browsed and which font file is chosen, each as a path;
// while the create-new-font panel holds the list, a click in it chooses nothing.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLineEdit;

namespace qm::browse {

class DirectoryListBox;
class DriveComboBox;
class FileListBox;
struct OpenListing;
struct ListingMailbox;

class BrowsePanel : public QObject {
    Q_OBJECT

public:
    BrowsePanel(DriveComboBox* drive, DirectoryListBox* folders, FileListBox* files,
                QLineEdit* fileName, QObject* parent);
    ~BrowsePanel() override;

    // The browsed folder as the folder list gives it.
    QString folder() const;
    // How many TrueType files the browsed folder lists.
    int fontCount() const;
    // Lists the browsed folder again (after a new file was written into it).
    void reread();

    // "Open with": the file's folder is browsed and the file selected and chosen as a click in
    // the list would choose it; a folder is only browsed. A file whose folder is gone is chosen
    // all the same, so that its error shows.
    void open(const QString& path);
    // The same, with the folder read on a thread of its own: a folder on a hanging mount holds
    // nothing up. The lists fill in once it answers, unless another folder was browsed
    // meanwhile; `done` is called on this thread either way, unless the panel is gone.
    void openInBackground(const QString& path, std::function<void()> done);

    // The create-new-font panel holds the list: nothing is chosen, and the file-name box is
    // free for the new name.
    void setLocked(bool locked);
    bool isLocked() const;

    // The file list's mouse and key releases.
    void D_FileMouseUp();
    void D_FileKeyUp(int key);

signals:
    void folderChosen(const QString& folder);
    void fontChosen(const QString& path);

private:
    // The browsed folder and the name the file-name box was given.
    QString selectedPath() const;
    QString pathIn(const QString& folder, const QString& name) const;
    void giveBoxBack();
    void open(const OpenListing& listing);

    DriveComboBox* drive_;
    DirectoryListBox* folders_;
    FileListBox* files_;
    QLineEdit* fileName_;
    // What the box was given: empty in a new folder, then the list's selection (the mask for
    // none), or a name "Open with" asked for that the list does not show.
    QString name_;
    // Shared with the threads reading folders for openInBackground.
    std::shared_ptr<ListingMailbox> mailbox_;
};

} // namespace qm::browse
