// The main window: the card chooser, opening and closing cards, its size in
// twips, unsaved answers, saving from the window and the reset.

#include "AnswerBox.h"
#include "CardFileEnvelope.h"
#include "CardPicture.h"
#include "DeferredIconStyle.h"
#include "CardLayouts.h"
#include "Cp1252.h"
#include "MDIForm1.h"
#include "MessageBoxSink.h"
#include "PictureFile.h"
#include "ScreenFit.h"
#include "SpinArrows.h"
#include "Messages.h"
#include "TestCards.h"
#include "WindowSettings.h"
#include "frmCanCard.h"
#include "frmDesign.h"
#include "frmMoreCards.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QListView>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using namespace TestCards;

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void chooserListsTheCardFiles();
    void noCardFilesLeavesNewCardOnly();
    void openingACardLaysTheWindowOut();
    void closingReturnsToTheWelcomeState();
    void welcomeWindowIsNotZoomed_data();
    void welcomePanelShowsNameAndAddress();
    void welcomeWindowIsNotZoomed();
    void missingPictureOrBadCardKeepsTheState_data();
    void missingPictureOrBadCardKeepsTheState();
    void undecryptableCardGetsOneMessage_data();
    void undecryptableCardGetsOneMessage();
    void damagedPictureGetsANoticeAndTheCardOpens_data();
    void damagedPictureGetsANoticeAndTheCardOpens();
    void pictureIsDecodedOncePerModification();
    void pictureReadsAsQtReadsIt_data();
    void pictureReadsAsQtReadsIt();
    void typeSaveCloseReopen();
    void refusedCharacterLeavesTheTypingGoing();
    void typingGoesOnAfterAZoom_data();
    void typingGoesOnAfterAZoom();
    void cardsOpenWithoutAWritableDataFolder();
    void unsavedAnswersAreAskedFor_data();
    void unsavedAnswersAreAskedFor();
    void bothSaveEntriesWriteTheSameFile();
    void pictureArrowsAtTheTwipEdgeAreRefused_data();
    void pictureArrowsAtTheTwipEdgeAreRefused();
    void resetAsksAndKeepsSavedAnswers();
    void designModeCardShowsItsSwitch();
    void clicksOutsideTheControlsKeepTheFocus_data();
    void clicksOutsideTheControlsKeepTheFocus();
    void resetFocusesTheFirstBox();
    void designWindowCommandsPersist();
    void designWindowClosesWithItsCard();
    void helpMessages();
    void frameIsFittedToTheAvailableArea_data();
    void frameIsFittedToTheAvailableArea();
    void rememberedPlaceThatNoLongerFitsIsMended_data();
    void rememberedPlaceThatNoLongerFitsIsMended();
    void windowFitsTheScreen_data();
    void windowFitsTheScreen();
    void zoomIsRememberedOnExit_data();
    void zoomIsRememberedOnExit();
    void placeIsRememberedNotSize();
    void cardNamesFromFileNames_data();
    void cardNamesFromFileNames();
    void manyCardsLeaveTheMenuOnScreen();
    void deferredIconsDrawAsTheStyleDoes_data();
    void deferredIconsDrawAsTheStyleDoes();

private:
    void copyCard(const CardLayout &layout, const QString &text = {});
    MDIForm1 *window();
    QString decrypted(const QString &name) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MDIForm1> m_window;
    Messages::RecordingSink m_sink;
};

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_sink.messages.clear();
    m_sink.answers.clear();
    Messages::setSink(&m_sink);
}

void TestMainWindow::cleanup()
{
    if (m_window) {
        // Leave without questions.
        if (m_window->cardWindow())
            m_window->cardWindow()->model().setModified(false);
        m_window->close();
    }
    m_window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Messages::setSink(nullptr);
}

void TestMainWindow::copyCard(const CardLayout &layout, const QString &text)
{
    QVERIFY(writeCard(m_dir->filePath(layout.name + u".qcf"_s), text.isEmpty() ? installedText(layout) : text));
    const QString picture = qEnvironmentVariable("BORVESSA_SOURCE_DIR") + u"/cards/"_s + layout.pictureFile;
    QVERIFY(QFile::copy(picture, m_dir->filePath(layout.pictureFile)));
}

MDIForm1 *TestMainWindow::window()
{
    if (!m_window) {
        m_window = std::make_unique<MDIForm1>(m_dir->path());
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        if (!QTest::qWaitForWindowActive(m_window.get()))
            qWarning("main window not active");
    }
    return m_window.get();
}

QString TestMainWindow::decrypted(const QString &name) const
{
    QByteArray bytes;
    QString reason;
    CardFileEnvelope::readCardFile(m_dir->filePath(name), &bytes, &reason);
    return Cp1252::decode(bytes);
}

void TestMainWindow::chooserListsTheCardFiles()
{
    copyCard(CardLayouts::us());
    copyCard(CardLayouts::canada());
    QVERIFY(writeCard(m_dir->filePath(u"Canada.qcfd"_s), installedText(CardLayouts::canada())));
    QVERIFY(writeCard(m_dir->filePath(u"x.qcf"_s), installedText(CardLayouts::canada())));
    const QList<QAction *> slotActions = window()->mnuCustCard();
    QStringList captions;
    for (QAction *a : slotActions) {
        if (a->isVisible())
            captions << a->text();
    }
    QCOMPARE(captions, (QStringList{u"Canada"_s, u"US"_s, u"x"_s}));
    QVERIFY(!window()->mnuCanCard()->isVisible());
    QVERIFY(!window()->mnuUS()->isVisible());
    QVERIFY(!window()->mnuCanBlueSetup()->isVisible());
    QCOMPARE(window()->windowTitle(), u"Borvessa"_s);
}

void TestMainWindow::noCardFilesLeavesNewCardOnly()
{
    QVERIFY(window()->mnuCustCard().isEmpty());
    QVERIFY(window()->mnuNewCard()->isVisible());
    QCOMPARE(window()->heightTwips(), 3324);
    QCOMPARE(window()->widthTwips(), 3744);
    QVERIFY(window()->picCards()->isVisible());
}

