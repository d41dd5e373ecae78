#include "Gallery.h"

#include <QTest>
#include <cstdio>

void Gallery::shot(const QString& name, QWidget& w) {
    const QImage image = w.grab().toImage();
    bool ok = image.save(out_.filePath(name + QStringLiteral(".png")), "PNG");
    if (image.width() < 400)
        ok &= image.scaled(image.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                  .save(out_.filePath(name + QStringLiteral("@4x.png")), "PNG");
    if (!ok) {
        std::fprintf(stderr, "gallery: cannot write %s\n", qPrintable(name));
        failed_ = true;
    }
    ++written_;
}

void Gallery::press(QWidget& w, QPoint at) {
    QTest::mousePress(&w, Qt::LeftButton, {}, at);
}

void Gallery::release(QWidget& w, QPoint at) {
    QTest::mouseRelease(&w, Qt::LeftButton, {}, at);
}
