#include "CardFileEnvelope.h"
#include "CryptoProvider.h"
#include "Messages.h"
#include "clsCrypto.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/provider.h>
#include <openssl/rsa.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace CP = CryptoProvider;

namespace {

const QString kDecryptError = QStringLiteral("Error -2146893819 during CryptDecrypt!");
const QString kCorrupted = QStringLiteral("File has been corrupted since original encryption.");

std::uint32_t le32(const QByteArray &bytes, int at)
{
    return std::uint32_t(quint8(bytes[at])) | std::uint32_t(quint8(bytes[at + 1])) << 8
           | std::uint32_t(quint8(bytes[at + 2])) << 16 | std::uint32_t(quint8(bytes[at + 3])) << 24;
}

QByteArray md5(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5);
}

// Plaintext encrypted as is under a password key, with no frame added.
QByteArray encryptRaw(const QByteArray &password, const QByteArray &plain)
{
    clsCrypto crypto;
    crypto.setPassword(password);
    if (!crypto.GeneratePasswordKey())
        return {};
    crypto.setInBuffer(plain);
    return crypto.EncryptMessageData() ? crypto.outBuffer() : QByteArray();
}

QByteArray cardFile(const QByteArray &text)
{
    QByteArray bytes;
    QString reason;
    if (!CardFileEnvelope::encrypt(text, &bytes, &reason))
        qWarning() << reason;
    return bytes;
}

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

using PkeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;

// The exchange key pair straight from the container file.
PkeyPtr containerKeyPair()
{
    const QByteArray pem = readAll(CP::containerPath());
    const std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(pem.constData(), int(pem.size())),
                                                        &BIO_free);
    return PkeyPtr(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr), &EVP_PKEY_free);
}

// RC2-CBC with PKCS#5 padding through OpenSSL's EVP interface and its legacy
// provider: a 16-byte key of five secret bytes and eleven zero bytes, limited
// to 40 effective bits, as the base provider derives it from a pass phrase.
QByteArray referenceRc2(const QByteArray &passPhrase, const QByteArray &plain)
{
    const std::unique_ptr<OSSL_LIB_CTX, decltype(&OSSL_LIB_CTX_free)> libctx(OSSL_LIB_CTX_new(),
                                                                            &OSSL_LIB_CTX_free);
    OSSL_PROVIDER *legacy = OSSL_PROVIDER_load(libctx.get(), "legacy");
    const auto unload = qScopeGuard([&] { OSSL_PROVIDER_unload(legacy); });
    const std::unique_ptr<EVP_CIPHER, decltype(&EVP_CIPHER_free)> rc2(
        EVP_CIPHER_fetch(libctx.get(), "RC2-CBC", nullptr), &EVP_CIPHER_free);
    const std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                             &EVP_CIPHER_CTX_free);
    QByteArray key = md5(passPhrase).left(5);
    key.append(QByteArray(11, '\0'));
    const unsigned char iv[8] = {};
    QByteArray out(plain.size() + 8, '\0');
    int len = 0;
    int finalLen = 0;
    auto *o = reinterpret_cast<unsigned char *>(out.data());
    if (!legacy || !rc2 || !ctx || !EVP_EncryptInit_ex2(ctx.get(), rc2.get(), nullptr, nullptr, nullptr)
        || EVP_CIPHER_CTX_set_key_length(ctx.get(), 16) <= 0
        || EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_SET_RC2_KEY_BITS, 40, nullptr) <= 0
        || !EVP_EncryptInit_ex2(ctx.get(), nullptr, reinterpret_cast<const unsigned char *>(key.constData()), iv,
                                nullptr)
        || !EVP_EncryptUpdate(ctx.get(), o, &len, reinterpret_cast<const unsigned char *>(plain.constData()),
                              int(plain.size()))
        || !EVP_EncryptFinal_ex(ctx.get(), o + len, &finalLen))
        return {};
    out.truncate(len + finalLen);
    return out;
}

} // namespace

class TestCrypto : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void checkVector();
    void roundTrip_data();
    void roundTrip();
    void rejectsBadCiphertext_data();
    void rejectsBadCiphertext();
    void rejectsTamperedFrame_data();
    void rejectsTamperedFrame();
    void destroyedSessionKeyFailsCleanly();
    void chainedCallsAndLengths();
    void piecesMatchReferenceCipher_data();
    void piecesMatchReferenceCipher();

    void defaultContainerCreatedSilently();
    void cardFilesNeedNoWritableDataFolder_data();
    void cardFilesNeedNoWritableDataFolder();
    void containerFailureIsReported();
    void exchangeKeyPersistsAndExports();
    void sessionKeyTravelsUnderPublicKey();
    void importRejectsMalformedBlobs_data();
    void importRejectsMalformedBlobs();
    void exportWithoutKeyFails_data();
    void exportWithoutKeyFails();

    void readCardFileFailures_data();
    void readCardFileFailures();
    void writeThenReadCardFile();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();

