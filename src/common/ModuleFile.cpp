#include "ModuleFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

#ifndef BORVESSA_MODULE_RELATIVE
#error "BORVESSA_MODULE_RELATIVE must be defined by the build"
#endif

using namespace Qt::StringLiterals;

namespace ModuleFile {

static QStringList candidates(const QString &fileName)
{
    // A path of its own (tests) is the one file to try.
    if (QDir::isAbsolutePath(fileName))
        return {QDir::cleanPath(fileName)};
    // The folder of the running executable itself, as no application object
    // may exist yet.
    const QString self = QFileInfo(u"/proc/self/exe"_s).canonicalFilePath();
    const QDir dir = QFileInfo(self).absoluteDir();
    return {QDir::cleanPath(dir.filePath(QStringLiteral(BORVESSA_MODULE_RELATIVE) + u'/' + fileName)),
            dir.filePath(fileName)};
}

Entry resolve(const QString &fileName, const char *entryName)
{
    const QStringList paths = candidates(fileName);
    Entry entry;
    entry.path = paths.constFirst();
    entry.error = u"not found"_s;
    for (const QString &path : paths) {
        if (!QFileInfo::exists(path))
            continue;
        // Not unloaded when the QLibrary object goes: the module stays.
        QLibrary module(path);
        entry.path = path;
        if (!module.load()) {
            entry.error = module.errorString();
            break;
        }
        // The loader gives no reason for a missing entry.
        entry.function = module.resolve(entryName);
        entry.error = entry.function ? QString() : u"it has no entry %1"_s.arg(QLatin1StringView(entryName));
        break;
    }
    return entry;
}

} // namespace ModuleFile
