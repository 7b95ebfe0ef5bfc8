// The card tool: each command's output, exit code and error line.

#include "CardTool.h"
#include "ToolRun.h"

#include "Card.h"
#include "CardLayouts.h"
#include "Cp1252.h"
#include "Messages.h"
#include "TestCards.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace TestCards;

namespace {


} // namespace

class TestCardTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void usageErrors_data();
    void usageErrors();
    void decryptWritesTheCardStringByteForByte();
    void encryptReadsStandardInput();
    void showPrintsTheCardAsJson();
    void showResetReadsTheInstalledLayout();
    void checkReportsEachBadCard();
    void checkAndShowApplyTheWindowsRules_data();
    void checkAndShowApplyTheWindowsRules();
    void getAndSetOneLine();
    void setRefusesTextTheCardCannotHold_data();
    void setRefusesTextTheCardCannotHold();
    void missingLineCountsTheLines_data();
    void missingLineCountsTheLines();
    void cardThatIsNoRegularFileIsRefused_data();
    void cardThatIsNoRegularFileIsRefused();
    void fileThatIsNoCardIsNamed_data();
    void fileThatIsNoCardIsNamed();

private:
    QTemporaryDir m_dir;
    Messages::RecordingSink m_sink;
    QString m_canada;
};

void TestCardTool::initTestCase()
{
    QVERIFY(m_dir.isValid());
    Messages::setSink(&m_sink);
    m_canada = m_dir.filePath(u"Canada.qcf"_s);
    QVERIFY(writeCard(m_canada, installedText(CardLayouts::canada())));
}

void TestCardTool::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("unknown command") << QStringList{u"frobnicate"_s};
    QTest::newRow("decrypt without card") << QStringList{u"decrypt"_s};
    QTest::newRow("get without line") << QStringList{u"get"_s, u"x.qcf"_s};
    QTest::newRow("get line 0") << QStringList{u"get"_s, u"x.qcf"_s, u"0"_s};
    QTest::newRow("set without text") << QStringList{u"set"_s, u"x.qcf"_s, u"3"_s};
    QTest::newRow("check without cards") << QStringList{u"check"_s};
}

void TestCardTool::usageErrors()
{
    QFETCH(QStringList, args);
    const ToolRun r = runTool(args);
    QCOMPARE(r.code, 2);
    QVERIFY(r.err.contains("usage: borvessa-card"));
    QVERIFY(r.out.isEmpty());
}

void TestCardTool::decryptWritesTheCardStringByteForByte()
{
    const ToolRun r = runTool({u"decrypt"_s, m_canada});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, Cp1252::encode(installedText(CardLayouts::canada())));
}

void TestCardTool::encryptReadsStandardInput()
{
    // Through a real process, since the command reads standard input.
    const QString tool = qEnvironmentVariable("BORVESSA_BIN_DIR") + u"/borvessa-card"_s;
    if (!QFile::exists(tool))
        QSKIP("borvessa-card is not built");
    QString text = installedText(CardLayouts::us());
    text = withLine(text, 351, u"4,FamilyName,Ølberg"_s);
    const QString file = m_dir.filePath(u"FromStdin.qcf"_s);
    QProcess p;
    p.start(tool, {u"encrypt"_s, file});
    QVERIFY(p.waitForStarted());
    p.write(Cp1252::encode(text));
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished());
    QCOMPARE(p.exitCode(), 0);
    Card card;
    QVERIFY(card.LoadCard(file));
    QCOMPARE(card.CardStr(), text);
    QCOMPARE(card.colAnsws().Item(u"4"_s)->Answ, u"Ølberg"_s);
}

