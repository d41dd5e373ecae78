#pragma once

// App-only font registration: a font file is made available to this program alone (nothing is
// installed) and withdrawn again. Keeps path -> id, because Qt reuses ids after removal and
// names families after fontconfig's rules, not after the file's name ID 1. Paths are texts of
// platform/FileNames.h. A registered file is mapped by the font engine, never read whole, so
// a font padded to gigabytes costs the memory of the pages drawn from.

#include <QFont>
#include <QRawFont>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

namespace qm::platform {

class AppFonts {
public:
    AppFonts() = default;
    ~AppFonts(); // withdraws whatever is still registered
    AppFonts(const AppFonts&) = delete;
    AppFonts& operator=(const AppFonts&) = delete;

    // Registers the file; the number of faces added, 0 when it is not a usable font.
    int add(const QString& path);
    // Withdraws the latest registration of this path; false when it was not registered.
    bool remove(const QString& path);

    bool isRegistered(const QString& path) const;
    QStringList registeredPaths() const; // in path order
    int registrationCount(const QString& path) const;
    int fontId(const QString& path) const; // -1 when not registered
    QStringList families(const QString& path) const;

    // A QFont at pixelSize that draws this file's own glyphs; the default QFont when the path is
    // not registered. If an installed face shadows the file (same family and style), the result
    // may draw that face: check with drawsFileGlyphs(), or draw with rawFont().
    QFont font(const QString& path, int pixelSize) const;
    // The file's glyphs, always exact; invalid when the file is not a font. Built from the
    // tables alone, whatever else the file holds; invalid as well when they pass kMaxFaceBytes.
    static QRawFont rawFont(const QString& path, int pixelSize);
    // Far beyond any real font (the largest CJK faces hold about 30 MB): a bound on the memory
    // one raw face may take.
    static constexpr qint64 kMaxFaceBytes = 128 << 20;
    // Whether font draws exactly the glyphs of the file at path: the face Qt matched carries the
    // file's head table (its checksum and dates), which only a copy of the same file shares, and
    // its bold and slant are the head's style bits, nothing Qt synthesised beyond them. Reads
    // the directory and the head table, never the whole file.
    static bool drawsFileGlyphs(const QFont& font, const QString& path);
    // The bytes of one table of a TrueType file as its directory gives them; empty when the file
    // has no such table, is cut short, or the table passes kMaxFaceBytes.
    static QByteArray fileTable(const QString& path, const char* tag);
    // The weight and slant rawFont() would report, from the OS/2 and head tables alone, as the
    // font engine derives them; reads two small tables instead of copying the whole face.
    struct FaceStyle {
        QFont::Weight weight = QFont::Normal;
        QFont::Style style = QFont::StyleNormal;
    };
    static FaceStyle fileStyle(const QString& path);

private:
    struct Registration {
        int id = -1;
        // Holds open a file Qt cannot name by its path (platform/FileNames.h): the registration
        // names it as /proc/self/fd/N, which stays valid exactly as long as this descriptor.
        int fd = -1;
    };
    static bool withdraw(const Registration& registration);

    std::map<QString, std::vector<Registration>> ids_;
};

} // namespace qm::platform
