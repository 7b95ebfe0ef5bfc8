// Modules that the crypto provider's forwarder must refuse: one from another
// version of the program, and one that exports no entry at all.

#include "CryptoModule.h"

#include <QtGlobal>

#ifndef BORVESSA_NO_ENTRY
extern "C" Q_DECL_EXPORT const CryptoModule::Table *borvessa_crypto_provider()
{
    // An older table: only the version and size fields are to be trusted.
    static const CryptoModule::Table table = [] {
        CryptoModule::Table t{};
        t.version = CryptoModule::Version - 1;
        t.size = sizeof(CryptoModule::Table) - 8;
        return t;
    }();
    return &table;
}
#else
extern "C" Q_DECL_EXPORT int borvessa_crypto_something_else()
{
    return 0;
}
#endif
