#include "SysInfo.h"

#include "Messages.h"
#include "Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

// The file name in folder, matched exactly or else without regard to case,
// since installations differ in how they spell it.
QString findFile(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    if (QFileInfo(dir.filePath(name)).isFile())
        return dir.filePath(name);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return {};
}

} // namespace

QString SysInfo::programKey()
{
    return QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
}

QString SysInfo::locationKey()
{
    return QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
}

QString SysInfo::programFileName()
{
    return QStringLiteral("MSINFO32.EXE");
}

QString SysInfo::programToStart()
{
    // An empty value names no program, so the directory is tried instead.
    QString program;
    if (GetKeyValue(KeyRoot::HKEY_LOCAL_MACHINE, programKey(), QStringLiteral("PATH"), program)
        && !program.isEmpty())
        return program;

    QString folder;
    if (GetKeyValue(KeyRoot::HKEY_LOCAL_MACHINE, locationKey(), QStringLiteral("MSINFO"), folder)
        && !folder.isEmpty())
        return findFile(folder, programFileName());
    return {};
}

bool SysInfo::startProgram(const QString &program)
{
    return QProcess::startDetached(program, {});
}

bool SysInfo::StartSysInfo() const
{
    const QString program = programToStart();
    if (!program.isEmpty() && m_starter && m_starter(program))
        return true;
    Messages::show({QString(), QStringLiteral("System Information Is Unavailable At This Time"),
                    Messages::Icon::None, Messages::Buttons::Ok, Messages::Answer::Ok});
    return false;
}
