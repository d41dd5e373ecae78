#include "platform/AppFonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>

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

QStringList AppFonts::registeredPaths() const {
    QStringList paths;
    for (const auto& entry : ids_)
        paths << entry.first;
    return paths;
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
    const QByteArray own = fileTable(path, "head");
    if (own.isEmpty() || QRawFont::fromFont(font).fontTable("head") != own)
        return false;
    // A slant or weight that the head's style bits do not have is Qt's, not the file's drawing.
    constexpr int kMacStyleAt = 44;
    if (own.size() < kMacStyleAt + 2)
        return false;
    const int macStyle = quint8(own[kMacStyleAt + 1]);
    const QFontInfo drawn(font);
    return drawn.bold() == bool(macStyle & 1) &&
           (drawn.style() != QFont::StyleNormal) == bool(macStyle & 2);
}

QByteArray AppFonts::fileTable(const QString& path, const char* tag) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto u16 = [](const QByteArray& b, int at) {
        return quint32(quint8(b[at])) << 8 | quint8(b[at + 1]);
    };
    const auto u32 = [&](const QByteArray& b, int at) { return u16(b, at) << 16 | u16(b, at + 2); };
    const QByteArray offsetTable = file.read(12);
    if (offsetTable.size() < 12)
        return {};
    const QByteArray directory = file.read(16 * qint64(u16(offsetTable, 4)));
    for (int at = 0; at + 16 <= directory.size(); at += 16) {
        if (directory.mid(at, 4) != QByteArray(tag, 4))
            continue;
        const quint32 offset = u32(directory, at + 8);
        const quint32 length = u32(directory, at + 12);
        // A table cannot lie beyond the file, whatever the directory claims.
        if (offset > file.size() || length > file.size() - offset || !file.seek(offset))
            return {};
        const QByteArray table = file.read(length);
        return table.size() == qsizetype(length) ? table : QByteArray();
    }
    return {};
}

} // namespace qm::platform
