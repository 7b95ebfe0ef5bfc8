// The printer: page set-up from the card, origin at the printable area,
// settings put back after every job, and the failures a user can meet; and
// the preview window.

#include "CardFormModel.h"
#include "CardPrinter.h"
#include "PagePreview.h"
#include "PdfExport.h"
#include "PdfProbe.h"
#include "PrintLayout.h"
#include "PrintPreviewDialog.h"
#include "PrintSetupDialog.h"
#include "PrinterProfiles.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include "PrintTestCard.h"
#include "PrivateCups.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QTest>
#include <QTransform>

using namespace Qt::StringLiterals;

namespace {

// A printer that writes a PDF file, set up as a user's printer might be.
std::unique_ptr<QPrinter> filePrinter(const QString &file, const QMarginsF &margins)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setPageMargins(margins, QPageLayout::Point);
    return printer;
}

} // namespace

class TestPrintUi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void printsFromThePaperCorner_data();
    void printsFromThePaperCorner();
    void secondJobStartsFromTheSameSettings();
    void aJobThePrinterCannotStartFails();
    void noPrinterInstalled();
    void previewShowsEveryPageAndTheFaintPicture();
    void previewListsMisfitsAndShadesMargins();
    void previewNeverCutsOffTheCard();
    void misfitListWrapsInsideTheDialog_data();
    void misfitListWrapsInsideTheDialog();
    void jobsAreFollowedToTheirEnd_data();
    void jobsAreFollowedToTheirEnd();
    void noDefaultPrinterNamesTheInstalledOnes();
    void jobsReachTheQueueAtTheCardsSize_data();
    void jobsReachTheQueueAtTheCardsSize();
    void queuesThatCannotPrintAreNamed_data();
    void queuesThatCannotPrintAreNamed();
    void eachPrinterKeepsItsOwnCalibration();
    void printDialogOffersTheQueuesAndTheirTrays();
    void cleanupTestCase();

private:
    bool startCups();
    struct Tool
    {
        int exitCode = -1;
        QString err;
    };
    Tool runTool(const QStringList &args);
    QString jobAsPdf(const QString &queue);

    PrintPage loadPage(const PrintTestCard &card);

    QTemporaryDir m_dir;
    int m_files = 0;
    std::unique_ptr<PrivateCups> m_cups;
};

void TestPrintUi::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Printer calibrations are user settings: this test's own, for the card
    // tool it starts as well.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(u"config"_s)));
    if (!PdfProbe::available())
        QSKIP("pdftotext and pdfinfo (poppler-utils) are not installed");
}

PrintPage TestPrintUi::loadPage(const PrintTestCard &card)
{
    const QString file = m_dir.filePath(u"card%1.qcf"_s.arg(++m_files));
    if (!card.write(file))
        return {};
    CardFormModel form;
    if (!form.LoadCard(file))
        return {};
    return PrintLayout::page(form);
}

void TestPrintUi::printsFromThePaperCorner_data()
{
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<QMarginsF>("margins");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QSizeF>("pageSize");
    QTest::newRow("portrait, no margins") << u"P"_s << QMarginsF() << 1 << QSizeF(216, 360);
    QTest::newRow("portrait, margins") << u"P"_s << QMarginsF(18, 36, 9, 9) << 5 << QSizeF(216, 360);
    QTest::newRow("landscape, margins") << u"L"_s << QMarginsF(18, 36, 9, 9) << 2 << QSizeF(360, 216);
}

void TestPrintUi::printsFromThePaperCorner()
{
    QFETCH(QString, orientation);
    QFETCH(QMarginsF, margins);
    QFETCH(int, copies);
    QFETCH(QSizeF, pageSize);

    PrintTestCard card;
    card.orientation = orientation;
    card.margin = 100;
    card.enlarge = u"1.05"_s;
    card.boxes = {{0, 1000, 1270, true, u"First"_s}, {1, 2100, 2270, true, u"Second"_s}};
    const PrintPage page = loadPage(card);
    const QString pdf = m_dir.filePath(u"printed%1.pdf"_s.arg(QTest::currentDataTag()));
    CardPrinter printer(filePrinter(pdf, margins));
    const QPageLayout before = printer.printer().pageLayout();
    const bool fullPageBefore = printer.printer().fullPage();

    QString error;
    QVERIFY2(printer.print(page, copies, {}, &error), qPrintable(error));
    QCOMPARE(printer.printer().pageLayout(), before);
    QCOMPARE(printer.printer().fullPage(), fullPageBefore);

    QCOMPARE(PdfProbe::pageCount(pdf), copies);
    QCOMPARE(PdfProbe::pageSize(pdf), pageSize);
    const QList<PdfProbe::Word> words = PdfProbe::words(pdf);
    QCOMPARE(words.size(), 2 * copies);
    const struct
    {
        QString text;
        QPointF at;
    } expected[] = {{u"First"_s, {47.25, 52.5}}, {u"Second"_s, {105, 105}}};
    for (const PdfProbe::Word &w : words) {
        for (const auto &e : expected) {
            if (w.text != e.text)
                continue;
            // The printer's margins never shift the answers.
            const QPointF want = e.at;
            QVERIFY2(qAbs(w.xMin - want.x()) <= 0.5 && qAbs(w.yMin - want.y()) <= 0.5,
                     qPrintable(u"%1 at (%2, %3), expected (%4, %5)"_s.arg(w.text).arg(w.xMin).arg(w.yMin)
                                    .arg(want.x()).arg(want.y())));
        }
    }
}

