#include "CardPrintCommands.h"

#include "CalibrationDialog.h"
#include "CardCalibration.h"
#include "CardFormModel.h"
#include "CardPrinting.h"
#include "Messages.h"
#include "PdfExport.h"
#include "PrintLayout.h"
#include "PrintPreviewDialog.h"
#include "PrintSetupDialog.h"
#include "SheetModel.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QScreen>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

// A job the printer took but has not printed yet is neither printed nor
// failed; the user is told so.
void tellPrinterNote(const CardPrinting &printer)
{
    if (const QString note = printer.lastNote(); !note.isEmpty())
        Messages::inform(note);
}

} // namespace

CardPrintCommands::CardPrintCommands(CardFormModel &model, QWidget *window, std::function<int()> copies,
                                     std::function<QImage()> picture, std::function<double()> scale)
    : m_model(model), m_window(window), m_copies(std::move(copies)), m_picture(std::move(picture)),
      m_scale(std::move(scale))
{
}

CardPrinting &CardPrintCommands::printer()
{
    CardPrinting &printer = m_printer ? *m_printer : CardPrinting::systemPrinter();
    const PrinterProfiles::Choice choice = PrinterProfiles::choice(m_model.CardNam());
    printer.choose(choice.printer, choice.tray);
    return printer;
}

std::optional<PrinterProfile> CardPrintCommands::profile()
{
    CardPrinting &printer = this->printer();
    return PrinterProfiles::profile(m_model.CardNam(), printer.currentPrinter(), printer.currentTray());
}

QString CardPrintCommands::calibrationText()
{
    CardPrinting &printer = this->printer();
    const QString name = printer.currentPrinter();
    const QString tray = printer.currentTray();
    return PrinterProfiles::describe(name, tray, PrinterProfiles::profile(m_model.CardNam(), name, tray).has_value());
}

PrintPage CardPrintCommands::page()
{
    const std::optional<PrinterProfile> p = profile();
    return PrintLayout::page(m_model, p ? &*p : nullptr);
}

PrintPage CardPrintCommands::cardPage() const
{
    return PrintLayout::page(m_model);
}

bool CardPrintCommands::printWithDialog()
{
    if (!m_model.clsCard())
        return false;
    PrintSetupDialog dialog(m_model.varCardTitle(), m_model.CardNam(), cardPage(),
                            PrinterProfiles::choice(m_model.CardNam()), m_copies(), m_window);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // The card window gets the keyboard back, its edited box with it, even
    // where the desktop does not give it back by itself.
    m_window->activateWindow();
    if (!accepted)
        return false;
    PrinterProfiles::setChoice(m_model.CardNam(), dialog.choice());
    Q_EMIT copiesChosen(dialog.copies());
    return print();
}

bool CardPrintCommands::print()
{
    if (!m_model.clsCard())
        return false;
    const int copies = m_copies();
    CardPrinting &printer = this->printer();
    const PrintPage page = this->page();
    // Before a card is used up, say how many answers will not land in their
    // fields, and name the answers that are wrong or missing.
    const std::optional<QMarginsF> margins = printer.unprintableMargins(page);
    const SheetModel sheet = SheetModel::build(page, margins ? &*margins : nullptr);
    QString question = u"Print %1 declaration form(s)?"_s.arg(copies);
    if (const std::size_t misfits = sheet.fitCount(); misfits > 0)
        question += u"\n\n%1 answer(s) will not print inside their fields; Print Preview shows which."_s.arg(misfits);
    if (sheet.invalidCount() > 0) {
        QStringList invalid;
        for (const Misfit &m : sheet.misfits) {
            if (m.kind == Misfit::Kind::InvalidAnswer)
                invalid.append(m.message);
        }
        question += u"\n\nNot answered as the card asks:"_s + SheetModel::named(invalid);
    }
    if (!Messages::confirm(question, u"Requesting Confirmation"_s))
        return false;
    QString error;
    if (!printer.print(page, copies, RenderOptions{}, &error)) {
        Messages::error(u"The card was not printed.\n\n%1"_s.arg(error));
        return false;
    }
    tellPrinterNote(printer);
    return true;
}

