// Entry of the printing module: the card tool's printing commands, run with a
// GUI application for fonts and the printer.

#include "CardPrinter.h"
#include "CardTool.h"
#include "PrintingModuleFile.h"

#include <QGuiApplication>

#include <type_traits>

extern "C" Q_DECL_EXPORT int borvessa_card_printing_main(int argc, char **argv)
{
    static_assert(std::is_same_v<decltype(&borvessa_card_printing_main), PrintingModuleFile::CardToolFunction>);
    // The offscreen platform keeps printing free of any display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CardTool::silenceQtWarnings();
    QGuiApplication app(argc, argv);
    return CardTool::runApplication([](CardTool &tool) {
        tool.enablePrinting();
        tool.setPrinter([](const PrintPage &page, int copies, const RenderOptions &options, QString *error) {
            return CardPrinter::instance().print(page, copies, options, error);
        });
        tool.setSheetPrinter([](const PrintPage &page, const std::function<void(QPainter &)> &paint, QString *error) {
            return CardPrinter::instance().printSheet(page, paint, error);
        });
        tool.setMarginsFunction([](const PrintPage &page) { return CardPrinter::instance().unprintableMargins(page); });
    });
}
