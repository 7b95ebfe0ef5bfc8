#pragma once

#include "CardPrinting.h"

#include <chrono>
#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPainter;
class QPrinter;

// The printer that cards are printed on. On the system's printers a job is
// a PDF file of the card's paper, handed to the CUPS queue with that paper
// and no scaling, and followed until the queue has printed it. A printer set
// up by the caller, such as a PDF file printer, is painted on directly, with
// the card's paper and orientation, and gets its own settings back after.
class CardPrinter : public CardPrinting
{
public:
    // The system's printers: the default printer unless one is chosen.
    CardPrinter();
    // A printer set up by the caller; it is used as it is.
    explicit CardPrinter(std::unique_ptr<QPrinter> printer);
    ~CardPrinter() override;
    CardPrinter(const CardPrinter &) = delete;
    CardPrinter &operator=(const CardPrinter &) = delete;

    // The program's one system printer; needs the application object.
    static CardPrinter &instance();

    bool print(const PrintPage &page, int copies, const RenderOptions &options, QString *error) override;
    bool printPages(std::span<const PrintPage> pages, int copies, const RenderOptions &options,
                    QString *error) override;
    bool printSheet(const PrintPage &page, const PageRenderer::SheetPainter &paint, QString *error) override;
    // The queue's margins for the card's paper; none for a PDF printer.
    std::optional<QMarginsF> unprintableMargins(const PrintPage &page) override;
    QString lastNote() const override { return m_note; }
    void choose(const QString &printer, const QString &tray) override;
    QString currentPrinter() const override;
    QString currentTray() const override { return m_tray; }

    // The caller's printer; only for a printer made with one.
    QPrinter &printer() { return *m_printer; }
    // How long a job on a CUPS printer is followed before the print returns.
    void setJobWaitLimit(std::chrono::milliseconds limit) { m_jobWaitLimit = limit; }

private:
    using Painting = std::function<bool(QPainter &, QPagedPaintDevice &)>;
    bool run(const PrintPage &page, QString *error, const Painting &paint);
    bool runOnQueue(const PrintPage &page, QString *error, const Painting &paint);
    bool runOnOwnPrinter(const PrintPage &page, QString *error, const Painting &paint);
    // The queue a job goes to, or empty with the reason.
    QString destination(QString *error) const;
    bool followJob(const QString &name, int job, QString *error);

    std::unique_ptr<QPrinter> m_printer;
    QString m_chosen;
    QString m_tray;
    std::chrono::milliseconds m_jobWaitLimit{5000};
    QString m_note;
};
