#pragma once

// FileListBox: the TrueType files of one folder (every name ending in ".ttf" in any case),
// red, each after a document glyph. Linked to a file-name box, it writes the selected name
// there (or the mask when nothing is selected). Locked, it shows silver text and the "not
// allowed" cursor and leaves the box alone.

#include "platform/FileNames.h"

#include <QListWidget>
#include <QString>

#include <vector>

class QLineEdit;

namespace qm::browse {

class FileListBox : public QListWidget {
    Q_OBJECT
public:
    static constexpr const char* kMask = "*.TTF";

    explicit FileListBox(QWidget* parent = nullptr);
    ~FileListBox() override;

    QString directory() const { return directory_; }
    // Lists the folder's TrueType files; the selection is cleared.
    void setDirectory(const QString& folder);
    // The same from the folder's entries, already read (where reading may block).
    void setDirectory(const QString& folder, const std::vector<qm::platform::FolderEntry>& entries);
    // Reads the current folder again (after a new file was written into it).
    void reread();

    // The selected entry's file name, empty when none is selected.
    QString fileName() const;
    // Selects the entry with this file name; false when the list has none.
    bool selectFileName(const QString& name);

    // The file-name box the list writes into; nullptr detaches. Attaching writes at once.
    QLineEdit* fileEdit() const { return fileEdit_; }
    void setFileEdit(QLineEdit* edit);

    // The lock of the create-new-font panel: silver text, "not allowed" cursor, detached from
    // the box while locked; red, normal cursor and attached again to `edit` when unlocked.
    void setLocked(bool locked, QLineEdit* edit = nullptr);
    bool isLocked() const;

    // Whether a file name passes the mask (".ttf" at the end, any case).
    static bool matchesMask(const QString& name);

signals:
    // Any mouse button released over the list, after the selection has moved.
    void mouseReleased();
    // A key released while the list has the focus, after the selection has moved; Qt::Key.
    void keyReleased(int key);
    // The name just written into the file-name box.
    void fileEditWritten(const QString& name);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void writeFileEdit();
    void fill(const std::vector<qm::platform::FolderEntry>& entries);
    void setTextColor(const QColor& color);

    QString directory_;
    QLineEdit* fileEdit_ = nullptr;
};

} // namespace qm::browse
