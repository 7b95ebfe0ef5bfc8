#include "Person.h"

#include "Cp1252.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

const std::array<QString, Person::FieldCount> &names()
{
    static const std::array<QString, Person::FieldCount> n{
        u"surname"_s, u"given_names"_s, u"initials"_s, u"birth_date"_s, u"citizenship"_s, u"passport_number"_s,
        u"street"_s,  u"city"_s,        u"province_state"_s, u"postal_code"_s, u"country"_s, u"household"_s};
    return n;
}

const QStringList &birthParts()
{
    static const QStringList parts{u"birth_year"_s, u"birth_month"_s, u"birth_day"_s};
    return parts;
}

// The year, month and day of a birth date written YYYY-MM-DD, as written,
// even when they make no date: the card's own checks then say what is wrong.
std::array<QString, 3> splitDate(const QString &text)
{
    static const QRegularExpression shape(u"^\\s*(\\d{4})-(\\d{1,2})-(\\d{1,2})\\s*$"_s);
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch())
        return {text.trimmed(), QString(), QString()};
    return {m.captured(1), m.captured(2).rightJustified(2, u'0'), m.captured(3).rightJustified(2, u'0')};
}

QString trimSeparators(const QString &text)
{
    static const QRegularExpression ends(u"^[\\s,;/-]+|[\\s,;/-]+$"_s);
    QString t = text;
    t.remove(ends);
    return t;
}

} // namespace

QString Person::fieldName(Field f)
{
    return names()[std::size_t(f)];
}

std::optional<Person::Field> Person::fieldNamed(const QString &name)
{
    for (int f = 0; f < FieldCount; ++f) {
        if (names()[std::size_t(f)] == name)
            return Field(f);
    }
    return std::nullopt;
}

QStringList Person::fieldNames()
{
    return QStringList(names().begin(), names().end());
}

std::optional<QDate> Person::birthDay() const
{
    const QString text = value(BirthDate).trimmed();
    static const QRegularExpression iso(u"^\\d{4}-\\d{2}-\\d{2}$"_s);
    if (!iso.match(text).hasMatch())
        return std::nullopt;
    const QDate d = QDate::fromString(text, Qt::ISODate);
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
}

QString Person::displayName() const
{
    const QString surname = value(Surname).trimmed();
    const QString given = value(GivenNames).trimmed();
    if (surname.isEmpty() && given.isEmpty())
        return u"person %1"_s.arg(id);
    return given.isEmpty() ? surname.toUpper() : u"%1, %2"_s.arg(surname.toUpper(), given);
}

QString Person::fault() const
{
    if (value(Surname).trimmed().isEmpty())
        return u"has no surname"_s;
    const QString date = value(BirthDate).trimmed();
    if (!date.isEmpty() && !birthDay())
        return u"the birth date \"%1\" is not a date (YYYY-MM-DD)"_s.arg(date);
    for (int f = 0; f < FieldCount; ++f) {
        const QString &text = values[std::size_t(f)];
        const QChar bad = Cp1252::firstUnencodable(text);
        if (!bad.isNull())
            return u"%1 \"%2\" has \"%3\", which a card cannot hold"_s.arg(names()[std::size_t(f)], text, QString(bad));
        if (text.contains(u'\n') || text.contains(u'\r'))
            return u"%1 has a line break"_s.arg(names()[std::size_t(f)]);
    }
    return {};
}

std::optional<PersonPattern> PersonPattern::parse(const QString &text, QString *reason)
{
    PersonPattern p;
    p.m_text = text;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf(u'{', i);
        const qsizetype stray = text.indexOf(u'}', i);
        if (stray >= 0 && (open < 0 || stray < open)) {
            *reason = u"the pattern \"%1\" has a \"}\" without its \"{\""_s.arg(text);
            return std::nullopt;
        }
        if (open < 0) {
            p.m_parts.append({false, text.mid(i)});
            break;
        }
        if (open > i)
            p.m_parts.append({false, text.mid(i, open - i)});
        const qsizetype close = text.indexOf(u'}', open);
        if (close < 0) {
            *reason = u"the pattern \"%1\" has a \"{\" without its \"}\""_s.arg(text);
            return std::nullopt;
        }
        const QString name = text.mid(open + 1, close - open - 1).trimmed();
        if (!Person::fieldNamed(name) && !birthParts().contains(name)) {
            *reason = u"\"%1\" is not a person field (%2, birth_year, birth_month, birth_day)"_s.arg(
                name, Person::fieldNames().join(u", "_s));
            return std::nullopt;
        }
        if (!p.m_parts.isEmpty() && p.m_parts.last().field) {
            *reason = u"the pattern \"%1\" needs text between two fields"_s.arg(text);
            return std::nullopt;
        }
        p.m_parts.append({true, name});
        i = close + 1;
    }
    bool anyField = false;
    for (const Part &part : p.m_parts)
        anyField = anyField || part.field;
    if (!anyField) {
        *reason = u"the pattern \"%1\" names no person field, such as {surname}"_s.arg(text);
        return std::nullopt;
    }
    return p;
}

