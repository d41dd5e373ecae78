#include "controls/StoredPicture.h"
#include "controls/ResourcePng.h"

#include <QEvent>
#include <QImage>
#include <QWidget>

#include <utility>

namespace qm::controls {

namespace {

QString masterPath(const QString& path, int scale) {
    QString master = path;
    master.insert(master.lastIndexOf(QLatin1Char('.')), QStringLiteral("@%1x").arg(scale));
    return master;
}

// Watches the widget for its window's screen changes (Qt tells each widget of the window).
class RatioFollower : public QObject {
public:
    RatioFollower(QWidget* widget, QString path, std::function<void(const QPixmap&)> show)
        : QObject(widget), widget_(widget), path_(std::move(path)), show_(std::move(show)),
          ratio_(widget->devicePixelRatioF()) {
        show_(pictureForRatio(path_, ratio_));
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget_ && event->type() == QEvent::ScreenChangeInternal &&
            widget_->devicePixelRatioF() != ratio_) {
            ratio_ = widget_->devicePixelRatioF();
            show_(pictureForRatio(path_, ratio_));
        }
        return false;
    }

private:
    QWidget* widget_;
    QString path_;
    std::function<void(const QPixmap&)> show_;
    qreal ratio_;
};

} // namespace

void showPictureForRatio(QWidget* widget, const QString& path,
                         std::function<void(const QPixmap&)> show) {
    new RatioFollower(widget, path, std::move(show));
}

QPixmap pictureForRatio(const QString& path, qreal ratio) {
    if (ratio <= 1.0)
        return QPixmap::fromImage(readResourcePng(path));
    const int scale = ratio > 2.0 ? 3 : 2;
    QImage master = readResourcePng(masterPath(path, scale));
    if (master.isNull())
        return QPixmap::fromImage(readResourcePng(path));
    const QSize logical = master.size() / scale;
    const QSize device = (QSizeF(logical) * ratio).toSize();
    if (device != master.size())
        master = master.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPixmap picture = QPixmap::fromImage(master);
    picture.setDevicePixelRatio(ratio);
    return picture;
}

} // namespace qm::controls
