#pragma once

#include "PageRenderer.h"
#include "PrintPage.h"
#include "RenderOptions.h"

#include <QString>

// Writes printed pages to a PDF file: the card's paper and orientation, no
// margins, one page per copy.
namespace PdfExport {

constexpr int Resolution = 1440; // one device unit per twip

// The file is replaced only when the whole document has been written. On
// failure error names the file and the fault.
bool exportPdf(const QString &path, const PrintPage &page, int copies,
               const RenderOptions &options, QString *error);

// One page of the card's paper painted by the function, in twips from the
// paper's corner (the calibration sheet).
bool exportSheet(const QString &path, const PrintPage &page, const PageRenderer::SheetPainter &paint,
                 QString *error);

} // namespace PdfExport
