#include "Numbers.h"

#include <QLocale>

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
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
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
