// The card string format: collections, code page, numbers, line and field
// access, and the reading rules of settings, answers and questions.

#include "Card.h"
#include "Cp1252.h"
#include "Numbers.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

using LineMap = QMap<int, QString>;

// A card text with the given lines (1-based), every line ending in CR LF.
QString textWithLines(const QMap<int, QString> &lines, int count = 560)
{
    QString text;
    for (int n = 1; n <= count; ++n)
        text += lines.value(n) + u"\r\n"_s;
    return text;
}

// The smallest card text that loads: every setting line holds a valid value.
QMap<int, QString> minimalLines()
{
    // Line 1 must not be empty: a CR LF at the very start is never counted.
    return {{1, u"Test card"_s},        {17, u"FontSize:8"_s},      {18, u"FontName:Serif"_s},
            {20, u"ImagePxTop,80"_s},    {21, u"ImagePxLeft,135"_s},
            {22, u"ImageWidth,3395"_s},  {23, u"ImageHt,6240"_s},
            {25, u"DesignMode,False"_s}, {27, u"Orientation,P"_s},
            {28, u"PaperHt:7200"_s},     {29, u"PaperWdth:3600"_s},
            {36, u"ImagePxTop,80"_s},    {37, u"ImagePxLeft,135"_s},
            {38, u"ImageWidth,3395"_s},  {39, u"ImageHt,6240"_s},
            {552, u"LeftPrintMargin:0"_s}, {553, u"EnlargeFactor:1"_s}};
}

// Where line n of a text begins and ends (1-based positions of its start and
// of its CR), found the plain way: counting CR LF pairs from position 2 on
// every call, then scanning for the CR.
std::optional<std::pair<qsizetype, qsizetype>> plainLocate(const QString &text, int n)
{
    qsizetype p = 1;
    for (int i = 1; i < n; ++i) {
        qsizetype found = -1;
        for (qsizetype k = p; k + 1 < text.size(); ++k) {
            if (text[k] == u'\r' && text[k + 1] == u'\n') {
                found = k;
                break;
            }
        }
        if (found < 0)
            return std::nullopt;
        p = found + 1;
    }
    const qsizetype start = p + 2;
    for (qsizetype k = start - 1; k < text.size(); ++k) {
        if (text[k] == u'\r')
            return std::pair{start, k + 1};
    }
    return std::nullopt;
}

// A random text of plain characters, CR LF pairs, lone CRs and lone LFs.
QString randomCardText(QRandomGenerator &random, qsizetype length)
{
    static const QString pieces[] = {u"\r\n"_s, u"\r"_s, u"\n"_s, u"a"_s, u"b,c"_s, u"defgh"_s};
    QString text;
    if (random.bounded(4) == 0)
        text += u"\r\n"_s; // a leading CR LF is never counted
    while (text.size() < length)
        text += pieces[random.bounded(int(std::size(pieces)))];
    return text;
}

QString lineOf(const QString &text, int n)
{
    return text.split(u"\r\n"_s).value(n - 1);
}

} // namespace

class TestCardFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void collectionsKeepInsertionOrder();
    void collectionsRefuseDuplicateKeys();
    void collectionsEmptyByRemovingFirst();

    void codePageRoundTripsEveryByte();
    void codePageMapsWindowsCharacters_data();
    void codePageMapsWindowsCharacters();

    void formatSingle_data();
    void formatSingle();
    void wholeNumbersRoundHalfToEven_data();
    void wholeNumbersRoundHalfToEven();
    void numbersIgnoreTheLocale();
    void numberText_data();
    void numberText();

    void lineLocation_data();
    void lineLocation();
    void lineWithoutCrIsAnError();
    void missingLineIsAnError();
    void lineIndexMatchesThePlainScan_data();
    void lineIndexMatchesThePlainScan();

    void getField_data();
    void getField();

    void designModeFlag_data();
    void designModeFlag();
    void orientation_data();
    void orientation();
    void printSettingsReadFromTheirColumns();

    void answerLines_data();
    void answerLines();
    void controlLineLengthThreshold_data();
    void controlLineLengthThreshold();
    void controlLineFields();
    void truthTable_data();
    void truthTable();
    void duplicateQuestionFailsTheLoad();
    void badValues_data();
    void badValues();
    void failedParseKeepsTheCard();

    void lineReplacementKeepsEverythingElse();
    void saveBanksKeepLabelsAndSkipGaps();
    void answerWritingReadsBackExactly_data();
    void answerWritingReadsBackExactly();
    void toggleDesignModeTwice();
    void twipRangeEdgesLoad();
    void outOfPositionBanksSaveAndLoadAgain_data();
    void outOfPositionBanksSaveAndLoadAgain();
};

void TestCardFormat::twipRangeEdgesLoad()
{
    auto lines = minimalLines();
    lines[36] = u"ImagePxTop,-32768"_s;
    lines[37] = u"ImagePxLeft,32767"_s;
    lines[151] = u"0,Edge,32767,-32768,32767,-32768,0,F,3,True,0"_s;
    Card card;
    QVERIFY2(card.LoadCardFromStr(textWithLines(lines)), qPrintable(card.lastError().message()));
    QCOMPARE(card.CardImageTop(), -32768.0f);
    QCOMPARE(card.colCardCtrls().Item(u"0"_s)->left_c, u"-32768"_s);
}

