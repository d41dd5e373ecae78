#include "viewer/SheetOutput.h"

#include "viewer/SampleSheet.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace qm::viewer {

namespace {

QString cannotShow(const FontSample& sample) {
    return sample.ok() ? QString() : sample.error;
}

} // namespace

QString writeSampleSheetPdf(const FontSample& sample, const QString& outPath) {
    if (QString error = cannotShow(sample); !error.isEmpty())
        return error;
    if (outPath.isEmpty())
        return QStringLiteral("No PDF file name given.");

    // The document is built in memory first, so a failed write never leaves half a PDF behind.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("glyphsee"));
        writer.setTitle(sample.fullName);
        QPainter painter;
        if (!painter.begin(&writer))
            return QStringLiteral("The PDF document could not be started.");
        paintSampleSheet(painter, QRectF(0, 0, writer.width(), writer.height()), sample);
        painter.end();
    }
    pdf.close();

    QSaveFile file(outPath);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot write %1: %2").arg(outPath, file.errorString());
    if (file.write(pdf.data()) != pdf.data().size() || !file.commit())
        return QStringLiteral("Cannot write %1: %2").arg(outPath, file.errorString());
    return {};
}

QString printSampleSheet(const FontSample& sample, QPrinter& printer) {
    if (QString error = cannotShow(sample); !error.isEmpty())
        return error;
    printer.setDocName(QFileInfo(sample.path).fileName());
    printer.setCreator(QStringLiteral("glyphsee"));
    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("The printer could not be started.");
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    paintSampleSheet(painter, QRectF(QPointF(0, 0), page.size()), sample);
    if (!painter.end())
        return QStringLiteral("The printer did not accept the page.");
    return {};
}

} // namespace qm::viewer
