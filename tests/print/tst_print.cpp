// The printed page: positions, font size, pages, orientation and what never
// prints, read back from real PDF files written by the core and by the card
// tool; the renderer's picture and outlines, read from images.

#include "CardFormModel.h"
#include "PageRenderer.h"
#include "PdfExport.h"
#include "PdfProbe.h"
#include "PrintLayout.h"
#include "PrintTestCard.h"
#include "TestCards.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr double Tolerance = 0.5; // points

struct Run
{
    int code = -1;
    QString err;
};

// The card tool as a user runs it: no display and no platform chosen.
Run runTool(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"QT_QPA_PLATFORM"_s);
    env.remove(u"DISPLAY"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("BORVESSA_BIN_DIR") + u"/borvessa-card"_s, args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardError())};
}

QImage whitePage(const PrintPage &page)
{
    // 72 dots per inch: one pixel is one point, 20 twips.
    QImage image(int(page.pageWidth() / 20), int(page.pageHeight() / 20), QImage::Format_RGB32);
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    image.fill(Qt::white);
    return image;
}

void render(QImage &image, const PrintPage &page, const RenderOptions &options)
{
    QPainter painter(&image);
    PageRenderer::paintPage(painter, page, PageRenderer::pageRect(image, page), options);
}

bool isWhite(const QImage &image, int x, int y)
{
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

} // namespace

class TestPrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void answersLandAtTheirPrintPositions_data();
    void answersLandAtTheirPrintPositions();
    void fontSizeIsExactInPoints_data();
    void fontSizeIsExactInPoints();
    void onePagePerCopy_data();
    void onePagePerCopy();
    void hiddenBoxesAndBoxes40AndUpNeverPrint_data();
    void hiddenBoxesAndBoxes40AndUpNeverPrint();
    void orientationSetsThePage_data();
    void orientationSetsThePage();
    void pictureIsDrawnOnlyWhenAsked();
    void alignmentPageOutlinesEachPrintedBox();
    void failedExportLeavesTheFileAsItWas();
    void toolRejectsBadUsage_data();
    void toolRejectsBadUsage();
    void toolReportsFailures();

private:
    // Writes the card and prints it to a PDF through the core or the tool.
    QString printToPdf(const PrintTestCard &card, bool viaTool, int copies = 1);

    QTemporaryDir m_dir;
    int m_files = 0;
};

void TestPrint::initTestCase()
{
    QVERIFY(m_dir.isValid());
    if (!PdfProbe::available())
        QSKIP("pdftotext and pdfinfo (poppler-utils) are not installed");
    QVERIFY2(QFile::exists(qEnvironmentVariable("BORVESSA_BIN_DIR") + u"/borvessa-card"_s),
             "borvessa-card is not built");
}

QString TestPrint::printToPdf(const PrintTestCard &card, bool viaTool, int copies)
{
    const QString name = u"card%1"_s.arg(++m_files);
    const QString cardFile = m_dir.filePath(name + u".qcf"_s);
    const QString pdf = m_dir.filePath(name + u".pdf"_s);
    if (!card.write(cardFile))
        return {};
    if (viaTool) {
        const Run r = runTool({u"print"_s, cardFile, u"--copies"_s, QString::number(copies), u"--pdf"_s, pdf});
        if (r.code != 0)
            qWarning() << "borvessa-card:" << r.err;
        return r.code == 0 ? pdf : QString();
    }
    CardFormModel form;
    if (!form.LoadCard(cardFile))
        return {};
    QString error;
    if (!PdfExport::exportPdf(pdf, PrintLayout::page(form), copies, {}, &error)) {
        qWarning() << error;
        return {};
    }
    return pdf;
}

