#include "CardPrinter.h"
#include "CardTool.h"

#include "Messages.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstring>
#include <memory>

int main(int argc, char **argv)
{
    // Printing needs fonts and the printer support, which need a GUI
    // application; the offscreen platform keeps it free of any display.
    const bool printing = argc > 1 && std::strcmp(argv[1], "print") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (printing) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // Messages of the crypto service are folded into the tool's own error
    // lines; nothing is ever shown in a window.
    Messages::RecordingSink sink;
    Messages::ScopedSink scoped(&sink);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    CardTool tool(stdout, stderr);
    tool.setPrinter([](const PrintPage &page, int copies, const RenderOptions &options, QString *error) {
        return CardPrinter::instance().print(page, copies, options, error);
    });
    return tool.run(args);
}
