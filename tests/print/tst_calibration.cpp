// The calibration solver: the printer's offset and scale from the two
// measured marks, the card settings that follow, and the refusals.

#include "Calibration.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A 3400 by 6240 twip card whose picture lies at (135, 80) in the window.
PrintPage cardPage()
{
    PrintPage p;
    p.paperHeight = 6240;
    p.paperWidth = 3400;
    p.fontName = u"DejaVu Sans"_s;
    p.fontSize = 4.5f;
    p.enlarge = 1;
    p.picture = {135, 80, 3395, 6240};
    return p;
}

// What a ruler reads where a printer that scales by sx, sy and shifts by
// (dx, dy) mm puts a page point given in twips.
QPointF ruler(const QPointF &twips, double sx, double sy, double dx, double dy)
{
    const QPointF p = twips / Calibration::TwipsPerMm;
    return {p.x() * sx + dx, p.y() * sy + dy};
}

} // namespace

class TestCalibration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void marksLieTenMillimetresIn_data();
    void marksLieTenMillimetresIn();
    void solvesThePrinter_data();
    void solvesThePrinter();
    void refusals_data();
    void refusals();
};

void TestCalibration::marksLieTenMillimetresIn_data()
{
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QPointF>("b"); // mm from the paper's corner
    QTest::newRow("portrait") << false << QPointF(3400 / 56.692913 - 10, 6240 / 56.692913 - 10);
    QTest::newRow("landscape") << true << QPointF(6240 / 56.692913 - 10, 3400 / 56.692913 - 10);
}

void TestCalibration::marksLieTenMillimetresIn()
{
    QFETCH(bool, landscape);
    QFETCH(QPointF, b);
    PrintPage page = cardPage();
    page.landscape = landscape;
    const Calibration::Marks m = Calibration::marks(page);
    const QPointF a = m.a / Calibration::TwipsPerMm;
    const QPointF bm = m.b / Calibration::TwipsPerMm;
    QVERIFY(qAbs(a.x() - 10) < 1e-9 && qAbs(a.y() - 10) < 1e-9);
    QVERIFY(qAbs(bm.x() - b.x()) < 1e-4 && qAbs(bm.y() - b.y()) < 1e-4);
}

void TestCalibration::solvesThePrinter_data()
{
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("sy");
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    QTest::addColumn<int>("margin");
    QTest::addColumn<float>("down");
    QTest::addColumn<bool>("exact"); // one scale explains both marks

    // A perfect printer: the margin is the picture's left and the layout
    // moves to the 270-twip lift.
    QTest::newRow("perfect printer") << 1.0 << 1.0 << 0.0 << 0.0 << 135 << 190.f << true;
    // 1.5 mm = 85.04 twips, 2 mm = 113.39 twips.
    QTest::newRow("shift and scale 1.01") << 1.01 << 1.01 << 1.5 << -2.0 << 220 << 303.f << true;
    QTest::newRow("shift left and down, 0.98") << 0.98 << 0.98 << -3.0 << 4.0 << -35 << -37.f << true;
    QTest::newRow("different scales across and down") << 1.00 << 1.02 << 0.0 << 0.0 << 0 << 0.f << false;
}