private:
    QTemporaryDir m_dataHome;
};

void TestCrypto::initTestCase()
{
    QVERIFY(m_dataHome.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome.path()));
    QVERIFY(CP::containerPath().startsWith(m_dataHome.path() + QLatin1Char('/')));
}

void TestCrypto::checkVector()
{
    Messages::RecordingSink sink;
    Messages::ScopedSink scope(&sink);
    const QByteArray file = cardFile({});
    QCOMPARE(file.toHex(), QByteArray("7946b097e6f96333467258815a96a65f2d7dfa9872d9263a"));
    QByteArray text("left over");
    QString reason;
    QVERIFY(CardFileEnvelope::decrypt(file, &text, &reason));
    QVERIFY(text.isEmpty());
    QVERIFY(sink.messages.isEmpty());
}

void TestCrypto::roundTrip_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("fileLength");
    // Frame of 18 + L bytes, padded to the next multiple of 8 with at least one byte.
    QTest::newRow("empty") << QByteArray() << 24;
    QTest::newRow("6 bytes, frame fills 3 blocks") << QByteArray("abcdef") << 32;
    QTest::newRow("7 bytes") << QByteArray("abcdefg") << 32;
    QTest::newRow("100 bytes") << QByteArray(100, 'x') << 120;
    QTest::newRow("all byte values") << allByteValues() << 280;
    QTest::newRow("NULs inside") << QByteArray("a\0b\0\0c", 6) << 32;
    QTest::newRow("trailing spaces") << QByteArray("card   ") << 32;
}

void TestCrypto::roundTrip()
{
    QFETCH(QByteArray, text);
    QFETCH(int, fileLength);
    Messages::RecordingSink sink;
    Messages::ScopedSink scope(&sink);

    const QByteArray file = cardFile(text);
    QCOMPARE(file.size(), fileLength);
    QCOMPARE(cardFile(text), file);

    QByteArray back;
    QString reason;
    QVERIFY2(CardFileEnvelope::decrypt(file, &back, &reason), qPrintable(reason));
    QCOMPARE(back, text);
    QVERIFY(sink.messages.isEmpty());
}

void TestCrypto::rejectsBadCiphertext_data()
{
    QTest::addColumn<QByteArray>("input");
    const QByteArray good = cardFile("some card text");
    QTest::newRow("length not a multiple of 8") << good.left(good.size() - 1);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("wrong key") << encryptRaw("another pass phrase", "16" + md5("text") + "text");
}

void TestCrypto::rejectsBadCiphertext()
{
    QFETCH(QByteArray, input);
    Messages::RecordingSink sink;
    Messages::ScopedSink scope(&sink);

    clsCrypto crypto;
    crypto.setPassword(CardFileEnvelope::passPhrase());
    QVERIFY(crypto.GeneratePasswordKey());
    crypto.setInBuffer(cardFile("earlier card"));
    QVERIFY(crypto.DecryptFileData());
    QCOMPARE(crypto.outBuffer(), QByteArray("earlier card"));

    crypto.setInBuffer(input);
    QVERIFY(!crypto.DecryptFileData());
    // The service only returns its text; the caller shows one message.
    QVERIFY2(sink.messages.isEmpty(), qPrintable(sink.texts().join(u'\n')));
    QCOMPARE(crypto.failures(), QStringList{kDecryptError});
    QCOMPARE(crypto.errorMsg(), kDecryptError);
    QCOMPARE(crypto.lastErrorCode(), CP::NTE_BAD_DATA);
    QCOMPARE(crypto.outBuffer(), QByteArray("earlier card"));

    QString reason;
    QVERIFY(!CardFileEnvelope::decrypt(input, nullptr, &reason));
    QCOMPARE(reason, QStringLiteral("is not a Borvessa card, or it is damaged"));
}

