#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace qm::platform {

SystemFolders::SystemFolders(QString windowsFolder, QString systemFolder)
    : windows_(std::move(windowsFolder)), system_(std::move(systemFolder)) {}

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
