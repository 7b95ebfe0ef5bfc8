#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

// Writes a whole file so that it is replaced only once the new content is
// completely on disk: a temporary file beside it, flushed to disk, renamed
// over it, then the folder flushed so the rename survives a power cut. A
// failed write leaves the old file as it was.
namespace AtomicFile {

// On failure returns false and sets reason to "cannot be written: <why>".
// permissions, when given, are set on the new file before it takes the name.
bool write(const QString &path, const QByteArray &bytes, QString *reason,
           std::optional<QFileDevice::Permissions> permissions = std::nullopt);

} // namespace AtomicFile
