#pragma once

#include <QStringList>

// The slots of the "&CustomCard" menu made from a listing of card files.
// Each listed name takes the next slot; a name whose last six characters hold
// "qcfd" (a ".qcfd" file) leaves its slot hidden; every other name gives a
// card named after the file without its last four characters. There are as
// many slots as names, so no card is left out.
struct ChooserSlot
{
    QString caption;  // the card name; empty for a hidden slot
    QString fileName; // the card file as listed, whatever the case of its extension
    bool visible = false;
};

QList<ChooserSlot> chooserSlots(const QStringList &fileNames);

// A card name as a menu caption: '&' marks no shortcut but stands for itself.
QString chooserMenuCaption(const QString &cardName);
