#pragma once

// The boxes hold Unicode; the font record holds Windows-1252 bytes. These are the two
// crossings between them: 0x99 shows as the trademark sign and a character the code page
// cannot hold becomes '?'.

#include "core/Windows1252.h"
#include "platform/FileNames.h"

#include <QString>
#include <string>

namespace qm::naming {

inline std::string toAnsi(const QString& text) {
    return utf8ToWindows1252(text.toUtf8().toStdString());
}

inline QString fromAnsi(const std::string& text) {
    return QString::fromStdString(windows1252ToUtf8(text));
}

// Paths go to the file system as the bytes they name, not through the code page: a name that
// is not UTF-8 shows its other bytes as escapes (platform/FileNames.h).
inline std::string toFilePath(const QString& path) {
    return qm::platform::fileNameBytes(path);
}

inline QString fromFilePath(const std::string& path) {
    return qm::platform::fileNameText(path);
}

} // namespace qm::naming
