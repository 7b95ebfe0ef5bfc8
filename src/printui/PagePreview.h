#pragma once

#include "PrintPage.h"
#include "RenderOptions.h"
#include "SheetModel.h"

#include <QWidget>

// Shows one printed page on screen as the paper gets it: white paper, the
// faint blank card where it lies on the sheet, the answers where they will
// print, the printer's unprintable margins shaded and the misfits marked.
// The whole page and the whole card are always in view.
class PagePreview : public QWidget
{
    Q_OBJECT

public:
    explicit PagePreview(QWidget *parent = nullptr);

    void setPage(const PrintPage &page, const RenderOptions &options, const SheetModel &sheet);
    const PrintPage &page() const { return m_page; }
    const SheetModel &sheet() const { return m_sheet; }
    // Where the paper and the blank card are drawn, in widget coordinates.
    QRectF paperRect() const;
    QRectF cardRect() const;
    // A point of the sheet in twips, in widget coordinates.
    QPointF toWidget(const QPointF &twips) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The part of the sheet in view, in twips: the page, the card and every
    // misfit.
    QRectF world() const;
    qreal zoom() const;

    PrintPage m_page;
    RenderOptions m_options;
    SheetModel m_sheet;
};
