#include "SpinArrows.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>

SpinArrows::SpinArrows(Qt::Orientation orientation, QWidget *parent) : QWidget(parent)
{
    const bool vertical = orientation == Qt::Vertical;
    m_up = new QToolButton(this);
    m_down = new QToolButton(this);
    m_up->setArrowType(vertical ? Qt::UpArrow : Qt::RightArrow);
    m_down->setArrowType(vertical ? Qt::DownArrow : Qt::LeftArrow);
    for (QToolButton *b : {m_up, m_down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setFixedSize(22, 18);
    }
    auto *layout = new QBoxLayout(vertical ? QBoxLayout::TopToBottom : QBoxLayout::RightToLeft, this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    setFocusPolicy(Qt::TabFocus);
    connect(m_up, &QToolButton::clicked, this, &SpinArrows::upClick);
    connect(m_down, &QToolButton::clicked, this, &SpinArrows::downClick);
}

void SpinArrows::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        Q_EMIT upClick();
        return;
    case Qt::Key_Down:
    case Qt::Key_Left:
        Q_EMIT downClick();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void SpinArrows::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    QStylePainter p(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    p.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
