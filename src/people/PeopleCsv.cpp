#include "PeopleCsv.h"

#include "CardError.h"
#include "Cp1252.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

struct Row
{
    QStringList fields;
    int line = 0; // where it starts
};

// Splits the text into rows; a quoted field may hold separators, quotes
// (doubled) and line breaks. False with the line of an unclosed quote.
bool splitRows(const QString &text, QChar sep, std::vector<Row> *rows, int *badLine)
{
    Row row{{}, 1};
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    int line = 1;
    int quoteLine = 0;
    bool rowHasContent = false;
    const auto endField = [&] {
        row.fields.append(wasQuoted ? field : field.trimmed());
        field.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text.at(i + 1) == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.trimmed().isEmpty()) {
            field.clear();
            quoted = wasQuoted = true;
            quoteLine = line;
            rowHasContent = true;
        } else if (c == sep) {
            endField();
            rowHasContent = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            if (rowHasContent || !field.trimmed().isEmpty()) {
                endField();
                rows->push_back(std::move(row));
            }
            row = Row{{}, ++line};
            field.clear();
            rowHasContent = false;
        } else {
            field += c;
            rowHasContent = rowHasContent || !c.isSpace();
        }
    }
    if (quoted) {
        *badLine = quoteLine;
        return false;
    }
    if (rowHasContent || !field.trimmed().isEmpty()) {
        endField();
        rows->push_back(std::move(row));
    }
    return true;
}

QString decode(const QByteArray &bytes, QString *encoding)
{
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF")) {
        *encoding = u"UTF-8"_s;
        return QString::fromUtf8(body.mid(3));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(body);
    if (!utf8.hasError()) {
        *encoding = u"UTF-8"_s;
        return text;
    }
    // Not UTF-8: what spreadsheets on Windows save as "CSV".
    *encoding = u"Windows-1252"_s;
    return Cp1252::decode(body);
}

// The separator of the header row: the one that names more person fields.
QChar separatorOf(const QString &text)
{
    const QString header = text.left(text.indexOf(u'\n') < 0 ? text.size() : text.indexOf(u'\n'));
    int best = -1;
    QChar chosen = u',';
    for (const QChar sep : {u',', u';'}) {
        int known = 0;
        for (QString name : header.split(sep)) {
            name = name.trimmed().remove(u'"').toLower();
            known += Person::fieldNamed(name) ? 1 : 0;
        }
        if (known > best) {
            best = known;
            chosen = sep;
        }
    }
    return chosen;
}

QString quoted(const QString &field)
{
    if (!field.contains(u',') && !field.contains(u';') && !field.contains(u'"') && !field.contains(u'\n')
        && !field.contains(u'\r') && field.trimmed() == field)
        return field;
    QString q = field;
    return u'"' + q.replace(u"\""_s, u"\"\""_s) + u'"';
}

} // namespace

bool PeopleCsv::read(const QString &path, const QByteArray &bytes, Reading *out, QString *error)
{
    Reading r;
    const QString text = decode(bytes, &r.encoding);
    r.separator = separatorOf(text);
    std::vector<Row> rows;
    int badLine = 0;
    if (!splitRows(text, r.separator, &rows, &badLine)) {
        *error = CardError{path, badLine, u"a quoted field is never closed"_s}.message();
        return false;
    }
    if (rows.empty()) {
        *error = CardError{path, 0, u"has no header row (surname, given_names, ...)"_s}.message();
        return false;
    }
    const Row &header = rows.front();
    std::vector<int> columnField; // per column: a Person::Field, or -1
    for (const QString &raw : header.fields) {
        const QString name = raw.trimmed().toLower();
        const std::optional<Person::Field> f = Person::fieldNamed(name);
        if (!f) {
            r.unknownColumns.append(raw.trimmed());
            columnField.push_back(-1);
            continue;
        }
        if (std::find(columnField.begin(), columnField.end(), int(*f)) != columnField.end()) {
            *error = CardError{path, header.line, u"the column \"%1\" is named twice"_s.arg(name)}.message();
            return false;
        }
        columnField.push_back(int(*f));
    }
    if (std::find(columnField.begin(), columnField.end(), int(Person::Surname)) == columnField.end()) {
        *error = CardError{path, header.line, u"the header row has no \"surname\" column (the columns are %1)"_s.arg(
                                                  Person::fieldNames().join(u", "_s))}
                     .message();
        return false;
    }
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const Row &row = rows[i];
        if (row.fields.size() > qsizetype(columnField.size())) {
            r.refused.append(u"line %1: has %2 fields; the header has %3"_s.arg(row.line)
                                 .arg(row.fields.size())
                                 .arg(columnField.size()));
            continue;
        }
        Person p;
        for (qsizetype c = 0; c < row.fields.size(); ++c) {
            if (columnField[std::size_t(c)] >= 0)
                p.setValue(Person::Field(columnField[std::size_t(c)]), row.fields.at(c));
        }
        if (const QString fault = p.fault(); !fault.isEmpty()) {
            r.refused.append(u"line %1: %2"_s.arg(row.line).arg(fault));
            continue;
        }
        r.people.push_back(std::move(p));
        r.lines.push_back(row.line);
    }
    *out = std::move(r);
    return true;
}

QByteArray PeopleCsv::write(const std::vector<Person> &people)
{
    QString text = Person::fieldNames().join(u',') + u"\r\n"_s;
    for (const Person &p : people) {
        QStringList fields;
        for (int f = 0; f < Person::FieldCount; ++f)
            fields.append(quoted(p.value(Person::Field(f))));
        text += fields.join(u',') + u"\r\n"_s;
    }
    return "\xEF\xBB\xBF" + text.toUtf8();
}