RenderOptions CardPrintCommands::previewOptions() const
{
    RenderOptions options;
    options.drawPicture = true;
    options.picture = m_picture();
    return options;
}

void CardPrintCommands::printPreview()
{
    if (!m_model.clsCard())
        return;
    const PrintPage page = this->page();
    PrintPreviewDialog dialog(page, m_copies(), previewOptions(), m_window, printer().unprintableMargins(page));
    dialog.setWindowTitle(u"Print Preview - %1"_s.arg(m_model.varCardTitle()));
    dialog.setNote(calibrationText());
    // The page at the size of the card on screen, within the screen.
    QSize size(int(page.pageWidth() * m_scale()) + 80, int(page.pageHeight() * m_scale()) + 120);
    if (const QScreen *screen = m_window->screen())
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    dialog.resize(size.expandedTo(dialog.minimumSizeHint()));
    if (dialog.exec() == QDialog::Accepted)
        Q_EMIT printRequested();
}

bool CardPrintCommands::exportPdf(const QString &path, bool alignment)
{
    const PrintPage page = cardPage();
    RenderOptions options;
    options.drawOutlines = alignment;
    QString error;
    if (!PdfExport::exportPdf(path, page, alignment ? 1 : m_copies(), options, &error)) {
        Messages::error(u"The PDF file was not written.\n\n%1"_s.arg(error));
        return false;
    }
    Q_EMIT statusMessage(u"Exported %1"_s.arg(QFileInfo(path).fileName()));
    return true;
}

QString CardPrintCommands::suggestedPdfPath(const QString &suffix) const
{
    // The user's documents, not the card folder beside the program.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(m_model.varCardTitle() + suffix + u".pdf"_s);
}

void CardPrintCommands::exportPdfAs()
{
    if (!m_model.clsCard())
        return;
    const QString path = QFileDialog::getSaveFileName(m_window, u"Export PDF"_s, suggestedPdfPath(),
                                                      u"PDF files (*.pdf)"_s);
    if (!path.isEmpty())
        exportPdf(path);
}

void CardPrintCommands::exportAlignmentPdfAs()
{
    if (!m_model.clsCard())
        return;
    const QString path = QFileDialog::getSaveFileName(m_window, u"Export Alignment Page"_s,
                                                      suggestedPdfPath(u" alignment"_s),
                                                      u"PDF files (*.pdf)"_s);
    if (!path.isEmpty())
        exportPdf(path, true);
}

// ---- Calibration -----------------------------------------------------------------

bool CardPrintCommands::printCalibrationSheet()
{
    if (!m_model.clsCard())
        return false;
    const QString failure = u"The calibration sheet was not printed."_s;
    CardPrinting &printer = this->printer();
    const PrintPage page = cardPage();
    QString error;
    if (!printer.printSheet(page, [&page](QPainter &p) { Calibration::paintSheet(p, page); }, &error)) {
        Messages::error(failure + u"\n\n"_s + error);
        return false;
    }
    tellPrinterNote(printer);
    return true;
}

bool CardPrintCommands::exportCalibrationSheet(const QString &path)
{
    if (!m_model.clsCard())
        return false;
    const PrintPage page = cardPage();
    QString error;
    if (!PdfExport::exportSheet(path, page, [&page](QPainter &p) { Calibration::paintSheet(p, page); }, &error)) {
        Messages::error(u"The PDF file was not written.\n\n%1"_s.arg(error));
        return false;
    }
    Q_EMIT statusMessage(u"Exported %1"_s.arg(QFileInfo(path).fileName()));
    return true;
}

