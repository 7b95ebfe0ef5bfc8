// The card window's People menu: filling a card from a person and keeping it
// back in the people book, and printing the card for several people.

#include "AnswerBox.h"
#include "CardLayouts.h"
#include "GroupPrintDialog.h"
#include "Messages.h"
#include "PdfProbe.h"
#include "PeopleBook.h"
#include "PeopleUi.h"
#include "PersonChooser.h"
#include "TestCards.h"
#include "frmCanCard.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The Canada card's boxes that take nothing from a person.
constexpr int Airline = 2;
constexpr int PurposeStudy = 22;
constexpr int Name = 4;
constexpr int Postal = 13;

Person anna()
{
    Person p;
    p.setValue(Person::Surname, u"Smith"_s);
    p.setValue(Person::GivenNames, u"ANNA MARIE"_s);
    p.setValue(Person::BirthDate, u"1980-02-03"_s);
    p.setValue(Person::Citizenship, u"Irish"_s);
    p.setValue(Person::PassportNumber, u"PX4471"_s);
    p.setValue(Person::Street, u"12 Elm Street"_s);
    p.setValue(Person::City, u"Ottawa"_s);
    p.setValue(Person::ProvinceState, u"ON"_s);
    p.setValue(Person::PostalCode, u"K1A 0B1"_s);
    p.setValue(Person::Country, u"Canada"_s);
    p.setValue(Person::Household, u"Smith family"_s);
    return p;
}

Person named(const QString &surname, const QString &given, const QString &household)
{
    Person p = anna();
    p.setValue(Person::Surname, surname);
    p.setValue(Person::GivenNames, given);
    p.setValue(Person::Household, household);
    return p;
}

} // namespace

class TestPeopleWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void fillThenSaveRoundTrips();
    void groupLeavesOutAWrongBirthDate();
    void unusableBookChangesNothing_data();
    void unusableBookChangesNothing();

private:
    void openCanada(bool withFields = true);
    std::unique_ptr<PeopleBook> book();
    std::array<QString, CardFormModel::BoxCount> answers() const;

    QTemporaryDir m_dir;
    QString m_book;
    Messages::RecordingSink m_sink;
    std::unique_ptr<frmCanCard> m_form;
};

void TestPeopleWindow::initTestCase()
{
    Messages::setSink(&m_sink);
}

void TestPeopleWindow::init()
{
    m_sink.messages.clear();
    m_sink.answers.clear();
    // Each test its own book.
    static int n = 0;
    m_book = m_dir.filePath(u"people-%1.sqlite"_s.arg(++n));
    PeopleUi::setBookLocation(m_book);
    m_form = std::make_unique<frmCanCard>();
}

