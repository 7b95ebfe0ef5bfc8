#include "CardCanvas.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

int ceilDiv(int value, int divisor)
{
    return (value + divisor - 1) / divisor;
}

} // namespace

CardCanvas::CardCanvas(const CardLayout &layout, const QColor &paper)
    : m_layout(layout)
    , m_image(pixelSize(layout), QImage::Format_RGB32)
{
    m_image.fill(paper);
    useColour(paper);
    m_painter.begin(&m_image);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    for (const LayoutRow &row : layout.rows) {
        if (onPicture(row))
            m_boxPixels.push_back(pixelRect(boxRect(row)).adjusted(-1, -1, 1, 1));
    }
}

QRect CardCanvas::pictureRect() const
{
    return QRect(m_layout.pictureLeft, m_layout.pictureTop, m_layout.pictureWidth,
                 m_layout.pictureHeight);
}

QSize CardCanvas::pixelSize(const CardLayout &layout)
{
    return QSize(ceilDiv(layout.pictureWidth, TwipsPerPixel),
                 ceilDiv(layout.pictureHeight, TwipsPerPixel));
}

bool CardCanvas::onPicture(const LayoutRow &row) const
{
    return pictureRect().contains(boxRect(row));
}

QRect CardCanvas::boxRect(const LayoutRow &row)
{
    return QRect(row.left, row.top, row.width, row.height);
}

double CardCanvas::toPixelX(double twipsX) const
{
    return (twipsX - m_layout.pictureLeft) / TwipsPerPixel;
}

double CardCanvas::toPixelY(double twipsY) const
{
    return (twipsY - m_layout.pictureTop) / TwipsPerPixel;
}

QRect CardCanvas::pixelRect(const QRect &twips) const
{
    // Round each edge on its own so neighbouring rectangles share edges.
    const int left = int(std::lround(toPixelX(twips.x())));
    const int top = int(std::lround(toPixelY(twips.y())));
    const int right = int(std::lround(toPixelX(twips.x() + twips.width())));
    const int bottom = int(std::lround(toPixelY(twips.y() + twips.height())));
    return QRect(left, top, right - left, bottom - top);
}

void CardCanvas::useColour(const QColor &colour)
{
    const QRgb rgb = colour.rgb();
    if (std::find(m_colours.begin(), m_colours.end(), rgb) == m_colours.end())
        m_colours.push_back(rgb);
}

void CardCanvas::fillPixels(const QRect &pixels, const QColor &colour)
{
    useColour(colour);
    m_painter.fillRect(pixels, colour);
}

void CardCanvas::checkClear(const QRectF &pixels, const QString &what)
{
    for (const QRect &box : m_boxPixels) {
        if (pixels.intersects(QRectF(box))) {
            m_problems << u"%1 touches the answer box at pixel (%2, %3)"_s.arg(what)
                              .arg(box.x() + 1)
                              .arg(box.y() + 1);
            return;
        }
    }
}

void CardCanvas::fillRect(const QRect &twips, const QColor &colour)
{
    fillPixels(pixelRect(twips), colour);
}

void CardCanvas::frameRect(const QRect &twips, const QColor &colour, int widthPx)
{
    const QRect r = pixelRect(twips);
    checkClear(QRectF(r), u"A frame"_s);
    fillPixels(QRect(r.left(), r.top(), r.width(), widthPx), colour);
    fillPixels(QRect(r.left(), r.bottom() + 1 - widthPx, r.width(), widthPx), colour);
    fillPixels(QRect(r.left(), r.top(), widthPx, r.height()), colour);
    fillPixels(QRect(r.right() + 1 - widthPx, r.top(), widthPx, r.height()), colour);
}

void CardCanvas::horizontalLine(int left, int right, int y, const QColor &colour, int widthPx)
{
    const int x0 = int(std::lround(toPixelX(left)));
    const int x1 = int(std::lround(toPixelX(right)));
    const int y0 = int(std::lround(toPixelY(y))) - widthPx / 2;
    const QRect pixels(x0, y0, x1 - x0, widthPx);
    checkClear(QRectF(pixels), u"A rule"_s);
    fillPixels(pixels, colour);
}