void TestPrintUi::secondJobStartsFromTheSameSettings()
{
    const QString pdf = m_dir.filePath(u"twice.pdf"_s);
    CardPrinter printer(filePrinter(pdf, QMarginsF(20, 30, 20, 30)));
    const QPageLayout before = printer.printer().pageLayout();

    PrintTestCard landscape;
    landscape.orientation = u"L"_s;
    landscape.paperHeight = 10080;
    landscape.boxes = {{0, 1000, 1270, true, u"Wide"_s}};
    QString error;
    QVERIFY2(printer.print(loadPage(landscape), 1, {}, &error), qPrintable(error));
    QCOMPARE(printer.printer().pageLayout(), before);

    PrintTestCard portrait;
    portrait.boxes = {{0, 1000, 1270, true, u"Tall"_s}};
    QVERIFY2(printer.print(loadPage(portrait), 1, {}, &error), qPrintable(error));
    QCOMPARE(printer.printer().pageLayout(), before);
    QCOMPARE(PdfProbe::pageSize(pdf), QSizeF(216, 360));
    // Positions start at the paper's corner, in both jobs.
    const PdfProbe::Word w = PdfProbe::find(PdfProbe::words(pdf), u"Tall"_s);
    QVERIFY2(qAbs(w.xMin - 50) <= 0.5 && qAbs(w.yMin - 50) <= 0.5,
             qPrintable(u"at (%1, %2)"_s.arg(w.xMin).arg(w.yMin)));
}

void TestPrintUi::aJobThePrinterCannotStartFails()
{
    const QString pdf = m_dir.filePath(u"no/such/folder/job.pdf"_s);
    CardPrinter printer(filePrinter(pdf, QMarginsF(10, 10, 10, 10)));
    const QPageLayout before = printer.printer().pageLayout();
    PrintTestCard card;
    card.orientation = u"L"_s;
    card.boxes = {{0, 1000, 1270, true, u"Lost"_s}};
    QString error;
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QVERIFY(!printer.print(loadPage(card), 3, {}, &error));
    QVERIFY2(error.contains(pdf) && error.contains(u"could not start the job"_s), qPrintable(error));
    QCOMPARE(printer.printer().pageLayout(), before);
    QVERIFY(!QFile::exists(pdf));
}

void TestPrintUi::noPrinterInstalled()
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("this system has a default printer; the test never prints on paper");
    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"Nowhere"_s}};
    QString error = u"unchanged"_s;
    CardPrinter printer;
    QVERIFY(!printer.print(loadPage(card), 1, {}, &error));
    QVERIFY2(error.startsWith(u"No printer is installed"_s), qPrintable(error));

    // The card tool says the same and fails.
    const QString file = m_dir.filePath(u"noprinter.qcf"_s);
    QVERIFY(card.write(file));
    QProcess tool;
    tool.start(qEnvironmentVariable("BORVESSA_BIN_DIR") + u"/borvessa-card"_s, {u"print"_s, file});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 1);
    const QString err = QString::fromLocal8Bit(tool.readAllStandardError());
    QVERIFY2(err.startsWith(file + u": No printer is installed"_s), qPrintable(err));
}

