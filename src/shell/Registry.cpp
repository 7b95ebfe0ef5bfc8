#include "Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

namespace {

using Values = QHash<QString, Registry::Value>;
using Keys = QHash<QString, Values>;

QStringList &explicitSearchPaths()
{
    static QStringList paths;
    return paths;
}

// A quoted string with its escapes resolved, or nothing when text is not one
// quoted string from its first to its last character.
std::optional<QString> unquote(const QString &text)
{
    if (text.size() < 2 || text.front() != u'"')
        return std::nullopt;
    QString out;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'"')
            return i == text.size() - 1 ? std::optional<QString>(out) : std::nullopt;
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar next = text.at(i + 1);
            if (next == u'\\' || next == u'"') {
                out.append(next);
                ++i;
                continue;
            }
            if (next == u'0') {
                out.append(QChar(0));
                ++i;
                continue;
            }
        }
        out.append(c);
    }
    return std::nullopt;
}

std::optional<Registry::Value> parseValue(const QString &text)
{
    Registry::Value value;
    if (text.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QString digits = text.mid(6);
        bool ok = false;
        value.number = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8 || digits.startsWith(u'+') || digits.startsWith(u'-'))
            return std::nullopt;
        value.type = Registry::REG_DWORD;
        return value;
    }
    if (text.startsWith(QLatin1String("hex:"), Qt::CaseInsensitive)) {
        value.type = Registry::REG_BINARY;
        return value;
    }
    value.type = Registry::REG_SZ;
    value.text = unquote(text).value_or(text);
    return value;
}

// Adds the values of one file to keys, replacing values of the same name.
void readFile(const QString &path, Keys &keys)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QString content = QString::fromUtf8(file.readAll());
    if (content.startsWith(QChar(0xfeff)))
        content.remove(0, 1);

    std::optional<QString> section;
    const QStringList lines = content.split(u'\n');
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype end = line.lastIndexOf(u']');
            section.reset();
            if (end > 0) {
                section = line.mid(1, end - 1).trimmed().toCaseFolded();
                // A section without values is still a key that exists.
                if (!keys.contains(*section))
                    keys.insert(*section, {});
            }
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!section || equals <= 0)
            continue;
        QString name = line.left(equals).trimmed();
        name = unquote(name).value_or(name);
        if (const std::optional<Registry::Value> value = parseValue(line.mid(equals + 1).trimmed()))
            keys[*section].insert(name.toCaseFolded(), *value);
    }
}

} // namespace

void Registry::setSearchPaths(const QStringList &configFolders)
{
    explicitSearchPaths() = configFolders;
}

QStringList Registry::searchPaths()
{
    if (!explicitSearchPaths().isEmpty())
        return explicitSearchPaths();
    // The user's folder, the system's folders, and last the configuration
    // folder of the installation the program runs from (a prefix such as
    // /usr/local keeps its registry file in <prefix>/etc/xdg).
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::ConfigLocation);
    const QString installed =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../etc/xdg"));
    if (!folders.contains(installed))
        folders.append(installed);
    return folders;
}

QStringList Registry::files()
{
    QStringList out;
    const QStringList folders = searchPaths();
    for (auto it = folders.crbegin(); it != folders.crend(); ++it) {
        const QString path = QDir(*it).filePath(QStringLiteral("Borvessa/registry.ini"));
        if (QFileInfo(path).isFile())
            out.append(path);
    }
    return out;
}

QString Registry::rootName(KeyRoot root)
{
    switch (root) {
    case KeyRoot::HKEY_LOCAL_MACHINE:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case KeyRoot::HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    }
    return {};
}

std::optional<Registry::Value> Registry::value(KeyRoot root, const QString &keyName, const QString &valueName)
{
    Keys keys;
    const QStringList paths = files();
    for (const QString &path : paths)
        readFile(path, keys);

    const QString keyPath = keyName.isEmpty() ? rootName(root) : rootName(root) + u'\\' + keyName;
    const auto key = keys.constFind(keyPath.toCaseFolded());
    if (key == keys.cend())
        return std::nullopt;
    const auto found = key->constFind(valueName.toCaseFolded());
    if (found == key->cend())
        return std::nullopt;
    return *found;
}

bool GetKeyValue(KeyRoot root, const QString &KeyName, const QString &SubKeyRef, QString &keyVal)
{
    const std::optional<Registry::Value> value = Registry::value(root, KeyName, SubKeyRef);
    if (!value) {
        keyVal.clear();
        return false;
    }
    switch (value->type) {
    case Registry::REG_SZ:
        keyVal = value->text;
        if (keyVal.endsWith(QChar(0)))
            keyVal.chop(1);
        break;
    case Registry::REG_DWORD:
        keyVal = QString::number(value->number);
        break;
    default:
        break;
    }
    return true;
}
