// The printed page: positions, font size, pages, orientation and what never
// prints, read back from real PDF files written by the core and by the card
// tool; the renderer's picture and outlines, read from images.

#include "Card.h"
#include "CardFields.h"
#include "CardFormModel.h"
#include "CardLayouts.h"
#include "InstalledCardText.h"
#include "PageRenderer.h"
#include "PdfExport.h"
#include "PdfProbe.h"
#include "PrintFont.h"
#include "PrintLayout.h"
#include "PrintTestCard.h"
#include "TestCards.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr double Tolerance = 0.5; // points

struct Run
{
    int code = -1;
    QString err;
    QString out;
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
            QString::fromLocal8Bit(p.readAllStandardError()), QString::fromLocal8Bit(p.readAllStandardOutput())};
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
    void bundledCardsPrintIntoTheirFields_data();
    void bundledCardsPrintIntoTheirFields();
    void ticksPrintInsideTheirSquares_data();
    void ticksPrintInsideTheirSquares();
    void toolListsMisfitsAndStrictRefuses_data();
    void toolListsMisfitsAndStrictRefuses();
    void calibrationSheetHasBothMarks();
    void calibrationCorrectsASimulatedPrinter();
    void toolRejectsBadUsage_data();
    void toolRejectsBadUsage();
    void toolReportsFailures();

private:
    // Writes the card and prints it to a PDF through the core or the tool.
    QString printToPdf(const PrintTestCard &card, bool viaTool, int copies = 1);
    // A bundled card filled with long plausible answers; the answers by box.
    QString filledBundledCard(const CardLayout &layout, QHash<int, QString> *answers);

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
    // Words that fit the test boxes' 1200 twips, so the fit rule keeps the
    // print font's size.
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("word");
    QTest::newRow("8 pt") << u"8"_s << u"Xylophone"_s;
    QTest::newRow("7.5 pt") << u"7.5"_s << u"Xylophone"_s;
    QTest::newRow("12 pt") << u"12"_s << u"Xylo"_s;
}