void TestPrintUi::previewShowsEveryPageAndTheFaintPicture()
{
    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"Seen"_s}};
    const PrintPage page = loadPage(card);
    RenderOptions options;
    options.drawPicture = true;
    options.picture = QImage(8, 8, QImage::Format_RGB32);
    options.picture.fill(Qt::blue);

    PrintPreviewDialog dialog(page, 5, options);
    dialog.resize(400, 600);
    QCOMPARE(dialog.pageText(), u"Page 1 of 5"_s);
    dialog.showPage(3);
    QCOMPARE(dialog.pageText(), u"Page 3 of 5"_s);
    dialog.showPage(9);
    QCOMPARE(dialog.pageText(), u"Page 5 of 5"_s);

    PagePreview *preview = dialog.preview();
    preview->resize(300, 460);
    const QImage shown = preview->grab().toImage();
    const QRectF paper = preview->paperRect();
    QVERIFY(!paper.isEmpty());
    QCOMPARE(paper.width() / paper.height(), 4320.0 / 7200.0);
    const auto at = [&](qreal xTwips, qreal yTwips) {
        return shown.pixel(QPointF(paper.left() + xTwips * paper.width() / 4320,
                                   paper.top() + yTwips * paper.height() / 7200)
                               .toPoint());
    };
    // Faint blue where the blank card lies, from the paper's corner at the
    // picture's size, and white paper beyond it.
    QCOMPARE(page.picture.width, 3395.f);
    QCOMPARE(page.picture.height, 6240.f);
    for (const QPointF &p : {QPointF(150, 150), QPointF(2500, 2500), QPointF(3300, 6150)}) {
        const QRgb inside = at(p.x(), p.y());
        QVERIFY2(qBlue(inside) > 200 && qRed(inside) > 100 && qRed(inside) < 255,
                 qPrintable(u"(%1, %2) twips: %3"_s.arg(p.x()).arg(p.y()).arg(QColor(inside).name())));
    }
    QCOMPARE(at(3800, 3800), qRgb(255, 255, 255));
    QCOMPARE(at(2500, 6600), qRgb(255, 255, 255));
}

void TestPrintUi::previewListsMisfitsAndShadesMargins()
{
    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"1984"_s}, {1, 1150, 1270, true, u"07"_s}};
    const PrintPage page = loadPage(card);
    // Half an inch of unprintable margin on every side.
    PrintPreviewDialog dialog(page, 1, {}, nullptr, QMarginsF(720, 720, 720, 720));
    const QStringList misfits = dialog.misfitTexts();
    QCOMPARE(misfits.size(), 1);
    QVERIFY2(misfits.first().endsWith(u"the answers print over each other"_s), qPrintable(misfits.first()));
    dialog.resize(400, 700);
    dialog.show();
    PagePreview *preview = dialog.preview();
    const QImage shown = preview->grab().toImage();
    const auto at = [&](qreal x, qreal y) { return QColor(shown.pixel(preview->toWidget({x, y}).toPoint())); };
    // Shaded in the margin, white paper inside it.
    QVERIFY(at(300, 3000).red() < 245);
    QCOMPARE(at(2000, 3000), QColor(Qt::white));
    // The overlap is marked in red.
    bool marked = false;
    for (int x = 1100; x < 1450 && !marked; x += 5) {
        const QColor c = at(x, 1045);
        marked = c.red() > c.blue() + 40;
    }
    QVERIFY(marked);

    PrintTestCard tidy;
    tidy.boxes = {{0, 1000, 1270, true, u"FITS"_s}};
    PrintPreviewDialog fine(loadPage(tidy), 1, {});
    QCOMPARE(fine.misfitTexts(), QStringList{u"Every answer prints inside its field."_s});
    // The one line is in view whole, with nothing to scroll.
    fine.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fine));
    QCOMPARE(fine.findChild<QPlainTextEdit *>(u"misfits"_s)->verticalScrollBar()->maximum(), 0);
}

void TestPrintUi::previewNeverCutsOffTheCard()
{
    // A card picture larger than the paper, and an answer past its edge.
    PrintTestCard card;
    card.paperWidth = 2000;
    card.paperHeight = 3000;
    card.boxes = {{0, 1900, 1270, true, u"OUTSIDE"_s}};
    const PrintPage page = loadPage(card);
    PrintPreviewDialog dialog(page, 1, {});
    dialog.resize(400, 700);
    dialog.show();
    PagePreview *preview = dialog.preview();
    const QRectF view = QRectF(preview->rect());
    QVERIFY(view.contains(preview->cardRect()));
    QVERIFY(view.contains(preview->paperRect()));
    QVERIFY(preview->cardRect().width() > preview->paperRect().width());
    for (const Misfit &m : preview->sheet().misfits)
        QVERIFY(view.contains(QRectF(preview->toWidget(m.where.toRectF().topLeft()),
                                     preview->toWidget(m.where.toRectF().bottomRight()))));
    QCOMPARE(preview->sheet().misfits.size(), std::size_t(1));
}

