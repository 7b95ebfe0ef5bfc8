// The people book on SQLite and on a PostgreSQL server of the test's own,
// CSV files as spreadsheets save them, the person patterns of a card's boxes,
// and the card tool's group printing.

#include "CardTool.h"
#include "ToolRun.h"
#include "Cp1252.h"
#include "GroupPrint.h"
#include "PeopleBook.h"
#include "PeopleCsv.h"
#include "Person.h"
#include "PrivatePostgres.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

Person person(const QString &surname, const QString &given, const QString &birth = {}, const QString &household = {})
{
    Person p;
    p.setValue(Person::Surname, surname);
    p.setValue(Person::GivenNames, given);
    p.setValue(Person::BirthDate, birth);
    p.setValue(Person::Household, household);
    return p;
}


QString program(const QString &name)
{
    return qEnvironmentVariable("BORVESSA_BIN_DIR") + u'/' + name;
}

// Page k's text of a PDF file, by pdftotext.
QString pageText(const QString &pdf, int page)
{
    QProcess p;
    p.start(u"pdftotext"_s, {u"-f"_s, QString::number(page), u"-l"_s, QString::number(page), pdf, u"-"_s});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pageCount(const QString &pdf)
{
    QProcess p;
    p.start(u"pdfinfo"_s, {pdf});
    p.waitForFinished();
    const QString info = QString::fromUtf8(p.readAllStandardOutput());
    const qsizetype at = info.indexOf(u"Pages:"_s);
    return at < 0 ? -1 : info.mid(at + 6).section(u'\n', 0, 0).trimmed().toInt();
}

// Runs SQL on a book as another program would, past the book's own checks.
bool rawExec(const QString &where, const QString &sql)
{
    const QString name = u"raw-exec"_s;
    bool ok = false;
    {
        QSqlDatabase db;
        if (PeopleBook::isServerUrl(where)) {
            const QUrl url(where);
            db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
            db.setHostName(url.host());
            db.setPort(url.port());
            db.setUserName(url.userName());
            db.setDatabaseName(url.path().mid(1));
        } else {
            db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
            db.setDatabaseName(where);
        }
        QSqlQuery q(db);
        ok = db.open() && q.exec(sql);
        if (!ok)
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

class TestPeople : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void patterns_data();
    void patterns();
    void csvEncodingsGiveTheSamePeople_data();
    void csvEncodingsGiveTheSamePeople();
    void csvRowsAreRefusedByLine();
    void bookIsSharedAndRefusesStaleSaves_data();
    void bookIsSharedAndRefusesStaleSaves();
    void booksThatCannotBeUsedAreLeftAlone_data();
    void booksThatCannotBeUsedAreLeftAlone();
    void batchPrintsOnePagePerPersonInOrder();
    void importKilledMidwayLeavesNothingHalfDone();

private:
    QString bookFor(const QString &kind, const QString &name);
    QString copyCard(const QString &name);

    QTemporaryDir m_dir;
    std::unique_ptr<PrivatePostgres> m_server;
    QString m_serverProblem;
    QString m_canada;
    int m_books = 0;
};

void TestPeople::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_canada = copyCard(u"Canada"_s);
    if (!PrivatePostgres::installed()) {
        m_serverProblem = u"PostgreSQL is not installed"_s;
        return;
    }
    m_server = std::make_unique<PrivatePostgres>();
    if (!m_server->start(&m_serverProblem))
        m_server.reset();
}

QString TestPeople::copyCard(const QString &name)
{
    const QString from = qEnvironmentVariable("BORVESSA_SOURCE_DIR") + u"/cards/"_s + name;
    const QString to = m_dir.filePath(name);
    for (const char *ext : {".qcf", ".gif", ".fields"})
        QFile::copy(from + QLatin1String(ext), to + QLatin1String(ext));
    return to + u".qcf"_s;
}

// A new empty book of the kind: a file, or a database on the test's server.
QString TestPeople::bookFor(const QString &kind, const QString &name)
{
    const QString unique = u"%1%2"_s.arg(name).arg(++m_books);
    if (kind == u"sqlite")
        return m_dir.filePath(unique + u".sqlite"_s);
    if (!m_server)
        return {};
    QString error;
    if (!m_server->createDatabase(unique, &error))
        qWarning("%s", qPrintable(error));
    return m_server->url(unique);
}

void TestPeople::patterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("values"); // surname, given_names, initials, birth_date, street, city
    QTest::addColumn<QString>("filled");

    QTest::newRow("name with initials") << u"{surname}, {given_names} {initials}"_s
                                        << QStringList{u"Smith"_s, u"Anna Marie"_s, u"B"_s} << u"Smith, Anna Marie B"_s;
    QTest::newRow("name without initials") << u"{surname}, {given_names} {initials}"_s
                                           << QStringList{u"Smith"_s, u"Anna Marie"_s, {}} << u"Smith, Anna Marie"_s;
    QTest::newRow("address without town")
        << u"{street}, {city}"_s << QStringList{{}, {}, {}, {}, u"12 Main St"_s, {}} << u"12 Main St"_s;
    QTest::newRow("month of two digits")
        << u"{birth_month}"_s << QStringList{{}, {}, {}, u"1980-07-04"_s} << u"07"_s;
}

