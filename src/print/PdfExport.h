#pragma once

#include "PageRenderer.h"
#include "PrintPage.h"
#include "RenderOptions.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <span>

class QPagedPaintDevice;

// Writes printed pages to a PDF file: the card's paper as every page's
// MediaBox and orientation, no margins, one page per copy, and a request to
// viewers to print it at its own size (/PrintScaling /None).
namespace PdfExport {

constexpr int Resolution = 1440; // one device unit per twip

// Paints the pages on a painter already active on the device; false when
// the device refuses a new page.
using Painting = std::function<bool(QPainter &painter, QPagedPaintDevice &device)>;
bool write(const QString &path, const PrintPage &page, const Painting &paint, QString *error);

// Adds /ViewerPreferences << /PrintScaling /None >> to a PDF document as an
// incremental update, which keeps every byte before it. The document
// unchanged when it is not one this can read (no trailer with a /Root).
QByteArray withoutPrintScaling(const QByteArray &pdf);

// The file is replaced only when the whole document has been written. On
// failure error names the file and the fault.
bool exportPdf(const QString &path, const PrintPage &page, int copies,
               const RenderOptions &options, QString *error);

// Pages of one card's paper, each copies times, in order, in one file.
bool exportPages(const QString &path, std::span<const PrintPage> pages, int copies,
                 const RenderOptions &options, QString *error);

// One page of the card's paper painted by the function, in twips from the
// paper's corner (the calibration sheet).
bool exportSheet(const QString &path, const PrintPage &page, const PageRenderer::SheetPainter &paint,
                 QString *error);

} // namespace PdfExport
