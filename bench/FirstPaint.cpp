#include "FirstPaint.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

namespace {

class Watcher : public QObject
{
public:
    explicit Watcher(QWidget *window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        // All widgets of a window are painted and flushed in one pass; a
        // queued exit runs once that pass is over. It leaves at once, as the
        // start-up ends there: what a program does on closing (saving its
        // settings, say) is not timed.
        if (event->type() == QEvent::Paint && !m_seen && object->isWidgetType()
            && static_cast<QWidget *>(object)->window() == m_window) {
            m_seen = true;
            QTimer::singleShot(0, [] { std::_Exit(0); });
        }
        return false;
    }

private:
    QWidget *m_window;
    bool m_seen = false;
};

} // namespace

namespace FirstPaint {

void quitAfterFirstPaint(QWidget *window)
{
    qApp->installEventFilter(new Watcher(window));
}

} // namespace FirstPaint