void TestPeople::patterns()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, values);
    QFETCH(QString, filled);
    const Person::Field order[] = {Person::Surname, Person::GivenNames, Person::Initials,
                                   Person::BirthDate, Person::Street, Person::City};
    Person p;
    for (qsizetype i = 0; i < values.size(); ++i)
        p.setValue(order[i], values.at(i));
    QString reason;
    const std::optional<PersonPattern> pp = PersonPattern::parse(pattern, &reason);
    QVERIFY2(pp, qPrintable(reason));
    QCOMPARE(pp->fill(p), filled);
    // What the box shows reads back into the same fields; a capitals box
    // shows it in capitals, which still reads back.
    Person back;
    std::array<QString, 3> birth;
    QVERIFY(pp->read(filled.toUpper(), &back, &birth));
    for (const Person::Field f : pp->fields()) {
        if (f != Person::BirthDate)
            QCOMPARE(back.value(f), p.value(f).toUpper());
    }
}

void TestPeople::csvEncodingsGiveTheSamePeople_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // Accents, ß, ø, a quoted separator of each kind and a doubled quote.
    const QString rows[] = {
        u"surname,given_names,birth_date,street,city,household"_s,
        u"Straßer,José,1970-05-01,\"Hauptstraße 5; Hof\",Köln,Straßer"_s,
        u"Sørensen,Åse \"Bo\",1985-12-31,\"Vej 1, 2. sal\",Århus,"_s,
    };
    const QString comma = rows[0] + u"\r\n"_s + rows[1] + u"\r\n"_s + rows[2] + u"\r\n"_s;
    QString semicolon;
    for (const QString &row : rows) {
        // The same rows as a spreadsheet with ";" writes them.
        QString r = row;
        r.replace(u"\"Hauptstraße 5; Hof\""_s, u"@1"_s).replace(u"\"Vej 1, 2. sal\""_s, u"@2"_s);
        r.replace(u',', u';');
        r.replace(u"@1"_s, u"\"Hauptstraße 5; Hof\""_s).replace(u"@2"_s, u"\"Vej 1, 2. sal\""_s);
        semicolon += r + u"\n"_s;
    }
    const QString quotedName = u"Åse \"Bo\""_s;
    const QString commaQuoted = QString(comma).replace(quotedName, u"\"Åse \"\"Bo\"\"\""_s);
    const QString semicolonQuoted = QString(semicolon).replace(quotedName, u"\"Åse \"\"Bo\"\"\""_s);
    QTest::newRow("UTF-8 with mark, comma") << "\xEF\xBB\xBF" + commaQuoted.toUtf8();
    QTest::newRow("UTF-8, semicolon") << semicolonQuoted.toUtf8();
    QTest::newRow("Windows-1252, semicolon") << Cp1252::encode(semicolonQuoted);
    QTest::newRow("Windows-1252, comma") << Cp1252::encode(commaQuoted);
}

