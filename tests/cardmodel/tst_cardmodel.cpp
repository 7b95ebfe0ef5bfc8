// The card window's model: building boxes from a card or a built-in layout,
// the ratios that tie boxes to the picture, the edit configuration of the
// focused box, the picture and box commands, saving and the reset.

#include "CardFileEnvelope.h"
#include "CardFormModel.h"
#include "CardLayouts.h"
#include "Cp1252.h"
#include "MainLayout.h"
#include "Messages.h"
#include "Numbers.h"
#include "TestCards.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;
using namespace TestCards;

namespace {

QString cardText(const QString &base, const QMap<int, QString> &changes)
{
    QString text = base;
    for (auto it = changes.begin(); it != changes.end(); ++it)
        text = withLine(text, it.key(), it.value());
    return text;
}

QString decrypted(const QString &path)
{
    QByteArray bytes;
    QString reason;
    CardFileEnvelope::readCardFile(path, &bytes, &reason);
    return Cp1252::decode(bytes);
}

// The numbers of the lines that differ between two card texts.
QList<int> changedLines(const QString &before, const QString &after)
{
    const QStringList a = before.split(u"\r\n"_s), b = after.split(u"\r\n"_s);
    QList<int> changed;
    for (int i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (a.value(i) != b.value(i))
            changed.append(i + 1);
    }
    return changed;
}

QList<int> range(int first, int last)
{
    QList<int> r;
    for (int i = first; i <= last; ++i)
        r.append(i);
    return r;
}

} // namespace

Q_DECLARE_METATYPE(std::function<QString(CardFormModel &)>)

class TestCardModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldsFileLeavesTheSavedAnswersAsTyped();
    void init();

    void ratiosOfABox();
    void stretchingRecomputesTheSnapshotTops();
    void leftIsRoundedHalfToEven_data();
    void leftIsRoundedHalfToEven();
    void loadBuildsOnlyTheCardsBoxes();
    void failedLoadKeepsTheCard_data();
    void failedLoadKeepsTheCard();
    void designCardLoadedTwiceMarksTwice();

    void editConfigurationWidth_data();
    void editConfigurationWidth();
    void editWidthIsLookedUpByBoxNumber();
    void editConfigurationLiftsAndKeepsInside_data();
    void editConfigurationLiftsAndKeepsInside();
    void keepInsideEqualsTheStepByStepWalk();
    void restoreGivesBackTheRecordedLook();
    void restoreWithoutEditingChangesNothing();
    void colourOutside24BitsIsKept_data();
    void colourOutside24BitsIsKept();

    void canadianLayout();
    void usLayout();
    void blueLayout();
    void layoutTwiceGivesTheSameBoxes();
    void placeControlSetsExactValues();
    void ratioOutsideTheTableIsRefused();

    void tenUpClicksMoveBoxes0To39();
    void horizontalArrowReachesBoxesAtTheNextDownClick();
    void moveCtrl_data();
    void moveCtrl();
    void moveImage_data();
    void moveImage();
    void stepsPastTheTwipRangeAreRefused_data();
    void stepsPastTheTwipRangeAreRefused();
    void saveThatWouldNotOpenIsRefused();

    void saveRewritesOnlyItsLines_data();
    void saveRewritesOnlyItsLines();
    void saveTwiceWritesTheSameBytes();
    void userCommandsMarkTheCardModified_data();
    void userCommandsMarkTheCardModified();
    void editedBoxSavesAndPrintsAtRest();
    void hiddenBoxBelowTheHighestKeepsItsLines();
    void orientationCheckRewritesLine27();
    void resetBringsBackTheInstalledLayout();
    void failedResetKeepsTheAnswers_data();
    void failedResetKeepsTheAnswers();
    void resetSwitchesFollowTheCard_data();
    void resetSwitchesFollowTheCard();

    void oneBoxInEditConfiguration();
    void snapshotIsValidWhenTheCardIsShown_data();
    void snapshotIsValidWhenTheCardIsShown();
    void unlistedBoxesTabAfterTheListed_data();
    void unlistedBoxesTabAfterTheListed();

    void mainWindowHeight();

private:
    QString writeCard(const QString &name, const QString &text);
    std::unique_ptr<QTemporaryDir> m_dir;
    Messages::RecordingSink m_sink;
    std::unique_ptr<Messages::ScopedSink> m_scoped;
};

void TestCardModel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_sink.messages.clear();
    m_scoped = std::make_unique<Messages::ScopedSink>(&m_sink);
}

QString TestCardModel::writeCard(const QString &name, const QString &text)
{
    const QString path = m_dir->filePath(name);
    if (!TestCards::writeCard(path, text))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestCardModel::ratiosOfABox()
{
    CardFormModel m;
    m.SetUpCanCard();
    // Box 0 of the Canadian card: top 650, left 450 over the picture at 80, 135, 3395 x 6240.
    QCOMPARE(m.verticalRatio(0), 0.09134615f);
    QCOMPARE(m.horizontalRatio(0), 0.0927835f);
}

void TestCardModel::stretchingRecomputesTheSnapshotTops()
{
    CardFormModel m;
    m.SetUpCanCard();
    m.SaveCntrlPxsPriorToMove();
    m.stretchPicture(0, 20); // the taller arrow: 6240 -> 6260
    QCOMPARE(m.picture().height, 6260.0f);
    QCOMPARE(m.mcolCntrlLocation().Item(u"1"_s)->top_r, u"651.8269"_s);
    QCOMPARE(m.mcolCntrlLocation().Item(u"1"_s)->left_c, u"450"_s);
    // Every following box: picture height x ratio + picture top.
    for (int i = 0; i < CardFormModel::FollowingBoxes; ++i) {
        const float expected = float(6260.0 * double(m.verticalRatio(i)) + 80.0);
        QCOMPARE(*Numbers::toSingle(m.mcolCntrlLocation().Item(i + 1)->top_r), *Numbers::toSingle(Numbers::formatSingle(expected)));
    }
    m.RestoreCntrlPxsAfterMove();
    QCOMPARE(m.box(0).rect.top, 651.8269f);
    QCOMPARE(m.box(0).rect.left, 450.0f);
}

void TestCardModel::leftIsRoundedHalfToEven_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<float>("expected");
    QTest::newRow("450.5") << u"450.5"_s << 450.0f;
    QTest::newRow("451.5") << u"451.5"_s << 452.0f;
    QTest::newRow("450.4") << u"450.4"_s << 450.0f;
}

void TestCardModel::leftIsRoundedHalfToEven()
{
    QFETCH(QString, left);
    QFETCH(float, expected);
    const QString text = cardText(installedText(CardLayouts::canada()),
                                  {{151, u"0,Address,90,%1,650.25,2745,12632064,Small Fonts,3,True,0"_s.arg(left)}});
    CardFormModel m;
    QVERIFY(m.LoadCard(writeCard(u"Canada.qcf"_s, text)));
    QCOMPARE(m.box(0).rect.left, expected);
    QCOMPARE(m.box(0).rect.top, 650.25f);
}

