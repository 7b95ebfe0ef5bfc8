// Entering answers: the Enter navigator, real focus and key events on the
// card window, the edit configuration following the focus, and characters a
// card cannot hold.

#include "AnswerBox.h"
#include "Card.h"
#include "CardFileEnvelope.h"
#include "Cp1252.h"
#include "CardLayouts.h"
#include "Messages.h"
#include "TestCards.h"
#include "cKeyBrd.h"
#include "frmCanCard.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QDialog>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// A small form of plain widgets for the navigator.
struct SmallForm
{
    QWidget form;
    QList<FormControl> controls;

    QWidget *add(ControlKind kind, int tabIndex, bool tabStop = true)
    {
        QWidget *w = nullptr;
        switch (kind) {
        case ControlKind::CheckBox:
            w = new QCheckBox(&form);
            break;
        case ControlKind::Label:
            w = new QLabel(&form);
            break;
        case ControlKind::CommandButton:
            w = new QPushButton(&form);
            break;
        default:
            w = new QLineEdit(&form);
            break;
        }
        controls.append(FormControl{w, kind, tabIndex, tabStop, {}});
        return w;
    }
};

} // namespace

class TestEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void navigatorSkipsWhatCannotTakeInput();
    void navigatorWrapsToTheLowestTabIndex();
    void navigatorKeepsTheOnlyQualifyingControl();
    void navigatorEndsWithoutAnyQualifyingControl();

    void firstBoxHasTheFocusWhenTheCardOpens_data();
    void firstBoxHasTheFocusWhenTheCardOpens();
    void enterMovesThroughTheBoxesInTabOrder();
    void enterWraps_data();
    void enterWraps();
    void enterNeverPressesAButton_data();
    void enterNeverPressesAButton();
    void oneBoxEnlargedWhateverTheFocusRoad();
    void editedBoxKeepsItsBorder();
    void undoBringsTheAnswerBackAfterPrintCancel();
    void tabFollowsTheSameOrder();
    void clickingAnotherBoxRestoresTheFirst();
    void focusGainNamesTheActiveBox();
    void typingChangesOnlyTheFocusedBox();
    void charactersACardCannotHoldAreRefused();
    void zoomChangesPixelsNotTwips();
    void tickBoxesToggleAndClearTheirGroup();
    void handTickedPairOpensShowingBoth();
    void datePartsAreCompletedAndMarkedWhenLeft();

private:
    void openCanada();
    void openCard(const CardLayout &layout, const QString &text = {});
    // The card with its bundled fields file beside it.
    void openWithFields(const CardLayout &layout, const QString &text = {});
    void click(int box);

    QTemporaryDir m_dir;
    Messages::RecordingSink m_sink;
    std::unique_ptr<frmCanCard> m_form;
};

void TestEntry::initTestCase()
{
    Messages::setSink(&m_sink);
}

void TestEntry::init()
{
    m_sink.messages.clear();
    m_form = std::make_unique<frmCanCard>();
}