void TestCardFormat::outOfPositionBanksSaveAndLoadAgain_data()
{
    // Lines of the answer and current layout banks, the visible boxes (the
    // boxes the window writes), and what each box reads back.
    QTest::addColumn<LineMap>("bank");
    QTest::addColumn<QList<int>>("written");

    QTest::newRow("answer of box 2 one line early, box 1 hidden")
        << LineMap{{151, u"0,A,90,100,100,500,0,F,3,True,0"_s},
                              {152, u"1,B,90,100,100,500,0,F,3,False,1"_s},
                              {153, u"2,C,90,100,100,500,0,F,3,True,2"_s},
                              {352, u"2,Airline,AC"_s}, {353, u"1,Unused,"_s}}
        << QList<int>{0, 2};
    QTest::newRow("answer of box 2 one line early, all shown")
        << LineMap{{151, u"0,A,90,100,100,500,0,F,3,True,0"_s},
                              {152, u"1,B,90,100,100,500,0,F,3,True,1"_s},
                              {153, u"2,C,90,100,100,500,0,F,3,True,2"_s},
                              {352, u"2,Airline,AC"_s}, {353, u"1,Unused,"_s}}
        << QList<int>{0, 1, 2};
    QTest::newRow("layout lines 152 and 153 swapped, box 1 hidden")
        << LineMap{{151, u"0,A,90,100,100,500,0,F,3,True,0"_s},
                              {152, u"2,C,90,100,100,500,0,F,3,True,2"_s},
                              {153, u"1,B,90,100,100,500,0,F,3,False,1"_s},
                              {351, u"0,A,zero"_s}, {352, u"1,B,one"_s}, {353, u"2,C,two"_s}}
        << QList<int>{0, 2};
    QTest::newRow("box described far below its position")
        << LineMap{{151, u"0,A,90,100,100,500,0,F,3,True,0"_s},
                              {200, u"3,D,90,100,100,500,0,F,3,True,3"_s},
                              {152, u"1,B,90,100,100,500,0,F,3,True,1"_s},
                              {360, u"3,D,late"_s}}
        << QList<int>{0, 1, 3};
    QTest::newRow("box without a line whose own line belongs to another")
        << LineMap{{151, u"0,A,90,100,100,500,0,F,3,True,0"_s},
                              {152, u"5,F,90,100,100,500,0,F,3,True,5"_s},
                              {351, u"0,A,a"_s}, {352, u"5,F,five"_s}}
        << QList<int>{0, 1, 5};
    // A lone CR ends a line for the loader's walk through the bank but not
    // for line numbers counted by CR LF: a box is written where the walk
    // reads it.
    QTest::newRow("lone CR in the answer bank")
        << LineMap{{151, u"0,A,90,100,100,500,0,F,3,True,0"_s},
                   {152, u"1,B,90,100,100,500,0,F,3,True,1"_s},
                   {156, u"5,F,90,100,100,500,0,F,3,True,5"_s},
                   {352, u"1,B,x\ryz"_s}, {357, u"5,F,five"_s}}
        << QList<int>{0, 1, 5};
    // Keys 3 and 03 both name box 3: the line keyed 3 takes the box, and
    // the other answer for it is emptied so that only one is read.
    QTest::newRow("box 3 keyed 3 and 03")
        << LineMap{{151, u"0,A,90,100,100,500,0,F,3,True,0"_s},
                   {174, u"03,T,90,100,100,500,0,F,3,True,3"_s},
                   {240, u"3,F,90,100,100,500,0,F,3,True,3"_s},
                   {354, u"03,x,old"_s}, {360, u"3,y,older"_s}}
        << QList<int>{0, 3};
    // The window reads the later line, 026: both lines get the box, each
    // keeping its key and label.
    QTest::newRow("box 26 keyed 26 and, later, 026")
        << LineMap{{151, u"0,A,90,100,100,500,0,F,3,True,0"_s},
                   {177, u"26,Z,90,100,100,500,0,F,3,True,26"_s},
                   {246, u"026,Y,90,100,100,500,0,F,3,True,26"_s}}
        << QList<int>{0, 26};
    // After CR CR LF the walk starts the next line on the LF; writing that
    // line must keep the CR LF, or every later line would move.
    QTest::newRow("CR CR LF in the answer bank")
        << LineMap{{151, u"0,A,90,100,100,500,0,F,3,True,0"_s},
                   {152, u"1,B,90,100,100,500,0,F,3,True,1"_s},
                   {153, u"2,C,90,100,100,500,0,F,3,True,2"_s},
                   {352, u"1,B,x\r"_s}, {353, u"2,C,two"_s}}
        << QList<int>{0, 1, 2};
}

