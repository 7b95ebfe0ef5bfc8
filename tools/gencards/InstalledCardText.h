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
};

// Builds the complete card string of an installed card from a built-in layout:
// every line from 1 to 553 with its label, both layout banks holding the
// layout, empty answers and the layout's questions.
QString installedCardText(const CardLayout &layout, const InstalledPrintSettings &print);

// The paper and print settings of the three bundled cards.
InstalledPrintSettings installedPrintSettings(const CardLayout &layout);
