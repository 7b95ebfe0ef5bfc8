#include "SheetModel.h"

#include "PrintFont.h"

#include <QGuiApplication>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Ink that meets over less than a quarter of a point (an accent's tip on the
// foot of a letter in the row above) is within what a printer's dots spread
// anyway; more than that is ink over ink.
constexpr float Touch = 5; // twips

bool overlaps(const TwipRect &a, const TwipRect &b)
{
    return a.left + Touch < b.right() && b.left + Touch < a.right() && a.top + Touch < b.bottom()
        && b.top + Touch < a.bottom();
}

TwipRect intersection(const TwipRect &a, const TwipRect &b)
{
    const float l = std::max(a.left, b.left);
    const float t = std::max(a.top, b.top);
    const float r = std::min(a.right(), b.right());
    const float bo = std::min(a.bottom(), b.bottom());
    return {l, t, std::max(r - l, 0.0f), std::max(bo - t, 0.0f)};
}

QString quoted(const QString &question)
{
    return u"\u201C"_s + question.simplified() + u"\u201D"_s;
}

QString pointText(float points)
{
    return QString::number(double(points), 'g', 3);
}

} // namespace

SheetModel SheetModel::build(const PrintPage &page, const QMarginsF *unprintableMargins)
{
    SheetModel s;
    s.pageWidth = page.pageWidth();
    s.pageHeight = page.pageHeight();
    s.card = {0, 0, page.picture.width, page.picture.height};
    if (unprintableMargins && !unprintableMargins->isNull()) {
        s.hasUnprintable = true;
        s.unprintable = *unprintableMargins;
    }

    const bool measurable = qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
    const PrintFont &font = PrintFont::of(measurable ? page.fontName : QString());
    for (const PrintItem &item : page.items) {
        SheetBox b;
        b.box = item.box;
        b.question = item.question;
        b.text = item.text;
        b.fontSize = item.fontSize > 0 ? item.fontSize : page.fontSize;
        b.field = {item.boxRect.left - page.picture.left, item.boxRect.top - page.picture.top,
                   item.boxRect.width, item.boxRect.height};
        if (measurable) {
            const float width = item.text.isEmpty() ? 0
                : item.textWidth >= 0 && item.fontSize == b.fontSize ? item.textWidth
                                                                     : font.advance(item.text, b.fontSize);
            b.textBox = {item.x, item.y, width, font.ascent(b.fontSize) + font.descent(b.fontSize)};
            const QRectF ink = font.inkRect(item.text, b.fontSize);
            if (!ink.isEmpty())
                b.ink = {item.x + float(ink.left()), item.y + float(ink.top()), float(ink.width()),
                         float(ink.height())};
        } else {
            b.textBox = {item.x, item.y, 0, 0};
        }
        b.difference = {b.textBox.left - b.field.left, b.textBox.top - b.field.top,
                        b.textBox.right() - b.field.right(), b.textBox.bottom() - b.field.bottom()};
        s.boxes.push_back(b);

        if (b.ink.width <= 0)
            continue;
        const QString name = quoted(b.question);
        if (!item.fits)
            s.misfits.push_back({Misfit::Kind::TooLong, b.box, -1, b.textBox,
                                 u"%1: the answer is too long for its field even at %2 pt"_s.arg(
                                     name, pointText(b.fontSize))});
        const TwipRect &ink = b.ink;
        if (ink.left < 0 || ink.top < 0 || ink.right() > s.pageWidth || ink.bottom() > s.pageHeight) {
            s.misfits.push_back({Misfit::Kind::PastPaperEdge, b.box, -1, ink,
                                 u"%1: the answer runs past the edge of the paper"_s.arg(name)});
        } else if (s.hasUnprintable) {
            const TwipRect printable{float(s.unprintable.left()), float(s.unprintable.top()),
                                     s.pageWidth - float(s.unprintable.left() + s.unprintable.right()),
                                     s.pageHeight - float(s.unprintable.top() + s.unprintable.bottom())};
            if (ink.left < printable.left || ink.top < printable.top || ink.right() > printable.right()
                || ink.bottom() > printable.bottom())
                s.misfits.push_back({Misfit::Kind::IntoUnprintableMargin, b.box, -1, ink,
                                     u"%1: the answer runs into the printer's unprintable margin"_s.arg(name)});
        }
    }

    for (std::size_t i = 0; i < s.boxes.size(); ++i) {
        for (std::size_t j = i + 1; j < s.boxes.size(); ++j) {
            const SheetBox &a = s.boxes[i];
            const SheetBox &b = s.boxes[j];
            if (a.ink.width <= 0 || b.ink.width <= 0 || !overlaps(a.ink, b.ink))
                continue;
            s.misfits.push_back({Misfit::Kind::Overlap, a.box, b.box, intersection(a.ink, b.ink),
                                 u"%1 and %2: the answers print over each other"_s.arg(
                                     quoted(a.question), quoted(b.question))});
        }
    }

    for (const AnswerFault &f : page.answerFaults) {
        const SheetBox *b = s.findBox(f.box);
        s.misfits.push_back({Misfit::Kind::InvalidAnswer, f.box, -1, b ? b->field : TwipRect{}, f.message});
    }
    return s;
}

std::size_t SheetModel::fitCount() const
{
    return std::size_t(std::count_if(misfits.begin(), misfits.end(),
                                     [](const Misfit &m) { return m.kind != Misfit::Kind::InvalidAnswer; }));
}

const SheetBox *SheetModel::findBox(int box) const
{
    for (const SheetBox &b : boxes) {
        if (b.box == box)
            return &b;
    }
    return nullptr;
}

QString SheetModel::named(const QStringList &lines, int most)
{
    QString text;
    for (qsizetype i = 0; i < lines.size() && i < most; ++i)
        text += u"\n"_s + lines[i];
    if (lines.size() > most)
        text += u"\n... and %1 more; Print Preview lists them all."_s.arg(lines.size() - most);
    return text;
}

QStringList SheetModel::misfitLines() const
{
    QStringList lines;
    for (const Misfit &m : misfits)
        lines.append(m.message);
    return lines;
}
