#pragma once

#include "KeyedCollection.h"

// One answer box as the card string describes it. Every value is held as the
// text read from the card string or produced for it; consumers convert.
struct CardCtrl
{
    QString tabOrder;
    QString visible;
    QString fontsize;
    QString fontName;
    QString backcolor;
    QString wdth;
    QString top_r;
    QString left_c;
    QString height;
    QString fldText;
    QString fldName;

    bool operator==(const CardCtrl &) const = default;
};

// The answer boxes of a card, keyed by box number text.
class CardCtrls : public KeyedCollection<CardCtrl>
{
public:
    // Appends a control; returns nullptr (and changes nothing) when sKey is taken.
    CardCtrl *Add(const QString &fldName, const QString &fldText, const QString &height,
                  const QString &left_c, const QString &top_r, const QString &wdth,
                  const QString &backcolor, const QString &fontName, const QString &fontsize,
                  const QString &visible, const QString &tabOrder, const QString &sKey)
    {
        CardCtrl c;
        c.fldName = fldName;
        c.fldText = fldText;
        c.height = height;
        c.left_c = left_c;
        c.top_r = top_r;
        c.wdth = wdth;
        c.backcolor = backcolor;
        c.fontName = fontName;
        c.fontsize = fontsize;
        c.visible = visible;
        c.tabOrder = tabOrder;
        return append(std::move(c), sKey);
    }
};
