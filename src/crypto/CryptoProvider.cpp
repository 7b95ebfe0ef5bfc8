// RC2 and MD5 go through OpenSSL's low-level functions, which need no library
// context and no provider: a card file is read or written without loading the
// legacy provider, which alone costs a short card tool run more than its card
// work. They are deprecated in OpenSSL 3 but kept in its libcrypto. This half
// holds the contexts, their key containers and the hashes; the keys are in
// CryptoProviderKeys.cpp, the RSA side in CryptoRsa.h.
#include "CryptoProviderState.h"

#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace CryptoProvider {

namespace detail {

namespace {
thread_local std::uint32_t t_lastError = 0;
} // namespace

bool fail(std::uint32_t code)
{
    t_lastError = code;
    return false;
}

void appendLe32(Bytes &out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

std::uint32_t readLe32(const unsigned char *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
           | std::uint32_t(p[3]) << 24;
}

void appendBlobHeader(Bytes &out, std::uint32_t type, std::uint32_t keyAlg)
{
    out.push_back(static_cast<unsigned char>(type));
    out.push_back(CUR_BLOB_VERSION);
    out.push_back(0);
    out.push_back(0);
    appendLe32(out, keyAlg);
}

bool deliver(const Bytes &value, unsigned char *buf, std::uint32_t *len)
{
    const auto needed = static_cast<std::uint32_t>(value.size());
    if (!buf) {
        *len = needed;
        return true;
    }
    if (*len < needed) {
        *len = needed;
        return fail(ERROR_MORE_DATA);
    }
    std::copy(value.begin(), value.end(), buf);
    *len = needed;
    return true;
}

// Never destroyed: OpenSSL cleans itself up at exit, before or after any
// destructor of ours depending on who initialised it first, and no key may be
// freed after that.
State &state()
{
    static State *s = new State;
    return *s;
}

bool validContainerName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9_.-]{0,63}$"));
    return name.isEmpty() || pattern.match(name).hasMatch();
}

// Writes a container file readable by its owner only; the old content stays
// in place until the new one is complete.
bool writeContainer(const QString &path, const QByteArray &content)
{
    return AtomicFile::write(path, content, nullptr, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// The keys folder is the owner's alone, whatever the umask. An existing
// folder is made private too.
bool makeKeysFolder(const QString &containerFile)
{
    const QString folder = QFileInfo(containerFile).absolutePath();
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    if (!QFileInfo(folder).isDir()
        && (!QDir().mkpath(QFileInfo(folder).absolutePath()) || !QDir().mkdir(folder, ownerOnly)))
        return false;
    return QFile::setPermissions(folder, ownerOnly);
}

std::uint32_t loadKeyPair(const Context &context, PkeyPtr *out)
{
    QFile file(context.path);
    if (context.unwritten && !file.exists())
        return NTE_NO_KEY;
    if (!file.open(QIODevice::ReadOnly))
        return NTE_BAD_KEYSET;
    const QByteArray pem = file.readAll();
    if (pem.isEmpty())
        return NTE_NO_KEY;
    return CryptoRsa::readKeyPair(pem, out);
}

bool storeKeyPair(Context *context, Pkey *pkey)
{
    if (!makeKeysFolder(context->path))
        return false;
    const QByteArray pem = CryptoRsa::writeKeyPair(pkey);
    if (pem.isEmpty() || !writeContainer(context->path, pem))
        return false;
    context->unwritten = false;
    return true;
}

bool finishHash(HashObject &hash)
{
    if (hash.finished)
        return true;
    Bytes value(MD5_DIGEST_LENGTH);
    if (!MD5_Final(value.data(), &hash.md))
        return false;
    hash.value = std::move(value);
    hash.finished = true;
    return true;
}

bool findDataHash(State &st, Handle hash, HashObject **out)
{
    *out = nullptr;
    if (!hash)
        return true;
    *out = lookup(st.hashes, hash);
    if (!*out)
        return fail(NTE_BAD_HASH);
    if ((*out)->finished)
        return fail(NTE_BAD_HASH_STATE);
    return true;
}

} // namespace detail

using namespace detail;

std::uint32_t lastError()
{
    return t_lastError;
}

QString containerPath(const QString &container)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return {};
    const QString name = container.isEmpty() ? QStringLiteral("default") : container;
    return base + QStringLiteral("/Borvessa/keys/") + name + QStringLiteral(".keyset");
}

