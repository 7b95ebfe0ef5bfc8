#include "CardPrinter.h"

#include "CupsDestination.h"
#include "CupsJob.h"
#include "PageRenderer.h"
#include "PdfExport.h"

#include <QCoreApplication>
#include <QDir>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// Puts the printer's page settings back when the job ends, however it ends.
class PageSettingsGuard
{
public:
    explicit PageSettingsGuard(QPrinter &printer)
        : m_printer(printer), m_layout(printer.pageLayout()), m_fullPage(printer.fullPage())
    {
    }
    ~PageSettingsGuard()
    {
        m_printer.setFullPage(m_fullPage);
        m_printer.setPageLayout(m_layout);
    }
    PageSettingsGuard(const PageSettingsGuard &) = delete;
    PageSettingsGuard &operator=(const PageSettingsGuard &) = delete;

private:
    QPrinter &m_printer;
    QPageLayout m_layout;
    bool m_fullPage = false;
};

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

QSizeF portraitTwips(const PrintPage &page)
{
    return {double(page.paperWidth), double(page.paperHeight)};
}

QString millimetres(double twips)
{
    return QString::number(twips * 25.4 / 1440.0, 'f', 1);
}

// Positions are measured from the paper's corner: the full page, without
// margins, so no driver's printable-area offset shifts the answers.
bool setUpPage(QPrinter &printer, const PrintPage &page)
{
    printer.setFullPage(true);
    if (!printer.setPageSize(page.pageSize()) || !printer.setPageOrientation(page.orientation()))
        return false;
    printer.setPageMargins(QMarginsF(), QPageLayout::Point);
    return true;
}

} // namespace

CardPrinter::CardPrinter() = default;

CardPrinter::CardPrinter(std::unique_ptr<QPrinter> printer) : m_printer(std::move(printer))
{
}

CardPrinter::~CardPrinter() = default;

CardPrinter &CardPrinter::instance()
{
    static CardPrinter printer;
    return printer;
}

CardPrinting &CardPrinting::systemPrinter()
{
    return CardPrinter::instance();
}

void CardPrinter::choose(const QString &printer, const QString &tray)
{
    m_chosen = printer;
    m_tray = tray;
}

QString CardPrinter::currentPrinter() const
{
    if (m_printer)
        return m_printer->outputFormat() == QPrinter::PdfFormat ? m_printer->outputFileName()
                                                               : m_printer->printerName();
    return destination(nullptr);
}

// The chosen printer, else the system's default at the time of the job.
QString CardPrinter::destination(QString *error) const
{
    if (!m_chosen.isEmpty())
        return m_chosen;
    QString name;
    const QStringList installed = CupsDestination::printers(&name);
    if (!name.isEmpty())
        return name;
    if (!installed.isEmpty())
        fail(error, u"There is no default printer. Installed printers: %1. Choose one of them, or make one "
                    "the default printer, then print again."_s.arg(installed.join(u", "_s)));
    else
        fail(error, u"No printer is installed. Install a printer, then print again."_s);
    return {};
}

std::optional<QMarginsF> CardPrinter::unprintableMargins(const PrintPage &page)
{
    if (!page.problem().isEmpty())
        return std::nullopt;
    if (m_printer) {
        if (m_printer->outputFormat() != QPrinter::NativeFormat || !m_printer->isValid())
            return std::nullopt;
        const PageSettingsGuard restore(*m_printer);
        if (!setUpPage(*m_printer, page))
            return std::nullopt;
        QPageLayout layout = m_printer->pageLayout();
        layout.setUnits(QPageLayout::Point);
        return layout.minimumMargins() * 20.0;
    }
    const QString name = destination(nullptr);
    if (name.isEmpty())
        return std::nullopt;
    const std::optional<CupsDestination::Media> media = CupsDestination::media(name, portraitTwips(page));
    if (!media)
        return std::nullopt;
    const QMarginsF m = media->margins;
    // A landscape page is the portrait paper turned a quarter counter-clockwise.
    return page.landscape ? QMarginsF(m.bottom(), m.left(), m.top(), m.right()) : m;
}

bool CardPrinter::print(const PrintPage &page, int copies, const RenderOptions &options,
                        QString *error)
{
    if (copies < 1 && page.problem().isEmpty())
        return fail(error, u"There is no copy to print."_s);
    return run(page, error, [&](QPainter &painter, QPagedPaintDevice &device) {
        return PageRenderer::paintCopies(painter, device, page, copies, options);
    });
}

