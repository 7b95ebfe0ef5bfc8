// RC2 and MD5 go through OpenSSL's low-level functions, which need no library
// context and no provider: a card file is read or written without loading the
// legacy provider, which alone costs a short card tool run more than its card
// work. They are deprecated in OpenSSL 3 but kept in its libcrypto. Key pairs,
// the key exchange and random session keys are the RSA side (CryptoRsa.h).
#define OPENSSL_SUPPRESS_DEPRECATED

#include "CryptoProvider.h"

#include "AtomicFile.h"
#include "CryptoRsa.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <openssl/crypto.h>
#include <openssl/md5.h>
#include <openssl/rc2.h>

#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace CryptoProvider {

namespace {

using Bytes = std::vector<unsigned char>;

using PkeyPtr = CryptoRsa::Key;
using Pkey = evp_pkey_st;

constexpr std::uint32_t kBlock = 8;
constexpr int kRc2KeyBytes = 16;
constexpr int kRc2EffectiveBits = 40;
constexpr std::uint32_t kRc2SecretBytes = kRc2EffectiveBits / 8;
constexpr std::uint32_t kMd5Size = 16;
constexpr int kDefaultRsaBits = 1024;
constexpr int kMinRsaBits = 384;
constexpr int kMaxRsaBits = 16384;
constexpr std::uint32_t kBlobHeaderSize = 8;
constexpr std::uint32_t kPublicKeyBlobFixed = kBlobHeaderSize + 12;
constexpr std::uint32_t kSimpleBlobFixed = kBlobHeaderSize + 4;
constexpr std::uint32_t AT_SIGNATURE = 2;

thread_local std::uint32_t t_lastError = 0;

bool fail(std::uint32_t code)
{
    t_lastError = code;
    return false;
}

// The key length in bits carried in the upper half of genKey/deriveKey flags.
std::uint32_t keyBitsOf(std::uint32_t flags)
{
    return flags >> 16;
}

void appendLe32(Bytes &out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

std::uint32_t readLe32(const unsigned char *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
           | std::uint32_t(p[3]) << 24;
}

void appendBlobHeader(Bytes &out, std::uint32_t type, std::uint32_t keyAlg)
{
    out.push_back(static_cast<unsigned char>(type));
    out.push_back(CUR_BLOB_VERSION);
    out.push_back(0);
    out.push_back(0);
    appendLe32(out, keyAlg);
}

// Copies a value out under the CryptoAPI length rules: a null buffer asks for
// the length, a short buffer gets ERROR_MORE_DATA and the length it needs.
bool deliver(const Bytes &value, unsigned char *buf, std::uint32_t *len)
{
    const auto needed = static_cast<std::uint32_t>(value.size());
    if (!buf) {
        *len = needed;
        return true;
    }
    if (*len < needed) {
        *len = needed;
        return fail(ERROR_MORE_DATA);
    }
    std::copy(value.begin(), value.end(), buf);
    *len = needed;
    return true;
}

// An open key container. A container created with CRYPT_NEWKEYSET has no
// file until a key pair is stored in it, so hashing and the pass-phrase key
// never write into the user's data folder.
struct Context
{
    QString path;
    bool unwritten = false;
};

// An MD5 hash; it takes no more data once its value has been read.
struct HashObject
{
    MD5_CTX md{};
    Bytes value;
    bool finished = false;
};

enum class KeyKind { Rc2, RsaPublic, RsaPair };

// An RC2 key with its CBC chaining value, or an RSA public key or key pair.
struct KeyObject
{
    KeyKind kind = KeyKind::Rc2;
    bool exportable = false;
    std::array<unsigned char, kRc2KeyBytes> material{};
    std::array<unsigned char, kBlock> iv{};
    PkeyPtr pkey;
};

// The provider's process-wide state. RC2 and MD5 need no part of OpenSSL's
// own set-up, so card files never initialise it; the RSA side sets up what it
// needs at its first use.
struct State
{
    State() = default;
    State(const State &) = delete;
    State &operator=(const State &) = delete;

    Handle newHandle() { return ++lastHandle; }

    std::mutex mutex;
    Handle lastHandle = 0;
    std::map<Handle, Context> contexts;
    std::map<Handle, HashObject> hashes;
    std::map<Handle, KeyObject> keys;
};

// Never destroyed: OpenSSL cleans itself up at exit, before or after any
// destructor of ours depending on who initialised it first, and no key may be
// freed after that.
State &state()
{
    static State *s = new State;
    return *s;
}

template <typename T>
T *lookup(std::map<Handle, T> &table, Handle h)
{
    const auto it = table.find(h);
    return it == table.end() ? nullptr : &it->second;
}


bool validContainerName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9_.-]{0,63}$"));
    return name.isEmpty() || pattern.match(name).hasMatch();
}