void TestCardFormat::outOfPositionBanksSaveAndLoadAgain()
{
    QFETCH(LineMap, bank);
    QFETCH(QList<int>, written);
    auto lines = minimalLines();
    for (auto it = bank.cbegin(); it != bank.cend(); ++it)
        lines[it.key()] = it.value();
    Card card;
    QVERIFY2(card.LoadCardFromStr(textWithLines(lines)), qPrintable(card.lastError().message()));
    QMap<QString, QString> labels;
    for (const CardCtrl &c : card.colCardCtrls())
        labels[QString::number(c.fldName.trimmed().toInt())] = c.fldText;

    // The window writes its visible boxes, each with a new answer and place.
    card.colAnsws().clear();
    card.colCardCtrls().clear();
    for (const int i : written) {
        const QString key = QString::number(i);
        card.colAnsws().Add(std::int16_t(i), u"typed "_s + key, key);
        card.colCardCtrls().Add(key, {}, u"105"_s, QString::number(1000 + i), u"700"_s, u"400"_s,
                                u"0"_s, u"F"_s, u"3"_s, u"True"_s, key, key);
        card.setLastCntrl(std::int16_t(i));
    }
    QVERIFY(card.SaveAnwsersToCardStr());
    card.setSaveAtLineNum_Start(Card::FirstCurrentControl);
    card.setSaveAtLineNum_End(Card::LastCurrentControl);
    QVERIFY(card.SaveControlValuesToCardStr());

    Card again;
    QVERIFY2(again.LoadCardFromStr(card.CardStr()), qPrintable(again.lastError().message()));
    // By number: a line the walk starts on an LF has the LF in its key.
    QMap<int, QString> answers;
    for (const clsAnsw &a : again.colAnsws())
        answers.insert(a.ControlNum, a.Answ);
    QMap<int, const CardCtrl *> controls;
    for (const CardCtrl &c : again.colCardCtrls())
        controls.insert(c.fldName.trimmed().toInt(), &c);
    for (const int i : written) {
        const QString key = QString::number(i);
        QVERIFY2(answers.contains(i), qPrintable(u"no answer for box "_s + key));
        QCOMPARE(answers.value(i), u"typed "_s + key);
        const CardCtrl *c = controls.value(i);
        QVERIFY(c);
        QCOMPARE(c->left_c, QString::number(1000 + i));
        // A label stays with its box.
        if (labels.contains(key))
            QCOMPARE(c->fldText, labels.value(key));
    }
    // Boxes that were not written keep what they had.
    for (const QString &key : labels.keys()) {
        if (!written.contains(key.toInt()))
            QVERIFY(controls.contains(key.toInt()));
    }
}

void TestCardFormat::collectionsKeepInsertionOrder()
{
    clsAnsws c;
    QVERIFY(c.Add(3, u"three"_s, u"3"_s));
    QVERIFY(c.Add(0, u"zero"_s, u"0"_s));
    QVERIFY(c.Add(1, u"one"_s, u"1"_s));
    QStringList order;
    for (const clsAnsw &a : c)
        order << a.Answ;
    QCOMPARE(order, (QStringList{u"three"_s, u"zero"_s, u"one"_s}));
    QCOMPARE(c.Item(u"0"_s)->Answ, u"zero"_s);
    // A number is a position, not a key.
    QCOMPARE(c.Item(1)->Answ, u"three"_s);
    QCOMPARE(c.Item(u"1"_s)->Answ, u"one"_s);
    QVERIFY(!c.Item(0));
    QVERIFY(!c.Item(4));
    QVERIFY(!c.Item(u"7"_s));
}

void TestCardFormat::collectionsRefuseDuplicateKeys()
{
    Questions q;
    QVERIFY(q.Add(5, u"first"_s, u"5"_s));
    QVERIFY(!q.Add(5, u"second"_s, u"5"_s));
    QCOMPARE(q.Count(), 1);
    QCOMPARE(q.Item(u"5"_s)->question, u"first"_s);
    // Items without a key never collide.
    QVERIFY(q.Add(6, u"a"_s, QString()));
    QVERIFY(q.Add(6, u"b"_s, QString()));
    QCOMPARE(q.Count(), 3);
}

void TestCardFormat::collectionsEmptyByRemovingFirst()
{
    CardCtrls c;
    for (int i = 0; i < 5; ++i)
        c.Add(QString::number(i), {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, QString::number(i));
    QVERIFY(c.Remove(u"2"_s));
    QVERIFY(!c.Remove(u"2"_s));
    QVERIFY(!c.Remove(9));
    while (c.Count() > 0)
        QVERIFY(c.Remove(1));
    QCOMPARE(c.Count(), 0);
    QVERIFY(c.Add(u"2"_s, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, u"2"_s));
}

void TestCardFormat::codePageRoundTripsEveryByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = Cp1252::decode(all);
    QCOMPARE(text.size(), 256);
    QVERIFY(Cp1252::canEncode(text));
    QCOMPARE(Cp1252::encode(text), all);
}

void TestCardFormat::codePageMapsWindowsCharacters_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unicode");
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("undefined 0x81 stays a control") << 0x81 << 0x81;
    QTest::newRow("left double quote") << 0x93 << 0x201C;
    QTest::newRow("Y diaeresis") << 0x9F << 0x178;
    QTest::newRow("e acute") << 0xE9 << 0xE9;
}

void TestCardFormat::codePageMapsWindowsCharacters()
{
    QFETCH(int, byte);
    QFETCH(int, unicode);
    const QString s = Cp1252::decode(QByteArray(1, char(byte)));
    QCOMPARE(int(s.at(0).unicode()), unicode);
    QCOMPARE(Cp1252::encode(s), QByteArray(1, char(byte)));
}

void TestCardFormat::formatSingle_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("stretched top") << 651.8269f << u"651.8269"_s;
    QTest::newRow("ratio") << 0.0927835f << u"0.0927835"_s;
    QTest::newRow("whole") << 450.0f << u"450"_s;
    QTest::newRow("negative") << -20.0f << u"-20"_s;
    QTest::newRow("zero") << 0.0f << u"0"_s;
    QTest::newRow("enlargement") << 1.05f << u"1.05"_s;
}

void TestCardFormat::formatSingle()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(Numbers::formatSingle(value), text);
    // And back to the very same single.
    QCOMPARE(*Numbers::toSingle(text), value);
}

