#pragma once

#include "PrintPage.h"
#include "RenderOptions.h"

#include <QDialog>
#include <QMarginsF>

#include <optional>

class PagePreview;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// Print Preview: the pages of a print job as the paper gets them, with the
// blank card faint where it lies on the sheet, so the user sees before
// using up a card whether each answer lands in its field. The answers that
// will not are marked on the page and listed. Accepted when the user asks
// to print.
class PrintPreviewDialog : public QDialog
{
    Q_OBJECT

public:
    // unprintable: the printer's margins in twips, when it reports them.
    PrintPreviewDialog(const PrintPage &page, int copies, const RenderOptions &options,
                       QWidget *parent = nullptr,
                       const std::optional<QMarginsF> &unprintable = std::nullopt);

    int pageCount() const { return m_copies; }
    int currentPage() const { return m_current; }
    void showPage(int number);
    QString pageText() const;
    PagePreview *preview() const { return m_preview; }
    // The lines of the misfit list as shown.
    QStringList misfitTexts() const;
    // A line under the page, such as which calibration the page prints with.
    void setNote(const QString &text);
    QString note() const;

private:
    PagePreview *m_preview = nullptr;
    QLabel *m_pageLabel = nullptr;
    QLabel *m_note = nullptr;
    QPlainTextEdit *m_misfits = nullptr;
    QPushButton *m_previous = nullptr;
    QPushButton *m_next = nullptr;
    int m_copies = 1;
    int m_current = 1;
};
