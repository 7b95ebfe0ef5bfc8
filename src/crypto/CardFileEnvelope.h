#pragma once

#include <QByteArray>
#include <QString>

// Card files: the card text behind an MD5 digest frame, RC2-encrypted under the
// program's fixed pass phrase, with no header. Every call uses a crypto service
// of its own. On failure the reason is a short phrase that the caller puts
// after the file name, e.g. "is not a Borvessa card, or it is damaged"; the
// service has already shown its own message.
namespace CardFileEnvelope {

QByteArray passPhrase();

// File bytes to card text bytes.
bool decrypt(const QByteArray &fileBytes, QByteArray *cardText, QString *reason);
// Card text bytes to file bytes.
bool encrypt(const QByteArray &cardText, QByteArray *fileBytes, QString *reason);

// A card file is a few kilobytes; anything larger than this is no card.
inline constexpr qsizetype MaxCardFileBytes = 16 * 1024 * 1024;

// Reads and decrypts a card file; a missing, unreadable or empty file fails,
// and so does anything but a regular file (a link is followed) or a file
// larger than MaxCardFileBytes. A named pipe is refused without waiting.
bool readCardFile(const QString &path, QByteArray *cardText, QString *reason);

// Encrypts and replaces the card file in one step: a failed write leaves the
// old file as it was.
bool writeCardFile(const QString &path, const QByteArray &cardText, QString *reason);

} // namespace CardFileEnvelope
