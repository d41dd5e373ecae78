#include "controls/ResourcePng.h"

#include <QImageReader>

namespace qm::controls {

QImage readResourcePng(const QString& path) {
    QImageReader reader(path, QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace qm::controls
