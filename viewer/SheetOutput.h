#pragma once

// The sample sheet on paper and as a PDF file.

#include "viewer/FontSample.h"

#include <QString>

class QPrinter;

namespace qm::viewer {

// Writes the sheet as a one-page PDF at outPath, replacing the file only once the whole
// document is written. Returns an empty text on success, otherwise why it failed.
QString writeSampleSheetPdf(const FontSample& sample, const QString& outPath);

// Prints the sheet on a printer the caller has set up (a print dialog, or a PDF printer).
// Returns an empty text on success, otherwise why it failed.
QString printSampleSheet(const FontSample& sample, QPrinter& printer);

} // namespace qm::viewer