void TestMainWindow::openingACardLaysTheWindowOut()
{
    copyCard(CardLayouts::canada());
    QVERIFY(window()->mnuCustCard_Click(1));
    frmCanCard *card = window()->cardWindow();
    QVERIFY(card);
    QCOMPARE(card->varCardTitle(), u"Canada"_s);
    QCOMPARE(card->model().clsCard()->varCardTitle(), u"Canada"_s);
    QCOMPARE(card->model().pictureTag(), u"Canada"_s);
    QVERIFY(!card->imgCCCard()->image().isNull());
    QVERIFY(!window()->picCards()->isVisible());
    // The card window's menus stand in the menu bar.
    QStringList bar;
    for (QAction *a : window()->menuBar()->actions())
        bar << a->text();
    QCOMPARE(bar, (QStringList{u"&File"_s, u"&Edit"_s, u"&View"_s, u"&People"_s, u"Help"_s}));
    // Panel 300 twips right of the picture; height from the lower of picture and panel.
    const TwipRect pic = card->model().picture();
    QCOMPARE(card->fra1Rect().left, pic.right() + 300);
    QCOMPARE(card->fraControlRect().left, card->fra1Rect().left);
    const int bottom = std::max(qRound(pic.bottom()), qRound(card->fraControlRect().bottom()));
    QCOMPARE(window()->heightTwips(), bottom + 1000);
    QCOMPARE(window()->widthTwips(), qRound(pic.width + 300 + card->fra1Rect().width + 600));
    QVERIFY(window()->windowTitle().startsWith(u"Canada"_s));
    // Design controls stay hidden for a card in normal mode.
    QVERIFY(!card->buDesignToggle()->isVisible());
    QVERIFY(!card->buReset()->isVisible());
    QVERIFY(!card->mnuReset()->isVisible());
    QVERIFY(!card->mnuSave(2)->isVisible());
}

void TestMainWindow::closingReturnsToTheWelcomeState()
{
    copyCard(CardLayouts::canada());
    QVERIFY(window()->mnuCustCard_Click(1));
    window()->cardWindow()->mnuClose()->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!window()->cardWindow());
    QCOMPARE(window()->heightTwips(), 3324);
    QCOMPARE(window()->widthTwips(), 3744);
    QVERIFY(window()->picCards()->isVisible());
    QStringList bar;
    for (QAction *a : window()->menuBar()->actions())
        bar << a->text();
    QCOMPARE(bar, (QStringList{u"&File"_s, u"&CustomCard"_s, u"About"_s}));
}

void TestMainWindow::welcomeWindowIsNotZoomed_data()
{
    QTest::addColumn<double>("zoom");
    QTest::newRow("2x") << 2.0;
    QTest::newRow("3x") << 3.0;
    QTest::newRow("4x") << 4.0;
}

void TestMainWindow::welcomeWindowIsNotZoomed()
{
    // The welcome panel does not scale with the card zoom, so neither does
    // its window: at any zoom, and after a card opened at that zoom closes,
    // it is as large as at 1:1.
    QFETCH(double, zoom);
    copyCard(CardLayouts::canada());
    window()->setZoom(1.0);
    const QSize unzoomed = window()->size();
    const int dpi = window()->logicalDpiX();
    QVERIFY(unzoomed.width() >= qRound(3744 * dpi / 1440.0));
    QVERIFY(unzoomed.height() >= qRound(3324 * dpi / 1440.0));

    window()->setZoom(zoom);
    QCOMPARE(window()->size(), unzoomed);
    QVERIFY(window()->mnuCustCard_Click(1));
    QVERIFY(window()->size() != unzoomed);
    window()->cardWindow()->mnuClose()->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!window()->cardWindow());
    QCOMPARE(window()->size(), unzoomed);
    QCOMPARE(window()->widthTwips(), 3744);
}

namespace {

// The rows and columns of image that hold anything but its corner's colour.
QRect inkBounds(const QImage &image)
{
    const QRgb background = image.pixel(0, 0);
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

} // namespace

void TestMainWindow::welcomePanelShowsNameAndAddress()
{
    QLabel *name = nullptr;
    QLabel *address = nullptr;
    for (QLabel *label : window()->picCards()->findChildren<QLabel *>()) {
        if (label->text() == u"Borvessa"_s)
            name = label;
        else if (label->text().startsWith(u"https://"_s))
            address = label;
    }
    QVERIFY(name);
    QVERIFY(address);
    QVERIFY(name->isVisible());
    QVERIFY(address->isVisible());
    QCOMPARE(address->textFormat(), Qt::PlainText);

    // The name is drawn whole, centred, at twice the size of the same text in
    // the window's font.
    QLabel plain(u"Borvessa"_s);
    plain.setFont(name->font());
    plain.adjustSize();
    const QRect big = inkBounds(name->grab().toImage());
    const QRect small = inkBounds(plain.grab().toImage());
    QVERIFY(!big.isEmpty() && !small.isEmpty());
    QVERIFY2(std::abs(big.height() - 2 * small.height()) <= 2,
             qPrintable(u"%1 against %2 pixels high"_s.arg(big.height()).arg(small.height())));
    QVERIFY2(std::abs(big.width() - 2 * small.width()) <= 3,
             qPrintable(u"%1 against %2 pixels wide"_s.arg(big.width()).arg(small.width())));
    QVERIFY(big.left() > 0 && big.top() > 0);
    QVERIFY(big.right() < name->width() - 1 && big.bottom() < name->height() - 1);
    QVERIFY(std::abs(big.center().x() - name->width() / 2) <= 2);
}

void TestMainWindow::missingPictureOrBadCardKeepsTheState_data()
{
    QTest::addColumn<bool>("cardOpen");
    QTest::addColumn<bool>("brokenCard");
    QTest::addColumn<bool>("missingPicture");
    QTest::newRow("picture missing, welcome") << false << false << true;
    QTest::newRow("bad card, welcome") << false << true << false;
    QTest::newRow("both, welcome") << false << true << true;
    QTest::newRow("picture missing, card open") << true << false << true;
    QTest::newRow("bad card, card open") << true << true << false;
    QTest::newRow("both, card open") << true << true << true;
}

void TestMainWindow::missingPictureOrBadCardKeepsTheState()
{
    // The picture decodes while the card loads; whichever fails, nothing
    // changes, and a missing picture is the one reported.
    QFETCH(bool, cardOpen);
    QFETCH(bool, brokenCard);
    QFETCH(bool, missingPicture);
    copyCard(CardLayouts::canada());
    const CardLayout &badLayout = CardLayouts::us();
    const QString text = installedText(badLayout);
    copyCard(badLayout, brokenCard ? withLine(text, 28, u"PaperHt:none"_s) : text);
    if (missingPicture)
        QVERIFY(QFile::remove(m_dir->filePath(u"US.gif"_s)));
    if (cardOpen)
        QVERIFY(window()->openCard(u"Canada"_s));
    QVERIFY(!window()->openCard(u"US"_s));
    QCOMPARE(m_sink.messages.size(), 1);
    const QString expectedFile = missingPicture ? u"US.gif"_s : u"US.qcf"_s;
    QVERIFY2(m_sink.messages.first().text.contains(expectedFile), qPrintable(m_sink.messages.first().text));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (cardOpen) {
        QVERIFY(window()->cardWindow());
        QCOMPARE(window()->cardWindow()->varCardTitle(), u"Canada"_s);
        QVERIFY(window()->cardWindow()->model().CardNam().endsWith(u"Canada.qcf"_s));
        QCOMPARE(window()->windowTitle(), u"Canada[*] - Borvessa"_s);
    } else {
        QVERIFY(!window()->cardWindow());
        QVERIFY(window()->picCards()->isVisible());
        QCOMPARE(window()->windowTitle(), u"Borvessa"_s);
    }
}

// Opening, answering and saving write only the card file: no key container
// appears in the data folder, which here cannot even be created.
void TestMainWindow::refusedCharacterLeavesTheTypingGoing()
{
    // With the real message boxes: a modal notice would take the letters
    // typed after it.
    MessageBoxSink boxes;
    Messages::ScopedSink scoped(&boxes);
    copyCard(CardLayouts::canada());
    QVERIFY(window()->openCard(u"Canada"_s));
    frmCanCard *card = window()->cardWindow();
    QTest::mouseClick(card->txtAddress(4), Qt::LeftButton, {}, QPoint(2, 2));
    int modal = 0;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&modal] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            ++modal;
            w->close();
        }
    });
    closer.start(20);
    for (const QChar c : u"WA\u0141\u0118SA"_s) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QWidget *to = QApplication::focusWidget();
        QVERIFY(to);
        QApplication::sendEvent(to, &press);
    }
    QCOMPARE(modal, 0);
    QCOMPARE(QApplication::focusWidget(), card->txtAddress(4));
    QCOMPARE(card->model().box(4).text, u"WASA"_s);
    QCOMPARE(window()->statusBar()->currentMessage(),
             u"The character \"\u0118\" cannot be stored on a card and was left out."_s);
}

