#include "WelcomePanel.h"

#include "ProductInfo.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <QtMath>

using namespace Qt::StringLiterals;

namespace {

// A line of plain text at a multiple of its font's size. The text is drawn
// through a scaled painter, so its glyphs come from the font engine the
// window already has: a font of another size is another engine, whose
// set-up (a font match through fontconfig) would delay the first paint.
class ScaledTextLabel : public QLabel
{
public:
    ScaledTextLabel(const QString &text, qreal scale, QWidget *parent)
        : QLabel(text, parent), m_scale(scale)
    {
        setTextFormat(Qt::PlainText);
    }

    QSize sizeHint() const override
    {
        const QFontMetricsF metrics(font());
        const QSizeF text(metrics.horizontalAdvance(this->text()) * m_scale, metrics.height() * m_scale);
        const QMargins m = contentsMargins();
        return QSize(qCeil(text.width()) + m.left() + m.right(), qCeil(text.height()) + m.top() + m.bottom());
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.scale(m_scale, m_scale);
        const QRectF area = contentsRect().toRectF();
        painter.drawText(QRectF(area.topLeft() / m_scale, area.size() / m_scale), int(alignment()), text());
    }

private:
    qreal m_scale;
};

} // namespace

WelcomePanel::WelcomePanel(QWidget *parent) : QWidget(parent)
{
    auto *picture = new QLabel(this);
    picture->setFixedSize(300, 220);
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(ProductInfo::picture(200));
    // Twice the size of the window's font, in its regular face: a bold face
    // is a second font file to find and open before the first paint.
    auto *name = new ScaledTextLabel(ProductInfo::name(), 2.0, this);
    name->setAlignment(Qt::AlignCenter);
    auto *address = new QLabel(ProductInfo::webAddress(), this);
    address->setTextFormat(Qt::PlainText);
    address->setAlignment(Qt::AlignCenter);
    auto *hint = new QLabel(u"Choose a card in the CustomCard menu."_s, this);
    hint->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    layout->addWidget(name);
    layout->addWidget(address);
    layout->addWidget(hint);
    layout->addStretch();
}
