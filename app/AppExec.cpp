#include "app/AppExec.h"

#include "platform/FileNames.h"
#include "platform/ProcessLauncher.h"

#include <string>
#include <vector>

EAppExec::EAppExec(const QString& message) : std::runtime_error(message.toStdString()) {}

TAppExec::TAppExec(QObject* owner) : QObject(owner) {}

void TAppExec::setExePath(const QString& path) {
    exePath_ = path;
    if (exePath_.size() > 1 && exePath_.endsWith(QLatin1Char('/'))) {
        exePath_.chop(1);
    }
}

int TAppExec::showCommand() const {
    switch (windowState_) {
    case wsMinimized:
        return 2;
    case wsMaximized:
        return 3;
    case wsNormal:
    default:
        return 1;
    }
}

void TAppExec::Execute() {
    // Each parameter is its own argument: there is no command line to split, so a path with
    // blanks arrives whole.
    std::vector<std::string> args;
    args.reserve(static_cast<std::size_t>(exeParams_.size()));
    // Parameters are paths here: each goes as the bytes it names.
    for (const QString& p : exeParams_) {
        args.push_back(qm::platform::fileNameBytes(p));
    }
    if (changeDir_ && !exePath_.isEmpty()) {
        const std::string failure =
            qm::platform::changeCurrentFolder(qm::platform::fileNameBytes(exePath_));
        if (!failure.empty()) {
            throw EAppExecChDir(QString::fromLocal8Bit(failure));
        }
    }
    const qm::platform::LaunchResult result =
        qm::platform::launchProcess(qm::platform::fileNameBytes(exeName_), args, wait_);
    if (result.error != 0) {
        errNo_ = result.error;
        throw EAppExecWinExec(ErrNoText(errNo_));
    }
    if (wait_) {
        errNo_ = 0;
    }
}

QString TAppExec::ErrNoText(int code) {
    switch (code) {
    case -1:
        return QStringLiteral("Pas d'exécution");
    case 0:
        return QStringLiteral("Système dépassé en capacité mémoire, exécutable corrompu, ou "
                              "réallocations invalides");
    case 2:
        return QStringLiteral("Fichier non trouvé");
    case 3:
        return QStringLiteral("Chemin non trouvé");
    case 5:
        return QStringLiteral("Tentative de liaison dynamique à une tâche, ou erreur de partage, "
                              "ou erreur de protection réseau");
    case 6:
        return QStringLiteral(
            "Librairie nécessitant des segments de données séparés pour chaque tâche");
    case 8:
        return QStringLiteral("Mémoire insuffisante pour démarrer l'application");
    case 10:
        return QStringLiteral("Version de Windows incorrecte");
    case 11:
        return QStringLiteral("Exécutable invalide, application non Windows, ou erreur dans "
                              "l'image du fichier .EXE");
    case 12:
        return QStringLiteral("Application écrite pour un système d'exploitation différent");
    case 13:
        return QStringLiteral("Application écrite pour MS-DOS 4.0");
    case 14:
        return QStringLiteral("Type d'exécutable inconnu");
    case 15:
        return QStringLiteral("Tentative de chargement d'une application en mode réel "
                              "(développée pour une version antérieure de Windows)");
    case 16:
        return QStringLiteral("Tentative de chargement d'une seconde instance d'un exécutable "
                              "contenant plusieurs segments de données non marqués en lecture "
                              "seule");
    case 19:
        return QStringLiteral("Tentative de chargement d'un exécutable compressé. Le fichier "
                              "doit être décompressé avant de pouvoir être chargé");
    case 20:
        return QStringLiteral("Fichier Dynamic-link library (DLL) invalide. Une des DLLs "
                              "requises pour exécuter cette application est corrompue");
    case 21:
        return QStringLiteral("Application nécessitant des extensions 32-bit");
    default:
        if (code >= 32) {
            return QStringLiteral("Pas d'erreur");
        }
        // Codes without a row of their own.
        return QStringLiteral("Erreur %1").arg(code);
    }
}