void TestPrint::answersLandAtTheirPrintPositions_data()
{
    QTest::addColumn<bool>("viaTool");
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<int>("margin");
    QTest::addColumn<QString>("enlarge");
    // Per answer: left, top (twips), then the expected x, y in points.
    QTest::addColumn<QList<QList<double>>>("boxes");

    const struct
    {
        const char *name;
        QString orientation;
        int margin;
        QString enlarge;
        QList<QList<double>> boxes;
    } rows[] = {
        {"enlarged 1.05 margin 100", u"P"_s, 100, u"1.05"_s,
         {{1000, 1270, 47.25, 52.5}, {2100, 4270, 105, 210}}},
        {"as displayed", u"P"_s, 0, u"1"_s, {{1000, 1270, 50, 50}, {135, 270, 6.75, 0}}},
        {"reduced 0.9 margin 135", u"P"_s, 135, u"0.9"_s,
         {{2000, 3000, 83.925, 122.85}, {135, 270, 0, 0}}},
        {"landscape 1.2 margin -60", u"L"_s, -60, u"1.2"_s,
         {{500, 1000, 33.6, 43.8}, {3000, 2000, 183.6, 103.8}}},
    };
    for (const auto &row : rows) {
        for (const bool viaTool : {false, true}) {
            QTest::addRow("%s, %s", row.name, viaTool ? "card tool" : "core")
                << viaTool << row.orientation << row.margin << row.enlarge << row.boxes;
        }
    }
}

void TestPrint::answersLandAtTheirPrintPositions()
{
    QFETCH(bool, viaTool);
    QFETCH(QString, orientation);
    QFETCH(int, margin);
    QFETCH(QString, enlarge);
    QFETCH(QList<QList<double>>, boxes);

    PrintTestCard card;
    card.orientation = orientation;
    card.margin = margin;
    card.enlarge = enlarge;
    for (int i = 0; i < boxes.size(); ++i)
        card.boxes.append({i, int(boxes[i][0]), int(boxes[i][1]), true, u"Answer%1"_s.arg(i)});
    const QString pdf = printToPdf(card, viaTool);
    QVERIFY(!pdf.isEmpty());

    const QList<PdfProbe::Word> words = PdfProbe::words(pdf);
    for (int i = 0; i < boxes.size(); ++i) {
        const PdfProbe::Word w = PdfProbe::find(words, u"Answer%1"_s.arg(i));
        QVERIFY2(!w.text.isEmpty(), qPrintable(u"Answer%1 is not on the page"_s.arg(i)));
        QVERIFY2(qAbs(w.xMin - boxes[i][2]) <= Tolerance && qAbs(w.yMin - boxes[i][3]) <= Tolerance,
                 qPrintable(u"Answer%1 at (%2, %3) pt, expected (%4, %5)"_s.arg(i)
                                .arg(w.xMin).arg(w.yMin).arg(boxes[i][2]).arg(boxes[i][3])));
    }
}

void TestPrint::fontSizeIsExactInPoints_data()
{
    QTest::addColumn<QString>("size");
    QTest::newRow("8 pt") << u"8"_s;
    QTest::newRow("7.5 pt") << u"7.5"_s;
    QTest::newRow("12 pt") << u"12"_s;
}

void TestPrint::fontSizeIsExactInPoints()
{
    QFETCH(QString, size);
    const QString word = u"Xylophone"_s;
    PrintTestCard card;
    card.fontSize = size;
    card.boxes = {{0, 500, 1000, true, word}};
    const QString pdf = printToPdf(card, false);
    QVERIFY(!pdf.isEmpty());

    // The word's width at that size from the font's own unhinted advances.
    QFont font(card.fontName);
    font.setPixelSize(1000);
    font.setHintingPreference(QFont::PreferNoHinting);
    const double expected = QFontMetricsF(font).horizontalAdvance(word) * size.toDouble() / 1000;
    const PdfProbe::Word w = PdfProbe::find(PdfProbe::words(pdf), word);
    QVERIFY(!w.text.isEmpty());
    QVERIFY2(qAbs((w.xMax - w.xMin) - expected) <= Tolerance,
             qPrintable(u"width %1 pt, expected %2 pt"_s.arg(w.xMax - w.xMin).arg(expected)));
}

void TestPrint::onePagePerCopy_data()
{
    QTest::addColumn<bool>("viaTool");
    QTest::addColumn<int>("copies");
    QTest::newRow("1, core") << false << 1;
    QTest::newRow("5, core") << false << 5;
    QTest::newRow("25, card tool") << true << 25;
    QTest::newRow("1, card tool") << true << 1;
}