void TestPrintUi::misfitListWrapsInsideTheDialog_data()
{
    QTest::addColumn<QString>("question");
    QTest::newRow("words") << QString(u"Address where you will stay in the country "_s).repeated(4);
    QTest::newRow("one long word") << QString(80, u'W');
}

// Every misfit line is read to its end inside the dialog, at a narrow size:
// nothing runs past its right edge, and nothing needs scrolling sideways.
void TestPrintUi::misfitListWrapsInsideTheDialog()
{
    QFETCH(QString, question);
    PrintTestCard card;
    card.boxes = {{0, 4200, 1270, true, u"PAST THE EDGE"_s}};
    PrintPage page = loadPage(card);
    QVERIFY(!page.items.empty());
    page.items.front().question = question;
    PrintPreviewDialog dialog(page, 1, {});
    dialog.resize(360, 600);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.width(), 360);

    auto *list = dialog.findChild<QPlainTextEdit *>(u"misfits"_s);
    QVERIFY(list);
    QVERIFY(dialog.rect().contains(QRect(list->mapTo(&dialog, QPoint(0, 0)), list->size())));
    const QStringList lines = dialog.misfitTexts();
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().contains(question.simplified()));
    const int room = list->viewport()->width();
    const QTextLayout *layout = list->document()->firstBlock().layout();
    QVERIFY(layout->lineCount() > 1);
    for (int i = 0; i < layout->lineCount(); ++i)
        QVERIFY2(layout->lineAt(i).naturalTextWidth() <= room,
                 qPrintable(u"line %1 is %2 px in %3"_s.arg(i).arg(layout->lineAt(i).naturalTextWidth()).arg(room)));
    QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
}

// One private CUPS daemon for the job tests, with a queue of each kind.
bool TestPrintUi::startCups()
{
    if (m_cups)
        return true;
    auto cups = std::make_unique<PrivateCups>();
    QString error;
    if (!cups->start(&error)) {
        qWarning("%s", qPrintable(error));
        return false;
    }
    PrivateCups::Printer laser;
    laser.pdf = false;
    laser.margin = 17.01; // 6 mm
    laser.trays = {u"Tray1"_s, u"Tray2"_s};
    PrivateCups::Printer fixed;
    fixed.customSizes = false;
    if (!cups->addQueue(u"Finisher"_s, PrivateCups::Backend::Completes)
        || !cups->addQueue(u"Jammer"_s, PrivateCups::Backend::Fails, u"Paper jam in tray 2"_s)
        || !cups->addQueue(u"Sleeper"_s, PrivateCups::Backend::Holds, u"Warming up"_s)
        || !cups->addFileQueue(u"PdfQueue"_s, {}, m_dir.filePath(u"PdfQueue.out"_s))
        || !cups->addFileQueue(u"PdfQueueB"_s, {}, m_dir.filePath(u"PdfQueueB.out"_s))
        || !cups->addFileQueue(u"Laser"_s, laser, m_dir.filePath(u"Laser.out"_s))
        || !cups->addFileQueue(u"FixedSizes"_s, fixed, m_dir.filePath(u"FixedSizes.out"_s)))
        return false;
    m_cups = std::move(cups);
    return true;
}

TestPrintUi::Tool TestPrintUi::runTool(const QStringList &args)
{
    QProcess tool;
    tool.start(qEnvironmentVariable("BORVESSA_BIN_DIR") + u"/borvessa-card"_s, args);
    if (!tool.waitForFinished(60000))
        return {};
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            QString::fromLocal8Bit(tool.readAllStandardError())};
}

void TestPrintUi::cleanupTestCase()
{
    m_cups.reset();
}

void TestPrintUi::jobsAreFollowedToTheirEnd_data()
{
    QTest::addColumn<QString>("queue");
    QTest::addColumn<bool>("printed");
    QTest::addColumn<QString>("message");

    QTest::newRow("completed") << u"Finisher"_s << true << QString();
    QTest::newRow("aborted by the printer")
        << u"Jammer"_s << false
        << u"The printer \"Jammer\" stopped the job; the card was not printed: Paper jam in tray 2."_s;
    QTest::newRow("still processing at the time limit")
        << u"Sleeper"_s << true << u"The card was handed to the printer \"Sleeper\", which has not printed it yet"_s;
}

