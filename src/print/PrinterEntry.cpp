// The printing module's entry for the window: the process's one system
// printer. The module keeps its own copies of the print code; the printer
// returns every failure as text and shows no message itself.

#include "CardPrinter.h"
#include "PrintingModuleFile.h"

#include <QGuiApplication>

#include <type_traits>

extern "C" Q_DECL_EXPORT CardPrinting *borvessa_card_printer()
{
    static_assert(std::is_same_v<decltype(&borvessa_card_printer), PrintingModuleFile::PrinterFunction>);
    // The printer needs the GUI application object, and goes with it.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return nullptr;
    return &CardPrinter::instance();
}
