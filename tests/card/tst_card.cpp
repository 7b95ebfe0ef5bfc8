// Card files: loading the installed cards, every kind of bad card file, and
// saving back through the encrypted envelope.

#include "Card.h"
#include "CardChooser.h"
#include "CardFileEnvelope.h"
#include "CardLayouts.h"
#include "Cp1252.h"
#include "InstalledCardText.h"
#include "Messages.h"
#include "TestCards.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace TestCards;

class TestCard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void installedCardsLoad_data();
    void installedCardsLoad();
    void bundledCardFilesMatchTheGenerator_data();
    void bundledCardFilesMatchTheGenerator();
    void resetLoadReadsTheInstalledBanks();

    void badFiles_data();
    void badFiles();
    void failedLoadChangesNeitherCardNorFile();
    void bigCardBeyond16BitPositions();
    void chooserSlots();

    void saveRoundTrip();
    void designCopyIsWrittenInDesignMode_data();
    void designCopyIsWrittenInDesignMode();
    void failedDesignCopyStillSavesTheCard();
    void failedWriteKeepsTheOldFile();
    void unencodableTextIsRefused();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    Messages::RecordingSink m_sink;
};

void TestCard::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    Messages::setSink(&m_sink);
}

void TestCard::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_sink.messages.clear();
    m_sink.answers.clear();
}

void TestCard::installedCardsLoad_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("Canada") << 0;
    QTest::newRow("US") << 1;
    QTest::newRow("Canada_Blue") << 2;
}

void TestCard::installedCardsLoad()
{
    QFETCH(int, which);
    const CardLayout &layout = *CardLayouts::all().at(which);
    const QString file = path(layout.name + u".qcf"_s);
    QVERIFY(writeCard(file, installedText(layout)));

    Card card;
    QVERIFY2(card.LoadCard(file), qPrintable(card.lastError().message()));
    QVERIFY(!card.DesignMode());
    QCOMPARE(card.cardOrient(), u"P"_s);
    QCOMPARE(card.CardImageTop(), float(layout.pictureTop));
    QCOMPARE(card.CardImageWidth(), float(layout.pictureWidth));
    QCOMPARE(card.varEnlarge(), 1.0f);
    QCOMPARE(card.varLeftPrintMargin(), std::int16_t(0));
    QVERIFY(card.PaperHt() >= layout.pictureHeight);
    QCOMPARE(card.colCardCtrls().Count(), layout.highestBox() + 1);
    QCOMPARE(card.colAnsws().Count(), 0);
    QCOMPARE(card.colQuests().Count(), int(layout.rows.size()));
    for (const LayoutRow &row : layout.rows) {
        const CardCtrl *c = card.colCardCtrls().Item(QString::number(row.box));
        QVERIFY(c);
        QCOMPARE(c->left_c, QString::number(row.left));
        QCOMPARE(c->top_r, QString::number(row.top));
        QCOMPARE(c->wdth, QString::number(row.width));
        QCOMPARE(c->tabOrder, QString::number(row.tabIndex));
        QCOMPARE(c->visible, row.visible ? u"True"_s : u"False"_s);
        QCOMPARE(card.colQuests().Item(QString::number(row.box))->question, row.question);
    }
    // Numbers the layout leaves unused are hidden boxes, so saving finds every number.
    for (int box = 0; box <= layout.highestBox(); ++box) {
        if (!layout.rowForBox(box))
            QCOMPARE(card.colCardCtrls().Item(QString::number(box))->visible, u"False"_s);
    }
}

void TestCard::bundledCardFilesMatchTheGenerator_data()
{
    installedCardsLoad_data();
}

void TestCard::bundledCardFilesMatchTheGenerator()
{
    QFETCH(int, which);
    const CardLayout &layout = *CardLayouts::all().at(which);
    const QString bundled = qEnvironmentVariable("BORVESSA_SOURCE_DIR") + u"/cards/"_s
        + layout.name + u".qcf"_s;
    QByteArray text;
    QString reason;
    QVERIFY2(CardFileEnvelope::readCardFile(bundled, &text, &reason), qPrintable(reason));
    QCOMPARE(Cp1252::decode(text), installedCardText(layout, installedPrintSettings(layout)));
}

