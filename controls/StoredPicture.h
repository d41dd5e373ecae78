#pragma once

// The window's stored pictures on screens of any pixel density.

#include <QPixmap>
#include <QString>

#include <functional>

class QWidget;

namespace qm::controls {

// The picture at `path` (a ".png") for a screen of `ratio` device pixels per logical pixel: at
// 1x the picture itself; above, its master PATH@2x.png (or @3x above 2x) smoothed to the
// screen's own pixels. Masters are read only when the ratio asks for one.
QPixmap pictureForRatio(const QString& path, qreal ratio);

// Gives `show` the picture at `path` for the ratio `widget` is drawn at now, and again each time
// its window moves to a screen of another ratio.
void showPictureForRatio(QWidget* widget, const QString& path,
                         std::function<void(const QPixmap&)> show);

} // namespace qm::controls
