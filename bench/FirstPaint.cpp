#include "FirstPaint.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class Watcher : public QObject
{
public:
    explicit Watcher(QWidget *window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        // All widgets of a window are painted and flushed in one pass; a
        // queued quit runs once that pass is over.
        if (event->type() == QEvent::Paint && !m_seen && object->isWidgetType()
            && static_cast<QWidget *>(object)->window() == m_window) {
            m_seen = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
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
