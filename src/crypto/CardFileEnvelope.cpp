#include "CardFileEnvelope.h"

#include "AtomicFile.h"
#include "clsCrypto.h"

#include <QFile>
#include <QScopeGuard>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CardFileEnvelope {

namespace {

bool failWith(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

// The service's message in brackets after what went wrong.
bool serviceFailure(QString *reason, const QString &what, const clsCrypto &crypto)
{
    return failWith(reason, QStringLiteral("%1 (%2)").arg(what, crypto.errorMsg()));
}

// Why a file of this kind cannot be a card file; empty for a regular file.
QString kindRefusal(const struct stat &info)
{
    if (S_ISREG(info.st_mode))
        return {};
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("is a folder");
    const QString kind = S_ISFIFO(info.st_mode)                      ? QStringLiteral("a named pipe")
        : S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) ? QStringLiteral("a device")
                                                         : QStringLiteral("a socket or the like");
    return QStringLiteral("it is %1, not a regular file").arg(kind);
}

// Only a regular file (a link is followed) of at most MaxCardFileBytes is
// read. Anything else is refused before it is opened, and the open does not
// block, so a pipe put in its place meanwhile never waits for a writer.
bool readCardBytes(const QString &path, QByteArray *bytes, QString *reason)
{
    const auto unreadable = [reason](const QString &why) {
        return failWith(reason, QStringLiteral("cannot be read: ") + why);
    };
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) {
        const int code = errno;
        return code == ENOENT ? failWith(reason, QStringLiteral("does not exist"))
                              : unreadable(qt_error_string(code));
    }
    if (const QString refusal = kindRefusal(info); !refusal.isEmpty())
        return unreadable(refusal);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return unreadable(qt_error_string(errno));
    const auto closing = qScopeGuard([fd] { ::close(fd); });
    if (::fstat(fd, &info) != 0)
        return unreadable(qt_error_string(errno));
    if (const QString refusal = kindRefusal(info); !refusal.isEmpty())
        return unreadable(refusal);
    const auto tooLarge = [&unreadable](qint64 size) {
        return unreadable(QStringLiteral("it is too large for a card file (%1 bytes; at most %2)")
                              .arg(size)
                              .arg(MaxCardFileBytes));
    };
    if (info.st_size > MaxCardFileBytes)
        return tooLarge(info.st_size);
    // The file may grow while it is read: one byte past the limit is enough
    // to refuse it.
    QByteArray data;
    data.reserve(qsizetype(info.st_size) + 1);
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return unreadable(qt_error_string(errno));
        if (n == 0)
            break;
        data.append(chunk, n);
        if (data.size() > MaxCardFileBytes)
            return tooLarge(data.size());
    }
    if (data.isEmpty())
        return failWith(reason, QStringLiteral("is empty (0 bytes)"));
    *bytes = std::move(data);
    return true;
}

} // namespace

QByteArray passPhrase()
{
    return QByteArrayLiteral("tolm QXwz7 brenakuvo ot plenu ex hvab dus gret oz umal k ipo rudh a ve ko sr n "
                             "opwe lim qxt cmar");
}

bool decrypt(const QByteArray &fileBytes, QByteArray *cardText, QString *reason)
{
    const QString what = QStringLiteral("cannot be decrypted");
    clsCrypto crypto;
    if (!crypto.providerHandle())
        return serviceFailure(reason, what, crypto);
    crypto.setPassword(passPhrase());
    if (!crypto.GeneratePasswordKey())
        return serviceFailure(reason, what, crypto);
    crypto.setInBuffer(fileBytes);
    if (!crypto.DecryptFileData()) {
        if (crypto.corrupted())
            return failWith(reason, QStringLiteral("has been corrupted since original encryption (%1)")
                                        .arg(crypto.damagedFrame() ? QStringLiteral("damaged frame")
                                                                   : QStringLiteral("digest mismatch")));
        // Bytes that do not decrypt under the card key at all: some other
        // file, or a card cut short or overwritten.
        if (crypto.lastErrorCode() == CryptoProvider::NTE_BAD_DATA)
            return failWith(reason, QStringLiteral("is not a Borvessa card, or it is damaged"));
        return serviceFailure(reason, what, crypto);
    }
    if (cardText)
        *cardText = crypto.outBuffer();
    return true;
}

bool encrypt(const QByteArray &cardText, QByteArray *fileBytes, QString *reason)
{
    const QString what = QStringLiteral("cannot be encrypted");
    clsCrypto crypto;
    if (!crypto.providerHandle())
        return serviceFailure(reason, what, crypto);
    crypto.setInBuffer(cardText);
    if (!crypto.HashFile())
        return serviceFailure(reason, what, crypto);
    crypto.setPassword(passPhrase());
    if (!crypto.GeneratePasswordKey())
        return serviceFailure(reason, what, crypto);
    crypto.setInBuffer(cardText);
    if (!crypto.EncryptFileData() || !crypto.DestroySessionKey())
        return serviceFailure(reason, what, crypto);
    if (fileBytes)
        *fileBytes = crypto.outBuffer();
    return true;
}

bool readCardFile(const QString &path, QByteArray *cardText, QString *reason)
{
    QByteArray bytes;
    if (!readCardBytes(path, &bytes, reason))
        return false;
    return decrypt(bytes, cardText, reason);
}

bool writeCardFile(const QString &path, const QByteArray &cardText, QString *reason)
{
    QByteArray bytes;
    if (!encrypt(cardText, &bytes, reason))
        return false;
    return AtomicFile::write(path, bytes, reason);
}

} // namespace CardFileEnvelope
