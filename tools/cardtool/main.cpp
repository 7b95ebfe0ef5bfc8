#include "CardPrinter.h"
#include "CardTool.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <memory>

int main(int argc, char **argv)
{
    // Only printing needs fonts and the printer, and so a GUI application;
    // every other command runs on Qt Core alone.
    CardTool::silenceQtWarnings();
    const bool printing = argc > 1 && CardTool::isPrintingCommand(QString::fromLocal8Bit(argv[1]));
    std::unique_ptr<QCoreApplication> app;
    if (printing) {
        // The offscreen platform keeps printing free of any display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    return CardTool::runApplication([printing](CardTool &tool) {
        if (!printing)
            return;
        tool.setPrinter([](const PrintPage &page, int copies, const RenderOptions &options, QString *error) {
            CardPrinter &printer = CardPrinter::instance();
            const bool printed = printer.print(page, copies, options, error);
            if (printed && error)
                *error = printer.lastNote();
            return printed;
        });
        tool.setPagesPrinter([](const std::vector<PrintPage> &pages, int copies, QString *error) {
            CardPrinter &printer = CardPrinter::instance();
            const bool printed = printer.printPages(pages, copies, {}, error);
            if (printed && error)
                *error = printer.lastNote();
            return printed;
        });
        tool.setSheetPrinter([](const PrintPage &page, const std::function<void(QPainter &)> &paint, QString *error) {
            return CardPrinter::instance().printSheet(page, paint, error);
        });
        tool.setPrinterChooser([](const QString &printer, const QString &tray) {
            CardPrinter &system = CardPrinter::instance();
            system.choose(printer, tray);
            return system.currentPrinter();
        });
        tool.setMarginsFunction([](const PrintPage &page) { return CardPrinter::instance().unprintableMargins(page); });
    });
}