void TestCrypto::rejectsTamperedFrame_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("damagedFrame");
    const QByteArray pass = CardFileEnvelope::passPhrase();
    const QByteArray text(40, 't');
    const QByteArray good = cardFile(text);
    QCOMPARE(good.size(), 64);

    // Changing ciphertext block k garbles plaintext block k and one byte of
    // block k + 1; the padding in the last block still verifies.
    QByteArray inDigest = good;
    inDigest[8] = char(inDigest[8] ^ 0x01);
    QByteArray inText = good;
    inText[35] = char(inText[35] ^ 0x80);
    // The last column: the frame itself is damaged, rather than its digest
    // not matching the text.
    QTest::newRow("byte changed in digest") << inDigest << false;
    QTest::newRow("byte changed in text") << inText << false;
    QTest::newRow("digest of other text") << encryptRaw(pass, "16" + md5("other") + text) << false;
    QTest::newRow("short digest length") << encryptRaw(pass, "15" + md5(text).left(15) + text) << false;
    QTest::newRow("no digits") << encryptRaw(pass, "xy" + md5(text) + text) << true;
    QTest::newRow("one digit") << encryptRaw(pass, "1x" + md5(text) + text) << true;
    QTest::newRow("non-digit worth 16") << encryptRaw(pass, "0@" + md5(text) + text) << true;
    QTest::newRow("frame shorter than digest") << encryptRaw(pass, "16abc") << true;
    QTest::newRow("one-byte frame") << encryptRaw(pass, "1") << true;
    QTest::newRow("empty frame") << encryptRaw(pass, {}) << true;
}

void TestCrypto::rejectsTamperedFrame()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, damagedFrame);
    QVERIFY(!input.isEmpty());
    Messages::RecordingSink sink;
    Messages::ScopedSink scope(&sink);

    clsCrypto crypto;
    crypto.setPassword(CardFileEnvelope::passPhrase());
    QVERIFY(crypto.GeneratePasswordKey());
    crypto.setInBuffer(cardFile("earlier card"));
    QVERIFY(crypto.DecryptFileData());

    crypto.setInBuffer(input);
    QVERIFY(!crypto.DecryptFileData());
    QVERIFY2(sink.messages.isEmpty(), qPrintable(sink.texts().join(u'\n')));
    QVERIFY(crypto.outBuffer().isEmpty());
    QVERIFY(crypto.corrupted());
    QCOMPARE(crypto.failures(), QStringList{kCorrupted});
    QCOMPARE(crypto.errorMsg(), kCorrupted);

    QString reason;
    QVERIFY(!CardFileEnvelope::decrypt(input, nullptr, &reason));
    QCOMPARE(crypto.damagedFrame(), damagedFrame);
    QCOMPARE(reason, QStringLiteral("has been corrupted since original encryption (%1)")
                         .arg(damagedFrame ? QStringLiteral("damaged frame") : QStringLiteral("digest mismatch")));
}

void TestCrypto::destroyedSessionKeyFailsCleanly()
{
    Messages::RecordingSink sink;
    Messages::ScopedSink scope(&sink);
    {
        clsCrypto crypto;
        crypto.setPassword("pw");
        QVERIFY(crypto.GeneratePasswordKey());
        QVERIFY(crypto.DestroySessionKey());
        QVERIFY(!crypto.DestroySessionKey());
        crypto.setInBuffer("text");
        QVERIFY(!crypto.EncryptMessageData());
        QVERIFY(crypto.outBuffer().isEmpty());
        QCOMPARE(crypto.failures(), (QStringList{QStringLiteral("Error 6 during CryptDestroyKey!"),
                                                 QStringLiteral("Error -2146893821 during CryptEncrypt!")}));
    }
    QVERIFY(sink.messages.isEmpty());
}

void TestCrypto::chainedCallsAndLengths()
{
    CP::Handle prov = 0;
    CP::Handle key = 0;
    QVERIFY(CP::acquireContext(&prov, {}, {}, CP::PROV_RSA_FULL, 0)
            || CP::acquireContext(&prov, {}, {}, CP::PROV_RSA_FULL, CP::CRYPT_NEWKEYSET));
    const auto release = qScopeGuard([&] {
        CP::destroyKey(key);
        CP::releaseContext(prov);
    });
    QVERIFY(CP::genKey(prov, CP::CALG_RC2, 0, &key));

    const QByteArray plain("0123456789abcdefXYZ!?");
    QByteArray whole = plain + QByteArray(8, '\0');
    std::uint32_t len = std::uint32_t(plain.size());
    QVERIFY(CP::encrypt(key, 0, true, 0, reinterpret_cast<uchar *>(whole.data()), &len, whole.size()));
    whole.truncate(len);

    QByteArray pieces = plain + QByteArray(8, '\0');
    auto *p = reinterpret_cast<uchar *>(pieces.data());
    std::uint32_t first = 16;
    QVERIFY(CP::encrypt(key, 0, false, 0, p, &first, 16));
    std::uint32_t rest = 5;
    QVERIFY(CP::encrypt(key, 0, true, 0, p + 16, &rest, 13));
    QCOMPARE(first + rest, len);
    QCOMPARE(pieces.left(len), whole);

    std::uint32_t head = 8;
    QVERIFY(CP::decrypt(key, 0, false, 0, p, &head));
    std::uint32_t tail = 16;
    QVERIFY(CP::decrypt(key, 0, true, 0, p + 8, &tail));
    QCOMPARE(pieces.left(int(head + tail)), plain);

    std::uint32_t odd = 5;
    QVERIFY(!CP::encrypt(key, 0, false, 0, p, &odd, 8));
    QCOMPARE(CP::lastError(), CP::NTE_BAD_DATA);

    // A short buffer is left alone and the needed length comes back.
    const QByteArray before = pieces;
    len = 16;
    QVERIFY(CP::encrypt(key, 0, true, 0, nullptr, &len, 0));
    QCOMPARE(len, 24u);
    len = 16;
    QVERIFY(!CP::encrypt(key, 0, true, 0, p, &len, 23));
    QCOMPARE(CP::lastError(), CP::ERROR_MORE_DATA);
    QCOMPARE(len, 24u);
    QCOMPARE(pieces, before);
}