void TestMainWindow::typingGoesOnAfterAZoom_data()
{
    QTest::addColumn<bool>("keyboard");
    QTest::addColumn<int>("item");
    QTest::newRow("View menu by Alt+V, Zoom In") << true << int(Qt::Key_I);
    QTest::newRow("View menu by Alt+V, Zoom Out") << true << int(Qt::Key_O);
    QTest::newRow("View menu by the mouse, Zoom In") << false << 0;
}

void TestMainWindow::typingGoesOnAfterAZoom()
{
    QFETCH(bool, keyboard);
    QFETCH(int, item);
    copyCard(CardLayouts::canada());
    QVERIFY(window()->openCard(u"Canada"_s));
    frmCanCard *card = window()->cardWindow();
    AnswerBox *box = card->txtAddress(9);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::keyClicks(box, u"AIR"_s);
    const double before = card->zoom();
    const QRect edited = box->geometry();
    if (keyboard) {
        QTest::keyClick(window(), Qt::Key_V, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key(item));
    } else {
        QMenu *view = card->menus().at(2);
        QTest::mouseClick(window()->menuBar(), Qt::LeftButton, {},
                          window()->menuBar()->actionGeometry(view->menuAction()).center());
        QTRY_VERIFY(view->isVisible());
        QAction *zoomIn = view->actions().first();
        QTest::mouseClick(view, Qt::LeftButton, {}, view->actionGeometry(zoomIn).center());
    }
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QVERIFY(card->zoom() != before);
    QCOMPARE(QApplication::focusWidget(), box);
    // Still in its edit configuration, at the new scale.
    QCOMPARE(card->model().editedBox(), 9);
    QVERIFY(std::abs(box->geometry().width() - edited.width() * card->zoom() / before) <= 1.0);
    QTest::keyClicks(QApplication::focusWidget(), u"LINE"_s);
    QCOMPARE(card->model().box(9).text, u"AIRLINE"_s);
}

void TestMainWindow::cardsOpenWithoutAWritableDataFolder()
{
    copyCard(CardLayouts::us());
    QFile blocker(m_dir->filePath(u"blocker"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", previous); });
    qputenv("XDG_DATA_HOME", QFile::encodeName(blocker.fileName() + u"/data"_s));

    QVERIFY(window()->openCard(u"US"_s));
    frmCanCard *card = window()->cardWindow();
    card->txtAddress(4)->setFocus();
    QTest::keyClicks(card->txtAddress(4), u"Okafor"_s);
    QTest::keySequence(card, QKeySequence::Save);
    QVERIFY2(m_sink.messages.isEmpty(), qPrintable(m_sink.texts().join(u'\n')));
    QVERIFY(!card->model().isModified());
    QCOMPARE(lineOf(decrypted(u"US.qcf"_s), 351 + 4), u"4,FamilyName,Okafor"_s);
}

void TestMainWindow::undecryptableCardGetsOneMessage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not a card") << QByteArray("This is a letter, not a card file at all.\r\n")
                                << u"is not a Borvessa card, or it is damaged"_s;
    // Under the card key, with one byte of the digest changed.
    QTest::newRow("corrupted") << QByteArray() << u"has been corrupted since original encryption"_s;
}

void TestMainWindow::undecryptableCardGetsOneMessage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    copyCard(CardLayouts::us());
    const QString file = m_dir->filePath(u"US.qcf"_s);
    if (bytes.isEmpty()) {
        QVERIFY(CardFileEnvelope::encrypt(QByteArray(40, 't'), &bytes, nullptr));
        bytes[8] = char(bytes[8] ^ 0x01);
    }
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(out.write(bytes), bytes.size());
    out.close();

    QVERIFY(!window()->openCard(u"US"_s));
    QCOMPARE(m_sink.texts().size(), 1);
    const QString text = m_sink.texts().first();
    QVERIFY2(text.startsWith(u"The card cannot be opened.\n\n"_s) && text.contains(u"US.qcf"_s)
                 && text.contains(reason),
             qPrintable(text));
}

void TestMainWindow::damagedPictureGetsANoticeAndTheCardOpens_data()
{
    QTest::addColumn<int>("keep"); // bytes of the picture kept; 0 = all
    QTest::addColumn<bool>("notice");
    QTest::newRow("whole picture") << 0 << false;
    QTest::newRow("cut in its image data") << 3000 << true;
    QTest::newRow("cut after its colour table") << 800 << true;
}

