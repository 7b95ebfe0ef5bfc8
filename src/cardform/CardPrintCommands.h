#pragma once

#include "PrintPage.h"
#include "PrinterProfiles.h"
#include "RenderOptions.h"

#include <QImage>
#include <QObject>
#include <QStringList>

#include <functional>

class CardFormModel;
class CardPrinting;
class QWidget;

// The card window's printing commands: Print with its confirmation and misfit
// count, Print Preview, Export PDF, the alignment page and the calibration.
// Each works on the card model's page, with the boxes at rest, and tells the
// user about its failures; the window only gives it the copies, its picture
// and its zoom.
class CardPrintCommands : public QObject
{
    Q_OBJECT

public:
    CardPrintCommands(CardFormModel &model, QWidget *window, std::function<int()> copies,
                      std::function<QImage()> picture, std::function<double()> scale);

    // The page as it prints: the answers of the visible boxes 0 to 39, with
    // the calibration of the printer the card goes to where it has one.
    PrintPage page();
    // The page with the card's own print settings, as Export PDF writes it.
    PrintPage cardPage() const;
    // Asks for confirmation, then prints one page per copy on the card's
    // printer; false when cancelled or the printer failed (the failure has
    // been shown).
    bool print();
    // File > Print: the printer, tray and copies first, remembered for the
    // card, then the confirmation and the print.
    bool printWithDialog();
    // The calibration of the card for the printer and tray it goes to.
    std::optional<PrinterProfile> profile();
    // How the page prints there, for the preview and the dialogs.
    QString calibrationText();
    // The faint card picture under the answers, for the preview.
    RenderOptions previewOptions() const;
    void printPreview();
    // Writes the page, or the alignment page, to a PDF file and confirms it
    // in the status bar.
    bool exportPdf(const QString &path, bool alignment = false);
    void exportPdfAs();
    void exportAlignmentPdfAs();
    // Where Export PDF suggests the file: the user's documents folder, named
    // after the card.
    QString suggestedPdfPath(const QString &suffix = {}) const;
    bool printAlignmentPage();
    // File > Calibrate Printing: the calibration sheet, and the four
    // measurements of its marks applied to the card's print settings and
    // layout after the solution has been shown. The card file changes with
    // the next save.
    void calibratePrinting();
    bool printCalibrationSheet();
    bool exportCalibrationSheet(const QString &path);
    // Kept as the card's calibration for its printer, or, intoCard, written
    // into the card's own settings and layout for the cards one hands out.
    bool applyCalibration(const QStringList &numbers, bool intoCard = false);
    // The printer used; the program's one system printer unless set. It is
    // pointed at the card's remembered printer and tray before every use.
    void setPrinter(CardPrinting *printer) { m_printer = printer; }
    CardPrinting &printer();

Q_SIGNALS:
    // Print Preview's Print button: the window prints as its Print command does.
    void printRequested();
    // A short confirmation for the main window's status bar.
    void statusMessage(const QString &text);
    // The print dialog's copies, for the panel to show.
    void copiesChosen(int copies);

private:
    CardFormModel &m_model;
    QWidget *m_window;
    std::function<int()> m_copies;
    std::function<QImage()> m_picture;
    std::function<double()> m_scale;
    CardPrinting *m_printer = nullptr;
};
