// The crypto provider's calls in the window program: each one goes to the
// provider in the module borvessa-crypto, loaded once at the first call (or by
// preload()), and fails with the loader's code when the module cannot be had.

#include "CryptoModule.h"

#include "ModuleFile.h"

#include <QDir>
#include <QFileInfo>
#include <QThreadPool>

#include <atomic>
#include <mutex>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

using CryptoModule::Table;

struct Loader
{
    std::atomic<const Table *> table{nullptr};
    std::mutex mutex; // guards the rest
    bool tried = false;
    QString fileName = QLatin1StringView(CryptoModule::FileName);
    QString failure;
    std::uint32_t failureCode = 0;
};

// Never destroyed, as a load in the background may still be running at exit.
Loader &loader()
{
    static Loader *l = new Loader;
    return *l;
}

void load(Loader &l)
{
    const ModuleFile::Entry module = ModuleFile::resolve(l.fileName, CryptoModule::EntryName);
    const QString file = QDir::toNativeSeparators(module.path);
    if (!module.function) {
        l.failureCode = QFileInfo::exists(module.path) ? CryptoProvider::NTE_PROVIDER_DLL_FAIL
                                                       : CryptoProvider::NTE_PROV_DLL_NOT_FOUND;
        l.failure = u"The crypto module %1 cannot be loaded: %2"_s.arg(file, module.error);
        return;
    }
    const Table *table = reinterpret_cast<CryptoModule::Entry>(module.function)();
    if (!table || table->version != CryptoModule::Version || table->size != sizeof(Table)) {
        l.failureCode = CryptoProvider::NTE_PROVIDER_DLL_FAIL;
        l.failure = u"The crypto module %1 cannot be loaded: it belongs to another version of Borvessa"_s
                        .arg(file);
        return;
    }
    l.table.store(table, std::memory_order_release);
}

// The module's table, loading it at the first call; null when it cannot be loaded.
const Table *table()
{
    Loader &l = loader();
    if (const Table *t = l.table.load(std::memory_order_acquire))
        return t;
    const std::lock_guard lock(l.mutex);
    if (!l.tried) {
        l.tried = true;
        load(l);
    }
    return l.table.load(std::memory_order_relaxed);
}

// Calls the module's function, or fails as the provider does when it is missing.
template <auto Call, typename... Args>
bool forward(Args &&...args)
{
    const Table *t = table();
    return t && (t->*Call)(std::forward<Args>(args)...);
}

} // namespace

namespace CryptoModule {

void reloadForTesting(const QString &fileName)
{
    Loader &l = loader();
    const std::lock_guard lock(l.mutex);
    l.table.store(nullptr);
    l.tried = false;
    l.fileName = fileName;
    l.failure.clear();
    l.failureCode = 0;
}

} // namespace CryptoModule

namespace CryptoProvider {

std::uint32_t lastError()
{
    if (const Table *t = table())
        return t->lastError();
    Loader &l = loader();
    const std::lock_guard lock(l.mutex);
    return l.failureCode;
}

void preload()
{
    QThreadPool::globalInstance()->start([] { table(); });
}

QString unavailableReason()
{
    Loader &l = loader();
    const std::lock_guard lock(l.mutex);
    return l.failure;
}

QString containerPath(const QString &container)
{
    const Table *t = table();
    return t ? t->containerPath(container) : QString();
}

bool acquireContext(Handle *prov, const QString &container, const QString &providerName, std::uint32_t provType,
                    std::uint32_t flags)
{
    return forward<&Table::acquireContext>(prov, container, providerName, provType, flags);
}

bool releaseContext(Handle prov, std::uint32_t flags)
{
    return forward<&Table::releaseContext>(prov, flags);
}

bool createHash(Handle prov, std::uint32_t algId, Handle key, std::uint32_t flags, Handle *hash)
{
    return forward<&Table::createHash>(prov, algId, key, flags, hash);
}

bool hashData(Handle hash, const char *data, std::uint32_t len, std::uint32_t flags)
{
    return forward<&Table::hashData>(hash, data, len, flags);
}

bool getHashParam(Handle hash, std::uint32_t param, unsigned char *buf, std::uint32_t *len, std::uint32_t flags)
{
    return forward<&Table::getHashParam>(hash, param, buf, len, flags);
}

bool destroyHash(Handle hash)
{
    return forward<&Table::destroyHash>(hash);
}

bool deriveKey(Handle prov, std::uint32_t algId, Handle hash, std::uint32_t flags, Handle *key)
{
    return forward<&Table::deriveKey>(prov, algId, hash, flags, key);
}

bool genKey(Handle prov, std::uint32_t algId, std::uint32_t flags, Handle *key)
{
    return forward<&Table::genKey>(prov, algId, flags, key);
}

bool getUserKey(Handle prov, std::uint32_t keyType, Handle *key)
{
    return forward<&Table::getUserKey>(prov, keyType, key);
}

bool exportKey(Handle key, Handle expKey, std::uint32_t blobType, std::uint32_t flags, unsigned char *buf,
               std::uint32_t *len)
{
    return forward<&Table::exportKey>(key, expKey, blobType, flags, buf, len);
}

bool importKey(Handle prov, const unsigned char *blob, std::uint32_t len, Handle pubKey, std::uint32_t flags,
               Handle *key)
{
    return forward<&Table::importKey>(prov, blob, len, pubKey, flags, key);
}

bool destroyKey(Handle key)
{
    return forward<&Table::destroyKey>(key);
}

bool encrypt(Handle key, Handle hash, bool final, std::uint32_t flags, unsigned char *buf, std::uint32_t *dataLen,
             std::uint32_t bufLen)
{
    return forward<&Table::encrypt>(key, hash, final, flags, buf, dataLen, bufLen);
}

bool decrypt(Handle key, Handle hash, bool final, std::uint32_t flags, unsigned char *buf, std::uint32_t *dataLen)
{
    return forward<&Table::decrypt>(key, hash, final, flags, buf, dataLen);
}

} // namespace CryptoProvider
