#include "platform/CommandLine.h"
#include "platform/FileNames.h"

#include <cstdio>
#include <set>

namespace qm::platform {

namespace {

constexpr int kExitUsage = 2;

// Options QGuiApplication and QApplication take out of the command line themselves.
const std::set<QString>& qtOptionsWithValue() {
    static const std::set<QString> kNames = {QStringLiteral("platform"),
                                             QStringLiteral("platformpluginpath"),
                                             QStringLiteral("platformtheme"),
                                             QStringLiteral("plugin"),
                                             QStringLiteral("qwindowgeometry"),
                                             QStringLiteral("qwindowicon"),
                                             QStringLiteral("qwindowtitle"),
                                             QStringLiteral("display"),
                                             QStringLiteral("style"),
                                             QStringLiteral("stylesheet"),
                                             QStringLiteral("session"),
                                             QStringLiteral("qmljsdebugger"),
                                             QStringLiteral("geometry"),
                                             QStringLiteral("title"),
                                             QStringLiteral("name"),
                                             QStringLiteral("visual")};
    return kNames;
}

const std::set<QString>& qtSwitches() {
    static const std::set<QString> kNames = {QStringLiteral("reverse"), QStringLiteral("nograb"),
                                             QStringLiteral("dograb"), QStringLiteral("sync"),
                                             QStringLiteral("widgetcount")};
    return kNames;
}

// The arguments without Qt's own options, which the application object reads later. From "--"
// on every argument is the program's.
QStringList withoutQtOptions(int argc, char** argv) {
    QStringList kept;
    bool ownOnly = false;
    for (int i = 0; i < argc; ++i) {
        // Arguments are mostly file names, which are bytes: one that is not UTF-8 keeps them.
        const QString arg = fileNameText(argv[i]);
        if (i == 0 || ownOnly || !arg.startsWith(QLatin1Char('-'))) {
            kept.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            ownOnly = true;
            kept.append(arg);
            continue;
        }
        const QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
        if (qtOptionsWithValue().count(name) && i + 1 < argc)
            ++i;
        else if (!qtSwitches().count(name))
            kept.append(arg);
    }
    return kept;
}

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

CommandLine::CommandLine(QString program, QString version, const QString& description)
    : program_(std::move(program)), version_(std::move(version)),
      help_({QStringLiteral("h"), QStringLiteral("help")},
            QStringLiteral("Show this help and exit.")),
      versionOption_({QStringLiteral("v"), QStringLiteral("version")},
                     QStringLiteral("Show the version and exit.")) {
    parser_.setApplicationDescription(description);
    parser_.addOption(help_);
    parser_.addOption(versionOption_);
}

int CommandLine::answerWithoutDisplay(int argc, char** argv) {
    if (!parser_.parse(withoutQtOptions(argc, argv)))
        return usageError(parser_.errorText());
    if (parser_.isSet(help_)) {
        print(stdout, helpText());
        return 0;
    }
    if (parser_.isSet(versionOption_)) {
        print(stdout, versionText() + QLatin1Char('\n'));
        return 0;
    }
    return -1;
}

int CommandLine::usageError(const QString& what) const {
    print(stderr,
          QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(program_, what));
    return kExitUsage;
}

QString CommandLine::helpText() const {
    QString text = parser_.helpText();
    // Without an application object the parser cannot know the program's name.
    text.replace(QLatin1String("<executable_name>"), program_);
    if (!exitStatuses_.isEmpty())
        text += QStringLiteral("\nExit status:\n") + exitStatuses_;
    return text;
}

QString CommandLine::versionText() const {
    return QStringLiteral("%1 %2").arg(program_, version_);
}

} // namespace qm::platform
