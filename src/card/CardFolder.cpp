#include "CardFolder.h"


#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#ifndef BORVESSA_INSTALLED_CARDS_RELATIVE
#error "BORVESSA_INSTALLED_CARDS_RELATIVE must be defined by the build"
#endif

using namespace Qt::StringLiterals;

namespace {

// Installed files may be read-only; the user's copies hold answers, so the
// user must be able to write them.
constexpr QFileDevice::Permissions CopyPermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;

// Copies source to target through a temporary file beside target, so that a
// half-written copy never carries the card's name. The final rename never
// replaces a file, even one that appeared meanwhile.
bool copyOne(const QString &source, const QString &target, QString *reason)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *reason = in.errorString();
        return false;
    }
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        *reason = in.errorString();
        return false;
    }
    const QFileInfo targetInfo(target);
    QTemporaryFile out(targetInfo.absolutePath() + u"/."_s + targetInfo.fileName() + u".XXXXXX"_s);
    if (!out.open() || out.write(bytes) != bytes.size() || !out.flush()) {
        *reason = out.errorString();
        return false;
    }
    out.close();
    if (!QFile::setPermissions(out.fileName(), CopyPermissions)) {
        *reason = u"its permissions cannot be set"_s;
        return false;
    }
    QFile placed(out.fileName());
    if (!placed.rename(target)) {
        *reason = placed.errorString();
        return false;
    }
    out.setAutoRemove(false);
    return true;
}

// A card file's name ends in ".qcf", in any case. Matched here rather than by
// a QDir name filter, which compiles a regular expression: the first one
// compiled costs a start of the program more than listing the folder.
bool isCardFileName(const QString &name)
{
    return name.endsWith(u".qcf"_s, Qt::CaseInsensitive);
}

// A card is a regular file, or a link to one; a link to a device or a pipe is
// no card (QDir::Files leaves out pipes and devices, but not links to them).
bool isCardFile(const QFileInfo &info)
{
    return isCardFileName(info.fileName()) && info.isFile();
}

} // namespace

QString CardFolder::resolve(const QString &exeDir, QString *warning)
{
    const QString dir = QDir::cleanPath(exeDir.isEmpty() ? QCoreApplication::applicationDirPath() : exeDir);
    if (isUsableBuildFolder(dir))
        return dir;
    const QString user = userCardsFolder();
    copyMissingCards(installedCardsFolder(dir), user, warning);
    return user;
}

bool CardFolder::isUsableBuildFolder(const QString &dir)
{
    const QFileInfo info(dir);
    if (dir.isEmpty() || !info.isDir() || !info.isWritable())
        return false;
    // The first card file found is enough.
    QDirIterator it(dir, QDir::Files);
    while (it.hasNext()) {
        it.next();
        if (isCardFile(it.fileInfo()))
            return true;
    }
    return false;
}

QStringList CardFolder::cardFiles(const QString &dir)
{
    QStringList names;
    for (const QFileInfo &info : QDir(dir).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        if (isCardFile(info))
            names.append(info.fileName());
    }
    return names;
}

QString CardFolder::installedCardsFolder(const QString &exeDir)
{
    return QDir::cleanPath(exeDir + u'/' + QStringLiteral(BORVESSA_INSTALLED_CARDS_RELATIVE));
}

QString CardFolder::userCardsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Borvessa/Cards"_s;
}

QStringList CardFolder::copyMissingCards(const QString &from, const QString &to, QString *error)
{
    QStringList copied;
    QStringList problems;
    const QDir source(from);
    if (!source.exists()) {
        problems.append(u"The installed cards cannot be found: the folder %1 is missing."_s
                            .arg(QDir::toNativeSeparators(from)));
    } else if (!QDir().mkpath(to)) {
        problems.append(u"Your card folder %1 cannot be created."_s.arg(QDir::toNativeSeparators(to)));
    } else {
        const QDir target(to);
        for (const QString &name : source.entryList(QDir::Files, QDir::Name)) {
            const QString targetPath = target.filePath(name);
            const QFileInfo existing(targetPath);
            if (existing.isDir()) {
                problems.append(u"%1 could not be copied to %2: a folder of that name is in the way."_s
                                    .arg(name, QDir::toNativeSeparators(to)));
                continue;
            }
            // An existing card may hold the user's answers: never replace it.
            if (existing.exists() || existing.isSymLink())
                continue;
            QString reason;
            if (copyOne(source.filePath(name), targetPath, &reason))
                copied.append(name);
            else
                problems.append(u"%1 could not be copied to %2: %3."_s
                                    .arg(name, QDir::toNativeSeparators(to), reason));
        }
    }
    if (error)
        *error = problems.join(u'\n');
    return copied;
}
