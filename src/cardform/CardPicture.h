#pragma once

#include <QImage>
#include <QWidget>

// The card picture, stretched smoothly to the rectangle it is given, so the
// scanned card stays sharp at every zoom.
class CardPicture : public QWidget
{
    Q_OBJECT

public:
    explicit CardPicture(QWidget *parent = nullptr);

    const QImage &image() const { return m_image; }
    void setImage(const QImage &image);
    void clear();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
};
