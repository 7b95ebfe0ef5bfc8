#pragma once

#include "GroupPrint.h"
#include "PrinterProfiles.h"
#include "RenderOptions.h"

#include <QDialog>
#include <QMarginsF>

#include <optional>
#include <vector>

class CardFormModel;
class CardPrinting;
class PagePreview;
class QCheckBox;
class QComboBox;
class QLabel;
class ListSearch;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTreeView;

// Print for Several People: the user ticks people of the book (a whole
// household, those a filter shows, or one by one) and gets one card each,
// in the list's order, on the card's printer or in one PDF file. The page
// of the selected person is previewed; every chosen person whose card has
// faults is named, and is left out unless the user asks to print them
// anyway. The result is told as "N printed, M left out" with who and why.
class GroupPrintDialog : public QDialog
{
    Q_OBJECT

public:
    struct Setup
    {
        std::vector<Person> people; // in the book's order
        QStringList households;
        std::optional<PrinterProfile> profile; // the card's printer's calibration
        RenderOptions previewOptions;
        QString suggestedPdfPath;
    };

    GroupPrintDialog(const CardFormModel &form, CardPrinting &printer, Setup setup, QWidget *parent = nullptr);

    // ---- Choosing
    void setSearchText(const QString &text);
    QStringList shownNames() const;
    // Ticks every person of the household (the combo's current one when empty).
    void chooseHousehold(const QString &household = {});
    // Ticks every person the filter shows.
    void chooseShown();
    // Ticks or clears the person at row of the whole list (the book's order).
    void setChosen(int row, bool chosen);
    // The ticked people, in the list's order.
    std::vector<Person> chosenPeople() const;
    // Selects the shown person at row, whose page the preview shows.
    bool selectRow(int row);

    // ---- What the user sees
    // The person whose page is previewed; none when no row is selected.
    std::optional<Person> previewed() const;
    PagePreview *preview() const { return m_preview; }
    // One line per chosen person whose card has faults: "NAME: why".
    QStringList faultTexts() const;
    QCheckBox *leaveOutFaulty() const { return m_leaveOut; }
    QComboBox *householdBox() const { return m_household; }
    QLineEdit *searchBox() const { return m_search; }
    QTreeView *list() const { return m_list; }
    QPushButton *printButton() const { return m_print; }
    QPushButton *exportButton() const { return m_export; }

    // ---- The job: each tells the result and closes the dialog when done;
    // false when cancelled, nothing to print or it failed (told too).
    bool print();
    bool exportPdf(const QString &path);
    // Export PDF...: asks for the file first.
    void exportPdfAs();
    QString lastSummary() const { return m_summary; }

Q_SIGNALS:
    // The result, for the main window's status bar.
    void statusMessage(const QString &text);

private:
    struct Job
    {
        std::vector<PrintPage> pages;
        std::vector<GroupPrint::Page> leftOut;
    };
    // The chosen people's pages, those with faults left out or, after a
    // confirmation, kept; none when the user cancelled.
    std::optional<Job> prepare(const std::vector<GroupPrint::Page> &pages);
    void finish(int printed, const std::vector<GroupPrint::Page> &leftOut);
    // The page of the person at row as the card's printer prints it.
    const GroupPrint::Page &printerPage(int row);
    void updatePreview();
    void updateFaults();
    void updateButtons();

    const CardFormModel &m_form;
    CardPrinting &m_printer;
    Setup m_setup;
    std::vector<std::optional<GroupPrint::Page>> m_pages;
    std::optional<std::optional<QMarginsF>> m_margins;
    QString m_summary;

    QStandardItemModel *m_model = nullptr;
    QSortFilterProxyModel *m_filter = nullptr;
    QComboBox *m_household = nullptr;
    QLineEdit *m_search = nullptr;
    ListSearch *m_searcher = nullptr;
    QTreeView *m_list = nullptr;
    QLabel *m_count = nullptr;
    QLabel *m_previewName = nullptr;
    PagePreview *m_preview = nullptr;
    QListWidget *m_faults = nullptr;
    QCheckBox *m_leaveOut = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_export = nullptr;
};