void TestMainWindow::damagedPictureGetsANoticeAndTheCardOpens()
{
    QFETCH(int, keep);
    QFETCH(bool, notice);
    copyCard(CardLayouts::canada());
    if (keep > 0) {
        QFile gif(m_dir->filePath(u"Canada.gif"_s));
        QVERIFY(gif.open(QIODevice::ReadWrite));
        QVERIFY(gif.size() > keep);
        QVERIFY(gif.resize(keep));
    }
    QVERIFY(window()->openCard(u"Canada"_s));
    QVERIFY(window()->cardWindow());
    QCOMPARE(window()->cardWindow()->varCardTitle(), u"Canada"_s);
    QCOMPARE(m_sink.messages.size(), notice ? 1 : 0);
    if (notice)
        QVERIFY2(m_sink.messages.first().text.contains(QDir::toNativeSeparators(m_dir->filePath(u"Canada.gif"_s))),
                 qPrintable(m_sink.messages.first().text));
}

void TestMainWindow::pictureIsDecodedOncePerModification()
{
    copyCard(CardLayouts::canada());
    const QString path = m_dir->filePath(u"Canada.gif"_s);
    const PictureFile::Result first = PictureFile::read(path);
    QVERIFY(!first.image.isNull());
    // Read again (a reopen, the preview): the same decoded picture.
    QCOMPARE(PictureFile::read(path).image.cacheKey(), first.image.cacheKey());

    // Another picture under the same name, with a later modification time.
    const QString other = qEnvironmentVariable("BORVESSA_SOURCE_DIR") + u"/cards/"_s + CardLayouts::us().pictureFile;
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::copy(other, path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QFileInfo(other).lastModified().addSecs(60), QFileDevice::FileModificationTime));
    file.close();
    const PictureFile::Result second = PictureFile::read(path);
    QVERIFY(second.image.cacheKey() != first.image.cacheKey());
    QCOMPARE(second.image.size(), QImage(other).size());
}

void TestMainWindow::pictureReadsAsQtReadsIt_data()
{
    QTest::addColumn<QString>("file");
    for (const CardLayout *layout : {&CardLayouts::canada(), &CardLayouts::us(), &CardLayouts::canadaBlue()})
        QTest::newRow(qPrintable(layout->pictureFile)) << layout->pictureFile;
}

void TestMainWindow::pictureReadsAsQtReadsIt()
{
    // Complete GIFs are decoded by the completeness check itself; the
    // picture must be the one Qt's own reader gives.
    QFETCH(QString, file);
    const QString path = qEnvironmentVariable("BORVESSA_SOURCE_DIR") + u"/cards/"_s + file;
    PictureFile::clearCache();
    const PictureFile::Result read = PictureFile::read(path);
    QVERIFY(read.error.isEmpty() && read.notice.isEmpty());
    const QImage qt(path);
    QVERIFY(!qt.isNull());
    QCOMPARE(read.image.size(), qt.size());
    QCOMPARE(read.image.convertToFormat(QImage::Format_RGB32), qt.convertToFormat(QImage::Format_RGB32));
}

void TestMainWindow::typeSaveCloseReopen()
{
    copyCard(CardLayouts::us());
    QVERIFY(window()->openCard(u"US"_s));
    frmCanCard *card = window()->cardWindow();
    AnswerBox *family = card->txtAddress(4);
    QTest::mouseClick(family, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::keyClicks(family, u"Lindqvist"_s);
    QTest::keyClick(family, Qt::Key_Return);
    QTest::keyClicks(card->txtAddress(1), u"Maja, Elin"_s);
    QVERIFY(window()->windowTitle().contains(u"[*]"_s) || window()->isWindowModified());
    QTest::keySequence(card, QKeySequence::Save);
    QVERIFY(!card->model().isModified());
    // The box keeps the focus and its edit configuration after saving.
    QCOMPARE(QApplication::focusWidget(), card->txtAddress(1));
    QCOMPARE(card->model().box(1).rect.height, 220.0f);
    const QString saved = decrypted(u"US.qcf"_s);
    QCOMPARE(lineOf(saved, 351 + 4), u"4,FamilyName,Lindqvist"_s);
    QCOMPARE(lineOf(saved, 351 + 1), u"1,GivenName,Maja, Elin"_s);
    QCOMPARE(lineOf(saved, 24), u"UseDefaultSettings,False"_s);
    // The box that had the focus is saved at its normal place and height.
    QCOMPARE(lineOf(saved, 151 + 1), u"1,GivenName,105,510,1770,1155,16777215,Small Fonts,3,True,1"_s);

    QVERIFY(window()->closeCard());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_sink.messages.isEmpty());
    QVERIFY(window()->openCard(u"US"_s));
    QCOMPARE(window()->cardWindow()->txtAddress(4)->text(), u"Lindqvist"_s);
    QCOMPARE(window()->cardWindow()->txtAddress(1)->text(), u"Maja, Elin"_s);
}

void TestMainWindow::unsavedAnswersAreAskedFor_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");
    QTest::newRow("cancel") << int(Messages::Answer::Cancel) << false << false;
    QTest::newRow("discard") << int(Messages::Answer::Discard) << true << false;
    QTest::newRow("save") << int(Messages::Answer::Save) << true << true;
}

void TestMainWindow::unsavedAnswersAreAskedFor()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(bool, saved);
    copyCard(CardLayouts::canada());
    QVERIFY(window()->openCard(u"Canada"_s));
    frmCanCard *card = window()->cardWindow();
    QTest::mouseClick(card->txtAddress(13), Qt::LeftButton, {}, QPoint(2, 2));
    QTest::keyClicks(card->txtAddress(13), u"B3H 1Z4"_s);
    m_sink.answers = {Messages::Answer(answer)};
    QCOMPARE(window()->closeCard(), closed);
    QCOMPARE(m_sink.messages.size(), 1);
    QCOMPARE(m_sink.messages.first().text, u"Save changes to Canada?"_s);
    QCOMPARE(m_sink.messages.first().buttons, Messages::Buttons::SaveDiscardCancel);
    QCOMPARE(lineOf(decrypted(u"Canada.qcf"_s), 351 + 13) == u"13,PostalCode,B3H 1Z4"_s, saved);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(window()->cardWindow() != nullptr, !closed);
}

void TestMainWindow::bothSaveEntriesWriteTheSameFile()
{
    copyCard(CardLayouts::canada());
    QVERIFY(window()->openCard(u"Canada"_s));
    frmCanCard *card = window()->cardWindow();
    card->model().setBoxText(4, u"Okafor, Ada"_s);
    card->mnuSave(1)->trigger();
    const QByteArray first = fileBytes(m_dir->filePath(u"Canada.qcf"_s));
    card->mnuSave(2)->trigger();
    QCOMPARE(fileBytes(m_dir->filePath(u"Canada.qcf"_s)), first);
    QCOMPARE(lineOf(decrypted(u"Canada.qcf"_s), 351 + 4), u"4,Name,Okafor, Ada"_s);
}

