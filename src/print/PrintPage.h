#pragma once

#include "TwipGeometry.h"

#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <vector>

// One answer as it goes onto paper: the box it comes from, the box's
// rectangle in the card window, the top-left corner of the text on the page
// in twips, and the size it prints at after the fit rule.
struct PrintItem
{
    int box = 0;
    TwipRect boxRect;
    float x = 0;
    float y = 0;
    QString text;
    float fontSize = 0; // points; the card's print font size unless shrunk
    bool fits = true;   // false when it is too wide even at the minimum size
    QString question;   // names the box in messages
    float textWidth = -1; // twips at fontSize; below 0 until measured
    // A tick: its ink is centred in the box at a size that keeps it inside.
    bool centred = false;
};

// An answer that should not print as it is, found before printing: a second
// tick of a pair, a question left unticked, a date that does not exist.
struct AnswerFault
{
    int box = 0;
    QString message;
};

// One printed page of a card: the paper, the print font and the answers,
// with the transform that takes the card window's twips onto the paper.
struct PrintPage
{
    static constexpr float TopLift = 270; // twips every answer is lifted

    std::int32_t paperHeight = 0; // twips, as seen in portrait
    std::int32_t paperWidth = 0;
    bool landscape = false;
    float leftMargin = 0; // twips subtracted before scaling
    float enlarge = 1;
    QString fontName;
    float fontSize = 0; // points
    std::vector<PrintItem> items;
    std::vector<AnswerFault> answerFaults;
    // The card picture in the card window; the blank card it stands for lies
    // on the sheet from the paper's corner at this width and height.
    TwipRect picture;

    // The page as it comes out of the printer, after the orientation.
    float pageWidth() const { return float(landscape ? paperHeight : paperWidth); }
    float pageHeight() const { return float(landscape ? paperWidth : paperHeight); }

    // The paper for a printer or PDF writer: the portrait size in points
    // (20 twips each, never snapped to a standard size) and the orientation.
    QPageSize pageSize() const;
    QPageLayout::Orientation orientation() const;

    // The print transform, in single precision like the card's arithmetic:
    // ((left - margin) * enlarge, (top - 270) * enlarge).
    float mapX(float left) const { return (left - leftMargin) * enlarge; }
    float mapY(float top) const { return (top - TopLift) * enlarge; }
    TwipRect mapRect(const TwipRect &r) const
    {
        return {mapX(r.left), mapY(r.top), r.width * enlarge, r.height * enlarge};
    }

    // Why this page cannot be printed, or empty when it can.
    QString problem() const;
};
