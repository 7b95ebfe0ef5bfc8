#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>

// The print font measured on paper, free of any device: unhinted outlines
// at a large reference size, scaled linearly to the size that prints. The
// renderer draws with the same unhinted font, so what is measured here is
// what a printer, a PDF file and the preview get.
class PrintFont
{
public:
    explicit PrintFont(const QString &family);
    // The measured font of a family, kept while the family stays the same:
    // finding a font is the slow part of measuring a page.
    static const PrintFont &of(const QString &family);

    // The font the renderer draws with, at a point size for a device whose
    // units are twips.
    static QFont drawingFont(const QString &family, float points, qreal deviceDpiY);

    // Lengths in twips of a text set at the given size in points.
    float advance(const QString &text, float points) const;
    float ascent(float points) const;
    float descent(float points) const;
    // The inked part of the text, relative to the text's top-left corner.
    QRectF inkRect(const QString &text, float points) const;

private:
    static constexpr qreal ReferencePixels = 1000;
    qreal toTwips(float points) const { return qreal(points) * 20 / ReferencePixels; }

    QString m_family;
    QFont m_font;
    QFontMetricsF m_metrics;
};

// The fit rule: an answer wider than its field prints at the largest size
// that fits the field's width, but never below max(60 % of the print font,
// 4 pt), and never above the print font.
namespace PrintFit {

constexpr float MinimumShare = 0.6f;
constexpr float MinimumPoints = 4;

float minimumSize(float printSize);

struct Result
{
    float size = 0;   // points
    bool fits = true; // false when even the minimum size is too wide
    float width = 0;  // twips, at that size
};

Result fit(const PrintFont &font, const QString &text, float printSize, float fieldWidth);

} // namespace PrintFit