void TestEntry::cleanup()
{
    for (const CardLayout *layout : CardLayouts::all())
        QFile::remove(m_dir.filePath(layout->name + u".fields"_s));
    m_form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestEntry::openCanada()
{
    openCard(CardLayouts::canada());
}

void TestEntry::openCard(const CardLayout &layout, const QString &text)
{
    const QString path = m_dir.filePath(layout.name + u".qcf"_s);
    QVERIFY(TestCards::writeCard(path, text.isEmpty() ? TestCards::installedText(layout) : text));
    QVERIFY(m_form->LoadCard(path));
    m_form->setVarCardTitle(layout.name);
    m_form->resize(m_form->minimumSize());
    m_form->show();
    QApplication::setActiveWindow(m_form.get());
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestEntry::openWithFields(const CardLayout &layout, const QString &text)
{
    QVERIFY(TestCards::copyBundledFields(layout.name, m_dir.filePath(layout.name + u".qcf"_s)));
    openCard(layout, text);
}

void TestEntry::click(int box)
{
    QTest::mouseClick(m_form->txtAddress(box), Qt::LeftButton, {}, QPoint(2, 2));
}

void TestEntry::navigatorSkipsWhatCannotTakeInput()
{
    SmallForm f;
    QWidget *start = f.add(ControlKind::TextBox, 0);
    f.add(ControlKind::CheckBox, 1);             // not an input kind
    f.add(ControlKind::Label, 2);                // not an input kind
    f.add(ControlKind::TextBox, 3)->hide();      // hidden
    f.add(ControlKind::TextBox, 4)->setEnabled(false);
    f.add(ControlKind::TextBox, 5, false);       // not a tab stop
    QWidget *target = f.add(ControlKind::CommandButton, 6);
    f.add(ControlKind::TextBox, 7);
    f.add(ControlKind::Label, 8);
    f.add(ControlKind::Label, 9);
    cKeyBrd k;
    k.AdvanceFocus(f.controls, start);
    QCOMPARE(k.CCtrl(), target);
    QCOMPARE(k.CtlPtr(), 6);
}

void TestEntry::navigatorWrapsToTheLowestTabIndex()
{
    SmallForm f;
    f.add(ControlKind::Label, 0);
    QWidget *lowest = f.add(ControlKind::TextBox, 2);
    QWidget *highest = f.add(ControlKind::TextBox, 5);
    f.add(ControlKind::TextBox, 1)->hide();
    f.add(ControlKind::Label, 3);
    f.add(ControlKind::Label, 4);
    f.add(ControlKind::Label, 6);
    cKeyBrd k;
    k.AdvanceFocus(f.controls, highest);
    QCOMPARE(k.CCtrl(), lowest);
    k.AdvanceFocus(f.controls, lowest);
    QCOMPARE(k.CCtrl(), highest);
}

void TestEntry::navigatorKeepsTheOnlyQualifyingControl()
{
    SmallForm f;
    QWidget *only = f.add(ControlKind::TextBox, 1);
    f.add(ControlKind::TextBox, 0)->setEnabled(false);
    f.add(ControlKind::Label, 2);
    f.add(ControlKind::Label, 3);
    cKeyBrd k;
    k.AdvanceFocus(f.controls, only);
    QCOMPARE(k.CCtrl(), only);
}

void TestEntry::navigatorEndsWithoutAnyQualifyingControl()
{
    SmallForm f;
    QWidget *start = f.add(ControlKind::Label, 0);
    f.add(ControlKind::TextBox, 1)->hide();
    f.add(ControlKind::CheckBox, 2);
    cKeyBrd k;
    k.AdvanceFocus(f.controls, start); // must return
    QCOMPARE(k.CCtrl(), start);
}

void TestEntry::enterMovesThroughTheBoxesInTabOrder()
{
    openCanada();
    click(0);
    QCOMPARE(QApplication::focusWidget(), m_form->txtAddress(0));
    QCOMPARE(m_form->model().box(0).rect.height, 220.0f);
    QTest::keyClicks(m_form->txtAddress(0), u"12 Elm Road"_s);
    QTest::keyClick(m_form->txtAddress(0), Qt::Key_Return);
    // Box 12 has tab index 1.
    QCOMPARE(QApplication::focusWidget(), m_form->txtAddress(12));
    QCOMPARE(m_form->txtAddress(0)->text(), u"12 Elm Road"_s); // no line break, nothing lost
    QCOMPARE(m_form->model().box(0).rect.height, 105.0f);
    QCOMPARE(m_form->model().box(0).rect.top, 650.0f);
    QCOMPARE(m_form->model().box(12).rect.height, 220.0f);
    QCOMPARE(m_form->model().CurEditCtrl(), 12);
    QCOMPARE(m_form->labQuestion()->text(), u"Province or state"_s);
    QCOMPARE(m_form->txtAddress(10)->accessibleName(), u"Country"_s);
    QTest::keyClick(m_form->txtAddress(12), Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), m_form->txtAddress(10));
}

void TestEntry::firstBoxHasTheFocusWhenTheCardOpens_data()
{
    QTest::addColumn<QString>("card");
    QTest::addColumn<int>("first");
    QTest::newRow("Canada") << u"Canada"_s << 0;
    QTest::newRow("US: box 4 has tab index 0") << u"US"_s << 4;
}

void TestEntry::firstBoxHasTheFocusWhenTheCardOpens()
{
    QFETCH(QString, card);
    QFETCH(int, first);
    QSignalSpy active(m_form.get(), &frmCanCard::activeBoxChanged);
    openCard(card == u"US"_s ? CardLayouts::us() : CardLayouts::canada());
    QCOMPARE(QApplication::focusWidget(), m_form->txtAddress(first));
    QCOMPARE(m_form->model().editedBox(), first);
    QCOMPARE(m_form->model().box(first).rect.height, 220.0f);
    QVERIFY(!active.isEmpty());
    QCOMPARE(active.last().at(0).toInt(), first);
    // Typing goes straight into it.
    QTest::keyClicks(QApplication::focusWidget(), u"abc"_s);
    QCOMPARE(m_form->model().box(first).text, u"abc"_s);
}

void TestEntry::enterWraps_data()
{
    QTest::addColumn<QString>("card");
    QTest::addColumn<int>("tabOrder"); // given to box "from" in the card, or -1
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    // The last box goes on to Print, Print to the first box.
    QTest::newRow("Canada, last box") << u"Canada"_s << -1 << 18 << 0;
    // Box 3 of the US card is not listed: Enter must not skip box 4.
    QTest::newRow("US, last box") << u"US"_s << -1 << 26 << 4;
    QTest::newRow("tab order 200") << u"Canada"_s << 200 << 18 << 0;
}

void TestEntry::enterWraps()
{
    QFETCH(QString, card);
    QFETCH(int, tabOrder);
    QFETCH(int, from);
    QFETCH(int, to);
    const CardLayout &layout = card == u"US"_s ? CardLayouts::us() : CardLayouts::canada();
    QString cardText = TestCards::installedText(layout);
    if (tabOrder >= 0) {
        const int line = 151 + from;
        QStringList fields = TestCards::lineOf(cardText, line).split(u',');
        fields.last() = QString::number(tabOrder);
        cardText = TestCards::withLine(cardText, line, fields.join(u','));
    }
    openCard(layout, cardText);
    click(from);
    QCOMPARE(QApplication::focusWidget(), m_form->txtAddress(from));
    QTest::keyClick(m_form->txtAddress(from), Qt::Key_Return);
    if (QApplication::focusWidget() == m_form->buPrint())
        QTest::keyClick(m_form->buPrint(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m_form->txtAddress(to));
    QVERIFY(m_sink.messages.isEmpty());
}

void TestEntry::enterNeverPressesAButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("spaceAsks"); // the message Space brings, if any
    QTest::newRow("Print") << u"buPrint"_s << u"Print 1 declaration form(s)?"_s;
    QTest::newRow("DesignTog") << u"buDesignToggle"_s << QString();
    QTest::newRow("Reset") << u"buReset"_s << u"This will remove any changes"_s;
}

void TestEntry::enterNeverPressesAButton()
{
    QFETCH(QString, button);
    QFETCH(QString, spaceAsks);
    openCard(CardLayouts::canada(),
             TestCards::withLine(TestCards::installedText(CardLayouts::canada()), 25, u"DesignMode,True"_s));
    auto *b = m_form->findChild<QPushButton *>(button);
    QVERIFY(b && b->isVisible());
    b->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), b);
    const QString cardStr = m_form->model().clsCard()->CardStr();
    QTest::keyClick(b, Qt::Key_Return);
    QVERIFY(m_sink.messages.isEmpty());
    QCOMPARE(m_form->model().clsCard()->CardStr(), cardStr);
    QVERIFY(QApplication::focusWidget() != b);
    // Space presses it.
    b->setFocus(Qt::TabFocusReason);
    m_sink.answers = {Messages::Answer::Cancel};
    QTest::keyClick(b, Qt::Key_Space);
    if (spaceAsks.isEmpty()) {
        QVERIFY(m_form->model().clsCard()->CardStr() != cardStr); // the design switch flipped
    } else {
        QCOMPARE(m_sink.messages.size(), 1);
        QVERIFY(m_sink.messages.first().text.startsWith(spaceAsks));
    }
}

