// The fields file beside a card: its faults named by line, tick groups and
// their rules, dates checked as a whole, and capitals by the card's language.

#include "CardFields.h"
#include "CardFormModel.h"
#include "CardLayouts.h"
#include "TestCards.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace Qt::StringLiterals;

namespace {

CardFields parsed(const QByteArray &text)
{
    CardError error;
    const std::optional<CardFields> f = CardFields::parse(u"t.fields"_s, text, &error);
    if (!f)
        qWarning("%s", qPrintable(error.message()));
    return f.value_or(CardFields());
}

// Answers of a card window: every box visible, questions "Q<n>".
struct Boxes
{
    std::map<int, QString> answers;
    CardFields::Answers view() const
    {
        return {[this](int box) { return answers.count(box) ? answers.at(box) : QString(); },
                [](int box) { return u"Q%1"_s.arg(box); }, [](int) { return true; }};
    }
};

QStringList messages(const CardFields &f, const Boxes &boxes)
{
    QStringList out;
    for (const CardFields::Fault &fault : f.faults(boxes.view()))
        out.append(fault.message);
    return out;
}

} // namespace

class TestCardFields : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void faultsNameTheLine_data();
    void faultsNameTheLine();
    void bundledFieldsFilesAreValid_data();
    void bundledFieldsFilesAreValid();
    void groupRules_data();
    void groupRules();
    void datesAreCheckedTogether_data();
    void datesAreCheckedTogether();
    void oneDigitMonthsAndDaysGetTheirZero_data();
    void oneDigitMonthsAndDaysGetTheirZero();
    void capitalsFollowTheCardsLanguage_data();
    void capitalsFollowTheCardsLanguage();
    void badFieldsFileKeepsTheCardFromOpening();

private:
    QTemporaryDir m_dir;
};

void TestCardFields::faultsNameTheLine_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");
    QTest::newRow("unknown statement") << "# a card\n\nboxes 3 tick\n"_ba << 3 << u"\"boxes\" is not a statement"_s;
    QTest::newRow("box out of range") << "box 96 tick\n"_ba << 1 << u"\"96\" is not a box number"_s;
    QTest::newRow("box not a number") << "box -1 tick\n"_ba << 1 << u"\"-1\" is not a box number"_s;
    QTest::newRow("unknown kind") << "box 3 check\n"_ba << 1 << u"\"check\" is not a kind"_s;
    QTest::newRow("box twice") << "box 3 tick\nbox 3 text\n"_ba << 2 << u"already described on line 1"_s;
    QTest::newRow("date part without date") << "box 5 year\n"_ba << 1 << u"names the date"_s;
    QTest::newRow("tick with extra word") << "box 5 tick birth\n"_ba << 1 << u"takes nothing after"_s;
    QTest::newRow("two months for a date")
        << "box 5 month birth\nbox 6 month birth\n"_ba << 2 << u"already has its month in box 5"_s;
    QTest::newRow("group of one") << "box 3 tick\ngroup g exactly-one 3\n"_ba << 2 << u"two or more"_s;
    QTest::newRow("unknown rule") << "box 3 tick\nbox 4 tick\ngroup g one 3 4\n"_ba << 3 << u"not a group rule"_s;
    QTest::newRow("box in two groups")
        << "box 3 tick\nbox 4 tick\nbox 5 tick\ngroup a exactly-one 3 4\ngroup b at-most-one 4 5\n"_ba << 5
        << u"box 4 is already in a group on line 4"_s;
    // Described after its group, a text box is still found out, on the group's line.
    QTest::newRow("group holds a text box")
        << "box 3 tick\ngroup g at-most-one 3 4\nbox 4 capitals\n"_ba << 2 << u"box 4 of the group \"g\" is not a tick"_s;
    QTest::newRow("unknown language") << "language xx-nowhere\n"_ba << 1 << u"not a language"_s;
    QTest::newRow("language twice") << "language en\nlanguage fr\n"_ba << 2 << u"already set"_s;
    QTest::newRow("person field unknown")
        << "box 3 text\nbox 4 capitals person {surname}, {first_name}\n"_ba << 2 << u"\"first_name\" is not a person field"_s;
    QTest::newRow("person pattern unclosed") << "box 4 text person {surname\n"_ba << 1 << u"without its \"}\""_s;
    QTest::newRow("person on a tick") << "box 4 tick person {surname}\n"_ba << 1 << u"tick box cannot take"_s;
    QTest::newRow("not UTF-8") << "box 3 tick\n# caf\xe9\n"_ba << 2 << u"not UTF-8"_s;
}

