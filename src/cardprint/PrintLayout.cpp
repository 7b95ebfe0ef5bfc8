#include "PrintLayout.h"

#include "CardFormModel.h"
#include "PrintFont.h"
#include "PrinterProfiles.h"

#include <QGuiApplication>

#include <algorithm>

using namespace Qt::StringLiterals;

void PrintLayout::centre(const PrintFont &font, const PrintPage &page, PrintItem &item)
{
    item.fontSize = page.fontSize;
    item.fits = true;
    if (item.text.isEmpty())
        return;
    // The mark's ink takes at most TickShare of the square, whatever the
    // print font's size, and its middle lies on the square's middle.
    const TwipRect square = page.mapRect(item.boxRect);
    const float room = std::min(square.width, square.height) * TickShare;
    QRectF ink = font.inkRect(item.text, item.fontSize);
    const float largest = float(std::max(ink.width(), ink.height()));
    if (largest > room && largest > 0 && room > 0) {
        item.fontSize = page.fontSize * room / largest;
        ink = font.inkRect(item.text, item.fontSize);
    }
    item.textWidth = font.advance(item.text, item.fontSize);
    item.x = square.left + square.width / 2 - float(ink.left() + ink.width() / 2);
    item.y = square.top + square.height / 2 - float(ink.top() + ink.height() / 2);
}

void PrintLayout::fitAnswers(PrintPage &page)
{
    // Fonts can only be measured with a GUI application; without one every
    // answer keeps the print font's size.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    const PrintFont &font = PrintFont::of(page.fontName);
    for (PrintItem &item : page.items) {
        if (item.centred) {
            centre(font, page, item);
            continue;
        }
        const PrintFit::Result r = PrintFit::fit(font, item.text, page.fontSize, item.boxRect.width);
        item.fontSize = r.size;
        item.fits = r.fits;
        item.textWidth = r.width;
    }
}

PrintPage PrintLayout::page(const Card &card, std::span<const AnswerBoxState> boxes,
                            const TwipRect &picture, const PrinterProfile *profile)
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
    const float down = profile ? profile->layoutDown : 0.0f;
    if (profile) {
        p.leftMargin = float(profile->margin);
        p.enlarge = profile->enlarge;
        p.picture.top += down;
    }
    const int n = int(std::min<std::size_t>(boxes.size(), PrintedBoxes));
    const auto question = [&](int i) {
        QString text;
        if (const Question *q = card.colQuests().Item(QString::number(i)))
            text = q->question;
        if (text.isEmpty()) {
            const QString &tag = boxes[std::size_t(i)].tag;
            text = tag.isEmpty() ? u"box %1"_s.arg(i) : tag;
        }
        return text;
    };
    const CardFields &fields = card.fields();
    for (int i = 0; i < n; ++i) {
        const AnswerBoxState &b = boxes[std::size_t(i)];
        if (!b.visible)
            continue;
        TwipRect rect = b.rect;
        rect.top += down;
        PrintItem item{i, rect, p.mapX(rect.left), p.mapY(rect.top), fields.printedText(i, b.text),
                       p.fontSize, true, question(i), -1};
        item.centred = fields.isTick(i);
        p.items.push_back(std::move(item));
    }
    // What is wrong with the answers themselves, among the boxes that print.
    const CardFields::Answers answers{[&](int i) { return boxes[std::size_t(i)].text; }, question,
                                      [&](int i) { return i < n && boxes[std::size_t(i)].visible; }};
    for (const CardFields::Fault &f : fields.faults(answers))
        p.answerFaults.push_back({f.box, f.message});
    // In reading order down the card, as the user goes through it.
    std::stable_sort(p.answerFaults.begin(), p.answerFaults.end(), [&](const AnswerFault &a, const AnswerFault &b) {
        const TwipRect &ra = boxes[std::size_t(a.box)].rect;
        const TwipRect &rb = boxes[std::size_t(b.box)].rect;
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    fitAnswers(p);
    return p;
}

PrintPage PrintLayout::page(const CardFormModel &form, const PrinterProfile *profile)
{
    if (!form.clsCard())
        return {};
    // The boxes at rest: an edited box prints at its normal place and size.
    return page(*form.clsCard(), form.restBoxes(), form.picture(), profile);
}