void CardCanvas::dottedLine(int left, int right, int y, const QColor &colour)
{
    const int x0 = int(std::lround(toPixelX(left)));
    const int x1 = int(std::lround(toPixelX(right)));
    const int y0 = int(std::lround(toPixelY(y)));
    checkClear(QRectF(x0, y0, x1 - x0, 1), u"A leader"_s);
    // One dot every third pixel, counted from the picture's left edge so the
    // pattern does not depend on where the leader starts.
    for (int x = x0 + (3 - x0 % 3) % 3; x < x1; x += 3)
        fillPixels(QRect(x, y0, 1, 1), colour);
}

void CardCanvas::writingLine(const LayoutRow &row, const QColor &colour)
{
    const QRect box = pixelRect(boxRect(row));
    fillPixels(QRect(box.left(), box.top() + box.height() - 1, box.width(), 2), colour);
}

void CardCanvas::tickSquare(const LayoutRow &row, const QColor &ink, const QColor &fill)
{
    const QRect box = pixelRect(boxRect(row));
    const int x0 = box.left();
    const int y0 = box.top();
    const int x1 = box.left() + box.width();
    const int y1 = box.top() + box.height();
    fillPixels(QRect(x0, y0, x1 - x0, y1 - y0), fill);
    fillPixels(QRect(x0 - 1, y0 - 1, x1 - x0 + 2, 2), ink);
    fillPixels(QRect(x0 - 1, y1 - 1, x1 - x0 + 2, 2), ink);
    fillPixels(QRect(x0 - 1, y0 - 1, 2, y1 - y0 + 2), ink);
    fillPixels(QRect(x1 - 1, y0 - 1, 2, y1 - y0 + 2), ink);
}

QFont CardCanvas::font(int pixelSize, bool bold)
{
    QFont f(u"DejaVu Sans"_s);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QFont CardCanvas::fittingFont(const QString &text, int maxWidth, int pixelSize, bool bold) const
{
    QFont f = font(pixelSize, bold);
    while (pixelSize > 7 && textWidth(text, f) > maxWidth)
        f = font(--pixelSize, bold);
    return f;
}

int CardCanvas::textWidth(const QString &text, const QFont &font) const
{
    return int(std::ceil(QFontMetricsF(font).horizontalAdvance(text) * TwipsPerPixel));
}

int CardCanvas::lineSpacing(const QFont &font) const
{
    return int(std::lround(QFontMetricsF(font).lineSpacing() * TwipsPerPixel));
}

int CardCanvas::halfCapHeight(const QFont &font) const
{
    return int(std::lround(QFontMetricsF(font).capHeight() * TwipsPerPixel / 2));
}

void CardCanvas::drawText(const QString &text, int x, int baseline, const QFont &font,
                          const QColor &colour, Qt::Alignment align)
{
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(text);
    double left = toPixelX(x);
    if (align & Qt::AlignRight)
        left -= width;
    else if (align & Qt::AlignHCenter)
        left -= width / 2;
    // Whole pixels keep the hinted glyphs crisp and the output stable.
    const QPointF origin(std::round(left), std::round(toPixelY(baseline)));
    checkClear(metrics.tightBoundingRect(text).translated(origin),
               u"The text \"%1\""_s.arg(text));
    useColour(colour);
    m_painter.setFont(font);
    m_painter.setPen(colour);
    m_painter.drawText(origin, text);
}

QStringList CardCanvas::wrap(const QString &text, const QFont &font, int width) const
{
    QStringList lines;
    QString line;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString candidate = line.isEmpty() ? word : line + u' ' + word;
        if (!line.isEmpty() && textWidth(candidate, font) > width) {
            lines << line;
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

void CardCanvas::drawLines(const QStringList &lines, int x, int firstBaseline,
                           const QFont &font, const QColor &colour, Qt::Alignment align)
{
    const int spacing = lineSpacing(font);
    int baseline = firstBaseline;
    for (const QString &line : lines) {
        drawText(line, x, baseline, font, colour, align);
        baseline += spacing;
    }
}

QImage CardCanvas::finish()
{
    if (m_painter.isActive())
        m_painter.end();
    return m_image;
}
