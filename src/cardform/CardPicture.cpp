#include "CardPicture.h"

#include <QPainter>

CardPicture::CardPicture(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void CardPicture::setImage(const QImage &image)
{
    m_image = image;
    update();
}

void CardPicture::clear()
{
    m_image = QImage();
    update();
}

void CardPicture::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), m_image);
}
