#include "app/AppExec.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// A stand-in viewer: writes its argument count and arguments to the file named in $QM_OUT_<n>.
QString writeViewer(const QTemporaryDir& dir) {
    const QString path = dir.filePath("glyphsee");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > \"$1.out\"\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

bool waitForFile(const QString& path) {
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(path) && clock.elapsed() < 10000) {
        QThread::msleep(10);
    }
    QThread::msleep(50); // let the writer finish its line
    return QFile::exists(path);
}

struct ExePathRow {
    const char* name;
    QString given;
    QString kept;
};

class ExePath : public ::testing::TestWithParam<ExePathRow> {};

TEST_P(ExePath, dropsOneTrailingSeparatorUnlessRoot) {
    TAppExec exec;
    exec.setExePath(GetParam().given);
    EXPECT_EQ(exec.ExePath(), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Paths, ExePath,
                         ::testing::Values(ExePathRow{"Root", "/", "/"},
                                           ExePathRow{"Trailing", "/usr/share/", "/usr/share"},
                                           ExePathRow{"OnlyOne", "/tmp//", "/tmp/"},
                                           ExePathRow{"None", "/usr/bin", "/usr/bin"},
                                           ExePathRow{"Empty", "", ""},
                                           ExePathRow{"Relative", "fonts/", "fonts"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct TextRow {
    int code;
    const char* text;
};

class ErrNoText : public ::testing::TestWithParam<TextRow> {};

TEST_P(ErrNoText, followsTheTable) {
    EXPECT_EQ(TAppExec::ErrNoText(GetParam().code), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ErrNoText,
    ::testing::Values(
        TextRow{-1, "Pas d'exécution"},
        TextRow{0, "Système dépassé en capacité mémoire, exécutable corrompu, ou réallocations "
                   "invalides"},
        TextRow{2, "Fichier non trouvé"}, TextRow{3, "Chemin non trouvé"},
        TextRow{5, "Tentative de liaison dynamique à une tâche, ou erreur de partage, ou erreur "
                   "de protection réseau"},
        TextRow{6, "Librairie nécessitant des segments de données séparés pour chaque tâche"},
        TextRow{8, "Mémoire insuffisante pour démarrer l'application"},
        TextRow{10, "Version de Windows incorrecte"},
        TextRow{11, "Exécutable invalide, application non Windows, ou erreur dans l'image du "
                    "fichier .EXE"},
        TextRow{12, "Application écrite pour un système d'exploitation différent"},
        TextRow{13, "Application écrite pour MS-DOS 4.0"}, TextRow{14, "Type d'exécutable inconnu"},
        TextRow{15, "Tentative de chargement d'une application en mode réel (développée pour "
                    "une version antérieure de Windows)"},
        TextRow{16, "Tentative de chargement d'une seconde instance d'un exécutable contenant "
                    "plusieurs segments de données non marqués en lecture seule"},
        TextRow{19, "Tentative de chargement d'un exécutable compressé. Le fichier doit être "
                    "décompressé avant de pouvoir être chargé"},
        TextRow{20, "Fichier Dynamic-link library (DLL) invalide. Une des DLLs requises pour "
                    "exécuter cette application est corrompue"},
        TextRow{21, "Application nécessitant des extensions 32-bit"}, TextRow{32, "Pas d'erreur"},
        TextRow{1000, "Pas d'erreur"}),
    [](const auto& info) {
        return info.param.code < 0 ? std::string("Minus1")
                                   : "Code" + std::to_string(info.param.code);
    });

TEST(ErrNoTextGaps, codesWithoutARowSayTheirNumber) {
    for (int code : {1, 4, 7, 9, 17, 18, 22, 31, -5}) {
        EXPECT_EQ(TAppExec::ErrNoText(code), QStringLiteral("Erreur %1").arg(code));
    }
}

TEST(AppExec, startsWithTheDocumentedFields) {
    TAppExec exec;
    EXPECT_EQ(exec.ErrNo(), -1);
    EXPECT_TRUE(exec.ChangeDir());
    EXPECT_FALSE(exec.Wait());
    EXPECT_EQ(exec.WindowState(), TAppExec::wsNormal);
    EXPECT_EQ(exec.showCommand(), 1);
    exec.setWindowState(TAppExec::wsMaximized);
    EXPECT_EQ(exec.showCommand(), 3);
}

TEST(AppExec, aPathWithBlanksReachesTheProgramAsOneArgument) {
    QTemporaryDir dir;
    TAppExec exec;
    exec.setChangeDir(false);
    exec.setExeName(writeViewer(dir));
    ASSERT_TRUE(QDir(dir.path()).mkpath("My Fonts"));
    const QString font = dir.filePath("My Fonts/Old Face.ttf");
    exec.params().clear();
    exec.params().append(font);
    exec.setWait(true);
    exec.Execute();
    EXPECT_EQ(readAll(font + ".out").toStdString(), ("1|" + font + "|").toStdString());
    EXPECT_EQ(exec.ErrNo(), 0) << "a waited-for run sets ErrNo to 0";
}

TEST(AppExec, notWaitingReturnsAndLeavesErrNoAlone) {
    QTemporaryDir dir;
    TAppExec exec;
    exec.setChangeDir(false);
    exec.setExeName(writeViewer(dir));
    exec.setExeParams({dir.filePath("a")});
    exec.Execute();
    EXPECT_EQ(exec.ErrNo(), -1);
    EXPECT_TRUE(waitForFile(dir.filePath("a.out")));
}

TEST(AppExec, twoStartsStartTwoPrograms) {
    QTemporaryDir dir;
    TAppExec exec;
    exec.setChangeDir(false);
    exec.setExeName(writeViewer(dir));
    exec.setExeParams({dir.filePath("first")});
    exec.Execute();
    exec.setExeParams({dir.filePath("second")});
    exec.Execute();
    EXPECT_TRUE(waitForFile(dir.filePath("first.out")));
    EXPECT_TRUE(waitForFile(dir.filePath("second.out")));
}

TEST(AppExec, aMissingProgramRaisesFileNotFoundWithCodeTwo) {
    QTemporaryDir dir;
    TAppExec exec;
    exec.setChangeDir(false);
    exec.setExeName(dir.filePath("Glyphsee"));
    exec.setExeParams({"/usr/share/fonts/x.ttf"});
    try {
        exec.Execute();
        ADD_FAILURE() << "no error";
    } catch (const EAppExecWinExec& e) {
        EXPECT_EQ(e.message(), "Fichier non trouvé");
    }
    EXPECT_EQ(exec.ErrNo(), 2);
}

TEST(AppExec, aFailedStartAfterAWaitReplacesErrNo) {
    TAppExec exec;
    exec.setChangeDir(false);
    exec.setWait(true);
    exec.setExeName("/bin/true");
    exec.Execute();
    ASSERT_EQ(exec.ErrNo(), 0);
    exec.setExeName("/etc/hostname/not-a-folder");
    EXPECT_THROW(exec.Execute(), EAppExecWinExec);
    EXPECT_EQ(exec.ErrNo(), 3);
}

TEST(AppExec, changeDirEntersTheWorkingFolderFirst) {
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    TAppExec exec;
    exec.setExePath(dir.path() + "/");
    exec.setExeName("/bin/sh");
    exec.setExeParams({"-c", "pwd > here.txt"});
    exec.setWait(true);
    exec.Execute();
    EXPECT_EQ(readAll(dir.filePath("here.txt")).trimmed(), QDir(dir.path()).canonicalPath());
    QDir::setCurrent(before);
}

TEST(AppExec, aWorkingFolderThatCannotBeEnteredRaisesChDir) {
    QTemporaryDir dir;
    TAppExec exec;
    exec.setExePath(dir.filePath("missing"));
    exec.setExeName("/bin/true");
    try {
        exec.Execute();
        ADD_FAILURE() << "no error";
    } catch (const EAppExecChDir& e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_EQ(exec.ErrNo(), -1) << "the program was never started";
}

TEST(AppExec, errorsShareTheirBaseClass) {
    TAppExec exec;
    exec.setChangeDir(false);
    exec.setExeName("/nonexistent/glyphsee");
    EXPECT_THROW(exec.Execute(), EAppExec);
}

} // namespace
