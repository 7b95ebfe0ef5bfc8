#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// One answer box of a built-in layout: its place in the tab order, its number,
// its rectangle in twips over the card window, and the question it asks.
struct LayoutRow
{
    int tabIndex = 0;
    int box = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = true;
    QString fieldName;   // short label written as field 2 of the control line
    QString question;
    QString sampleAnswer;
};

// A built-in card layout: the card picture's rectangle, the back colour of
// boxes 0 to 39 and the rows in tab order. The card window builds a card from
// it, and the card generator writes the installed card files from it.
struct CardLayout
{
    QString name;        // card name, also the base name of its files
    QString pictureFile; // picture file name beside the program
    int pictureTop = 0;
    int pictureLeft = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;
    std::uint32_t backColor = 0; // &H00BBGGRR
    std::vector<LayoutRow> rows;

    // The highest box number the layout uses.
    int highestBox() const;
    // The row of a box, or nullptr when the layout does not use that number.
    const LayoutRow *rowForBox(int box) const;
};

namespace CardLayouts {

const CardLayout &canada();
const CardLayout &us();
const CardLayout &canadaBlue();

// All three, in the order Canada, US, Canada_Blue.
std::vector<const CardLayout *> all();
// The layout of that name ("Canada", "US", "Canada_Blue"), or nullptr.
const CardLayout *named(const QString &name);

} // namespace CardLayouts
