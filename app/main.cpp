#include "CardFolder.h"
#include "DeferredIconStyle.h"
#include "MDIForm1.h"
#include "MessageBoxSink.h"
#include "Messages.h"
#include "WindowSettings.h"

#include <QApplication>

#ifdef BORVESSA_QUIT_AFTER_FIRST_PAINT
#include "FirstPaint.h" // the start-up benchmark's build of the program
#endif

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(new DeferredIconStyle);
    QApplication::setApplicationName(QStringLiteral("Borvessa"));
    QApplication::setOrganizationName(QStringLiteral("Borvessa"));
    QApplication::setApplicationVersion(QStringLiteral(BORVESSA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("borvessa"));

    MessageBoxSink sink;
    Messages::ScopedSink scoped(&sink);

    // The cards beside the program in a build tree, or the user's own copies
    // of the installed cards.
    MDIForm1 window(CardFolder::resolve());
    // Without a zoom of the user's own, the first card chooses one that fits the screen.
    if (WindowSettings::hasZoom())
        window.setZoom(WindowSettings::zoom());
    WindowSettings::restorePlace(&window);
#ifdef BORVESSA_QUIT_AFTER_FIRST_PAINT
    FirstPaint::quitAfterFirstPaint(&window);
#endif
    window.show();
    return app.exec();
}