void TestPrint::fontSizeIsExactInPoints()
{
    QFETCH(QString, size);
    QFETCH(QString, word);
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
    QCOMPARE(PdfProbe::complaints(pdf), QString());
    // Every page is the card's paper, and the catalog the file ends with
    // asks viewers to print it at that size.
    QCOMPARE(PdfProbe::mediaBoxes(pdf), QList<QRectF>(copies, QRectF(0, 0, 216, 360)));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QRegularExpressionMatch root = QRegularExpression(u"/Root (\\d+) 0 R"_s).match(
        QString::fromLatin1(bytes.mid(bytes.lastIndexOf("trailer"))));
    QVERIFY(root.hasMatch());
    const qsizetype catalog = bytes.lastIndexOf("\n" + root.captured(1).toLatin1() + " 0 obj");
    QVERIFY(catalog > 0);
    const QByteArray object = bytes.mid(catalog, bytes.indexOf("endobj", catalog) - catalog);
    QVERIFY2(object.contains("/Type /Catalog") && object.contains("/PrintScaling /None"), object.constData());
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
    // The blank card lies at the paper's corner at the picture's size,
    // whatever the margin and the enlargement: 1800 by 1500 twips, pixels 0
    // to 90 across and 0 to 75 down.
    page.picture = {1100, 1270, 1800, 1500};

    QImage without = whitePage(page);
    render(without, page, options);
    QCOMPARE(without, whitePage(page));

    options.drawPicture = true;
    QImage with = whitePage(page);
    render(with, page, options);
    const QRgb inside = with.pixel(45, 37);
    QVERIFY2(qBlue(inside) == 255 && qRed(inside) > 128 && qRed(inside) < 255, "the picture is not faint blue");
    for (const QPoint &p : {QPoint(1, 1), QPoint(88, 73)})
        QVERIFY2(!isWhite(with, p.x(), p.y()), "the picture does not fill its rectangle");
    for (const QPoint &p : {QPoint(92, 40), QPoint(40, 77), QPoint(120, 112)})
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

void TestPrint::bundledCardsPrintIntoTheirFields_data()
{
    QTest::addColumn<QString>("name");
    for (const CardLayout *layout : CardLayouts::all())
        QTest::newRow(qPrintable(layout->name)) << layout->name;
}

// Long but plausible answers in capitals, as the cards ask: each field gets
// as much of a text of its kind as it holds at 4.5 pt, and every tick box an X.
static QString plausibleAnswer(const PrintFont &font, const LayoutRow &row, int serial)
{
    if (row.width <= 120)
        return u"X"_s;
    const QString q = row.question.toUpper();
    QString text;
    if (q.contains(u"YEAR"_s))
        text = u"1984"_s;
    else if (q.contains(u"MONTH"_s) || q.contains(u"DAY"_s))
        text = u"07"_s;
    else if (row.width < 700)
        text = u"H3B 1A7 QC"_s;
    else {
        static const QStringList texts{
            u"1234 RUE SAINTE-CATHERINE OUEST, APP 5, MONTRÉAL QUÉBEC H3B 1A7"_s,
            u"CÔTÉ-LÉVESQUE, MARIE-HÉLÈNE ÉLODIE FRANÇOISE"_s,
            u"ÎLES-DE-LA-MADELEINE, NOUVELLE-ÉCOSSE, CANADA"_s,
            u"AIR CANADA AC 871 ZÜRICH – MONTRÉAL-TRUDEAU"_s};
        text = texts.at(serial % texts.size());
    }
    while (text.size() > 1 && font.advance(text, 4.5f) > float(row.width))
        text.chop(1);
    return text.trimmed();
}

void TestPrint::bundledCardsPrintIntoTheirFields()
{
    QFETCH(QString, name);
    const CardLayout *layout = CardLayouts::named(name);
    QVERIFY(layout);
    const InstalledPrintSettings settings = installedPrintSettings(*layout);
    QHash<int, QString> answers;
    const QString cardFile = filledBundledCard(*layout, &answers);
    QVERIFY(!cardFile.isEmpty());
    const QString pdf = m_dir.filePath(name + u".pdf"_s);
    const Run r = runTool({u"print"_s, cardFile, u"--strict"_s, u"--pdf"_s, pdf});
    // --strict prints only when no answer misfits.
    QVERIFY2(r.code == 0, qPrintable(r.err));

    const QSizeF paper = PdfProbe::pageSize(pdf);
    QCOMPARE(paper, QSizeF(settings.paperWidth / 20.0, settings.paperHeight / 20.0));
    // The card is the paper: the picture's size in whole points.
    QVERIFY(qAbs(paper.width() - layout->pictureWidth / 20.0) <= 0.5);
    QVERIFY(qAbs(paper.height() - layout->pictureHeight / 20.0) <= 0.5);

    QFont reference(settings.fontName);
    reference.setPixelSize(1000);
    reference.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF m(reference);
    const double ascent = m.ascent() / 1000;
    const double extent = (m.ascent() + m.descent()) / 1000;
    const double capHeight = m.capHeight() / 1000;

    const QList<PdfProbe::Word> words = PdfProbe::words(pdf);
    for (const LayoutRow &row : layout->rows) {
        if (!answers.contains(row.box))
            continue;
        // The field in points from the paper's corner.
        const QRectF field((row.left - layout->pictureLeft) / 20.0, (row.top - layout->pictureTop) / 20.0,
                           row.width / 20.0, row.height / 20.0);
        const QStringList tokens = answers[row.box].split(u' ', Qt::SkipEmptyParts);
        // The nearest run of words that spells the answer.
        int best = -1;
        double bestDistance = 1e9;
        for (int i = 0; i + tokens.size() <= words.size(); ++i) {
            bool same = true;
            for (int k = 0; k < tokens.size() && same; ++k)
                same = words[i + k].text == tokens[k] && words[i + k].yMin == words[i].yMin;
            const double d = qAbs(words[i].xMin - field.left()) + qAbs(words[i].yMin - field.top());
            if (same && d < bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        const QString what = u"box %1 \"%2\""_s.arg(row.box).arg(answers[row.box]);
        QVERIFY2(best >= 0, qPrintable(what + u" is not on the page"_s));
        const PdfProbe::Word &first = words[best];
        const PdfProbe::Word &last = words[best + tokens.size() - 1];
        const double size = (first.yMax - first.yMin) / extent;
        const double baseline = first.yMin + ascent * size;
        const double capTop = baseline - capHeight * size;
        const QString where = u" at %1..%2 x %3..%4 pt, field %5..%6 x %7..%8"_s.arg(first.xMin).arg(last.xMax)
                                  .arg(capTop).arg(baseline).arg(field.left()).arg(field.right())
                                  .arg(field.top()).arg(field.bottom());
        QVERIFY2(qAbs(first.xMin - field.left()) <= 0.5, qPrintable(what + u" starts off its field's left"_s + where));
        QVERIFY2(last.xMax <= field.right() + 0.05, qPrintable(what + u" runs past its field"_s + where));
        QVERIFY2(capTop >= field.top() - 1 && baseline <= field.bottom() + 1,
                 qPrintable(what + u" leaves its field's height"_s + where));
        QVERIFY2(first.xMin >= 0 && first.yMin >= 0 && last.xMax <= paper.width() && first.yMax <= paper.height(),
                 qPrintable(what + u" is off the paper"_s + where));
    }
}

void TestPrint::ticksPrintInsideTheirSquares_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fontSize");
    for (const CardLayout *layout : CardLayouts::all()) {
        for (const QString &size : {u"4.5"_s, u"6"_s, u"8"_s})
            QTest::addRow("%s at %s pt", qPrintable(layout->name), qPrintable(size)) << layout->name << size;
    }
}

// Every tick of a bundled card ticked, as a card edited by hand can be: the
// card prints as it is, each X's ink inside its square, and the groups that
// allow one tick are named first.
void TestPrint::ticksPrintInsideTheirSquares()
{
    QFETCH(QString, name);
    QFETCH(QString, fontSize);
    const CardLayout *layout = CardLayouts::named(name);
    QVERIFY(layout);
    InstalledPrintSettings settings = installedPrintSettings(*layout);
    settings.fontSize = fontSize;
    QString text = installedCardText(*layout, settings);
    const QString folder = m_dir.filePath(u"ticks%1"_s.arg(++m_files));
    QVERIFY(QDir().mkpath(folder));
    const QString cardFile = folder + u"/"_s + name + u".qcf"_s;
    QVERIFY(TestCards::copyBundledFields(name, cardFile));
    CardError error;
    const std::optional<CardFields> fields = CardFields::read(CardFields::fileFor(cardFile), &error);
    QVERIFY(fields && !fields->isEmpty());
    QList<QRectF> squares; // twips from the paper's corner
    for (const LayoutRow &row : layout->rows) {
        if (!fields->isTick(row.box) || !row.visible)
            continue;
        text = TestCards::withLine(text, Card::FirstAnswer + row.box, u"%1,%2,x"_s.arg(row.box).arg(row.fieldName));
        squares.append(QRectF(row.left - layout->pictureLeft, row.top - layout->pictureTop, row.width, row.height));
    }
    QVERIFY(TestCards::writeCard(cardFile, text));

    const QString pdf = folder + u"/ticks.pdf"_s;
    const Run r = runTool({u"print"_s, cardFile, u"--pdf"_s, pdf});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    int oneOnly = 0;
    for (const CardFields::Group &g : fields->groups())
        oneOnly += g.rule != CardFields::Rule::AtLeastOne ? 1 : 0;
    QCOMPARE(r.err.count(u"boxes are ticked; only one may be"_s), oneOnly);
    const Run strict = runTool({u"print"_s, cardFile, u"--strict"_s, u"--pdf"_s, folder + u"/strict.pdf"_s});
    QCOMPARE(strict.code, 1);
    QVERIFY2(strict.err.contains(u"answer(s) are wrong or missing (--strict)"_s), qPrintable(strict.err));
    QVERIFY(!QFile::exists(folder + u"/strict.pdf"_s));

    // 288 dots per inch: a pixel is 5 twips.
    constexpr double Twips = 5;
    QProcess render;
    render.start(u"pdftoppm"_s, {u"-r"_s, u"288"_s, u"-gray"_s, u"-png"_s, u"-singlefile"_s, pdf, folder + u"/ticks"_s});
    QVERIFY(render.waitForFinished(60000) && render.exitCode() == 0);
    const QImage page(folder + u"/ticks.png"_s);
    QVERIFY(!page.isNull());
    QList<int> inked(squares.size(), 0);
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) >= 160)
                continue;
            const QPointF at((x + 0.5) * Twips, (y + 0.5) * Twips);
            int in = -1;
            for (int i = 0; i < squares.size() && in < 0; ++i)
                in = squares[i].adjusted(-Twips / 2, -Twips / 2, Twips / 2, Twips / 2).contains(at) ? i : -1;
            QVERIFY2(in >= 0, qPrintable(u"ink at %1,%2 twips lies in no tick square"_s.arg(at.x()).arg(at.y())));
            ++inked[in];
        }
    }
    for (int i = 0; i < squares.size(); ++i)
        QVERIFY2(inked[i] > 0, qPrintable(u"no X in the square at %1,%2"_s.arg(squares[i].x()).arg(squares[i].y())));
}