// Writes a container file readable by its owner only; the old content stays
// in place until the new one is complete.
bool writeContainer(const QString &path, const QByteArray &content)
{
    return AtomicFile::write(path, content, nullptr, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// The keys folder is the owner's alone, whatever the umask. An existing
// folder is made private too.
bool makeKeysFolder(const QString &containerFile)
{
    const QString folder = QFileInfo(containerFile).absolutePath();
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    if (!QFileInfo(folder).isDir()
        && (!QDir().mkpath(QFileInfo(folder).absolutePath()) || !QDir().mkdir(folder, ownerOnly)))
        return false;
    return QFile::setPermissions(folder, ownerOnly);
}

// Loads the key pair of a container; an empty container has none.
std::uint32_t loadKeyPair(const Context &context, PkeyPtr *out)
{
    QFile file(context.path);
    if (context.unwritten && !file.exists())
        return NTE_NO_KEY;
    if (!file.open(QIODevice::ReadOnly))
        return NTE_BAD_KEYSET;
    const QByteArray pem = file.readAll();
    if (pem.isEmpty())
        return NTE_NO_KEY;
    return CryptoRsa::readKeyPair(pem, out);
}

bool storeKeyPair(Context *context, Pkey *pkey)
{
    if (!makeKeysFolder(context->path))
        return false;
    const QByteArray pem = CryptoRsa::writeKeyPair(pkey);
    if (pem.isEmpty() || !writeContainer(context->path, pem))
        return false;
    context->unwritten = false;
    return true;
}


std::uint32_t modulusBytes(Pkey *pkey)
{
    return (CryptoRsa::bits(pkey) + 7) / 8;
}

Bytes publicKeyBlob(Pkey *pkey)
{
    Bytes modulus;
    std::uint32_t exponent = 0;
    if (!CryptoRsa::publicParts(pkey, &modulus, &exponent))
        return {};
    Bytes blob;
    appendBlobHeader(blob, PUBLICKEYBLOB, CALG_RSA_KEYX);
    appendLe32(blob, RSA1_MAGIC);
    appendLe32(blob, std::uint32_t(modulus.size()) * 8);
    appendLe32(blob, exponent);
    blob.insert(blob.end(), modulus.begin(), modulus.end());
    return blob;
}

// A 40-bit RC2 key: five secret bytes followed by eleven zero salt bytes.
KeyObject rc2Key(const unsigned char *secret, bool exportable)
{
    KeyObject key;
    key.kind = KeyKind::Rc2;
    key.exportable = exportable;
    std::copy(secret, secret + kRc2SecretBytes, key.material.begin());
    return key;
}

// Runs whole blocks through RC2-CBC from the key's current chaining value:
// all 16 key bytes, limited to 40 effective bits.
bool runCbc(const KeyObject &key, bool encrypting, const Bytes &in, Bytes *out)
{
    if (in.size() % kBlock || in.size() > std::size_t(LONG_MAX))
        return false;
    out->resize(in.size());
    if (in.empty())
        return true;
    RC2_KEY schedule;
    RC2_set_key(&schedule, kRc2KeyBytes, key.material.data(), kRc2EffectiveBits);
    // The chaining value is advanced by the caller, which alone knows whether
    // the message goes on.
    std::array<unsigned char, kBlock> iv = key.iv;
    RC2_cbc_encrypt(in.data(), out->data(), long(in.size()), &schedule, iv.data(),
                    encrypting ? RC2_ENCRYPT : RC2_DECRYPT);
    OPENSSL_cleanse(&schedule, sizeof schedule);
    return true;
}

// A non-final call carries the last ciphertext block over as the next IV; the
// final call ends the message, so the next one starts from a zero IV.
void advanceChain(KeyObject &key, bool final, const Bytes &ciphertext)
{
    if (final)
        key.iv.fill(0);
    else if (ciphertext.size() >= kBlock)
        std::copy(ciphertext.end() - kBlock, ciphertext.end(), key.iv.begin());
}

bool finishHash(HashObject &hash)
{
    if (hash.finished)
        return true;
    Bytes value(MD5_DIGEST_LENGTH);
    if (!MD5_Final(value.data(), &hash.md))
        return false;
    hash.value = std::move(value);
    hash.finished = true;
    return true;
}

// Looks up the hash that encrypt/decrypt feed with the plaintext, if any.
bool findDataHash(State &st, Handle hash, HashObject **out)
{
    *out = nullptr;
    if (!hash)
        return true;
    *out = lookup(st.hashes, hash);
    if (!*out)
        return fail(NTE_BAD_HASH);
    if ((*out)->finished)
        return fail(NTE_BAD_HASH_STATE);
    return true;
}

} // namespace

std::uint32_t lastError()
{
    return t_lastError;
}

QString containerPath(const QString &container)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return {};
    const QString name = container.isEmpty() ? QStringLiteral("default") : container;
    return base + QStringLiteral("/Borvessa/keys/") + name + QStringLiteral(".keyset");
}

