#pragma once

#include <QFunctionPointer>
#include <QString>

// The program's own shared modules: parts that are loaded only when they are
// needed, so that a start does not pay for libraries it may never use. A
// module is looked for in the program's installed library folder, relative to
// the running executable, then in the executable's own folder (the build tree);
// an absolute path is taken as it is.
namespace ModuleFile {

struct Entry
{
    QFunctionPointer function = nullptr; // null when the module or the entry is missing
    QString path;  // the file that was loaded or, on failure, the one tried first
    QString error; // the loader's reason when function is null
};

// Loads fileName (a module's file name, such as "borvessa-crypto.so") and
// resolves entryName in it. A loaded module stays loaded until the process ends.
// Needs no application object.
Entry resolve(const QString &fileName, const char *entryName);

} // namespace ModuleFile
