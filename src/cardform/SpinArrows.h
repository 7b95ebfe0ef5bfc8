#pragma once

#include <QWidget>

class QToolButton;

// A pair of step arrows with separate up and down clicks. Vertical arrows
// point up and down; horizontal ones point right (up) and left (down). The
// arrow keys click them when the control has the focus.
class SpinArrows : public QWidget
{
    Q_OBJECT

public:
    SpinArrows(Qt::Orientation orientation, QWidget *parent = nullptr);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

Q_SIGNALS:
    void upClick();
    void downClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
};