bool acquireContext(Handle *prov, const QString &container, const QString &providerName,
                    std::uint32_t provType, std::uint32_t flags)
{
    if (!prov)
        return fail(ERROR_INVALID_PARAMETER);
    if (!providerName.isEmpty() && providerName != kBaseProviderName)
        return fail(NTE_KEYSET_NOT_DEF);
    if (provType != PROV_RSA_FULL)
        return fail(NTE_PROV_TYPE_NOT_DEF);
    if (flags & ~CRYPT_NEWKEYSET)
        return fail(NTE_BAD_FLAGS);
    if (!validContainerName(container))
        return fail(NTE_BAD_KEYSET_PARAM);

    State &st = state();
    const std::lock_guard lock(st.mutex);
    const QString path = containerPath(container);
    if (path.isEmpty())
        return fail(NTE_FAIL);
    const QFileInfo info(path);
    if (flags & CRYPT_NEWKEYSET) {
        if (info.exists() || info.isSymLink())
            return fail(NTE_EXISTS);
    } else if (!info.isFile()) {
        return fail(NTE_BAD_KEYSET);
    }
    const Handle h = st.newHandle();
    st.contexts[h] = Context{path, bool(flags & CRYPT_NEWKEYSET)};
    *prov = h;
    return true;
}

bool releaseContext(Handle prov, std::uint32_t flags)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    if (!lookup(st.contexts, prov))
        return fail(ERROR_INVALID_HANDLE);
    if (flags)
        return fail(NTE_BAD_FLAGS);
    st.contexts.erase(prov);
    return true;
}

bool createHash(Handle prov, std::uint32_t algId, Handle key, std::uint32_t flags, Handle *hash)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    if (!lookup(st.contexts, prov))
        return fail(NTE_BAD_UID);
    if (algId != CALG_MD5)
        return fail(NTE_BAD_ALGID);
    if (key)
        return fail(NTE_BAD_KEY);
    if (flags)
        return fail(NTE_BAD_FLAGS);
    if (!hash)
        return fail(ERROR_INVALID_PARAMETER);
    HashObject object;
    if (!MD5_Init(&object.md))
        return fail(NTE_FAIL);
    const Handle h = st.newHandle();
    st.hashes[h] = std::move(object);
    *hash = h;
    return true;
}

bool hashData(Handle hash, const char *data, std::uint32_t len, std::uint32_t flags)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    HashObject *object = lookup(st.hashes, hash);
    if (!object)
        return fail(NTE_BAD_HASH);
    if (flags)
        return fail(NTE_BAD_FLAGS);
    if (!data && len)
        return fail(ERROR_INVALID_PARAMETER);
    if (object->finished)
        return fail(NTE_BAD_HASH_STATE);
    if (len && !MD5_Update(&object->md, data, len))
        return fail(NTE_FAIL);
    return true;
}

bool getHashParam(Handle hash, std::uint32_t param, unsigned char *buf, std::uint32_t *len,
                  std::uint32_t flags)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    HashObject *object = lookup(st.hashes, hash);
    if (!object)
        return fail(NTE_BAD_HASH);
    if (flags)
        return fail(NTE_BAD_FLAGS);
    if (!len)
        return fail(ERROR_INVALID_PARAMETER);
    Bytes value;
    switch (param) {
    case HP_ALGID:
        appendLe32(value, CALG_MD5);
        break;
    case HP_HASHSIZE:
        appendLe32(value, kMd5Size);
        break;
    case HP_HASHVAL:
        // Asking only for the length leaves the hash open for more data.
        if (!buf || *len < kMd5Size) {
            value.resize(kMd5Size);
            break;
        }
        if (!finishHash(*object))
            return fail(NTE_FAIL);
        value = object->value;
        break;
    default:
        return fail(NTE_BAD_TYPE);
    }
    return deliver(value, buf, len);
}