bool acquireContext(Handle *prov, const QString &container, const QString &providerName,
                    std::uint32_t provType, std::uint32_t flags)
{
    if (!prov)
        return fail(ERROR_INVALID_PARAMETER);
    if (!providerName.isEmpty() && providerName != kBaseProviderName)
        return fail(NTE_KEYSET_NOT_DEF);
    if (provType != PROV_RSA_FULL)
        return fail(NTE_PROV_TYPE_NOT_DEF);
    if (flags & ~CRYPT_NEWKEYSET)
        return fail(NTE_BAD_FLAGS);
    if (!validContainerName(container))
        return fail(NTE_BAD_KEYSET_PARAM);

    State &st = state();
    const std::lock_guard lock(st.mutex);
    const QString path = containerPath(container);
    if (path.isEmpty())
        return fail(NTE_FAIL);
    const QFileInfo info(path);
    if (flags & CRYPT_NEWKEYSET) {
        if (info.exists() || info.isSymLink())
            return fail(NTE_EXISTS);
    } else if (!info.isFile()) {
        return fail(NTE_BAD_KEYSET);
    }
    const Handle h = st.newHandle();
    st.contexts[h] = Context{path, bool(flags & CRYPT_NEWKEYSET)};
    *prov = h;
    return true;
}

bool releaseContext(Handle prov, std::uint32_t flags)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    if (!lookup(st.contexts, prov))
        return fail(ERROR_INVALID_HANDLE);
    if (flags)
        return fail(NTE_BAD_FLAGS);
    st.contexts.erase(prov);
    return true;
}

bool createHash(Handle prov, std::uint32_t algId, Handle key, std::uint32_t flags, Handle *hash)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    if (!lookup(st.contexts, prov))
        return fail(NTE_BAD_UID);
    if (algId != CALG_MD5)
        return fail(NTE_BAD_ALGID);
    if (key)
        return fail(NTE_BAD_KEY);
    if (flags)
        return fail(NTE_BAD_FLAGS);
    if (!hash)
        return fail(ERROR_INVALID_PARAMETER);
    HashObject object;
    if (!MD5_Init(&object.md))
        return fail(NTE_FAIL);
    const Handle h = st.newHandle();
    st.hashes[h] = std::move(object);
    *hash = h;
    return true;
}

bool hashData(Handle hash, const char *data, std::uint32_t len, std::uint32_t flags)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    HashObject *object = lookup(st.hashes, hash);
    if (!object)
        return fail(NTE_BAD_HASH);
    if (flags)
        return fail(NTE_BAD_FLAGS);
    if (!data && len)
        return fail(ERROR_INVALID_PARAMETER);
    if (object->finished)
        return fail(NTE_BAD_HASH_STATE);
    if (len && !MD5_Update(&object->md, data, len))
        return fail(NTE_FAIL);
    return true;
}

bool getHashParam(Handle hash, std::uint32_t param, unsigned char *buf, std::uint32_t *len,
                  std::uint32_t flags)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    HashObject *object = lookup(st.hashes, hash);
    if (!object)
        return fail(NTE_BAD_HASH);
    if (flags)
        return fail(NTE_BAD_FLAGS);
    if (!len)
        return fail(ERROR_INVALID_PARAMETER);
    Bytes value;
    switch (param) {
    case HP_ALGID:
        appendLe32(value, CALG_MD5);
        break;
    case HP_HASHSIZE:
        appendLe32(value, kMd5Size);
        break;
    case HP_HASHVAL:
        // Asking only for the length leaves the hash open for more data.
        if (!buf || *len < kMd5Size) {
            value.resize(kMd5Size);
            break;
        }
        if (!finishHash(*object))
            return fail(NTE_FAIL);
        value = object->value;
        break;
    default:
        return fail(NTE_BAD_TYPE);
    }
    return deliver(value, buf, len);
}

bool destroyHash(Handle hash)
{
    State &st = state();
    const std::lock_guard lock(st.mutex);
    if (!st.hashes.erase(hash))
        return fail(ERROR_INVALID_HANDLE);
    return true;
}

} // namespace CryptoProvider