void TestPrintUi::jobsAreFollowedToTheirEnd()
{
    QFETCH(QString, queue);
    QFETCH(bool, printed);
    QFETCH(QString, message);
    if (!PrivateCups::installed())
        QSKIP("cupsd is not installed");
    QVERIFY(startCups());
    QVERIFY2(m_cups->setDefault(queue), qPrintable(m_cups->log()));

    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"Followed"_s}};
    CardPrinter printer;
    printer.setJobWaitLimit(std::chrono::milliseconds(1500));
    QString error;
    QCOMPARE(printer.print(loadPage(card), 1, {}, &error), printed);
    const QString told = printed ? printer.lastNote() : error;
    if (message.isEmpty())
        QVERIFY2(told.isEmpty(), qPrintable(told));
    else
        QVERIFY2(told.startsWith(message), qPrintable(told + u"\n"_s + m_cups->log()));

    // The card tool tells the same, and fails when nothing was printed.
    if (queue == u"Sleeper")
        return; // it would wait its own, longer time
    const QString file = m_dir.filePath(u"followed-%1.qcf"_s.arg(queue));
    QVERIFY(card.write(file));
    const Tool tool = runTool({u"print"_s, file});
    QCOMPARE(tool.exitCode, printed ? 0 : 1);
    QCOMPARE(tool.err.trimmed(), message.isEmpty() ? QString() : file + u": "_s + message);
}

void TestPrintUi::noDefaultPrinterNamesTheInstalledOnes()
{
    if (!PrivateCups::installed())
        QSKIP("cupsd is not installed");
    QVERIFY(startCups());
    QVERIFY(m_cups->addQueue(u"Doomed"_s, PrivateCups::Backend::Completes));
    QVERIFY(m_cups->setDefault(u"Doomed"_s));
    QVERIFY(m_cups->removeQueue(u"Doomed"_s));

    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"Nowhere"_s}};
    CardPrinter printer;
    QString error;
    QVERIFY(!printer.print(loadPage(card), 1, {}, &error));
    QVERIFY2(error.startsWith(u"There is no default printer."_s), qPrintable(error));
    for (const char *name : {"Finisher", "Jammer", "Sleeper"})
        QVERIFY2(error.contains(QLatin1String(name)), qPrintable(error));
    QVERIFY(!error.contains(u"Doomed"_s));

    const QString file = m_dir.filePath(u"nodefault.qcf"_s);
    QVERIFY(card.write(file));
    const Tool tool = runTool({u"print"_s, file});
    QCOMPARE(tool.exitCode, 1);
    QCOMPARE(tool.err.trimmed(), file + u": "_s + error);
}

// What reached the queue, as a PDF file: the job itself from a PDF printer,
// the PostScript job through Ghostscript.
QString TestPrintUi::jobAsPdf(const QString &queue)
{
    const QString job = m_dir.filePath(queue + u".out"_s);
    QFile file(job);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (file.peek(5) == "%PDF-")
        return job;
    const QString pdf = job + u".pdf"_s;
    QProcess gs;
    gs.start(u"gs"_s, {u"-q"_s, u"-dSAFER"_s, u"-dBATCH"_s, u"-dNOPAUSE"_s, u"-sDEVICE=pdfwrite"_s,
                       u"-sOutputFile="_s + pdf, job});
    return gs.waitForFinished(60000) && gs.exitCode() == 0 ? pdf : QString();
}

void TestPrintUi::jobsReachTheQueueAtTheCardsSize_data()
{
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QString>("tray");
    QTest::addColumn<double>("margin"); // twips
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QSize>("paper"); // twips, portrait

    // The Canada card's paper, which no queue has as a size, and the queues'
    // A6 of 297 by 420 points.
    const QSize canada(3400, 6240);
    const QSize a6(5940, 8400);
    QTest::newRow("PDF printer") << u"PdfQueue"_s << QString() << 0.0 << false << canada;
    QTest::newRow("PDF printer, landscape card") << u"PdfQueue"_s << QString() << 0.0 << true << canada;
    QTest::newRow("PDF printer, A6 card") << u"PdfQueue"_s << QString() << 0.0 << false << a6;
    QTest::newRow("PostScript printer with 6 mm margins, second tray")
        << u"Laser"_s << u"tray-2"_s << 340.2 << false << canada;
    QTest::newRow("PostScript printer, A6 card") << u"Laser"_s << QString() << 340.2 << false << a6;
}

