#include "controls/MessageBox.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>

namespace qm::controls {

namespace {
// The test seam: the newest live recorder, or null when boxes are really shown.
MessageBoxRecorder* activeRecorder = nullptr;
} // namespace

MessageBoxRecorder::MessageBoxRecorder() : previous_(activeRecorder) {
    activeRecorder = this;
}

MessageBoxRecorder::~MessageBoxRecorder() {
    activeRecorder = previous_;
}

QString messageDisplayText(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

QString messageTitle(MessageKind kind) {
    return kind == MessageKind::Error ? QStringLiteral("Error") : QStringLiteral("Information");
}

void showMessageBox(QWidget* parent, MessageKind kind, const QString& text) {
    if (activeRecorder) {
        activeRecorder->shown_.push_back({kind, messageTitle(kind), text});
        return;
    }
    // A window not yet shown has no place yet: its boxes are centred on the screen instead.
    QWidget* over = parent && parent->window()->isVisible() ? parent : nullptr;
    QMessageBox box(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information,
                    messageTitle(kind), messageDisplayText(text), QMessageBox::Ok, over);
    box.setTextFormat(Qt::PlainText);
    // A box shown while the program is busy is answered with the ordinary pointer.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QGuiApplication::restoreOverrideCursor();
}

} // namespace qm::controls
