#pragma once

#include "CardPrinting.h"

#include <chrono>
#include <memory>

class QPainter;
class QPrinter;

// The printer that cards are printed on. It follows the system's default
// printer and lives as long as the program, so each job starts from the
// page settings that were in force before the last one. For the job it sets
// the card's paper and orientation, with positions from the paper's top-left
// corner, and puts the printer's own settings back afterwards.
class CardPrinter : public CardPrinting
{
public:
    // The system's default printer, at its full resolution.
    CardPrinter();
    // A printer set up by the caller, such as a PDF file printer; it is
    // used as it is and never switched to the default printer.
    explicit CardPrinter(std::unique_ptr<QPrinter> printer);
    ~CardPrinter() override;
    CardPrinter(const CardPrinter &) = delete;
    CardPrinter &operator=(const CardPrinter &) = delete;

    // The program's one system printer; needs the application object.
    static CardPrinter &instance();

    bool print(const PrintPage &page, int copies, const RenderOptions &options, QString *error) override;
    bool printSheet(const PrintPage &page, const PageRenderer::SheetPainter &paint, QString *error) override;
    // None for a PDF printer.
    std::optional<QMarginsF> unprintableMargins(const PrintPage &page) override;

    QString lastNote() const override { return m_note; }

    QPrinter &printer() { return *m_printer; }
    // How long a job on a CUPS printer is followed before the print returns.
    void setJobWaitLimit(std::chrono::milliseconds limit) { m_jobWaitLimit = limit; }

private:
    bool setUpPage(const PrintPage &page);
    bool run(const PrintPage &page, QString *error, const std::function<bool(QPainter &)> &paint);
    bool selectDefaultPrinter(QString *error);
    QString printerName() const;
    bool followJob(const QString &name, int lastJobBefore, QString *error);

    std::unique_ptr<QPrinter> m_printer;
    bool m_followsDefault = true;
    std::chrono::milliseconds m_jobWaitLimit{5000};
    QString m_note;
};
