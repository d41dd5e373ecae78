#pragma once

// Where the program's "Windows" and "system" folders are here, the roots the drive box
// offers, and how whole paths change case.

#include <QString>
#include <QStringList>

namespace qm::platform {

// The stand-ins for GetWindowsDirectory / GetSystemDirectory. Tests inject their own.
class SystemFolders {
public:
    SystemFolders();
    // Injected folders have no user font folder unless one is given.
    SystemFolders(QString windowsFolder, QString systemFolder, QString userFontFolder = {});

    // "/usr/share": its "fonts" subfolder is the system font folder.
    const QString& windowsFolder() const { return windows_; }
    // "/usr/bin": the system program folder.
    const QString& systemFolder() const { return system_; }
    void setWindowsFolder(const QString& folder) { windows_ = folder; }
    void setSystemFolder(const QString& folder) { system_ = folder; }

    // windowsFolder()/fonts when it is a folder, otherwise the home folder.
    QString fontsStartFolder() const;

    // Where new fonts go until the user fixes a folder of their own: $XDG_DATA_HOME/fonts/
    // (~/.local/share/fonts/), which the user may write and the desktop reads, rather than the
    // system font folder the browser starts in. Made when missing; empty when none is known.
    QString newFontFolder() const;

private:
    QString windows_ = QStringLiteral("/usr/share");
    QString system_ = QStringLiteral("/usr/bin");
    QString userFonts_;
};

// "/", the home folder, then mounted volumes a user would start from (under /media, /mnt,
// /run/media), without duplicates.
QStringList fileSystemRoots();
// The same rule on given data, for tests.
QStringList fileSystemRoots(const QString& home, const QStringList& mountPoints);

// The lower/upper-casing of whole paths the program did on a case-insensitive system:
// the identity here, since file names are case-sensitive.
QString pathCase(const QString& path);

// The folder of the running program, for finding programs installed beside it (needs the
// application object).
QString programFolder();

} // namespace qm::platform
