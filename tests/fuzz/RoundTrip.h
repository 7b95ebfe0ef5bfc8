#pragma once

#include <QByteArray>
#include <QString>

// The properties the fuzz targets and the corpus test check. Each returns an
// empty text when the property holds (an input that does not load holds
// trivially), else what went wrong.
namespace RoundTrip {

// A card string that loads still loads after the window's save paths have
// written it, and the answers written read back; the answers not written
// keep what they had.
QString cardString(const QString &text, bool *loaded = nullptr);

// File bytes that decrypt re-encrypt to the same bytes, and any card text
// encrypts to bytes that decrypt to it.
QString envelope(const QByteArray &bytes, bool *decrypted = nullptr);

// The card window's model: a card file holding the text is loaded and its
// boxes built, every visible box goes through one focus cycle, answers are
// typed and boxes moved, the card is saved and loaded again, and the answers
// and places read back. A design card's plain copy is for its owner only.
// The card file is written in dir.
QString cardWindow(const QString &text, const QString &dir, bool *loaded = nullptr);

// A CSV file of people: what reads has no refused value in it, each person
// keeps its line, and the people written out read back the same.
QString peopleCsv(const QByteArray &bytes, bool *read = nullptr);

} // namespace RoundTrip