bool CardPrinter::printPages(std::span<const PrintPage> pages, int copies, const RenderOptions &options,
                             QString *error)
{
    if (pages.empty() || copies < 1)
        return fail(error, u"There is no page to print."_s);
    return run(pages.front(), error, [&](QPainter &painter, QPagedPaintDevice &device) {
        return PageRenderer::paintPages(painter, device, pages, copies, options);
    });
}

bool CardPrinter::printSheet(const PrintPage &page, const PageRenderer::SheetPainter &paint, QString *error)
{
    return run(page, error, [&](QPainter &painter, QPagedPaintDevice &device) {
        return PageRenderer::paintSheet(painter, device, page, paint);
    });
}

bool CardPrinter::run(const PrintPage &page, QString *error, const Painting &paint)
{
    m_note.clear();
    const QString problem = page.problem();
    if (!problem.isEmpty())
        return fail(error, u"The card cannot be printed: %1."_s.arg(problem));
    return m_printer ? runOnOwnPrinter(page, error, paint) : runOnQueue(page, error, paint);
}

bool CardPrinter::runOnOwnPrinter(const PrintPage &page, QString *error, const Painting &paint)
{
    const QString name = currentPrinter();
    if (!m_printer->isValid())
        return fail(error, u"The printer \"%1\" is not available."_s.arg(name));
    const PageSettingsGuard restore(*m_printer);
    if (!setUpPage(*m_printer, page))
        return fail(error, u"The printer \"%1\" does not take the card's paper (%2 by %3 mm)."_s.arg(
                               name, millimetres(page.pageWidth()), millimetres(page.pageHeight())));
    QPainter painter;
    if (!painter.begin(m_printer.get()))
        return fail(error, u"The printer \"%1\" could not start the job: it is off-line or "
                           "refused the job."_s.arg(name));
    const bool painted = paint(painter, *m_printer);
    const bool ended = painter.end();
    if (!painted || !ended || m_printer->printerState() == QPrinter::Error
        || m_printer->printerState() == QPrinter::Aborted)
        return fail(error, u"The printer \"%1\" failed during the job; the card may not have "
                           "printed completely."_s.arg(name));
    return true;
}

bool CardPrinter::runOnQueue(const PrintPage &page, QString *error, const Painting &paint)
{
    const QString name = destination(error);
    if (name.isEmpty())
        return false;
    if (const QString why = CupsDestination::unavailable(name); !why.isEmpty())
        return fail(error, why);
    // The queue gets the card's own paper or nothing: another size would
    // put every answer off its field.
    const std::optional<CupsDestination::Media> media = CupsDestination::media(name, portraitTwips(page));
    if (!media)
        return fail(error, u"The printer \"%1\" cannot take the card's paper (%2 by %3 mm): it has no such "
                           "size and takes no custom size. Nothing was printed."_s
                               .arg(name, millimetres(page.paperWidth), millimetres(page.paperHeight)));
    if (!m_tray.isEmpty()) {
        const QStringList trays = CupsDestination::trays(name);
        if (!trays.contains(m_tray))
            return fail(error, u"The printer \"%1\" has no tray \"%2\"%3. Nothing was printed."_s.arg(
                                   name, m_tray,
                                   trays.isEmpty() ? u""_s : u"; its trays are %1"_s.arg(trays.join(u", "_s))));
    }

    const QTemporaryDir folder(QDir::tempPath() + u"/borvessa-job-XXXXXX"_s);
    const QString file = folder.filePath(u"card.pdf"_s);
    QString written;
    if (!folder.isValid() || !PdfExport::write(file, page, paint, &written))
        return fail(error, u"The job for the printer \"%1\" could not be prepared: %2"_s.arg(
                               name, written.isEmpty() ? u"no temporary folder"_s : written));
    const CupsDestination::Job job{name, file, QCoreApplication::applicationName(), *media, m_tray};
    const int id = CupsDestination::submit(job, error);
    return id > 0 && followJob(name, id, error);
}

bool CardPrinter::followJob(const QString &name, int job, QString *error)
{
    const CupsJob::Outcome outcome = CupsJob::waitForEnd(job, m_jobWaitLimit);
    const QString reason = outcome.reason.isEmpty() ? QString() : u": %1"_s.arg(outcome.reason);
    switch (outcome.state) {
    case CupsJob::Outcome::Stopped:
        return fail(error, u"The printer \"%1\" stopped the job; the card was not printed%2."_s.arg(name, reason));
    case CupsJob::Outcome::Waiting:
        m_note = u"The card was handed to the printer \"%1\", which has not printed it yet%2."_s.arg(name, reason);
        return true;
    case CupsJob::Outcome::Completed:
    case CupsJob::Outcome::Unknown:
        return true;
    }
    return true;
}
