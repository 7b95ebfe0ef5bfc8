// Printing from the card window: the confirmation, the number of copies, the
// box being edited printed at its normal place, and the answers' positions
// on the page read back from the PDF.

#include "AnswerBox.h"
#include "CardPrinter.h"
#include "CardPrinting.h"
#include "Messages.h"
#include "PdfProbe.h"
#include "Numbers.h"
#include "PrintSetupDialog.h"
#include "PrintTestCard.h"
#include "PrinterProfiles.h"
#include "TestCards.h"
#include "frmCanCard.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestPrintWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void copiesAndPositions_data();
    void copiesAndPositions();
    void cancelPrintsNothing();
    void menuPrintsTheEditedBoxAtItsNormalPlace();
    void spaceOnThePrintButtonPrints();
    void exportPdfWritesThePages();
    void misfitsAreCountedBeforePrinting();
    void exportSuggestsDocumentsAndConfirms();
    void calibrationMovesTheLayout_data();
    void calibrationMovesTheLayout();
    void refusedCalibrationChangesNothing_data();
    void refusedCalibrationChangesNothing();
    void systemPrinterFailsWithoutAPrinter();
    void printerCalibrationStaysOutOfTheCard();

private:
    void openCard(const PrintTestCard &card);
    void openCardText(const QString &text);
    std::unique_ptr<CardPrinter> pdfPrinter(const QString &file);

    QTemporaryDir m_dir;
    Messages::RecordingSink m_sink;
    std::unique_ptr<frmCanCard> m_form;
};

void TestPrintWindow::initTestCase()
{
    if (!PdfProbe::available())
        QSKIP("pdftotext and pdfinfo are needed (poppler-utils)");
    // Printer choices and calibrations are user settings: this run's own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(u"config"_s)));
    Messages::setSink(&m_sink);
}

void TestPrintWindow::init()
{
    m_sink.messages.clear();
    m_sink.answers.clear();
    m_form = std::make_unique<frmCanCard>();
}

void TestPrintWindow::cleanup()
{
    m_form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestPrintWindow::openCard(const PrintTestCard &card)
{
    openCardText(card.text());
}

void TestPrintWindow::openCardText(const QString &text)
{
    const QString path = m_dir.filePath(u"Print.qcf"_s);
    QVERIFY(TestCards::writeCard(path, text));
    QVERIFY2(m_form->LoadCard(path), qPrintable(m_form->model().lastError().message()));
    m_form->setVarCardTitle(u"Print"_s);
    m_form->resize(m_form->minimumSize());
    m_form->show();
    QApplication::setActiveWindow(m_form.get());
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

std::unique_ptr<CardPrinter> TestPrintWindow::pdfPrinter(const QString &file)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    return std::make_unique<CardPrinter>(std::move(printer));
}

void TestPrintWindow::copiesAndPositions_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("copies");
    QTest::addColumn<int>("margin");
    QTest::addColumn<QString>("enlarge");
    QTest::newRow("one copy, plain") << 0 << 1 << 0 << u"1"_s;
    QTest::newRow("five copies, enlarged") << 1 << 5 << 100 << u"1.05"_s;
    QTest::newRow("ten copies, shrunk") << 2 << 10 << 135 << u"0.9"_s;
}

void TestPrintWindow::copiesAndPositions()
{
    QFETCH(int, option);
    QFETCH(int, copies);
    QFETCH(int, margin);
    QFETCH(QString, enlarge);
    PrintTestCard card;
    card.margin = margin;
    card.enlarge = enlarge;
    card.boxes = {{0, 1000, 1270, true, u"Alpha"_s},
                  {4, 600, 2270, true, u"Bravo"_s},
                  {5, 800, 3000, false, u"Hidden"_s}};
    openCard(card);
    const QString pdf = m_dir.filePath(u"out%1.pdf"_s.arg(copies));
    auto printer = pdfPrinter(pdf);
    m_form->printing().setPrinter(printer.get());
    m_form->Option1(option)->setChecked(true);
    QCOMPARE(m_form->GetCopies(), copies);
    m_sink.answers = {Messages::Answer::Ok};
    // The click takes the focus from the first box, which is then restored.
    QTest::mouseClick(m_form->buPrint(), Qt::LeftButton);
    QCOMPARE(m_sink.messages.size(), 1);
    QCOMPARE(m_sink.messages.first().text, u"Print %1 declaration form(s)?"_s.arg(copies));
    QCOMPARE(m_sink.messages.first().title, u"Requesting Confirmation"_s);

    QCOMPARE(PdfProbe::pageCount(pdf), copies);
    const QList<PdfProbe::Word> words = PdfProbe::words(pdf);
    const double e = enlarge.toDouble();
    const struct { QString text; double left, top; } expected[] = {{u"Alpha"_s, 1000, 1270}, {u"Bravo"_s, 600, 2270}};
    for (const auto &x : expected) {
        const PdfProbe::Word w = PdfProbe::find(words, x.text);
        QVERIFY2(!w.text.isEmpty(), qPrintable(x.text));
        QVERIFY(std::abs(w.xMin - (x.left - margin) * e / 20) < 0.5);
        QVERIFY(std::abs(w.yMin - (x.top - 270) * e / 20) < 0.5);
    }
    QVERIFY(PdfProbe::find(words, u"Hidden"_s).text.isEmpty());
}

