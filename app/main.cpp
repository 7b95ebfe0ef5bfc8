#include "CardFolder.h"
#include "DeferredIconStyle.h"
#include "MDIForm1.h"
#include "MessageBoxSink.h"
#include "Messages.h"
#include "PeopleUi.h"
#include "WindowSettings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#ifdef BORVESSA_QUIT_AFTER_FIRST_PAINT
#include "FirstPaint.h" // the start-up benchmark's build of the program
#endif

namespace {

// Once the window's first paint is done, readies in the background what the
// first card opened needs, so that neither the start nor that card waits.
class PreloadAfterFirstPaint : public QObject
{
public:
    explicit PreloadAfterFirstPaint(QWidget *window) : QObject(window), m_window(window)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && object->isWidgetType()
            && static_cast<QWidget *>(object)->window() == m_window) {
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, [] { MDIForm1::prepareForCards(); });
        }
        return false;
    }

private:
    QWidget *m_window;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(new DeferredIconStyle);
    QApplication::setApplicationName(QStringLiteral("Borvessa"));
    QApplication::setOrganizationName(QStringLiteral("Borvessa"));
    QApplication::setApplicationVersion(QStringLiteral(BORVESSA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("borvessa"));

    // --book WHERE: the people book, a file or a postgresql:// address, for
    // this run instead of the one in the settings. Other arguments are left
    // alone, as before.
    QCommandLineParser parser;
    const QCommandLineOption book(QStringLiteral("book"), QStringLiteral("The people book to use."),
                                  QStringLiteral("WHERE"));
    parser.addOption(book);
    parser.parse(QApplication::arguments());
    PeopleUi::setBookLocation(parser.value(book));

    MessageBoxSink sink;
    Messages::ScopedSink scoped(&sink);

    // The cards beside the program in a build tree, or the user's own copies
    // of the installed cards.
    QString cardsWarning;
    MDIForm1 window(CardFolder::resolve({}, &cardsWarning));
    if (!cardsWarning.isEmpty())
        Messages::warn(cardsWarning);
    // Without a zoom of the user's own, the first card chooses one that fits the screen.
    if (WindowSettings::hasZoom())
        window.setZoom(WindowSettings::zoom());
    WindowSettings::restorePlace(&window);
    new PreloadAfterFirstPaint(&window);
#ifdef BORVESSA_QUIT_AFTER_FIRST_PAINT
    FirstPaint::quitAfterFirstPaint(&window);
#endif
    window.show();
    return app.exec();
}
