#include "CardFileEnvelope.h"

#include "AtomicFile.h"
#include "clsCrypto.h"

#include <QFile>
#include <QFileInfo>

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
        // A refused frame is the one failure that leaves no error message.
        if (crypto.errorMsg().isEmpty())
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
    const QFileInfo info(path);
    if (!info.exists())
        return failWith(reason, QStringLiteral("does not exist"));
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        const QString why = info.isDir() ? QStringLiteral("is a folder") : file.errorString();
        return failWith(reason, QStringLiteral("cannot be read: ") + why);
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failWith(reason, QStringLiteral("cannot be read: ") + file.errorString());
    if (bytes.isEmpty())
        return failWith(reason, QStringLiteral("is empty (0 bytes)"));
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