void TestMainWindow::pictureArrowsAtTheTwipEdgeAreRefused_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("arrow"); // 0 up, 1 right, 2 narrower
    QTest::newRow("up at the top edge") << 36 << u"ImagePxTop,-32760"_s << 0;
    QTest::newRow("right at the right edge") << 37 << u"ImagePxLeft,32760"_s << 1;
    QTest::newRow("narrower than 1 twip") << 38 << u"ImageWidth,20"_s << 2;
}

void TestMainWindow::pictureArrowsAtTheTwipEdgeAreRefused()
{
    QFETCH(int, line);
    QFETCH(QString, text);
    QFETCH(int, arrow);
    copyCard(CardLayouts::canada(), withLine(installedText(CardLayouts::canada()), line, text));
    QVERIFY(window()->openCard(u"Canada"_s));
    frmCanCard *card = window()->cardWindow();
    const TwipRect picture = card->model().picture();
    m_sink.messages.clear();
    if (arrow == 0)
        card->UpDown_UpClick();
    else if (arrow == 1)
        card->LeftRight_UpClick();
    else
        card->narrowWide_DownClick();
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY2(m_sink.messages.first().text.contains(u"nothing was changed"_s), qPrintable(m_sink.messages.first().text));
    QCOMPARE(card->model().picture(), picture);
    QVERIFY(!card->model().isModified());
}

void TestMainWindow::resetAsksAndKeepsSavedAnswers()
{
    copyCard(CardLayouts::canada());
    QVERIFY(window()->openCard(u"Canada"_s));
    frmCanCard *card = window()->cardWindow();
    card->model().setBoxText(0, u"saved"_s);
    card->UpDown_UpClick();
    QVERIFY(card->SaveCard());
    const QByteArray before = fileBytes(m_dir->filePath(u"Canada.qcf"_s));
    card->model().setBoxText(0, u"typed since"_s);

    m_sink.answers = {Messages::Answer::Cancel};
    QVERIFY(!card->ResetCard());
    QCOMPARE(m_sink.messages.first().title, u"Requesting Confirmation"_s);
    QCOMPARE(m_sink.messages.first().text,
             u"This will remove any changes made to the \r\ndeclaration card since installation.\r\n\r\n   .... Proceed?"_s);
    QCOMPARE(m_sink.messages.first().defaultAnswer, Messages::Answer::Cancel);
    QCOMPARE(card->model().box(0).text, u"typed since"_s);
    QCOMPARE(card->model().picture().top, 60.0f);
    QCOMPARE(fileBytes(m_dir->filePath(u"Canada.qcf"_s)), before);

    m_sink.messages.clear();
    m_sink.answers = {Messages::Answer::Ok};
    QVERIFY(card->ResetCard());
    QCOMPARE(m_sink.messages.size(), 2);
    QCOMPARE(m_sink.messages.at(1).text, u"Card Reset Complete."_s);
    QCOMPARE(m_sink.messages.at(1).title, u"Borvessa"_s);
    QCOMPARE(card->model().picture().top, 80.0f);
    QCOMPARE(card->model().box(0).text, u"saved"_s);
    QVERIFY(!card->model().clsCard()->varRestCard());
    QCOMPARE(lineOf(decrypted(u"Canada.qcf"_s), 36), u"ImagePxTop,80"_s);
}

void TestMainWindow::designModeCardShowsItsSwitch()
{
    copyCard(CardLayouts::us(), withLine(installedText(CardLayouts::us()), 25, u"DesignMode,True"_s));
    QVERIFY(window()->openCard(u"US"_s));
    frmCanCard *card = window()->cardWindow();
    QVERIFY(card->buDesignToggle()->isVisible());
    QVERIFY(card->chkDesign()->isVisible());
    QVERIFY(card->chkDesign()->isChecked());
    QVERIFY(card->buReset()->isVisible());
    QVERIFY(card->mnuReset()->isVisible());
    QCOMPARE(card->labNotify()->text(), u"Dgn"_s);
    // The panel is laid out with the switch and Reset in it: no two of its
    // controls overlap, and all stand inside their frame.
    QList<QWidget *> controls = {card->chkOrientation(), card->buPrint(), card->UpDown()->parentWidget(),
                                 card->tallShort()->parentWidget(), card->chkDesign(), card->buDesignToggle(),
                                 card->buReset()};
    for (int i = 0; i < controls.size(); ++i) {
        QVERIFY(card->fraControl()->rect().contains(controls[i]->geometry()));
        for (int j = i + 1; j < controls.size(); ++j) {
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(controls[i]->objectName() + u" / "_s + controls[j]->objectName()));
        }
    }
    for (SpinArrows *arrows : {card->UpDown(), card->tallShort()}) {
        QVERIFY(arrows->parentWidget()->rect().contains(arrows->geometry()));
        QVERIFY(arrows->rect().contains(arrows->upButton()->geometry()));
        QVERIFY(arrows->rect().contains(arrows->downButton()->geometry()));
        QVERIFY(!arrows->upButton()->geometry().intersects(arrows->downButton()->geometry()));
    }
    // Design sample answers are read instead of the answers.
    QTest::mouseClick(card->buDesignToggle(), Qt::LeftButton);
    QVERIFY(!card->chkDesign()->isChecked());
    QCOMPARE(lineOf(card->model().clsCard()->CardStr(), 25), u"DesignMode,False"_s);
    QTest::mouseClick(card->buDesignToggle(), Qt::LeftButton);
    QVERIFY(card->chkDesign()->isChecked());
    QVERIFY(window()->designWindow() && window()->designWindow()->isVisible());
}

void TestMainWindow::clicksOutsideTheControlsKeepTheFocus_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("picture") << u"picture"_s;
    QTest::newRow("spin arrow") << u"arrow"_s;
    QTest::newRow("panel background") << u"panel"_s;
    QTest::newRow("question line") << u"question"_s;
}

void TestMainWindow::clicksOutsideTheControlsKeepTheFocus()
{
    QFETCH(QString, target);
    copyCard(CardLayouts::canada());
    QVERIFY(window()->openCard(u"Canada"_s));
    frmCanCard *card = window()->cardWindow();
    QTest::mouseClick(card->txtAddress(4), Qt::LeftButton, {}, QPoint(2, 2));
    QWidget *w = target == u"picture"_s ? static_cast<QWidget *>(card->imgCCCard())
               : target == u"arrow"_s   ? static_cast<QWidget *>(card->LeftRight()->upButton())
               : target == u"panel"_s   ? static_cast<QWidget *>(card->fraControl())
                                        : static_cast<QWidget *>(card->labQuestion());
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(3, w->height() - 3));
    // The horizontal arrow hands the focus to the off-card box on purpose.
    if (target == u"arrow"_s) {
        QCOMPARE(QApplication::focusWidget(), card->txtNoOp());
        QTest::mouseClick(card->txtAddress(4), Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseClick(card->UpDown()->upButton(), Qt::LeftButton);
    }
    QCOMPARE(QApplication::focusWidget(), card->txtAddress(4));
    // Keys still reach the card window: Enter moves on.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), card->txtAddress(5));
}

