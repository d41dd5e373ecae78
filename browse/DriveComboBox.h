#pragma once

// DriveComboBox: the file-system roots a user starts from ("/", the home folder, mounted
// volumes). Choosing one moves the linked folder list there; the box follows the folder list
// to the root that holds its folder.

#include <QComboBox>
#include <QStringList>

namespace qm::browse {

class DirectoryListBox;

class DriveComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveComboBox(QWidget* parent = nullptr);
    ~DriveComboBox() override;

    QStringList roots() const;
    void setRoots(const QStringList& roots);

    DirectoryListBox* dirList() const { return dirList_; }
    void setDirList(DirectoryListBox* list);

    // The root holding a folder: the longest root that is the folder or one of its parents.
    QString rootOf(const QString& folder) const;

private:
    void chooseRoot(int index);
    void followFolder(const QString& folder);

    DirectoryListBox* dirList_ = nullptr;
};

} // namespace qm::browse