void TestCardModel::loadBuildsOnlyTheCardsBoxes()
{
    // Controls 0 to 12 only; box 5 hidden but answered; an answer for box 20,
    // which has no control line, goes into a hidden box.
    QString text = installedText(CardLayouts::canada());
    for (int box = 13; box <= 30; ++box)
        text = withLine(text, 151 + box, QString());
    text = withLine(text, 151 + 5, u"5,BirthYear,90,810,1210,255,12632064,Small Fonts,3,False,5"_s);
    text = withLine(text, 351 + 5, u"5,BirthYear,1959"_s);
    text = withLine(text, 351 + 20, u"20,Other,unseen"_s);
    text = withLine(text, 27, u"Orientation,"_s);
    CardFormModel m;
    QVERIFY2(m.LoadCard(writeCard(u"Canada.qcf"_s, text)), qPrintable(m.lastError().message()));
    for (int i = 13; i < CardFormModel::BoxCount; ++i) {
        QVERIFY(!m.box(i).visible);
        QCOMPARE(m.box(i).backColor, CardFormModel::LightGrey);
        QCOMPARE(m.box(i).text, i == 20 ? u"unseen"_s : QString());
    }
    QVERIFY(!m.box(5).visible);
    QCOMPARE(m.box(5).rect.left, 810.0f);
    QCOMPARE(m.box(5).backColor, 0xC0C000u);
    QCOMPARE(m.box(5).text, u"1959"_s);
    QVERIFY(m.box(0).visible);
    QVERIFY(m.chkOrientation());
    QCOMPARE(m.labNotify(), QString());
    QVERIFY(!m.designSwitchVisible());
}

void TestCardModel::failedLoadKeepsTheCard_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("box above 95") << 160 << u"96,X,90,100,100,100,0,F,3,True,0"_s << u"outside 0 to 95"_s;
    QTest::newRow("picture without height") << 39 << u"ImageHt,0"_s << u"no width or height"_s;
    QTest::newRow("picture without width") << 38 << u"ImageWidth,-5"_s << u"no width or height"_s;
    QTest::newRow("picture far off to the left") << 37 << u"ImagePxLeft,-1e10"_s << u"line 37: the picture value"_s;
}

void TestCardModel::failedLoadKeepsTheCard()
{
    QFETCH(int, line);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    CardFormModel m;
    QVERIFY(m.LoadCard(writeCard(u"US.qcf"_s, installedText(CardLayouts::us()))));
    m.setBoxText(4, u"typed"_s);
    const auto before = m.boxes();
    const TwipRect picture = m.picture();
    const QString bad = writeCard(u"Bad.qcf"_s, withLine(installedText(CardLayouts::canada()), line, text));
    QVERIFY(!m.LoadCard(bad));
    QVERIFY2(m.lastError().message().contains(reason), qPrintable(m.lastError().message()));
    QVERIFY(m.lastError().message().startsWith(QDir::toNativeSeparators(bad)));
    QVERIFY(m.boxes() == before);
    QCOMPARE(m.picture(), picture);
    QVERIFY(m.CardNam().endsWith(u"US.qcf"_s));
}

void TestCardModel::designCardLoadedTwiceMarksTwice()
{
    const QString path = writeCard(u"US.qcf"_s, withLine(installedText(CardLayouts::us()), 25, u"DesignMode,True"_s));
    CardFormModel m;
    QVERIFY(m.LoadCard(path));
    QVERIFY(m.LoadCard(path));
    QCOMPARE(m.labNotify(), u"DgnDgn"_s);
    QVERIFY(m.designSwitchVisible());
    QVERIFY(m.chkDesign());
}

void TestCardModel::editConfigurationWidth_data()
{
    QTest::addColumn<int>("recorded");
    QTest::addColumn<float>("edited");
    QTest::newRow("100 -> 270") << 100 << 270.0f;
    QTest::newRow("1000 -> 2000") << 1000 << 2000.0f;
    QTest::newRow("1500 -> 2300") << 1500 << 2300.0f;
}

void TestCardModel::editConfigurationWidth()
{
    QFETCH(int, recorded);
    QFETCH(float, edited);
    const QString text = withLine(installedText(CardLayouts::canada()), 151 + 4,
                                  u"4,Name,90,450,1030,%1,12632064,Small Fonts,3,True,4"_s.arg(recorded));
    CardFormModel m;
    QVERIFY(m.LoadCard(writeCard(u"Canada.qcf"_s, text)));
    m.SaveCntrlPxsPriorToMove();
    m.setCurEditCtrl(4);
    m.ConfigCtrlForEditing();
    QCOMPARE(m.box(4).rect.width, edited);
}

void TestCardModel::editWidthIsLookedUpByBoxNumber()
{
    // With box 1 missing from the card's list, position 6 of the list is
    // box 6; the width must come from box 5's own entry.
    QString text = installedText(CardLayouts::canada());
    text = withLine(text, 151 + 1, QString());
    CardFormModel m;
    QVERIFY(m.LoadCard(writeCard(u"Canada.qcf"_s, text)));
    QCOMPARE(m.clsCard()->colCardCtrls().Item(6)->fldName, u"6"_s);
    m.setCurEditCtrl(5);
    m.ConfigCtrlForEditing();
    QCOMPARE(m.box(5).rect.width, 2 * 255.0f);
    // A built-in layout has no card: the box's own width counts.
    CardFormModel layout;
    layout.SetUpCanCard();
    layout.setCurEditCtrl(10);
    layout.ConfigCtrlForEditing();
    QCOMPARE(layout.box(10).rect.width, 1710.0f);
}

void TestCardModel::editConfigurationLiftsAndKeepsInside_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<float>("left");
    QTest::newRow("box that fits stays") << 12 << 450.0f;
    // Box 13: left 2850, edited 930 wide; picture right 3530: 250 too far, 13 steps of 20.
    QTest::newRow("box past the edge steps left") << 13 << 2590.0f;
    // Box 0: 2300 wide from 450 ends at 2750, inside.
    QTest::newRow("wide box capped") << 0 << 450.0f;
    // Box 18: tick box at 3315, edited 270 wide, 55 past the edge: 3 steps.
    QTest::newRow("tick box") << 18 << 3255.0f;
}