void TestCrypto::piecesMatchReferenceCipher_data()
{
    QTest::addColumn<QByteArray>("plain");
    // Lengths of the non-final calls, each a whole number of blocks; the
    // final call takes the rest, which may be nothing.
    QTest::addColumn<QList<int>>("pieces");
    const QByteArray card = allByteValues().repeated(31);
    QTest::newRow("empty, one call") << QByteArray() << QList<int>{};
    QTest::newRow("one byte") << QByteArray("x") << QList<int>{};
    QTest::newRow("one block: a whole block of padding") << QByteArray("8 bytes!") << QList<int>{};
    QTest::newRow("block, then empty final call") << QByteArray("8 bytes!") << QList<int>{8};
    QTest::newRow("blocks, then empty final call") << card.left(64) << QList<int>{16, 48};
    QTest::newRow("chaining over three calls") << card.left(61) << QList<int>{8, 24, 16};
    QTest::newRow("empty non-final calls") << card.left(20) << QList<int>{0, 16, 0};
    QTest::newRow("card-sized, one call") << card << QList<int>{};
    QTest::newRow("card-sized, in two") << card << QList<int>{4096};
}

// Encrypting and decrypting in pieces gives the same bytes as a reference
// RC2 over the whole message, and the hash fed by the calls is MD5 of the
// whole plaintext.
void TestCrypto::piecesMatchReferenceCipher()
{
    QFETCH(QByteArray, plain);
    QFETCH(QList<int>, pieces);
    const QByteArray pass = CardFileEnvelope::passPhrase();
    const QByteArray expected = referenceRc2(pass, plain);
    QVERIFY(!expected.isEmpty());

    CP::Handle prov = 0;
    CP::Handle passHash = 0;
    CP::Handle key = 0;
    CP::Handle dataHash = 0;
    QVERIFY(CP::acquireContext(&prov, {}, {}, CP::PROV_RSA_FULL, 0)
            || CP::acquireContext(&prov, {}, {}, CP::PROV_RSA_FULL, CP::CRYPT_NEWKEYSET));
    const auto release = qScopeGuard([&] {
        CP::destroyHash(dataHash);
        CP::destroyKey(key);
        CP::destroyHash(passHash);
        CP::releaseContext(prov);
    });
    QVERIFY(CP::createHash(prov, CP::CALG_MD5, 0, 0, &passHash));
    QVERIFY(CP::hashData(passHash, pass.constData(), std::uint32_t(pass.size()), 0));
    QVERIFY(CP::deriveKey(prov, CP::CALG_RC2, passHash, 0, &key));

    // Twice, so the final call is seen to start the next message afresh.
    for (int round = 0; round < 2; ++round) {
        QVERIFY(CP::createHash(prov, CP::CALG_MD5, 0, 0, &dataHash));
        QByteArray buf = plain + QByteArray(8, '\0');
        auto *b = reinterpret_cast<uchar *>(buf.data());
        std::uint32_t at = 0;
        for (int piece : pieces) {
            std::uint32_t len = std::uint32_t(piece);
            QVERIFY(CP::encrypt(key, dataHash, false, 0, b + at, &len, len));
            QCOMPARE(len, std::uint32_t(piece));
            at += len;
        }
        std::uint32_t len = std::uint32_t(plain.size()) - at;
        QVERIFY(CP::encrypt(key, dataHash, true, 0, b + at, &len, std::uint32_t(buf.size()) - at));
        buf.truncate(int(at + len));
        QCOMPARE(buf.toHex(), expected.toHex());

        unsigned char digest[16];
        std::uint32_t digestLen = sizeof digest;
        QVERIFY(CP::getHashParam(dataHash, CP::HP_HASHVAL, digest, &digestLen, 0));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(digest), int(digestLen)), md5(plain));
        QVERIFY(CP::destroyHash(dataHash));
        dataHash = 0;
    }

    // Decrypting the reference in the same pieces gives the plaintext back.
    QByteArray buf = expected;
    auto *b = reinterpret_cast<uchar *>(buf.data());
    QByteArray back;
    std::uint32_t at = 0;
    for (int piece : pieces) {
        std::uint32_t len = std::uint32_t(piece);
        QVERIFY(CP::decrypt(key, 0, false, 0, b + at, &len));
        back.append(reinterpret_cast<const char *>(b + at), int(len));
        at += std::uint32_t(piece);
    }
    std::uint32_t len = std::uint32_t(buf.size()) - at;
    QVERIFY(CP::decrypt(key, 0, true, 0, b + at, &len));
    back.append(reinterpret_cast<const char *>(b + at), int(len));
    QCOMPARE(back, plain);
}

