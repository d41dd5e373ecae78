#pragma once

// What the viewer knows of one font file: its names as the core reads them, its style flags and
// a face that draws the file's own glyphs, or why the file cannot be shown.

#include <QRawFont>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace qm::viewer {

struct FontSample {
    QString path;
    QString error; // why the file cannot be shown; empty when it can

    // Label and text, in the order the sheet lists them.
    std::vector<std::pair<QString, QString>> names;
    QString fullName;
    bool bold = false;
    bool italic = false;

    // Loaded from the file's own bytes, so an installed face of the same family never stands in.
    QRawFont face;

    bool ok() const { return error.isEmpty(); }
};

// Reads the names with the core reader and loads the face. Never throws: every failure, from
// a missing argument to an unreadable outline table, ends up in error.
FontSample loadFontSample(const QString& path);

// The characters the sheet's grid shows for the codes 32 to 255, as Windows-1252 maps them.
QString characterSet();

} // namespace qm::viewer
