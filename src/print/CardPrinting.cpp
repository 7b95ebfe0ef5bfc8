#include "CardPrinting.h"

#include "ModuleFile.h"
#include "PrintingModuleFile.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

QString &moduleFileOverride()
{
    static QString fileName;
    return fileName;
}

} // namespace

CardPrinting *CardPrinting::systemPrinter(QString *error)
{
    // Not kept here: a module stays loaded, so resolving again is cheap, and
    // the printer's lifetime is the module's business (it goes with the
    // application object).
    const QString &override = moduleFileOverride();
    const QString fileName = override.isEmpty() ? QLatin1StringView(PrintingModuleFile::FileName) : override;
    const ModuleFile::Entry module = ModuleFile::resolve(fileName, PrintingModuleFile::PrinterEntry);
    CardPrinting *printer = module.function ? reinterpret_cast<PrintingModuleFile::PrinterFunction>(module.function)() : nullptr;
    if (!printer && error) {
        const QString reason = module.function ? u"it has no printer without the application object"_s : module.error;
        *error = u"The printing module %1 cannot be loaded: %2"_s.arg(QDir::toNativeSeparators(module.path), reason);
    }
    return printer;
}

void CardPrinting::setModuleFileName(const QString &fileName)
{
    moduleFileOverride() = fileName;
}
