#include "PrintPage.h"

#include "Numbers.h"

#include <cmath>

using namespace Qt::StringLiterals;

QPageSize PrintPage::pageSize() const
{
    return QPageSize(QSizeF(paperWidth / 20.0, paperHeight / 20.0), QPageSize::Point, QString(),
                     QPageSize::ExactMatch);
}

QPageLayout::Orientation PrintPage::orientation() const
{
    return landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QString PrintPage::problem() const
{
    if (paperHeight <= 0 || paperWidth <= 0)
        return u"the card's paper size (%1 by %2 twips) is not a size of paper"_s.arg(paperWidth).arg(
            paperHeight);
    if (!std::isfinite(fontSize) || fontSize <= 0)
        return u"the card's print font size (%1 points) is not a size of type"_s.arg(
            Numbers::formatSingle(fontSize));
    if (!std::isfinite(enlarge))
        return u"the card's enlargement factor is not a number"_s;
    return {};
}