QList<Person::Field> PersonPattern::fields() const
{
    QList<Person::Field> out;
    for (const Part &part : m_parts) {
        if (!part.field)
            continue;
        const Person::Field f = Person::fieldNamed(part.text).value_or(Person::BirthDate);
        if (!out.contains(f))
            out.append(f);
    }
    return out;
}

QString PersonPattern::valueOf(const QString &name, const Person &person)
{
    if (const std::optional<Person::Field> f = Person::fieldNamed(name))
        return person.value(*f).trimmed();
    const qsizetype part = birthParts().indexOf(name);
    if (person.value(Person::BirthDate).trimmed().isEmpty())
        return {};
    return splitDate(person.value(Person::BirthDate))[std::size_t(part)];
}

QString PersonPattern::fill(const Person &person) const
{
    // The text between two fields goes in only when both sides have a value,
    // so "{surname}, {given_names} {initials}" of a person without initials
    // ends after the given names.
    QString out;
    QString pending;
    bool haveValue = false;
    for (const Part &part : m_parts) {
        if (!part.field) {
            pending += part.text;
            continue;
        }
        const QString v = valueOf(part.text, person);
        if (v.isEmpty())
            continue;
        if (haveValue || !m_parts.first().field)
            out += pending;
        pending.clear();
        out += v;
        haveValue = true;
    }
    if (!m_parts.isEmpty() && !m_parts.last().field && haveValue)
        out += pending;
    return haveValue ? out : QString();
}

bool PersonPattern::read(const QString &answer, Person *person, std::array<QString, 3> *birth) const
{
    const QString text = answer.trimmed();
    // The fields in order, each taking all it can: "SMITH, ANNA MARIE B"
    // gives the given names "ANNA MARIE" and the initials "B". Where the
    // answer stops early, the fields after it are empty.
    for (qsizetype keep = m_parts.size(); keep > 0; --keep) {
        if (!m_parts.at(keep - 1).field)
            continue;
        QString rx = u"^"_s;
        for (qsizetype i = 0; i < keep; ++i) {
            const Part &part = m_parts.at(i);
            const QString literal = part.text.trimmed();
            if (part.field)
                rx += u"(.*)"_s;
            else if (literal.isEmpty())
                rx += u"\\s+"_s;
            else
                rx += u"\\s*"_s + QRegularExpression::escape(literal) + u"\\s*"_s;
        }
        const QRegularExpressionMatch m = QRegularExpression(rx + u"$"_s).match(text);
        if (!m.hasMatch())
            continue;
        // Initials look like initials: "B", "J.R.", not a second given name.
        static const QRegularExpression initials(u"^(\\p{L}{1,2}(\\.\\s*|\\s+|$)){0,4}$"_s);
        bool plausible = true;
        int captured = 0;
        for (qsizetype i = 0; i < keep; ++i) {
            if (!m_parts.at(i).field)
                continue;
            ++captured;
            if (m_parts.at(i).text == u"initials"_s)
                plausible = plausible && initials.match(trimSeparators(m.captured(captured))).hasMatch();
        }
        if (!plausible)
            continue;
        int group = 0;
        for (qsizetype i = 0; i < m_parts.size(); ++i) {
            const Part &part = m_parts.at(i);
            if (!part.field)
                continue;
            const QString v = i < keep ? trimSeparators(m.captured(++group)) : QString();
            if (const std::optional<Person::Field> f = Person::fieldNamed(part.text))
                person->setValue(*f, v);
            else
                (*birth)[std::size_t(birthParts().indexOf(part.text))] = v;
        }
        return true;
    }
    return text.isEmpty();
}
