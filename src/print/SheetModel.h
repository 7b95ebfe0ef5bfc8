#pragma once

#include "PrintPage.h"
#include "TwipGeometry.h"

#include <QMarginsF>
#include <QStringList>
#include <QString>

#include <vector>

// How far one rectangle lies from another, side by side, in twips: the
// ink's left, top, right and bottom edge minus the field's. Positive right
// and bottom values are ink beyond the field.
struct EdgeDifference
{
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
};

// One answer box on the sheet.
struct SheetBox
{
    int box = 0;
    QString question;
    QString text;
    TwipRect field;      // where the box lies over the blank card
    TwipRect textBox;    // the answer's text at its print position and size
    TwipRect ink;        // the inked part of the answer; empty when blank
    EdgeDifference difference; // the text box against the field
    float fontSize = 0;  // points, after the fit rule
};

// Something on the sheet that will not print into its field.
struct Misfit
{
    // InvalidAnswer: the answer itself is wrong or missing (a second tick,
    // no tick, a date that does not exist), wherever it prints.
    enum class Kind { TooLong, PastPaperEdge, IntoUnprintableMargin, Overlap, InvalidAnswer };
    Kind kind = Kind::TooLong;
    int box = 0;
    int otherBox = -1; // the second answer of an overlap
    TwipRect where;    // on the sheet
    QString message;   // names the box by its question
};

// The page as the paper gets it, in twips from the paper's top-left corner,
// for every device: the blank card, each printed box's field, text and ink,
// the printer's unprintable margins and the misfits.
struct SheetModel
{
    float pageWidth = 0; // after the orientation
    float pageHeight = 0;
    TwipRect card; // the blank card: the picture's size at the paper's corner
    bool hasUnprintable = false;
    QMarginsF unprintable; // twips, on the page as it prints
    std::vector<SheetBox> boxes;
    std::vector<Misfit> misfits;

    // Builds the sheet of a page. Margins are the printer's unprintable
    // margins in twips; none for a PDF file or the plain preview.
    static SheetModel build(const PrintPage &page, const QMarginsF *unprintableMargins = nullptr);

    const SheetBox *findBox(int box) const;
    // The misfits one per line, for a list or standard error.
    QStringList misfitLines() const;
    // The first lines of a message that names misfits, each on a line of its
    // own, and how many more Print Preview lists.
    static QString named(const QStringList &lines, int most = 6);
    // How many misfits are answers that do not fit, and how many answers
    // that are wrong or missing.
    std::size_t fitCount() const;
    std::size_t invalidCount() const { return misfits.size() - fitCount(); }
};
