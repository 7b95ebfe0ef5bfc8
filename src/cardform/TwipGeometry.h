#pragma once

#include <QColor>
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

// Colours of the card string are 24-bit numbers with blue in the high byte
// and red in the low byte (&H00BBGGRR).
inline QColor colorFromCardValue(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

inline std::uint32_t cardValueFromColor(const QColor &c)
{
    return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}