bool destroyHash(Handle hash)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    if (!st.hashes.erase(hash))
        return fail(ERROR_INVALID_HANDLE);
    return true;
}

bool deriveKey(Handle prov, std::uint32_t algId, Handle hash, std::uint32_t flags, Handle *key)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    if (!lookup(st.contexts, prov))
        return fail(NTE_BAD_UID);
    HashObject *object = lookup(st.hashes, hash);
    if (!object)
        return fail(NTE_BAD_HASH);
    if (algId != CALG_RC2)
        return fail(NTE_BAD_ALGID);
    const std::uint32_t bits = keyBitsOf(flags);
    if ((flags & 0xFFFF & ~CRYPT_EXPORTABLE) || (bits != 0 && bits != kRc2EffectiveBits))
        return fail(NTE_BAD_FLAGS);
    if (!key)
        return fail(ERROR_INVALID_PARAMETER);
    if (!finishHash(*object) || object->value.size() < kRc2SecretBytes)
        return fail(NTE_FAIL);
    const Handle h = st.newHandle();
    st.keys[h] = rc2Key(object->value.data(), flags & CRYPT_EXPORTABLE);
    *key = h;
    return true;
}

bool genKey(Handle prov, std::uint32_t algId, std::uint32_t flags, Handle *key)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    Context *context = lookup(st.contexts, prov);
    if (!context)
        return fail(NTE_BAD_UID);
    if (!key)
        return fail(ERROR_INVALID_PARAMETER);
    if (flags & 0xFFFF & ~CRYPT_EXPORTABLE)
        return fail(NTE_BAD_FLAGS);
    const std::uint32_t bits = keyBitsOf(flags);
    KeyObject object;
    if (algId == AT_KEYEXCHANGE || algId == CALG_RSA_KEYX) {
        const std::uint32_t rsaBits = bits ? bits : kDefaultRsaBits;
        if (rsaBits < kMinRsaBits || rsaBits > kMaxRsaBits || rsaBits % 8)
            return fail(NTE_BAD_FLAGS);
        object.kind = KeyKind::RsaPair;
        object.exportable = flags & CRYPT_EXPORTABLE;
        object.pkey = CryptoRsa::generate(rsaBits);
        if (!object.pkey || !storeKeyPair(context, object.pkey.get()))
            return fail(NTE_FAIL);
    } else if (algId == CALG_RC2) {
        if (bits != 0 && bits != kRc2EffectiveBits)
            return fail(NTE_BAD_FLAGS);
        std::array<unsigned char, kRc2SecretBytes> secret{};
        if (!CryptoRsa::randomBytes(secret.data(), secret.size()))
            return fail(NTE_FAIL);
        object = rc2Key(secret.data(), flags & CRYPT_EXPORTABLE);
        OPENSSL_cleanse(secret.data(), secret.size());
    } else {
        return fail(NTE_BAD_ALGID);
    }
    const Handle h = st.newHandle();
    st.keys[h] = std::move(object);
    *key = h;
    return true;
}

bool getUserKey(Handle prov, std::uint32_t keyType, Handle *key)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    const Context *context = lookup(st.contexts, prov);
    if (!context)
        return fail(NTE_BAD_UID);
    if (!key)
        return fail(ERROR_INVALID_PARAMETER);
    if (keyType == AT_SIGNATURE)
        return fail(NTE_NO_KEY);
    if (keyType != AT_KEYEXCHANGE)
        return fail(NTE_BAD_KEY);
    KeyObject object;
    object.kind = KeyKind::RsaPair;
    if (const std::uint32_t code = loadKeyPair(*context, &object.pkey))
        return fail(code);
    const Handle h = st.newHandle();
    st.keys[h] = std::move(object);
    *key = h;
    return true;
}

