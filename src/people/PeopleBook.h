#pragma once

#include "Person.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QSqlError;
class QSqlQuery;

// The people book: the travellers a user fills cards for, in a database of
// its own. A file of SQLite for one desk, or a PostgreSQL database
// ("postgresql://user@host:port/name") that several desks share. Every
// change is one transaction; a save made from an older reading of a person
// than the book's is refused, so two desks never overwrite each other
// unknowingly. A book the program cannot use (locked, read-only, damaged,
// of a newer version) is refused with a message that names it, and is
// never written to.
class PeopleBook
{
public:
    static constexpr int SchemaVersion = 1;

    enum class Open { Existing, CreateIfMissing };

    ~PeopleBook();
    PeopleBook(const PeopleBook &) = delete;
    PeopleBook &operator=(const PeopleBook &) = delete;

    // $XDG_DATA_HOME/Borvessa/people.sqlite
    static QString defaultLocation();
    // The book to use: the one given (--book), else the one in the user's
    // settings ("people/book"), else the default.
    static QString chosenLocation(const QString &given = {});
    static bool isServerUrl(const QString &where);

    // Opens a book file or server and brings its schema up to this version.
    static std::unique_ptr<PeopleBook> open(const QString &where, Open mode, QString *error);

    // The file, or the server's address without its password: for messages.
    QString name() const { return m_name; }
    bool isShared() const { return m_shared; }

    // Everyone, by surname, given names and id.
    std::optional<std::vector<Person>> people(QString *error) const;
    std::optional<Person> person(qint64 id, QString *error) const;
    std::optional<QStringList> households(QString *error) const;

    // Adds a person (id 0) or updates one read at person->version; on
    // success the person has the book's id and version.
    bool save(Person *person, QString *error);
    // Adds them all or, on any failure, none; their ids are set.
    bool addAll(std::vector<Person> *people, QString *error);
    bool remove(const Person &person, QString *error);

private:
    PeopleBook() = default;
    bool prepare(QString *error);
    bool migrate(int from, QString *error);
    std::optional<int> storedVersion(QString *error);
    bool insert(QSqlQuery &query, Person *person, QString *error);
    std::optional<qint64> householdId(const QString &name, QString *error);
    QString failure(const QString &what, const QSqlError &e) const;
    bool rollback(QString *error, const QString &message);

    QSqlDatabase m_db;
    QString m_connection;
    QString m_name;
    bool m_shared = false;
};