void TestCardFields::faultsNameTheLine()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, reason);
    CardError error;
    QVERIFY(!CardFields::parse(u"/cards/X.fields"_s, text, &error));
    QCOMPARE(error.file, u"/cards/X.fields"_s);
    QCOMPARE(error.line, line);
    QVERIFY2(error.reason.contains(reason), qPrintable(error.reason));
}

void TestCardFields::bundledFieldsFilesAreValid_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("groups");
    QTest::newRow("Canada") << u"Canada"_s << 19 << 8;
    QTest::newRow("Canada_Blue") << u"Canada_Blue"_s << 19 << 8;
    QTest::newRow("US") << u"US"_s << 8 << 4;
}

void TestCardFields::bundledFieldsFilesAreValid()
{
    QFETCH(QString, name);
    QFETCH(int, ticks);
    QFETCH(int, groups);
    const CardLayout *layout = CardLayouts::named(name);
    QVERIFY(layout);
    CardError error;
    const std::optional<CardFields> f =
        CardFields::read(qEnvironmentVariable("BORVESSA_SOURCE_DIR") + u"/cards/"_s + name + u".fields"_s, &error);
    QVERIFY2(f && !f->isEmpty(), qPrintable(error.message()));
    // Every narrow box of the layout is a tick, and no wide one.
    int counted = 0;
    for (const LayoutRow &row : layout->rows) {
        QCOMPARE(f->isTick(row.box), row.width <= 120);
        counted += f->isTick(row.box) ? 1 : 0;
    }
    QCOMPARE(counted, ticks);
    QCOMPARE(int(f->groups().size()), groups);
    // Each group is read by what its questions share.
    for (const CardFields::Group &g : f->groups()) {
        const QString title = f->groupTitle(g, [layout](int box) { return layout->rowForBox(box)->question; });
        QVERIFY2(title != g.name && !title.endsWith(u':') && !title.endsWith(u"YES"_s), qPrintable(title));
    }
}

void TestCardFields::groupRules_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<QStringList>("expected");
    const QString two = u"\u201CQ1\u201D: 2 boxes are ticked; only one may be"_s;
    const QString none = u"\u201CQ1\u201D: no box is ticked"_s;
    QTest::newRow("at most one, none") << u"at-most-one"_s << QList<int>{} << QStringList{};
    QTest::newRow("at most one, two") << u"at-most-one"_s << QList<int>{1, 2} << QStringList{two};
    QTest::newRow("exactly one, none") << u"exactly-one"_s << QList<int>{} << QStringList{none};
    QTest::newRow("exactly one, one") << u"exactly-one"_s << QList<int>{2} << QStringList{};
    QTest::newRow("exactly one, two") << u"exactly-one"_s << QList<int>{1, 2} << QStringList{two};
    QTest::newRow("at least one, two") << u"at-least-one"_s << QList<int>{1, 2} << QStringList{};
    QTest::newRow("at least one, none") << u"at-least-one"_s << QList<int>{} << QStringList{none};
}

void TestCardFields::groupRules()
{
    QFETCH(QString, rule);
    QFETCH(QList<int>, ticked);
    QFETCH(QStringList, expected);
    // Questions that share nothing: the group is read by its name.
    const CardFields f = parsed("box 1 tick\nbox 2 tick\ngroup Q1 " + rule.toLatin1() + " 1 2\n");
    Boxes boxes;
    for (const int box : ticked)
        boxes.answers[box] = u"x"_s;
    boxes.answers[3] = u" "_s;
    QCOMPARE(messages(f, boxes), expected);
}