void TestCrypto::defaultContainerCreatedSilently()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QByteArray previousHome = qgetenv("XDG_DATA_HOME");
    const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", previousHome); });
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    const QString keys = home.path() + QStringLiteral("/Borvessa/keys");
    const QString path = keys + QStringLiteral("/default.keyset");
    // The most permissive umask: the modes below are the program's own.
    const mode_t previousMask = ::umask(0);
    const auto restoreMask = qScopeGuard([&] { ::umask(previousMask); });

    Messages::RecordingSink sink;
    Messages::ScopedSink scope(&sink);
    {
        // Hashing and the pass-phrase key need no key pair: nothing is written.
        clsCrypto crypto;
        QVERIFY(crypto.providerHandle() != 0);
        crypto.setPassword("pw");
        QVERIFY(crypto.GeneratePasswordKey());
    }
    QVERIFY(sink.messages.isEmpty());
    QVERIFY(QDir(home.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

    // The first key pair creates the container, in a folder of the owner's own.
    {
        clsCrypto crypto;
        QVERIFY(crypto.GetExchangeKeypair());
    }
    QVERIFY(sink.messages.isEmpty());
    struct stat info = {};
    QCOMPARE(stat(QFile::encodeName(keys).constData(), &info), 0);
    QVERIFY(S_ISDIR(info.st_mode));
    QCOMPARE(info.st_mode & 07777, mode_t(0700));
    QCOMPARE(stat(QFile::encodeName(path).constData(), &info), 0);
    QVERIFY(S_ISREG(info.st_mode));
    QCOMPARE(info.st_mode & 07777, mode_t(0600));
    QVERIFY(info.st_size > 0);

    // A later key pair makes an opened-up container and folder private again.
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    QVERIFY(QFile::setPermissions(keys, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                            | QFile::ReadOther | QFile::ExeOther));
    {
        clsCrypto crypto;
        QVERIFY(crypto.GetExchangeKeypair());
        CP::Handle fresh = 0;
        QVERIFY(CP::genKey(crypto.providerHandle(), CP::AT_KEYEXCHANGE, 0, &fresh));
        CP::destroyKey(fresh);
    }
    QVERIFY(sink.messages.isEmpty());
    QCOMPARE(stat(QFile::encodeName(path).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0600));
    QCOMPARE(stat(QFile::encodeName(keys).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0700));
}

void TestCrypto::cardFilesNeedNoWritableDataFolder_data()
{
    QTest::addColumn<QString>("dataHome");
    // Root may write into a read-only folder, but nothing must be written
    // there; below a file no one can create a folder.
    QTest::newRow("read-only data folder") << QStringLiteral("readonly");
    QTest::newRow("data folder below a file") << QStringLiteral("file/data");
}

void TestCrypto::cardFilesNeedNoWritableDataFolder()
{
    QFETCH(QString, dataHome);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("readonly")));
    QVERIFY(writeAll(dir.filePath(QStringLiteral("file")), "not a folder"));
    const QString readOnly = dir.filePath(QStringLiteral("readonly"));
    QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner));
    const auto unlock = qScopeGuard([&] { QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
    const QByteArray previousHome = qgetenv("XDG_DATA_HOME");
    const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", previousHome); });
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(dataHome)));

    Messages::RecordingSink sink;
    Messages::ScopedSink scope(&sink);
    const QString card = dir.filePath(QStringLiteral("Card.qcf"));
    QString reason;
    QVERIFY2(CardFileEnvelope::writeCardFile(card, "the card text", &reason), qPrintable(reason));
    QByteArray text;
    QVERIFY2(CardFileEnvelope::readCardFile(card, &text, &reason), qPrintable(reason));
    QCOMPARE(text, QByteArray("the card text"));
    QVERIFY2(sink.messages.isEmpty(), qPrintable(sink.texts().join(QLatin1Char('\n'))));
    QVERIFY(QDir(readOnly).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

void TestCrypto::containerFailureIsReported()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QByteArray previousHome = qgetenv("XDG_DATA_HOME");
    const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", previousHome); });
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    // A folder where the container file belongs can be neither opened nor created.
    QVERIFY(QDir().mkpath(home.path() + QStringLiteral("/Borvessa/keys/default.keyset")));

    Messages::RecordingSink sink;
    Messages::ScopedSink scope(&sink);
    {
        clsCrypto crypto;
        QCOMPARE(crypto.providerHandle(), CP::Handle(0));
        QCOMPARE(crypto.failures(), (QStringList{QStringLiteral("Error creating key container - -2146893809"),
                                                 QStringLiteral("Unable to initialize CryptoAPI.")}));
        QCOMPARE(crypto.errorMsg(), QStringLiteral("Unable to initialize CryptoAPI."));
        crypto.setPassword("pw");
        QVERIFY(!crypto.GeneratePasswordKey());
        QCOMPARE(crypto.errorMsg(), QStringLiteral("Error -2146893823 during CryptCreateHash!"));
        QCOMPARE(crypto.failures().size(), 3);
    }
    QVERIFY(sink.messages.isEmpty());

    QString reason;
    QVERIFY(!CardFileEnvelope::encrypt("text", nullptr, &reason));
    QCOMPARE(reason, QStringLiteral("cannot be encrypted (Unable to initialize CryptoAPI.)"));
}

