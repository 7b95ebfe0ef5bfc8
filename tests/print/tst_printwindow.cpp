// Printing from the card window: the confirmation, the number of copies, the
// box being edited printed at its normal place, and the answers' positions
// on the page read back from the PDF.

#include "AnswerBox.h"
#include "CardPrinter.h"
#include "Messages.h"
#include "PdfProbe.h"
#include "PrintTestCard.h"
#include "frmCanCard.h"
#include "frmDesign.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

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

private:
    void openCard(const PrintTestCard &card);
    std::unique_ptr<CardPrinter> pdfPrinter(const QString &file);

    QTemporaryDir m_dir;
    Messages::RecordingSink m_sink;
    std::unique_ptr<frmCanCard> m_form;
};

void TestPrintWindow::initTestCase()
{
    if (!PdfProbe::available())
        QSKIP("pdftotext and pdfinfo are needed (poppler-utils)");
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
    frmDesign::closeInstance();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestPrintWindow::openCard(const PrintTestCard &card)
{
    const QString path = m_dir.filePath(u"Print.qcf"_s);
    QVERIFY(card.write(path));
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
    m_form->setPrinter(printer.get());
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
    m_form->setPrinter(printer.get());
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
    m_form->setPrinter(printer.get());
    m_sink.answers = {Messages::Answer::Ok};
    m_form->mnuPrint()->trigger();
    const PdfProbe::Word w = PdfProbe::find(PdfProbe::words(pdf), u"Bravo"_s);
    QVERIFY(std::abs(w.xMin - 600 / 20.0) < 0.5);
    QVERIFY(std::abs(w.yMin - 2000 / 20.0) < 0.5);
    // Enlarged again afterwards, still focused.
    QCOMPARE(QApplication::focusWidget(), m_form->txtAddress(4));
    QCOMPARE(m_form->model().box(4).rect.height, 220.0f);
}

void TestPrintWindow::spaceOnThePrintButtonPrints()
{
    PrintTestCard card;
    card.boxes = {{0, 1000, 1270, true, u"Alpha"_s}};
    openCard(card);
    const QString pdf = m_dir.filePath(u"space.pdf"_s);
    auto printer = pdfPrinter(pdf);
    m_form->setPrinter(printer.get());
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
    QVERIFY(m_form->exportPdf(pdf));
    QCOMPARE(PdfProbe::pageCount(pdf), 5);
    const QSizeF size = PdfProbe::pageSize(pdf);
    QVERIFY(std::abs(size.width() - 360) < 0.5);  // landscape: paper height across
    QVERIFY(std::abs(size.height() - 216) < 0.5);
    QVERIFY(m_sink.messages.isEmpty()); // no confirmation for a file
}

QTEST_MAIN(TestPrintWindow)
#include "tst_printwindow.moc"