void TestCardModel::editConfigurationLiftsAndKeepsInside()
{
    QFETCH(int, box);
    QFETCH(float, left);
    CardFormModel m;
    QVERIFY(m.LoadCard(writeCard(u"Canada.qcf"_s, installedText(CardLayouts::canada()))));
    const float top = m.box(box).rect.top;
    QSignalSpy question(&m, &CardFormModel::questionChanged);
    m.SaveCntrlPxsPriorToMove();
    m.setCurEditCtrl(box);
    m.ConfigCtrlForEditing();
    const AnswerBoxState &b = m.box(box);
    QCOMPARE(b.rect.height, 220.0f);
    QCOMPARE(b.rect.top, top - 115.0f);
    QCOMPARE(b.rect.left, left);
    QVERIFY(b.rect.right() <= m.varRightSideOfCard());
    QVERIFY(b.rect.right() > m.varRightSideOfCard() - 20 || b.rect.left == left);
    QCOMPARE(b.backColor, CardFormModel::EditColor);
    QCOMPARE(b.fontSize, 7.0f);
    QCOMPARE(question.size(), 1);
    QCOMPARE(m.questionLine(), CardLayouts::canada().rowForBox(box)->question);
}

void TestCardModel::keepInsideEqualsTheStepByStepWalk()
{
    // The walk as written: step left by 20 twips while the right end lies
    // past the picture's right edge.
    const auto walk = [](float left, float width, float right) {
        while (left + width > right)
            left -= CardFormModel::KeepInsideStep;
        return left;
    };
    int compared = 0;
    const float rights[] = {3530, 3395.5f, 651.8269f, -120, 0, 32767};
    const float widths[] = {270, 930, 2300, 1035.25f, 0.1f};
    for (const float right : rights) {
        for (const float width : widths) {
            for (float left = -32768; left <= 32767; left += 97.37f) {
                const float expected = walk(left, width, right);
                const float got = CardFormModel::keptInside(left, width, right);
                if (got != expected)
                    QFAIL(qPrintable(u"left %1 width %2 right %3: %4, the walk gives %5"_s.arg(left).arg(width)
                                         .arg(right).arg(got).arg(expected)));
                ++compared;
            }
        }
    }
    QVERIFY(compared > 10000);
    // Far beyond the twip range the walk would never end; the count does.
    QVERIFY(CardFormModel::keptInside(-1e10f, 270, 3530) <= 3530 - 270);
    QVERIFY(std::isnan(CardFormModel::keptInside(std::nanf(""), 270, 3530)));
}

void TestCardModel::restoreGivesBackTheRecordedLook()
{
    CardFormModel m;
    QVERIFY(m.LoadCard(writeCard(u"Canada.qcf"_s, installedText(CardLayouts::canada()))));
    const AnswerBoxState before = m.box(13);
    m.setCurEditCtrl(13);
    m.ConfigCtrlForEditing();
    m.setBoxText(13, u"B3H 1Z4"_s);
    m.RestoreControl();
    const AnswerBoxState &after = m.box(13);
    QCOMPARE(after.rect.left, before.rect.left);
    QCOMPARE(after.rect.top, before.rect.top);
    QCOMPARE(after.rect.width, before.rect.width);
    QCOMPARE(after.rect.height, 105.0f); // not the 90 it had before
    QCOMPARE(after.backColor, before.backColor);
    QCOMPARE(after.fontSize, before.fontSize);
    QCOMPARE(after.text, u"B3H 1Z4"_s);
    QVERIFY(after.flat);
}

void TestCardModel::colourOutside24BitsIsKept_data()
{
    QTest::addColumn<QString>("colour");
    QTest::newRow("negative") << u"-2147483643"_s;
    QTest::newRow("high byte set") << u"16777216"_s;
    QTest::newRow("largest") << u"2147483647"_s;
}

void TestCardModel::colourOutside24BitsIsKept()
{
    QFETCH(QString, colour);
    // Field 7 of box 13's current layout line holds the colour.
    const QString base = installedText(CardLayouts::canada());
    QStringList fields = lineOf(base, 151 + 13).split(u',');
    fields[6] = colour;
    const QString path = writeCard(u"Canada.qcf"_s, withLine(base, 151 + 13, fields.join(u',')));
    CardFormModel m;
    QVERIFY2(m.LoadCard(path), qPrintable(m.lastError().message()));
    QCOMPARE(std::int32_t(m.box(13).backColor), colour.toInt());
    // An edit of the box, then a save: the colour goes back as it came.
    m.setCurEditCtrl(13);
    m.ConfigCtrlForEditing();
    m.RestoreControl();
    QVERIFY(m.SaveCard());
    QCOMPARE(lineOf(decrypted(path), 151 + 13).split(u',').value(6), colour);
}

void TestCardModel::restoreWithoutEditingChangesNothing()
{
    // Saving and printing restore the edited box; with none edited, box 0
    // must not take the empty recorded look.
    CardFormModel m;
    QVERIFY(m.LoadCard(writeCard(u"Canada.qcf"_s, installedText(CardLayouts::canada()))));
    const auto before = m.boxes();
    m.RestoreControl();
    QVERIFY(m.boxes() == before);
}

void TestCardModel::canadianLayout()
{
    CardFormModel m;
    m.SetUpCanCard();
    const AnswerBoxState &b = m.box(14);
    QCOMPARE(b.rect, (TwipRect{2110, 1130, 105, 90}));
    QCOMPARE(b.tabIndex, 8);
    QVERIFY(b.visible);
    QCOMPARE(b.backColor, 0xC0C000u);
    QCOMPARE(b.tag, u"Citizenship > CANADIAN  (if other, specify below.)"_s);
    QCOMPARE(m.picture(), (TwipRect{135, 80, 3395, 6240}));
    QVERIFY(!m.box(1).visible); // a number the layout does not use
}

void TestCardModel::usLayout()
{
    CardFormModel m;
    m.SetupUSCard();
    for (int i = 0; i < 40; ++i)
        QCOMPARE(m.box(i).backColor, 0xFFFFFFu);
    for (int i : {3, 27, 30, 39}) {
        QVERIFY(!m.box(i).visible);
        QCOMPARE(m.box(i).text, u" "_s);
    }
    QCOMPARE(m.box(4).tabIndex, 0);
    QCOMPARE(m.box(26).tabIndex, 25);
}

void TestCardModel::blueLayout()
{
    CardFormModel m;
    m.SetUpCanCard_blue();
    QCOMPARE(m.box(14).rect.top, 6510.0f);
    QVERIFY(m.box(14).rect.top > m.picture().bottom());
    QVERIFY(!m.box(14).visible);
    QCOMPARE(m.box(14).tabIndex, 29);
    QCOMPARE(m.box(6).text, u"03"_s);
    QCOMPARE(m.box(8).text, u"06"_s);
    QCOMPARE(m.box(22).text, u"x"_s);
}

void TestCardModel::layoutTwiceGivesTheSameBoxes()
{
    CardFormModel m;
    m.SetUpCanCard_blue();
    const auto first = m.boxes();
    m.setBoxText(0, u"changed"_s);
    m.SetUpCanCard_blue();
    QVERIFY(m.boxes() == first);
}

