#pragma once

#include "PrintPage.h"
#include "TwipGeometry.h"

#include <span>

class Card;
class CardFormModel;
class PrintFont;
struct PrinterProfile;
struct AnswerBoxState;

// Builds the printed page of a card from its print settings and the answer
// boxes as the card window shows them: the visible boxes 0 to 39 in order,
// each at its box's place under the print transform, at the size the fit
// rule gives it.
class PrintLayout
{
public:
    static constexpr int PrintedBoxes = 40; // boxes 40 and up never print
    static constexpr float TickShare = 0.7f; // of a tick's square its mark may take

    // A printer's calibration of the card, where given, replaces the card's
    // margin and enlargement and moves the layout, picture and boxes alike.
    static PrintPage page(const Card &card, std::span<const AnswerBoxState> boxes,
                          const TwipRect &picture = {}, const PrinterProfile *profile = nullptr);
    // The page of the card loaded in a card window; an empty page when no
    // card is loaded.
    static PrintPage page(const CardFormModel &form, const PrinterProfile *profile = nullptr);

    // Applies the fit rule to every answer of the page, and centres ticks.
    static void fitAnswers(PrintPage &page);

private:
    static void centre(const PrintFont &font, const PrintPage &page, PrintItem &item);
};
