#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// One traveller of the people book: what stays the same from trip to trip.
// The trip's own answers (purpose, arriving by, the YES/NO questions)
// belong to the card being filled, never to the person.
struct Person
{
    enum Field {
        Surname,
        GivenNames,
        Initials,
        BirthDate, // YYYY-MM-DD
        Citizenship,
        PassportNumber,
        Street, // street and number
        City,
        ProvinceState,
        PostalCode,
        Country,
        Household, // people who share an address
        FieldCount
    };

    qint64 id = 0;      // 0 until the book has it
    qint64 version = 0; // the book's version of the record this was read at
    std::array<QString, FieldCount> values;

    QString value(Field f) const { return values[std::size_t(f)]; }
    void setValue(Field f, const QString &text) { values[std::size_t(f)] = text; }

    // The field names as the fields file, the CSV files and the book's
    // columns spell them: surname, given_names, ... household.
    static QString fieldName(Field f);
    static std::optional<Field> fieldNamed(const QString &name);
    static QStringList fieldNames();

    // The birth date when it is a real one; none for an empty or wrong one.
    std::optional<QDate> birthDay() const;
    // "SURNAME, Given Names" for lists and messages, with the id when the
    // person has no name.
    QString displayName() const;
    // Why this record cannot go into the book or onto a card: no surname, a
    // birth date that is no date, a character a card file cannot hold. Empty
    // when it is sound.
    QString fault() const;

    bool sameValues(const Person &other) const { return values == other.values; }
};

// What a box of a card takes from a person, as its fields file says: a
// pattern of person fields in braces with plain text between them, such as
// "{surname}, {given_names} {initials}" or "{birth_month}". Besides the
// person's fields a pattern may name birth_year, birth_month (two digits)
// and birth_day (two digits).
class PersonPattern
{
public:
    // The pattern read from its text; none with the reason when a brace is
    // unclosed or a name is no person field.
    static std::optional<PersonPattern> parse(const QString &text, QString *reason);

    bool isEmpty() const { return m_parts.isEmpty(); }
    QString text() const { return m_text; }
    // The fields it names, birth_* counted as the birth date.
    QList<Person::Field> fields() const;

    // The box's answer for the person: the pattern with each field's value,
    // with the separators of empty fields dropped at either end.
    QString fill(const Person &person) const;
    // Reads a box's answer back into the person's fields: true when the
    // answer has the pattern's shape (fields at the end may be missing).
    // A birth_* part is set into birth, a year, month and day by index.
    bool read(const QString &answer, Person *person, std::array<QString, 3> *birth) const;

private:
    struct Part
    {
        bool field = false;
        QString text; // the literal text, or the field name
    };
    static QString valueOf(const QString &name, const Person &person);

    QString m_text;
    QList<Part> m_parts;
};
