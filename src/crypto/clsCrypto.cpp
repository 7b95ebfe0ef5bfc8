#include "clsCrypto.h"


#include <limits>

namespace CP = CryptoProvider;

namespace {

// Error codes appear in messages as signed 32-bit numbers, so 0x80090005 reads -2146893819.
QString signedDecimal(std::uint32_t code)
{
    return QString::number(static_cast<std::int32_t>(code));
}

// Lengths handed to the provider; anything too long for it is refused there.
std::uint32_t byteCount(const QByteArray &bytes)
{
    constexpr auto max = std::numeric_limits<std::uint32_t>::max();
    return bytes.size() > qsizetype(max) ? max : std::uint32_t(bytes.size());
}

unsigned char *bytesOf(QByteArray &bytes)
{
    return reinterpret_cast<unsigned char *>(bytes.data());
}

const unsigned char *constBytesOf(const QByteArray &bytes)
{
    return reinterpret_cast<const unsigned char *>(bytes.constData());
}

QString userKeyErrorName(std::uint32_t code)
{
    switch (code) {
    case CP::NTE_BAD_UID:
        return QStringLiteral("Bad handle");
    case CP::NTE_BAD_KEY:
        return QStringLiteral("Bad key");
    case CP::ERROR_INVALID_HANDLE:
        return QStringLiteral("Invalid handle");
    case CP::ERROR_INVALID_PARAMETER:
        return QStringLiteral("Invalid parameter");
    default:
        return {};
    }
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

clsCrypto::clsCrypto()
{
    AcquireKeyContainer();
}

clsCrypto::~clsCrypto()
{
    if (m_sessionKeyHandle)
        CP::destroyKey(m_sessionKeyHandle);
    if (m_publicKeyHandle)
        CP::destroyKey(m_publicKeyHandle);
    if (m_keyPairHandle)
        CP::destroyKey(m_keyPairHandle);
    if (m_providerHandle)
        CP::releaseContext(m_providerHandle);
}

// Opens the user's default key container, creating it on first use; its
// file is written only once a key pair is made (GetExchangeKeypair).
bool clsCrypto::AcquireKeyContainer()
{
    Handle prov = 0;
    if (CP::acquireContext(&prov, {}, CP::kBaseProviderName, CP::PROV_RSA_FULL, 0)
        || CP::acquireContext(&prov, {}, CP::kBaseProviderName, CP::PROV_RSA_FULL, CP::CRYPT_NEWKEYSET)) {
        m_providerHandle = prov;
        return true;
    }
    const std::uint32_t code = CP::lastError();
    fail(code, QStringLiteral("Error creating key container - ") + signedDecimal(code));
    return fail(code, QStringLiteral("Unable to initialize CryptoAPI."));
}

bool clsCrypto::fail(std::uint32_t code, const QString &message)
{
    m_lastErrorCode = code;
    m_errorMsg = message;
    m_failures << message;
    return false;
}

bool clsCrypto::failDuring(const char *call)
{
    const std::uint32_t code = CP::lastError();
    return fail(code, QStringLiteral("Error %1 during %2!").arg(signedDecimal(code), QLatin1String(call)));
}

bool clsCrypto::failWithCode(const QString &prefix)
{
    const std::uint32_t code = CP::lastError();
    return fail(code, prefix + signedDecimal(code));
}

bool clsCrypto::rejectCorrupted(bool damagedFrame)
{
    m_damagedFrame = damagedFrame;
    m_corrupted = true;
    m_errorMsg = QStringLiteral("File has been corrupted since original encryption.");
    m_failures << m_errorMsg;
    m_outBuffer.clear();
    return false;
}

void clsCrypto::replaceKey(Handle *slot, Handle key)
{
    if (*slot && *slot != key)
        CP::destroyKey(*slot);
    *slot = key;
}

bool clsCrypto::GeneratePasswordKey()
{
    Handle hash = 0;
    if (!CP::createHash(m_providerHandle, CP::CALG_MD5, 0, 0, &hash))
        return failDuring("CryptCreateHash");
    if (!CP::hashData(hash, m_password.constData(), byteCount(m_password), 0)) {
        failDuring("CryptHashData");
        CP::destroyHash(hash);
        return false;
    }
    Handle key = 0;
    if (!CP::deriveKey(m_providerHandle, CP::CALG_RC2, hash, 0, &key)) {
        failDuring("CryptDeriveKey");
        CP::destroyHash(hash);
        return false;
    }
    replaceKey(&m_sessionKeyHandle, key);
    if (!CP::destroyHash(hash))
        return failDuring("CryptDestroyHash");
    return true;
}

bool clsCrypto::HashFile()
{
    Handle hash = 0;
    if (!CP::createHash(m_providerHandle, CP::CALG_MD5, 0, 0, &hash))
        return failDuring("CryptCreateHash");
    const bool hashed = hashInBuffer(hash);
    CP::destroyHash(hash);
    return hashed;
}

bool clsCrypto::hashInBuffer(Handle hash)
{
    // The provider takes 32-bit lengths, so a huge buffer goes in pieces.
    constexpr qsizetype chunk = qsizetype(1) << 30;
    qsizetype at = 0;
    do {
        const auto len = std::uint32_t(qMin(chunk, m_inBuffer.size() - at));
        if (!CP::hashData(hash, m_inBuffer.constData() + at, len, 0))
            return failDuring("CryptHashData");
        at += len;
    } while (at < m_inBuffer.size());

    unsigned char sizeField[4] = {};
    std::uint32_t sizeLen = sizeof sizeField;
    if (!CP::getHashParam(hash, CP::HP_HASHSIZE, sizeField, &sizeLen, 0))
        return failDuring("CryptGetHashParam");
    // The value's length follows from the size; the fetch below reports any failure.
    std::uint32_t valueLen = std::uint32_t(sizeField[0]) | std::uint32_t(sizeField[1]) << 8
                             | std::uint32_t(sizeField[2]) << 16 | std::uint32_t(sizeField[3]) << 24;
    CP::getHashParam(hash, CP::HP_HASHVAL, nullptr, &valueLen, 0);
    QByteArray value(qsizetype(valueLen), '\0');
    if (!CP::getHashParam(hash, CP::HP_HASHVAL, bytesOf(value), &valueLen, 0))
        return failDuring("CryptGetHashParam");
    m_hashValue = value.left(qsizetype(valueLen));
    m_hashLength = valueLen;
    return true;
}

bool clsCrypto::EncryptMessageData()
{
    const std::uint32_t n = byteCount(m_inBuffer);
    std::uint32_t cipherLen = n;
    if (!CP::encrypt(m_sessionKeyHandle, 0, true, 0, nullptr, &cipherLen, 0))
        return failDuring("CryptEncrypt");
    // Room for the ciphertext, which is always longer than the text.
    const qsizetype capacity = 2 * qsizetype(cipherLen);
    QByteArray work = m_inBuffer;
    work.append(QByteArray(capacity - work.size(), ' '));
    std::uint32_t len = n;
    if (!CP::encrypt(m_sessionKeyHandle, 0, true, 0, bytesOf(work), &len, std::uint32_t(capacity)))
        return failDuring("CryptEncrypt");
    m_outBuffer = work.left(qsizetype(len));
    return true;
}

bool clsCrypto::DecryptMessageData()
{
    QByteArray work = m_inBuffer;
    std::uint32_t len = byteCount(work);
    if (!CP::decrypt(m_sessionKeyHandle, 0, true, 0, work.isEmpty() ? nullptr : bytesOf(work), &len))
        return failDuring("CryptDecrypt");
    m_outBuffer = work.left(qsizetype(len));
    return true;
}

// The frame is the digest length in two decimal digits, the MD5 digest of the
// text and the text itself.
bool clsCrypto::EncryptFileData()
{
    m_inBuffer = QByteArray::number(m_hashLength) + m_hashValue + m_inBuffer;
    return EncryptMessageData();
}

bool clsCrypto::DecryptFileData()
{
    m_corrupted = false;
    if (!DecryptMessageData())
        return false;
    const QByteArray frame = m_outBuffer;
    if (frame.size() < 2 || !isDigit(frame.at(0)) || !isDigit(frame.at(1)))
        return rejectCorrupted(true);
    const qsizetype digestLen = (frame.at(0) - '0') * 10 + (frame.at(1) - '0');
    if (frame.size() < 2 + digestLen)
        return rejectCorrupted(true);
    const QByteArray storedDigest = frame.mid(2, digestLen);
    const QByteArray payload = frame.mid(2 + digestLen);
    m_inBuffer = payload;
    if (!HashFile())
        return false;
    if (m_hashValue != storedDigest)
        return rejectCorrupted();
    m_outBuffer = payload;
    return true;
}

bool clsCrypto::DestroySessionKey()
{
    if (!CP::destroyKey(m_sessionKeyHandle))
        return failDuring("CryptDestroyKey");
    return true;
}

bool clsCrypto::GetExchangeKeypair()
{
    Handle key = 0;
    if (!CP::getUserKey(m_providerHandle, CP::AT_KEYEXCHANGE, &key)) {
        const std::uint32_t code = CP::lastError();
        if (code != CP::NTE_NO_KEY && code != 0)
            return fail(code, QStringLiteral("Error during CryptGetUserKey - ") + userKeyErrorName(code));
        if (!CP::genKey(m_providerHandle, CP::AT_KEYEXCHANGE, 0, &key))
            return failWithCode(QStringLiteral("Error during CryptGenKey - "));
    }
    replaceKey(&m_keyPairHandle, key);
    return true;
}

bool clsCrypto::ExportPublicKey()
{
    std::uint32_t len = 0;
    if (!CP::exportKey(m_keyPairHandle, 0, CP::PUBLICKEYBLOB, 0, nullptr, &len))
        return failWithCode(QStringLiteral("Error during CryptExportKey - "));
    m_exportKey = QByteArray(qsizetype(len), '\0');
    if (!CP::exportKey(m_keyPairHandle, 0, CP::PUBLICKEYBLOB, 0, bytesOf(m_exportKey), &len))
        return failWithCode(QStringLiteral("Error during CryptExportKey - "));
    return true;
}

bool clsCrypto::ImportPublicKey()
{
    Handle key = 0;
    if (!CP::importKey(m_providerHandle, constBytesOf(m_importKey), byteCount(m_importKey), 0, 0, &key))
        return failWithCode(QStringLiteral("Error during CryptImportKey - "));
    replaceKey(&m_publicKeyHandle, key);
    return true;
}

bool clsCrypto::CreateAndExportSessionKey()
{
    Handle key = 0;
    if (!CP::genKey(m_providerHandle, CP::CALG_RC2, CP::CRYPT_EXPORTABLE, &key))
        return failDuring("CryptGenKey");
    replaceKey(&m_sessionKeyHandle, key);
    std::uint32_t len = 0;
    if (!CP::exportKey(m_sessionKeyHandle, m_publicKeyHandle, CP::SIMPLEBLOB, 0, nullptr, &len))
        return failWithCode(QStringLiteral("Error during CryptExportKey - "));
    m_sessionKey = QByteArray(qsizetype(len), '\0');
    if (!CP::exportKey(m_sessionKeyHandle, m_publicKeyHandle, CP::SIMPLEBLOB, 0, bytesOf(m_sessionKey), &len))
        return failWithCode(QStringLiteral("Error during CryptExportKey - "));
    return true;
}

bool clsCrypto::ImportSessionKey()
{
    Handle key = 0;
    if (!CP::importKey(m_providerHandle, constBytesOf(m_sessionKey), byteCount(m_sessionKey), 0, 0, &key))
        return failWithCode(QStringLiteral("Error during CryptImportKey - "));
    replaceKey(&m_sessionKeyHandle, key);
    return true;
}