void TestPeople::csvEncodingsGiveTheSamePeople()
{
    QFETCH(QByteArray, bytes);
    PeopleCsv::Reading r;
    QString error;
    QVERIFY2(PeopleCsv::read(u"p.csv"_s, bytes, &r, &error), qPrintable(error));
    QVERIFY2(r.refused.isEmpty(), qPrintable(r.refused.join(u'\n')));
    QCOMPARE(r.people.size(), std::size_t(2));
    QCOMPARE(r.people[0].value(Person::Surname), u"Straßer"_s);
    QCOMPARE(r.people[0].value(Person::GivenNames), u"José"_s);
    QCOMPARE(r.people[0].value(Person::Street), u"Hauptstraße 5; Hof"_s);
    QCOMPARE(r.people[0].value(Person::Household), u"Straßer"_s);
    QCOMPARE(r.people[1].value(Person::GivenNames), u"Åse \"Bo\""_s);
    QCOMPARE(r.people[1].value(Person::Street), u"Vej 1, 2. sal"_s);
    QCOMPARE(r.people[1].value(Person::City), u"Århus"_s);
    QCOMPARE(r.lines, (std::vector<int>{2, 3}));

    // What the book exports reads back as the same people.
    PeopleCsv::Reading again;
    QVERIFY(PeopleCsv::read(u"e.csv"_s, PeopleCsv::write(r.people), &again, &error));
    QCOMPARE(again.people.size(), r.people.size());
    for (std::size_t i = 0; i < r.people.size(); ++i)
        QVERIFY(again.people[i].sameValues(r.people[i]));
}

void TestPeople::csvRowsAreRefusedByLine()
{
    const QByteArray text = u"surname;given_names;birth_date;shoe_size\n"
                            "Nguyễn;Văn;1990-01-01;42\n"
                            "Moreau;\"Line\nbreak\";1980-02-30;40\n"
                            "Dupont;Marie;1975-03-04;38\n"_s.toUtf8();
    PeopleCsv::Reading r;
    QString error;
    QVERIFY(PeopleCsv::read(u"p.csv"_s, text, &r, &error));
    QCOMPARE(r.unknownColumns, QStringList{u"shoe_size"_s});
    // A name the card cannot hold is refused by name, never changed.
    QCOMPARE(r.refused.size(), 2);
    QVERIFY2(r.refused[0].startsWith(u"line 2: "_s) && r.refused[0].contains(u"Nguyễn"_s), qPrintable(r.refused[0]));
    QVERIFY2(r.refused[1].startsWith(u"line 3: "_s) && r.refused[1].contains(u"1980-02-30"_s), qPrintable(r.refused[1]));
    QCOMPARE(r.people.size(), std::size_t(1));
    QCOMPARE(r.people[0].value(Person::Surname), u"Dupont"_s);
    QCOMPARE(r.lines, std::vector<int>{5});

    QVERIFY(!PeopleCsv::read(u"q.csv"_s, "name,city\nA,B\n", &r, &error));
    QVERIFY2(error.startsWith(u"q.csv: line 1: "_s) && error.contains(u"surname"_s), qPrintable(error));
    QVERIFY(!PeopleCsv::read(u"q.csv"_s, "surname\nA\n\"B\n", &r, &error));
    QVERIFY2(error.startsWith(u"q.csv: line 3: "_s), qPrintable(error));
}

void TestPeople::bookIsSharedAndRefusesStaleSaves_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("SQLite file") << u"sqlite"_s;
    QTest::newRow("PostgreSQL server") << u"postgresql"_s;
}

