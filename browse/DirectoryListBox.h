#pragma once

// DirectoryListBox: the opened folders from the root down, then the subfolders of the current
// one (hidden folders left out). A double-click or Enter on an entry opens it. Each change of
// folder first re-reads the linked file list, then emits directoryChanged.

#include "platform/FileNames.h"

#include <QListWidget>
#include <QString>

#include <vector>

namespace qm::browse {

class FileListBox;

class DirectoryListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirectoryListBox(QWidget* parent = nullptr);
    ~DirectoryListBox() override;

    // The current folder, absolute, without a trailing "/" except for the root.
    QString directory() const { return directory_; }
    // Opens a folder; false, and nothing changes, when it is not an existing folder.
    bool setDirectory(const QString& folder);
    // Opens a folder known to exist, from its entries already read (where reading may block).
    void setDirectory(const QString& folder, const std::vector<qm::platform::FolderEntry>& entries);

    FileListBox* fileList() const { return fileList_; }
    void setFileList(FileListBox* list);

    // The entries' full paths, top to bottom.
    QStringList entryPaths() const;

signals:
    void directoryChanged(const QString& folder);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openItem(QListWidgetItem* item);
    void fill(const std::vector<qm::platform::FolderEntry>& entries);

    QString directory_;
    FileListBox* fileList_ = nullptr;
};

} // namespace qm::browse
