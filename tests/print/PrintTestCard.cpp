#include "PrintTestCard.h"

#include "Card.h"
#include "CardLayouts.h"
#include "TestCards.h"

using namespace Qt::StringLiterals;

QString PrintTestCard::text() const
{
    using TestCards::withLine;
    QString t = TestCards::installedText(CardLayouts::canada());
    t = withLine(t, Card::LineFontSize, u"FontSize:"_s + fontSize);
    t = withLine(t, Card::LineFontName, u"FontName:"_s + fontName);
    t = withLine(t, Card::LineOrientation, u"Orientation,"_s + orientation);
    t = withLine(t, Card::LinePaperHeight, u"PaperHt:"_s + QString::number(paperHeight));
    t = withLine(t, Card::LinePaperWidth, u"PaperWdth:"_s + QString::number(paperWidth));
    t = withLine(t, Card::LineLeftMargin, u"LeftPrintMargin:"_s + QString::number(margin));
    t = withLine(t, Card::LineEnlarge, u"EnlargeFactor:"_s + enlarge);
    for (const Box &b : boxes) {
        const QString n = QString::number(b.box);
        t = withLine(t, Card::FirstCurrentControl + b.box,
                     u"%1,Test%1,105,%2,%3,1200,16777215,Small Fonts,3,%4,%1"_s.arg(n)
                         .arg(b.left)
                         .arg(b.top)
                         .arg(b.visible ? u"True"_s : u"False"_s));
        t = withLine(t, Card::FirstAnswer + b.box, u"%1,Test%1,%2"_s.arg(n, b.answer));
    }
    return t;
}

bool PrintTestCard::write(const QString &path) const
{
    return TestCards::writeCard(path, text());
}
