#pragma once

#include <QMarginsF>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

class QPainter;
struct PrintPage;
struct RenderOptions;

// The card tool: reads, checks and edits card files from the command line
// without any window. Exit codes: 0 success, 1 a bad card, 2 wrong usage.
//
// The card commands run on a QCoreApplication; the printing commands
// (CardToolPrinting.cpp) need fonts and the printer, so the tool starts a
// QGuiApplication for them.
class CardTool
{
public:
    CardTool(std::FILE *out, std::FILE *err) : m_out(out), m_err(err) {}

    // Sends pages to the default printer; false with the reason on failure.
    // True with a text in error: handed over, with a note for the user (a
    // job the printer still holds).
    using PrinterFunction = std::function<bool(const PrintPage &page, int copies,
                                               const RenderOptions &options, QString *error)>;
    // Printing without --pdf needs the printer, which lives outside the core.
    void setPrinter(PrinterFunction printer) { m_printer = std::move(printer); }
    // The default printer's unprintable margins for a page, in twips.
    using MarginsFunction = std::function<std::optional<QMarginsF>(const PrintPage &page)>;
    void setMarginsFunction(MarginsFunction margins) { m_margins = std::move(margins); }
    // Prints the calibration sheet on the default printer.
    using SheetPrinterFunction = std::function<bool(const PrintPage &page,
                                                    const std::function<void(QPainter &)> &paint,
                                                    QString *error)>;
    void setSheetPrinter(SheetPrinterFunction printer) { m_sheetPrinter = std::move(printer); }
    // Chooses the printer and tray the next jobs go to (empty: the default
    // printer, its own tray) and answers the printer's name; empty when
    // there is no printer.
    using ChooserFunction = std::function<QString(const QString &printer, const QString &tray)>;
    void setPrinterChooser(ChooserFunction chooser) { m_chooser = std::move(chooser); }
    // Sends a group's pages, each copies times, as one job.
    using PagesPrinterFunction = std::function<bool(const std::vector<PrintPage> &pages, int copies, QString *error)>;
    void setPagesPrinter(PagesPrinterFunction printer) { m_pagesPrinter = std::move(printer); }

    // True for the commands that need a QGuiApplication.
    static bool isPrintingCommand(const QString &command);

    // args excludes the program name.
    int run(const QStringList &args);
    // Runs the application's command line on standard output and error, with
    // every message recorded instead of shown; prepare may set the tool up.
    static int runApplication(const std::function<void(CardTool &)> &prepare = {});
    // Keeps Qt's own warnings (a missing runtime folder, a font) out of the
    // tool's standard error, whose lines are the tool's findings; critical
    // and fatal messages still get through. Called before the application
    // object is made.
    static void silenceQtWarnings();

    enum Exit { Ok = 0, BadCard = 1, Usage = 2 };

    int usage(const QString &problem = {});
    int report(const QString &message, int code);

private:
    int decrypt(const QStringList &args);
    int encrypt(const QStringList &args);
    int show(const QStringList &args);
    int check(const QStringList &args);
    int get(const QStringList &args);
    int set(const QStringList &args);
    // Defined in CardToolPrinting.cpp.
    int print(const QStringList &args);
    int calibrate(const QStringList &args);
    // Defined in CardToolPeople.cpp.
    int people(const QStringList &args);
    int importPeople(const QStringList &args, const QString &where);
    int batch(const QStringList &args);

    std::FILE *m_out;
    std::FILE *m_err;
    PrinterFunction m_printer;
    MarginsFunction m_margins;
    SheetPrinterFunction m_sheetPrinter;
    ChooserFunction m_chooser;
    PagesPrinterFunction m_pagesPrinter;
};
