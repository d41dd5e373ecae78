#pragma once

// TAppExec: starts a program with its arguments, optionally in a working folder and waiting.

#include <QObject>
#include <QString>
#include <QStringList>
#include <stdexcept>

class EAppExec : public std::runtime_error {
public:
    explicit EAppExec(const QString& message);
    QString message() const { return QString::fromUtf8(what()); }
};

// Entering the working folder failed.
class EAppExecChDir : public EAppExec {
public:
    using EAppExec::EAppExec;
};

// Creating the process failed; the message is ErrNoText(ErrNo).
class EAppExecWinExec : public EAppExec {
public:
    using EAppExec::EAppExec;
};

class TAppExec : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString ExeName READ ExeName WRITE setExeName)
    Q_PROPERTY(QStringList ExeParams READ ExeParams WRITE setExeParams)
    Q_PROPERTY(QString ExePath READ ExePath WRITE setExePath)
    Q_PROPERTY(bool ChangeDir READ ChangeDir WRITE setChangeDir)
    Q_PROPERTY(bool Wait READ Wait WRITE setWait)
    Q_PROPERTY(TWindowState WindowState READ WindowState WRITE setWindowState)
    Q_PROPERTY(int ErrNo READ ErrNo)

public:
    enum TWindowState { wsNormal, wsMinimized, wsMaximized };
    Q_ENUM(TWindowState)

    explicit TAppExec(QObject* owner = nullptr);

    QString ExeName() const { return exeName_; }
    void setExeName(const QString& name) { exeName_ = name; }
    QStringList ExeParams() const { return exeParams_; }
    QStringList& params() { return exeParams_; } // for Clear / Add in place
    void setExeParams(const QStringList& params) { exeParams_ = params; }
    QString ExePath() const { return exePath_; }
    void setExePath(const QString& path); // drops one trailing separator unless it is a root
    bool ChangeDir() const { return changeDir_; }
    void setChangeDir(bool on) { changeDir_ = on; }
    bool Wait() const { return wait_; }
    void setWait(bool on) { wait_ = on; }
    TWindowState WindowState() const { return windowState_; }
    void setWindowState(TWindowState state) { windowState_ = state; }
    int ErrNo() const { return errNo_; }
    // The show command of WindowState (1, 2, 3); the started program decides for itself here.
    int showCommand() const;

    // Starts ExeName with ExeParams, each its own argument. Raises EAppExecChDir or
    // EAppExecWinExec.
    void Execute();

    static QString ErrNoText(int code);

private:
    QString exeName_;
    QStringList exeParams_;
    QString exePath_;
    bool changeDir_ = true;
    bool wait_ = false;
    TWindowState windowState_ = wsNormal;
    int errNo_ = -1;
};
