#include "platform/HandCursor.h"

#include <QPixmap>

namespace qm::platform {

QCursor loadHandCursor() {
    const QPixmap hand(QStringLiteral(":/cursors/MYPOINTER.png"));
    if (hand.isNull()) {
        return QCursor(Qt::PointingHandCursor);
    }
    return QCursor(hand, kHandCursorHotSpot.x(), kHandCursorHotSpot.y());
}

QIcon loadProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/quillmark-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace qm::platform
