#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Number text of the card string: '.' as the decimal separator whatever the
// locale, single precision written in its general form with up to seven
// significant digits (651.8269, 0.0927835, 450, -20).
namespace Numbers {

QString formatSingle(float value);

// Reads a decimal number; surrounding blanks are allowed, anything else fails.
std::optional<float> toSingle(const QString &text);
std::optional<double> toDouble(const QString &text);

// Reads a number and rounds it to a whole number, an exact half to the even
// one; fails when the text is no number or the result is out of range.
std::optional<std::int16_t> toInt16(const QString &text);
std::optional<std::int32_t> toInt32(const QString &text);

// Rounds to the nearest whole number, an exact half to the even one.
double roundHalfEven(double value);

// The window places pictures and boxes with 16-bit twips, so every position
// and size it keeps must lie in this range (NaN never does).
constexpr double MinTwip = -32768;
constexpr double MaxTwip = 32767;
constexpr bool isTwip(double value)
{
    return value >= MinTwip && value <= MaxTwip;
}

} // namespace Numbers
