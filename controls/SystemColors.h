#pragma once

// The classic system colours and the default UI font. The program was designed against
// these values, so every control (and the window) takes them from here instead of the
// desktop theme's palette.

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace qm::controls::system {

inline QColor btnFace() {
    return QColor(192, 192, 192);
}
inline QColor btnHighlight() {
    return QColor(255, 255, 255);
}
inline QColor btnShadow() {
    return QColor(128, 128, 128);
}
inline QColor btnText() {
    return QColor(0, 0, 0);
}
inline QColor grayText() {
    return QColor(128, 128, 128);
}
inline QColor windowFrame() {
    return QColor(0, 0, 0);
}
inline QColor window() {
    return QColor(255, 255, 255);
}
inline QColor windowText() {
    return QColor(0, 0, 0);
}
inline QColor infoBk() {
    return QColor(255, 255, 225);
}
inline QColor infoText() {
    return QColor(0, 0, 0);
}
inline QColor activeCaption() {
    return QColor(0, 0, 128);
}
inline QColor inactiveCaption() {
    return QColor(128, 128, 128);
}
inline QColor captionText() {
    return QColor(255, 255, 255);
}
inline QColor inactiveCaptionText() {
    return QColor(192, 192, 192);
}

} // namespace qm::controls::system

// The named colours the window's forms use, as the classic 16-colour palette.
namespace qm::controls::classic {

inline QColor black() {
    return QColor(0, 0, 0);
}
inline QColor maroon() {
    return QColor(128, 0, 0);
}
inline QColor green() {
    return QColor(0, 128, 0);
}
inline QColor olive() {
    return QColor(128, 128, 0);
}
inline QColor navy() {
    return QColor(0, 0, 128);
}
inline QColor purple() {
    return QColor(128, 0, 128);
}
inline QColor teal() {
    return QColor(0, 128, 128);
}
inline QColor gray() {
    return QColor(128, 128, 128);
}
inline QColor silver() {
    return QColor(192, 192, 192);
}
inline QColor red() {
    return QColor(255, 0, 0);
}
inline QColor lime() {
    return QColor(0, 255, 0);
}
inline QColor yellow() {
    return QColor(255, 255, 0);
}
inline QColor blue() {
    return QColor(0, 0, 255);
}
inline QColor fuchsia() {
    return QColor(255, 0, 255);
}
inline QColor aqua() {
    return QColor(0, 255, 255);
}
inline QColor white() {
    return QColor(255, 255, 255);
}

} // namespace qm::controls::classic

namespace qm::controls {

// "MS Sans Serif" 8 pt: an 11-pixel sans-serif face. Liberation Sans is metric-compatible
// with the faces the layout was drawn with; DejaVu Sans is the fallback.
inline QFont defaultUiFont() {
    QFont f;
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"Liberation Sans", "DejaVu Sans"}) {
        if (families.contains(QString::fromLatin1(name))) {
            f.setFamily(QString::fromLatin1(name));
            break;
        }
    }
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    return f;
}

} // namespace qm::controls
