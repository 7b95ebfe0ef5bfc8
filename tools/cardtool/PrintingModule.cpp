#include "PrintingModule.h"

#include "CardTool.h"

#include "ModuleFile.h"
#include "PrintingModuleFile.h"

#include <QDir>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace PrintingModule {

int run(int argc, char **argv)
{
    const ModuleFile::Entry module = ModuleFile::resolve(QLatin1StringView(PrintingModuleFile::FileName),
                                                         PrintingModuleFile::CardToolEntry);
    if (module.function)
        return reinterpret_cast<PrintingModuleFile::CardToolFunction>(module.function)(argc, argv);
    const QByteArray message = u"borvessa-card: the printing module %1 cannot be loaded: %2\n"_s
                                   .arg(QDir::toNativeSeparators(module.path), module.error)
                                   .toLocal8Bit();
    std::fwrite(message.constData(), 1, size_t(message.size()), stderr);
    return CardTool::BadCard;
}

} // namespace PrintingModule
