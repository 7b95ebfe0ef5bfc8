#include "PagePreview.h"

#include "PageRenderer.h"

#include <QPainter>

namespace {

constexpr qreal Border = 12; // pixels of background around the paper

} // namespace

PagePreview::PagePreview(QWidget *parent) : QWidget(parent)
{
    setBackgroundRole(QPalette::Dark);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PagePreview::setPage(const PrintPage &page, const RenderOptions &options)
{
    m_page = page;
    m_options = options;
    update();
}

QRectF PagePreview::paperRect() const
{
    const qreal w = m_page.pageWidth();
    const qreal h = m_page.pageHeight();
    const QRectF room = QRectF(rect()).adjusted(Border, Border, -Border, -Border);
    if (!(w > 0) || !(h > 0) || room.isEmpty())
        return {};
    const qreal zoom = std::min(room.width() / w, room.height() / h);
    QRectF paper(0, 0, w * zoom, h * zoom);
    paper.moveCenter(room.center());
    return paper;
}

QSize PagePreview::sizeHint() const
{
    // The page at screen size, within reason.
    const qreal w = m_page.pageWidth() * logicalDpiX() / 1440.0;
    const qreal h = m_page.pageHeight() * logicalDpiY() / 1440.0;
    return QSize(std::clamp(int(w + 2 * Border), 200, 900), std::clamp(int(h + 2 * Border), 200, 700));
}

void PagePreview::paintEvent(QPaintEvent *)
{
    const QRectF paper = paperRect();
    if (paper.isEmpty())
        return;
    QPainter painter(this);
    painter.fillRect(paper.translated(3, 3), QColor(0, 0, 0, 80));
    painter.fillRect(paper, Qt::white);
    painter.setClipRect(paper);
    PageRenderer::paintPage(painter, m_page, paper, m_options);
}
