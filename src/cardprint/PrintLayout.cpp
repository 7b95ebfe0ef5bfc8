#include "PrintLayout.h"

#include "CardFormModel.h"
#include "PrintFont.h"

#include <QGuiApplication>

#include <algorithm>

using namespace Qt::StringLiterals;

void PrintLayout::fitAnswers(PrintPage &page)
{
    // Fonts can only be measured with a GUI application; without one every
    // answer keeps the print font's size.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    const PrintFont &font = PrintFont::of(page.fontName);
    for (PrintItem &item : page.items) {
        const PrintFit::Result r = PrintFit::fit(font, item.text, page.fontSize, item.boxRect.width);
        item.fontSize = r.size;
        item.fits = r.fits;
        item.textWidth = r.width;
    }
}

PrintPage PrintLayout::page(const Card &card, std::span<const AnswerBoxState> boxes,
                            const TwipRect &picture)
{
    PrintPage p;
    p.paperHeight = card.PaperHt();
    p.paperWidth = card.PaperWdth();
    p.landscape = card.cardOrient() != u"P"_s;
    p.leftMargin = float(card.varLeftPrintMargin());
    p.enlarge = card.varEnlarge();
    p.fontName = card.varFontForPrting();
    p.fontSize = card.varFontSizeForPrting();
    p.picture = picture;
    const int n = int(std::min<std::size_t>(boxes.size(), PrintedBoxes));
    for (int i = 0; i < n; ++i) {
        const AnswerBoxState &b = boxes[std::size_t(i)];
        if (!b.visible)
            continue;
        PrintItem item{i, b.rect, p.mapX(b.rect.left), p.mapY(b.rect.top), b.text, p.fontSize, true, {}, -1};
        if (const Question *q = card.colQuests().Item(QString::number(i)))
            item.question = q->question;
        if (item.question.isEmpty())
            item.question = b.tag.isEmpty() ? u"box %1"_s.arg(i) : b.tag;
        p.items.push_back(std::move(item));
    }
    fitAnswers(p);
    return p;
}

PrintPage PrintLayout::page(const CardFormModel &form)
{
    if (!form.clsCard())
        return {};
    // The boxes at rest: an edited box prints at its normal place and size.
    return page(*form.clsCard(), form.restBoxes(), form.picture());
}
