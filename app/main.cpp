#include "MDIForm1.h"
#include "MessageBoxSink.h"
#include "Messages.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Borvessa"));
    QApplication::setOrganizationName(QStringLiteral("Borvessa"));
    QApplication::setApplicationVersion(QStringLiteral(BORVESSA_VERSION));

    MessageBoxSink sink;
    Messages::ScopedSink scoped(&sink);

    MDIForm1 window;
    window.show();
    return app.exec();
}
