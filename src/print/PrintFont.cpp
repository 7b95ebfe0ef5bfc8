#include "PrintFont.h"

#include <QCoreApplication>

#include <algorithm>
#include <memory>

namespace {

QFont referenceFont(const QString &family)
{
    QFont font(family);
    font.setBold(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPixelSize(1000);
    return font;
}

} // namespace

PrintFont::PrintFont(const QString &family)
    : m_family(family), m_font(referenceFont(family)), m_metrics(m_font)
{
}

const PrintFont &PrintFont::of(const QString &family)
{
    // Only the user-interface thread measures pages. The font goes with the
    // application object, before the font database it needs is shut down.
    static std::unique_ptr<PrintFont> last;
    if (!last) {
        last = std::make_unique<PrintFont>(family);
        qAddPostRoutine([] { last.reset(); });
    } else if (last->m_family != family) {
        last = std::make_unique<PrintFont>(family);
    }
    return *last;
}

QFont PrintFont::drawingFont(const QString &family, float points, qreal deviceDpiY)
{
    // A point size becomes pixels through the device's dots per inch, and
    // the page transform then takes those pixels as twips.
    QFont font(family);
    font.setBold(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPointSizeF(qreal(points) * 1440 / deviceDpiY);
    return font;
}

float PrintFont::advance(const QString &text, float points) const
{
    return float(m_metrics.horizontalAdvance(text) * toTwips(points));
}

float PrintFont::ascent(float points) const
{
    return float(m_metrics.ascent() * toTwips(points));
}

float PrintFont::descent(float points) const
{
    return float(m_metrics.descent() * toTwips(points));
}

QRectF PrintFont::inkRect(const QString &text, float points) const
{
    if (text.trimmed().isEmpty())
        return {};
    const qreal k = toTwips(points);
    const QRectF r = m_metrics.tightBoundingRect(text); // from the baseline
    return QRectF(r.left() * k, (r.top() + m_metrics.ascent()) * k, r.width() * k, r.height() * k);
}

namespace PrintFit {

float minimumSize(float printSize)
{
    return std::min(printSize, std::max(printSize * MinimumShare, MinimumPoints));
}

Result fit(const PrintFont &font, const QString &text, float printSize, float fieldWidth)
{
    const float width = font.advance(text, printSize);
    if (width <= fieldWidth || !(width > 0))
        return {printSize, true, width};
    // Unhinted advances grow in proportion to the size.
    const float minimum = minimumSize(printSize);
    const float size = printSize * std::max(fieldWidth, 0.0f) / width;
    if (size < minimum)
        return {minimum, false, width * minimum / printSize};
    return {size, true, width * size / printSize};
}

} // namespace PrintFit
