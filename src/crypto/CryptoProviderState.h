// What the crypto provider's two halves share: its objects, its process-wide
// state and the byte helpers of the CryptoAPI blob formats. Internal to
// src/crypto.
#pragma once

#ifndef OPENSSL_SUPPRESS_DEPRECATED
#define OPENSSL_SUPPRESS_DEPRECATED
#endif

#include "CryptoProvider.h"
#include "CryptoRsa.h"

#include <QString>

#include <openssl/md5.h>

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace CryptoProvider::detail {

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

// Records code as the thread's last error and returns false.
bool fail(std::uint32_t code);

// The key length in bits carried in the upper half of genKey/deriveKey flags.
inline std::uint32_t keyBitsOf(std::uint32_t flags)
{
    return flags >> 16;
}

void appendLe32(Bytes &out, std::uint32_t v);
std::uint32_t readLe32(const unsigned char *p);
void appendBlobHeader(Bytes &out, std::uint32_t type, std::uint32_t keyAlg);
// Copies a value out under the CryptoAPI length rules: a null buffer asks for
// the length, a short buffer gets ERROR_MORE_DATA and the length it needs.
bool deliver(const Bytes &value, unsigned char *buf, std::uint32_t *len);

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

State &state();

template <typename T>
T *lookup(std::map<Handle, T> &table, Handle h)
{
    const auto it = table.find(h);
    return it == table.end() ? nullptr : &it->second;
}

// Loads the key pair of a container; an empty container has none.
std::uint32_t loadKeyPair(const Context &context, PkeyPtr *out);
bool storeKeyPair(Context *context, Pkey *pkey);
bool finishHash(HashObject &hash);
// Looks up the hash that encrypt/decrypt feed with the plaintext, if any.
bool findDataHash(State &st, Handle hash, HashObject **out);

} // namespace CryptoProvider::detail