void TestCardFormat::wholeNumbersRoundHalfToEven_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("ok");
    QTest::newRow("450.5") << u"450.5"_s << 450 << true;
    QTest::newRow("451.5") << u"451.5"_s << 452 << true;
    QTest::newRow("-2.5") << u"-2.5"_s << -2 << true;
    QTest::newRow("450.6") << u"450.6"_s << 451 << true;
    QTest::newRow("blanks") << u" 12 "_s << 12 << true;
    QTest::newRow("too big") << u"32768"_s << 0 << false;
    QTest::newRow("text") << u"12a"_s << 0 << false;
    QTest::newRow("empty") << QString() << 0 << false;
}

void TestCardFormat::wholeNumbersRoundHalfToEven()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QFETCH(bool, ok);
    const auto v = Numbers::toInt16(text);
    QCOMPARE(v.has_value(), ok);
    if (ok)
        QCOMPARE(int(*v), expected);
}

void TestCardFormat::numbersIgnoreTheLocale()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString written = Numbers::formatSingle(651.8269f);
    const auto read = Numbers::toSingle(u"0.0927835"_s);
    const auto comma = Numbers::toSingle(u"0,5"_s);
    QLocale::setDefault(previous);
    QCOMPARE(written, u"651.8269"_s);
    QVERIFY(read.has_value());
    QCOMPARE(*read, 0.0927835f);
    QVERIFY(!comma.has_value());
}

void TestCardFormat::numberText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("expected");
    QTest::newRow("whole") << u"450"_s << true << 450.0;
    QTest::newRow("fraction") << u"0.0927835"_s << true << 0.0927835;
    QTest::newRow("negative") << u"-20"_s << true << -20.0;
    QTest::newRow("plus sign") << u"+5"_s << true << 5.0;
    QTest::newRow("no leading digit") << u".5"_s << true << 0.5;
    QTest::newRow("exponent") << u"1e+5"_s << true << 100000.0;
    QTest::newRow("blanks around") << u" \t12 "_s << true << 12.0;
    QTest::newRow("group separator") << u"1,050"_s << false << 0.0;
    QTest::newRow("decimal comma") << u"1,05"_s << false << 0.0;
    QTest::newRow("blank inside") << u"1 050"_s << false << 0.0;
    QTest::newRow("two signs") << u"+-5"_s << false << 0.0;
    QTest::newRow("hexadecimal") << u"0x10"_s << false << 0.0;
    QTest::newRow("infinity") << u"inf"_s << false << 0.0;
    QTest::newRow("not a number") << u"nan"_s << false << 0.0;
    QTest::newRow("overflow") << u"1e400"_s << false << 0.0;
    QTest::newRow("trailing text") << u"5f"_s << false << 0.0;
    QTest::newRow("other digits") << u"\u0661"_s << false << 0.0;
    QTest::newRow("empty") << QString() << false << 0.0;
}

void TestCardFormat::numberText()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, expected);
    const auto v = Numbers::toDouble(text);
    QCOMPARE(v.has_value(), ok);
    if (ok)
        QCOMPARE(*v, expected);
}

void TestCardFormat::lineLocation_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("line 2") << u"one\r\ntwo\r\nthree\r\n"_s << 2 << u"two"_s;
    QTest::newRow("line 3") << u"one\r\ntwo\r\nthree\r\n"_s << 3 << u"three"_s;
    QTest::newRow("leading CR LF is not counted") << u"\r\nA\r\nB\r\n"_s << 2 << u"B"_s;
    QTest::newRow("line 1 starts at position 3") << u"abcdef\r\n"_s << 1 << u"cdef"_s;
    QTest::newRow("empty line") << u"a\r\n\r\nc\r\n"_s << 2 << QString();
    QTest::newRow("lone LF is not a break") << u"a\nb\r\nc\r\n"_s << 2 << u"c"_s;
}

void TestCardFormat::lineLocation()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(QString, expected);
    Card card;
    card.setCardStr(text);
    QVERIFY(card.FetchLine(line));
    QCOMPARE(card.Line(), expected);
    QCOMPARE(card.lineNum(), line);
}

void TestCardFormat::lineWithoutCrIsAnError()
{
    Card card;
    card.setCardName(u"x.qcf"_s);
    card.setCardStr(u"a\r\nb\r\nlast"_s);
    QVERIFY(!card.FetchLine(3));
    QCOMPARE(card.lastError().line, 3);
    QCOMPARE(card.lastError().message(), u"x.qcf: line 3: has no line end (CR)"_s);
}

void TestCardFormat::missingLineIsAnError()
{
    Card card;
    card.setCardStr(u"a\r\nb\r\n"_s);
    QVERIFY(!card.FetchLine(9));
    QCOMPARE(card.lastError().line, 9);
    QVERIFY(card.lastError().reason.contains(u"missing"_s));
}

void TestCardFormat::lineIndexMatchesThePlainScan_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("rounds");
    QTest::newRow("short texts") << 1u << 40 << 200;
    QTest::newRow("card-sized texts") << 2u << 8000 << 20;
    // Lines whose start lies beyond the 16-bit positions.
    QTest::newRow("beyond 32767") << 3u << 70000 << 3;
}