void TestCard::resetLoadReadsTheInstalledBanks()
{
    const CardLayout &layout = CardLayouts::canada();
    QString text = installedText(layout);
    text = withLine(text, 36, u"ImagePxTop,100"_s);
    text = withLine(text, 151, u"0,Address,90,470,670,2745,12632064,Small Fonts,3,True,0"_s);
    text = withLine(text, 351, u"0,Address,1 Main St"_s);
    const QString file = path(u"Canada.qcf"_s);
    QVERIFY(writeCard(file, text));

    Card card;
    QVERIFY(card.LoadCard(file));
    QCOMPARE(card.CardImageTop(), 100.0f);
    QCOMPARE(card.colCardCtrls().Item(u"0"_s)->left_c, u"470"_s);
    QCOMPARE(card.colAnsws().Item(u"0"_s)->Answ, u"1 Main St"_s);

    // The reset reloads the same object: installed banks, answers kept.
    card.setVarRestCard(true);
    QVERIFY(card.LoadCard(file));
    QCOMPARE(int(card.LoadTruthTable()), 20);
    QCOMPARE(card.CardImageTop(), 80.0f);
    QCOMPARE(card.colCardCtrls().Item(u"0"_s)->left_c, u"450"_s);
    QCOMPARE(card.colAnsws().Item(u"0"_s)->Answ, u"1 Main St"_s);
}

void TestCard::badFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");   // raw file bytes; empty: no file
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("reasonPart");

    const QString good = installedText(CardLayouts::us());
    QByteArray goodFile;
    QString reason;
    CardFileEnvelope::encrypt(Cp1252::encode(good), &goodFile, &reason);

    QTest::newRow("missing") << QByteArray() << false << u"does not exist"_s;
    QTest::newRow("empty") << QByteArray() << true << u"empty"_s;
    QTest::newRow("length not a multiple of 8") << goodFile.left(goodFile.size() - 3) << true
                                                << u"is not a Borvessa card, or it is damaged"_s;
    QByteArray otherKey = goodFile;
    otherKey[otherKey.size() - 1] = char(otherKey.at(otherKey.size() - 1) ^ 0x5A);
    QTest::newRow("padding does not verify") << otherKey << true << u"is not a Borvessa card, or it is damaged"_s;
    QByteArray tampered = goodFile;
    tampered[200] = char(tampered.at(200) ^ 0x01);
    QTest::newRow("digest mismatch") << tampered << true << u"corrupted"_s;
}

void TestCard::badFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exists);
    QFETCH(QString, reasonPart);
    const QString file = path(u"Bad.qcf"_s);
    if (exists) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    Card card;
    QVERIFY(!card.LoadCard(file));
    const QString message = card.lastError().message();
    QVERIFY2(message.startsWith(QDir::toNativeSeparators(file) + u": "_s), qPrintable(message));
    QVERIFY2(message.contains(reasonPart), qPrintable(message));
    QCOMPARE(card.CardStr(), QString());
    QCOMPARE(fileBytes(file), bytes);
}

void TestCard::failedLoadChangesNeitherCardNorFile()
{
    const QString good = path(u"Good.qcf"_s);
    QVERIFY(writeCard(good, installedText(CardLayouts::canada())));
    Card card;
    QVERIFY(card.LoadCard(good));
    const QString before = card.CardStr();

    // A card whose text is cut short: line 400 onwards are missing.
    const QString shortText = installedText(CardLayouts::us()).section(u"\r\n"_s, 0, 398) + u"\r\n"_s;
    const QString broken = path(u"Short.qcf"_s);
    QVERIFY(writeCard(broken, shortText));
    const QByteArray brokenBytes = fileBytes(broken);
    QVERIFY(!card.LoadCard(broken));
    QVERIFY2(card.lastError().message().contains(u"line 552"_s), qPrintable(card.lastError().message()));
    QCOMPARE(card.CardStr(), before);
    QCOMPARE(card.cardName(), good);
    QCOMPARE(card.colCardCtrls().Count(), CardLayouts::canada().highestBox() + 1);
    QCOMPARE(fileBytes(broken), brokenBytes);
}