void TestCrypto::exchangeKeyPersistsAndExports()
{
    Messages::RecordingSink sink;
    Messages::ScopedSink scope(&sink);
    QByteArray blob;
    {
        clsCrypto first;
        QVERIFY(first.GetExchangeKeypair());
        QVERIFY(first.ExportPublicKey());
        blob = first.exportKey();
    }
    clsCrypto second;
    QVERIFY(second.GetExchangeKeypair());
    QVERIFY(second.GetExchangeKeypair());
    QVERIFY(second.ExportPublicKey());
    QCOMPARE(second.exportKey(), blob);
    QVERIFY(sink.messages.isEmpty());

    QCOMPARE(blob.size(), 8 + 12 + 128);
    QCOMPARE(quint8(blob[0]), quint8(6));
    QCOMPARE(quint8(blob[1]), quint8(2));
    QCOMPARE(quint8(blob[2]) | quint8(blob[3]), 0);
    QCOMPARE(le32(blob, 4), 0xA400u);
    QCOMPARE(le32(blob, 8), 0x31415352u);
    QCOMPARE(le32(blob, 12), 1024u);
    QCOMPARE(le32(blob, 16), 65537u);

    // The modulus is stored least significant byte first.
    const PkeyPtr pkey = containerKeyPair();
    QVERIFY(pkey);
    BIGNUM *n = nullptr;
    QVERIFY(EVP_PKEY_get_bn_param(pkey.get(), OSSL_PKEY_PARAM_RSA_N, &n));
    const std::unique_ptr<BIGNUM, decltype(&BN_free)> modulusNumber(n, &BN_free);
    QByteArray modulus(128, '\0');
    QCOMPARE(BN_bn2lebinpad(n, reinterpret_cast<uchar *>(modulus.data()), 128), 128);
    QCOMPARE(blob.mid(20), modulus);
}

void TestCrypto::sessionKeyTravelsUnderPublicKey()
{
    Messages::RecordingSink sink;
    Messages::ScopedSink scope(&sink);
    clsCrypto recipient;
    QVERIFY(recipient.GetExchangeKeypair());
    QVERIFY(recipient.ExportPublicKey());

    clsCrypto sender;
    sender.setImportKey(recipient.exportKey());
    QVERIFY(sender.ImportPublicKey());
    QVERIFY(sender.CreateAndExportSessionKey());
    const QByteArray simple = sender.sessionKey();
    QCOMPARE(simple.size(), 8 + 4 + 128);
    QCOMPARE(quint8(simple[0]), quint8(1));
    QCOMPARE(quint8(simple[1]), quint8(2));
    QCOMPARE(le32(simple, 4), 0x6602u);
    QCOMPARE(le32(simple, 8), 0xA400u);

    // The wrapped key is PKCS#1 v1.5 ciphertext of the five key bytes, byte-reversed.
    const PkeyPtr pkey = containerKeyPair();
    QVERIFY(pkey);
    QByteArray sealed = simple.mid(12);
    std::reverse(sealed.begin(), sealed.end());
    const std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> ctx(EVP_PKEY_CTX_new(pkey.get(), nullptr),
                                                                        &EVP_PKEY_CTX_free);
    uchar secret[128] = {};
    size_t secretLen = sizeof secret;
    const bool opened = ctx && EVP_PKEY_decrypt_init(ctx.get()) > 0
                        && EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) > 0
                        && EVP_PKEY_decrypt(ctx.get(), secret, &secretLen,
                                            reinterpret_cast<const uchar *>(sealed.constData()), size_t(sealed.size())) > 0;
    QVERIFY(opened);
    QCOMPARE(secretLen, size_t(5));

    const QByteArray message("a message\0with a NUL", 20);
    sender.setInBuffer(message);
    QVERIFY(sender.EncryptMessageData());
    recipient.setSessionKey(simple);
    QVERIFY(recipient.ImportSessionKey());
    recipient.setInBuffer(sender.outBuffer());
    QVERIFY(recipient.DecryptMessageData());
    QCOMPARE(recipient.outBuffer(), message);
    QVERIFY(sink.messages.isEmpty());
}