void TestEntry::oneBoxEnlargedWhateverTheFocusRoad()
{
    openCanada();
    click(13);
    QCOMPARE(m_form->model().editedBox(), 13);
    // Another window becomes active (the design window, say); box 12 is
    // given the focus while the card window is inactive, then it comes back.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    m_form->txtAddress(12)->setFocus(Qt::MouseFocusReason);
    QApplication::setActiveWindow(m_form.get());
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QCOMPARE(QApplication::focusWidget(), m_form->txtAddress(12));
    QCOMPARE(m_form->model().editedBox(), 12);
    int enlarged = 0;
    for (int i = 0; i < CardFormModel::BoxCount; ++i)
        enlarged += m_form->model().box(i).rect.height > 105 ? 1 : 0;
    QCOMPARE(enlarged, 1);
    QCOMPARE(m_form->model().box(13).rect.height, 105.0f);
    QCOMPARE(m_form->model().box(13).backColor, CardLayouts::canada().backColor);
    // The save sees both boxes at rest.
    QTest::keySequence(m_form.get(), QKeySequence::Save);
    QByteArray bytes;
    QString reason;
    QVERIFY(CardFileEnvelope::readCardFile(m_dir.filePath(u"Canada.qcf"_s), &bytes, &reason));
    const QString saved = Cp1252::decode(bytes);
    for (int box : {12, 13}) {
        const QStringList fields = TestCards::lineOf(saved, 151 + box).split(u',');
        QCOMPARE(fields.value(2), u"105"_s);
        QCOMPARE(fields.value(6), QString::number(CardLayouts::canada().backColor));
    }
}