void TestCardFormat::lineIndexMatchesThePlainScan()
{
    QFETCH(quint32, seed);
    QFETCH(int, length);
    QFETCH(int, rounds);
    QRandomGenerator random(seed);
    static const QString replacements[] = {QString(), u"x"_s, u"a longer line, with commas"_s,
                                           u"\r"_s, u"\n"_s, u"p\r\nq"_s, u"\nlead"_s, u"trail\r"_s};
    for (int round = 0; round < rounds; ++round) {
        QString text = randomCardText(random, length);
        Card card;
        card.setCardStr(text);
        const int lines = int(text.count(u"\r\n"_s)) + 3;
        // Located in random order, with whole-line replacements in between:
        // the index must follow every one of them.
        for (int step = 0; step < 60; ++step) {
            const int n = int(random.bounded(lines + 1));
            const auto expected = plainLocate(text, n);
            QCOMPARE(card.FetchLine(n), expected.has_value());
            if (!expected)
                continue;
            QCOMPARE(card.PxInFileForLineNum(), expected->first);
            QCOMPARE(card.PxInFile_EndOf_LineNum(), expected->second);
            QCOMPARE(card.Line(), text.mid(expected->first - 1, expected->second - expected->first));
            if (random.bounded(3) == 0) {
                const QString &replacement = replacements[random.bounded(int(std::size(replacements)))];
                QVERIFY(card.SaveValueToCardStr(replacement, n, QString()));
                text.replace(expected->first - 1, expected->second - expected->first, replacement);
                QCOMPARE(card.CardStr(), text);
            }
        }
    }
}

void TestCardFormat::getField_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a,,c #2") << u"a,,c"_s << 2 << QString();
    QTest::newRow("a,,c #3") << u"a,,c"_s << 3 << u"c"_s;
    QTest::newRow("a,,c #4") << u"a,,c"_s << 4 << QString();
    QTest::newRow("first field") << u"5,Name,285"_s << 1 << u"5"_s;
    QTest::newRow("no comma gives the whole line") << u"nocomma"_s << 1 << u"nocomma"_s;
    QTest::newRow("last field runs to the end") << u"5,Name,285"_s << 3 << u"285"_s;
    const QString longField = u"1,"_s + QString(600, u'x');
    QTest::newRow("cut at 500") << longField << 2 << QString(498, u'x');
    QTest::newRow("comma past 500 is not seen") << (u"1,"_s + QString(510, u'y') + u",z"_s) << 3
                                               << QString();
}

void TestCardFormat::getField()
{
    QFETCH(QString, line);
    QFETCH(int, k);
    QFETCH(QString, expected);
    Card card;
    card.setLine(line);
    card.GetField(k);
    QCOMPARE(card.Field(), expected);
}

void TestCardFormat::designModeFlag_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("design");
    QTest::newRow("True") << u"DesignMode,True"_s << true;
    QTest::newRow("tRuE") << u"DesignMode,tRuE"_s << true;
    QTest::newRow("label not compared") << u"XXXXXXXXXX,TRUE"_s << true;
    QTest::newRow("yes") << u"DesignMode,yes"_s << false;
    QTest::newRow("empty") << u"DesignMode,"_s << false;
    QTest::newRow("TRUE and more") << u"DesignMode,TRUE "_s << false;
}

void TestCardFormat::designModeFlag()
{
    QFETCH(QString, line);
    QFETCH(bool, design);
    auto lines = minimalLines();
    lines[25] = line;
    Card card;
    QVERIFY2(card.LoadCardFromStr(textWithLines(lines)), qPrintable(card.lastError().message()));
    QCOMPARE(card.DesignMode(), design);
    QCOMPARE(card.LoadTruthTable(), std::int16_t(design ? 41 : 42));
}

void TestCardFormat::orientation_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("orient");
    QTest::newRow("P") << u"Orientation,P"_s << u"P"_s;
    QTest::newRow("L") << u"Orientation,L"_s << u"L"_s;
    QTest::newRow("lower-case p") << u"Orientation,p"_s << u"p"_s;
    QTest::newRow("nothing") << u"Orientation,"_s << QString();
    QTest::newRow("only column 13") << u"Orientation,Portrait"_s << u"P"_s;
}

void TestCardFormat::orientation()
{
    QFETCH(QString, line);
    QFETCH(QString, orient);
    auto lines = minimalLines();
    lines[27] = line;
    Card card;
    QVERIFY(card.LoadCardFromStr(textWithLines(lines)));
    QCOMPARE(card.cardOrient(), orient);
}

void TestCardFormat::printSettingsReadFromTheirColumns()
{
    auto lines = minimalLines();
    lines[17] = u"123456789 7.5"_s;
    lines[18] = u"Label....Times New Roman"_s;
    lines[28] = u"abcdefgh7200"_s;
    lines[29] = u"0123456789 4320"_s;
    lines[552] = u"################-135"_s;
    lines[553] = u"##############1.05"_s;
    Card card;
    QVERIFY2(card.LoadCardFromStr(textWithLines(lines)), qPrintable(card.lastError().message()));
    QCOMPARE(card.varFontSizeForPrting(), 7.5f);
    QCOMPARE(card.varFontForPrting(), u"Times New Roman"_s);
    QCOMPARE(card.PaperHt(), 7200);
    QCOMPARE(card.PaperWdth(), 4320);
    QCOMPARE(card.varLeftPrintMargin(), std::int16_t(-135));
    QCOMPARE(card.varEnlarge(), 1.05f);
    QCOMPARE(card.CardImageTop(), 80.0f);
    QCOMPARE(card.CardImageHeight(), 6240.0f);
}

