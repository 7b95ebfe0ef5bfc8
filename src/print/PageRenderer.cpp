#include "PageRenderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

namespace PageRenderer {

namespace {

constexpr qreal TwipsPerInch = 1440;
constexpr qreal OutlineWidth = 10; // twips, half a point

// The print font at its size in twips under the page transform. A point size
// is turned into pixels with the device's dots per inch, and the transform
// then maps those pixels as twips, so the size is given per device.
QFont printFont(const PrintPage &page, const QPaintDevice &device)
{
    QFont font(page.fontName);
    font.setBold(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPointSizeF(qreal(page.fontSize) * TwipsPerInch / device.logicalDpiY());
    return font;
}

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
        painter.drawImage(page.mapRect(options.pictureRect).toRectF(), options.picture);
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

    painter.setFont(printFont(page, *painter.device()));
    painter.setPen(Qt::black);
    // drawText takes the baseline; the text's top is one ascent above it.
    const qreal ascent = QFontMetricsF(painter.font(), painter.device()).ascent();
    for (const PrintItem &item : page.items) {
        if (!item.text.isEmpty())
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
    const QRectF target = pageRect(device, page);
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0 && !device.newPage())
            return false;
        paintPage(painter, page, target, options);
    }
    return true;
}

} // namespace PageRenderer
