// The sheet model in twips: each box's field, text and ink from the paper's
// corner, the fit rule, and the misfits that keep answers out of their
// fields.

#include "PrintFont.h"
#include "PrintLayout.h"
#include "SheetModel.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr float Near = 0.5f; // twips

PrintPage makePage(bool landscape, float margin, float enlarge, const TwipRect &picture,
                   float fontSize = 8)
{
    PrintPage p;
    p.paperHeight = 7200;
    p.paperWidth = 4320;
    p.landscape = landscape;
    p.leftMargin = margin;
    p.enlarge = enlarge;
    p.fontName = u"DejaVu Sans"_s;
    p.fontSize = fontSize;
    p.picture = picture;
    return p;
}

void addBox(PrintPage &p, int box, const TwipRect &rect, const QString &text)
{
    p.items.push_back({box, rect, p.mapX(rect.left), p.mapY(rect.top), text, p.fontSize, true,
                       u"Question %1"_s.arg(box)});
}

SheetModel sheetOf(PrintPage p, const QMarginsF *margins = nullptr)
{
    PrintLayout::fitAnswers(p);
    return SheetModel::build(p, margins);
}

} // namespace

class TestSheet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldAndTextFromThePaperCorner_data();
    void fieldAndTextFromThePaperCorner();
    void blankCardLiesAtThePaperCorner_data();
    void blankCardLiesAtThePaperCorner();
    void fitRuleShrinksToTheFieldWidth_data();
    void fitRuleShrinksToTheFieldWidth();
    void misfits_data();
    void misfits();
    void blankAnswersNeverMisfit();
};

void TestSheet::fieldAndTextFromThePaperCorner_data()
{
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<float>("margin");
    QTest::addColumn<float>("enlarge");
    QTest::addColumn<TwipRect>("picture");
    QTest::addColumn<TwipRect>("box");
    QTest::addColumn<TwipRect>("field");
    QTest::addColumn<QPointF>("text");

    // A calibrated card: picture at the margin and at the 270-twip lift.
    QTest::newRow("calibrated, e 1") << false << 135.f << 1.f << TwipRect{135, 270, 3400, 6240}
                                     << TwipRect{450, 840, 2745, 90} << TwipRect{315, 570, 2745, 90}
                                     << QPointF(315, 570);
    // The installed layout before calibration: 135 right and 190 up.
    QTest::newRow("uncalibrated") << false << 0.f << 1.f << TwipRect{135, 80, 3395, 6240}
                                  << TwipRect{450, 650, 2745, 90} << TwipRect{315, 570, 2745, 90}
                                  << QPointF(450, 380);
    QTest::newRow("e 1.05, margin 100") << false << 100.f << 1.05f << TwipRect{100, 270, 4000, 7000}
                                        << TwipRect{1000, 1270, 500, 90} << TwipRect{900, 1000, 500, 90}
                                        << QPointF(945, 1050);
    QTest::newRow("e 0.9, negative margin") << false << -60.f << 0.9f << TwipRect{0, 0, 4000, 7000}
                                            << TwipRect{500, 1000, 500, 90} << TwipRect{500, 1000, 500, 90}
                                            << QPointF(504, 657);
    QTest::newRow("landscape e 1.2") << true << -60.f << 1.2f << TwipRect{200, 300, 7200, 4320}
                                     << TwipRect{3000, 2000, 900, 90} << TwipRect{2800, 1700, 900, 90}
                                     << QPointF(3672, 2076);
}

void TestSheet::fieldAndTextFromThePaperCorner()
{
    QFETCH(bool, landscape);
    QFETCH(float, margin);
    QFETCH(float, enlarge);
    QFETCH(TwipRect, picture);
    QFETCH(TwipRect, box);
    QFETCH(TwipRect, field);
    QFETCH(QPointF, text);

    PrintPage p = makePage(landscape, margin, enlarge, picture);
    addBox(p, 3, box, u"AB"_s);
    const SheetModel s = sheetOf(p);
    QCOMPARE(s.boxes.size(), std::size_t(1));
    const SheetBox &b = s.boxes.front();
    QCOMPARE(b.field, field);
    QVERIFY(qAbs(b.textBox.left - text.x()) < Near && qAbs(b.textBox.top - text.y()) < Near);
    QVERIFY(qAbs(b.difference.left - float(text.x() - field.left)) < Near);
    QVERIFY(qAbs(b.difference.top - float(text.y() - field.top)) < Near);
    // The ink lies within the text's box, and the text's box holds the
    // whole height of the font.
    QVERIFY(b.ink.left >= b.textBox.left - Near && b.ink.right() <= b.textBox.right() + 30);
    QVERIFY(b.ink.top >= b.textBox.top && b.ink.bottom() <= b.textBox.bottom());
    QVERIFY(b.textBox.height > 8 * 20 && b.textBox.height < 8 * 20 * 1.3);
}

