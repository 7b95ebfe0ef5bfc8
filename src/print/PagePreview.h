#pragma once

#include "PrintPage.h"
#include "RenderOptions.h"

#include <QWidget>

// Shows one printed page on screen, fitted into the widget: white paper
// with the page painted by the page renderer, so the screen shows what the
// printer gets.
class PagePreview : public QWidget
{
    Q_OBJECT

public:
    explicit PagePreview(QWidget *parent = nullptr);

    void setPage(const PrintPage &page, const RenderOptions &options);
    const PrintPage &page() const { return m_page; }
    // Where the paper is drawn, in widget coordinates.
    QRectF paperRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PrintPage m_page;
    RenderOptions m_options;
};