void TestCard::bigCardBeyond16BitPositions()
{
    // Long labels push the later lines past position 32767; what the program
    // saves must load again.
    QString text = installedText(CardLayouts::canada());
    text = withLine(text, 5, QString(40000, u'#'));
    const QString file = path(u"Big.qcf"_s);
    QVERIFY(writeCard(file, text));
    Card card;
    QVERIFY2(card.LoadCard(file), qPrintable(card.lastError().message()));
    QCOMPARE(card.colQuests().Count(), 29);
}

void TestCard::saveRoundTrip()
{
    const QString file = path(u"Canada.qcf"_s);
    QVERIFY(writeCard(file, installedText(CardLayouts::canada())));
    Card card;
    QVERIFY(card.LoadCard(file));

    card.colAnsws().clear();
    card.colAnsws().Add(0, u"12 Elm Road, Halifax"_s, u"0"_s);
    card.colAnsws().Add(4, u"\"Quoted"_s, u"4"_s);
    card.setLastCntrl(std::int16_t(CardLayouts::canada().highestBox()));
    card.setUseDefaultVals(false);
    QVERIFY(card.Save_UseDefaultVals_Setting());
    QVERIFY(card.SaveAnwsersToCardStr());
    QVERIFY(card.SaveCardStrToFile());
    const QByteArray first = fileBytes(file);

    Card again;
    QVERIFY(again.LoadCard(file));
    QCOMPARE(again.CardStr(), card.CardStr());
    QCOMPARE(again.colAnsws().Item(u"0"_s)->Answ, u"12 Elm Road, Halifax"_s);
    QCOMPARE(again.colAnsws().Item(u"4"_s)->Answ, u"\"Quoted"_s);
    QCOMPARE(again.colCardCtrls(), card.colCardCtrls());

    // Saving the same text again writes the same bytes.
    QVERIFY(again.SaveCardStrToFile());
    QCOMPARE(fileBytes(file), first);
    QCOMPARE(first.size(), 8 * ((18 + card.CardStr().size()) / 8) + 8);
    // No message was shown on the way.
    QCOMPARE(m_sink.messages.size(), 0);
}

void TestCard::designCopyIsWrittenInDesignMode_data()
{
    // The permissions of a copy already there, or -1 for none.
    QTest::addColumn<int>("oldMode");
    QTest::newRow("new copy") << -1;
    QTest::newRow("old copy readable by all") << 0644;
    QTest::newRow("old copy writable by all") << 0666;
}

void TestCard::designCopyIsWrittenInDesignMode()
{
    QFETCH(int, oldMode);
    QString text = installedText(CardLayouts::us());
    text = withLine(text, 25, u"DesignMode,True"_s);
    const QString file = path(u"US.qcf"_s);
    QVERIFY(writeCard(file, text));
    Card card;
    QVERIFY(card.LoadCard(file));
    QVERIFY(card.DesignMode());
    card.setVarCardTitle(u"US"_s);
    const QString copy = Card::designCopyPath(u"US"_s);
    QFile::remove(copy);
    if (oldMode >= 0) {
        QVERIFY(QDir().mkpath(QFileInfo(copy).absolutePath()));
        QFile old(copy);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old answers") > 0);
        old.close();
        QCOMPARE(::chmod(QFile::encodeName(copy).constData(), mode_t(oldMode)), 0);
    }
    QVERIFY(card.SaveCardStrToFile());
    QCOMPARE(fileBytes(copy), Cp1252::encode(card.CardStr()));
    // The copy holds the answers in plain text: only its owner may read it.
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(copy).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0600));
    // Replaced in one step: no temporary file is left beside it.
    QCOMPARE(QDir(QFileInfo(copy).absolutePath()).entryList({u"*US.csv*"_s}, QDir::Files | QDir::Hidden),
             QStringList{u"US.csv"_s});
    QVERIFY(QFile::remove(copy));
}