void TestCardFormat::answerLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("answer"); // null: no answer recorded
    QTest::newRow("commas belong to the answer") << u"7,Surname,Smith, John"_s << 7 << u"Smith, John"_s;
    QTest::newRow("quoted") << u"7,Surname,\"Smith\""_s << 7 << u"Smith"_s;
    QTest::newRow("opening quote only") << u"7,Surname,\"abc"_s << 7 << u"ab"_s;
    QTest::newRow("nothing after the second comma") << u"7,Surname,"_s << 7 << QString();
    QTest::newRow("one comma only") << u"5,abc"_s << 5 << QString();
    QTest::newRow("no comma") << u"nothing"_s << 0 << QString();
    QTest::newRow("a lone quote") << u"3,x,\""_s << 3 << QString();
    QTest::newRow("field 1 decides the box") << u"12,Label,twelve"_s << 12 << u"twelve"_s;
}

void TestCardFormat::answerLines()
{
    QFETCH(QString, line);
    QFETCH(int, box);
    QFETCH(QString, answer);
    auto lines = minimalLines();
    lines[351] = line;
    Card card;
    QVERIFY2(card.LoadCardFromStr(textWithLines(lines)), qPrintable(card.lastError().message()));
    if (answer.isNull()) {
        QCOMPARE(card.colAnsws().Count(), 0);
    } else {
        QCOMPARE(card.colAnsws().Count(), 1);
        QCOMPARE(int(card.colAnsws().Item(1)->ControlNum), box);
        QCOMPARE(card.colAnsws().Item(1)->Answ, answer);
    }
}

void TestCardFormat::controlLineLengthThreshold_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("controls");
    // A 16-character line is taken as a control, and too short to be a whole
    // one, so the load stops at it; a 15-character line is passed over.
    QTest::newRow("15 characters") << u"1,a,1,1,1,1,1,x"_s << 0;
    QTest::newRow("16 characters") << u"1,,1,1,1,1,0,,,0"_s << 1;
}

void TestCardFormat::controlLineLengthThreshold()
{
    QFETCH(QString, line);
    QFETCH(int, controls);
    QCOMPARE(line.size(), controls ? 16 : 15);
    auto lines = minimalLines();
    lines[151] = line;
    Card card;
    const bool loaded = card.LoadCardFromStr(textWithLines(lines));
    QCOMPARE(loaded, controls == 0);
    if (!loaded)
        QCOMPARE(card.lastError().reason, u"the tab order \"\" of box 1 is not a number"_s);
}

void TestCardFormat::controlLineFields()
{
    auto lines = minimalLines();
    lines[151] = u"5,Name,285,1200,2400,3000,16777215,Arial,9,True,4"_s;
    lines[152] = u"6,,90,450.5,10,20,0,Small Fonts,3,False,5"_s;
    Card card;
    QVERIFY(card.LoadCardFromStr(textWithLines(lines)));
    QCOMPARE(card.colCardCtrls().Count(), 2);
    const CardCtrl *c = card.colCardCtrls().Item(u"5"_s);
    QVERIFY(c);
    QCOMPARE(c->fldText, u"Name"_s);
    QCOMPARE(c->height, u"285"_s);
    QCOMPARE(c->left_c, u"1200"_s);
    QCOMPARE(c->top_r, u"2400"_s);
    QCOMPARE(c->wdth, u"3000"_s);
    QCOMPARE(c->backcolor, u"16777215"_s);
    QCOMPARE(c->visible, u"True"_s);
    QCOMPARE(c->tabOrder, u"4"_s);
    const CardCtrl *e = card.colCardCtrls().Item(u"6"_s);
    QCOMPARE(e->fldText, QString());
    QCOMPARE(e->left_c, u"450.5"_s);
    QCOMPARE(e->tabOrder, u"5"_s);
}

void TestCardFormat::truthTable_data()
{
    QTest::addColumn<bool>("design");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<int>("flags");
    QTest::newRow("normal") << false << false << 42;
    QTest::newRow("design") << true << false << 41;
    QTest::newRow("reset") << false << true << 20;
    QTest::newRow("reset in design") << true << true << 20;
}

void TestCardFormat::truthTable()
{
    QFETCH(bool, design);
    QFETCH(bool, reset);
    QFETCH(int, flags);
    auto lines = minimalLines();
    lines[25] = design ? u"DesignMode,True"_s : u"DesignMode,False"_s;
    lines[21] = u"ImagePxLeft,999"_s;   // installed rectangle differs from the current one
    lines[51] = u"0,Inst,90,100,100,500,0,Small Fonts,3,True,0"_s;
    lines[151] = u"0,Curr,90,200,200,500,0,Small Fonts,3,True,0"_s;
    lines[251] = u"0,Inst,sample"_s;
    lines[351] = u"0,Curr,typed"_s;
    Card card;
    card.setVarRestCard(reset);
    QVERIFY(card.LoadCardFromStr(textWithLines(lines)));
    QCOMPARE(int(card.LoadTruthTable()), flags);
    QCOMPARE(card.CardImageLeft(), reset ? 999.0f : 135.0f);
    QCOMPARE(card.colCardCtrls().Item(1)->fldText, reset ? u"Inst"_s : u"Curr"_s);
    const QString answer = card.colAnsws().Count() ? card.colAnsws().Item(1)->Answ : QString();
    QCOMPARE(answer, reset ? QString() : design ? u"sample"_s : u"typed"_s);
}

void TestCardFormat::duplicateQuestionFailsTheLoad()
{
    auto lines = minimalLines();
    lines[450] = u"3,First question"_s;
    lines[471] = u"3,Second question"_s;
    Card card;
    card.setCardName(u"dup.qcf"_s);
    QVERIFY(!card.LoadCardFromStr(textWithLines(lines)));
    QCOMPARE(card.lastError().line, 471);
}