void TestMainWindow::resetFocusesTheFirstBox()
{
    copyCard(CardLayouts::us(), withLine(installedText(CardLayouts::us()), 25, u"DesignMode,True"_s));
    QVERIFY(window()->openCard(u"US"_s));
    frmCanCard *card = window()->cardWindow();
    QCOMPARE(QApplication::focusWidget(), card->txtAddress(4));
    QTest::mouseClick(card->txtAddress(10), Qt::LeftButton, {}, QPoint(2, 2));
    // Switches changed and not saved are given back by the reset.
    QVERIFY(!card->chkOrientation()->isChecked());
    QTest::mouseClick(card->chkOrientation(), Qt::LeftButton);
    QTest::mouseClick(card->buDesignToggle(), Qt::LeftButton);
    QVERIFY(card->chkOrientation()->isChecked());
    QVERIFY(!card->chkDesign()->isChecked());
    m_sink.answers = {Messages::Answer::Ok};
    card->mnuReset()->trigger();
    QVERIFY(!card->chkOrientation()->isChecked());
    QVERIFY(card->chkDesign()->isChecked());
    QVERIFY(card->buDesignToggle()->isVisible());
    QCOMPARE(card->labNotify()->text(), u"Dgn"_s);
    QCOMPARE(m_sink.messages.last().text, u"Card Reset Complete."_s);
    QCOMPARE(QApplication::focusWidget(), card->txtAddress(4));
    QCOMPARE(card->model().editedBox(), 4);
    QVERIFY(card->model().box(10).backColor != CardFormModel::EditColor);
}

void TestMainWindow::designWindowCommandsPersist()
{
    copyCard(CardLayouts::us(), withLine(installedText(CardLayouts::us()), 25, u"DesignMode,True"_s));
    QVERIFY(window()->openCard(u"US"_s));
    frmCanCard *card = window()->cardWindow();
    QTest::mouseClick(card->txtAddress(10), Qt::LeftButton, {}, QPoint(2, 2));
    frmDesign *design = window()->designWindow();
    QVERIFY(design);
    QCOMPARE(design->varActiveCtrl(), 10);
    QCOMPARE(design->txtMoveIncr()->text(), u"50"_s);
    QVERIFY(!design->chkMoveOrSize()->isChecked());
    design->LeftRight_UpClick(); // wider by 50
    design->chkMoveOrSize()->setChecked(true);
    design->LeftRight_UpClick(); // right by 50
    design->UpDown1_UpClick();   // up by 50
    // The box is still being edited; its normal geometry carries the moves.
    QTest::mouseClick(card->txtAddress(9), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(card->model().box(10).rect, (TwipRect{1940, 2200, 1205, 105}));
    design->txtMoveIncr()->setText(u"abc"_s);
    design->UpDown1_UpClick();
    QCOMPARE(m_sink.messages.size(), 1);
    QCOMPARE(card->model().box(9).rect.height, 220.0f);
    QTest::keySequence(card, QKeySequence::Save);
    const QString saved = decrypted(u"US.qcf"_s);
    // Design mode writes both layouts and keeps the answers.
    QCOMPARE(lineOf(saved, 51 + 10).section(u',', 2), u"105,1940,2200,1205,16777215,Small Fonts,3,True,9"_s);
    QCOMPARE(lineOf(saved, 151 + 10), lineOf(saved, 51 + 10));
    QVERIFY(QFile::exists(Card::designCopyPath(u"US"_s)));
}

void TestMainWindow::designWindowClosesWithItsCard()
{
    copyCard(CardLayouts::us(), withLine(installedText(CardLayouts::us()), 25, u"DesignMode,True"_s));
    QVERIFY(window()->openCard(u"US"_s));
    QTest::mouseClick(window()->cardWindow()->buDesignToggle(), Qt::LeftButton);
    QTest::mouseClick(window()->cardWindow()->buDesignToggle(), Qt::LeftButton);
    QPointer<frmDesign> design = window()->designWindow();
    QVERIFY(design && design->isVisible());
    window()->cardWindow()->model().setModified(false);
    window()->cardWindow()->mnuClose()->trigger();
    QVERIFY(!window()->cardWindow());
    QTRY_VERIFY(!design || !design->isVisible());
    // The next card's box brings up a fresh, hidden design window.
    QVERIFY(window()->openCard(u"US"_s));
    QVERIFY(!window()->designWindow() || !window()->designWindow()->isVisible());
}

void TestMainWindow::helpMessages()
{
    window()->mnuHelp1()->trigger();
    window()->mnuNewCard()->trigger();
    QCOMPARE(m_sink.messages.size(), 2);
    QCOMPARE(m_sink.messages.at(0).title, u"Borvessa Help"_s);
    QVERIFY(m_sink.messages.at(0).text.startsWith(u"Help is available at "_s));
    QVERIFY(m_sink.messages.at(1).text.startsWith(u"Additional card modules are available at \n\n            "_s));
    QCOMPARE(m_sink.messages.at(1).icon, Messages::Icon::Information);
}

void TestMainWindow::frameIsFittedToTheAvailableArea_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("fitted");
    // 1366x768 with a 32-pixel panel at the bottom.
    const QRect panel(0, 0, 1366, 736);
    QTest::newRow("fits, left alone") << QRect(100, 50, 650, 600) << panel << QRect(100, 50, 650, 600);
    QTest::newRow("top pushes the bottom off: moved up")
        << QRect(200, 118, 650, 651) << panel << QRect(200, 85, 650, 651);
    QTest::newRow("frame bottom exactly at the screen's edge")
        << QRect(200, 118, 650, 650) << QRect(0, 0, 1366, 768) << QRect(200, 118, 650, 650);
    QTest::newRow("one pixel past the edge") << QRect(200, 118, 650, 651) << QRect(0, 0, 1366, 768)
                                             << QRect(200, 117, 650, 651);
    QTest::newRow("remembered on a larger screen: moved, then shrunk")
        << QRect(1500, 900, 1000, 900) << panel << QRect(366, 0, 1000, 736);
    QTest::newRow("left of and above the area") << QRect(-300, -40, 400, 300) << QRect(0, 24, 1366, 744)
                                                << QRect(0, 24, 400, 300);
    QTest::newRow("panel at the left") << QRect(0, 0, 500, 400) << QRect(48, 0, 1318, 768)
                                       << QRect(48, 0, 500, 400);
    QTest::newRow("wider and taller than the area") << QRect(10, 10, 3000, 2000) << panel << panel;
    QTest::newRow("second screen to the right") << QRect(1300, 100, 400, 300) << QRect(1366, 0, 1920, 1080)
                                                << QRect(1366, 100, 400, 300);
}