void TestCardFields::datesAreCheckedTogether_data()
{
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QList<int>>("marked");
    const auto q = [](int box, const QString &what) { return u"\u201CQ%1\u201D: %2"_s.arg(box).arg(what); };
    QTest::newRow("empty") << u" "_s << u""_s << u""_s << QStringList{} << QList<int>{};
    QTest::newRow("a real date") << u"1959"_s << u"06"_s << u"03"_s << QStringList{} << QList<int>{};
    QTest::newRow("31 February") << u"2027"_s << u"02"_s << u"31"_s
                                 << QStringList{q(8, u"\u201C31\u201D is not a day of February 2027"_s)}
                                 << QList<int>{8};
    QTest::newRow("29 February 2028") << u"2028"_s << u"2"_s << u"29"_s << QStringList{} << QList<int>{};
    QTest::newRow("29 February 2027") << u"2027"_s << u"02"_s << u"29"_s
                                      << QStringList{q(8, u"\u201C29\u201D is not a day of February 2027"_s)}
                                      << QList<int>{8};
    QTest::newRow("29 February 1900") << u"1900"_s << u"02"_s << u"29"_s
                                      << QStringList{q(8, u"\u201C29\u201D is not a day of February 1900"_s)}
                                      << QList<int>{8};
    QTest::newRow("month 00") << u"1984"_s << u"00"_s << u"12"_s
                              << QStringList{q(6, u"\u201C00\u201D is not a month (01 to 12)"_s)} << QList<int>{6};
    QTest::newRow("month 13") << u"1984"_s << u"13"_s << u"12"_s
                              << QStringList{q(6, u"\u201C13\u201D is not a month (01 to 12)"_s)} << QList<int>{6};
    QTest::newRow("day 00") << u"1984"_s << u"01"_s << u"00"_s
                            << QStringList{q(8, u"\u201C00\u201D is not a day"_s)} << QList<int>{8};
    QTest::newRow("letters") << u"19a4"_s << u"o6"_s << u"3 "_s
                             << QStringList{q(5, u"\u201C19a4\u201D is not a year (four digits)"_s),
                                            q(6, u"\u201Co6\u201D is not a month (01 to 12)"_s)}
                             << QList<int>{5, 6};
    QTest::newRow("a two-digit year") << u"59"_s << u"06"_s << u"03"_s
                                      << QStringList{q(5, u"\u201C59\u201D is not a year (four digits)"_s)}
                                      << QList<int>{5};
    // Without a year, 29 February may be right; a missing part is listed
    // before printing but not marked while the user is still filling in.
    QTest::newRow("no year") << u""_s << u"02"_s << u"29"_s << QStringList{q(5, u"the date has no year"_s)}
                             << QList<int>{};
    QTest::newRow("no year, 30 February") << u""_s << u"02"_s << u"30"_s
                                         << QStringList{q(5, u"the date has no year"_s),
                                                        q(8, u"\u201C30\u201D is not a day of February"_s)}
                                         << QList<int>{8};
}

void TestCardFields::datesAreCheckedTogether()
{
    QFETCH(QString, year);
    QFETCH(QString, month);
    QFETCH(QString, day);
    QFETCH(QStringList, expected);
    QFETCH(QList<int>, marked);
    // A second date on the same card is judged apart.
    const CardFields f =
        parsed("box 5 year birth\nbox 6 month birth\nbox 8 day birth\nbox 20 month issued\nbox 21 day issued\n");
    Boxes boxes;
    boxes.answers = {{5, year}, {6, month}, {8, day}, {20, u"12"_s}, {21, u"31"_s}};
    QCOMPARE(messages(f, boxes), expected);
    const std::array<bool, CardFields::BoxCount> faulty = f.faultyBoxes(boxes.view());
    QList<int> shown;
    for (int i = 0; i < CardFields::BoxCount; ++i) {
        if (faulty[i])
            shown.append(i);
    }
    QCOMPARE(shown, marked);
}

