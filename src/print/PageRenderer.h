#pragma once

#include "PrintPage.h"
#include "RenderOptions.h"

#include <QRectF>

#include <functional>
#include <span>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

// Paints a printed page onto any painter: printer, PDF writer, preview or
// image. Inside, painter units are twips from the page's top-left corner, so
// every output gets the same page.
namespace PageRenderer {

// Paints the page into target, a rectangle in the painter's current
// coordinates that stands for the whole page. Each text has its top-left
// corner at its position and its size in points on the page.
void paintPage(QPainter &painter, const PrintPage &page, const QRectF &target,
               const RenderOptions &options = {});

// The page at the device's own resolution, from the device's origin.
QRectF pageRect(const QPaintDevice &device, const PrintPage &page);

// One page per copy on a paged device that the painter is already active
// on, with a new page between copies and none after the last. False when the
// device refuses a new page.
bool paintCopies(QPainter &painter, QPagedPaintDevice &device, const PrintPage &page, int copies,
                 const RenderOptions &options = {});
// Pages of one card's paper, each as many times as copies, in order.
bool paintPages(QPainter &painter, QPagedPaintDevice &device, std::span<const PrintPage> pages, int copies,
                const RenderOptions &options = {});

// Paints something else on the card's page, such as the calibration sheet:
// the function gets the painter in twips from the paper's corner.
using SheetPainter = std::function<void(QPainter &painter)>;
bool paintSheet(QPainter &painter, QPagedPaintDevice &device, const PrintPage &page,
                const SheetPainter &paint);

} // namespace PageRenderer
