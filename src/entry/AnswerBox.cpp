#include "AnswerBox.h"

#include "Cp1252.h"

#include <QMouseEvent>
#include <QPen>

#include <QAccessible>
#include <QAccessibleWidget>
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

const QColor MarkColor(200, 0, 0);

// A tick box as screen readers meet it: a check box named by its question,
// checked while it holds a tick, with its group in the description.
class TickBoxAccessible : public QAccessibleWidget
{
public:
    explicit TickBoxAccessible(AnswerBox *box) : QAccessibleWidget(box, QAccessible::CheckBox) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = static_cast<const AnswerBox *>(widget())->isTicked();
        s.editable = false;
        return s;
    }
    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString &name) override
    {
        if (name == toggleAction() || name == pressAction()) {
            auto *box = static_cast<AnswerBox *>(widget());
            Q_EMIT box->tickRequested(box->index(), !box->isTicked());
        }
    }
};

QAccessibleInterface *tickBoxAccessible(const QString &, QObject *object)
{
    auto *box = qobject_cast<AnswerBox *>(object);
    return box && box->isTick() ? new TickBoxAccessible(box) : nullptr;
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
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(tickBoxAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
}

void AnswerBox::setTick(bool tick)
{
    if (m_tick == tick)
        return;
    m_tick = tick;
    // Nothing is typed into a tick box: no cursor, no paste, no undo.
    setReadOnly(tick);
    // The accessible interface depends on the kind; a new one is made when
    // it is asked for next.
    if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(this))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
    update();
}

bool AnswerBox::isTicked() const
{
    return !text().trimmed().isEmpty();
}

void AnswerBox::setMark(const QString &why)
{
    if (m_mark == why)
        return;
    m_mark = why;
    update();
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

bool AnswerBox::tickKey(QKeyEvent *event)
{
    const QString typed = event->text();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain && event->key() == Qt::Key_Space) {
        Q_EMIT tickRequested(m_index, !isTicked());
    } else if (plain && (typed == u"x" || typed == u"X")) {
        Q_EMIT tickRequested(m_index, true);
    } else if (plain && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace)) {
        Q_EMIT tickRequested(m_index, false);
    } else if (plain && !typed.isEmpty() && typed.at(0).isPrint()) {
        Q_EMIT tickRefused(m_index);
    } else {
        return false;
    }
    event->accept();
    return true;
}

void AnswerBox::keyPressEvent(QKeyEvent *event)
{
    if (m_tick && tickKey(event))
        return;
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
    if (m_tick) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
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

void AnswerBox::mousePressEvent(QMouseEvent *event)
{
    if (!m_tick) {
        QLineEdit::mousePressEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        Q_EMIT tickRequested(m_index, !isTicked());
    }
    event->accept();
}

void AnswerBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Two quick clicks on a tick box are two toggles, not a word selection.
    if (m_tick)
        mousePressEvent(event);
    else
        QLineEdit::mouseDoubleClickEvent(event);
}

void AnswerBox::paintTick()
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    if (!isTicked())
        return;
    // Two strokes crossing at the middle of the box, in device-independent
    // coordinates, so the mark is centred at every zoom.
    const QRectF r(rect());
    const qreal side = std::min(r.width(), r.height()) * 0.6;
    const QRectF mark(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::Text), std::max<qreal>(1.0, side / 6), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(mark.topLeft(), mark.bottomRight());
    p.drawLine(mark.topRight(), mark.bottomLeft());
}

void AnswerBox::paintEvent(QPaintEvent *event)
{
    if (m_tick)
        paintTick();
    else
        QLineEdit::paintEvent(event);
    if (m_bordered || !m_mark.isEmpty()) {
        QPainter p(this);
        if (m_bordered) {
            p.setPen(QColor(0x40, 0x40, 0x40));
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        }
        // A wrong answer gets a red frame inside the box's edge.
        if (!m_mark.isEmpty()) {
            p.setPen(QPen(MarkColor, 2));
            p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
        }
    }
}
