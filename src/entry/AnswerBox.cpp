#include "AnswerBox.h"

#include "Cp1252.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>

namespace {

bool countsAsFocusChange(Qt::FocusReason reason)
{
    // Switching to another application or opening a menu, also from the
    // keyboard (Alt), leaves the box as it is; only a real move of the focus
    // within the window counts.
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
        && reason != Qt::MenuBarFocusReason;
}

// Drops line breaks; returns the characters the code page cannot hold.
QString cleaned(const QString &text, QString *refused)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\r' || c == u'\n')
            continue;
        if (!Cp1252::canEncode(c)) {
            if (refused && !refused->contains(c))
                refused->append(c);
            continue;
        }
        out.append(c);
    }
    return out;
}

} // namespace

AnswerBox::AnswerBox(int index, QWidget *parent) : QLineEdit(parent), m_index(index)
{
    setFrame(false);
    setTextMargins(1, 0, 1, 0);
    setContentsMargins(0, 0, 0, 0);
    setAutoFillBackground(true);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QLineEdit::textChanged, this, &AnswerBox::onTextChanged);
}

void AnswerBox::setBordered(bool bordered)
{
    if (m_bordered != bordered) {
        m_bordered = bordered;
        update();
    }
}

void AnswerBox::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // Also on window activation: the box that the window focuses first must
    // be enlarged too; the window ignores a box already being edited.
    Q_EMIT gotFocus(m_index);
}

void AnswerBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (countsAsFocusChange(event->reason()))
        Q_EMIT lostFocus(m_index);
}

void AnswerBox::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint()) {
        QString refusedChars;
        cleaned(typed, &refusedChars);
        if (!refusedChars.isEmpty()) {
            Q_EMIT refused(m_index, refusedChars);
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void AnswerBox::inputMethodEvent(QInputMethodEvent *event)
{
    QString refusedChars;
    cleaned(event->commitString(), &refusedChars);
    if (!refusedChars.isEmpty()) {
        Q_EMIT refused(m_index, refusedChars);
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void AnswerBox::onTextChanged(const QString &text)
{
    // Pasted or inserted text passes here: keep what the card file can hold.
    // The clean text is announced again, so listeners read text().
    QString refusedChars;
    const QString clean = cleaned(text, &refusedChars);
    if (clean != text) {
        const int cursor = std::min<int>(cursorPosition(), clean.size());
        setText(clean);
        setCursorPosition(cursor);
        if (!refusedChars.isEmpty())
            Q_EMIT refused(m_index, refusedChars);
    }
}

void AnswerBox::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (m_bordered) {
        QPainter p(this);
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
