#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

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

QStringList fileSystemRoots() {
    QStringList mounts;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) {
            mounts.append(volume.rootPath());
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