// The job that reaches the queue is the card's paper, unscaled: each answer
// lands where Export PDF puts it, and the page is the card's size.
void TestPrintUi::jobsReachTheQueueAtTheCardsSize()
{
    QFETCH(QString, queue);
    QFETCH(QString, tray);
    QFETCH(double, margin);
    QFETCH(bool, landscape);
    QFETCH(QSize, paper);
    if (!PrivateCups::installed() || QStandardPaths::findExecutable(u"gs"_s).isEmpty())
        QSKIP("cupsd or Ghostscript is not installed");
    QVERIFY(startCups());

    PrintTestCard card;
    card.paperWidth = paper.width();
    card.paperHeight = paper.height();
    card.margin = 135;
    card.enlarge = u"1.004"_s;
    card.orientation = landscape ? u"L"_s : u"P"_s;
    card.boxes = {{0, 1000, 1270, true, u"Near"_s}, {1, 2300, 5800, true, u"Far"_s},
                  {2, 300, 3000, true, u"Middle"_s}};
    if (landscape)
        card.boxes[1].left = card.boxes[1].top = 2300;
    const PrintPage page = loadPage(card);
    const QString reference = m_dir.filePath(queue + u"-export.pdf"_s);
    QString error;
    QVERIFY2(PdfExport::exportPdf(reference, page, 1, {}, &error), qPrintable(error));

    CardPrinter printer;
    printer.choose(queue, tray);
    QCOMPARE(printer.currentPrinter(), queue);
    const std::optional<QMarginsF> margins = printer.unprintableMargins(page);
    QVERIFY(margins);
    QVERIFY2(qAbs(margins->left() - margin) < 2 && qAbs(margins->bottom() - margin) < 2,
             qPrintable(u"left margin %1 twips"_s.arg(margins->left())));
    QVERIFY2(printer.print(page, 1, {}, &error), qPrintable(error + u"\n"_s + m_cups->log()));
    const QString job = jobAsPdf(queue);
    QVERIFY2(!job.isEmpty(), qPrintable(m_cups->log()));
    if (!tray.isEmpty()) {
        // The description's input slot for the tray reached the printer.
        QFile file(m_dir.filePath(queue + u".out"_s));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("%%BeginFeature: *InputSlot Tray2"));
    }
    const QSizeF size = PdfProbe::pageSize(job);
    QVERIFY2(qAbs(size.width() - paper.width() / 20.0) <= 0.5 && qAbs(size.height() - paper.height() / 20.0) <= 0.5,
             qPrintable(u"the job's page is %1 by %2 pt"_s.arg(size.width()).arg(size.height())));
    // Where the ink of each answer lies, on both pages rendered alike.
    constexpr int Dpi = 600;
    QImage exported = PdfProbe::render(reference, Dpi);
    const QImage printed = PdfProbe::render(job, Dpi);
    // A landscape page reaches the queue on the card's portrait paper,
    // turned a quarter counter-clockwise: its top along the paper's left.
    const double exportedWidth = exported.width() * 72.0 / Dpi;
    const auto turned = [&](const QRectF &r) {
        return landscape ? QRectF(r.top(), exportedWidth - r.right(), r.height(), r.width()) : r;
    };
    if (landscape)
        exported = exported.transformed(QTransform().rotate(-90));
    QVERIFY(!exported.isNull() && !printed.isNull());
    const QList<PdfProbe::Word> words = PdfProbe::words(reference);
    QCOMPARE(words.size(), 3);
    constexpr double Tolerance = 0.2 * 72 / 25.4; // 0.2 mm in points
    constexpr double Around = 4 * 72 / 25.4;      // the search area reaches 4 mm beyond the word
    for (const PdfProbe::Word &w : words) {
        const QRectF area = turned(QRectF(QPointF(w.xMin, w.yMin), QPointF(w.xMax, w.yMax))
                                       .adjusted(-Around, -Around, Around, Around));
        const QRectF want = PdfProbe::ink(exported, Dpi, area);
        const QRectF got = PdfProbe::ink(printed, Dpi, area);
        QVERIFY2(!want.isEmpty() && !got.isEmpty(), qPrintable(w.text + u" has no ink"_s));
        QVERIFY2(qAbs(got.left() - want.left()) <= Tolerance && qAbs(got.top() - want.top()) <= Tolerance
                     && qAbs(got.right() - want.right()) <= Tolerance
                     && qAbs(got.bottom() - want.bottom()) <= Tolerance,
                 qPrintable(u"%1's ink at (%2, %3)-(%4, %5) pt, exported at (%6, %7)-(%8, %9)"_s.arg(w.text)
                                .arg(got.left()).arg(got.top()).arg(got.right()).arg(got.bottom())
                                .arg(want.left()).arg(want.top()).arg(want.right()).arg(want.bottom())));
    }
}

