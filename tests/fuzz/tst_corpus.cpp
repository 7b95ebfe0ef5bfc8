// The fuzz targets' properties over every input of their seed corpora: load,
// save and load again for each card, through the card model and through the
// card window's model, and the envelope round trip of each card file.

#include "CardFormModel.h"
#include "CardFileEnvelope.h"
#include "Cp1252.h"
#include "Messages.h"
#include "RoundTrip.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString corpus(const QString &name)
{
    return qEnvironmentVariable("BORVESSA_SOURCE_DIR") + u"/tests/fuzz/corpus/"_s + name;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestCorpus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cards_data();
    void cards();
    void envelopes_data();
    void envelopes();
    void peopleFiles_data();
    void peopleFiles();
    void farOffPictureIsRefusedAtLoad();

private:
    Messages::RecordingSink m_sink;
    std::unique_ptr<Messages::ScopedSink> m_scope;
};

void TestCorpus::init()
{
    // Design cards write their plain copy into the user's data folder.
    QStandardPaths::setTestModeEnabled(true);
    m_sink.messages.clear();
    m_scope = std::make_unique<Messages::ScopedSink>(&m_sink);
}

void TestCorpus::cards_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(corpus(u"cards"_s));
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 10);
    for (const QString &f : files)
        QTest::newRow(qPrintable(f)) << dir.filePath(f);
}

void TestCorpus::cards()
{
    QFETCH(QString, path);
    const QString text = Cp1252::decode(bytesOf(path));
    const QString name = QFileInfo(path).fileName();
    bool loaded = false;
    QString violation = RoundTrip::cardString(text, &loaded);
    QVERIFY2(violation.isEmpty(), qPrintable(violation));
    // The bundled cards, the edge cards meant to load and the saving
    // regressions must load, or the property holds for nothing; a
    // "refused-window-" card loads in the card model but not in the window.
    const bool mustLoad = !name.startsWith(u"refused-"_s);
    QCOMPARE(loaded, mustLoad || name.startsWith(u"refused-window-"_s));

    QTemporaryDir dir;
    violation = RoundTrip::cardWindow(text, dir.path(), &loaded);
    QVERIFY2(violation.isEmpty(), qPrintable(violation));
    QCOMPARE(loaded, mustLoad);
}

void TestCorpus::envelopes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("decrypts");
    const QDir dir(corpus(u"envelope"_s));
    for (const QString &f : dir.entryList(QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(f)) << dir.filePath(f) << f.endsWith(u".qcf"_s);
}

void TestCorpus::envelopes()
{
    QFETCH(QString, path);
    QFETCH(bool, decrypts);
    bool decrypted = false;
    const QString violation = RoundTrip::envelope(bytesOf(path), &decrypted);
    QVERIFY2(violation.isEmpty(), qPrintable(violation));
    QCOMPARE(decrypted, decrypts);
}

void TestCorpus::peopleFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("reads");
    const QDir dir(corpus(u"people"_s));
    for (const QString &f : dir.entryList(QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(f)) << dir.filePath(f) << !f.startsWith(u"refused-"_s);
}

void TestCorpus::peopleFiles()
{
    QFETCH(QString, path);
    QFETCH(bool, reads);
    bool read = false;
    const QString violation = RoundTrip::peopleCsv(bytesOf(path), &read);
    QVERIFY2(violation.isEmpty(), qPrintable(violation));
    QCOMPARE(read, reads);
}

void TestCorpus::farOffPictureIsRefusedAtLoad()
{
    // The card that hung the window: refused, naming its line.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Canada.qcf"_s);
    QString reason;
    QVERIFY(CardFileEnvelope::writeCardFile(
        path, bytesOf(corpus(u"cards/refused-picture-left-far-off.txt"_s)), &reason));
    CardFormModel m;
    QVERIFY(!m.LoadCard(path));
    QCOMPARE(m.lastError().line, 37);
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
