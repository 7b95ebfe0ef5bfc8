#pragma once

#include "PrintPage.h"
#include "RenderOptions.h"

#include <QDialog>

class PagePreview;
class QLabel;
class QPushButton;

// Print Preview: the pages of a print job as they will come out of the
// printer, with the card picture faint under the answers so the user can
// check the alignment before using up a card. Accepted when the user asks
// to print.
class PrintPreviewDialog : public QDialog
{
    Q_OBJECT

public:
    PrintPreviewDialog(const PrintPage &page, int copies, const RenderOptions &options,
                       QWidget *parent = nullptr);

    int pageCount() const { return m_copies; }
    int currentPage() const { return m_current; }
    void showPage(int number);
    QString pageText() const;
    PagePreview *preview() const { return m_preview; }

private:
    PagePreview *m_preview = nullptr;
    QLabel *m_pageLabel = nullptr;
    QPushButton *m_previous = nullptr;
    QPushButton *m_next = nullptr;
    int m_copies = 1;
    int m_current = 1;
};
