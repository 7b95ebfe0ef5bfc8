#include "PagePreview.h"

#include "PageRenderer.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal Border = 12; // pixels of background around the sheet
const QColor UnprintableShade(120, 120, 120, 70);
const QColor MisfitColor(220, 0, 0);

} // namespace

PagePreview::PagePreview(QWidget *parent) : QWidget(parent)
{
    setBackgroundRole(QPalette::Dark);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PagePreview::setPage(const PrintPage &page, const RenderOptions &options, const SheetModel &sheet)
{
    m_page = page;
    m_options = options;
    m_sheet = sheet;
    updateGeometry();
    update();
}

QRectF PagePreview::world() const
{
    QRectF w(0, 0, m_page.pageWidth(), m_page.pageHeight());
    if (m_sheet.card.width > 0 && m_sheet.card.height > 0)
        w |= m_sheet.card.toRectF();
    for (const Misfit &m : m_sheet.misfits) {
        if (m.where.width > 0 && m.where.height > 0)
            w |= m.where.toRectF();
    }
    return w;
}

qreal PagePreview::zoom() const
{
    const QRectF w = world();
    const QRectF room = QRectF(rect()).adjusted(Border, Border, -Border, -Border);
    if (!(w.width() > 0) || !(w.height() > 0) || room.isEmpty())
        return 0;
    return std::min(room.width() / w.width(), room.height() / w.height());
}

QPointF PagePreview::toWidget(const QPointF &twips) const
{
    const qreal z = zoom();
    const QRectF w = world();
    const QRectF room = QRectF(rect()).adjusted(Border, Border, -Border, -Border);
    const QPointF origin = room.center() - QPointF(w.width() * z / 2, w.height() * z / 2);
    return origin + (twips - w.topLeft()) * z;
}

QRectF PagePreview::paperRect() const
{
    if (!(zoom() > 0))
        return {};
    return QRectF(toWidget({0, 0}), toWidget({m_page.pageWidth(), m_page.pageHeight()}));
}

QRectF PagePreview::cardRect() const
{
    if (!(zoom() > 0))
        return {};
    return QRectF(toWidget(m_sheet.card.toRectF().topLeft()), toWidget(m_sheet.card.toRectF().bottomRight()));
}

QSize PagePreview::sizeHint() const
{
    // The sheet at screen size, within reason.
    const QRectF w = world();
    const qreal x = w.width() * logicalDpiX() / 1440.0;
    const qreal y = w.height() * logicalDpiY() / 1440.0;
    return QSize(std::clamp(int(x + 2 * Border), 200, 900), std::clamp(int(y + 2 * Border), 200, 700));
}

void PagePreview::paintEvent(QPaintEvent *)
{
    const QRectF paper = paperRect();
    if (paper.isEmpty())
        return;
    QPainter painter(this);
    painter.fillRect(paper.translated(3, 3), QColor(0, 0, 0, 80));
    painter.fillRect(paper, Qt::white);

    // From here on, painter units are twips of the sheet.
    const qreal z = zoom();
    painter.translate(toWidget({0, 0}));
    painter.scale(z, z);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF page(0, 0, m_page.pageWidth(), m_page.pageHeight());

    if (m_options.drawPicture && !m_options.picture.isNull() && m_sheet.card.width > 0) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setOpacity(m_options.pictureOpacity);
        painter.drawImage(m_sheet.card.toRectF(), m_options.picture);
        painter.restore();
    }
    // The card's edge, where it is not the paper's.
    if (m_sheet.card.toRectF() != page && m_sheet.card.width > 0) {
        painter.setPen(QPen(QColor(0, 0, 160), 0, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_sheet.card.toRectF());
    }

    if (m_sheet.hasUnprintable) {
        QPainterPath shade;
        shade.addRect(page);
        shade.addRect(page.marginsRemoved(m_sheet.unprintable));
        painter.fillPath(shade, UnprintableShade);
    }

    // The answers, only where paper takes ink.
    painter.save();
    painter.setClipRect(page);
    RenderOptions answers = m_options;
    answers.drawPicture = false;
    PageRenderer::paintPage(painter, m_page, page, answers);
    painter.restore();

    painter.setPen(QPen(MisfitColor, 2 / z));
    painter.setBrush(QColor(220, 0, 0, 40));
    for (const Misfit &m : m_sheet.misfits) {
        const QRectF r = m.where.toRectF().adjusted(-10, -10, 10, 10);
        painter.drawRect(r);
    }
}