void TestCrypto::importRejectsMalformedBlobs_data()
{
    QTest::addColumn<bool>("sessionKey");
    QTest::addColumn<QByteArray>("blob");
    QTest::addColumn<std::uint32_t>("code");

    clsCrypto crypto;
    QVERIFY(crypto.GetExchangeKeypair());
    QVERIFY(crypto.ExportPublicKey());
    const QByteArray good = crypto.exportKey();
    auto changed = [&good](int at, char value) {
        QByteArray blob = good;
        blob[at] = value;
        return blob;
    };
    QByteArray simple = QByteArray::fromHex("0102000002660000") + QByteArray::fromHex("00a40000");

    QTest::newRow("empty") << false << QByteArray() << CP::NTE_BAD_DATA;
    QTest::newRow("header only") << false << good.left(8) << CP::NTE_BAD_DATA;
    QTest::newRow("unknown blob type") << false << changed(0, 7) << CP::NTE_BAD_TYPE;
    QTest::newRow("wrong version") << false << changed(1, 3) << CP::NTE_BAD_VER;
    QTest::newRow("wrong algorithm") << false << changed(5, 0x24) << CP::NTE_BAD_ALGID;
    QTest::newRow("wrong magic") << false << changed(11, '2') << CP::NTE_BAD_DATA;
    QTest::newRow("modulus cut short") << false << good.left(good.size() - 1) << CP::NTE_BAD_DATA;
    QTest::newRow("bit length beyond blob") << false << changed(13, 8) << CP::NTE_BAD_DATA;
    QTest::newRow("session key not RSA-wrapped") << true << simple + QByteArray(128, 'U') << CP::NTE_BAD_DATA;
    QTest::newRow("session key cut short") << true << simple + QByteArray(127, 'U') << CP::NTE_BAD_DATA;
}

void TestCrypto::importRejectsMalformedBlobs()
{
    QFETCH(bool, sessionKey);
    QFETCH(QByteArray, blob);
    QFETCH(std::uint32_t, code);
    Messages::RecordingSink sink;
    Messages::ScopedSink scope(&sink);

    clsCrypto crypto;
    bool imported = false;
    if (sessionKey) {
        crypto.setSessionKey(blob);
        imported = crypto.ImportSessionKey();
    } else {
        crypto.setImportKey(blob);
        imported = crypto.ImportPublicKey();
    }
    QVERIFY(!imported);
    const QString expected = QStringLiteral("Error during CryptImportKey - %1").arg(std::int32_t(code));
    QVERIFY(sink.messages.isEmpty());
    QCOMPARE(crypto.failures(), QStringList{expected});
    QCOMPARE(crypto.errorMsg(), expected);
}

void TestCrypto::exportWithoutKeyFails_data()
{
    QTest::addColumn<bool>("sessionKey");
    QTest::addColumn<QString>("message");
    QTest::newRow("public key without key pair") << false << QStringLiteral("Error during CryptExportKey - -2146893821");
    QTest::newRow("session key without public key") << true << QStringLiteral("Error during CryptExportKey - -2146893811");
}

void TestCrypto::exportWithoutKeyFails()
{
    QFETCH(bool, sessionKey);
    QFETCH(QString, message);
    Messages::RecordingSink sink;
    Messages::ScopedSink scope(&sink);
    clsCrypto crypto;
    QVERIFY(!(sessionKey ? crypto.CreateAndExportSessionKey() : crypto.ExportPublicKey()));
    QVERIFY(sink.messages.isEmpty());
    QCOMPARE(crypto.failures(), QStringList{message});
}

