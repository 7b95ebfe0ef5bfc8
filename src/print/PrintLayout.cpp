#include "PrintLayout.h"

#include "CardFormModel.h"

#include <algorithm>

using namespace Qt::StringLiterals;

PrintPage PrintLayout::page(const Card &card, std::span<const AnswerBoxState> boxes)
{
    PrintPage p;
    p.paperHeight = card.PaperHt();
    p.paperWidth = card.PaperWdth();
    p.landscape = card.cardOrient() != u"P"_s;
    p.leftMargin = float(card.varLeftPrintMargin());
    p.enlarge = card.varEnlarge();
    p.fontName = card.varFontForPrting();
    p.fontSize = card.varFontSizeForPrting();
    const int n = int(std::min<std::size_t>(boxes.size(), PrintedBoxes));
    for (int i = 0; i < n; ++i) {
        const AnswerBoxState &b = boxes[std::size_t(i)];
        if (!b.visible)
            continue;
        p.items.push_back({i, b.rect, p.mapX(b.rect.left), p.mapY(b.rect.top), b.text});
    }
    return p;
}

PrintPage PrintLayout::page(const CardFormModel &form)
{
    if (!form.clsCard())
        return {};
    const auto boxes = form.boxes();
    return page(*form.clsCard(), boxes);
}