void TestCardModel::placeControlSetsExactValues()
{
    CardFormModel m;
    m.SetUpCanCard();
    m.mPlaceControl(5, 90, 810, 1210, 255);
    QCOMPARE(m.box(5).rect, (TwipRect{810, 1210, 255, 90}));
    QVERIFY(!m.PositionImage(u"imgOther"_s, 1, 2, 3, 4));
    QCOMPARE(m.picture(), (TwipRect{135, 80, 3395, 6240}));
}

void TestCardModel::ratioOutsideTheTableIsRefused()
{
    CardFormModel m;
    m.SetUpCanCard();
    QVERIFY(m.mSetPositionRatio(40));
    QVERIFY(!m.mSetPositionRatio(41));
    QVERIFY(!m.mSetPositionRatio(-1));
    m.PositionImage(u"imgCCCard"_s, 80, 135, 0, 6240);
    const float before = m.horizontalRatio(0);
    QVERIFY(!m.mSetPositionRatio(0));
    QCOMPARE(m.horizontalRatio(0), before);
}

void TestCardModel::tenUpClicksMoveBoxes0To39()
{
    // A card with box 45 beyond the following boxes.
    QString text = installedText(CardLayouts::canada());
    for (int i = 31; i <= 45; ++i)
        text = withLine(text, 151 + i, u"%1,X,90,500,%2,100,0,Small Fonts,3,True,%3"_s.arg(i).arg(5000 + i).arg(60 + i));
    CardFormModel m;
    QVERIFY2(m.LoadCard(writeCard(u"Canada.qcf"_s, text)), qPrintable(m.lastError().message()));
    const auto before = m.boxes();
    for (int click = 0; click < 10; ++click) {
        m.RestoreCntrlActiveCntrl(-1);
        m.SaveCntrlPxsPriorToMove();
        m.movePictureVertically(-20);
        m.RestoreCntrlPxsAfterMove();
    }
    QCOMPARE(m.picture().top, 80.0f - 200);
    for (int i = 0; i < CardFormModel::BoxCount; ++i) {
        const float shift = i < 40 ? 200.0f : 0.0f;
        QCOMPARE(m.box(i).rect.top, before[i].rect.top - shift);
        QCOMPARE(m.box(i).rect.left, before[i].rect.left);
    }
}

void TestCardModel::horizontalArrowReachesBoxesAtTheNextDownClick()
{
    CardFormModel m;
    m.SetUpCanCard();
    m.SaveCntrlPxsPriorToMove();
    m.movePictureHorizontally(20);
    QCOMPARE(m.picture().left, 155.0f);
    QCOMPARE(m.box(0).rect.left, 450.0f); // not yet
    // The down arrow applies the snapshot first, then moves down.
    m.RestoreCntrlPxsAfterMove();
    m.movePictureVertically(20);
    m.RestoreCntrlPxsAfterMove();
    QCOMPARE(m.box(0).rect.left, 470.0f);
    QCOMPARE(m.box(0).rect.top, 670.0f);
    QCOMPARE(m.box(0).rect.height, 105.0f);
}

void TestCardModel::moveCtrl_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<TwipRect>("expected"); // box 12: left 450, top 835, width 1035, height 90
    QTest::addColumn<bool>("refused");
    QTest::newRow("right widens") << u"R"_s << u"50"_s << false << TwipRect{450, 835, 1085, 90} << false;
    QTest::newRow("right moves when ticked") << u"R"_s << u"50"_s << true << TwipRect{500, 835, 1035, 90} << false;
    QTest::newRow("left narrows") << u"L"_s << u"50"_s << false << TwipRect{450, 835, 985, 90} << false;
    QTest::newRow("up moves") << u"U"_s << u"50"_s << false << TwipRect{450, 785, 1035, 90} << false;
    QTest::newRow("down moves when ticked") << u"D"_s << u"50"_s << true << TwipRect{450, 885, 1035, 90} << false;
    QTest::newRow("fraction becomes whole") << u"D"_s << u"12.6"_s << false << TwipRect{450, 848, 1035, 90} << false;
    QTest::newRow("not a number") << u"R"_s << u"fifty"_s << false << TwipRect{450, 835, 1035, 90} << true;
    QTest::newRow("narrower than nothing") << u"L"_s << u"1035"_s << false << TwipRect{450, 835, 1035, 90} << true;
}

void TestCardModel::moveCtrl()
{
    QFETCH(QString, command);
    QFETCH(QString, step);
    QFETCH(bool, ticked);
    QFETCH(TwipRect, expected);
    QFETCH(bool, refused);
    CardFormModel m;
    m.SetUpCanCard();
    const QString result = m.MoveCtrl(12, command, step, ticked);
    QCOMPARE(!result.isEmpty(), refused);
    QCOMPARE(m.box(12).rect, expected);
}

void TestCardModel::moveImage_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<TwipRect>("expected"); // picture 135, 80, 3395 x 6240
    QTest::addColumn<bool>("refused");
    QTest::newRow("down moves when ticked") << u"D"_s << u"50"_s << true << TwipRect{135, 130, 3395, 6240} << false;
    QTest::newRow("left narrows") << u"L"_s << u"50"_s << false << TwipRect{135, 80, 3345, 6240} << false;
    QTest::newRow("up shortens") << u"U"_s << u"50"_s << false << TwipRect{135, 80, 3395, 6190} << false;
    QTest::newRow("fraction kept") << u"R"_s << u"12.5"_s << true << TwipRect{147.5, 80, 3395, 6240} << false;
    QTest::newRow("fractional stretch") << u"D"_s << u"0.25"_s << false << TwipRect{135, 80, 3395, 6240.25} << false;
    QTest::newRow("not a number") << u"D"_s << u"x"_s << true << TwipRect{135, 80, 3395, 6240} << true;
    QTest::newRow("shorter than nothing") << u"U"_s << u"6240"_s << false << TwipRect{135, 80, 3395, 6240} << true;
}

void TestCardModel::moveImage()
{
    QFETCH(QString, command);
    QFETCH(QString, step);
    QFETCH(bool, ticked);
    QFETCH(TwipRect, expected);
    QFETCH(bool, refused);
    CardFormModel m;
    m.SetUpCanCard();
    const auto boxes = m.boxes();
    const QString result = m.MoveImage(command, step, ticked);
    QCOMPARE(!result.isEmpty(), refused);
    QCOMPARE(m.picture(), expected);
    QVERIFY(m.boxes() == boxes); // the boxes stay where they are
}

