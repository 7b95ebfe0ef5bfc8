#pragma once

#include "CardLayouts.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QStringList>

#include <vector>

// A picture of one card being painted. Every coordinate is in twips of the
// card window, the same system the layout rows use, so a mark lands exactly
// where its answer box will lie; the canvas maps twips onto pixels at six
// twips per pixel. It remembers every colour it paints with and reports any
// text or frame that strays into an answer box.
class CardCanvas
{
public:
    static constexpr int TwipsPerPixel = 6;

    CardCanvas(const CardLayout &layout, const QColor &paper);
    CardCanvas(const CardCanvas &) = delete;
    CardCanvas &operator=(const CardCanvas &) = delete;

    const CardLayout &layout() const { return m_layout; }
    // The picture's rectangle in card-window twips.
    QRect pictureRect() const;
    // The picture size in pixels, rounded up.
    static QSize pixelSize(const CardLayout &layout);
    // True when a row's box lies wholly on the picture.
    bool onPicture(const LayoutRow &row) const;
    // A row's box in twips; the box's pixel rectangle on the picture.
    static QRect boxRect(const LayoutRow &row);
    QRect pixelRect(const QRect &twips) const;

    void fillRect(const QRect &twips, const QColor &colour);
    // A frame whose stroke of widthPx pixels lies just inside the rectangle.
    void frameRect(const QRect &twips, const QColor &colour, int widthPx = 1);
    // A horizontal rule of widthPx pixels centred on y.
    void horizontalLine(int left, int right, int y, const QColor &colour, int widthPx = 1);
    // A dotted rule on y, for leaders from a question to its boxes.
    void dottedLine(int left, int right, int y, const QColor &colour);
    // A two-pixel writing line centred on the bottom edge of a text box.
    void writingLine(const LayoutRow &row, const QColor &colour);
    // A tick square: a two-pixel stroke centred on the box's edges, filled inside.
    void tickSquare(const LayoutRow &row, const QColor &ink, const QColor &fill);

    // DejaVu Sans at a pixel size, grey-scale antialiased.
    static QFont font(int pixelSize, bool bold = false);
    // The largest font not above pixelSize (down to 7 pixels) that fits the width.
    QFont fittingFont(const QString &text, int maxWidth, int pixelSize, bool bold = false) const;
    int textWidth(const QString &text, const QFont &font) const;
    int lineSpacing(const QFont &font) const;
    // Half the cap height in twips, to centre a line of text on a point.
    int halfCapHeight(const QFont &font) const;
    // One line of text on a baseline; x is its left, centre or right end.
    void drawText(const QString &text, int x, int baseline, const QFont &font,
                  const QColor &colour, Qt::Alignment align = Qt::AlignLeft);
    // Breaks text into lines no wider than width.
    QStringList wrap(const QString &text, const QFont &font, int width) const;
    // Lines of text, the first on firstBaseline.
    void drawLines(const QStringList &lines, int x, int firstBaseline, const QFont &font,
                   const QColor &colour, Qt::Alignment align = Qt::AlignLeft);

    // Ends painting and hands over the picture.
    QImage finish();
    std::vector<QRgb> colours() const { return m_colours; }
    QStringList problems() const { return m_problems; }

private:
    double toPixelX(double twipsX) const;
    double toPixelY(double twipsY) const;
    void useColour(const QColor &colour);
    void fillPixels(const QRect &pixels, const QColor &colour);
    void checkClear(const QRectF &pixels, const QString &what);

    const CardLayout &m_layout;
    QImage m_image;
    QPainter m_painter;
    std::vector<QRgb> m_colours;
    std::vector<QRect> m_boxPixels;
    QStringList m_problems;
};