void TestCrypto::readCardFileFailures_data()
{
    // kind: "" a file with the content, "fifo" a named pipe, "zero" a link to
    // /dev/zero, "large" a file one byte larger than a card may be.
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QStringLiteral("missing.crd") << QString() << QByteArray()
                             << QStringLiteral("does not exist");
    QTest::newRow("empty") << QStringLiteral("empty.crd") << QString() << QByteArray("")
                           << QStringLiteral("is empty (0 bytes)");
    QTest::newRow("not ciphertext") << QStringLiteral("plain.crd") << QString() << QByteArray("plain")
                                    << QStringLiteral("is not a Borvessa card, or it is damaged");
    // Neither may hang the reader: a pipe without a writer, a file without end.
    QTest::newRow("named pipe") << QStringLiteral("pipe.qcf") << QStringLiteral("fifo") << QByteArray()
                                << QStringLiteral("cannot be read: it is a named pipe, not a regular file");
    QTest::newRow("link to /dev/zero") << QStringLiteral("zero.qcf") << QStringLiteral("zero") << QByteArray()
                                       << QStringLiteral("cannot be read: it is a device, not a regular file");
    QTest::newRow("one byte over the limit")
        << QStringLiteral("large.qcf") << QStringLiteral("large") << QByteArray()
        << QStringLiteral("cannot be read: it is too large for a card file (16777217 bytes; at most 16777216)");
}

void TestCrypto::readCardFileFailures()
{
    QFETCH(QString, fileName);
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    if (!content.isNull())
        QVERIFY(writeAll(path, content));
    if (kind == QStringLiteral("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (kind == QStringLiteral("zero"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    if (kind == QStringLiteral("large")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(CardFileEnvelope::MaxCardFileBytes + 1));
    }
    Messages::RecordingSink sink;
    Messages::ScopedSink scope(&sink);

    QByteArray text("untouched");
    QString why;
    QVERIFY(!CardFileEnvelope::readCardFile(path, &text, &why));
    QCOMPARE(why, reason);
    QCOMPARE(text, QByteArray("untouched"));
}

void TestCrypto::writeThenReadCardFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.crd"));
    Messages::RecordingSink sink;
    Messages::ScopedSink scope(&sink);
    QString reason;

    QVERIFY(CardFileEnvelope::writeCardFile(path, "first", &reason));
    QVERIFY(CardFileEnvelope::writeCardFile(path, allByteValues(), &reason));
    QCOMPARE(readAll(path), cardFile(allByteValues()));
    QByteArray text;
    QVERIFY(CardFileEnvelope::readCardFile(path, &text, &reason));
    QCOMPARE(text, allByteValues());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("card.crd")});
    QVERIFY(sink.messages.isEmpty());
}

void TestCrypto::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("systemError");
    QTest::newRow("folder missing") << QStringLiteral("missing") << ENOENT;
    QTest::newRow("target is a folder") << QStringLiteral("folder") << 0;
    QTest::newRow("disk refuses the data") << QStringLiteral("limit") << EFBIG;
}

void TestCrypto::failedWriteKeepsOldFile()
{
    QFETCH(QString, failure);
    QFETCH(int, systemError);
    QTemporaryDir dir;
    const QByteArray old = cardFile("old card");
    const QString oldPath = dir.filePath(QStringLiteral("old.crd"));
    QVERIFY(writeAll(oldPath, old));
    QString path = oldPath;
    if (failure == QLatin1String("missing"))
        path = dir.filePath(QStringLiteral("nowhere/card.crd"));
    else if (failure == QLatin1String("folder"))
        QVERIFY(QDir(dir.path()).mkdir(path = dir.filePath(QStringLiteral("card.crd"))));

    // Writes past the file size limit fail with EFBIG, even for root.
    rlimit previousLimit = {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const auto restore = qScopeGuard([&] {
        setrlimit(RLIMIT_FSIZE, &previousLimit);
        std::signal(SIGXFSZ, previousHandler);
    });
    if (failure == QLatin1String("limit")) {
        rlimit small = previousLimit;
        small.rlim_cur = 16;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    }

    QString reason;
    const bool written = CardFileEnvelope::writeCardFile(path, QByteArray(300, 'n'), &reason);
    setrlimit(RLIMIT_FSIZE, &previousLimit);
    QVERIFY(!written);
    QVERIFY(reason.startsWith(QLatin1String("cannot be written: ")));
    QVERIFY2(reason.size() > int(qstrlen("cannot be written: ")), qPrintable(reason));
    QVERIFY(!reason.contains(QLatin1String(".crd")));
    if (systemError)
        QCOMPARE(reason, QStringLiteral("cannot be written: ") + qt_error_string(systemError));
    QCOMPARE(readAll(oldPath), old);
    QStringList expected{QStringLiteral("old.crd")};
    if (failure == QLatin1String("folder"))
        expected.prepend(QStringLiteral("card.crd"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), expected);
}

QTEST_GUILESS_MAIN(TestCrypto)
#include "tst_crypto.moc"