void TestPeople::bookIsSharedAndRefusesStaleSaves()
{
    QFETCH(QString, kind);
    if (kind == u"postgresql" && !m_server) {
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL(qPrintable(u"no PostgreSQL server for the shared book: "_s + m_serverProblem));
        QSKIP(qPrintable(m_serverProblem));
    }
    const QString where = bookFor(kind, u"shared"_s);
    QString error;
    // Two desks on the same book.
    const auto desk1 = PeopleBook::open(where, PeopleBook::Open::CreateIfMissing, &error);
    QVERIFY2(desk1, qPrintable(error));
    const auto desk2 = PeopleBook::open(where, PeopleBook::Open::Existing, &error);
    QVERIFY2(desk2, qPrintable(error));

    std::vector<Person> family{person(u"Straßer"_s, u"José"_s, u"1970-05-01"_s, u"Straßer"_s),
                               person(u"Straßer"_s, u"Åse"_s, u"1972-11-30"_s, u"Straßer"_s)};
    QVERIFY2(desk1->addAll(&family, &error), qPrintable(error));
    QVERIFY(family[0].id != 0 && family[1].id != family[0].id);

    // The other desk sees them, accents and household included.
    auto seen = desk2->people(&error);
    QVERIFY2(seen, qPrintable(error));
    QCOMPARE(seen->size(), std::size_t(2));
    const auto ase = std::find_if(seen->begin(), seen->end(), [&](const Person &p) { return p.id == family[1].id; });
    QVERIFY(ase != seen->end());
    QCOMPARE(ase->value(Person::GivenNames), u"Åse"_s);
    QCOMPARE(ase->value(Person::BirthDate), u"1972-11-30"_s);
    QCOMPARE(ase->value(Person::Household), u"Straßer"_s);
    QCOMPARE(desk2->households(&error), QStringList{u"Straßer"_s});

    // Both read José; desk 1 saves first, desk 2 is told and changes nothing.
    Person atDesk1 = *desk1->person(family[0].id, &error);
    Person atDesk2 = *desk2->person(family[0].id, &error);
    atDesk1.setValue(Person::City, u"Köln"_s);
    QVERIFY2(desk1->save(&atDesk1, &error), qPrintable(error));
    atDesk2.setValue(Person::City, u"Bonn"_s);
    QVERIFY(!desk2->save(&atDesk2, &error));
    QVERIFY2(error.contains(u"someone else"_s) && error.contains(u"nothing was saved"_s), qPrintable(error));
    QCOMPARE(desk2->person(family[0].id, &error)->value(Person::City), u"Köln"_s);

    // Re-read, it saves.
    atDesk2 = *desk2->person(family[0].id, &error);
    atDesk2.setValue(Person::City, u"Bonn"_s);
    QVERIFY2(desk2->save(&atDesk2, &error), qPrintable(error));
    QCOMPARE(desk1->person(family[0].id, &error)->value(Person::City), u"Bonn"_s);

    // A group with one bad person adds nobody.
    std::vector<Person> group{person(u"Dupont"_s, u"Marie"_s), person(u"Moreau"_s, u"Luc"_s, u"1980-02-30"_s)};
    QVERIFY(!desk1->addAll(&group, &error));
    QVERIFY2(error.contains(u"1980-02-30"_s) && error.contains(u"nobody was added"_s), qPrintable(error));
    QCOMPARE(desk2->people(&error)->size(), std::size_t(2));

    // A book of a newer version is refused by name and left as it is.
    QVERIFY(rawExec(where, kind == u"sqlite" ? u"PRAGMA user_version = 7"_s : u"UPDATE book_schema SET version = 7"_s));
    QVERIFY(!PeopleBook::open(where, PeopleBook::Open::Existing, &error));
    QVERIFY2(error.contains(u"newer Borvessa"_s) && error.contains(desk1->name()), qPrintable(error));
    QCOMPARE(desk1->people(&error)->size(), std::size_t(2));
}

void TestPeople::booksThatCannotBeUsedAreLeftAlone_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("expected");
    QTest::newRow("damaged file") << u"damaged"_s << u"damaged"_s;
    QTest::newRow("newer book") << u"newer"_s << u"newer Borvessa"_s;
    QTest::newRow("another program's database") << u"foreign"_s << u"another program"_s;
    QTest::newRow("locked by another program") << u"locked"_s << u"locked"_s;
}

