#include "browse/FileListBox.h"

#include "browse/BrowserItems.h"
#include "platform/FileNames.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <algorithm>

namespace qm::browse {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new BrowserItemDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    setTextColor(QColor(255, 0, 0));
    connect(this, &QListWidget::itemSelectionChanged, this, &FileListBox::writeFileEdit);
}

FileListBox::~FileListBox() = default;

bool FileListBox::matchesMask(const QString& name) {
    return name.endsWith(QLatin1String(".ttf"), Qt::CaseInsensitive);
}

void FileListBox::setDirectory(const QString& folder) {
    directory_ = folder;
    reread();
}

void FileListBox::setDirectory(const QString& folder,
                               const std::vector<qm::platform::FolderEntry>& entries) {
    directory_ = folder;
    fill(entries);
}

void FileListBox::reread() {
    fill(qm::platform::folderEntries(directory_));
}

void FileListBox::fill(const std::vector<qm::platform::FolderEntry>& entries) {
    // Regular files only (and links to them): a FIFO or device named *.ttf would block the
    // reader. Hidden files are fonts like any other, and so are names that are not UTF-8.
    QStringList names;
    for (const qm::platform::FolderEntry& entry : entries) {
        if (!entry.isFolder && matchesMask(entry.name))
            names.append(entry.name);
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });

    const QSignalBlocker block(this);
    setUpdatesEnabled(false);
    clear();
    const QIcon glyph = documentGlyph();
    for (const QString& name : names)
        addItem(new QListWidgetItem(glyph, name));
    setUpdatesEnabled(true);
}

QString FileListBox::fileName() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

bool FileListBox::selectFileName(const QString& name) {
    for (int i = 0; i < count(); ++i) {
        if (item(i)->text() == name) {
            setCurrentRow(i);
            item(i)->setSelected(true);
            return true;
        }
    }
    return false;
}

void FileListBox::setFileEdit(QLineEdit* edit) {
    fileEdit_ = edit;
    writeFileEdit();
}

void FileListBox::writeFileEdit() {
    if (!fileEdit_)
        return;
    const QString name = fileName();
    fileEdit_->setText(name.isEmpty() ? QString::fromLatin1(kMask) : name);
    fileEdit_->selectAll();
    emit fileEditWritten(fileEdit_->text());
}

void FileListBox::setTextColor(const QColor& color) {
    QPalette pal = palette();
    pal.setColor(QPalette::Text, color);
    setPalette(pal);
}

void FileListBox::setLocked(bool locked, QLineEdit* edit) {
    if (locked) {
        setTextColor(QColor(192, 192, 192));
        setCursor(Qt::ForbiddenCursor);
        setFileEdit(nullptr);
    } else {
        setTextColor(QColor(255, 0, 0));
        unsetCursor();
        setFileEdit(edit);
    }
}

bool FileListBox::isLocked() const {
    return testAttribute(Qt::WA_SetCursor) && cursor().shape() == Qt::ForbiddenCursor;
}

void FileListBox::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    emit mouseReleased();
}

void FileListBox::keyPressEvent(QKeyEvent* event) {
    // Tabbed into, the list marks its first entry without choosing it. The first arrow chooses
    // the marked entry instead of stepping past it; Home and End choose where they land.
    QListWidgetItem* marked = currentItem();
    const int key = event->key();
    const bool nothingChosen = selectedItems().isEmpty();
    if (nothingChosen && marked && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        marked->setSelected(true);
        return;
    }
    QListWidget::keyPressEvent(event);
    if (nothingChosen && selectedItems().isEmpty() && currentItem() &&
        (key == Qt::Key_Home || key == Qt::Key_End))
        currentItem()->setSelected(true);
}

void FileListBox::keyReleaseEvent(QKeyEvent* event) {
    QListWidget::keyReleaseEvent(event);
    // A held key repeats press and release pairs here; the user released it only once.
    if (!event->isAutoRepeat())
        emit keyReleased(event->key());
}

} // namespace qm::browse