bool exportKey(Handle key, Handle expKey, std::uint32_t blobType, std::uint32_t flags,
               unsigned char *buf, std::uint32_t *len)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    const KeyObject *object = lookup(st.keys, key);
    if (!object)
        return fail(NTE_BAD_KEY);
    if (flags)
        return fail(NTE_BAD_FLAGS);
    if (!len)
        return fail(ERROR_INVALID_PARAMETER);

    if (blobType == PUBLICKEYBLOB) {
        if (object->kind == KeyKind::Rc2)
            return fail(NTE_BAD_KEY);
        const Bytes blob = publicKeyBlob(object->pkey.get());
        if (blob.empty())
            return fail(NTE_FAIL);
        return deliver(blob, buf, len);
    }
    if (blobType != SIMPLEBLOB)
        return fail(NTE_BAD_TYPE);
    if (object->kind != KeyKind::Rc2)
        return fail(NTE_BAD_KEY);
    if (!expKey)
        return fail(NTE_NO_KEY);
    const KeyObject *exchange = lookup(st.keys, expKey);
    if (!exchange || exchange->kind == KeyKind::Rc2)
        return fail(NTE_BAD_PUBLIC_KEY);
    if (!object->exportable)
        return fail(NTE_BAD_KEY_STATE);

    const std::uint32_t needed = kSimpleBlobFixed + modulusBytes(exchange->pkey.get());
    if (!buf || *len < needed)
        return deliver(Bytes(needed), buf, len);
    const Bytes sealed = CryptoRsa::encryptLe(exchange->pkey.get(), object->material.data(), kRc2SecretBytes);
    if (sealed.empty())
        return fail(NTE_FAIL);
    Bytes blob;
    appendBlobHeader(blob, SIMPLEBLOB, CALG_RC2);
    appendLe32(blob, CALG_RSA_KEYX);
    blob.insert(blob.end(), sealed.begin(), sealed.end());
    return deliver(blob, buf, len);
}

bool importKey(Handle prov, const unsigned char *blob, std::uint32_t len, Handle pubKey,
               std::uint32_t flags, Handle *key)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    const Context *context = lookup(st.contexts, prov);
    if (!context)
        return fail(NTE_BAD_UID);
    if (!key || (!blob && len))
        return fail(ERROR_INVALID_PARAMETER);
    if (flags & ~CRYPT_EXPORTABLE)
        return fail(NTE_BAD_FLAGS);
    if (len < kBlobHeaderSize)
        return fail(NTE_BAD_DATA);
    const std::uint32_t type = blob[0];
    if (type != PUBLICKEYBLOB && type != SIMPLEBLOB)
        return fail(NTE_BAD_TYPE);
    if (blob[1] != CUR_BLOB_VERSION)
        return fail(NTE_BAD_VER);
    const std::uint32_t keyAlg = readLe32(blob + 4);

    KeyObject object;
    if (type == PUBLICKEYBLOB) {
        if (keyAlg != CALG_RSA_KEYX)
            return fail(NTE_BAD_ALGID);
        if (len < kPublicKeyBlobFixed || readLe32(blob + 8) != RSA1_MAGIC)
            return fail(NTE_BAD_DATA);
        const std::uint32_t bitLen = readLe32(blob + 12);
        const std::uint32_t pubExp = readLe32(blob + 16);
        if (bitLen < kMinRsaBits || bitLen > kMaxRsaBits || bitLen % 8 || len != kPublicKeyBlobFixed + bitLen / 8
            || pubExp < 3 || pubExp % 2 == 0)
            return fail(NTE_BAD_DATA);
        object.kind = KeyKind::RsaPublic;
        object.exportable = true;
        object.pkey = CryptoRsa::fromPublicParts(blob + kPublicKeyBlobFixed, bitLen / 8, pubExp);
        if (!object.pkey || CryptoRsa::bits(object.pkey.get()) != bitLen)
            return fail(NTE_BAD_DATA);
    } else {
        if (keyAlg != CALG_RC2)
            return fail(NTE_BAD_ALGID);
        if (len < kSimpleBlobFixed)
            return fail(NTE_BAD_DATA);
        if (readLe32(blob + kBlobHeaderSize) != CALG_RSA_KEYX)
            return fail(NTE_BAD_ALGID);
        PkeyPtr exchange;
        if (pubKey) {
            const KeyObject *given = lookup(st.keys, pubKey);
            if (!given || given->kind != KeyKind::RsaPair)
                return fail(NTE_BAD_KEY);
            exchange = given->pkey;
        } else if (const std::uint32_t code = loadKeyPair(*context, &exchange)) {
            return fail(code);
        }
        if (len - kSimpleBlobFixed != modulusBytes(exchange.get()))
            return fail(NTE_BAD_DATA);
        Bytes secret = CryptoRsa::decryptLe(exchange.get(), blob + kSimpleBlobFixed, len - kSimpleBlobFixed);
        if (secret.size() != kRc2SecretBytes)
            return fail(NTE_BAD_DATA);
        object = rc2Key(secret.data(), flags & CRYPT_EXPORTABLE);
        OPENSSL_cleanse(secret.data(), secret.size());
    }
    const Handle h = st.newHandle();
    st.keys[h] = std::move(object);
    *key = h;
    return true;
}

