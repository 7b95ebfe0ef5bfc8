#include "CardTool.h"

#include "Messages.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Messages of the crypto service are folded into the tool's own error
    // lines; nothing is ever shown in a window.
    Messages::RecordingSink sink;
    Messages::ScopedSink scoped(&sink);
    QStringList args = app.arguments();
    args.removeFirst();
    return CardTool(stdout, stderr).run(args);
}