void TestSheet::blankCardLiesAtThePaperCorner_data()
{
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QSizeF>("page");
    QTest::newRow("portrait") << false << QSizeF(4320, 7200);
    QTest::newRow("landscape") << true << QSizeF(7200, 4320);
}

void TestSheet::blankCardLiesAtThePaperCorner()
{
    QFETCH(bool, landscape);
    QFETCH(QSizeF, page);
    const SheetModel s = sheetOf(makePage(landscape, 0, 1.5f, {700, 900, 3395, 6240}));
    QCOMPARE(QSizeF(s.pageWidth, s.pageHeight), page);
    QCOMPARE(s.card, (TwipRect{0, 0, 3395, 6240}));
    QVERIFY(!s.hasUnprintable);
}

void TestSheet::fitRuleShrinksToTheFieldWidth_data()
{
    QTest::addColumn<float>("printSize");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("fieldWidth");
    QTest::addColumn<float>("minimum"); // the smallest size allowed
    QTest::addColumn<bool>("shrinks");
    QTest::addColumn<bool>("fits");

    QTest::newRow("fits as it is") << 8.f << u"1959"_s << 1000.f << 4.8f << false << true;
    QTest::newRow("a bit too wide") << 8.f << u"1984"_s << 300.f << 4.8f << true << true;
    QTest::newRow("too wide at 60 %") << 8.f << u"1984"_s << 150.f << 4.8f << true << false;
    QTest::newRow("4.5 pt floor of 4 pt") << 4.5f << u"RUE SAINTE-CATHERINE OUEST"_s << 1300.f << 4.f
                                          << true << true;
    QTest::newRow("4.5 pt too wide at 4 pt") << 4.5f << u"RUE SAINTE-CATHERINE OUEST"_s << 1200.f << 4.f
                                             << true << false;
    QTest::newRow("below 4 pt never grows") << 3.f << u"MMMMMMMM"_s << 100.f << 3.f << false << false;
}

void TestSheet::fitRuleShrinksToTheFieldWidth()
{
    QFETCH(float, printSize);
    QFETCH(QString, text);
    QFETCH(float, fieldWidth);
    QFETCH(float, minimum);
    QFETCH(bool, shrinks);
    QFETCH(bool, fits);

    QCOMPARE(PrintFit::minimumSize(printSize), minimum);
    const PrintFont font(u"DejaVu Sans"_s);
    const PrintFit::Result r = PrintFit::fit(font, text, printSize, fieldWidth);
    QCOMPARE(r.fits, fits);
    QCOMPARE(r.size < printSize, shrinks);
    QVERIFY(r.size >= minimum && r.size <= printSize);
    const float width = font.advance(text, r.size);
    if (fits) {
        QVERIFY2(width <= fieldWidth + 0.01f, qPrintable(u"%1 twips wide"_s.arg(width)));
        // The largest size that fits: it fills the field when it shrinks.
        if (shrinks)
            QVERIFY(width > fieldWidth - 0.5f);
    } else {
        QCOMPARE(r.size, minimum);
        QVERIFY(width > fieldWidth);
    }
}