void TestCalibration::solvesThePrinter()
{
    QFETCH(double, sx);
    QFETCH(double, sy);
    QFETCH(double, dx);
    QFETCH(double, dy);
    QFETCH(int, margin);
    QFETCH(float, down);
    QFETCH(bool, exact);

    const PrintPage page = cardPage();
    const Calibration::Marks marks = Calibration::marks(page);
    const Calibration::Measurement m{ruler(marks.a, sx, sy, dx, dy), ruler(marks.b, sx, sy, dx, dy)};
    QString error;
    const std::optional<Calibration::Solution> s = Calibration::solve(page, m, &error);
    QVERIFY2(s, qPrintable(error));
    if (!exact) {
        // The one scale lies between the two, and what it cannot explain
        // is reported.
        QVERIFY(s->scale > sx && s->scale < sy);
        QVERIFY(s->worstError > 0.05);
        return;
    }
    QVERIFY(qAbs(s->scale - sx) < 1e-9);
    QVERIFY(qAbs(s->offset.x() - dx) < 1e-9 && qAbs(s->offset.y() - dy) < 1e-9);
    QVERIFY(s->worstError < 1e-9);
    QCOMPARE(s->margin, std::int16_t(margin));
    QCOMPARE(s->layoutDown, down);
    QVERIFY(qAbs(double(s->enlarge) - 1 / sx) < 1e-6);

    // Round trip: a box printed with the new settings by this printer lands
    // on its field within a fraction of a millimetre.
    for (const QPointF box : {QPointF(450, 650), QPointF(3315, 3038), QPointF(2850, 6000)}) {
        const QPointF moved(box.x(), box.y() + s->layoutDown);
        const QPointF printed((moved.x() - s->margin) * s->enlarge, (moved.y() - 270) * s->enlarge);
        const QPointF landed = ruler(printed, sx, sy, dx, dy);
        const QPointF field = (box - QPointF(135, 80)) / Calibration::TwipsPerMm;
        QVERIFY2(qAbs(landed.x() - field.x()) < 0.02 && qAbs(landed.y() - field.y()) < 0.02,
                 qPrintable(u"(%1, %2) mm, field (%3, %4)"_s.arg(landed.x()).arg(landed.y()).arg(field.x()).arg(field.y())));
    }
    QVERIFY(s->summary().contains(u"Printer scale: %1"_s.arg(sx, 0, 'f', 4)));
}

void TestCalibration::refusals_data()
{
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<int>("paperWidth");
    QTest::addColumn<QString>("message");

    QTest::newRow("not a number") << QStringList{u"10"_s, u"ten"_s, u"50"_s, u"100"_s} << 3400
                                  << u"The measurement of A from the top edge (\"ten\") is not a number of millimetres."_s;
    QTest::newRow("three numbers") << QStringList{u"10"_s, u"10"_s, u"50"_s} << 3400
                                   << u"Four measurements are needed"_s;
    QTest::newRow("empty") << QStringList{u"10"_s, u"10"_s, u""_s, u"100"_s} << 3400
                           << u"B from the left edge"_s;
    QTest::newRow("mark off the paper") << QStringList{u"-0.5"_s, u"10"_s, u"50"_s, u"100"_s} << 3400
                                        << u"Mark A measured at -0.50 mm by 10.00 mm lies off the paper"_s;
    QTest::newRow("beyond the bottom") << QStringList{u"10"_s, u"10"_s, u"50"_s, u"120"_s} << 3400
                                       << u"Mark B measured at 50.00 mm by 120.00 mm lies off the paper"_s;
    QTest::newRow("scale 1.2") << QStringList{u"10"_s, u"10"_s, u"58"_s, u"108"_s} << 3400
                               << u"outside 0.9 to 1.1"_s;
    QTest::newRow("marks swapped") << QStringList{u"49.97"_s, u"100.07"_s, u"10"_s, u"10"_s} << 3400
                                   << u"outside 0.9 to 1.1"_s;
    // Paper 10 m wide, a printer at 0.92 shifting 580 mm right: the margin
    // would be past 32767 twips.
    QTest::newRow("margin out of range") << QStringList{u"589.2"_s, u"9.2"_s, u"9918"_s, u"92.065"_s} << 576000
                                         << u"outside what a card holds (-32768 to 32767)"_s;
}

void TestCalibration::refusals()
{
    QFETCH(QStringList, numbers);
    QFETCH(int, paperWidth);
    QFETCH(QString, message);
    PrintPage page = cardPage();
    page.paperWidth = paperWidth;
    QString error;
    const std::optional<Calibration::Measurement> m = Calibration::parse(numbers, &error);
    if (m) {
        QVERIFY(!Calibration::solve(page, *m, &error));
    }
    QVERIFY2(error.contains(message), qPrintable(error));
}

QTEST_MAIN(TestCalibration)
#include "tst_calibration.moc"