void TestMainWindow::frameIsFittedToTheAvailableArea()
{
    QFETCH(QRect, frame);
    QFETCH(QRect, available);
    QFETCH(QRect, fitted);
    QCOMPARE(ScreenFit::fit(frame, available), fitted);
}

void TestMainWindow::rememberedPlaceThatNoLongerFitsIsMended_data()
{
    QTest::addColumn<bool>("withCard");
    QTest::newRow("welcome window") << false;
    QTest::newRow("card window") << true;
}

void TestMainWindow::rememberedPlaceThatNoLongerFitsIsMended()
{
    // A place near the bottom corner, remembered with a smaller window or
    // on a larger screen: the top-left is on the screen, the rest is not.
    QFETCH(bool, withCard);
    copyCard(CardLayouts::canada());
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    QSettings(u"Borvessa"_s, u"Borvessa"_s).setValue(u"window/place"_s, avail.bottomRight() - QPoint(40, 30));
    MDIForm1 window(m_dir->path());
    QVERIFY(WindowSettings::restorePlace(&window));
    if (withCard)
        QVERIFY(window.openCard(u"Canada"_s));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY2(avail.contains(window.frameGeometry()),
             qPrintable(u"frame %1,%2 %3x%4 on %5x%6"_s.arg(window.frameGeometry().x())
                            .arg(window.frameGeometry().y()).arg(window.frameGeometry().width())
                            .arg(window.frameGeometry().height()).arg(avail.width()).arg(avail.height())));
    if (window.cardWindow())
        window.cardWindow()->model().setModified(false);
    window.close();
}

void TestMainWindow::windowFitsTheScreen_data()
{
    QTest::addColumn<double>("userZoom"); // 0: none of the user's own
    QTest::newRow("first zoom fitted to the screen") << 0.0;
    QTest::newRow("user's zoom 4 kept, the view scrolls") << 4.0;
}

void TestMainWindow::windowFitsTheScreen()
{
    QFETCH(double, userZoom);
    QSettings(u"Borvessa"_s, u"Borvessa"_s).remove(u"view/zoom"_s);
    copyCard(CardLayouts::canada());
    if (userZoom > 0)
        window()->setZoom(userZoom);
    QVERIFY(window()->openCard(u"Canada"_s));
    frmCanCard *card = window()->cardWindow();
    const QRect avail = window()->screen()->availableGeometry();
    QVERIFY2(avail.contains(window()->frameGeometry()),
             qPrintable(u"%1x%2 on %3x%4"_s.arg(window()->frameGeometry().width())
                            .arg(window()->frameGeometry().height()).arg(avail.width()).arg(avail.height())));
    auto *scroll = window()->findChild<QScrollArea *>();
    QVERIFY(scroll);
    const QSize needed = card->minimumSize();
    const QSize shown = scroll->viewport()->size();
    if (userZoom > 0) {
        QCOMPARE(card->zoom(), userZoom);
        // Larger than the screen: the Print button is reached by scrolling.
        QVERIFY(needed.width() > shown.width() || needed.height() > shown.height());
        QVERIFY(scroll->horizontalScrollBar()->maximum() > 0 || scroll->verticalScrollBar()->maximum() > 0);
    } else {
        // The whole card and its panel are shown without scrolling, at the
        // largest zoom that allows it; 976 pixels at the default do not fit.
        QVERIFY(card->zoom() < frmCanCard::DefaultZoom);
        QVERIFY2(needed.width() <= shown.width() && needed.height() <= shown.height(),
                 qPrintable(u"%1x%2 in %3x%4"_s.arg(needed.width()).arg(needed.height()).arg(shown.width())
                                .arg(shown.height())));
        QVERIFY(!window()->hasUserZoom());
    }
    // Only the user's own zoom is remembered.
    QVERIFY(window()->close());
    QCOMPARE(WindowSettings::hasZoom(), userZoom > 0);
    m_window.reset();
}

void TestMainWindow::zoomIsRememberedOnExit_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<double>("read");
    QTest::newRow("in range") << QVariant(3.0) << 3.0;
    QTest::newRow("too large") << QVariant(9.0) << 4.0;
    QTest::newRow("too small") << QVariant(0.5) << 1.0;
    QTest::newRow("not a number") << QVariant(u"abc"_s) << 2.0;
}

void TestMainWindow::zoomIsRememberedOnExit()
{
    QFETCH(QVariant, stored);
    QFETCH(double, read);
    {
        QSettings settings(u"Borvessa"_s, u"Borvessa"_s);
        settings.setValue(u"view/zoom"_s, stored);
    }
    QCOMPARE(WindowSettings::zoom(), read);

    copyCard(CardLayouts::canada());
    window()->setZoom(WindowSettings::zoom());
    QVERIFY(window()->openCard(u"Canada"_s));
    QCOMPARE(window()->cardWindow()->zoom(), read);
    // A zoom chosen in the card window is what the next start finds.
    window()->cardWindow()->setZoom(1.5);
    QVERIFY(window()->close());
    QCOMPARE(WindowSettings::zoom(), 1.5);
    m_window.reset();
}

void TestMainWindow::placeIsRememberedNotSize()
{
    copyCard(CardLayouts::canada());
    // The client area's corner is kept: a window manager places a window
    // that is not mapped yet by it, so the place does not creep by a frame.
    const QPoint place(37, 45);
    window()->setGeometry(QRect(place, window()->size()));
    QVERIFY(window()->openCard(u"Canada"_s));
    const QSize cardSize = window()->size();
    // Closing shrinks the window to its welcome size first; that size must
    // not come back as the size of the next start.
    QVERIFY(window()->close());
    m_window.reset();
    {
        QSettings settings(u"Borvessa"_s, u"Borvessa"_s);
        QCOMPARE(settings.value(u"window/place"_s).toPoint(), place);
        QVERIFY(!settings.contains(u"window/geometry"_s));
    }

    MDIForm1 next(m_dir->path());
    const QSize welcome = next.size();
    QVERIFY(WindowSettings::restorePlace(&next));
    QCOMPARE(next.geometry().topLeft(), place);
    QCOMPARE(next.size(), welcome);
    QVERIFY(next.openCard(u"Canada"_s));
    QCOMPARE(next.size(), cardSize);
    next.cardWindow()->model().setModified(false);
    next.close();

    // A place on no screen is not taken.
    {
        QSettings settings(u"Borvessa"_s, u"Borvessa"_s);
        settings.setValue(u"window/place"_s, QPoint(-100000, -100000));
    }
    MDIForm1 elsewhere(m_dir->path());
    const QPoint before = elsewhere.pos();
    QVERIFY(!WindowSettings::restorePlace(&elsewhere));
    QCOMPARE(elsewhere.pos(), before);
}

