#include "CardPrinter.h"

#include "CupsJob.h"
#include "PageRenderer.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

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

} // namespace

CardPrinter::CardPrinter() : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
}

CardPrinter::CardPrinter(std::unique_ptr<QPrinter> printer)
    : m_printer(std::move(printer)), m_followsDefault(false)
{
}

CardPrinter::~CardPrinter() = default;

CardPrinter &CardPrinter::instance()
{
    // Made on first use and gone with the application object, before the
    // printer support that the printer needs is shut down.
    static std::unique_ptr<CardPrinter> printer;
    if (!printer) {
        printer = std::make_unique<CardPrinter>();
        qAddPostRoutine([] { printer.reset(); });
    }
    return *printer;
}

CardPrinting &CardPrinting::systemPrinter()
{
    return CardPrinter::instance();
}

QString CardPrinter::printerName() const
{
    if (m_printer->outputFormat() == QPrinter::PdfFormat)
        return m_printer->outputFileName();
    return m_printer->printerName();
}

// The job goes to the current default printer; a printer that has been
// made the default since the last job takes over with its own settings.
bool CardPrinter::selectDefaultPrinter(QString *error)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QStringList installed = QPrinterInfo::availablePrinterNames();
        if (!installed.isEmpty())
            return fail(error, u"There is no default printer. Installed printers: %1. Make one of them the "
                               "default printer, then print again."_s.arg(installed.join(u", "_s)));
        return fail(error, u"No printer is installed. Install a printer and make it the default "
                           "printer, then print again."_s);
    }
    if (m_printer->outputFormat() != QPrinter::NativeFormat)
        m_printer->setOutputFormat(QPrinter::NativeFormat);
    if (m_printer->printerName() != info.printerName())
        m_printer->setPrinterName(info.printerName());
    if (info.state() == QPrinter::Error)
        return fail(error, u"The printer \"%1\" is off-line or stopped."_s.arg(info.printerName()));
    return true;
}

// Positions are measured from the paper's corner: the full page, without
// margins, so no driver's printable-area offset shifts the answers.
bool CardPrinter::setUpPage(const PrintPage &page)
{
    m_printer->setFullPage(true);
    if (!m_printer->setPageSize(page.pageSize()) || !m_printer->setPageOrientation(page.orientation()))
        return false;
    m_printer->setPageMargins(QMarginsF(), QPageLayout::Point);
    return true;
}

std::optional<QMarginsF> CardPrinter::unprintableMargins(const PrintPage &page)
{
    if (!page.problem().isEmpty())
        return std::nullopt;
    if (m_followsDefault && !selectDefaultPrinter(nullptr))
        return std::nullopt;
    if (m_printer->outputFormat() != QPrinter::NativeFormat || !m_printer->isValid())
        return std::nullopt;
    const PageSettingsGuard restore(*m_printer);
    if (!setUpPage(page))
        return std::nullopt;
    // The layout's minimum margins are the printer's, turned with the page.
    QPageLayout layout = m_printer->pageLayout();
    layout.setUnits(QPageLayout::Point);
    return layout.minimumMargins() * 20.0;
}

bool CardPrinter::print(const PrintPage &page, int copies, const RenderOptions &options,
                        QString *error)
{
    if (copies < 1 && page.problem().isEmpty())
        return fail(error, u"There is no copy to print."_s);
    return run(page, error, [&](QPainter &painter) {
        return PageRenderer::paintCopies(painter, *m_printer, page, copies, options);
    });
}

bool CardPrinter::printSheet(const PrintPage &page, const PageRenderer::SheetPainter &paint, QString *error)
{
    return run(page, error, [&](QPainter &painter) {
        return PageRenderer::paintSheet(painter, *m_printer, page, paint);
    });
}

bool CardPrinter::run(const PrintPage &page, QString *error, const std::function<bool(QPainter &)> &paint)
{
    m_note.clear();
    const QString problem = page.problem();
    if (!problem.isEmpty())
        return fail(error, u"The card cannot be printed: %1."_s.arg(problem));
    if (m_followsDefault && !selectDefaultPrinter(error))
        return false;
    const QString name = printerName();
    if (!m_printer->isValid())
        return fail(error, u"The printer \"%1\" is not available."_s.arg(name));

    const PageSettingsGuard restore(*m_printer);
    if (!setUpPage(page))
        return fail(error, u"The printer \"%1\" does not take the card's paper (%2 by %3 twips)."_s
                               .arg(name)
                               .arg(page.pageWidth())
                               .arg(page.pageHeight()));

    // Qt hands the job to CUPS without its id: the job to follow is the
    // newest one above those that were there before.
    const bool native = m_printer->outputFormat() == QPrinter::NativeFormat;
    const int lastJobBefore = native ? CupsJob::newestJobId(name) : 0;
    QPainter painter;
    if (!painter.begin(m_printer.get()))
        return fail(error, u"The printer \"%1\" could not start the job: it is off-line or "
                           "refused the job."_s.arg(name));
    const bool painted = paint(painter);
    const bool ended = painter.end();
    if (!painted || !ended || m_printer->printerState() == QPrinter::Error
        || m_printer->printerState() == QPrinter::Aborted)
        return fail(error, u"The printer \"%1\" failed during the job; the card may not have "
                           "printed completely."_s.arg(name));
    return !native || followJob(name, lastJobBefore, error);
}

bool CardPrinter::followJob(const QString &name, int lastJobBefore, QString *error)
{
    const int job = CupsJob::newestJobId(name);
    if (job <= lastJobBefore)
        return true;
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