bool CardPrintCommands::applyCalibration(const QStringList &numbers, bool intoCard)
{
    if (!m_model.clsCard())
        return false;
    QString error;
    const std::optional<Calibration::Measurement> m = Calibration::parse(numbers, &error);
    // Solved from the card's own settings, so a printer's calibration never
    // depends on another printer's.
    const PrintPage page = cardPage();
    std::optional<Calibration::Solution> solution;
    if (m)
        solution = Calibration::solve(page, *m, &error);
    if (!solution) {
        Messages::error(u"The calibration was not applied.\n\n%1"_s.arg(error));
        return false;
    }
    CardPrinting &printer = this->printer();
    const QString name = printer.currentPrinter();
    const QString tray = printer.currentTray();
    if (!intoCard && name.isEmpty()) {
        Messages::error(u"The calibration was not applied.\n\nNo printer is chosen and there is no default "
                        "printer: choose one with File > Print first."_s);
        return false;
    }
    const QString target = intoCard ? u"the card %1 itself (its settings and layout)"_s.arg(m_model.varCardTitle())
                                    : u"%1 on the printer \"%2\"%3"_s.arg(m_model.varCardTitle(), name,
                                          tray.isEmpty() ? QString() : u", tray "_s + tray);
    if (!Messages::confirm(u"Apply this calibration to %1?\n\n%2"_s.arg(target, solution->summary()),
                           u"Calibrate Printing"_s))
        return false;
    if (!intoCard) {
        const PrinterProfile profile{solution->margin, solution->enlarge, solution->layoutDown};
        if (!PrinterProfiles::setProfile(m_model.CardNam(), name, tray, profile, &error)) {
            Messages::error(u"The calibration was not applied.\n\n%1"_s.arg(error));
            return false;
        }
        Q_EMIT statusMessage(u"Calibration kept for the printer \"%1\"; Print Preview shows the result."_s.arg(name));
        return true;
    }
    if (!CardCalibration::apply(m_model, *solution, &error)) {
        Messages::error(u"The calibration was not applied.\n\n%1"_s.arg(error));
        return false;
    }
    Q_EMIT statusMessage(u"Calibration applied; Print Preview shows the result. Save the card to keep it."_s);
    return true;
}

void CardPrintCommands::calibratePrinting()
{
    if (!m_model.clsCard())
        return;
    CardPrinting &printer = this->printer();
    CalibrationDialog dialog(m_model.varCardTitle(), printer.currentPrinter(), printer.currentTray(), m_window);
    connect(&dialog, &CalibrationDialog::printSheetRequested, this, [this] { printCalibrationSheet(); });
    connect(&dialog, &CalibrationDialog::exportSheetRequested, this, [this, &dialog] {
        const QString path = QFileDialog::getSaveFileName(&dialog, u"Export Calibration Sheet"_s,
                                                          suggestedPdfPath(u" calibration"_s),
                                                          u"PDF files (*.pdf)"_s);
        if (!path.isEmpty())
            exportCalibrationSheet(path);
    });
    // A refused measurement brings the dialog back with what was typed.
    while (dialog.exec() == QDialog::Accepted) {
        if (applyCalibration(dialog.numbers(), dialog.intoCard()))
            return;
    }
}

bool CardPrintCommands::printAlignmentPage()
{
    if (!m_model.clsCard())
        return false;
    const QString failure = u"The alignment page was not printed."_s;
    CardPrinting &printer = this->printer();
    if (!Messages::confirm(
            u"Print an alignment page on plain paper? It shows each box's outline with its answer; hold it against a blank card to check the calibration."_s,
            u"Requesting Confirmation"_s))
        return false;
    RenderOptions options;
    options.drawOutlines = true;
    QString error;
    const bool printed = printer.print(page(), 1, options, &error);
    if (!printed)
        Messages::error(failure + u"\n\n"_s + error);
    else
        tellPrinterNote(printer);
    return printed;
}