void TestMainWindow::cardNamesFromFileNames_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("menuText");
    QTest::addColumn<QString>("title");
    QTest::newRow("upper-case extension") << u"Test.QCF"_s << u"Test"_s << u"Test - Borvessa"_s;
    QTest::newRow("ampersand") << u"R&D.qcf"_s << u"R&&D"_s << u"R&D - Borvessa"_s;
    QTest::newRow("title placeholder") << u"x[*]y.qcf"_s << u"x[*]y"_s << u"x[*]y - Borvessa"_s;
    QTest::newRow("placeholder at the end") << u"x[*].qcf"_s << u"x[*]"_s << u"x[*] - Borvessa"_s;
}

// The chooser lists a card as its file is named, and opens that file.
void TestMainWindow::cardNamesFromFileNames()
{
    QFETCH(QString, fileName);
    QFETCH(QString, menuText);
    QFETCH(QString, title);
    const QString name = fileName.left(fileName.size() - 4);
    QVERIFY(writeCard(m_dir->filePath(fileName), installedText(CardLayouts::canada())));
    const QString picture = qEnvironmentVariable("BORVESSA_SOURCE_DIR") + u"/cards/Canada.gif"_s;
    QVERIFY(QFile::copy(picture, m_dir->filePath(name + u".GIF"_s)));

    QCOMPARE(window()->mnuCustCard().size(), 1);
    QAction *slot = window()->mnuCustCard().first();
    QCOMPARE(slot->text(), menuText);
    slot->trigger();
    QVERIFY2(m_sink.messages.isEmpty(), qPrintable(m_sink.texts().join(u'\n')));
    QVERIFY(window()->cardWindow());
    QCOMPARE(window()->cardWindow()->varCardTitle(), name);
    QCOMPARE(window()->cardWindow()->model().CardNam(), m_dir->filePath(fileName));
    QVERIFY(window()->windowHandle());
    QCOMPARE(window()->windowHandle()->title(), title);
    // An answer makes the title show the change, and only that.
    window()->cardWindow()->model().setModified(true);
    QCOMPARE(window()->windowHandle()->title().remove(u'*'), QString(title).remove(u'*'));
    QVERIFY(window()->windowHandle()->title().size() == title.size() + 1);
}

void TestMainWindow::manyCardsLeaveTheMenuOnScreen()
{
    // 10,000 card files; only the last one, by name, is a real card.
    constexpr int Count = 10000;
    for (int i = 0; i < Count; ++i) {
        QFile file(m_dir->filePath(u"Card %1.qcf"_s.arg(i, 5, 10, QChar(u'0'))));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    copyCard(CardLayouts::us());

    const QList<QAction *> listed = window()->mnuCustCard();
    QCOMPARE(window()->chooser().size(), Count + 1);
    QVERIFY(listed.size() >= 7);
    QVERIFY(listed.size() < Count);
    QVERIFY(window()->mnuMoreCards());
    // The whole menu, "New Card" included, fits on the screen.
    QMenu *menu = window()->mnuNewCard()->associatedObjects().isEmpty()
        ? nullptr
        : qobject_cast<QMenu *>(window()->mnuNewCard()->associatedObjects().first());
    QVERIFY(menu);
    QVERIFY(menu->actions().contains(window()->mnuMoreCards()));
    QVERIFY(menu->actions().indexOf(window()->mnuMoreCards()) < menu->actions().indexOf(window()->mnuNewCard()));
    QVERIFY(menu->sizeHint().height() <= window()->screen()->availableGeometry().height());
    QVERIFY(menu->sizeHint().width() < window()->screen()->availableGeometry().width());

    window()->mnuMoreCards()->trigger();
    auto *more = window()->findChild<frmMoreCards *>();
    QVERIFY(more);
    QVERIFY(more->isVisible());
    QCOMPARE(more->shownNames().size(), Count + 1);
    QCOMPARE(more->shownNames().first(), u"Card 00000"_s);
    // Typing narrows the list, without regard to case.
    QTest::keyClicks(more->searchBox(), u"card 0999"_s);
    QCOMPARE(more->shownNames().size(), 10);
    more->setSearchText(u"us"_s);
    QCOMPARE(more->shownNames(), QStringList{u"US"_s});
    more->setSearchText(u"no such card"_s);
    QVERIFY(more->shownNames().isEmpty());
    QVERIFY(!more->openButton()->isEnabled());
    more->setSearchText(u"u"_s);
    QTest::keyClick(more->searchBox(), Qt::Key_Return);
    QVERIFY(window()->cardWindow());
    QCOMPARE(window()->cardWindow()->varCardTitle(), u"US"_s);
    QVERIFY2(m_sink.messages.isEmpty(), qPrintable(m_sink.texts().join(u'\n')));
}

void TestMainWindow::deferredIconsDrawAsTheStyleDoes_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("side");
    QTest::newRow("menu bar overflow, small") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << 16;
    QTest::newRow("menu bar overflow, large") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << 32;
    QTest::newRow("tool bar overflow") << int(QStyle::SP_ToolBarVerticalExtensionButton) << 16;
    QTest::newRow("passed through") << int(QStyle::SP_MessageBoxWarning) << 32;
}

void TestMainWindow::deferredIconsDrawAsTheStyleDoes()
{
    // The icon fetched late must be the very icon the style itself gives.
    QFETCH(int, icon);
    QFETCH(int, side);
    const auto which = QStyle::StandardPixmap(icon);
    DeferredIconStyle style;
    const QIcon deferred = style.standardIcon(which);
    const QIcon direct = style.baseStyle()->standardIcon(which);
    QVERIFY(!deferred.isNull());
    const QImage expected = direct.pixmap(side).toImage();
    QVERIFY(!expected.isNull());
    QCOMPARE(deferred.actualSize(QSize(side, side)), direct.actualSize(QSize(side, side)));
    QCOMPARE(deferred.pixmap(side).toImage(), expected);
    QCOMPARE(deferred.pixmap(side, QIcon::Disabled).toImage(), direct.pixmap(side, QIcon::Disabled).toImage());
    // A copy resolves on its own.
    const QIcon copy = deferred;
    QCOMPARE(copy.pixmap(side).toImage(), expected);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
