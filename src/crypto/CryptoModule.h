#pragma once

#include "CryptoProvider.h"

#include <QString>

#include <cstdint>

// The crypto provider as a shared module of its own, for the window program:
// libcrypto comes with the module, loaded when the first card is opened or
// saved (or in the background once the window shows), instead of at every
// start. The module exports one function that returns a table of the
// provider's calls.
namespace CryptoModule {

inline constexpr char FileName[] = "borvessa-crypto.so";
inline constexpr char EntryName[] = "borvessa_crypto_provider";
// Raised whenever the table or the signature of a call in it changes.
inline constexpr std::uint32_t Version = 1;

struct Table
{
    // These two come first in every version, so a stale module is recognised.
    std::uint32_t version;
    std::uint32_t size; // sizeof(Table) in the module's build

    decltype(&CryptoProvider::lastError) lastError;
    decltype(&CryptoProvider::containerPath) containerPath;
    decltype(&CryptoProvider::acquireContext) acquireContext;
    decltype(&CryptoProvider::releaseContext) releaseContext;
    decltype(&CryptoProvider::createHash) createHash;
    decltype(&CryptoProvider::hashData) hashData;
    decltype(&CryptoProvider::getHashParam) getHashParam;
    decltype(&CryptoProvider::destroyHash) destroyHash;
    decltype(&CryptoProvider::deriveKey) deriveKey;
    decltype(&CryptoProvider::genKey) genKey;
    decltype(&CryptoProvider::getUserKey) getUserKey;
    decltype(&CryptoProvider::exportKey) exportKey;
    decltype(&CryptoProvider::importKey) importKey;
    decltype(&CryptoProvider::destroyKey) destroyKey;
    decltype(&CryptoProvider::encrypt) encrypt;
    decltype(&CryptoProvider::decrypt) decrypt;
};

using Entry = const Table *(*)();

// For tests of the forwarder: forgets the loaded module (or the failure) and
// loads fileName, found as the module itself would be, at the next call. No
// handle of the previous module may be in use.
void reloadForTesting(const QString &fileName = QLatin1StringView(FileName));

} // namespace CryptoModule