void TestCard::failedDesignCopyStillSavesTheCard()
{
    const QString file = path(u"US.qcf"_s);
    QVERIFY(writeCard(file, withLine(installedText(CardLayouts::us()), 25, u"DesignMode,True"_s)));
    Card card;
    QVERIFY(card.LoadCard(file));
    card.setVarCardTitle(u"Blocked"_s);
    // A folder where the copy should go makes the copy fail.
    const QString copy = Card::designCopyPath(u"Blocked"_s);
    QVERIFY(QDir().mkpath(copy));
    card.colAnsws().clear();
    QVERIFY(card.SetDesignModeValInCardStr());
    QVERIFY(card.SaveValueToCardStr(u"changed"_s, 30, QString()));
    QVERIFY(card.SaveCardStrToFile());
    // The card never talks to the user; its caller shows the warning.
    QVERIFY(m_sink.messages.isEmpty());
    QVERIFY2(card.saveWarning().startsWith(u"The design copy %1 "_s.arg(QDir::toNativeSeparators(copy))),
             qPrintable(card.saveWarning()));
    QVERIFY(card.saveWarning().endsWith(u". The card file is saved all the same."_s));
    Card again;
    QVERIFY(again.LoadCard(file));
    QCOMPARE(lineOf(again.CardStr(), 30), u"changed"_s);
    QVERIFY(QDir(copy).removeRecursively());
}

void TestCard::failedWriteKeepsTheOldFile()
{
    const QString file = path(u"Canada.qcf"_s);
    QVERIFY(writeCard(file, installedText(CardLayouts::canada())));
    const QByteArray before = fileBytes(file);
    Card card;
    QVERIFY(card.LoadCard(file));
    card.colAnsws().Add(0, u"new answer"_s, u"0"_s);
    card.setLastCntrl(0);
    QVERIFY(card.SaveAnwsersToCardStr());

    // A file size limit makes every write fail, even for root, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &tiny);
    const bool saved = card.SaveCardStrToFile();
    setrlimit(RLIMIT_FSIZE, &old);

    QVERIFY(!saved);
    QVERIFY2(card.lastError().message().startsWith(QDir::toNativeSeparators(file)),
             qPrintable(card.lastError().message()));
    QCOMPARE(fileBytes(file), before);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{u"Canada.qcf"_s});
}

void TestCard::unencodableTextIsRefused()
{
    const QString file = path(u"US.qcf"_s);
    QVERIFY(writeCard(file, installedText(CardLayouts::us())));
    const QByteArray before = fileBytes(file);
    Card card;
    QVERIFY(card.LoadCard(file));
    card.colAnsws().Add(0, u"Łódź"_s, u"0"_s);
    card.setLastCntrl(0);
    QVERIFY(card.SaveAnwsersToCardStr());
    QVERIFY(!card.SaveCardStrToFile());
    QVERIFY(card.lastError().reason.contains(u"U+0141"_s));
    QCOMPARE(fileBytes(file), before);
}

void TestCard::chooserSlots()
{
    const QList<ChooserSlot> slotList = ::chooserSlots({u"Canada.qcf"_s, u"Canada.qcfd"_s, u"US.qcf"_s, u"x.qcf"_s});
    QCOMPARE(slotList.size(), 4);
    QCOMPARE(slotList[0].caption, u"Canada"_s);
    QVERIFY(slotList[0].visible);
    QVERIFY(!slotList[1].visible);
    QCOMPARE(slotList[2].caption, u"US"_s);
    QCOMPARE(slotList[3].caption, u"x"_s);
    QVERIFY(::chooserSlots({}).isEmpty());
}

QTEST_GUILESS_MAIN(TestCard)
#include "tst_card.moc"
