#include "controls/StoredPicture.h"

#include <QImage>

namespace qm::controls {

namespace {

QString masterPath(const QString& path, int scale) {
    QString master = path;
    master.insert(master.lastIndexOf(QLatin1Char('.')), QStringLiteral("@%1x").arg(scale));
    return master;
}

} // namespace

QPixmap pictureForRatio(const QString& path, qreal ratio) {
    if (ratio <= 1.0)
        return QPixmap(path);
    const int scale = ratio > 2.0 ? 3 : 2;
    QImage master(masterPath(path, scale));
    if (master.isNull())
        return QPixmap(path);
    const QSize logical = master.size() / scale;
    const QSize device = (QSizeF(logical) * ratio).toSize();
    if (device != master.size())
        master = master.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPixmap picture = QPixmap::fromImage(master);
    picture.setDevicePixelRatio(ratio);
    return picture;
}

} // namespace qm::controls
