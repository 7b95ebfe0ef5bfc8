// The provider's keys: the RC2 session and pass-phrase keys, RSA key pairs
// and their blobs, and encryption and decryption in RC2-CBC.
#include "CryptoProviderState.h"

#include <openssl/crypto.h>
#include <openssl/rc2.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace CryptoProvider {

using namespace detail;

namespace {

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

// What encrypt and decrypt check first: an RC2 key, the hash they feed if
// any, and no flags.
bool cipherCall(State &st, Handle key, Handle hash, std::uint32_t flags, KeyObject **object,
                HashObject **dataHash)
{
    *object = lookup(st.keys, key);
    if (!*object || (*object)->kind != KeyKind::Rc2)
        return fail(NTE_BAD_KEY);
    if (!findDataHash(st, hash, dataHash))
        return false;
    if (flags)
        return fail(NTE_BAD_FLAGS);
    return true;
}

} // namespace

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
    KeyObject *object = nullptr;
    HashObject *dataHash = nullptr;
    if (!cipherCall(st, key, hash, flags, &object, &dataHash))
        return false;
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
    KeyObject *object = nullptr;
    HashObject *dataHash = nullptr;
    if (!cipherCall(st, key, hash, flags, &object, &dataHash))
        return false;
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
