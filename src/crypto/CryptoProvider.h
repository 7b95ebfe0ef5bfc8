#pragma once

#include <QString>

#include <cstdint>

// The calls of the Windows CryptoAPI base RSA provider that clsCrypto makes,
// with that provider's algorithms, key blobs and error codes, backed by
// OpenSSL. Every call returns true on success; on failure it returns false and
// lastError() gives the code. Handles are opaque nonzero numbers that are never
// reused, so a stale handle fails cleanly instead of reaching another object.
namespace CryptoProvider {

using Handle = std::uintptr_t;

inline const QString kBaseProviderName = QStringLiteral("Microsoft Base Cryptographic Provider v1.0");

// Provider types and context flags.
inline constexpr std::uint32_t PROV_RSA_FULL = 1;
inline constexpr std::uint32_t CRYPT_NEWKEYSET = 0x8;

// Algorithms and key pair kinds.
inline constexpr std::uint32_t AT_KEYEXCHANGE = 1;
inline constexpr std::uint32_t CALG_MD5 = 0x8003;
inline constexpr std::uint32_t CALG_RC2 = 0x6602;
inline constexpr std::uint32_t CALG_RSA_KEYX = 0xA400;

// Key flags; the upper 16 bits of the genKey/deriveKey flags give a key length in bits.
inline constexpr std::uint32_t CRYPT_EXPORTABLE = 0x1;

// Hash parameters.
inline constexpr std::uint32_t HP_ALGID = 1;
inline constexpr std::uint32_t HP_HASHVAL = 2;
inline constexpr std::uint32_t HP_HASHSIZE = 4;

// Key blob types.
inline constexpr std::uint32_t SIMPLEBLOB = 1;
inline constexpr std::uint32_t PUBLICKEYBLOB = 6;
inline constexpr std::uint8_t CUR_BLOB_VERSION = 2;
inline constexpr std::uint32_t RSA1_MAGIC = 0x31415352;

// Error codes.
inline constexpr std::uint32_t ERROR_INVALID_HANDLE = 6;
inline constexpr std::uint32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr std::uint32_t ERROR_MORE_DATA = 234;
inline constexpr std::uint32_t NTE_BAD_UID = 0x80090001;
inline constexpr std::uint32_t NTE_BAD_HASH = 0x80090002;
inline constexpr std::uint32_t NTE_BAD_KEY = 0x80090003;
inline constexpr std::uint32_t NTE_BAD_LEN = 0x80090004;
inline constexpr std::uint32_t NTE_BAD_DATA = 0x80090005;
inline constexpr std::uint32_t NTE_BAD_VER = 0x80090007;
inline constexpr std::uint32_t NTE_BAD_ALGID = 0x80090008;
inline constexpr std::uint32_t NTE_BAD_FLAGS = 0x80090009;
inline constexpr std::uint32_t NTE_BAD_TYPE = 0x8009000A;
inline constexpr std::uint32_t NTE_BAD_KEY_STATE = 0x8009000B;
inline constexpr std::uint32_t NTE_BAD_HASH_STATE = 0x8009000C;
inline constexpr std::uint32_t NTE_NO_KEY = 0x8009000D;
inline constexpr std::uint32_t NTE_EXISTS = 0x8009000F;
inline constexpr std::uint32_t NTE_BAD_PUBLIC_KEY = 0x80090015;
inline constexpr std::uint32_t NTE_BAD_KEYSET = 0x80090016;
inline constexpr std::uint32_t NTE_PROV_TYPE_NOT_DEF = 0x80090017;
inline constexpr std::uint32_t NTE_KEYSET_NOT_DEF = 0x80090019;
inline constexpr std::uint32_t NTE_KEYSET_ENTRY_BAD = 0x8009001A;
inline constexpr std::uint32_t NTE_PROVIDER_DLL_FAIL = 0x8009001D;
inline constexpr std::uint32_t NTE_PROV_DLL_NOT_FOUND = 0x8009001E;
inline constexpr std::uint32_t NTE_BAD_KEYSET_PARAM = 0x8009001F;
inline constexpr std::uint32_t NTE_FAIL = 0x80090020;

// The code of the last failed call on this thread.
std::uint32_t lastError();


// The file of a key container; an empty name is the user's default container.
QString containerPath(const QString &container = {});

// Opens a key container (flags 0) or creates it (CRYPT_NEWKEYSET). A new
// container's file, in a keys folder only its owner may enter, is written when
// the first key pair is stored; until then the container has no key pair and
// a second CRYPT_NEWKEYSET may create it again. An empty provider name picks
// the base provider.
bool acquireContext(Handle *prov, const QString &container, const QString &providerName,
                    std::uint32_t provType, std::uint32_t flags);
bool releaseContext(Handle prov, std::uint32_t flags = 0);

bool createHash(Handle prov, std::uint32_t algId, Handle key, std::uint32_t flags, Handle *hash);
bool hashData(Handle hash, const char *data, std::uint32_t len, std::uint32_t flags);
// With a null buffer only *len is set to the size the value needs.
bool getHashParam(Handle hash, std::uint32_t param, unsigned char *buf, std::uint32_t *len,
                  std::uint32_t flags);
bool destroyHash(Handle hash);

// A 40-bit RC2 key from the first five bytes of the hash value.
bool deriveKey(Handle prov, std::uint32_t algId, Handle hash, std::uint32_t flags, Handle *key);
// AT_KEYEXCHANGE replaces the container's RSA key pair; CALG_RC2 makes a random session key.
bool genKey(Handle prov, std::uint32_t algId, std::uint32_t flags, Handle *key);
bool getUserKey(Handle prov, std::uint32_t keyType, Handle *key);

// PUBLICKEYBLOB of an RSA key, or SIMPLEBLOB of a session key encrypted with the
// RSA public key expKey. With a null buffer only *len is set.
bool exportKey(Handle key, Handle expKey, std::uint32_t blobType, std::uint32_t flags,
               unsigned char *buf, std::uint32_t *len);
// A SIMPLEBLOB is opened with pubKey's private key, or the container's exchange key when pubKey is 0.
bool importKey(Handle prov, const unsigned char *blob, std::uint32_t len, Handle pubKey,
               std::uint32_t flags, Handle *key);
bool destroyKey(Handle key);

// Encrypts *dataLen bytes of buf in place. With a null buffer only *dataLen is
// set to the length of the ciphertext. A non-final call takes whole blocks and
// carries the chaining over to the next call; the final call pads.
bool encrypt(Handle key, Handle hash, bool final, std::uint32_t flags, unsigned char *buf,
             std::uint32_t *dataLen, std::uint32_t bufLen);
// Decrypts *dataLen bytes of buf in place; on failure buf is left unchanged.
bool decrypt(Handle key, Handle hash, bool final, std::uint32_t flags, unsigned char *buf,
             std::uint32_t *dataLen);

} // namespace CryptoProvider
