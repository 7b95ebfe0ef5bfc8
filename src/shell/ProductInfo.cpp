#include "ProductInfo.h"

#include "Messages.h"

#include <QPainter>
#include <QPainterPath>
#include <QResource>

#ifndef BORVESSA_VERSION
#error "BORVESSA_VERSION must be defined by the build"
#endif

namespace ProductInfo {

QString name()
{
    return Messages::applicationTitle();
}

QString version()
{
    return QStringLiteral(BORVESSA_VERSION);
}

QString webAddress()
{
    return QStringLiteral("https://www.borvessa.example");
}

QString disclaimer()
{
    return QStringLiteral("Check every printed answer before you hand in a card.");
}

// A small card, slightly tilted, with answer lines and a green tick.
QImage drawnPicture(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 64.0, side / 64.0);

    p.save();
    p.translate(32, 32);
    p.rotate(-6);
    const QRectF card(-26, -18, 52, 36);
    p.setPen(QPen(QColor(0x44, 0x55, 0x77), 1.5));
    p.setBrush(QColor(0xf4, 0xf1, 0xe6));
    p.drawRoundedRect(card, 3, 3);
    p.setPen(QPen(QColor(0x99, 0xa4, 0xb8), 1.2));
    for (int i = 0; i < 4; ++i) {
        const qreal y = card.top() + 8 + i * 7;
        p.drawLine(QPointF(card.left() + 5, y), QPointF(card.right() - 18, y));
    }
    p.restore();

    QPainterPath tick;
    tick.moveTo(38, 40);
    tick.lineTo(46, 49);
    tick.lineTo(60, 28);
    p.setPen(QPen(QColor(0x1f, 0x9d, 0x45), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    p.end();
    return image;
}

QString builtInResource(int side)
{
    return QStringLiteral(":/borvessa/product-%1.argb").arg(side);
}

QPixmap picture(int side)
{
    const QResource built(builtInResource(side));
    if (built.isValid()) {
        const QByteArray pixels = built.uncompressedData();
        if (pixels.size() == qsizetype(side) * side * 4) {
            const QImage image(reinterpret_cast<const uchar *>(pixels.constData()), side, side, side * 4,
                               QImage::Format_ARGB32_Premultiplied);
            return QPixmap::fromImage(image); // a copy: the pixels stay with the resource
        }
    }
    return QPixmap::fromImage(drawnPicture(side));
}

void showHelp()
{
    Messages::show({QStringLiteral("Borvessa Help"), QStringLiteral("Help is available at ") + webAddress(),
                    Messages::Icon::Information});
}

} // namespace ProductInfo