void TestPrintWindow::cancelPrintsNothing()
{
    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"Alpha"_s}};
    openCard(card);
    const QString pdf = m_dir.filePath(u"cancel.pdf"_s);
    auto printer = pdfPrinter(pdf);
    m_form->printing().setPrinter(printer.get());
    m_sink.answers = {Messages::Answer::Cancel};
    QVERIFY(!m_form->PrintCard1());
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(m_sink.messages.size(), 1);
}

void TestPrintWindow::menuPrintsTheEditedBoxAtItsNormalPlace()
{
    PrintTestCard card;
    card.boxes = {{4, 600, 2270, true, u"Bravo"_s}};
    openCard(card);
    QTest::mouseClick(m_form->txtAddress(4), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(m_form->model().box(4).rect.height, 220.0f);
    const QString pdf = m_dir.filePath(u"menu.pdf"_s);
    auto printer = pdfPrinter(pdf);
    m_form->printing().setPrinter(printer.get());
    m_sink.answers = {Messages::Answer::Ok};
    // File > Print asks for the printer first; its Print button goes on.
    QTimer::singleShot(0, this, [] {
        if (auto *dialog = qobject_cast<PrintSetupDialog *>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    m_form->mnuPrint()->trigger();
    QCOMPARE(m_sink.messages.size(), 1);
    const PdfProbe::Word w = PdfProbe::find(PdfProbe::words(pdf), u"Bravo"_s);
    QVERIFY(std::abs(w.xMin - 600 / 20.0) < 0.5);
    QVERIFY(std::abs(w.yMin - 2000 / 20.0) < 0.5);
    // Enlarged again afterwards, focused again once the window is active
    // again after the dialogs.
    QTRY_COMPARE(QApplication::focusWidget(), m_form->txtAddress(4));
    QCOMPARE(m_form->model().box(4).rect.height, 220.0f);
}

void TestPrintWindow::spaceOnThePrintButtonPrints()
{
    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"Alpha"_s}};
    openCard(card);
    const QString pdf = m_dir.filePath(u"space.pdf"_s);
    auto printer = pdfPrinter(pdf);
    m_form->printing().setPrinter(printer.get());
    m_form->buPrint()->setFocus();
    m_sink.answers = {Messages::Answer::Ok};
    QTest::keyClick(m_form->buPrint(), Qt::Key_Space);
    QCOMPARE(m_sink.messages.size(), 1);
    QCOMPARE(PdfProbe::pageCount(pdf), 1);
}

void TestPrintWindow::exportPdfWritesThePages()
{
    PrintTestCard card;
    card.orientation = u"L"_s;
    card.boxes = {{0, 1000, 1270, true, u"Alpha"_s}};
    openCard(card);
    m_form->Option1(1)->setChecked(true);
    const QString pdf = m_dir.filePath(u"export.pdf"_s);
    QVERIFY(m_form->printing().exportPdf(pdf));
    QCOMPARE(PdfProbe::pageCount(pdf), 5);
    const QSizeF size = PdfProbe::pageSize(pdf);
    QVERIFY(std::abs(size.width() - 360) < 0.5);  // landscape: paper height across
    QVERIFY(std::abs(size.height() - 216) < 0.5);
    QVERIFY(m_sink.messages.isEmpty()); // no confirmation for a file
}

void TestPrintWindow::misfitsAreCountedBeforePrinting()
{
    // Two answers print over each other and one runs off the paper.
    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"1984"_s}, {1, 1150, 1270, true, u"07"_s},
                  {2, 4000, 2270, true, u"ALBERTA"_s}};
    openCard(card);
    const QString pdf = m_dir.filePath(u"misfits.pdf"_s);
    auto printer = pdfPrinter(pdf);
    m_form->printing().setPrinter(printer.get());
    m_sink.answers = {Messages::Answer::Cancel};
    QVERIFY(!m_form->PrintCard1());
    QCOMPARE(m_sink.messages.size(), 1);
    QCOMPARE(m_sink.messages.first().text,
             u"Print 1 declaration form(s)?\n\n2 answer(s) will not print inside their fields; Print Preview shows which."_s);
}

