#include "platform/Folders.h"

#include "platform/FileNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>

namespace qm::platform {

SystemFolders::SystemFolders() {
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    // The XDG rule: a relative XDG_DATA_HOME is ignored.
    userFonts_ =
        (data.startsWith(u'/') ? data : QDir::homePath() + QStringLiteral("/.local/share")) +
        QStringLiteral("/fonts/");
}

SystemFolders::SystemFolders(QString windowsFolder, QString systemFolder, QString userFontFolder)
    : windows_(std::move(windowsFolder)), system_(std::move(systemFolder)),
      userFonts_(std::move(userFontFolder)) {}

QString SystemFolders::newFontFolder() const {
    if (!userFonts_.isEmpty())
        QDir().mkpath(userFonts_);
    return userFonts_;
}

QString SystemFolders::fontsStartFolder() const {
    const QString fonts = windows_ + QStringLiteral("/fonts");
    return QFileInfo(fonts).isDir() ? fonts : QDir::homePath();
}

QStringList fileSystemRoots(const QString& home, const QStringList& mountPoints) {
    QStringList roots{QStringLiteral("/")};
    auto addOnce = [&roots](const QString& p) {
        if (!p.isEmpty() && !roots.contains(p)) {
            roots.append(p);
        }
    };
    addOnce(home);
    QStringList volumes;
    for (const QString& m : mountPoints) {
        if (m.startsWith(QLatin1String("/media/")) || m.startsWith(QLatin1String("/mnt/")) ||
            m.startsWith(QLatin1String("/run/media/"))) {
            volumes.append(m);
        }
    }
    volumes.sort();
    for (const QString& v : volumes) {
        addOnce(v);
    }
    return roots;
}

namespace {

// A mount point as mountinfo writes it: space, tab, newline and backslash as three octal digits.
std::string unescapedMountPoint(const QByteArray& field) {
    std::string bytes;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto isOctal = [&field](qsizetype at) {
            return field[at] >= '0' && field[at] <= '7';
        };
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(i + 1) && isOctal(i + 2) &&
            isOctal(i + 3)) {
            bytes +=
                char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            bytes += field[i];
        }
    }
    return bytes;
}

} // namespace

QStringList fileSystemRoots() {
    // The kernel's own list: reading it asks nothing of the file systems, so a hanging network
    // or FUSE mount cannot hold up the window; such a drive answers when it is chosen.
    QFile mountInfo(QStringLiteral("/proc/self/mountinfo"));
    QStringList mounts;
    if (mountInfo.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : mountInfo.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() > 4)
                mounts.append(fileNameText(unescapedMountPoint(fields[4])));
        }
    }
    return fileSystemRoots(QDir::homePath(), mounts);
}

QString pathCase(const QString& path) {
    return path;
}

QString programFolder() {
    return QCoreApplication::applicationDirPath();
}

} // namespace qm::platform
