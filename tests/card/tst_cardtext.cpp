// The card text's line count, which the message for a missing line gives,
// before and after a line is replaced.

#include "CardText.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestCardText : public QObject
{
    Q_OBJECT

private slots:
    void lineCount_data();
    void lineCount();
};

void TestCardText::lineCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("replaced"); // the line replaced first, 0 for none
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("count");
    QTest::newRow("every line ends in CR LF") << u"a\r\nb\r\n"_s << 0 << QString() << 2;
    QTest::newRow("last line without CR LF") << u"a\r\nb"_s << 0 << QString() << 2;
    QTest::newRow("last line ends in a lone CR") << u"a\r\nb\r"_s << 0 << QString() << 2;
    QTest::newRow("lone CR is no break") << u"a\rb\r\n"_s << 0 << QString() << 1;
    QTest::newRow("leading CR LF is not counted") << u"\r\na\r\n"_s << 0 << QString() << 1;
    QTest::newRow("last line replaced") << u"a\r\nb\r\n"_s << 2 << u"longer"_s << 2;
    QTest::newRow("last line split in two") << u"a\r\nb\r\n"_s << 2 << u"x\r\ny"_s << 3;
    QTest::newRow("lone CR added before a line end") << u"a\r\nb\r\nc\r\n"_s << 2 << u"b\r"_s << 3;
}

void TestCardText::lineCount()
{
    QFETCH(QString, text);
    QFETCH(int, replaced);
    QFETCH(QString, replacement);
    QFETCH(int, count);
    CardText card;
    card.setStr(text);
    QVERIFY(card.lineCount() > 0); // builds the index that replace() keeps
    if (replaced > 0) {
        const qsizetype start = card.lineStart(replaced);
        const qsizetype end = card.lineEnd(start);
        QVERIFY(start > 0 && end > 0);
        card.replace(start, end, replacement);
    }
    QCOMPARE(card.lineCount(), qsizetype(count));
}

QTEST_GUILESS_MAIN(TestCardText)
#include "tst_cardtext.moc"