void TestEntry::editedBoxKeepsItsBorder()
{
    openCanada();
    click(3);
    click(7);
    for (int box : {3, 7}) {
        QVERIFY(m_form->txtAddress(box)->isBordered());
        // The border is drawn: the corner pixel is dark, not the box colour.
        const QImage image = m_form->txtAddress(box)->grab().toImage();
        QVERIFY2(qGray(image.pixel(0, image.height() / 2)) < 100, qPrintable(QString::number(box)));
    }
}

void TestEntry::undoBringsTheAnswerBackAfterPrintCancel()
{
    openCanada();
    click(4);
    QTest::keyClicks(m_form->txtAddress(4), u"Okafor"_s);
    m_sink.answers = {Messages::Answer::Cancel};
    // Ctrl+P asks for the printer first; its Print button goes on to the
    // confirmation, which is cancelled.
    QTimer::singleShot(0, this, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    QTest::keySequence(m_form->txtAddress(4), QKeySequence::Print);
    QCOMPARE(m_sink.messages.size(), 1);
    QCOMPARE(m_sink.messages.first().defaultAnswer, Messages::Answer::Ok);
    // The answer comes back fully selected, so the next key replaces it ...
    QTRY_COMPARE(QApplication::focusWidget(), m_form->txtAddress(4));
    QCOMPARE(m_form->txtAddress(4)->selectedText(), u"Okafor"_s);
    QTest::keyClicks(m_form->txtAddress(4), u"X"_s);
    QCOMPARE(m_form->model().box(4).text, u"X"_s);
    // ... and Ctrl+Z brings it back, in the box and in what is saved.
    QTest::keySequence(m_form->txtAddress(4), QKeySequence::Undo);
    QCOMPARE(m_form->txtAddress(4)->text(), u"Okafor"_s);
    QCOMPARE(m_form->model().box(4).text, u"Okafor"_s);
}

void TestEntry::tabFollowsTheSameOrder()
{
    openCanada();
    click(4); // tab index 4
    QTest::keyClick(m_form->txtAddress(4), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_form->txtAddress(5));
    QTest::keyClick(m_form->txtAddress(5), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_form->txtAddress(6));
    QTest::keyClick(m_form->txtAddress(6), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_form->txtAddress(8));
    QTest::keyClick(m_form->txtAddress(8), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_form->txtAddress(14)); // the ninth box
}

void TestEntry::clickingAnotherBoxRestoresTheFirst()
{
    openCanada();
    const TwipRect three = m_form->model().box(3).rect;
    click(3);
    QCOMPARE(m_form->model().box(3).backColor, 8421631u);
    click(7);
    QCOMPARE(m_form->model().box(3).rect.left, three.left);
    QCOMPARE(m_form->model().box(3).rect.top, three.top);
    QCOMPARE(m_form->model().box(3).rect.height, 105.0f);
    QCOMPARE(m_form->model().box(3).backColor, 0xC0C000u);
    QCOMPARE(m_form->model().box(7).backColor, 8421631u);
    QVERIFY(m_form->labQuestion()->text().endsWith(u"NO"_s));
    // A second click on the focused box changes nothing.
    const AnswerBoxState seven = m_form->model().box(7);
    click(7);
    QVERIFY(m_form->model().box(7) == seven);
}

void TestEntry::focusGainNamesTheActiveBox()
{
    // The box that gains the focus becomes the one design commands act on.
    openCanada();
    QSignalSpy active(m_form.get(), &frmCanCard::activeBoxChanged);
    click(9);
    QCOMPARE(active.size(), 1);
    QCOMPARE(active.last().at(0).toInt(), 9);
    QTest::keyClick(m_form->txtAddress(9), Qt::Key_Return);
    QCOMPARE(active.size(), 2);
    QCOMPARE(active.last().at(0).toInt(), 2);
}

void TestEntry::typingChangesOnlyTheFocusedBox()
{
    openCanada();
    click(5);
    QTest::keyClicks(m_form->txtAddress(5), u"1959"_s);
    QCOMPARE(m_form->model().box(5).text, u"1959"_s);
    QVERIFY(m_form->model().isModified());
    for (int i = 0; i < 31; ++i) {
        if (i != 5)
            QCOMPARE(m_form->model().box(i).text, QString());
    }
}

void TestEntry::charactersACardCannotHoldAreRefused()
{
    openCanada();
    click(4);
    for (const QString &typed : {u"Z"_s, u"o"_s, u"ë"_s, u"Ł"_s}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
        QApplication::sendEvent(m_form->txtAddress(4), &press);
    }
    QCOMPARE(m_form->model().box(4).text, u"Zoë"_s);
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY(m_sink.messages.first().text.contains(u"Ł"_s));
    // Pasted text keeps what the card can hold, without line breaks.
    m_form->txtAddress(4)->clear();
    m_form->txtAddress(4)->insert(u"a\u0141b"_s);
    Q_EMIT m_form->txtAddress(4)->textEdited(m_form->txtAddress(4)->text());
    QCOMPARE(m_form->txtAddress(4)->text(), u"ab"_s);
    QCOMPARE(m_form->model().box(4).text, u"ab"_s);
}

void TestEntry::zoomChangesPixelsNotTwips()
{
    openCanada();
    const auto before = m_form->model().boxes();
    const QRect small = m_form->txtAddress(4)->geometry();
    m_form->setZoom(4.0);
    QVERIFY(m_form->model().boxes() == before);
    const QRect big = m_form->txtAddress(4)->geometry();
    QCOMPARE(big.width(), qRound(2730 * m_form->scale()));
    QVERIFY(big.width() > small.width() * 3 / 2);
}

void TestEntry::tickBoxesToggleAndClearTheirGroup()
{
    // Firearms: YES is box 25, NO box 3.
    openWithFields(CardLayouts::canada());
    AnswerBox *yes = m_form->txtAddress(25);
    AnswerBox *no = m_form->txtAddress(3);
    const auto answer = [this](int box) { return m_form->model().restBox(box).text; };
    click(25);
    QCOMPARE(answer(25), u"x"_s);
    QVERIFY(yes->isTicked());
    QVERIFY(m_form->model().isModified());

    // YES then NO leaves only NO.
    no->setFocus(Qt::TabFocusReason);
    QTest::keyClick(no, Qt::Key_Space);
    QCOMPARE(answer(3), u"x"_s);
    QCOMPARE(answer(25), QString());
    QVERIFY(!yes->isTicked());
    QTest::keyClick(no, Qt::Key_Space);
    QCOMPARE(answer(3), QString());
    // X ticks as the card writes it; Delete clears; a letter is refused.
    QTest::keyClick(no, Qt::Key_X, Qt::ShiftModifier);
    QCOMPARE(answer(3), u"x"_s);
    QVERIFY(m_sink.messages.isEmpty());
    QTest::keyClick(no, Qt::Key_Q);
    QCOMPARE(answer(3), u"x"_s);
    QCOMPARE(m_sink.messages.size(), 1);
    QCOMPARE(m_sink.messages.first().text, u"This box takes a tick: press Space, or type x."_s);
    QTest::keyClick(no, Qt::Key_Delete);
    QCOMPARE(answer(3), QString());
    // A click on the other box of the pair, then on this one.
    click(25);
    click(3);
    QCOMPARE(answer(25), QString());
    QCOMPARE(answer(3), u"x"_s);

    // Screen readers meet a check box named by its question, in its group.
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(no);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::CheckBox);
    QVERIFY(iface->state().checkable);
    QVERIFY(iface->state().checked);
    QCOMPARE(iface->text(QAccessible::Name), m_form->model().questionFor(3));
    QCOMPARE(iface->text(QAccessible::Description),
             u"I am/we are bringing into Canada: Firearms or other weapons: choice 2 of 2"_s);
    QVERIFY(!QAccessible::queryAccessibleInterface(yes)->state().checked);
    // A text box stays a text box.
    QCOMPARE(QAccessible::queryAccessibleInterface(m_form->txtAddress(4))->role(), QAccessible::EditableText);
}