void TestCardModel::stepsPastTheTwipRangeAreRefused_data()
{
    // Box 12 of the Canadian layout: left 450, top 835, width 1035; picture
    // at 135, 80, 3395 by 6240.
    QTest::addColumn<QString>("kind"); // box, image or arrow
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("refused");
    QTest::newRow("box step 32767 down") << u"box"_s << u"D"_s << u"32767"_s << true << true;
    QTest::newRow("box step past 16 bits") << u"box"_s << u"D"_s << u"40000"_s << true << true;
    QTest::newRow("box widened past 16 bits") << u"box"_s << u"R"_s << u"32000"_s << false << true;
    QTest::newRow("box to the edge") << u"box"_s << u"U"_s << u"32767"_s << true << false;
    QTest::newRow("picture step 1e39") << u"image"_s << u"D"_s << u"1e39"_s << true << true;
    QTest::newRow("picture step 1e39 stretch") << u"image"_s << u"R"_s << u"1e39"_s << false << true;
    QTest::newRow("picture past 16 bits") << u"image"_s << u"R"_s << u"32767"_s << true << true;
    QTest::newRow("picture taller past 16 bits") << u"image"_s << u"D"_s << u"30000"_s << false << true;
    QTest::newRow("picture step inf") << u"image"_s << u"D"_s << u"inf"_s << true << true;
    QTest::newRow("picture step nan") << u"image"_s << u"D"_s << u"nan"_s << true << true;
    QTest::newRow("picture arrow up at the edge") << u"arrow"_s << u"U"_s << u"-32760"_s << false << true;
    QTest::newRow("picture arrow right at the edge") << u"arrow"_s << u"R"_s << u"32760"_s << false << true;
    QTest::newRow("picture arrow narrower to nothing") << u"arrow"_s << u"N"_s << u"20"_s << false << true;
    QTest::newRow("picture arrow taller with a box at the edge") << u"arrow"_s << u"T"_s << u"box"_s << false << true;
    QTest::newRow("picture arrow up inside") << u"arrow"_s << u"U"_s << u"80"_s << false << false;
}

void TestCardModel::stepsPastTheTwipRangeAreRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, command);
    QFETCH(QString, step);
    QFETCH(bool, ticked);
    QFETCH(bool, refused);
    CardFormModel m;
    m.SetUpCanCard();
    if (kind == u"arrow") {
        // The picture starts where the row says, or a box sits at the edge.
        TwipRect p = m.picture();
        if (step == u"box") {
            TwipRect r = m.box(12).rect;
            r.top = 32700;
            m.setBoxRect(12, r);
            m.mSetPositionRatio(12);
        } else if (command == u"U") {
            p.top = step.toFloat();
        } else if (command == u"R") {
            p.left = step.toFloat();
        } else {
            p.width = step.toFloat();
        }
        m.setPicture(p);
    }
    m.SaveCntrlPxsPriorToMove();
    const auto boxes = m.boxes();
    const TwipRect picture = m.picture();
    const QString snapshotTop = m.mcolCntrlLocation().Item(u"13"_s)->top_r;
    QString result;
    if (kind == u"box")
        result = m.MoveCtrl(12, command, step, ticked);
    else if (kind == u"image")
        result = m.MoveImage(command, step, ticked);
    else if (command == u"U")
        result = m.movePictureVertically(-20);
    else if (command == u"R")
        result = m.movePictureHorizontally(20);
    else if (command == u"N")
        result = m.stretchPicture(-20, 0);
    else
        result = m.stretchPicture(0, 20);
    if (refused) {
        QVERIFY(m.boxes() == boxes);
        QCOMPARE(m.picture(), picture);
        QCOMPARE(m.mcolCntrlLocation().Item(u"13"_s)->top_r, snapshotTop);
    }
    QCOMPARE(!result.isEmpty(), refused);
    for (int i = 0; i < CardFormModel::BoxCount; ++i) {
        QVERIFY(Numbers::isTwip(m.box(i).rect.left) && Numbers::isTwip(m.box(i).rect.top));
        QVERIFY(Numbers::isTwip(m.box(i).rect.width));
    }
    QVERIFY(Numbers::isTwip(m.picture().left) && Numbers::isTwip(m.picture().top));
    QVERIFY(Numbers::isTwip(m.picture().width) && Numbers::isTwip(m.picture().height));
    QVERIFY(m.picture().width > 0 && m.picture().height > 0);
}

void TestCardModel::saveThatWouldNotOpenIsRefused()
{
    // A card whose picture is placed past the twip range in memory (as no
    // command can do now) is not written: the file keeps what it had.
    const QString path = writeCard(u"Canada.qcf"_s, installedText(CardLayouts::canada()));
    CardFormModel m;
    QVERIFY(m.LoadCard(path));
    const QByteArray before = fileBytes(path);
    m.setBoxText(12, u"typed"_s);
    TwipRect p = m.picture();
    p.top = 1e10f;
    m.setPicture(p);
    QVERIFY(!m.SaveCard());
    QVERIFY2(m.lastError().message().contains(u"line 36"_s), qPrintable(m.lastError().message()));
    QCOMPARE(fileBytes(path), before);
    // Put right, the same card saves.
    p.top = 80;
    m.setPicture(p);
    QVERIFY(m.SaveCard());
    QVERIFY(fileBytes(path) != before);
}

void TestCardModel::saveRewritesOnlyItsLines_data()
{
    QTest::addColumn<bool>("design");
    QTest::newRow("normal") << false;
    QTest::newRow("design") << true;
}

void TestCardModel::saveRewritesOnlyItsLines()
{
    QFETCH(bool, design);
    QString text = installedText(CardLayouts::us());
    text = withLine(text, 24, u"UseDefaultSettings,True"_s);
    text = withLine(text, 25, design ? u"DesignMode,TRUE"_s : u"DesignMode,false"_s);
    // Make every written line differ from what a save writes.
    for (int i : range(20, 23))
        text = withLine(text, i, lineOf(text, i) + u".0"_s);
    for (int i : range(36, 39))
        text = withLine(text, i, lineOf(text, i) + u".0"_s);
    for (int box = 0; box <= 26; ++box) {
        text = withLine(text, 51 + box, lineOf(text, 51 + box) + u" "_s);
        text = withLine(text, 151 + box, lineOf(text, 151 + box) + u" "_s);
    }
    const QString path = writeCard(u"US.qcf"_s, text);
    CardFormModel m;
    QVERIFY2(m.LoadCard(path), qPrintable(m.lastError().message()));
    m.setVarCardTitle(u"US"_s);
    for (int box = 0; box <= 26; ++box)
        m.setBoxText(box, u"answer %1"_s.arg(box));
    QVERIFY(m.SaveCard());
    const QString saved = decrypted(path);

    // Box 3 is hidden (the layout does not use it), so its lines stay.
    QList<int> boxes = range(0, 26);
    boxes.removeAll(3);
    QList<int> expected = {24, 25};
    if (design)
        expected = range(20, 25);
    expected += range(36, 39);
    for (int box : boxes) {
        if (design)
            expected.append(51 + box);
        expected.append(151 + box);
        if (!design)
            expected.append(351 + box);
    }
    std::sort(expected.begin(), expected.end());
    QCOMPARE(changedLines(text, saved), expected);
    QCOMPARE(lineOf(saved, 24), u"UseDefaultSettings,False"_s);
    QCOMPARE(lineOf(saved, 25), design ? u"DesignMode,True"_s : u"DesignMode,False"_s);
    QCOMPARE(lineOf(saved, 151 + 4), u"4,FamilyName,90,510,1530,1860,16777215,Small Fonts,3,True,0"_s);
    QCOMPARE(lineOf(saved, 351 + 4), design ? lineOf(text, 351 + 4) : u"4,FamilyName,answer 4"_s);
    QVERIFY(!m.chkDefault());
}

