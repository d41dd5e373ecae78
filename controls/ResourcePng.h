#pragma once

// Reads a PNG picture the program carries. Qt's reader would first load every image-format
// plug-in installed to ask whether one of them claims the picture; ours are all PNG, which Qt
// reads itself, so the plug-ins are never loaded.

#include <QImage>
#include <QString>

namespace qm::controls {

// A null image when the picture is missing or is not a PNG.
QImage readResourcePng(const QString& path);

} // namespace qm::controls
