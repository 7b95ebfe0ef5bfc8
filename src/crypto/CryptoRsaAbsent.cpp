// The RSA side of the crypto provider in a program built to read and write
// card files only: the card tool's card commands. Card files use RC2 and MD5
// alone, so nothing here is ever needed by them; a key pair, a key exchange
// or a random session key is refused as an algorithm this program lacks.

#include "CryptoRsa.h"

#include "CryptoProvider.h"

namespace CryptoRsa {

bool available()
{
    return false;
}

std::uint32_t readKeyPair(const QByteArray &, Key *)
{
    return CryptoProvider::NTE_BAD_ALGID;
}

QByteArray writeKeyPair(evp_pkey_st *)
{
    return {};
}

Key generate(unsigned)
{
    return {};
}

std::uint32_t bits(evp_pkey_st *)
{
    return 0;
}

bool publicParts(evp_pkey_st *, Bytes *, std::uint32_t *)
{
    return false;
}

Key fromPublicParts(const unsigned char *, std::uint32_t, std::uint32_t)
{
    return {};
}

Bytes encryptLe(evp_pkey_st *, const unsigned char *, std::size_t)
{
    return {};
}

Bytes decryptLe(evp_pkey_st *, const unsigned char *, std::size_t)
{
    return {};
}

bool randomBytes(unsigned char *, std::size_t)
{
    return false;
}

} // namespace CryptoRsa
