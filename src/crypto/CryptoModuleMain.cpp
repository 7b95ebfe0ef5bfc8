// Entry of the crypto module: the OpenSSL-backed provider's calls, for the
// forwarder in the window program.

#include "CryptoModule.h"

#include <QtGlobal>

#include <type_traits>

namespace CP = CryptoProvider;

extern "C" Q_DECL_EXPORT const CryptoModule::Table *borvessa_crypto_provider()
{
    static_assert(std::is_same_v<decltype(&borvessa_crypto_provider), CryptoModule::Entry>);
    static constexpr CryptoModule::Table table{
        CryptoModule::Version, sizeof(CryptoModule::Table),
        &CP::lastError,  &CP::containerPath, &CP::acquireContext, &CP::releaseContext,
        &CP::createHash, &CP::hashData,      &CP::getHashParam,   &CP::destroyHash,
        &CP::deriveKey,  &CP::genKey,        &CP::getUserKey,     &CP::exportKey,
        &CP::importKey,  &CP::destroyKey,    &CP::encrypt,        &CP::decrypt,
    };
    return &table;
}