void TestCardModel::saveTwiceWritesTheSameBytes()
{
    const QString path = writeCard(u"Canada.qcf"_s, installedText(CardLayouts::canada()));
    CardFormModel m;
    QVERIFY(m.LoadCard(path));
    m.setBoxText(0, u"\"Quoted, with commas\""_s);
    m.setBoxText(4, QString());
    QVERIFY(m.SaveCard());
    const QByteArray first = fileBytes(path);
    QVERIFY(m.SaveCard());
    QCOMPARE(fileBytes(path), first);

    CardFormModel again;
    QVERIFY(again.LoadCard(path));
    QCOMPARE(again.box(0).text, u"\"Quoted, with commas\""_s);
    QCOMPARE(again.box(4).text, QString());
    QCOMPARE(lineOf(decrypted(path), 351 + 4), u"4,Name,"_s);
}

void TestCardModel::userCommandsMarkTheCardModified_data()
{
    using Arrow = CardFormModel::PictureArrow;
    QTest::addColumn<std::function<QString(CardFormModel &)>>("command");
    QTest::addColumn<bool>("modifies");
    QTest::addColumn<bool>("refused");
    const auto done = [](auto f) {
        return std::function<QString(CardFormModel &)>([f](CardFormModel &m) { f(m); return QString(); });
    };
    QTest::newRow("typed answer") << done([](CardFormModel &m) { m.setAnswer(0, u"12 Maple Road"_s); }) << true << false;
    QTest::newRow("same answer again") << done([](CardFormModel &m) { m.setAnswer(0, m.restBox(0).text); })
                                       << false << false;
    QTest::newRow("design switch") << done([](CardFormModel &m) { m.ToggleDesign(); }) << true << false;
    QTest::newRow("orientation") << done([](CardFormModel &m) { m.setOrientationChecked(true); }) << true << false;
    QTest::newRow("picture up") << std::function([](CardFormModel &m) { return m.pictureArrow(Arrow::Up, 0); })
                                << true << false;
    QTest::newRow("picture wider")
        << std::function([](CardFormModel &m) { return m.pictureArrow(Arrow::Wider, -1); }) << true << false;
    QTest::newRow("design nudge of a box")
        << std::function([](CardFormModel &m) { return m.nudgeBox(0, u"R"_s, u"50"_s, true); }) << true << false;
    QTest::newRow("refused design nudge")
        << std::function([](CardFormModel &m) { return m.nudgeBox(0, u"R"_s, u"abc"_s, true); }) << false << true;
    QTest::newRow("design nudge of the picture")
        << std::function([](CardFormModel &m) { return m.nudgePicture(u"D"_s, u"20"_s, true); }) << true << false;
    QTest::newRow("layout moved") << done([](CardFormModel &m) { m.moveLayout(40); }) << true << false;
    QTest::newRow("focus only") << done([](CardFormModel &m) { m.boxGotFocus(4); m.boxLostFocus(4); }) << false << false;
}

// Every change the user makes marks the card; a load and a save clear it, and
// the model says so to the window's title.
void TestCardModel::userCommandsMarkTheCardModified()
{
    QFETCH(std::function<QString(CardFormModel &)>, command);
    QFETCH(bool, modifies);
    QFETCH(bool, refused);
    const QString path = writeCard(u"Canada.qcf"_s, installedText(CardLayouts::canada()));
    CardFormModel m;
    QVERIFY(m.LoadCard(path));
    QVERIFY(!m.isModified());
    QSignalSpy changed(&m, &CardFormModel::modifiedChanged);
    QCOMPARE(!command(m).isEmpty(), refused);
    QCOMPARE(m.isModified(), modifies);
    QCOMPARE(changed.size(), modifies ? 1 : 0);
    QVERIFY(m.SaveCard());
    QVERIFY(!m.isModified());
    m.setModified(true);
    QVERIFY(m.LoadCard(path));
    QVERIFY(!m.isModified());
}

// The enlarged box is only a look: the card string and the printed page take
// the box at rest, and the box stays enlarged.
void TestCardModel::editedBoxSavesAndPrintsAtRest()
{
    const QString path = writeCard(u"Canada.qcf"_s, installedText(CardLayouts::canada()));
    CardFormModel m;
    QVERIFY(m.LoadCard(path));
    const TwipRect rest = m.box(13).rect;
    QVERIFY(m.boxGotFocus(13));
    m.setAnswer(13, u"B3H 1Z4"_s);
    QCOMPARE(m.box(13).rect.height, CardFormModel::EditHeight);
    QCOMPARE(m.restBox(13).rect.left, rest.left);
    QCOMPARE(m.restBox(13).rect.top, rest.top);
    QCOMPARE(m.restBox(13).rect.height, CardFormModel::NormalHeight);
    QVERIFY(m.SaveCard());
    QCOMPARE(m.editedBox(), 13);
    QCOMPARE(m.box(13).rect.height, CardFormModel::EditHeight);
    const QStringList fields = lineOf(decrypted(path), 151 + 13).split(u',');
    QCOMPARE(fields.at(2), Numbers::formatSingle(CardFormModel::NormalHeight));
    QCOMPARE(fields.at(3), Numbers::formatSingle(rest.left));
    QCOMPARE(fields.at(4), Numbers::formatSingle(rest.top));
    QCOMPARE(lineOf(decrypted(path), 351 + 13).section(u',', 2), u"B3H 1Z4"_s);
    // A design step on the edited box moves its place at rest, and the
    // enlarged look follows it.
    QVERIFY(m.nudgeBox(13, u"D"_s, u"50"_s, true).isEmpty());
    QCOMPARE(m.restBox(13).rect.top, rest.top + 50);
    QCOMPARE(m.box(13).rect.top, rest.top + 50 - (CardFormModel::EditHeight - CardFormModel::NormalHeight));
}

