// glyphsee: shows, prints and saves a sample sheet of one TrueType font file.

#include "viewer/FontSample.h"
#include "viewer/SheetOutput.h"
#include "viewer/ViewerWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <cstdio>
#include <cstring>

namespace {

void Complain(const QString& text) {
    std::fprintf(stderr, "glyphsee: %s\n", qUtf8Printable(text));
}

// Writing a PDF from a script needs no display.
bool WantsPdfOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "--pdf") == 0 || std::strncmp(argv[i], "--pdf=", 6) == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (WantsPdfOnly(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("glyphsee"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quillmark-%1.png").arg(size));
    QApplication::setWindowIcon(icon);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows, prints and saves a sample sheet of a TrueType font file."));
    parser.addHelpOption();
    const QCommandLineOption pdfOption(
        QStringLiteral("pdf"), QStringLiteral("Write the sample sheet to <file> as PDF and exit."),
        QStringLiteral("file"));
    parser.addOption(pdfOption);
    parser.addPositionalArgument(QStringLiteral("font"), QStringLiteral("The font file to show."));
    if (!parser.parse(QApplication::arguments())) {
        Complain(parser.errorText());
        return 2;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);

    const QStringList files = parser.positionalArguments();
    qm::viewer::FontSample sample = qm::viewer::LoadFontSample(files.value(0));
    if (files.size() > 1) {
        sample = {};
        sample.error =
            QStringLiteral("glyphsee shows one font file at a time, but was given %1: %2")
                .arg(files.size())
                .arg(files.join(QStringLiteral(", ")));
    }

    if (parser.isSet(pdfOption)) {
        if (!sample.ok()) {
            Complain(sample.error);
            return files.size() == 1 ? 1 : 2;
        }
        if (const QString error = qm::viewer::WriteSampleSheetPdf(sample, parser.value(pdfOption));
            !error.isEmpty()) {
            Complain(error);
            return 1;
        }
        return 0;
    }

    qm::viewer::ViewerWindow window(std::move(sample));
    window.show();
    return QApplication::exec();
}
