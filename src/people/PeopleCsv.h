#pragma once

#include "Person.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// People as CSV text, the way spreadsheets save it: a header row naming the
// person fields (surname, given_names, ... household), then one row a
// person. Read as UTF-8, with or without its byte-order mark, or else as
// Windows-1252; "," or ";" between fields, which may be quoted ("a ""b""").
namespace PeopleCsv {

struct Reading
{
    std::vector<Person> people;
    std::vector<int> lines;         // the line each person's row starts on
    QStringList unknownColumns;     // header names that are no person field
    QStringList refused;            // "line N: reason", one a refused row
    QString encoding;               // "UTF-8" or "Windows-1252"
    QChar separator;
};

// False, with the reason naming the file (and the line), when the text has
// no usable header row: no surname column, a column named twice, an
// unclosed quote. Rows with faults are refused one by one, not the file.
bool read(const QString &path, const QByteArray &bytes, Reading *out, QString *error);

// UTF-8 with a byte-order mark, so spreadsheets show the accents; ","
// between fields, quoted where needed.
QByteArray write(const std::vector<Person> &people);

} // namespace PeopleCsv