void TestPrintWindow::exportSuggestsDocumentsAndConfirms()
{
    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"Alpha"_s}};
    openCard(card);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QCOMPARE(m_form->printing().suggestedPdfPath(), QDir(documents).filePath(u"Print.pdf"_s));
    QSignalSpy status(m_form.get(), &frmCanCard::statusMessage);
    const QString pdf = m_dir.filePath(u"confirmed.pdf"_s);
    QVERIFY(m_form->printing().exportPdf(pdf));
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.first().first().toString(), u"Exported confirmed.pdf"_s);
    // The alignment page goes to a PDF too: one page, with the outlines.
    const QString alignment = m_dir.filePath(u"alignment.pdf"_s);
    QVERIFY(m_form->printing().exportPdf(alignment, true));
    QCOMPARE(PdfProbe::pageCount(alignment), 1);
    QVERIFY(!PdfProbe::find(PdfProbe::words(alignment), u"Alpha"_s).text.isEmpty());
}

void TestPrintWindow::calibrationMovesTheLayout_data()
{
    QTest::addColumn<bool>("designMode");
    QTest::newRow("normal mode: the current bank only") << false;
    QTest::newRow("design mode: both banks") << true;
}

void TestPrintWindow::calibrationMovesTheLayout()
{
    QFETCH(bool, designMode);
    PrintTestCard card;
    card.margin = 0;
    card.boxes = {{0, 1000, 1270, true, u"Alpha"_s}};
    QString text = card.text();
    text = TestCards::withLine(text, 552, u"LeftPrintMargin:0"_s);
    text = TestCards::withLine(text, 553, u"EnlargeFactor:1"_s);
    if (designMode)
        text = TestCards::withLine(text, 25, u"DesignMode,True"_s);
    openCardText(text);
    const TwipRect picture = m_form->model().picture();
    const TwipRect box0 = m_form->model().box(0).rect;
    const TwipRect box45 = m_form->model().box(45).rect;

    // A printer that prints 1 mm right and 2 mm low at scale 1 on the
    // 4320 by 7200 twip paper (76.2 by 127 mm).
    m_sink.answers = {Messages::Answer::Ok};
    QVERIFY(m_form->printing().applyCalibration({u"11"_s, u"12"_s, u"67.2"_s, u"119"_s}, true));
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY(m_sink.messages.first().text.contains(u"Printer offset: 1.00 mm right, 2.00 mm down"_s));
    // margin = picture left + 1 mm; the picture goes to 270 - 2 mm.
    const Card &c = *m_form->model().clsCard();
    QCOMPARE(int(c.varLeftPrintMargin()), int(std::round(picture.left + 1440 / 25.4)));
    QCOMPARE(c.varEnlarge(), 1.0f);
    const float down = std::round(270 - 2 * 1440 / 25.4 - picture.top);
    QCOMPARE(m_form->model().picture().top, picture.top + down);
    QCOMPARE(m_form->model().box(0).rect.top, box0.top + down);
    QCOMPARE(m_form->model().box(45).rect, box45); // boxes 40 and up stay

    QVERIFY(m_form->SaveCard());
    Card saved;
    QVERIFY(saved.LoadCard(m_dir.filePath(u"Print.qcf"_s)));
    const QStringList lines = saved.CardStr().split(u"\r\n"_s);
    QCOMPARE(lines.value(551), u"LeftPrintMargin:%1"_s.arg(c.varLeftPrintMargin()));
    QCOMPARE(lines.value(552), u"EnlargeFactor:1"_s);
    // Saved at rest: box 0 lies at 1270 on the card.
    QCOMPARE(lines.value(150).section(u',', 4, 4), Numbers::formatSingle(1270 + down));
    const QString installed = lines.value(50).section(u',', 4, 4);
    QCOMPARE(installed, designMode ? Numbers::formatSingle(1270 + down) : TestCards::lineOf(text, 51).section(u',', 4, 4));
}

void TestPrintWindow::refusedCalibrationChangesNothing_data()
{
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<bool>("confirm"); // the solution is shown and cancelled
    QTest::newRow("not a number") << QStringList{u"11"_s, u"twelve"_s, u"67.2"_s, u"119"_s} << false;
    QTest::newRow("off the paper") << QStringList{u"11"_s, u"12"_s, u"80"_s, u"119"_s} << false;
    QTest::newRow("scale outside 0.9 to 1.1") << QStringList{u"10"_s, u"10"_s, u"75"_s, u"126.5"_s} << false;
    QTest::newRow("cancelled") << QStringList{u"11"_s, u"12"_s, u"67.2"_s, u"119"_s} << true;
}

