#include "PageRenderer.h"

#include "PrintFont.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

namespace PageRenderer {

namespace {

constexpr qreal TwipsPerInch = 1440;
constexpr qreal OutlineWidth = 10; // twips, half a point


} // namespace

void paintPage(QPainter &painter, const PrintPage &page, const QRectF &target,
               const RenderOptions &options)
{
    const qreal width = page.pageWidth();
    const qreal height = page.pageHeight();
    if (!(width > 0) || !(height > 0) || !painter.isActive())
        return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / width, target.height() / height);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    if (options.drawPicture && !options.picture.isNull()) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setOpacity(options.pictureOpacity);
        painter.drawImage(QRectF(0, 0, page.picture.width, page.picture.height), options.picture);
        painter.restore();
    }

    if (options.drawOutlines) {
        painter.save();
        painter.setPen(QPen(Qt::black, OutlineWidth));
        painter.setBrush(Qt::NoBrush);
        for (const PrintItem &item : page.items)
            painter.drawRect(page.mapRect(item.boxRect).toRectF());
        painter.restore();
    }

    painter.setPen(Qt::black);
    const qreal dpi = painter.device()->logicalDpiY();
    float current = -1;
    qreal ascent = 0;
    for (const PrintItem &item : page.items) {
        if (item.text.isEmpty())
            continue;
        const float size = item.fontSize > 0 ? item.fontSize : page.fontSize;
        if (size != current) {
            painter.setFont(PrintFont::drawingFont(page.fontName, size, dpi));
            // drawText takes the baseline; the text's top is one ascent above it.
            ascent = QFontMetricsF(painter.font(), painter.device()).ascent();
            current = size;
        }
        painter.drawText(QPointF(item.x, item.y + ascent), item.text);
    }
    painter.restore();
}

QRectF pageRect(const QPaintDevice &device, const PrintPage &page)
{
    return QRectF(0, 0, page.pageWidth() * device.logicalDpiX() / TwipsPerInch,
                  page.pageHeight() * device.logicalDpiY() / TwipsPerInch);
}

bool paintCopies(QPainter &painter, QPagedPaintDevice &device, const PrintPage &page, int copies,
                 const RenderOptions &options)
{
    return paintPages(painter, device, std::span(&page, 1), copies, options);
}

bool paintPages(QPainter &painter, QPagedPaintDevice &device, std::span<const PrintPage> pages, int copies,
                const RenderOptions &options)
{
    bool first = true;
    for (const PrintPage &page : pages) {
        const QRectF target = pageRect(device, page);
        for (int copy = 0; copy < copies; ++copy) {
            if (!first && !device.newPage())
                return false;
            first = false;
            paintPage(painter, page, target, options);
        }
    }
    return true;
}

bool paintSheet(QPainter &painter, QPagedPaintDevice &device, const PrintPage &page,
                const SheetPainter &paint)
{
    const QRectF target = pageRect(device, page);
    if (target.isEmpty())
        return false;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / page.pageWidth(), target.height() / page.pageHeight());
    paint(painter);
    painter.restore();
    return true;
}

} // namespace PageRenderer