void TestPrintUi::queuesThatCannotPrintAreNamed_data()
{
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("message");

    QTest::newRow("paused") << u"PdfQueue"_s << u"pause"_s
                            << u"The printer \"PdfQueue\" is paused or disabled (Out of paper); nothing was sent"_s;
    QTest::newRow("not accepting jobs") << u"PdfQueue"_s << u"reject"_s
                                        << u"The printer \"PdfQueue\" is not accepting jobs"_s;
    QTest::newRow("deleted") << u"Gone"_s << QString() << u"The printer \"Gone\" is not installed."_s;
    QTest::newRow("no such paper") << u"FixedSizes"_s << QString()
                                   << u"The printer \"FixedSizes\" cannot take the card's paper (76.2 by 127.0 mm)"_s;
    QTest::newRow("no such tray") << u"PdfQueue"_s << u"tray"_s
                                  << u"The printer \"PdfQueue\" has no tray \"Tray9\"."_s;
}

// Nothing is sent, and nothing claims success, when the queue cannot print
// the card as it is.
void TestPrintUi::queuesThatCannotPrintAreNamed()
{
    QFETCH(QString, queue);
    QFETCH(QString, state);
    QFETCH(QString, message);
    if (!PrivateCups::installed())
        QSKIP("cupsd is not installed");
    QVERIFY(startCups());
    if (queue == u"Gone"_s) {
        QVERIFY(m_cups->addQueue(queue, PrivateCups::Backend::Completes));
        QVERIFY(m_cups->removeQueue(queue));
    }
    if (state == u"pause"_s)
        QVERIFY(m_cups->pause(queue, u"Out of paper"_s));
    else if (state == u"reject"_s)
        QVERIFY(m_cups->reject(queue));
    const QString out = m_dir.filePath(queue + u".out"_s);
    QFile::remove(out);

    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"Kept"_s}};
    CardPrinter printer;
    printer.choose(queue, state == u"tray"_s ? u"Tray9"_s : QString());
    QString error;
    const bool printed = printer.print(loadPage(card), 1, {}, &error);
    if (!state.isEmpty() && state != u"tray"_s)
        QVERIFY(m_cups->resume(queue));
    QVERIFY(!printed);
    QVERIFY2(error.startsWith(message), qPrintable(error));
    QVERIFY(!QFile::exists(out));
}

// Two printers that misplace the page differently each get their own
// calibration of one card, in the user's settings: every job applies the
// calibration of the printer it goes to, exactly as the card calibrated for
// that printer alone would print, run after run, and the card file stays as
// it was.
void TestPrintUi::eachPrinterKeepsItsOwnCalibration()
{
    if (!PrivateCups::installed())
        QSKIP("cupsd is not installed");
    QVERIFY(startCups());

    PrintTestCard card;
    card.margin = 100;
    card.boxes = {{0, 1000, 1270, true, u"Alpha"_s}, {1, 2400, 6500, true, u"Omega"_s},
                  {2, 300, 3600, true, u"Middle"_s}};
    const QString cardFile = m_dir.filePath(u"twoprinters.qcf"_s);
    QVERIFY(card.write(cardFile));
    QFile original(cardFile);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();

    struct Printer
    {
        QString queue;
        double scale;
        QPointF shiftMm;
        QString reference; // the card calibrated for this printer alone, printed to PDF
    };
    QList<Printer> printers = {{u"PdfQueue"_s, 1.004, {1.5, -0.8}, {}}, {u"PdfQueueB"_s, 1.0, {-2.0, 1.1}, {}}};
    const double widthMm = card.paperWidth / 1440.0 * 25.4;
    const double heightMm = card.paperHeight / 1440.0 * 25.4;
    for (Printer &p : printers) {
        const auto lands = [&p](const QPointF &mm) { return mm * p.scale + p.shiftMm; };
        const QPointF a = lands({10, 10});
        const QPointF b = lands({widthMm - 10, heightMm - 10});
        const QString measured = u"%1,%2,%3,%4"_s.arg(a.x(), 0, 'f', 3).arg(a.y(), 0, 'f', 3)
                                     .arg(b.x(), 0, 'f', 3).arg(b.y(), 0, 'f', 3);
        const Tool kept = runTool({u"calibrate"_s, cardFile, u"--printer"_s, p.queue, u"--measured"_s, measured});
        QVERIFY2(kept.exitCode == 0, qPrintable(kept.err));

        const QString alone = m_dir.filePath(p.queue + u"-alone.qcf"_s);
        QVERIFY(card.write(alone));
        p.reference = m_dir.filePath(p.queue + u"-alone.pdf"_s);
        QCOMPARE(runTool({u"calibrate"_s, alone, u"--measured"_s, measured}).exitCode, 0);
        QCOMPARE(runTool({u"print"_s, alone, u"--pdf"_s, p.reference}).exitCode, 0);
    }
    original.seek(0);
    QCOMPARE(original.readAll(), before);

    constexpr double Tolerance = 0.2 * 72 / 25.4; // 0.2 mm in points
    for (const int which : {0, 1, 0}) {
        const Printer &p = printers.at(which);
        const QString out = m_dir.filePath(p.queue + u".out"_s);
        QFile::remove(out);
        const Tool printed = runTool({u"print"_s, cardFile, u"--printer"_s, p.queue});
        QVERIFY2(printed.exitCode == 0, qPrintable(printed.err + m_cups->log()));
        const QList<PdfProbe::Word> want = PdfProbe::words(p.reference);
        const QList<PdfProbe::Word> got = PdfProbe::words(out);
        QCOMPARE(got.size(), want.size());
        QCOMPARE(want.size(), 3);
        for (const PdfProbe::Word &w : want) {
            const PdfProbe::Word g = PdfProbe::find(got, w.text);
            QVERIFY2(qAbs(g.xMin - w.xMin) <= Tolerance && qAbs(g.yMin - w.yMin) <= Tolerance
                         && qAbs(g.xMax - w.xMax) <= Tolerance,
                     qPrintable(u"on %1, %2 at (%3, %4), calibrated alone at (%5, %6)"_s.arg(p.queue, w.text)
                                    .arg(g.xMin).arg(g.yMin).arg(w.xMin).arg(w.yMin)));
        }
    }
    // The two calibrations differ, so neither printer could pass with the other's.
    const PdfProbe::Word a = PdfProbe::find(PdfProbe::words(printers.at(0).reference), u"Omega"_s);
    const PdfProbe::Word b = PdfProbe::find(PdfProbe::words(printers.at(1).reference), u"Omega"_s);
    QVERIFY(qAbs(a.xMin - b.xMin) > 5 * Tolerance && qAbs(a.yMin - b.yMin) > 5 * Tolerance);
}