void TestPrint::onePagePerCopy()
{
    QFETCH(bool, viaTool);
    QFETCH(int, copies);
    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"Every"_s}};
    const QString pdf = printToPdf(card, viaTool, copies);
    QVERIFY(!pdf.isEmpty());
    QCOMPARE(PdfProbe::pageCount(pdf), copies);
    const QList<PdfProbe::Word> words = PdfProbe::words(pdf);
    QCOMPARE(words.count(), copies);
    for (const PdfProbe::Word &w : words) {
        QCOMPARE(w.text, u"Every"_s);
        QCOMPARE(w.xMin, 50.0);
    }
}

void TestPrint::hiddenBoxesAndBoxes40AndUpNeverPrint_data()
{
    QTest::addColumn<bool>("viaTool");
    QTest::newRow("core") << false;
    QTest::newRow("card tool") << true;
}

void TestPrint::hiddenBoxesAndBoxes40AndUpNeverPrint()
{
    QFETCH(bool, viaTool);
    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"Shown0"_s},
                  {14, 1000, 1870, false, u"Hidden14"_s},
                  {39, 1000, 2470, true, u"Shown39"_s},
                  {40, 1000, 3070, true, u"Box40"_s},
                  {45, 1000, 3670, true, u"Box45"_s}};
    const QString pdf = printToPdf(card, viaTool);
    QVERIFY(!pdf.isEmpty());
    QStringList texts;
    for (const PdfProbe::Word &w : PdfProbe::words(pdf))
        texts.append(w.text);
    texts.sort();
    QCOMPARE(texts, (QStringList{u"Shown0"_s, u"Shown39"_s}));
}

void TestPrint::orientationSetsThePage_data()
{
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<QSizeF>("size");
    QTest::newRow("P is portrait") << u"P"_s << QSizeF(216, 360);
    QTest::newRow("L is landscape") << u"L"_s << QSizeF(360, 216);
    QTest::newRow("lower-case p is landscape") << u"p"_s << QSizeF(360, 216);
    QTest::newRow("nothing is landscape") << QString() << QSizeF(360, 216);
}

void TestPrint::orientationSetsThePage()
{
    QFETCH(QString, orientation);
    QFETCH(QSizeF, size);
    PrintTestCard card;
    card.orientation = orientation;
    card.boxes = {{0, 1000, 1270, true, u"Turned"_s}};
    const QString pdf = printToPdf(card, true);
    QVERIFY(!pdf.isEmpty());
    QCOMPARE(PdfProbe::pageSize(pdf), size);
    const PdfProbe::Word w = PdfProbe::find(PdfProbe::words(pdf), u"Turned"_s);
    QCOMPARE(QPointF(w.xMin, w.yMin), QPointF(50, 50));
}

void TestPrint::pictureIsDrawnOnlyWhenAsked()
{
    PrintPage page;
    page.paperWidth = 4320;
    page.paperHeight = 7200;
    page.leftMargin = 100;
    page.enlarge = 1.5f;
    page.fontName = u"DejaVu Sans"_s;
    page.fontSize = 8;
    RenderOptions options;
    options.picture = QImage(10, 10, QImage::Format_RGB32);
    options.picture.fill(Qt::blue);
    // On the page: ((1100 - 100) * 1.5, (1270 - 270) * 1.5) = (1500, 1500)
    // twips, 1800 by 1500: pixels 75 to 165 across and 75 to 150 down.
    options.pictureRect = {1100, 1270, 1200, 1000};

    QImage without = whitePage(page);
    render(without, page, options);
    QCOMPARE(without, whitePage(page));

    options.drawPicture = true;
    QImage with = whitePage(page);
    render(with, page, options);
    const QRgb inside = with.pixel(120, 112);
    QVERIFY2(qBlue(inside) == 255 && qRed(inside) > 128 && qRed(inside) < 255, "the picture is not faint blue");
    for (const QPoint &p : {QPoint(77, 77), QPoint(163, 148)})
        QVERIFY2(!isWhite(with, p.x(), p.y()), "the picture does not fill its rectangle");
    for (const QPoint &p : {QPoint(73, 112), QPoint(167, 112), QPoint(120, 73), QPoint(120, 152)})
        QVERIFY2(isWhite(with, p.x(), p.y()), "the picture is outside its rectangle");
}

