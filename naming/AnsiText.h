#pragma once

// The boxes hold Unicode; the font record holds Windows-1252 bytes. These are the two
// crossings between them: 0x99 shows as the trademark sign and a character the code page
// cannot hold becomes '?'.

#include "core/Windows1252.h"

#include <QFile>
#include <QString>
#include <string>

inline std::string ToAnsi(const QString& text) {
    return Utf8ToWindows1252(text.toUtf8().toStdString());
}

inline QString FromAnsi(const std::string& text) {
    return QString::fromStdString(Windows1252ToUtf8(text));
}

// Paths go to the file system as the local 8-bit encoding, not through the code page.
inline std::string ToFilePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

inline QString FromFilePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
