#include "CryptoRsa.h"

#include "CryptoProvider.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>
#include <openssl/pem.h>
#include <openssl/provider.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>

#include <algorithm>
#include <mutex>

namespace CryptoRsa {

namespace {

// Frees an OpenSSL object through the given function.
template <auto Free>
struct OsslFree
{
    template <typename T>
    void operator()(T *p) const { Free(p); }
};

using PkeyCtxPtr = std::unique_ptr<EVP_PKEY_CTX, OsslFree<EVP_PKEY_CTX_free>>;
using BioPtr = std::unique_ptr<BIO, OsslFree<BIO_free>>;
using BnPtr = std::unique_ptr<BIGNUM, OsslFree<BN_free>>;
using ParamBldPtr = std::unique_ptr<OSSL_PARAM_BLD, OsslFree<OSSL_PARAM_BLD_free>>;
using ParamPtr = std::unique_ptr<OSSL_PARAM, OsslFree<OSSL_PARAM_free>>;

// A private library context with the default provider, made at the first use
// of the RSA side, which keeps the rest of the process on OpenSSL's defaults.
// Its start-up is kept to what it needs: the system's OpenSSL configuration
// file is not read (the private context never uses it), and the old name
// tables of every cipher and digest are not built. Never destroyed: OpenSSL
// cleans itself up at exit, before or after any destructor of ours depending
// on who initialised it first, and no key may be freed after that.
struct Context
{
    std::once_flag once;
    OSSL_LIB_CTX *libctx = nullptr;
};

// Null when the context cannot be made. Safe to call from any thread.
OSSL_LIB_CTX *context()
{
    static Context *c = new Context;
    std::call_once(c->once, [] {
        OPENSSL_init_crypto(OPENSSL_INIT_NO_LOAD_CONFIG | OPENSSL_INIT_NO_ADD_ALL_CIPHERS
                                | OPENSSL_INIT_NO_ADD_ALL_DIGESTS,
                            nullptr);
        OSSL_LIB_CTX *libctx = OSSL_LIB_CTX_new();
        if (libctx && OSSL_PROVIDER_load(libctx, "default"))
            c->libctx = libctx;
        else
            OSSL_LIB_CTX_free(libctx);
    });
    return c->libctx;
}

Key adopt(EVP_PKEY *pkey)
{
    return Key(pkey, EVP_PKEY_free);
}

} // namespace

std::uint32_t readKeyPair(const QByteArray &pem, Key *out)
{
    OSSL_LIB_CTX *libctx = context();
    BioPtr bio(BIO_new_mem_buf(pem.constData(), int(pem.size())));
    if (!libctx || !bio)
        return CryptoProvider::NTE_FAIL;
    EVP_PKEY *pkey = PEM_read_bio_PrivateKey_ex(bio.get(), nullptr, nullptr, nullptr, libctx, nullptr);
    if (!pkey)
        return CryptoProvider::NTE_KEYSET_ENTRY_BAD;
    *out = adopt(pkey);
    if (!EVP_PKEY_is_a(pkey, "RSA"))
        return CryptoProvider::NTE_KEYSET_ENTRY_BAD;
    return 0;
}

QByteArray writeKeyPair(EVP_PKEY *key)
{
    BioPtr bio(BIO_new(BIO_s_mem()));
    if (!bio || !PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr))
        return {};
    char *data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return size > 0 ? QByteArray(data, qsizetype(size)) : QByteArray();
}

Key generate(unsigned bits)
{
    OSSL_LIB_CTX *libctx = context();
    PkeyCtxPtr ctx(libctx ? EVP_PKEY_CTX_new_from_name(libctx, "RSA", nullptr) : nullptr);
    EVP_PKEY *pkey = nullptr;
    if (!ctx || EVP_PKEY_keygen_init(ctx.get()) <= 0 || EVP_PKEY_CTX_set_rsa_keygen_bits(ctx.get(), int(bits)) <= 0
        || EVP_PKEY_generate(ctx.get(), &pkey) <= 0)
        return {};
    return adopt(pkey);
}

