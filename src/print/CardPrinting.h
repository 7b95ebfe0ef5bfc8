#pragma once

#include "PageRenderer.h"
#include "PrintPage.h"
#include "RenderOptions.h"

#include <QMarginsF>
#include <QString>

#include <optional>

// A printer that cards are printed on, as the card window sees it: the
// system's printers (CardPrinter) or, in tests, one that prints to a file.
class CardPrinting
{
public:
    virtual ~CardPrinting() = default;

    // Prints one page per copy. False, with the reason in error, when there
    // is no printer, the printer cannot take the job or fails during it.
    virtual bool print(const PrintPage &page, int copies, const RenderOptions &options, QString *error) = 0;
    // Pages of one card's paper (a group's cards) as one job, each copies
    // times, in order.
    virtual bool printPages(std::span<const PrintPage> pages, int copies, const RenderOptions &options,
                            QString *error) = 0;
    // One page of the card's paper painted by the function (the calibration
    // sheet), with the same set-up and failures.
    virtual bool printSheet(const PrintPage &page, const PageRenderer::SheetPainter &paint, QString *error) = 0;
    // The printer's unprintable margins for the card's page, in twips on the
    // page as it prints; none when the printer has none or there is no printer.
    virtual std::optional<QMarginsF> unprintableMargins(const PrintPage &page) = 0;
    // What the user should know about the last job that did not fail, such
    // as a job the printer still holds; empty when it printed.
    virtual QString lastNote() const { return {}; }

    // The printer the next job goes to, and its tray: an empty printer is
    // the system's default printer at each job, an empty tray the printer's
    // own choice. A printer that prints into a file ignores the choice.
    virtual void choose(const QString &printer, const QString &tray) = 0;
    // The printer a job would go to now; empty when there is none.
    virtual QString currentPrinter() const = 0;
    virtual QString currentTray() const { return {}; }

    // The program's one printer for the system's printers. Needs the GUI
    // application object.
    static CardPrinting &systemPrinter();
};
