#pragma once

#include <QRectF>

#include <cstdint>

// Lengths of the card window are twips (1/1440 inch) held in single
// precision, exactly as the card's arithmetic computes them; only the view
// turns them into pixels.
struct TwipRect
{
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;

    float right() const { return left + width; }
    float bottom() const { return top + height; }
    QRectF toRectF() const { return QRectF(left, top, width, height); }
    bool operator==(const TwipRect &) const = default;
};