void TestPeople::booksThatCannotBeUsedAreLeftAlone()
{
    QFETCH(QString, damage);
    QFETCH(QString, expected);
    const QString path = bookFor(u"sqlite"_s, damage);
    QString error;
    {
        const auto book = PeopleBook::open(path, PeopleBook::Open::CreateIfMissing, &error);
        QVERIFY2(book, qPrintable(error));
        Person p = person(u"Dupont"_s, u"Marie"_s);
        QVERIFY(book->save(&p, &error));
    }
    const QString connection = u"raw-"_s + damage;
    std::unique_ptr<QSqlQuery> holder;
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
        raw.setDatabaseName(path);
        QVERIFY(raw.open());
        QSqlQuery q(raw);
        if (damage == u"newer")
            QVERIFY(q.exec(u"PRAGMA user_version = 99"_s));
        if (damage == u"foreign")
            QVERIFY(q.exec(u"PRAGMA user_version = 0"_s) && q.exec(u"CREATE TABLE invoices (n INTEGER)"_s));
        if (damage == u"locked")
            QVERIFY(q.exec(u"BEGIN EXCLUSIVE"_s));
        if (damage != u"locked")
            raw.close();
        else
            holder = std::make_unique<QSqlQuery>(std::move(q));
    }
    if (damage == u"damaged") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.write(QByteArray(4096, '\x5a'));
    }
    QByteArray before;
    if (damage != u"locked") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        before = f.readAll();
    }

    const auto book = PeopleBook::open(path, PeopleBook::Open::CreateIfMissing, &error);
    bool refused = !book;
    if (book) {
        // A locked book may open; its change is refused and nothing is lost.
        Person p = person(u"Moreau"_s, u"Luc"_s);
        refused = !book->save(&p, &error);
    }
    QVERIFY(refused);
    QVERIFY2(error.contains(QFileInfo(path).absoluteFilePath()) && error.contains(expected), qPrintable(error));
    holder.reset();
    QSqlDatabase::database(connection).close();
    QSqlDatabase::removeDatabase(connection);
    if (damage == u"locked") {
        const auto again = PeopleBook::open(path, PeopleBook::Open::Existing, &error);
        QVERIFY2(again, qPrintable(error));
        QCOMPARE(again->people(&error)->size(), std::size_t(1));
    } else {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
}