void TestCardFormat::badValues_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    QTest::newRow("paper height") << 28 << u"PaperHt:seven"_s;
    QTest::newRow("paper width") << 29 << u"PaperWdth:"_s;
    QTest::newRow("margin out of 16 bits") << 552 << u"LeftPrintMargin:40000"_s;
    QTest::newRow("enlargement") << 553 << u"EnlargeFactor:1,05"_s;
    QTest::newRow("enlargement with a group separator") << 553 << u"EnlargeFactor:1,050"_s;
    QTest::newRow("font size with a group separator") << 17 << u"FontSize:1,000"_s;
    QTest::newRow("paper height with a group separator") << 28 << u"PaperHt:7,200"_s;
    QTest::newRow("paper width with a group separator") << 29 << u"PaperWdth:3,600"_s;
    QTest::newRow("margin with a group separator") << 552 << u"LeftPrintMargin:1,000"_s;
    QTest::newRow("picture with a group separator") << 39 << u"ImageHt,6,240"_s;
    QTest::newRow("installed picture with a group separator") << 21 << u"ImagePxLeft,1,350"_s;
    QTest::newRow("font size") << 17 << u"FontSize:big"_s;
    QTest::newRow("picture") << 38 << u"ImageWidth,wide"_s;
    QTest::newRow("control number") << 151 << u"x,Name,90,100,100,100,0,F,3,True,0"_s;
    QTest::newRow("control number above 95") << 151 << u"96,Name,90,100,100,100,0,F,3,True,0"_s;
    QTest::newRow("negative control number") << 151 << u"-1,Name,90,100,100,100,0,F,3,True,0"_s;
    QTest::newRow("control height") << 151 << u"1,Name,tall,100,100,100,0,F,3,True,0"_s;
    QTest::newRow("control colour") << 151 << u"1,Name,90,100,100,100,red,F,3,True,0"_s;
    QTest::newRow("control tab order") << 151 << u"1,Name,90,100,100,100,0,F,3,True,x"_s;
    QTest::newRow("picture left far off") << 37 << u"ImagePxLeft,-1e10"_s;
    QTest::newRow("picture top past 16 bits") << 36 << u"ImagePxTop,32768"_s;
    QTest::newRow("picture height below 16 bits") << 39 << u"ImageHt,-32769"_s;
    QTest::newRow("control left past 16 bits") << 151 << u"1,Name,90,32768,100,100,0,F,3,True,0"_s;
    QTest::newRow("control top past 16 bits") << 151 << u"1,Name,90,100,32767.5,100,0,F,3,True,0"_s;
    QTest::newRow("control width huge") << 151 << u"1,Name,90,100,100,1e30,0,F,3,True,0"_s;
    QTest::newRow("control height below 16 bits") << 151 << u"1,Name,-40000,100,100,100,0,F,3,True,0"_s;
    QTest::newRow("answer box") << 351 << u"abc,Label,answer"_s;
    QTest::newRow("question box above 95") << 450 << u"200,A question"_s;
}

void TestCardFormat::badValues()
{
    QFETCH(int, line);
    QFETCH(QString, text);
    auto lines = minimalLines();
    lines[line] = text;
    Card card;
    card.setCardName(u"bad.qcf"_s);
    // Only a reset reads the installed picture.
    card.setVarRestCard(line >= 20 && line <= 23);
    QVERIFY(!card.LoadCardFromStr(textWithLines(lines)));
    QCOMPARE(card.lastError().line, line);
    QVERIFY(card.lastError().message().startsWith(u"bad.qcf: line %1: "_s.arg(line)));
}

void TestCardFormat::failedParseKeepsTheCard()
{
    auto lines = minimalLines();
    lines[351] = u"0,Label,kept"_s;
    Card card;
    QVERIFY(card.LoadCardFromStr(textWithLines(lines)));
    const QString before = card.CardStr();

    // A second load on the same object only adds answers; without answer
    // lines it stops at the broken layout instead.
    lines[351] = QString();
    lines[151] = u"0,Name,90,100,100,100,0,F,3,True,0"_s;
    lines[152] = u"0,Name,90,100,100,100,0,F,3,True,1"_s; // box 0 twice
    QVERIFY(!card.LoadCardFromStr(textWithLines(lines)));
    QCOMPARE(card.lastError().line, 152);
    QCOMPARE(card.CardStr(), before);
    QCOMPARE(card.colAnsws().Count(), 1);
    QCOMPARE(card.colAnsws().Item(1)->Answ, u"kept"_s);
    QCOMPARE(card.colCardCtrls().Count(), 0);
}

void TestCardFormat::lineReplacementKeepsEverythingElse()
{
    const QString text = u"1\r\n2\r\nold line\r\n4 \r\n"_s;
    Card card;
    card.setCardStr(text);
    QVERIFY(card.SaveValueToCardStr(u"value"_s, 3, u"Label,"_s));
    QCOMPARE(card.CardStr(), u"1\r\n2\r\nLabel,value\r\n4 \r\n"_s);
    // A lone CR ends the located line; the characters after it stay.
    card.setCardStr(u"a\r\nb\rc\r\nd\r\n"_s);
    QVERIFY(card.SaveValueToCardStr(u"X"_s, 2, QString()));
    QCOMPARE(card.CardStr(), u"a\r\nX\rc\r\nd\r\n"_s);
}