void TestSheet::misfits_data()
{
    QTest::addColumn<float>("margin");
    QTest::addColumn<float>("enlarge");
    QTest::addColumn<QList<TwipRect>>("boxes");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QMarginsF>("unprintable"); // twips; none when null
    QTest::addColumn<QList<int>>("kinds");
    QTest::addColumn<QString>("message");

    using K = Misfit::Kind;
    const TwipRect a{1000, 1270, 600, 90};
    QTest::newRow("all fit") << 0.f << 1.f << QList<TwipRect>{a, {1000, 1570, 600, 90}}
                             << QStringList{u"SMITH"_s, u"JOHN"_s} << QMarginsF()
                             << QList<int>{} << QString();
    QTest::newRow("too long at the minimum") << 0.f << 1.f << QList<TwipRect>{{1000, 1270, 200, 90}}
                                             << QStringList{u"MONTREAL QUEBEC"_s} << QMarginsF()
                                             << QList<int>{int(K::TooLong)}
                                             << u"\u201CQuestion 0\u201D: the answer is too long for its field even at 4.8 pt"_s;
    QTest::newRow("past the right edge") << 0.f << 1.f << QList<TwipRect>{{4000, 1270, 2000, 90}}
                                         << QStringList{u"ALBERTA"_s} << QMarginsF()
                                         << QList<int>{int(K::PastPaperEdge)}
                                         << u"\u201CQuestion 0\u201D: the answer runs past the edge of the paper"_s;
    QTest::newRow("above the top edge") << 0.f << 1.f << QList<TwipRect>{{1000, 200, 600, 90}}
                                        << QStringList{u"X"_s} << QMarginsF()
                                        << QList<int>{int(K::PastPaperEdge)} << QString();
    QTest::newRow("enlarged past the edge") << 0.f << 1.3f << QList<TwipRect>{{3300, 1270, 900, 90}}
                                            << QStringList{u"NS"_s} << QMarginsF()
                                            << QList<int>{int(K::PastPaperEdge)} << QString();
    QTest::newRow("into the unprintable margin")
        << 0.f << 1.f << QList<TwipRect>{{150, 1270, 600, 90}} << QStringList{u"OTTAWA"_s}
        << QMarginsF(240, 240, 240, 240) << QList<int>{int(K::IntoUnprintableMargin)}
        << u"\u201CQuestion 0\u201D: the answer runs into the printer's unprintable margin"_s;
    QTest::newRow("inside the printable area")
        << 0.f << 1.f << QList<TwipRect>{{300, 1270, 600, 90}} << QStringList{u"OTTAWA"_s}
        << QMarginsF(240, 240, 240, 240) << QList<int>{} << QString();
    QTest::newRow("side by side overlap")
        << 0.f << 1.f << QList<TwipRect>{{1000, 1270, 600, 90}, {1300, 1270, 600, 90}}
        << QStringList{u"1984"_s, u"07"_s} << QMarginsF() << QList<int>{int(K::Overlap)}
        << u"\u201CQuestion 0\u201D and \u201CQuestion 1\u201D: the answers print over each other"_s;
    QTest::newRow("rows too close for the font")
        << 0.f << 1.f << QList<TwipRect>{{1000, 1270, 600, 90}, {1000, 1360, 600, 90}}
        << QStringList{u"SMITH"_s, u"JONES"_s} << QMarginsF() << QList<int>{int(K::Overlap)} << QString();
    QTest::newRow("enlargement pulls rows apart")
        << 0.f << 1.8f << QList<TwipRect>{{1000, 1270, 600, 90}, {1000, 1360, 600, 90}}
        << QStringList{u"SMITH"_s, u"JONES"_s} << QMarginsF() << QList<int>{} << QString();
}

void TestSheet::misfits()
{
    QFETCH(float, margin);
    QFETCH(float, enlarge);
    QFETCH(QList<TwipRect>, boxes);
    QFETCH(QStringList, texts);
    QFETCH(QMarginsF, unprintable);
    QFETCH(QList<int>, kinds);
    QFETCH(QString, message);

    PrintPage p = makePage(false, margin, enlarge, {0, 270, 4320, 7200});
    for (int i = 0; i < boxes.size(); ++i)
        addBox(p, i, boxes[i], texts[i]);
    const SheetModel s = sheetOf(p, unprintable.isNull() ? nullptr : &unprintable);
    QList<int> got;
    for (const Misfit &m : s.misfits)
        got.append(int(m.kind));
    QVERIFY2(got == kinds, qPrintable(s.misfitLines().join(u"; "_s)));
    if (!message.isEmpty())
        QCOMPARE(s.misfits.front().message, message);
    if (!kinds.isEmpty() && kinds.front() == int(Misfit::Kind::Overlap)) {
        QCOMPARE(s.misfits.front().box, 0);
        QCOMPARE(s.misfits.front().otherBox, 1);
        QVERIFY(s.misfits.front().where.width > 0 && s.misfits.front().where.height > 0);
    }
}

void TestSheet::blankAnswersNeverMisfit()
{
    // Empty and blank answers leave no ink, wherever their boxes lie.
    PrintPage p = makePage(false, 0, 1, {0, 270, 4320, 7200});
    addBox(p, 0, {-500, 100, 90, 90}, QString());
    addBox(p, 1, {-500, 100, 90, 90}, u"  "_s);
    const SheetModel s = sheetOf(p);
    QCOMPARE(s.boxes.size(), std::size_t(2));
    QVERIFY(s.misfits.empty());
}

QTEST_MAIN(TestSheet)
#include "tst_sheet.moc"
