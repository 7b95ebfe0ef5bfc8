#include "PrintingModule.h"

#include "CardTool.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace PrintingModule {

// Where the module is looked for: its installed folder relative to the tool,
// then the tool's own folder (the build tree).
static QStringList candidates()
{
    // No application object exists yet, so the tool's folder comes from the
    // running executable itself.
    const QString self = QFileInfo(u"/proc/self/exe"_s).canonicalFilePath();
    const QDir dir = QFileInfo(self).absoluteDir();
    return {QDir::cleanPath(dir.filePath(QStringLiteral(BORVESSA_PRINTING_MODULE_RELATIVE)
                                         + u'/' + QLatin1StringView(FileName))),
            dir.filePath(QLatin1StringView(FileName))};
}

int run(int argc, char **argv)
{
    QString reason = u"not found"_s;
    QString tried;
    for (const QString &path : candidates()) {
        if (!QFileInfo::exists(path))
            continue;
        QLibrary module(path);
        const auto entry = reinterpret_cast<Entry>(module.resolve(EntryName));
        if (entry)
            return entry(argc, argv); // the module stays loaded until the process ends
        tried = path;
        reason = module.errorString();
        break;
    }
    if (tried.isEmpty())
        tried = candidates().constFirst();
    const QByteArray message = u"borvessa-card: the printing module %1 cannot be loaded: %2\n"_s
                                   .arg(QDir::toNativeSeparators(tried), reason)
                                   .toLocal8Bit();
    std::fwrite(message.constData(), 1, size_t(message.size()), stderr);
    return CardTool::BadCard;
}

} // namespace PrintingModule
