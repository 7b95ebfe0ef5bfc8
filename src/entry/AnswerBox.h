#pragma once

#include <QLineEdit>

// One answer box of the card window. It reports focus gained and lost to the
// window (not when the whole application window is activated or a menu
// opens), refuses characters that a card file cannot hold, and never takes
// a line break.
class AnswerBox : public QLineEdit
{
    Q_OBJECT

public:
    AnswerBox(int index, QWidget *parent = nullptr);

    int index() const { return m_index; }
    void setBordered(bool bordered);
    bool isBordered() const { return m_bordered; }

Q_SIGNALS:
    void gotFocus(int index);
    void lostFocus(int index);
    // A character the card file cannot hold was typed or pasted; the box
    // keeps only what it can hold, so listeners read text() afterwards.
    void refused(int index, const QString &characters);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void onTextChanged(const QString &text);

    int m_index = 0;
    bool m_bordered = false;
};