void TestEntry::handTickedPairOpensShowingBoth()
{
    QString text = TestCards::installedText(CardLayouts::canada());
    text = TestCards::withLine(text, Card::FirstAnswer + 25, u"25,FirearmsYes,x"_s);
    text = TestCards::withLine(text, Card::FirstAnswer + 3, u"3,FirearmsNo,X"_s);
    openWithFields(CardLayouts::canada(), text);
    for (const int box : {25, 3}) {
        QVERIFY(m_form->txtAddress(box)->isTicked());
        QVERIFY2(m_form->txtAddress(box)->mark().contains(u"2 boxes are ticked"_s),
                 qPrintable(m_form->txtAddress(box)->mark()));
    }
    QVERIFY(m_form->txtAddress(7)->mark().isEmpty());
    // Ticking NO again keeps the card's answer as it was written.
    QCOMPARE(m_form->model().restBox(3).text, u"X"_s);
    QVERIFY(!m_form->model().isModified());
}

void TestEntry::datePartsAreCompletedAndMarkedWhenLeft()
{
    // Year box 5, month 6, day 8, in that tab order.
    openWithFields(CardLayouts::canada());
    click(5);
    QTest::keyClicks(m_form->txtAddress(5), u"2027"_s);
    QTest::keyClick(m_form->txtAddress(5), Qt::Key_Tab);
    QTest::keyClicks(m_form->txtAddress(6), u"2"_s);
    QCOMPARE(m_form->model().restBox(6).text, u"2"_s);
    QTest::keyClick(m_form->txtAddress(6), Qt::Key_Tab);
    QCOMPARE(m_form->model().restBox(6).text, u"02"_s);
    QCOMPARE(m_form->txtAddress(6)->text(), u"02"_s);
    QTest::keyClicks(m_form->txtAddress(8), u"29"_s);
    // Not marked while it is being typed, only once it is left.
    QVERIFY(m_form->txtAddress(8)->mark().isEmpty());
    QTest::keyClick(m_form->txtAddress(8), Qt::Key_Tab);
    QCOMPARE(m_form->txtAddress(8)->mark(), u"\u201CDate of Birth: DAY (ie 03)\u201D: \u201C29\u201D is not a day of February 2027"_s);
    QCOMPARE(m_form->txtAddress(8)->toolTip(), m_form->txtAddress(8)->mark());
    // A leap year mends it.
    click(5);
    m_form->txtAddress(5)->selectAll();
    QTest::keyClicks(m_form->txtAddress(5), u"2028"_s);
    QTest::keyClick(m_form->txtAddress(5), Qt::Key_Tab);
    QVERIFY(m_form->txtAddress(8)->mark().isEmpty());
}

QTEST_MAIN(TestEntry)
#include "tst_entry.moc"