void TestPeople::batchPrintsOnePagePerPersonInOrder()
{
    const QString book = bookFor(u"sqlite"_s, u"batch"_s);
    const QString csv = m_dir.filePath(u"seven.csv"_s);
    QString text = u"surname,given_names,birth_date,city\n"_s;
    const QStringList surnames{u"Aalto"_s,  u"Berg"_s,  u"Castro"_s, u"Dahl"_s,
                               u"Eriksen"_s, u"Fuchs"_s, u"Gómez"_s};
    for (qsizetype i = 0; i < surnames.size(); ++i)
        text += u"%1,Person%2,19%3-0%4-1%4,Town%2\n"_s.arg(surnames[i]).arg(i + 1).arg(60 + i).arg(i + 1);
    {
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    ToolRun r = runTool({u"people"_s, u"import"_s, csv, u"--book"_s, book});
    QVERIFY2(r.code == 0, r.err.constData());
    QVERIFY(r.out.contains("Imported 7 people"));

    // People 3 to 7, in the order asked for: one page each, and each page
    // holds its own person's surname and nobody else's.
    const QString pdf = m_dir.filePath(u"group.pdf"_s);
    r = runTool({u"batch"_s, m_canada, u"--people"_s, u"7,3,4,5,6"_s, u"--book"_s, book, u"--pdf"_s, pdf});
    QVERIFY2(r.code == 0, r.err.constData());
    QCOMPARE(r.out.trimmed(), QByteArray("5 printed, 0 left out"));
    QCOMPARE(pageCount(pdf), 5);
    const int order[] = {7, 3, 4, 5, 6};
    for (int k = 0; k < 5; ++k) {
        const QString page = pageText(pdf, k + 1);
        for (qsizetype s = 0; s < surnames.size(); ++s)
            QCOMPARE(page.contains(surnames[s].toUpper()), s + 1 == order[k]);
        QVERIFY2(page.contains(u"19%1"_s.arg(60 + order[k] - 1)), qPrintable(page));
    }

    // A birth date that is no date, put into the book by another program:
    // that person is left out and named, the others print.
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw-batch"_s);
        raw.setDatabaseName(book);
        QVERIFY(raw.open());
        QSqlQuery q(raw);
        QVERIFY(q.exec(u"UPDATE people SET birth_date = '1962-02-30' WHERE id = 3"_s));
        raw.close();
    }
    QSqlDatabase::removeDatabase(u"raw-batch"_s);
    r = runTool({u"batch"_s, m_canada, u"--people"_s, u"2,3,4"_s, u"--book"_s, book, u"--pdf"_s, pdf});
    QVERIFY2(r.code == 0, r.err.constData());
    QCOMPARE(r.out.trimmed(), QByteArray("2 printed, 1 left out"));
    QVERIFY2(r.err.contains("left out CASTRO, Person3 (person 3)") && r.err.contains("1962-02-30"), r.err.constData());
    QCOMPARE(pageCount(pdf), 2);
    QVERIFY(!pageText(pdf, 1).contains(u"CASTRO"_s) && !pageText(pdf, 2).contains(u"CASTRO"_s));

    // --strict prints nothing then.
    QFile::remove(pdf);
    r = runTool({u"batch"_s, m_canada, u"--people"_s, u"all"_s, u"--book"_s, book, u"--pdf"_s, pdf, u"--strict"_s});
    QCOMPARE(r.code, 1);
    QVERIFY(!QFile::exists(pdf));
}

void TestPeople::importKilledMidwayLeavesNothingHalfDone()
{
    const QString book = bookFor(u"sqlite"_s, u"killed"_s);
    const QString csv = m_dir.filePath(u"many.csv"_s);
    constexpr int Rows = 40000;
    {
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("surname,given_names,birth_date,street,city,household\n");
        for (int i = 0; i < Rows; ++i)
            f.write(u"Person%1,Given,1980-01-01,%1 Long Street,Town,House%2\n"_s.arg(i).arg(i / 4).toUtf8());
    }
    QString error;
    QVERIFY(PeopleBook::open(book, PeopleBook::Open::CreateIfMissing, &error));
    // Killed while its transaction is written: the book has all or none.
    int killedMidway = 0;
    for (int attempt = 0; attempt < 4; ++attempt) {
        QProcess tool;
        tool.start(program(u"borvessa-card"_s), {u"people"_s, u"import"_s, csv, u"--book"_s, book});
        QVERIFY(tool.waitForStarted());
        const QString wal = book + u"-wal"_s;
        // Wait for the import's writes to reach the write-ahead log.
        QElapsedTimer t;
        t.start();
        while (QFileInfo(wal).size() < (attempt + 1) * 256 * 1024 && tool.state() == QProcess::Running
               && t.elapsed() < 20000)
            QTest::qWait(1);
        const bool running = tool.state() == QProcess::Running;
        ::kill(pid_t(tool.processId()), SIGKILL);
        tool.waitForFinished();
        killedMidway += running ? 1 : 0;
        const auto after = PeopleBook::open(book, PeopleBook::Open::Existing, &error);
        QVERIFY2(after, qPrintable(error));
        const std::size_t n = after->people(&error)->size();
        QVERIFY2(n % Rows == 0, qPrintable(u"%1 people after a killed import"_s.arg(n)));
    }
    QVERIFY2(killedMidway > 0, "no import was killed while it ran");
}

QTEST_MAIN(TestPeople)
#include "tst_people.moc"
