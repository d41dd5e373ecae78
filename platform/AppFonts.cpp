#include "platform/AppFonts.h"

#include "platform/FileNames.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace qm::platform {

namespace {

// A font file opened by the bytes of its name, without waiting: a FIFO or device is never read.
class FontFile {
public:
    explicit FontFile(const QString& path)
        : fd_(::open(fileNameBytes(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {
        struct stat st {};
        if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(fd_);
            fd_ = -1;
        }
        size_ = fd_ >= 0 ? quint64(st.st_size) : 0;
    }
    ~FontFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FontFile(const FontFile&) = delete;
    FontFile& operator=(const FontFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // The descriptor, for the caller to keep and close.
    int release() { return std::exchange(fd_, -1); }

    // Exactly length bytes at offset into out, or false.
    bool readInto(char* out, quint64 offset, quint64 length) const {
        if (fd_ < 0 || offset > size_ || length > size_ - offset)
            return false;
        for (quint64 done = 0; done < length;) {
            const ssize_t n = ::pread(fd_, out + done, length - done, off_t(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += quint64(n);
        }
        return true;
    }
    // Exactly length bytes at offset, or empty; never more than kMaxFaceBytes.
    QByteArray read(quint64 offset, quint64 length) const {
        if (length > quint64(AppFonts::kMaxFaceBytes))
            return {};
        QByteArray bytes(qsizetype(length), Qt::Uninitialized);
        return readInto(bytes.data(), offset, length) ? bytes : QByteArray();
    }

private:
    int fd_;
    quint64 size_ = 0;
};

quint32 u16At(const QByteArray& b, qsizetype at) {
    return quint32(quint8(b[at])) << 8 | quint8(b[at + 1]);
}

quint32 u32At(const QByteArray& b, qsizetype at) {
    return u16At(b, at) << 16 | u16At(b, at + 2);
}

void putU32(QByteArray& b, qsizetype at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(v >> (24 - 8 * i));
}

// The offset table and directory of a font file, or of the first font of a collection: 12
// bytes, then 16 per table.
QByteArray fontDirectory(const FontFile& file) {
    const QByteArray header = file.read(0, 16);
    const quint64 at = header.startsWith("ttcf") && header.size() == 16 ? u32At(header, 12) : 0;
    const QByteArray offsetTable = file.read(at, 12);
    if (offsetTable.size() < 12)
        return {};
    return file.read(at, 12 + 16 * quint64(u16At(offsetTable, 4)));
}

} // namespace

AppFonts::~AppFonts() {
    for (auto& [path, registrations] : ids_) {
        for (const Registration& registration : registrations)
            withdraw(registration);
    }
}

bool AppFonts::withdraw(const Registration& registration) {
    // A registration Qt refused has only its descriptor to close.
    const bool removed =
        registration.id >= 0 && QFontDatabase::removeApplicationFont(registration.id);
    // Only once Qt has let go of the name may the descriptor behind it be closed.
    if (registration.fd >= 0)
        ::close(registration.fd);
    return removed;
}

int AppFonts::add(const QString& path) {
    if (path.isEmpty()) {
        return 0;
    }
    // Qt names files by UTF-8 text. A file whose name is not UTF-8 is registered through a
    // descriptor held open for as long as the registration lasts.
    Registration registration;
    QString qtPath = path;
    if (QFile::encodeName(path).toStdString() != fileNameBytes(path)) {
        FontFile file(path);
        if (!file.isOpen())
            return 0;
        registration.fd = file.release();
        qtPath = QStringLiteral("/proc/self/fd/%1").arg(registration.fd);
    }
    registration.id = QFontDatabase::addApplicationFont(qtPath);
    const QStringList families = registration.id < 0
                                     ? QStringList()
                                     : QFontDatabase::applicationFontFamilies(registration.id);
    if (families.isEmpty()) { // refused, or registered but unusable: take it back
        withdraw(registration);
        return 0;
    }
    ids_[path].push_back(registration);
    return static_cast<int>(families.size());
}

bool AppFonts::remove(const QString& path) {
    auto it = ids_.find(path);
    if (it == ids_.end() || it->second.empty()) {
        return false;
    }
    const Registration registration = it->second.back();
    it->second.pop_back();
    if (it->second.empty()) {
        ids_.erase(it);
    }
    return withdraw(registration);
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
    return it == ids_.end() ? -1 : it->second.back().id;
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
    // A compact copy of the tables: padding, a trailer or anything else the file holds beyond
    // them is never read, and the copy is bounded even where the directory claims more.
    const FontFile file(path);
    const QByteArray directory = fontDirectory(file);
    if (directory.size() < 12)
        return {};
    const int tables = int(u16At(directory, 4));
    // Each table at a four-byte boundary, as the format places them; the size is known before
    // a byte is read, so the bound holds whatever the directory claims.
    const auto padded = [](qint64 n) { return (n + 3) & ~qint64(3); };
    qint64 total = padded(12 + 16 * tables);
    for (int i = 0; i < tables; ++i) {
        total += padded(u32At(directory, 12 + 16 * i + 12));
        if (total > kMaxFaceBytes)
            return {};
    }
    QByteArray compact(total, '\0');
    std::copy_n(directory.constData(), 12 + 16 * tables, compact.data());
    qint64 at = padded(12 + 16 * tables);
    for (int i = 0; i < tables; ++i) {
        const qsizetype entry = 12 + 16 * i;
        const quint32 length = u32At(directory, entry + 12);
        if (!file.readInto(compact.data() + at, u32At(directory, entry + 8), length))
            return {};
        putU32(compact, entry + 8, quint32(at));
        at += padded(length);
    }
    QRawFont raw;
    raw.loadFromData(compact, pixelSize, QFont::PreferDefaultHinting);
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
    // QFontInfo::bold() is true from Medium up; a Medium face is not a bold one.
    const QFontInfo drawn(font);
    return (drawn.weight() >= QFont::DemiBold) == bool(macStyle & 1) &&
           (drawn.style() != QFont::StyleNormal) == bool(macStyle & 2);
}

AppFonts::FaceStyle AppFonts::fileStyle(const QString& path) {
    // The engine's rule: OS/2's fsSelection where a valid OS/2 table is present (italic or
    // oblique bit, bold bit), else the head's macStyle bits.
    constexpr int kFsSelectionAt = 62;
    constexpr int kOs2Version0Size = 78;
    constexpr int kMacStyleAt = 44;
    bool bold = false;
    bool italic = false;
    const QByteArray os2 = fileTable(path, "OS/2");
    if (os2.size() >= kOs2Version0Size && u16At(os2, 0) != 0xFFFF) {
        const quint32 selection = u16At(os2, kFsSelectionAt);
        italic = (selection & 0x0201) != 0;
        bold = (selection & 0x0020) != 0;
    } else {
        const QByteArray head = fileTable(path, "head");
        if (head.size() >= kMacStyleAt + 2) {
            const int macStyle = quint8(head[kMacStyleAt + 1]);
            bold = (macStyle & 1) != 0;
            italic = (macStyle & 2) != 0;
        }
    }
    return {bold ? QFont::Bold : QFont::Normal, italic ? QFont::StyleItalic : QFont::StyleNormal};
}

QByteArray AppFonts::fileTable(const QString& path, const char* tag) {
    const FontFile file(path);
    const QByteArray directory = fontDirectory(file);
    for (qsizetype at = 12; at + 16 <= directory.size(); at += 16) {
        if (directory.mid(at, 4) != QByteArray(tag, 4))
            continue;
        // A table cannot lie beyond the file, whatever the directory claims.
        return file.read(u32At(directory, at + 8), u32At(directory, at + 12));
    }
    return {};
}

} // namespace qm::platform