void TestPrintWindow::refusedCalibrationChangesNothing()
{
    QFETCH(QStringList, numbers);
    QFETCH(bool, confirm);
    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"Alpha"_s}};
    openCard(card);
    const QString before = m_form->model().clsCard()->CardStr();
    const auto boxes = m_form->model().boxes();
    const TwipRect picture = m_form->model().picture();
    m_sink.answers = {Messages::Answer::Cancel};
    QVERIFY(!m_form->printing().applyCalibration(numbers, true));
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY2(m_sink.messages.first().text.startsWith(u"The calibration was not applied."_s) == !confirm,
             qPrintable(m_sink.messages.first().text));
    QCOMPARE(m_form->model().clsCard()->CardStr(), before);
    QVERIFY(m_form->model().boxes() == boxes);
    QCOMPARE(m_form->model().picture(), picture);
}

// The window's own printer is the system's: on a machine without a printer it
// fails as the printer itself does, after the confirmation.
void TestPrintWindow::systemPrinterFailsWithoutAPrinter()
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("this system has a default printer; the test never prints on paper");
    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"Alpha"_s}};
    openCard(card);
    m_sink.answers = {Messages::Answer::Ok};
    QVERIFY(!m_form->PrintCard1());
    QCOMPARE(m_sink.messages.size(), 2);
    QCOMPARE(m_sink.messages.at(0).text, u"Print 1 declaration form(s)?"_s);
    QVERIFY2(m_sink.messages.at(1).text.startsWith(u"The card was not printed.\n\nNo printer is installed."_s),
             qPrintable(m_sink.messages.at(1).text));
}

// Calibrating for the card's printer keeps the calibration in the user's
// settings: the card and its layout stay as they are, and what is printed on
// that printer, and only there, follows it.
void TestPrintWindow::printerCalibrationStaysOutOfTheCard()
{
    PrintTestCard card;
    card.margin = 0;
    card.boxes = {{0, 1000, 1270, true, u"Alpha"_s}};
    openCard(card);
    const QString pdf = m_dir.filePath(u"calibrated-printer.pdf"_s);
    auto printer = pdfPrinter(pdf);
    m_form->printing().setPrinter(printer.get());
    const QString before = m_form->model().clsCard()->CardStr();
    const TwipRect picture = m_form->model().picture();
    QCOMPARE(m_form->printing().calibrationText(),
             u"Prints with the card's own calibration: \"%1\" has none of its own."_s.arg(pdf));

    // A printer that prints 1 mm right and 2 mm low at scale 1.
    m_sink.answers = {Messages::Answer::Ok};
    QVERIFY(m_form->printing().applyCalibration({u"11"_s, u"12"_s, u"67.2"_s, u"119"_s}));
    QVERIFY2(m_sink.messages.first().text.contains(u"on the printer \"%1\""_s.arg(pdf)),
             qPrintable(m_sink.messages.first().text));
    QCOMPARE(m_form->model().clsCard()->CardStr(), before);
    QCOMPARE(m_form->model().picture(), picture);
    QVERIFY(!m_form->model().isModified());
    QCOMPARE(m_form->printing().calibrationText(), u"Prints with the calibration for \"%1\"."_s.arg(pdf));

    const float margin = std::round(picture.left + 1440 / 25.4f);
    const float down = std::round(270 - 2 * 1440 / 25.4f - picture.top);
    m_sink.answers = {Messages::Answer::Ok};
    QVERIFY(m_form->PrintCard1());
    PdfProbe::Word w = PdfProbe::find(PdfProbe::words(pdf), u"Alpha"_s);
    QVERIFY2(std::abs(w.xMin - (1000 - margin) / 20) < 0.5 && std::abs(w.yMin - (1270 + down - 270) / 20) < 0.5,
             qPrintable(u"at (%1, %2)"_s.arg(w.xMin).arg(w.yMin)));

    // Another printer, and Export PDF, print with the card's own settings.
    const QString other = m_dir.filePath(u"other-printer.pdf"_s);
    auto second = pdfPrinter(other);
    m_form->printing().setPrinter(second.get());
    m_sink.answers = {Messages::Answer::Ok};
    QVERIFY(m_form->PrintCard1());
    w = PdfProbe::find(PdfProbe::words(other), u"Alpha"_s);
    QVERIFY2(std::abs(w.xMin - 50) < 0.5 && std::abs(w.yMin - 50) < 0.5,
             qPrintable(u"at (%1, %2)"_s.arg(w.xMin).arg(w.yMin)));
    const QString exported = m_dir.filePath(u"exported.pdf"_s);
    QVERIFY(m_form->printing().exportPdf(exported));
    w = PdfProbe::find(PdfProbe::words(exported), u"Alpha"_s);
    QVERIFY(std::abs(w.xMin - 50) < 0.5 && std::abs(w.yMin - 50) < 0.5);
}

QTEST_MAIN(TestPrintWindow)
#include "tst_printwindow.moc"