void TestCardFields::oneDigitMonthsAndDaysGetTheirZero_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("month 6") << 6 << u"6"_s << u"06"_s;
    QTest::newRow("day 3 with spaces") << 8 << u" 3 "_s << u"03"_s;
    QTest::newRow("day 0") << 8 << u"0"_s << u"00"_s;
    QTest::newRow("day 12") << 8 << u"12"_s << u"12"_s;
    QTest::newRow("letter") << 8 << u"a"_s << u"a"_s;
    QTest::newRow("year 7") << 5 << u"7"_s << u"7"_s;
    QTest::newRow("text box") << 9 << u"7"_s << u"7"_s;
}

void TestCardFields::oneDigitMonthsAndDaysGetTheirZero()
{
    QFETCH(int, box);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    const CardFields f = parsed("box 5 year birth\nbox 6 month birth\nbox 8 day birth\n");
    QCOMPARE(f.completedAnswer(box, typed), written);
}

void TestCardFields::capitalsFollowTheCardsLanguage_data()
{
    QTest::addColumn<QString>("userLocale");
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("printed");
    QTest::newRow("English card, Turkish user") << u"tr_TR"_s << "en-CA"_ba << u"iris"_s << u"IRIS"_s;
    QTest::newRow("English card, German user") << u"de_DE"_s << "en-CA"_ba << u"élodie straße"_s
                                               << u"ÉLODIE STRASSE"_s;
    QTest::newRow("Turkish card, English user") << u"en_US"_s << "tr"_ba << u"iris"_s << u"\u0130R\u0130S"_s;
    QTest::newRow("no language line") << u"tr_TR"_s << ""_ba << u"ıi"_s << u"II"_s;
}

void TestCardFields::capitalsFollowTheCardsLanguage()
{
    QFETCH(QString, userLocale);
    QFETCH(QByteArray, language);
    QFETCH(QString, typed);
    QFETCH(QString, printed);
    const QLocale before;
    QLocale::setDefault(QLocale(userLocale));
    const CardFields f = parsed((language.isEmpty() ? ""_ba : "language " + language + "\n") + "box 4 capitals\n");
    const QString got = f.printedText(4, typed);
    const QString untouched = f.printedText(3, typed);
    QLocale::setDefault(before);
    QCOMPARE(got, printed);
    QCOMPARE(untouched, typed);
}

void TestCardFields::badFieldsFileKeepsTheCardFromOpening()
{
    const QString card = m_dir.filePath(u"Canada.qcf"_s);
    QVERIFY(TestCards::writeCard(card, TestCards::installedText(CardLayouts::canada())));
    QFile fields(m_dir.filePath(u"CANADA.FIELDS"_s));
    QVERIFY(fields.open(QIODevice::WriteOnly));
    fields.write("box 3 tick\nbox 4 tick\ngroup yesno exactly-one 3 4 5\n");
    fields.close();

    CardFormModel model;
    QVERIFY(!model.LoadCard(card));
    QCOMPARE(model.lastError().line, 3);
    QVERIFY(model.lastError().file.endsWith(u"CANADA.FIELDS"_s));
    QVERIFY(!model.clsCard());

    // Mended, the card opens with its ticks; removed, with none.
    QVERIFY(fields.open(QIODevice::WriteOnly | QIODevice::Truncate));
    fields.write("box 3 tick\nbox 4 tick\ngroup yesno exactly-one 3 4\n");
    fields.close();
    QVERIFY2(model.LoadCard(card), qPrintable(model.lastError().message()));
    QVERIFY(model.fields().isTick(4));
    QVERIFY(fields.remove());
    QVERIFY(model.LoadCard(card));
    QVERIFY(model.fields().isEmpty());
    QVERIFY(!model.fields().isTick(4));
}

QTEST_GUILESS_MAIN(TestCardFields)
#include "tst_cardfields.moc"
