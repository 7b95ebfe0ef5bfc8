#pragma once

#include "PrintPage.h"

#include <QPointF>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class QPainter;

// Guided calibration of a card for one printer. A calibration sheet on the
// card's paper carries two crosses: A 10 mm right of and below the paper's
// top-left corner, B 10 mm left of and above its bottom-right corner. The
// preparer prints it, measures with a ruler where each cross landed (from
// the paper's left and top edges, in millimetres), and the solver finds the
// printer's offset and its one scale, and the card's enlargement, margin and
// layout move that make such a printer print each answer in its field
// (CardCalibration applies them to a card).
namespace Calibration {

constexpr double TwipsPerMm = 1440.0 / 25.4;
constexpr double MarkInset = 10; // mm from the paper's edges
constexpr double MinimumScale = 0.9;
constexpr double MaximumScale = 1.1;

// Where the sheet prints the two marks, in twips from the paper's corner.
struct Marks
{
    QPointF a;
    QPointF b;
};
Marks marks(const PrintPage &page);

// What the ruler read, in millimetres from the paper's left and top edges.
struct Measurement
{
    QPointF a;
    QPointF b;
};

// Reads the four numbers AX, AY, BX, BY ('.' as decimal separator). Refused,
// with the reason in error, when one is not a number.
std::optional<Measurement> parse(const QStringList &numbers, QString *error);

struct Solution
{
    double scale = 1;      // the printer's, for both axes
    QPointF offset;        // the printer's, in millimetres (right, down)
    double worstError = 0; // mm, what the one-scale model leaves at A or B
    std::int16_t margin = 0; // the card's new left print margin (twips)
    float enlarge = 1;       // the card's new enlargement
    float layoutDown = 0;    // twips the whole layout moves down

    // The solved offset, scale and worst remaining error, for the user.
    QString summary() const;
};

// Solves the printer from a measurement of the sheet printed for this page.
// Refused, with the reason in error, when a mark lies off the paper, the
// scale is outside 0.9 to 1.1 or the margin outside the 16-bit range.
std::optional<Solution> solve(const PrintPage &page, const Measurement &m, QString *error);

// Paints the calibration sheet; painter units are twips from the paper's
// corner.
void paintSheet(QPainter &painter, const PrintPage &page);

} // namespace Calibration
