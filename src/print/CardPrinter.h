#pragma once

#include "PageRenderer.h"
#include "PrintPage.h"
#include "RenderOptions.h"

#include <QMarginsF>
#include <QString>

#include <optional>

#include <memory>

class QPainter;
class QPrinter;

// The printer that cards are printed on. It follows the system's default
// printer and lives as long as the program, so each job starts from the
// page settings that were in force before the last one. For the job it sets
// the card's paper and orientation, with positions from the paper's top-left
// corner, and puts the printer's own settings back afterwards.
class CardPrinter
{
public:
    // The system's default printer, at its full resolution.
    CardPrinter();
    // A printer set up by the caller, such as a PDF file printer; it is
    // used as it is and never switched to the default printer.
    explicit CardPrinter(std::unique_ptr<QPrinter> printer);
    ~CardPrinter();
    CardPrinter(const CardPrinter &) = delete;
    CardPrinter &operator=(const CardPrinter &) = delete;

    // The one printer of the program; needs the application object.
    static CardPrinter &instance();

    // Prints one page per copy. False, with the reason in error, when there
    // is no printer, the printer cannot take the job or fails during it.
    bool print(const PrintPage &page, int copies, const RenderOptions &options, QString *error);
    // One page of the card's paper painted by the function (the calibration
    // sheet), with the same set-up and failures.
    bool printSheet(const PrintPage &page, const PageRenderer::SheetPainter &paint, QString *error);

    // The unprintable margins of the printer for the card's page, in twips
    // on the page as it prints; none for a PDF printer or when there is no
    // printer.
    std::optional<QMarginsF> unprintableMargins(const PrintPage &page);

    QPrinter &printer() { return *m_printer; }

private:
    bool setUpPage(const PrintPage &page);
    bool run(const PrintPage &page, QString *error, const std::function<bool(QPainter &)> &paint);
    bool selectDefaultPrinter(QString *error);
    QString printerName() const;

    std::unique_ptr<QPrinter> m_printer;
    bool m_followsDefault = true;
};