void TestPeopleWindow::cleanup()
{
    m_form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestPeopleWindow::openCanada(bool withFields)
{
    const CardLayout &layout = CardLayouts::canada();
    const QString path = m_dir.filePath(layout.name + u".qcf"_s);
    QVERIFY(TestCards::writeCard(path, TestCards::installedText(layout)));
    if (withFields)
        QVERIFY(TestCards::copyBundledFields(layout.name, path));
    else
        QFile::remove(m_dir.filePath(layout.name + u".fields"_s));
    QVERIFY2(m_form->LoadCard(path), qPrintable(m_form->model().lastError().message()));
    m_form->setVarCardTitle(layout.name);
    m_form->resize(m_form->minimumSize());
    m_form->show();
    QApplication::setActiveWindow(m_form.get());
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

std::unique_ptr<PeopleBook> TestPeopleWindow::book()
{
    QString error;
    auto b = PeopleBook::open(m_book, PeopleBook::Open::CreateIfMissing, &error);
    if (!b)
        qWarning() << error;
    return b;
}

std::array<QString, CardFormModel::BoxCount> TestPeopleWindow::answers() const
{
    std::array<QString, CardFormModel::BoxCount> out;
    for (int i = 0; i < CardFormModel::BoxCount; ++i)
        out[std::size_t(i)] = m_form->model().restBox(i).text;
    return out;
}

void TestPeopleWindow::fillThenSaveRoundTrips()
{
    openCanada();
    QVERIFY(m_form->mnuFillFromPerson()->isEnabled());
    // The trip's own answers, typed before the person is chosen.
    m_form->model().setAnswer(Airline, u"AC 871"_s);
    m_form->model().setTicked(PurposeStudy, true);
    m_form->model().setModified(false);
    Person saved = anna();
    {
        auto b = book();
        QVERIFY(b);
        Person other = named(u"Jones"_s, u"Bob"_s, {});
        other.setValue(Person::PassportNumber, u"QY1208"_s);
        QString error;
        QVERIFY2(b->save(&saved, &error), qPrintable(error));
        QVERIFY2(b->save(&other, &error), qPrintable(error));
    }
    const auto before = answers();

    // The chooser narrows on any field (the passport number here); Enter chooses.
    QStringList shown;
    QTimer::singleShot(0, this, [&shown] {
        auto *chooser = qobject_cast<PersonChooser *>(QApplication::activeModalWidget());
        if (!chooser)
            return;
        QTest::keyClicks(chooser->searchBox(), u"px44"_s);
        shown = chooser->shownNames();
        QTest::keyClick(chooser->searchBox(), Qt::Key_Return);
    });
    m_form->mnuFillFromPerson()->trigger();
    QCOMPARE(shown, QStringList{u"SMITH, ANNA MARIE"_s});
    QCOMPARE(m_form->model().restBox(Name).text, u"Smith, ANNA MARIE"_s);
    QCOMPARE(m_form->txtAddress(Name)->text(), m_form->model().box(Name).text);
    // The box being typed in (the first) shows its new answer too.
    QCOMPARE(m_form->model().editedBox(), 0);
    QCOMPARE(m_form->txtAddress(0)->text(), u"12 Elm Street, Ottawa"_s);
    QCOMPARE(m_form->model().restBox(5).text, u"1980"_s);
    QCOMPARE(m_form->model().restBox(6).text, u"02"_s);
    QCOMPARE(m_form->model().restBox(Postal).text, u"K1A 0B1"_s);
    QVERIFY(m_form->model().isModified());
    for (int i = 0; i < CardFormModel::BoxCount; ++i) {
        if (m_form->model().fields().personPattern(i).isEmpty())
            QCOMPARE(m_form->model().restBox(i).text, before[std::size_t(i)]);
    }
    QVERIFY(m_form->people().filledFrom());
    QCOMPARE(m_form->people().filledFrom()->id, saved.id);
    QCOMPARE(m_form->people().filledFrom()->version, saved.version);

    // Back into the book: one question, the same person, the given names
    // still one field and the initials still empty.
    m_sink.messages.clear();
    m_form->model().setAnswer(Postal, u"K2B 8C3"_s);
    m_sink.answers = {Messages::Answer::Ok};
    m_form->mnuSaveAsPerson()->trigger();
    QCOMPARE(m_sink.texts(), QStringList{u"Update SMITH, ANNA MARIE in the people book?"_s});
    {
        auto b = book();
        QString error;
        const std::optional<std::vector<Person>> people = b->people(&error);
        QVERIFY(people);
        QCOMPARE(people->size(), std::size_t(2));
        const std::optional<Person> back = b->person(saved.id, &error);
        QVERIFY2(back, qPrintable(error));
        Person expected = anna();
        expected.setValue(Person::PostalCode, u"K2B 8C3"_s);
        QVERIFY2(back->sameValues(expected), qPrintable(back->values[std::size_t(Person::Initials)]));
        QCOMPARE(back->version, saved.version + 1);
    }
    QCOMPARE(m_form->model().restBox(Airline).text, u"AC 871"_s);
    QVERIFY(m_form->model().isTicked(PurposeStudy));
    // The window follows the book's version: a second update goes through.
    QCOMPARE(m_form->people().filledFrom()->version, saved.version + 1);
    m_sink.answers = {Messages::Answer::Ok};
    QVERIFY(m_form->people().saveAsPerson());
    saved.version += 2;

    // Another desk changes her meanwhile: the window's update is refused
    // with the book's own words, and the book keeps the other desk's change.
    {
        auto other = book();
        QString error;
        std::optional<Person> p = other->person(saved.id, &error);
        QVERIFY(p);
        p->setValue(Person::City, u"Gatineau"_s);
        QVERIFY2(other->save(&*p, &error), qPrintable(error));
    }
    m_sink.messages.clear();
    m_form->model().setAnswer(Postal, u"K9Z 9Z9"_s);
    m_sink.answers = {Messages::Answer::Ok};
    QVERIFY(!m_form->people().saveAsPerson());
    QCOMPARE(m_sink.messages.size(), 2);
    const QString refusal = m_sink.messages.last().text;
    QVERIFY2(refusal.contains(u"was changed in the people book %1 by someone else"_s.arg(m_book)), qPrintable(refusal));
    {
        auto b = book();
        QString error;
        const std::optional<Person> p = b->person(saved.id, &error);
        QVERIFY(p);
        QCOMPARE(p->value(Person::City), u"Gatineau"_s);
        QCOMPARE(p->value(Person::PostalCode), u"K2B 8C3"_s);
        QCOMPARE(p->version, saved.version + 1);
        QCOMPARE(b->people(&error)->size(), std::size_t(2));
    }
}

void TestPeopleWindow::groupLeavesOutAWrongBirthDate()
{
    openCanada();
    m_form->model().setAnswer(Airline, u"AC 871"_s);
    {
        auto b = book();
        QVERIFY(b);
        std::vector<Person> people = {named(u"Smith"_s, u"Anna"_s, u"Smith family"_s),
                                      named(u"Smith"_s, u"Tom"_s, u"Smith family"_s)};
        QString error;
        QVERIFY2(b->addAll(&people, &error), qPrintable(error));
    }
    {
        // The book refuses such a date; an older program or a hand may not.
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw"_s);
        db.setDatabaseName(m_book);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY2(q.exec(u"INSERT INTO people (surname, given_names, birth_date) VALUES ('Brown', 'Carl', "
                        "'1980-02-30')"_s),
                 qPrintable(q.lastError().text()));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(u"raw"_s);

    const QString pdf = m_dir.filePath(u"group.pdf"_s);
    QStringList shownAfterHousehold;
    QStringList chosenNames;
    QStringList faults;
    bool exported = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<GroupPrintDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        QVERIFY(dialog->chosenPeople().empty());
        QVERIFY(!dialog->exportButton()->isEnabled());
        dialog->chooseHousehold(u"Smith family"_s);
        shownAfterHousehold.clear();
        for (const Person &p : dialog->chosenPeople())
            shownAfterHousehold.append(p.displayName());
        dialog->setSearchText(u"brown"_s);
        dialog->chooseShown();
        for (const Person &p : dialog->chosenPeople())
            chosenNames.append(p.displayName());
        faults = dialog->faultTexts();
        QVERIFY(dialog->leaveOutFaulty()->isChecked());
        exported = dialog->exportPdf(pdf);
        if (dialog->isVisible())
            dialog->reject();
    });
    QSignalSpy status(m_form.get(), &frmCanCard::statusMessage);
    m_sink.messages.clear();
    m_form->mnuPrintForSeveralPeople()->trigger();
    QCOMPARE(shownAfterHousehold, (QStringList{u"SMITH, Anna"_s, u"SMITH, Tom"_s}));
    QCOMPARE(chosenNames, (QStringList{u"BROWN, Carl"_s, u"SMITH, Anna"_s, u"SMITH, Tom"_s}));
    QCOMPARE(faults.size(), 1);
    QVERIFY2(faults.first().startsWith(u"BROWN, Carl: "_s), qPrintable(faults.first()));
    QVERIFY(exported);

    QCOMPARE(PdfProbe::pageCount(pdf), 2);
    // In the list's order, each page its own person's name and the trip's answer.
    const QList<PdfProbe::Word> words = PdfProbe::words(pdf);
    QCOMPARE(PdfProbe::find(words, u"ANNA"_s).page, 1);
    QCOMPARE(PdfProbe::find(words, u"TOM"_s).page, 2);
    QVERIFY(PdfProbe::find(words, u"BROWN,"_s).text.isEmpty());
    int trips = 0;
    for (const PdfProbe::Word &w : words)
        trips += w.text == u"871"_s;
    QCOMPARE(trips, 2);

    QCOMPARE(m_sink.messages.size(), 1);
    const QString summary = m_sink.messages.first().text;
    QVERIFY2(summary.startsWith(u"2 printed, 1 left out\nBROWN, Carl: "_s), qPrintable(summary));
    QVERIFY2(summary.contains(u"1980-02-30"_s) || summary.contains(u"birth"_s), qPrintable(summary));
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.first().first().toString(), QString(summary).replace(u'\n', u"; "_s));
}

