#include "AtomicFile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace AtomicFile {

// Makes the folder's entries durable, so that a rename into it survives a
// power cut. 0 on success (or where the file system cannot flush a folder),
// else the error number.
static int syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int code = 0;
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP)
        code = errno;
    ::close(fd);
    return code;
}

bool write(const QString &path, const QByteArray &bytes, QString *reason,
           std::optional<QFileDevice::Permissions> permissions)
{
    const auto fail = [reason](const QString &why) {
        if (reason)
            *reason = QStringLiteral("cannot be written: ") + why;
        return false;
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (permissions && !file.setPermissions(*permissions))
        return fail(file.errorString());
    // QSaveFile commits even after a failed flush or a short write, and it
    // ignores a failed flush to disk, so all three are checked here; the
    // system's error says more than the device's.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        const int code = errno;
        const QString why = code ? qt_error_string(code) : file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    // The new content has its name now; the folder is flushed so that the
    // rename is on disk too, or the old file might come back after a crash.
    if (const int code = syncFolder(QFileInfo(path).absolutePath()))
        return fail(QStringLiteral("its folder cannot be flushed to disk: ") + qt_error_string(code));
    return true;
}

} // namespace AtomicFile
