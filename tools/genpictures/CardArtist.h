#pragma once

#include "CardCanvas.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

// A finished card picture with the colours it was painted in and any marks
// that strayed into an answer box.
struct CardPicture
{
    QImage image;
    std::vector<QRgb> colours;
    QStringList problems;
};

// Draws the blank paper card of a built-in layout: title band, instructions,
// a caption and writing line for every text box, a tick square with its label
// for every tick box, and the signature and official-use blocks. Layouts it
// does not know get the plain fields only.
class CardArtist
{
public:
    static CardPicture draw(const CardLayout &layout);

    // A short caption from a row's question: the part after the last ':' or
    // '>', without "(...)" remarks; the field name split into words when that
    // is still long.
    static QString captionFor(const LayoutRow &row);
    // A tick box is narrow; wider boxes take written text.
    static bool isTickBox(const LayoutRow &row) { return row.width <= 120; }

private:
    // The card's colours.
    struct Style
    {
        QColor paper;
        QColor ink;       // text
        QColor line;      // writing lines, frames and tick squares
        QColor band;      // title band
        QColor bandText;
        QColor panel;     // shaded blocks
        QColor tickFill;
    };

    enum class Place { Above, Left, Below };

    CardArtist(const CardLayout &layout, const Style &style);
    CardPicture finish();

    const LayoutRow &row(const QString &fieldName) const;
    int left() const;
    int right() const;
    int bottom() const;

    void drawFields();
    void drawCanada();
    void drawUs();
    void drawCanadaBlue();
    // Both Canadian cards: how and why the traveller arrives, and the YES/NO goods list.
    void drawArrivalAndGoods(const QString &viaUs);

    // The title band across the top and a thin band along the bottom.
    void titleBand(const QString &title, int height);
    void caption(const QString &fieldName, Place place, const QString &text = QString(),
                 int pixelSize = 11);
    // A label centred on a tick box's height, right of it or left of it.
    // Labels that would reach a neighbouring box move up by lift twips, and a
    // label wider than maxWidth (when given) takes a smaller font.
    void tickLabel(const QString &fieldName, Qt::Alignment side, const QString &text,
                   int maxWidth = 0, int lift = 0);
    // A bold heading ending over a tick box's right edge, just above it.
    void groupHeading(const QString &fieldName, const QString &text);
    // The question of a YES/NO row, wrapped between x and the YES box and
    // centred on the boxes, with a dotted leader to them; returns the first
    // line's baseline.
    int question(const QString &yesField, int x, const QString &text, int pixelSize = 11);
    // YES and NO over the first pair of boxes.
    void yesNoHeadings(const QString &yesField, const QString &noField, int baseline);
    void bulletPanel(const QRect &area, const QString &heading, const QStringList &bullets);
    void signatureBlock(int top, const QString &statement);
    void officialUseBox(const QRect &area, const QStringList &cells);

    CardCanvas m_canvas;
    Style m_style;
};
