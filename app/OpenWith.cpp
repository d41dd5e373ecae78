// "Open with" and files dropped on the window: the file's folder is browsed and the file
// selected and loaded exactly as a click in the file list does.

#include "app/AfterFirstFrame.h"
#include "app/Main.h"
#include "browse/BrowsePanel.h"
#include "platform/FileNames.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace {

// The one local file or folder a drag carries; empty for anything else.
QString draggedPath(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().first();
    if (!url.isLocalFile())
        return {};
    // The URL carries the name's bytes percent-encoded; decoded as UTF-8 by Qt, a name that is
    // not UTF-8 would lose them.
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return qm::platform::fileNameText(bytes.toStdString());
}

} // namespace

void TFrmMain::acceptFontDrops() {
    setAcceptDrops(true);
    // The edit boxes would take a dropped file as text; the whole window takes it as a font.
    for (QWidget* child : findChildren<QWidget*>())
        child->setAcceptDrops(false);
}

void TFrmMain::openFontFile(const QString& path) {
    guarded([this, &path] { browse_->open(path); });
}

void TFrmMain::openFontFileAtStart(const QString& path) {
    // The window shows first, whatever the file's mount does. Its folder is read on a thread
    // of its own, under the busy cursor, and the font opens once the folder has answered.
    new qm::app::AfterFirstFrame(*this, [this, path] {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        browse_->openInBackground(path, [] { QGuiApplication::restoreOverrideCursor(); });
    });
}

namespace {

// The file is only read: a drop is taken as a copy or a link, never as a move, which would have
// the file manager delete the file once it was dropped.
bool takeWithoutMoving(QDropEvent* event) {
    const Qt::DropActions offered = event->possibleActions();
    if (!(offered & (Qt::CopyAction | Qt::LinkAction)))
        return false;
    event->setDropAction(offered & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
    event->accept();
    return true;
}

} // namespace

void TFrmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!draggedPath(event->mimeData()).isEmpty() && !browse_->isLocked())
        takeWithoutMoving(event);
}

void TFrmMain::dropEvent(QDropEvent* event) {
    const QString path = draggedPath(event->mimeData());
    if (path.isEmpty() || browse_->isLocked() || !takeWithoutMoving(event))
        return;
    activateWindow();
    openFontFile(path);
}
