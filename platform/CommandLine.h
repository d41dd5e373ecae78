#pragma once

// The command line of a window program, read before any display is opened: --help, --version
// and a wrong command line are answered on the terminal and need no display. Qt's own options
// (-platform, -display, -style, ...) are left for the application object to take.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace qm::platform {

class CommandLine {
public:
    // program: the name shown in the usage line and by --version, with version.
    CommandLine(QString program, QString version, const QString& description);

    QCommandLineParser& parser() { return parser_; }

    // Answers --help, --version and usage errors from the raw arguments. Returns the exit
    // status when the program should end now (0 after help or version, 2 for a usage error,
    // with the text written to standard output or standard error), or -1 to go on.
    int answerWithoutDisplay(int argc, char** argv);

    // After answerWithoutDisplay: the program's own arguments and options.
    QStringList positionalArguments() const { return parser_.positionalArguments(); }
    bool isSet(const QCommandLineOption& option) const { return parser_.isSet(option); }
    QString value(const QCommandLineOption& option) const { return parser_.value(option); }

    // Lines "  N  meaning" that the help lists under "Exit status:".
    void setExitStatuses(const QString& lines) { exitStatuses_ = lines; }
    QString helpText() const;
    QString versionText() const;
    // Tells the user what is wrong and where to read more; returns the usage-error status.
    int usageError(const QString& what) const;

private:
    QString program_;
    QString version_;
    QString exitStatuses_;
    QCommandLineParser parser_;
    QCommandLineOption help_;
    QCommandLineOption versionOption_;
};

} // namespace qm::platform