// File > Print's dialog: the installed queues with the default first, the
// trays of the chosen one, its calibration and its state; a remembered
// choice comes back for its own card only.
void TestPrintUi::printDialogOffersTheQueuesAndTheirTrays()
{
    if (!PrivateCups::installed())
        QSKIP("cupsd is not installed");
    QVERIFY(startCups());
    QVERIFY(m_cups->setDefault(u"PdfQueue"_s));
    PrintTestCard card;
    const QString cardFile = m_dir.filePath(u"Dialog.qcf"_s);
    QVERIFY(card.write(cardFile));
    QString error;
    QVERIFY(PrinterProfiles::setProfile(cardFile, u"Laser"_s, u"tray-2"_s, {120, 1.01f, -20}, &error));
    PrinterProfiles::setChoice(cardFile, {u"Laser"_s, u"tray-2"_s});
    QCOMPARE(PrinterProfiles::choice(m_dir.filePath(u"Other.qcf"_s)).printer, QString());

    PrintSetupDialog dialog(u"Dialog"_s, cardFile, loadPage(card), PrinterProfiles::choice(cardFile), 10);
    QCOMPARE(dialog.printerBox()->itemText(0), u"Default printer (PdfQueue)"_s);
    QVERIFY(dialog.printerBox()->findData(u"Jammer"_s) > 0);
    QCOMPARE(dialog.choice().printer, u"Laser"_s);
    QCOMPARE(dialog.choice().tray, u"tray-2"_s);
    QCOMPARE(dialog.copies(), 10);
    QCOMPARE(dialog.calibrationText(), u"Prints with the calibration for \"Laser\", tray tray-2."_s);
    QVERIFY(dialog.trayBox()->isEnabled());
    QCOMPARE(dialog.trayBox()->count(), 3); // the printer's choice, tray-1, tray-2

    dialog.trayBox()->setCurrentIndex(dialog.trayBox()->findData(u"tray-1"_s));
    QCOMPARE(dialog.calibrationText(),
             u"Prints with the card's own calibration: \"Laser\", tray tray-1 has none of its own."_s);
    QVERIFY(m_cups->pause(u"PdfQueueB"_s));
    dialog.printerBox()->setCurrentIndex(dialog.printerBox()->findData(u"PdfQueueB"_s));
    QVERIFY(!dialog.trayBox()->isEnabled());
    QCOMPARE(dialog.choice().tray, QString());
    QVERIFY2(dialog.problemText().startsWith(u"The printer \"PdfQueueB\" is paused or disabled"_s),
             qPrintable(dialog.problemText()));
    QVERIFY(m_cups->resume(u"PdfQueueB"_s));
    dialog.printerBox()->setCurrentIndex(0);
    QCOMPARE(dialog.choice().printer, QString());
    QCOMPARE(dialog.problemText(), QString());
}

QTEST_MAIN(TestPrintUi)
#include "tst_printui.moc"