void TestCardFormat::saveBanksKeepLabelsAndSkipGaps()
{
    auto lines = minimalLines();
    lines[151] = u"0,Label zero,90,100,100,500,0,Small Fonts,3,True,0"_s;
    lines[152] = u"1,,90,100,100,500,0,Small Fonts,3,True,1"_s;
    lines[153] = u"2,Two,90,100,100,500,0,Small Fonts,3,True,2"_s;
    lines[154] = u"# spare"_s;
    lines[351] = u"0,Label zero,"_s;
    lines[352] = u"1,,"_s;
    lines[353] = u"2,Two,old"_s;
    Card card;
    QVERIFY(card.LoadCardFromStr(textWithLines(lines)));
    const QString before = card.CardStr();

    card.colCardCtrls().clear();
    card.colCardCtrls().Add(u"0"_s, u"typed"_s, u"105"_s, u"200"_s, u"651.8269"_s, u"500"_s,
                            u"12632064"_s, u"Small Fonts"_s, u"3"_s, u"True"_s, u"0"_s, u"0"_s);
    // Box 1 is hidden: no entry, so its line stays as it is.
    card.colCardCtrls().Add(u"2"_s, u"x"_s, u"105"_s, u"300"_s, u"400"_s, u"600"_s, u"0"_s,
                            u"Small Fonts"_s, u"3"_s, u"True"_s, u"2"_s, u"2"_s);
    card.setLastCntrl(2);
    card.setSaveAtLineNum_Start(151);
    card.setSaveAtLineNum_End(247);
    QVERIFY(card.SaveControlValuesToCardStr());

    card.colAnsws().clear();
    card.colAnsws().Add(0, QString(), u"0"_s);
    card.colAnsws().Add(2, u"Smith, John"_s, u"2"_s);
    QVERIFY(card.SaveAnwsersToCardStr());

    const QString after = card.CardStr();
    QCOMPARE(lineOf(after, 151), u"0,Label zero,105,200,651.8269,500,12632064,Small Fonts,3,True,0"_s);
    QCOMPARE(lineOf(after, 152), lineOf(before, 152));
    QCOMPARE(lineOf(after, 153), u"2,Two,105,300,400,600,0,Small Fonts,3,True,2"_s);
    QCOMPARE(lineOf(after, 154), u"# spare"_s);
    QCOMPARE(lineOf(after, 351), u"0,Label zero,"_s);
    QCOMPARE(lineOf(after, 352), u"1,,"_s);
    QCOMPARE(lineOf(after, 353), u"2,Two,Smith, John"_s);
    const QStringList a = after.split(u"\r\n"_s), b = before.split(u"\r\n"_s);
    QCOMPARE(a.size(), b.size());
    for (int i = 0; i < a.size(); ++i) {
        if (i + 1 != 151 && i + 1 != 153 && i + 1 != 353)
            QCOMPARE(a.at(i), b.at(i));
    }

    Card again;
    QVERIFY(again.LoadCardFromStr(after));
    QCOMPARE(again.colAnsws().Item(u"2"_s)->Answ, u"Smith, John"_s);
    QVERIFY(!again.colAnsws().Item(u"0"_s));
    QCOMPARE(again.colCardCtrls().Item(u"0"_s)->top_r, u"651.8269"_s);
}

void TestCardFormat::answerWritingReadsBackExactly_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << u"abc"_s << u"abc"_s;
    QTest::newRow("opening quote") << u"\"abc"_s << u"\"abc"_s;
    QTest::newRow("quoted") << u"\"abc\""_s << u"\"abc\""_s;
    QTest::newRow("lone quote") << u"\""_s << u"\""_s;
    QTest::newRow("trailing quote") << u"abc\""_s << u"abc\""_s;
    QTest::newRow("commas") << u"a,b,,c"_s << u"a,b,,c"_s;
    QTest::newRow("line breaks are dropped") << u"ab\r\ncd\ne"_s << u"abcde"_s;
    QTest::newRow("high bytes") << u"Zoë € ½"_s << u"Zoë € ½"_s;
}

void TestCardFormat::answerWritingReadsBackExactly()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    auto lines = minimalLines();
    lines[351] = u"0,Label,"_s;
    Card card;
    QVERIFY(card.LoadCardFromStr(textWithLines(lines)));
    card.colAnsws().Add(0, typed, u"0"_s);
    card.setLastCntrl(0);
    QVERIFY(card.SaveAnwsersToCardStr());
    Card again;
    QVERIFY(again.LoadCardFromStr(card.CardStr()));
    QCOMPARE(again.colAnsws().Item(u"0"_s)->Answ, expected);
    QCOMPARE(again.CardStr().count(u"\r\n"_s), card.CardStr().count(u"\r\n"_s));
}

void TestCardFormat::toggleDesignModeTwice()
{
    auto lines = minimalLines();
    lines[25] = u"DesignMode,fAlSe"_s;
    Card card;
    QVERIFY(card.LoadCardFromStr(textWithLines(lines)));
    const QString before = card.CardStr();
    QVERIFY(card.ToggleDesignMode());
    QVERIFY(card.DesignMode());
    QVERIFY(card.CardStr().contains(u"\r\nDesignMode,True\r\n"_s));
    QVERIFY(card.ToggleDesignMode());
    QVERIFY(!card.DesignMode());
    lines[25] = u"DesignMode,False"_s;
    QCOMPARE(card.CardStr(), textWithLines(lines));
    QVERIFY(card.CardStr() != before);
}

QTEST_GUILESS_MAIN(TestCardFormat)
#include "tst_cardformat.moc"