QString TestPrint::filledBundledCard(const CardLayout &layout, QHash<int, QString> *answers)
{
    const InstalledPrintSettings settings = installedPrintSettings(layout);
    QString text = installedCardText(layout, settings);
    const PrintFont font(settings.fontName);
    for (const LayoutRow &row : layout.rows) {
        if (row.box >= 40 || !row.visible)
            continue;
        (*answers)[row.box] = plausibleAnswer(font, row, row.box);
        text = TestCards::withLine(text, Card::FirstAnswer + row.box,
                                   u"%1,%2,%3"_s.arg(row.box).arg(row.fieldName, answers->value(row.box)));
    }
    const QString cardFile = m_dir.filePath(u"filled%1-%2.qcf"_s.arg(++m_files).arg(layout.name));
    return TestCards::writeCard(cardFile, text) ? cardFile : QString();
}

void TestPrint::calibrationSheetHasBothMarks()
{
    QHash<int, QString> answers;
    const QString card = filledBundledCard(CardLayouts::us(), &answers);
    const QString pdf = m_dir.filePath(u"sheet.pdf"_s);
    const Run r = runTool({u"calibrate"_s, card, u"--sheet"_s, u"--pdf"_s, pdf});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(PdfProbe::pageCount(pdf), 1);
    const InstalledPrintSettings settings = installedPrintSettings(CardLayouts::us());
    const QSizeF paper = PdfProbe::pageSize(pdf);
    QCOMPARE(paper, QSizeF(settings.paperWidth / 20.0, settings.paperHeight / 20.0));
    // The labels sit beside their crosses: A near the top-left corner, B
    // near the bottom-right one (10 mm = 28.35 pt in).
    bool a = false;
    bool b = false;
    for (const PdfProbe::Word &w : PdfProbe::words(pdf)) {
        a = a || (w.text == u"A" && qAbs(w.xMin - 28.35) < 12 && qAbs(w.yMax - 28.35) < 20);
        b = b || (w.text == u"B" && qAbs(w.xMax - (paper.width() - 28.35)) < 20
                  && qAbs(w.yMax - (paper.height() - 28.35)) < 12);
    }
    QVERIFY2(a && b, "a mark's label is not beside its cross");
}