void TestCardModel::hiddenBoxBelowTheHighestKeepsItsLines()
{
    // The US card leaves box 3 unused (hidden): its lines stay as they are.
    const QString base = withLine(installedText(CardLayouts::us()), 351 + 3, u"3,Unused,kept as it is"_s);
    const QString path = writeCard(u"US.qcf"_s, base);
    CardFormModel m;
    QVERIFY(m.LoadCard(path));
    m.setBoxText(4, u"Lindqvist"_s);
    QVERIFY(m.SaveCard());
    const QString saved = decrypted(path);
    QCOMPARE(lineOf(saved, 351 + 3), u"3,Unused,kept as it is"_s);
    QCOMPARE(lineOf(saved, 151 + 3), lineOf(base, 151 + 3));
    QCOMPARE(lineOf(saved, 351 + 4), u"4,FamilyName,Lindqvist"_s);
}

void TestCardModel::orientationCheckRewritesLine27()
{
    const QString path = writeCard(u"Canada.qcf"_s, installedText(CardLayouts::canada()));
    CardFormModel m;
    QVERIFY(m.LoadCard(path));
    QVERIFY(!m.chkOrientation());
    m.setOrientationChecked(true);
    QCOMPARE(lineOf(m.clsCard()->CardStr(), 27), u"Orientation,L"_s);
    QVERIFY(m.SaveCard());
    QCOMPARE(lineOf(decrypted(path), 27), u"Orientation,L"_s);
    m.setOrientationChecked(false);
    QVERIFY(m.SaveCard());
    QCOMPARE(lineOf(decrypted(path), 27), u"Orientation,P"_s);
}

void TestCardModel::resetBringsBackTheInstalledLayout()
{
    const QString path = writeCard(u"Canada.qcf"_s, installedText(CardLayouts::canada()));
    CardFormModel m;
    QVERIFY(m.LoadCard(path));
    m.setBoxText(0, u"saved answer"_s);
    m.SaveCntrlPxsPriorToMove();
    m.movePictureVertically(-100);
    m.RestoreCntrlPxsAfterMove();
    QVERIFY(m.SaveCard());
    const QString savedBefore = decrypted(path);
    QCOMPARE(lineOf(savedBefore, 36), u"ImagePxTop,-20"_s);

    m.setBoxText(0, u"typed, not saved"_s);
    QVERIFY(m.resetToInstalled());
    QVERIFY(!m.clsCard()->varRestCard());
    QCOMPARE(m.picture().top, 80.0f);
    QCOMPARE(m.box(0).rect.top, 650.0f);
    QCOMPARE(m.box(0).text, u"saved answer"_s);
    const QString after = decrypted(path);
    QCOMPARE(lineOf(after, 36), u"ImagePxTop,80"_s);
    for (int line : range(20, 23) + range(51, 147))
        QCOMPARE(lineOf(after, line), lineOf(savedBefore, line));
    QCOMPARE(lineOf(after, 351), u"0,Address,saved answer"_s);
    // The ratios follow the installed picture again.
    QCOMPARE(m.verticalRatio(0), 0.09134615f);
}

void TestCardModel::failedResetKeepsTheAnswers_data()
{
    QTest::addColumn<int>("line"); // 0: the card file is deleted
    QTest::addColumn<QString>("text");
    QTest::newRow("card file deleted") << 0 << QString();
    QTest::newRow("installed box above 95") << 51 + 5 << u"96,X,90,100,100,100,0,F,3,True,0"_s;
    QTest::newRow("installed picture without height") << 23 << u"ImageHt,0"_s;
}

void TestCardModel::failedResetKeepsTheAnswers()
{
    QFETCH(int, line);
    QFETCH(QString, text);
    const QString installed = installedText(CardLayouts::canada());
    const QString path = writeCard(u"Canada.qcf"_s, installed);
    CardFormModel m;
    QVERIFY(m.LoadCard(path));
    m.setBoxText(4, u"Okafor, Ada"_s);
    QVERIFY(m.SaveCard());
    m.setBoxText(13, u"B3H 1Z4"_s);
    if (line == 0)
        QVERIFY(QFile::remove(path));
    else
        writeCard(u"Canada.qcf"_s, withLine(installed, line, text));
    const auto boxes = m.boxes();
    const QString cardStr = m.clsCard()->CardStr();

    QVERIFY(!m.resetToInstalled());
    QVERIFY2(m.lastError().message().contains(u"Canada.qcf"_s), qPrintable(m.lastError().message()));
    QVERIFY(m.boxes() == boxes);
    QCOMPARE(m.clsCard()->CardStr(), cardStr);
    QVERIFY(!m.clsCard()->varRestCard());
    // The next save writes the answers shown, not empty ones.
    QVERIFY(m.SaveCard());
    QCOMPARE(lineOf(decrypted(path), 351 + 4), u"4,Name,Okafor, Ada"_s);
    QCOMPARE(lineOf(decrypted(path), 351 + 13), u"13,PostalCode,B3H 1Z4"_s);
}

void TestCardModel::resetSwitchesFollowTheCard_data()
{
    QTest::addColumn<QString>("designLine");
    QTest::addColumn<bool>("toggleDesign");
    QTest::addColumn<bool>("design");
    QTest::addColumn<QString>("notify");
    QTest::newRow("orientation ticked, not saved") << u"DesignMode,False"_s << false << false << QString();
    QTest::newRow("design switched off, not saved") << u"DesignMode,True"_s << true << true << u"Dgn"_s;
    QTest::newRow("design card left alone") << u"DesignMode,True"_s << false << true << u"Dgn"_s;
}

void TestCardModel::resetSwitchesFollowTheCard()
{
    QFETCH(QString, designLine);
    QFETCH(bool, toggleDesign);
    QFETCH(bool, design);
    QFETCH(QString, notify);
    QString text = withLine(installedText(CardLayouts::canada()), 25, designLine);
    text = withLine(text, 27, u"Orientation,P"_s);
    CardFormModel m;
    QVERIFY(m.LoadCard(writeCard(u"Canada.qcf"_s, text)));
    QVERIFY(!m.chkOrientation());
    m.setOrientationChecked(true);
    if (toggleDesign)
        m.ToggleDesign();
    QSignalSpy switches(&m, &CardFormModel::switchesChanged);
    QVERIFY(m.resetToInstalled());
    QVERIFY(!switches.isEmpty());
    QVERIFY(!m.chkOrientation());
    QCOMPARE(m.clsCard()->cardOrient(), u"P"_s);
    QCOMPARE(m.chkDesign(), design);
    QCOMPARE(m.clsCard()->DesignMode(), design);
    QCOMPARE(m.designSwitchVisible(), design);
    QCOMPARE(m.labNotify(), notify);
}

