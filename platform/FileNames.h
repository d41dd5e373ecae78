#pragma once

// File names are bytes; the window shows them as text. A name that is valid UTF-8 shows as
// itself. Each byte that is not part of a valid UTF-8 character, and each control character
// (C0, DEL, C1), shows as "\xNN" (two upper-case hex digits), so an old archive's Latin-1 name is
// listed, can be told apart from its neighbours, and opens. A backslash that would read as the
// start of such an escape is doubled. fileNameBytes(fileNameText(b)) == b for every byte string b.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace qm::platform {

QString fileNameText(std::string_view bytes);
// The bytes a text of fileNameText names. "\\" is one backslash, "\xNN" the byte NN (for the
// bytes fileNameText escapes: controls, DEL and 0x80 to 0xFF); every other character is UTF-8.
std::string fileNameBytes(const QString& text);

// One entry of a folder as the browser lists it.
struct FolderEntry {
    QString name;          // fileNameText of the entry's bytes
    bool isFolder = false; // a folder, or a link to one; otherwise a regular file or a link to one
};
// The subfolders and regular files of folder (links followed), "." and ".." left out. FIFOs,
// devices, sockets and dangling links are never listed: the reader must not wait on them. Empty
// when the folder cannot be read.
std::vector<FolderEntry> folderEntries(const QString& folder);
// Whether path names a folder (or a link to one).
bool isFolder(const QString& path);
// Whether anything at all is at path, even a dangling link or a name that is not UTF-8.
bool pathIsTaken(const QString& path);
// path made absolute against the current folder; not cleaned.
QString absolutePath(const QString& path);

} // namespace qm::platform
