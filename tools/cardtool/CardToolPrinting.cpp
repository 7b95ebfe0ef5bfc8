#include "CardTool.h"

#include "CardCalibration.h"
#include "CardFormModel.h"
#include "PdfExport.h"
#include "PrintLayout.h"
#include "PrinterProfiles.h"
#include "SheetModel.h"

#include <QPainter>

using namespace Qt::StringLiterals;

// The printing commands of the card tool: they need fonts, so they run with a
// GUI application object (see main.cpp).

int CardTool::print(const QStringList &args)
{
    constexpr int MaxCopies = 999;
    QString cardFile;
    QString pdfFile;
    QString printerName;
    QString tray;
    int copies = 1;
    bool strict = false;
    RenderOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == u"--copies" || arg == u"--pdf" || arg == u"--printer" || arg == u"--tray") {
            if (i + 1 >= args.size())
                return usage(u"%1 needs a value"_s.arg(arg));
            const QString value = args.at(++i);
            if (arg != u"--copies") {
                (arg == u"--pdf" ? pdfFile : arg == u"--printer" ? printerName : tray) = value;
                continue;
            }
            bool ok = false;
            copies = value.toInt(&ok);
            if (!ok || copies < 1 || copies > MaxCopies)
                return usage(u"\"%1\" is not a number of copies (1 to %2)"_s.arg(value).arg(MaxCopies));
        } else if (arg == u"--alignment") {
            options.drawOutlines = true;
        } else if (arg == u"--strict") {
            strict = true;
        } else if (arg.startsWith(u"--") || !cardFile.isEmpty()) {
            return usage(u"print does not take \"%1\""_s.arg(arg));
        } else {
            cardFile = arg;
        }
    }
    if (cardFile.isEmpty())
        return usage(u"print takes one card file"_s);
    if (!tray.isEmpty() && printerName.isEmpty())
        return usage(u"--tray goes with --printer"_s);

    // The boxes exactly where the card window puts them after loading.
    CardFormModel form;
    if (!form.LoadCard(cardFile))
        return report(form.lastError().message(), BadCard);
    // The page as it prints on the printer, with that printer's calibration
    // of the card; into a PDF file, as it would print on --printer.
    QString destination = printerName;
    if (pdfFile.isEmpty() && m_chooser)
        destination = m_chooser(printerName, tray);
    const std::optional<PrinterProfile> profile = PrinterProfiles::profile(cardFile, destination, tray);
    const PrintPage page = PrintLayout::page(form, profile ? &*profile : nullptr);
    // The answers that will not land in their fields, on the device that
    // prints: a PDF file has no unprintable margin.
    std::optional<QMarginsF> margins;
    if (pdfFile.isEmpty() && m_margins)
        margins = m_margins(page);
    const SheetModel sheet = SheetModel::build(page, margins ? &*margins : nullptr);
    for (const QString &line : sheet.misfitLines())
        std::fprintf(m_err, "%s: %s\n", qPrintable(cardFile), line.toLocal8Bit().constData());
    if (strict && !sheet.misfits.empty()) {
        QStringList why;
        if (sheet.fitCount() > 0)
            why.append(u"%1 answer(s) do not fit their fields"_s.arg(sheet.fitCount()));
        if (sheet.invalidCount() > 0)
            why.append(u"%1 answer(s) are wrong or missing"_s.arg(sheet.invalidCount()));
        return report(u"%1: not printed: %2 (--strict)"_s.arg(cardFile, why.join(u" and "_s)), BadCard);
    }
    QString error;
    if (!pdfFile.isEmpty()) {
        if (!PdfExport::exportPdf(pdfFile, page, copies, options, &error))
            return report(error, BadCard);
        return Ok;
    }
    if (!m_printer)
        return report(u"borvessa-card: no printer support; use --pdf FILE"_s, BadCard);
    if (!m_printer(page, copies, options, &error))
        return report(u"%1: %2"_s.arg(cardFile, error), BadCard);
    if (!error.isEmpty())
        std::fprintf(m_err, "%s: %s\n", qPrintable(cardFile), error.toLocal8Bit().constData());
    return Ok;
}
int CardTool::calibrate(const QStringList &args)
{
    QString cardFile;
    QString pdfFile;
    QString measured;
    QString printerName;
    QString tray;
    bool sheet = false;
    bool dryRun = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == u"--pdf" || arg == u"--measured" || arg == u"--printer" || arg == u"--tray") {
            if (i + 1 >= args.size())
                return usage(u"%1 needs a value"_s.arg(arg));
            (arg == u"--pdf"       ? pdfFile
             : arg == u"--printer" ? printerName
             : arg == u"--tray"    ? tray
                                   : measured) = args.at(++i);
        } else if (arg == u"--sheet") {
            sheet = true;
        } else if (arg == u"--dry-run") {
            dryRun = true;
        } else if (arg.startsWith(u"--") || !cardFile.isEmpty()) {
            return usage(u"calibrate does not take \"%1\""_s.arg(arg));
        } else {
            cardFile = arg;
        }
    }
    if (cardFile.isEmpty())
        return usage(u"calibrate takes one card file"_s);
    if (sheet == !measured.isEmpty())
        return usage(u"calibrate takes either --sheet or --measured"_s);
    if (sheet && dryRun)
        return usage(u"--dry-run goes with --measured"_s);
    if (!sheet && !pdfFile.isEmpty())
        return usage(u"--pdf goes with --sheet"_s);
    if (!tray.isEmpty() && printerName.isEmpty())
        return usage(u"--tray goes with --printer"_s);

    CardFormModel form;
    if (!form.LoadCard(cardFile))
        return report(form.lastError().message(), BadCard);
    // The card's own page: a printer's calibration is solved from the card's
    // settings, so recalibrating one printer never depends on another.
    const PrintPage page = PrintLayout::page(form);
    QString error;
    if (sheet) {
        const auto paint = [&page](QPainter &painter) { Calibration::paintSheet(painter, page); };
        if (!pdfFile.isEmpty())
            return PdfExport::exportSheet(pdfFile, page, paint, &error) ? Ok : report(error, BadCard);
        if (!m_sheetPrinter || !m_chooser)
            return report(u"borvessa-card: no printer support; use --pdf FILE"_s, BadCard);
        m_chooser(printerName, tray);
        return m_sheetPrinter(page, paint, &error) ? Ok : report(u"%1: %2"_s.arg(cardFile, error), BadCard);
    }

    const std::optional<Calibration::Measurement> m = Calibration::parse(measured.split(u','), &error);
    if (!m)
        return report(u"%1: %2"_s.arg(cardFile, error), BadCard);
    const std::optional<Calibration::Solution> solution = Calibration::solve(page, *m, &error);
    if (!solution)
        return report(u"%1: %2"_s.arg(cardFile, error), BadCard);
    std::fputs((solution->summary() + u'\n').toLocal8Bit().constData(), m_out);
    if (dryRun)
        return Ok;
    if (!printerName.isEmpty()) {
        // The printer's own calibration, in the user's settings; the card
        // file stays as it is.
        const PrinterProfile profile{solution->margin, solution->enlarge, solution->layoutDown};
        if (!PrinterProfiles::setProfile(cardFile, printerName, tray, profile, &error))
            return report(error, BadCard);
        std::fputs((PrinterProfiles::describe(printerName, tray, true) + u'\n').toLocal8Bit().constData(), m_out);
        return Ok;
    }
    if (!CardCalibration::apply(form, *solution, &error))
        return report(u"%1: %2"_s.arg(cardFile, error), BadCard);
    if (!form.SaveCard())
        return report(form.lastError().message(), BadCard);
    return Ok;
}