void TestCardModel::oneBoxInEditConfiguration()
{
    const QString path = writeCard(u"Canada.qcf"_s, installedText(CardLayouts::canada()));
    CardFormModel m;
    QVERIFY(m.LoadCard(path));
    const AnswerBoxState thirteen = m.box(13);
    QVERIFY(m.boxGotFocus(13));
    QVERIFY(!m.boxGotFocus(13)); // the box keeps its edit configuration
    QCOMPARE(m.box(13).rect.height, 220.0f);
    // Box 12 gains the focus without box 13 having lost it.
    QVERIFY(m.boxGotFocus(12));
    QCOMPARE(m.editedBox(), 12);
    QCOMPARE(m.box(13).rect, (TwipRect{thirteen.rect.left, thirteen.rect.top, thirteen.rect.width, 105}));
    QCOMPARE(m.box(13).backColor, thirteen.backColor);
    // The snapshot was taken with box 13 at rest.
    QCOMPARE(m.mcolCntrlLocation().Item(u"14"_s)->wdth, Numbers::formatSingle(thirteen.rect.width));
    // A late loss of focus of box 13 does not touch box 12.
    m.boxLostFocus(13);
    QCOMPARE(m.box(12).rect.height, 220.0f);
    // Configuring the same box twice keeps its normal look as the recorded one.
    m.ConfigCtrlForEditing();
    m.boxLostFocus(12);
    QCOMPARE(m.box(12).rect.height, 105.0f);
    QCOMPARE(m.box(12).backColor, CardLayouts::canada().backColor);

    // A save while a box is enlarged writes it at rest.
    QVERIFY(m.boxGotFocus(13));
    QVERIFY(m.SaveCard());
    QCOMPARE(lineOf(decrypted(path), 151 + 13).section(u',', 2, 6),
             u"105,%1,%2,%3,%4"_s.arg(thirteen.rect.left).arg(thirteen.rect.top).arg(thirteen.rect.width)
                 .arg(thirteen.backColor));
}

void TestCardModel::snapshotIsValidWhenTheCardIsShown_data()
{
    QTest::addColumn<bool>("builtIn");
    QTest::newRow("card file") << false;
    QTest::newRow("built-in layout") << true;
}

void TestCardModel::snapshotIsValidWhenTheCardIsShown()
{
    QFETCH(bool, builtIn);
    CardFormModel m;
    if (builtIn)
        m.SetUpCanCard();
    else
        QVERIFY(m.LoadCard(writeCard(u"Canada.qcf"_s, installedText(CardLayouts::canada()))));
    const TwipRect zero = m.box(0).rect;
    // No box had the focus: the horizontal arrow, then the down arrow.
    m.movePictureHorizontally(20);
    m.RestoreCntrlPxsAfterMove();
    QCOMPARE(m.box(0).rect.left, zero.left + 20);
    QCOMPARE(m.box(0).rect.top, zero.top);

    // The box being edited follows the picture and stays there afterwards.
    QVERIFY(m.boxGotFocus(0));
    m.RestoreCntrlActiveCntrl(0);
    m.SaveCntrlPxsPriorToMove();
    m.movePictureVertically(-20);
    m.RestoreCntrlPxsAfterMove();
    m.boxLostFocus(0);
    QCOMPARE(m.box(0).rect.top, zero.top - 20);
    QCOMPARE(m.box(0).rect.left, zero.left + 20);
}

void TestCardModel::unlistedBoxesTabAfterTheListed_data()
{
    QTest::addColumn<bool>("builtIn");
    QTest::newRow("card file") << false;
    QTest::newRow("built-in layout") << true;
}

void TestCardModel::unlistedBoxesTabAfterTheListed()
{
    QFETCH(bool, builtIn);
    const CardLayout &us = CardLayouts::us();
    CardFormModel m;
    if (builtIn)
        m.SetupUSCard();
    else
        QVERIFY(m.LoadCard(writeCard(u"US.qcf"_s, installedText(us))));
    int highestListed = -1;
    QSet<int> seen;
    for (const LayoutRow &row : us.rows) {
        highestListed = std::max(highestListed, m.box(row.box).tabIndex);
        seen.insert(m.box(row.box).tabIndex);
    }
    for (int i = 0; i < CardFormModel::BoxCount; ++i) {
        if (us.rowForBox(i))
            continue;
        QVERIFY2(m.box(i).tabIndex > highestListed, qPrintable(QString::number(i)));
        QVERIFY(!seen.contains(m.box(i).tabIndex));
        seen.insert(m.box(i).tabIndex);
    }
    // The box with the lowest tab index takes the focus first.
    QCOMPARE(m.box(m.firstBox()).tabIndex, 0);
}

void TestCardModel::mainWindowHeight()
{
    // A picture 7248 high from top 360, and a panel ending at 6000.
    const MainLayout::CardWindowLayout l = MainLayout::forCard(135, 360, 3395, 7248, 4000, 2000, 4000);
    QCOMPARE(l.height, 8608);
    QCOMPARE(l.panelLeft, 135 + 3395 + 300);
    QCOMPARE(l.width, 3395 + 300 + 4000 + 600);
    // No 16-bit overflow for a tall card.
    QCOMPARE(MainLayout::forCard(0, 30000, 3000, 30000, 0, 100, 100).height, 61000);
}

// The kinds of answer change what prints and what the window shows, never
// what the card file keeps: the same typing saves the same bytes with the
// fields file as without it.
void TestCardModel::fieldsFileLeavesTheSavedAnswersAsTyped()
{
    const CardLayout &layout = CardLayouts::canada();
    QByteArray saved[2];
    for (int withFields = 0; withFields < 2; ++withFields) {
        const QString folder = m_dir->filePath(u"kinds%1"_s.arg(withFields));
        QVERIFY(QDir().mkpath(folder));
        const QString card = folder + u"/Canada.qcf"_s;
        QVERIFY(TestCards::writeCard(card, TestCards::installedText(layout)));
        if (withFields)
            QVERIFY(TestCards::copyBundledFields(layout.name, card));
        CardFormModel model;
        QVERIFY2(model.LoadCard(card), qPrintable(model.lastError().message()));
        QCOMPARE(model.fields().isEmpty(), !withFields);
        for (const LayoutRow &row : layout.rows) {
            // Lower case in capitals boxes, a one-digit month, a tick on
            // each NO as the user gives it.
            if (row.width > 120)
                model.setAnswer(row.box, u"élodie %1 straße"_s.arg(row.box));
            else if (row.question.endsWith(u"NO"_s))
                withFields ? model.setTicked(row.box, true) : model.setAnswer(row.box, u"x"_s);
        }
        model.setAnswer(6, u"6"_s);
        QVERIFY(model.SaveCard());
        QString reason;
        QVERIFY(CardFileEnvelope::readCardFile(card, &saved[withFields], &reason));
    }
    QVERIFY(saved[0].contains("\r\n6,BirthMonth,6\r\n"));
    QVERIFY(saved[0].contains("3,FirearmsNo,x\r\n"));
    QCOMPARE(saved[1], saved[0]);
}

QTEST_GUILESS_MAIN(TestCardModel)
#include "tst_cardmodel.moc"