void TestCardTool::showPrintsTheCardAsJson()
{
    const ToolRun r = runTool({u"show"_s, m_canada});
    QCOMPARE(r.code, 0);
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(r.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(o[u"designMode"_s].toBool(), false);
    QCOMPARE(o[u"orientation"_s].toString(), u"P"_s);
    QCOMPARE(o[u"enlarge"_s].toDouble(), 1.0);
    QCOMPARE(o[u"picture"_s][u"top"_s].toDouble(), 80.0);
    QCOMPARE(o[u"picture"_s][u"width"_s].toDouble(), 3395.0);
    const QJsonArray controls = o[u"controls"_s].toArray();
    QCOMPARE(controls.size(), 31);
    const QJsonObject box14 = controls.at(14).toObject();
    QCOMPARE(box14[u"box"_s].toString(), u"14"_s);
    QCOMPARE(box14[u"left"_s].toString(), u"2110"_s);
    QCOMPARE(box14[u"top"_s].toString(), u"1130"_s);
    QCOMPARE(box14[u"width"_s].toString(), u"105"_s);
    QCOMPARE(box14[u"tabOrder"_s].toString(), u"8"_s);
    QCOMPARE(box14[u"visible"_s].toString(), u"True"_s);
    QCOMPARE(o[u"answers"_s].toArray().size(), 0);
    QCOMPARE(o[u"questions"_s].toArray().size(), 29);
    QCOMPARE(o[u"questions"_s].toArray().at(0)[u"box"_s].toInt(), 0);
}

void TestCardTool::showResetReadsTheInstalledLayout()
{
    QString text = installedText(CardLayouts::canada());
    text = withLine(text, 37, u"ImagePxLeft,500"_s);
    const QString file = m_dir.filePath(u"Moved.qcf"_s);
    QVERIFY(writeCard(file, text));
    const auto left = [&](const QStringList &args) {
        const ToolRun r = runTool(args);
        return QJsonDocument::fromJson(r.out).object()[u"picture"_s][u"left"_s].toDouble();
    };
    QCOMPARE(left({u"show"_s, file}), 500.0);
    QCOMPARE(left({u"show"_s, file, u"--reset"_s}), 135.0);
}

void TestCardTool::checkReportsEachBadCard()
{
    QString text = installedText(CardLayouts::us());
    text = withLine(text, 28, u"PaperHt:tall"_s);
    const QString bad = m_dir.filePath(u"BadPaper.qcf"_s);
    QVERIFY(writeCard(bad, text));
    const QString missing = m_dir.filePath(u"Missing.qcf"_s);

    QCOMPARE(runTool({u"check"_s, m_canada}).code, 0);
    const ToolRun r = runTool({u"check"_s, m_canada, bad, missing});
    QCOMPARE(r.code, 1);
    const QStringList lines = QString::fromLocal8Bit(r.err).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(0).startsWith(QDir::toNativeSeparators(bad) + u": line 28: "_s));
    QVERIFY(lines.at(1).startsWith(QDir::toNativeSeparators(missing) + u": "_s));
}

void TestCardTool::checkAndShowApplyTheWindowsRules_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("picture without width") << 38 << u"ImageWidth,0"_s << u"no width or height"_s;
    QTest::newRow("picture far off") << 37 << u"ImagePxLeft,-1e10"_s << u"line 37: "_s;
    QTest::newRow("box past 16 bits") << 155 << u"4,Name,90,450,40000,2730,12632064,Small Fonts,3,True,4"_s
                                      << u"line 155: "_s;
}

void TestCardTool::checkAndShowApplyTheWindowsRules()
{
    QFETCH(int, line);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    const QString bad = m_dir.filePath(u"Bad.qcf"_s);
    QVERIFY(writeCard(bad, withLine(installedText(CardLayouts::canada()), line, text)));
    for (const QString &command : {u"check"_s, u"show"_s}) {
        const ToolRun r = runTool({command, bad});
        QCOMPARE(r.code, 1);
        const QString err = QString::fromLocal8Bit(r.err);
        QVERIFY2(err.startsWith(QDir::toNativeSeparators(bad) + u": "_s) && err.contains(reason), qPrintable(err));
        QVERIFY(r.out.isEmpty());
    }
}

void TestCardTool::getAndSetOneLine()
{
    const QString file = m_dir.filePath(u"Edit.qcf"_s);
    QVERIFY(writeCard(file, installedText(CardLayouts::canada())));
    ToolRun r = runTool({u"get"_s, file, u"553"_s});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QByteArray("EnlargeFactor:1\n"));

    r = runTool({u"set"_s, file, u"553"_s, u"EnlargeFactor:1.05"_s});
    QCOMPARE(r.code, 0);
    Card card;
    QVERIFY(card.LoadCard(file));
    QCOMPARE(card.varEnlarge(), 1.05f);
    QCOMPARE(card.CardStr(),
             withLine(installedText(CardLayouts::canada()), 553, u"EnlargeFactor:1.05"_s));

    QCOMPARE(runTool({u"get"_s, file, u"900"_s}).code, 1);
}

void TestCardTool::setRefusesTextTheCardCannotHold_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("line break") << u"a\nb"_s << u"borvessa-card: the new text must not contain a line break"_s;
    QTest::newRow("outside the code page")
        << u"\u0141\u00f3d\u017a"_s
        << u"borvessa-card: the character \"\u0141\" (U+0141) cannot be stored in a card file"_s;
}

void TestCardTool::setRefusesTextTheCardCannotHold()
{
    QFETCH(QString, text);
    QFETCH(QString, error);
    const QByteArray before = fileBytes(m_canada);
    const ToolRun r = runTool({u"set"_s, m_canada, u"18"_s, text});
    QCOMPARE(r.code, 2);
    // One line naming the problem, not the whole usage text.
    QCOMPARE(QString::fromLocal8Bit(r.err), error + u'\n');
    QCOMPARE(fileBytes(m_canada), before);
}

