// glyphsee: shows, prints and saves a sample sheet of one TrueType font file.

#include "QuillmarkVersion.h"
#include "platform/CommandLine.h"
#include "viewer/FontSample.h"
#include "viewer/SheetOutput.h"
#include "viewer/SheetView.h"
#include "viewer/ViewerWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

namespace {

void complain(const QString& text) {
    std::fprintf(stderr, "glyphsee: %s\n", qUtf8Printable(text));
}

} // namespace

int main(int argc, char** argv) {
    qm::platform::CommandLine commandLine(
        QStringLiteral("glyphsee"), QString::fromLatin1(qm::kVersion),
        QStringLiteral("Shows, prints and saves a sample sheet of a TrueType font file."));
    const QCommandLineOption pdfOption(
        QStringLiteral("pdf"), QStringLiteral("Write the sample sheet to <file> as PDF and exit."),
        QStringLiteral("file"));
    commandLine.parser().addOption(pdfOption);
    commandLine.parser().addPositionalArgument(QStringLiteral("font"),
                                               QStringLiteral("The font file to show."));
    commandLine.setExitStatuses(
        QStringLiteral("  0  success\n"
                       "  1  the font cannot be read, the PDF cannot be written, or there is no\n"
                       "     display to show the sheet on\n"
                       "  2  a usage error\n"));
    if (const int status = commandLine.answerWithoutDisplay(argc, argv); status >= 0)
        return status;
    const QStringList files = commandLine.positionalArguments();
    if (files.size() > 1)
        return commandLine.usageError(
            QStringLiteral("shows one font file at a time, but was given %1: %2")
                .arg(files.size())
                .arg(files.join(QStringLiteral(", "))));
    const bool pdfOnly = commandLine.isSet(pdfOption);

    // Writing a PDF from a script needs no display; showing the window does.
    if (pdfOnly && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!pdfOnly && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        complain(QStringLiteral("no display found to show the sheet on. Start it from a desktop "
                                "session, or write the sheet with --pdf FILE."));
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("glyphsee"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quillmark-%1.png").arg(size));
    QApplication::setWindowIcon(icon);

    const qm::viewer::FontSample sample = qm::viewer::loadFontSample(files.value(0));
    if (pdfOnly) {
        if (!sample.ok()) {
            complain(sample.error);
            return files.isEmpty() ? 2 : 1;
        }
        if (const QString error =
                qm::viewer::writeSampleSheetPdf(sample, commandLine.value(pdfOption));
            !error.isEmpty()) {
            complain(error);
            return 1;
        }
        return 0;
    }

    QAccessible::installFactory(qm::viewer::sheetAccessibleFactory);
    qm::viewer::ViewerWindow window(sample);
    window.show();
    return QApplication::exec();
}