bool destroyKey(Handle key)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    const auto it = st.keys.find(key);
    if (it == st.keys.end())
        return fail(ERROR_INVALID_HANDLE);
    OPENSSL_cleanse(it->second.material.data(), it->second.material.size());
    st.keys.erase(it);
    return true;
}

bool encrypt(Handle key, Handle hash, bool final, std::uint32_t flags, unsigned char *buf,
             std::uint32_t *dataLen, std::uint32_t bufLen)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    KeyObject *object = lookup(st.keys, key);
    if (!object || object->kind != KeyKind::Rc2)
        return fail(NTE_BAD_KEY);
    HashObject *dataHash = nullptr;
    if (!findDataHash(st, hash, &dataHash))
        return false;
    if (flags)
        return fail(NTE_BAD_FLAGS);
    if (!dataLen)
        return fail(ERROR_INVALID_PARAMETER);
    const std::uint32_t n = *dataLen;
    if (n > INT_MAX - kBlock)
        return fail(NTE_BAD_LEN);
    if (!final && n % kBlock)
        return fail(NTE_BAD_DATA);
    const std::uint32_t needed = final ? n - n % kBlock + kBlock : n;
    if (!buf) {
        *dataLen = needed;
        return true;
    }
    if (bufLen < needed) {
        *dataLen = needed;
        return fail(ERROR_MORE_DATA);
    }
    // PKCS#5: every padding byte holds the number of padding bytes.
    Bytes plain(buf, buf + n);
    plain.resize(needed, static_cast<unsigned char>(needed - n));
    Bytes cipher;
    if (!runCbc(*object, true, plain, &cipher))
        return fail(NTE_FAIL);
    if (dataHash && n && !MD5_Update(&dataHash->md, buf, n))
        return fail(NTE_FAIL);
    advanceChain(*object, final, cipher);
    std::copy(cipher.begin(), cipher.end(), buf);
    *dataLen = needed;
    return true;
}

bool decrypt(Handle key, Handle hash, bool final, std::uint32_t flags, unsigned char *buf,
             std::uint32_t *dataLen)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    KeyObject *object = lookup(st.keys, key);
    if (!object || object->kind != KeyKind::Rc2)
        return fail(NTE_BAD_KEY);
    HashObject *dataHash = nullptr;
    if (!findDataHash(st, hash, &dataHash))
        return false;
    if (flags)
        return fail(NTE_BAD_FLAGS);
    if (!dataLen || (!buf && *dataLen))
        return fail(ERROR_INVALID_PARAMETER);
    const std::uint32_t n = *dataLen;
    if (n % kBlock || (final && n == 0))
        return fail(NTE_BAD_DATA);
    const Bytes cipher(buf, buf + n);
    Bytes plain;
    if (!runCbc(*object, false, cipher, &plain))
        return fail(NTE_FAIL);
    advanceChain(*object, final, cipher);
    std::uint32_t plainLen = n;
    if (final) {
        const unsigned char pad = plain.back();
        const bool padded = pad >= 1 && pad <= kBlock
                            && std::all_of(plain.end() - pad, plain.end(), [pad](unsigned char b) { return b == pad; });
        if (!padded) {
            OPENSSL_cleanse(plain.data(), plain.size());
            return fail(NTE_BAD_DATA);
        }
        plainLen -= pad;
    }
    if (dataHash && plainLen && !MD5_Update(&dataHash->md, plain.data(), plainLen))
        return fail(NTE_FAIL);
    std::copy(plain.begin(), plain.begin() + plainLen, buf);
    *dataLen = plainLen;
    return true;
}

} // namespace CryptoProvider
