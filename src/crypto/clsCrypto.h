#pragma once

#include "CryptoProvider.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

// The crypto service: password keys, message and card-file encryption with an
// embedded MD5 digest, and RSA key exchange, over the user's default key
// container. It never talks to the user: every failure is left in errorMsg()
// and failures(), for the caller to show; the methods return true on success.
class clsCrypto
{
public:
    using Handle = CryptoProvider::Handle;

    clsCrypto();
    ~clsCrypto();
    clsCrypto(const clsCrypto &) = delete;
    clsCrypto &operator=(const clsCrypto &) = delete;

    QByteArray password() const { return m_password; }
    void setPassword(const QByteArray &password) { m_password = password; }
    QByteArray inBuffer() const { return m_inBuffer; }
    void setInBuffer(const QByteArray &data) { m_inBuffer = data; }
    QByteArray outBuffer() const { return m_outBuffer; }
    QByteArray exportKey() const { return m_exportKey; }
    QByteArray importKey() const { return m_importKey; }
    void setImportKey(const QByteArray &blob) { m_importKey = blob; }
    QByteArray sessionKey() const { return m_sessionKey; }
    void setSessionKey(const QByteArray &blob) { m_sessionKey = blob; }
    // The last failure's text.
    QString errorMsg() const { return m_errorMsg; }
    // Every failure's text since the object was made, in order.
    QStringList failures() const { return m_failures; }
    QByteArray hashValue() const { return m_hashValue; }
    std::uint32_t hashLength() const { return m_hashLength; }

    Handle providerHandle() const { return m_providerHandle; }
    Handle keyPairHandle() const { return m_keyPairHandle; }
    Handle publicKeyHandle() const { return m_publicKeyHandle; }
    Handle sessionKeyHandle() const { return m_sessionKeyHandle; }

    // The provider's code for the last failure this object reported.
    std::uint32_t lastErrorCode() const { return m_lastErrorCode; }
    // After DecryptFileData refused a text as corrupted: true when the frame
    // itself was damaged (no two-digit digest length, or too short for its
    // digest), false when only the digest did not match.
    bool damagedFrame() const { return m_damagedFrame; }
    // Whether the last DecryptFileData refused the text as corrupted.
    bool corrupted() const { return m_corrupted; }

    bool ExportPublicKey();
    bool ImportPublicKey();
    bool GeneratePasswordKey();
    bool EncryptMessageData();
    bool DestroySessionKey();
    bool DecryptMessageData();
    bool HashFile();
    bool EncryptFileData();
    bool DecryptFileData();
    bool GetExchangeKeypair();
    bool CreateAndExportSessionKey();
    bool ImportSessionKey();

private:
    bool AcquireKeyContainer();
    // Record the provider's last error and the message and return false:
    // "Error <code> during <call>!" and "<prefix><code>".
    bool failDuring(const char *call);
    bool failWithCode(const QString &prefix);
    bool fail(std::uint32_t code, const QString &message);
    // Records the corruption notice, empties the output and returns false.
    bool rejectCorrupted(bool damagedFrame = false);
    bool hashInBuffer(Handle hash);
    // Replaces a held key handle, quietly releasing the one it held before.
    static void replaceKey(Handle *slot, Handle key);

    QByteArray m_password;
    QByteArray m_inBuffer;
    QByteArray m_outBuffer;
    QByteArray m_exportKey;
    QByteArray m_importKey;
    QByteArray m_sessionKey;
    QString m_errorMsg;
    QStringList m_failures;
    QByteArray m_hashValue;
    std::uint32_t m_hashLength = 0;
    std::uint32_t m_lastErrorCode = 0;
    bool m_damagedFrame = false;
    bool m_corrupted = false;

    Handle m_providerHandle = 0;
    Handle m_keyPairHandle = 0;
    Handle m_publicKeyHandle = 0;
    Handle m_sessionKeyHandle = 0;
};
