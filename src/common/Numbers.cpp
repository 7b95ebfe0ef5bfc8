#include "Numbers.h"

#include <QVarLengthArray>

#include <charconv>
#include <cmath>
#include <limits>

namespace Numbers {

QString formatSingle(float value)
{
    if (value == 0.0f)
        return QStringLiteral("0");
    return QString::number(double(value), 'g', 7);
}

std::optional<double> toDouble(const QString &text)
{
    // std::from_chars ignores the locale and knows no group separators, so
    // "1,050" is refused like any other text that is not one number. It takes
    // no leading '+', which the card's numbers may carry.
    QStringView t = QStringView(text).trimmed();
    if (t.startsWith(u'+')) {
        t = t.sliced(1);
        if (t.startsWith(u'-') || t.startsWith(u'+'))
            return std::nullopt;
    }
    if (t.isEmpty())
        return std::nullopt;
    QVarLengthArray<char, 64> ascii(t.size());
    for (qsizetype i = 0; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c > 0x7F)
            return std::nullopt;
        ascii[i] = char(c);
    }
    double v = 0;
    const char *end = ascii.data() + ascii.size();
    const auto [ptr, ec] = std::from_chars(ascii.data(), end, v);
    if (ec != std::errc() || ptr != end || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<float> toSingle(const QString &text)
{
    const auto v = toDouble(text);
    if (!v || std::fabs(*v) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(*v);
}

double roundHalfEven(double value)
{
    const double r = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return r;
}

template<typename T>
static std::optional<T> toWhole(const QString &text)
{
    const auto v = toDouble(text);
    if (!v)
        return std::nullopt;
    const double r = roundHalfEven(*v);
    if (r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max()))
        return std::nullopt;
    return T(r);
}

std::optional<std::int16_t> toInt16(const QString &text)
{
    return toWhole<std::int16_t>(text);
}

std::optional<std::int32_t> toInt32(const QString &text)
{
    return toWhole<std::int32_t>(text);
}

} // namespace Numbers