void TestPrint::calibrationCorrectsASimulatedPrinter()
{
    // A printer that scales everything by 1.01 about the paper's corner and
    // shifts it 1.5 mm right and 2.0 mm up.
    constexpr double Scale = 1.01;
    const QPointF shiftMm(1.5, -2.0);
    constexpr double PtPerMm = 72 / 25.4;
    const auto printer = [&](const QPointF &mm) { return mm * Scale + shiftMm; };

    const CardLayout &layout = CardLayouts::canada();
    QHash<int, QString> answers;
    const QString card = filledBundledCard(layout, &answers);
    QVERIFY(!card.isEmpty());
    const InstalledPrintSettings settings = installedPrintSettings(layout);
    const double widthMm = settings.paperWidth / 1440.0 * 25.4;
    const double heightMm = settings.paperHeight / 1440.0 * 25.4;
    const QPointF a = printer({10, 10});
    const QPointF b = printer({widthMm - 10, heightMm - 10});
    const QString measured = u"%1,%2,%3,%4"_s.arg(a.x(), 0, 'f', 3).arg(a.y(), 0, 'f', 3).arg(b.x(), 0, 'f', 3)
                                 .arg(b.y(), 0, 'f', 3);

    // A dry run shows the solution and leaves the card as it was.
    const QByteArray before = TestCards::fileBytes(card);
    Run r = runTool({u"calibrate"_s, card, u"--measured"_s, measured, u"--dry-run"_s});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.out.contains(u"Printer offset: 1.50 mm right, 2.00 mm up"_s), qPrintable(r.out));
    QVERIFY2(r.out.contains(u"Printer scale: 1.0100"_s), qPrintable(r.out));
    QVERIFY2(r.out.contains(u"Worst remaining error: 0.00 mm"_s), qPrintable(r.out));
    QCOMPARE(TestCards::fileBytes(card), before);

    r = runTool({u"calibrate"_s, card, u"--measured"_s, measured});
    QVERIFY2(r.code == 0, qPrintable(r.err));

    const QString pdf = m_dir.filePath(u"calibrated.pdf"_s);
    r = runTool({u"print"_s, card, u"--pdf"_s, pdf});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QList<PdfProbe::Word> words = PdfProbe::words(pdf);
    int checked = 0;
    for (const LayoutRow &row : layout.rows) {
        if (!answers.contains(row.box))
            continue;
        const QString first = answers[row.box].split(u' ').first();
        const QPointF fieldMm = QPointF(row.left - layout.pictureLeft, row.top - layout.pictureTop) / 1440.0 * 25.4;
        // The word nearest its field after this printer has moved it.
        double best = 1e9;
        for (const PdfProbe::Word &w : words) {
            if (w.text == first) {
                const QPointF landed = printer(QPointF(w.xMin, w.yMin) / PtPerMm);
                best = std::min(best, std::hypot(landed.x() - fieldMm.x(), landed.y() - fieldMm.y()));
            }
        }
        QVERIFY2(best <= 0.3, qPrintable(u"box %1 lands %2 mm from its field"_s.arg(row.box).arg(best)));
        ++checked;
    }
    QVERIFY(checked > 20);
}

