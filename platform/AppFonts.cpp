#include "platform/AppFonts.h"

#include <QFontDatabase>

namespace qm::platform {

AppFonts::~AppFonts() {
    for (auto& [path, ids] : ids_) {
        for (int id : ids) {
            QFontDatabase::removeApplicationFont(id);
        }
    }
}

int AppFonts::add(const QString& path) {
    if (path.isEmpty()) {
        return 0;
    }
    const int id = QFontDatabase::addApplicationFont(path);
    if (id < 0) {
        return 0;
    }
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) { // registered but unusable: take it back
        QFontDatabase::removeApplicationFont(id);
        return 0;
    }
    ids_[path].push_back(id);
    return static_cast<int>(families.size());
}

bool AppFonts::remove(const QString& path) {
    auto it = ids_.find(path);
    if (it == ids_.end() || it->second.empty()) {
        return false;
    }
    const int id = it->second.back();
    it->second.pop_back();
    if (it->second.empty()) {
        ids_.erase(it);
    }
    return QFontDatabase::removeApplicationFont(id);
}

bool AppFonts::isRegistered(const QString& path) const {
    return ids_.count(path) > 0;
}

int AppFonts::registrationCount(const QString& path) const {
    auto it = ids_.find(path);
    return it == ids_.end() ? 0 : static_cast<int>(it->second.size());
}

int AppFonts::fontId(const QString& path) const {
    auto it = ids_.find(path);
    return it == ids_.end() ? -1 : it->second.back();
}

QStringList AppFonts::families(const QString& path) const {
    const int id = fontId(path);
    return id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
}

QFont AppFonts::font(const QString& path, int pixelSize) const {
    const QStringList names = families(path);
    if (names.isEmpty()) {
        return QFont();
    }
    // The family Qt reports may differ from the file's name ID 1, and a plain QFont(family)
    // picks the regular face: ask for this file's own style within that family.
    const QRawFont raw = rawFont(path, pixelSize);
    QFont result;
    if (raw.isValid()) {
        result = QFontDatabase::font(names.first(), raw.styleName(), pixelSize);
        result.setFamilies({names.first()});
        result.setWeight(raw.weight() > 0 ? QFont::Weight(raw.weight()) : QFont::Normal);
        result.setStyle(raw.style());
    } else {
        result.setFamilies({names.first()});
    }
    result.setPixelSize(pixelSize);
    // Never let Qt merge glyphs from another face into this one.
    result.setStyleStrategy(QFont::NoFontMerging);
    return result;
}

QRawFont AppFonts::rawFont(const QString& path, int pixelSize) {
    QRawFont raw(path, pixelSize);
    return raw;
}

bool AppFonts::drawsFileGlyphs(const QFont& font, const QString& path) {
    const QRawFont used = QRawFont::fromFont(font);
    const QRawFont file(path, 12);
    if (!used.isValid() || !file.isValid()) {
        return false;
    }
    // The same file carries the same header (checksum adjustment, dates) and glyph outlines.
    const QByteArray head = file.fontTable("head");
    return !head.isEmpty() && used.fontTable("head") == head &&
           used.fontTable("glyf") == file.fontTable("glyf");
}

} // namespace qm::platform
