#pragma once

#include <QByteArray>
#include <QString>

// Card text is stored one byte per character in the Windows-1252 code page.
// The five bytes that code page leaves undefined map to the C1 control of the
// same value, so every one of the 256 byte values survives a round trip.
namespace Cp1252 {

QString decode(const QByteArray &bytes);

// Characters the code page cannot hold become '?'; check with canEncode first
// where that would lose data.
QByteArray encode(const QString &text);

bool canEncode(QChar c);
bool canEncode(const QString &text);

// The first character of text that the code page cannot hold, or a null QChar.
QChar firstUnencodable(const QString &text);

} // namespace Cp1252
