#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct evp_pkey_st; // OpenSSL's EVP_PKEY

// The crypto provider's RSA side: key pairs and public keys, their PEM text
// and blob parts, the PKCS#1 v1.5 key exchange, and random session keys.
namespace CryptoRsa {

using Bytes = std::vector<unsigned char>;
using Key = std::shared_ptr<evp_pkey_st>;

// The RSA key pair held in PEM text. 0, or the provider's error code:
// NTE_KEYSET_ENTRY_BAD for text that holds no RSA key pair, NTE_FAIL when
// OpenSSL cannot be set up.
std::uint32_t readKeyPair(const QByteArray &pem, Key *out);
// The key pair as unencrypted PEM text; empty on failure.
QByteArray writeKeyPair(evp_pkey_st *key);
// A new key pair of the given modulus length; null on failure.
Key generate(unsigned bits);

// The modulus length in bits.
std::uint32_t bits(evp_pkey_st *key);
// The modulus, least significant byte first and padded to whole bytes of
// bits(), and the public exponent; false if the exponent needs more than 32 bits.
bool publicParts(evp_pkey_st *key, Bytes *modulusLe, std::uint32_t *exponent);
// A public key from those parts; null if they make none.
Key fromPublicParts(const unsigned char *modulusLe, std::uint32_t modulusBytes, std::uint32_t exponent);

// PKCS#1 v1.5 with the key, the result least significant byte first as
// CryptoAPI stores it; empty on failure.
Bytes encryptLe(evp_pkey_st *key, const unsigned char *data, std::size_t size);
// The reverse, with the key pair; empty on failure, bad padding included.
Bytes decryptLe(evp_pkey_st *key, const unsigned char *data, std::size_t size);

// Fills out with random bytes fit for a key; false on failure.
bool randomBytes(unsigned char *out, std::size_t size);

} // namespace CryptoRsa
