#pragma once

#include <QLineEdit>

// One answer box of the card window. It reports focus gained and lost to the
// window (not when the whole application window is activated or a menu
// opens), refuses characters that a card file cannot hold, and never takes
// a line break.
//
// A tick box shows a mark centred in its square instead of its text. Space
// and a click toggle it, x or X ticks it, Delete and Backspace clear it; the
// box asks the window, which changes the answer. Screen readers meet it as
// a check box.
class AnswerBox : public QLineEdit
{
    Q_OBJECT

public:
    AnswerBox(int index, QWidget *parent = nullptr);

    int index() const { return m_index; }
    void setBordered(bool bordered);
    bool isBordered() const { return m_bordered; }
    void setTick(bool tick);
    bool isTick() const { return m_tick; }
    // A tick box is ticked when its answer holds anything but spaces.
    bool isTicked() const;
    // Frames an answer that is wrong in red; why is kept for the window's
    // tool tip. Empty clears.
    void setMark(const QString &why);
    QString mark() const { return m_mark; }

Q_SIGNALS:
    void gotFocus(int index);
    void lostFocus(int index);
    // A character the card file cannot hold was typed or pasted; the box
    // keeps only what it can hold, so listeners read text() afterwards.
    void refused(int index, const QString &characters);
    // The user ticked or cleared a tick box.
    void tickRequested(int index, bool ticked);
    // A key that a tick box does not take was typed.
    void tickRefused(int index);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void onTextChanged(const QString &text);
    bool tickKey(QKeyEvent *event);
    void paintTick();

    int m_index = 0;
    bool m_bordered = false;
    bool m_tick = false;
    QString m_mark;
};
