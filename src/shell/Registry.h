#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// The root keys a registry key path starts from.
enum class KeyRoot { HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER };

// Registry values kept in text files, for a platform that has no registry.
//
// A registry file is "Borvessa/registry.ini" inside a configuration folder,
// with one section per key path and one line per value:
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO]
//   PATH="/usr/bin/system-monitor"
//
// A value is one of
//   "text"        a string (type 1); inside the quotes \\ is a backslash, \" a
//                 quote and \0 a NUL, and any other backslash stands for itself;
//   text          a string (type 1) to the end of the line, taken as written;
//   dword:0000002a a 32-bit number (type 4), one to eight hex digits;
//   hex:01,02     bytes (type 3).
// Lines beginning with ';' or '#' are comments. Key paths and value names are
// compared without regard to case, as the platforms with a registry do.
//
// The files of the system's configuration folders are read first and the
// user's last; a value in a later file replaces the same value of an earlier one.
class Registry
{
public:
    enum ValueType : quint32 { REG_NONE = 0, REG_SZ = 1, REG_BINARY = 3, REG_DWORD = 4 };

    // The access a key is opened with on a platform with a real registry
    // (KEY_ALL_ACCESS); reading a file needs no such mask.
    static constexpr quint32 KeyAllAccess = 131135;

    struct Value
    {
        quint32 type = REG_NONE;
        QString text;        // REG_SZ: the characters as stored, any terminating NUL included
        quint32 number = 0;  // REG_DWORD
    };

    // Folders searched for "Borvessa/registry.ini", the most important first,
    // as QStandardPaths lists them. Empty, the default, means the standard
    // configuration folders, looked up at every read.
    static void setSearchPaths(const QStringList &configFolders);
    static QStringList searchPaths();

    // The registry files that exist, in reading order (the most important last).
    static QStringList files();

    // The value valueName of the key keyName under root; nothing when the key
    // or the value is missing. The files are read at every call.
    static std::optional<Value> value(KeyRoot root, const QString &keyName, const QString &valueName);

    static QString rootName(KeyRoot root);
};

// Reads the value SubKeyRef of the key KeyName under root into keyVal.
// A string comes back without its terminating NUL and a number in decimal;
// a value of another type leaves keyVal as it was. When the key or the value
// is missing, keyVal is emptied and the result is false.
bool GetKeyValue(KeyRoot root, const QString &KeyName, const QString &SubKeyRef, QString &keyVal);
