#pragma once

#include <QString>
#include <QTemporaryDir>

struct CardLayout;

// Helpers shared by the card tests: installed card texts and card files in a
// temporary folder.
namespace TestCards {

// The installed card text of a built-in layout.
QString installedText(const CardLayout &layout);

// Replaces line n (1-based, CR LF separated) of a card text.
QString withLine(const QString &text, int n, const QString &line);
QString lineOf(const QString &text, int n);

// Writes a card file; fails the calling test on error.
bool writeCard(const QString &path, const QString &text);
QByteArray fileBytes(const QString &path);

// Puts the bundled fields file of a card (cards/NAME.fields) beside a card
// file, as the program is installed; false when it cannot.
bool copyBundledFields(const QString &name, const QString &cardPath);

} // namespace TestCards
