#pragma once

#include "PrintPage.h"
#include "RenderOptions.h"

#include <QString>

#include <memory>

class QPrinter;

// The printer that cards are printed on. It follows the system's default
// printer and lives as long as the program, so each job starts from the
// page settings that were in force before the last one. For the job it sets
// the card's paper and orientation, with positions from the top-left corner
// of the printable area, and puts the printer's own settings back afterwards.
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

    QPrinter &printer() { return *m_printer; }

private:
    bool selectDefaultPrinter(QString *error);
    QString printerName() const;

    std::unique_ptr<QPrinter> m_printer;
    bool m_followsDefault = true;
};
