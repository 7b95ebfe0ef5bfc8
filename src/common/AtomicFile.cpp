#include "AtomicFile.h"

#include <QSaveFile>

#include <cerrno>

namespace AtomicFile {

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
    // QSaveFile commits even after a failed flush or a short write, so both
    // are checked here; the system's error says more than the device's.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int code = errno;
        const QString why = code ? qt_error_string(code) : file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace AtomicFile