void TestPrint::alignmentPageOutlinesEachPrintedBox()
{
    PrintTestCard card;
    card.margin = 100;
    card.enlarge = u"1.5"_s;
    card.boxes = {{0, 1100, 1270, true, QString()}, {1, 1100, 2270, false, QString()}};
    const QString file = m_dir.filePath(u"outlines.qcf"_s);
    QVERIFY(card.write(file));
    CardFormModel form;
    QVERIFY(form.LoadCard(file));
    const PrintPage page = PrintLayout::page(form);

    // Box 0 (1200 by 105 twips) is at (1500, 1500) twips on the page, 1800
    // by 157.5: pixels 75 to 165 across, 75 to 82.9 down. Box 1 is hidden.
    QImage plain = whitePage(page);
    render(plain, page, {});
    QVERIFY(isWhite(plain, 120, 75));
    RenderOptions options;
    options.drawOutlines = true;
    QImage outlined = whitePage(page);
    render(outlined, page, options);
    for (const QPoint &p : {QPoint(120, 75), QPoint(75, 79), QPoint(165, 79)})
        QVERIFY2(!isWhite(outlined, p.x(), p.y()), "box 0 has no outline");
    QVERIFY2(isWhite(outlined, 120, 79), "the outline is filled");
    for (int x = 60; x < 180; ++x)
        QVERIFY2(isWhite(outlined, x, 125), "the hidden box 1 has an outline");
}

void TestPrint::failedExportLeavesTheFileAsItWas()
{
    const QString pdf = m_dir.filePath(u"kept.pdf"_s);
    {
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("earlier");
    }
    PrintPage page;
    page.paperWidth = 0; // a card without its paper line
    page.paperHeight = 7200;
    page.fontSize = 8;
    QString error;
    QVERIFY(!PdfExport::exportPdf(pdf, page, 1, {}, &error));
    QVERIFY2(error.startsWith(pdf + u": "_s) && error.contains(u"paper size"_s), qPrintable(error));
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("earlier"));
}

void TestPrint::toolRejectsBadUsage_data()
{
    QTest::addColumn<QStringList>("args");
    const QString card = u"any.qcf"_s;
    QTest::newRow("no card") << QStringList{u"print"_s};
    QTest::newRow("0 copies") << QStringList{u"print"_s, card, u"--copies"_s, u"0"_s};
    QTest::newRow("1000 copies") << QStringList{u"print"_s, card, u"--copies"_s, u"1000"_s};
    QTest::newRow("copies not a number") << QStringList{u"print"_s, card, u"--copies"_s, u"five"_s};
    QTest::newRow("copies without value") << QStringList{u"print"_s, card, u"--copies"_s};
    QTest::newRow("pdf without file") << QStringList{u"print"_s, card, u"--pdf"_s};
    QTest::newRow("two cards") << QStringList{u"print"_s, card, u"other.qcf"_s};
    QTest::newRow("unknown option") << QStringList{u"print"_s, card, u"--colour"_s};
}

void TestPrint::toolRejectsBadUsage()
{
    QFETCH(QStringList, args);
    const Run r = runTool(args);
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains(u"usage: borvessa-card"_s) && r.err.contains(u"print CARD"_s), qPrintable(r.err));
}

void TestPrint::toolReportsFailures()
{
    // A control line whose left is not a number.
    PrintTestCard card;
    QString text = card.text();
    text = TestCards::withLine(text, 151, u"0,Test0,105,left,1270,1200,0,Small Fonts,3,True,0"_s);
    const QString bad = m_dir.filePath(u"bad.qcf"_s);
    QVERIFY(TestCards::writeCard(bad, text));
    const QString pdf = m_dir.filePath(u"never.pdf"_s);
    Run r = runTool({u"print"_s, bad, u"--pdf"_s, pdf});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.startsWith(bad + u": line 151: "_s), qPrintable(r.err));
    QVERIFY(!QFile::exists(pdf));

    const QString good = m_dir.filePath(u"good.qcf"_s);
    QVERIFY(card.write(good));
    const QString nowhere = m_dir.filePath(u"missing/folder/out.pdf"_s);
    r = runTool({u"print"_s, good, u"--pdf"_s, nowhere});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.startsWith(nowhere + u": "_s), qPrintable(r.err));
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
