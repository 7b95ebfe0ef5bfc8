#include "CardTool.h"
#include "PrintingModule.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    // Printing needs Qt Gui and the printer, which only the printing module
    // loads; every other command runs on Qt Core alone.
    CardTool::silenceQtWarnings();
    if (argc > 1 && CardTool::isPrintingCommand(QString::fromLocal8Bit(argv[1])))
        return PrintingModule::run(argc, argv);

    QCoreApplication app(argc, argv);
    return CardTool::runApplication();
}
