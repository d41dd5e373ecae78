#pragma once

// The window's stored pictures on screens of any pixel density.

#include <QPixmap>
#include <QString>

namespace qm::controls {

// The picture at `path` (a ".png") for a screen of `ratio` device pixels per logical pixel: at
// 1x the picture itself; above, its master PATH@2x.png (or @3x above 2x) smoothed to the
// screen's own pixels. Masters are read only when the ratio asks for one.
QPixmap pictureForRatio(const QString& path, qreal ratio);

} // namespace qm::controls