void TestPeopleWindow::unusableBookChangesNothing_data()
{
    QTest::addColumn<QByteArray>("bookBytes");
    QTest::newRow("damaged file") << QByteArray("This is not a database at all, only some text.\n").repeated(200);
    QTest::newRow("another program's database") << QByteArray("other");
}

void TestPeopleWindow::unusableBookChangesNothing()
{
    QFETCH(QByteArray, bookBytes);
    if (bookBytes == "other") {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
        db.setDatabaseName(m_book);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(u"CREATE TABLE notes (text TEXT)"_s));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"other"_s);
    } else {
        QFile file(m_book);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bookBytes);
    }
    const QByteArray bytesBefore = TestCards::fileBytes(m_book);

    // A card without a fields file takes nobody: the items are off.
    openCanada(false);
    QVERIFY(!m_form->mnuFillFromPerson()->isEnabled());
    QVERIFY(!m_form->mnuSaveAsPerson()->isEnabled());
    QVERIFY(!m_form->mnuPrintForSeveralPeople()->isEnabled());
    openCanada(true);
    QVERIFY(m_form->mnuFillFromPerson()->isEnabled());

    const auto before = answers();
    bool dialogShown = false;
    QTimer guard;
    connect(&guard, &QTimer::timeout, this, [&dialogShown] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            dialogShown = true;
            modal->close();
        }
    });
    guard.start(0);
    for (QAction *action : {m_form->mnuFillFromPerson(), m_form->mnuPrintForSeveralPeople()}) {
        m_sink.messages.clear();
        action->trigger();
        QCOMPARE(m_sink.messages.size(), 1);
        QVERIFY2(m_sink.messages.first().text.contains(m_book), qPrintable(m_sink.messages.first().text));
    }
    m_form->model().setAnswer(Name, u"Doe, Jane"_s);
    m_sink.messages.clear();
    QVERIFY(!m_form->people().saveAsPerson());
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY2(m_sink.messages.first().text.contains(m_book), qPrintable(m_sink.messages.first().text));
    guard.stop();
    QVERIFY(!dialogShown);
    QVERIFY(!m_form->people().filledFrom());
    auto after = answers();
    after[std::size_t(Name)] = before[std::size_t(Name)];
    QVERIFY(after == before);
    QCOMPARE(TestCards::fileBytes(m_book), bytesBefore);
}

QTEST_MAIN(TestPeopleWindow)
#include "tst_peoplewindow.moc"
