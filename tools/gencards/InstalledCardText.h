#pragma once

#include <QString>

struct CardLayout;

// The print settings an installed card starts with.
struct InstalledPrintSettings
{
    int paperHeight = 0; // twips, as seen in portrait
    int paperWidth = 0;
    int leftMargin = 0;
    QString enlarge = QStringLiteral("1");
    QString fontName = QStringLiteral("DejaVu Sans");
    QString fontSize = QStringLiteral("8");
    // Twips the whole layout, picture and boxes 0 to 39 together, is moved
    // down from the built-in table, as the Move Text arrows move it.
    int layoutDown = 0;
};

// Builds the complete card string of an installed card from a built-in layout:
// every line from 1 to 553 with its label, both layout banks holding the
// layout, empty answers and the layout's questions.
QString installedCardText(const CardLayout &layout, const InstalledPrintSettings &print);

// The paper and print settings of the three bundled cards, calibrated for a
// device that prints from the paper's corner: the paper is the card (the
// picture's size in whole points), the margin puts each answer's left edge
// on its field's, the layout sits where the 270-twip lift puts each answer's
// top on its field's, and the print font's capitals fit the fields' height.
InstalledPrintSettings installedPrintSettings(const CardLayout &layout);

// The built-in layout as its table gives it, uncalibrated: the paper rounded
// up to an eighth of an inch, no margin, an 8 pt print font.
InstalledPrintSettings tablePrintSettings(const CardLayout &layout);