void TestPrint::toolListsMisfitsAndStrictRefuses_data()
{
    QTest::addColumn<bool>("strict");
    QTest::newRow("listed, printed") << false;
    QTest::newRow("strict, not printed") << true;
}

void TestPrint::toolListsMisfitsAndStrictRefuses()
{
    QFETCH(bool, strict);
    // Box 0 runs past the paper's right edge; boxes 1 and 2 print over each
    // other; box 3 fits.
    PrintTestCard card;
    card.boxes = {{0, 3800, 1270, true, u"TORONTO"_s},
                  {1, 1000, 2270, true, u"1984"_s},
                  {2, 1150, 2270, true, u"07"_s},
                  {3, 1000, 3270, true, u"FITS"_s}};
    const QString file = m_dir.filePath(u"misfits%1.qcf"_s.arg(strict));
    const QString pdf = m_dir.filePath(u"misfits%1.pdf"_s.arg(strict));
    QVERIFY(card.write(file));
    QStringList args{u"print"_s, file, u"--pdf"_s, pdf};
    if (strict)
        args.append(u"--strict"_s);
    const Run r = runTool(args);
    QCOMPARE(r.code, strict ? 1 : 0);
    QCOMPARE(QFile::exists(pdf), !strict);
    const QStringList lines = r.err.split(u'\n', Qt::SkipEmptyParts);
    const QString address = u"\u201CAddress - Number, street, town/city\u201D"_s;
    QVERIFY2(lines.value(0) == file + u": "_s + address + u": the answer runs past the edge of the paper"_s,
             qPrintable(r.err));
    QVERIFY2(lines.value(1).startsWith(file + u": \u201C"_s)
                 && lines.value(1).endsWith(u"\u201D: the answers print over each other"_s),
             qPrintable(r.err));
    QCOMPARE(lines.size(), strict ? 3 : 2);
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