void TestCardTool::missingLineCountsTheLines_data()
{
    QTest::addColumn<bool>("finalLineEnd");
    QTest::newRow("ends with a line end") << true;
    QTest::newRow("last line without a line end") << false;
}

void TestCardTool::missingLineCountsTheLines()
{
    QFETCH(bool, finalLineEnd);
    // The installed card has 553 lines; a line after them is asked for.
    QString text = installedText(CardLayouts::canada());
    QVERIFY(text.endsWith(u"\r\n"_s));
    QCOMPARE(text.count(u"\r\n"_s), 553);
    if (!finalLineEnd)
        text.chop(2);
    const QString file = m_dir.filePath(u"Short.qcf"_s);
    QVERIFY(writeCard(file, text));
    const ToolRun r = runTool({u"get"_s, file, u"600"_s});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("line 600: is missing (the card text has only 553 lines)"), r.err.constData());
}

void TestCardTool::cardThatIsNoRegularFileIsRefused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("pipe"); // else a link to /dev/zero
    const QStringList commands[] = {{u"check"_s}, {u"show"_s}, {u"get"_s, u"2"_s},
                                    {u"set"_s, u"2"_s, u"x"_s}, {u"decrypt"_s}};
    for (const QStringList &c : commands) {
        QTest::addRow("%s of a pipe", qPrintable(c.first())) << c << true;
        QTest::addRow("%s of a link to /dev/zero", qPrintable(c.first())) << c << false;
    }
}

void TestCardTool::cardThatIsNoRegularFileIsRefused()
{
    QFETCH(QStringList, args);
    QFETCH(bool, pipe);
    // Neither waits for a writer that never comes nor reads without end.
    QTemporaryDir dir;
    const QString card = dir.filePath(u"Odd.qcf"_s);
    if (pipe)
        QCOMPARE(::mkfifo(QFile::encodeName(card).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(u"/dev/zero"_s, card));
    args.insert(1, card);
    const ToolRun r = runTool(args);
    QCOMPARE(r.code, int(CardTool::BadCard));
    const QString kind = pipe ? u"a named pipe"_s : u"a device"_s;
    QCOMPARE(QString::fromLocal8Bit(r.err),
             u"%1: cannot be read: it is %2, not a regular file\n"_s.arg(card, kind));
    QVERIFY(r.out.isEmpty());
}

void TestCardTool::fileThatIsNoCardIsNamed_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("decrypt") << QStringList{u"decrypt"_s};
    QTest::newRow("show") << QStringList{u"show"_s};
    QTest::newRow("check") << QStringList{u"check"_s};
    QTest::newRow("get") << QStringList{u"get"_s, u"{}"_s, u"3"_s};
    QTest::newRow("set") << QStringList{u"set"_s, u"{}"_s, u"3"_s, u"x"_s};
    QTest::newRow("print") << QStringList{u"print"_s};
}

void TestCardTool::fileThatIsNoCardIsNamed()
{
    // Through the program, with Qt left to complain about its environment:
    // the one line on standard error is the tool's own.
    QFETCH(QStringList, args);
    const QString tool = qEnvironmentVariable("BORVESSA_BIN_DIR") + u"/borvessa-card"_s;
    if (!QFile::exists(tool))
        QSKIP("borvessa-card is not built");
    const QString file = m_dir.filePath(u"Notes.qcf"_s);
    QFile notes(file);
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("Shopping: bread, milk, 12 eggs\r\n");
    notes.close();
    if (!args.contains(u"{}"_s))
        args.append(u"{}"_s);
    args.replaceInStrings(u"{}"_s, file);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"XDG_RUNTIME_DIR"_s);
    env.remove(u"QT_QPA_PLATFORM"_s);
    p.setProcessEnvironment(env);
    p.start(tool, args);
    QVERIFY(p.waitForFinished());
    QCOMPARE(p.exitCode(), 1);
    QCOMPARE(QString::fromLocal8Bit(p.readAllStandardError()),
             QDir::toNativeSeparators(file) + u": is not a Borvessa card, or it is damaged\n"_s);
    QVERIFY(p.readAllStandardOutput().isEmpty());
    QVERIFY(notes.open(QIODevice::ReadOnly));
    QCOMPARE(notes.readAll(), QByteArray("Shopping: bread, milk, 12 eggs\r\n"));
}

QTEST_GUILESS_MAIN(TestCardTool)
#include "tst_cardtool.moc"
