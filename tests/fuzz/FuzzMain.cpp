#include "FuzzMain.h"

#include "Messages.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace FuzzMain {

namespace {

class SilentSink : public Messages::Sink
{
public:
    Messages::Answer show(const Messages::Message &message) override
    {
        return message.defaultAnswer;
    }
};

QTemporaryDir *g_folder = nullptr;

} // namespace

void initialise(int *argc, char ***argv)
{
    // The data folder goes first, before Qt reads any standard location.
    static QTemporaryDir folder;
    g_folder = &folder;
    qputenv("XDG_DATA_HOME", folder.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("HOME", folder.path().toLocal8Bit());
    static QCoreApplication app(*argc, *argv);
    static SilentSink sink;
    Messages::setSink(&sink);
}

QString folder()
{
    return g_folder->path();
}

void check(const QString &violation)
{
    if (violation.isEmpty())
        return;
    std::fprintf(stderr, "property violated: %s\n", violation.toLocal8Bit().constData());
    std::abort();
}

} // namespace FuzzMain