std::uint32_t bits(EVP_PKEY *key)
{
    return std::uint32_t(EVP_PKEY_get_bits(key));
}

bool publicParts(EVP_PKEY *key, Bytes *modulusLe, std::uint32_t *exponent)
{
    BIGNUM *n = nullptr;
    BIGNUM *e = nullptr;
    const bool ok = EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_RSA_N, &n)
                    && EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_RSA_E, &e);
    const BnPtr modulus(n);
    const BnPtr publicExponent(e);
    if (!ok || BN_num_bits(publicExponent.get()) > 32)
        return false;
    modulusLe->resize((bits(key) + 7) / 8);
    if (BN_bn2lebinpad(modulus.get(), modulusLe->data(), int(modulusLe->size())) < 0)
        return false;
    *exponent = std::uint32_t(BN_get_word(publicExponent.get()));
    return true;
}

Key fromPublicParts(const unsigned char *modulusLe, std::uint32_t modulusBytes, std::uint32_t exponent)
{
    const BnPtr n(BN_lebin2bn(modulusLe, int(modulusBytes), nullptr));
    const BnPtr e(BN_new());
    ParamBldPtr bld(OSSL_PARAM_BLD_new());
    if (!n || !e || !bld || !BN_set_word(e.get(), exponent)
        || !OSSL_PARAM_BLD_push_BN(bld.get(), OSSL_PKEY_PARAM_RSA_N, n.get())
        || !OSSL_PARAM_BLD_push_BN(bld.get(), OSSL_PKEY_PARAM_RSA_E, e.get()))
        return {};
    const ParamPtr params(OSSL_PARAM_BLD_to_param(bld.get()));
    OSSL_LIB_CTX *libctx = context();
    PkeyCtxPtr ctx(libctx ? EVP_PKEY_CTX_new_from_name(libctx, "RSA", nullptr) : nullptr);
    EVP_PKEY *pkey = nullptr;
    if (!params || !ctx || EVP_PKEY_fromdata_init(ctx.get()) <= 0
        || EVP_PKEY_fromdata(ctx.get(), &pkey, EVP_PKEY_PUBLIC_KEY, params.get()) <= 0)
        return {};
    return adopt(pkey);
}

Bytes encryptLe(EVP_PKEY *key, const unsigned char *data, std::size_t size)
{
    PkeyCtxPtr ctx(EVP_PKEY_CTX_new_from_pkey(context(), key, nullptr));
    Bytes out((bits(key) + 7) / 8);
    std::size_t outLen = out.size();
    if (!ctx || EVP_PKEY_encrypt_init(ctx.get()) <= 0
        || EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) <= 0
        || EVP_PKEY_encrypt(ctx.get(), out.data(), &outLen, data, size) <= 0 || outLen != out.size())
        return {};
    std::reverse(out.begin(), out.end());
    return out;
}

Bytes decryptLe(EVP_PKEY *key, const unsigned char *data, std::size_t size)
{
    Bytes in(data, data + size);
    std::reverse(in.begin(), in.end());
    PkeyCtxPtr ctx(EVP_PKEY_CTX_new_from_pkey(context(), key, nullptr));
    Bytes out(in.size());
    std::size_t outLen = out.size();
    if (!ctx || EVP_PKEY_decrypt_init(ctx.get()) <= 0
        || EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) <= 0)
        return {};
    // Bad padding must fail as it does under CryptoAPI rather than yield a
    // synthetic key (OpenSSL 3.2 and later; older versions ignore the setting).
    unsigned int implicitRejection = 0;
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_uint("implicit-rejection", &implicitRejection),
        OSSL_PARAM_construct_end(),
    };
    EVP_PKEY_CTX_set_params(ctx.get(), params);
    if (EVP_PKEY_decrypt(ctx.get(), out.data(), &outLen, in.data(), in.size()) <= 0)
        return {};
    out.resize(outLen);
    return out;
}

bool randomBytes(unsigned char *out, std::size_t size)
{
    OSSL_LIB_CTX *libctx = context();
    return libctx && RAND_bytes_ex(libctx, out, size, 0) > 0;
}

} // namespace CryptoRsa
