// The window program's crypto provider: the forwarder that loads the provider
// from its module, and what opening and saving a card do when the module
// cannot be loaded.

#include "Card.h"
#include "CardFileEnvelope.h"
#include "CryptoModule.h"
#include "CryptoProvider.h"
#include "Messages.h"
#include "clsCrypto.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace CP = CryptoProvider;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool moduleIsMapped()
{
    return readAll(u"/proc/self/maps"_s).contains("/" + QByteArray(CryptoModule::FileName) + "\n");
}

} // namespace

class TestCryptoModule : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void preloadLoadsTheModule();
    void cardsGoThroughTheModule();
    void unloadableModuleChangesNothing_data();
    void unloadableModuleChangesNothing();

private:
    QTemporaryDir m_dir;
    QString m_card;
    Messages::RecordingSink m_sink;
};

void TestCryptoModule::initTestCase()
{
    QVERIFY(m_dir.isValid());
    Messages::setSink(&m_sink);
    QVERIFY(!moduleIsMapped());
}

void TestCryptoModule::init()
{
    m_card = m_dir.filePath(u"Canada.qcf"_s);
    QFile::remove(m_card);
    QVERIFY(QFile::copy(qEnvironmentVariable("BORVESSA_BIN_DIR") + u"/Canada.qcf"_s, m_card));
    QVERIFY(QFile::setPermissions(m_card, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    m_sink.messages.clear();
}

void TestCryptoModule::cleanup()
{
    CryptoModule::reloadForTesting();
}

// Runs first: nothing has loaded the module before.
void TestCryptoModule::preloadLoadsTheModule()
{
    CP::preload();
    QThreadPool::globalInstance()->waitForDone();
    QVERIFY(moduleIsMapped());
    QVERIFY(CP::unavailableReason().isEmpty());
}

void TestCryptoModule::cardsGoThroughTheModule()
{
    // The same bytes as the provider linked into the other programs.
    QByteArray file;
    QString reason;
    QVERIFY2(CardFileEnvelope::encrypt({}, &file, &reason), qPrintable(reason));
    QCOMPARE(file.toHex(), QByteArray("7946b097e6f96333467258815a96a65f2d7dfa9872d9263a"));

    Card card;
    QVERIFY2(card.LoadCard(m_card), qPrintable(card.lastError().message()));
    QVERIFY(card.SaveValueToCardStr(u"Saved through the module"_s, 30, QString()));
    QVERIFY2(card.SaveCardStrToFile(), qPrintable(card.lastError().message()));
    Card again;
    QVERIFY2(again.LoadCard(m_card), qPrintable(again.lastError().message()));
    QCOMPARE(again.CardStr(), card.CardStr());
    QVERIFY(m_sink.messages.isEmpty());
}

void TestCryptoModule::unloadableModuleChangesNothing_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("why");
    QTest::addColumn<std::uint32_t>("code");
    QTest::newRow("missing") << u"borvessa-crypto-missing.so"_s << u"cannot be loaded: not found"_s
                             << CP::NTE_PROV_DLL_NOT_FOUND;
    QTest::newRow("another version") << u"tst-crypto-module-stale.so"_s
                                     << u"cannot be loaded: it belongs to another version of Borvessa"_s
                                     << CP::NTE_PROVIDER_DLL_FAIL;
    QTest::newRow("no entry") << u"tst-crypto-module-noentry.so"_s << u"borvessa_crypto_provider"_s
                              << CP::NTE_PROVIDER_DLL_FAIL;
}

void TestCryptoModule::unloadableModuleChangesNothing()
{
    QFETCH(QString, fileName);
    QFETCH(QString, why);
    QFETCH(std::uint32_t, code);

    Card card;
    QVERIFY2(card.LoadCard(m_card), qPrintable(card.lastError().message()));
    const QString loaded = card.CardStr();
    const QByteArray bytes = readAll(m_card);
    const QStringList files = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);

    CryptoModule::reloadForTesting(fileName);

    // Opening fails with the card's name and the module's, and the card held
    // before stays as it was.
    const QString other = m_dir.filePath(u"Other.qcf"_s);
    QVERIFY(QFile::copy(m_card, other));
    QVERIFY(!card.LoadCard(other));
    QFile::remove(other);
    const QString message = card.lastError().message();
    QVERIFY2(message.startsWith(other + u": cannot be decrypted (The crypto module "_s), qPrintable(message));
    QVERIFY2(message.contains(fileName) && message.contains(why), qPrintable(message));
    QCOMPARE(card.CardStr(), loaded);
    QCOMPARE(card.cardName(), m_card);
    QCOMPARE(CP::lastError(), code);
    // The service's own message gives the module's reason alone.
    QCOMPARE(m_sink.messages.size(), 1);
    QCOMPARE(m_sink.messages.first().title, clsCrypto::serviceTitle());
    QVERIFY(message.contains(m_sink.messages.first().text));
    QVERIFY(m_sink.messages.first().text.contains(why));

    // Saving fails and leaves the file, and its folder, as they were.
    QVERIFY(card.SaveValueToCardStr(u"Never written"_s, 30, QString()));
    QVERIFY(!card.SaveCardStrToFile());
    QVERIFY2(card.lastError().message().contains(why), qPrintable(card.lastError().message()));
    QCOMPARE(readAll(m_card), bytes);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), files);

    // With the module back, the same card opens.
    CryptoModule::reloadForTesting();
    QVERIFY2(card.LoadCard(m_card), qPrintable(card.lastError().message()));
    QCOMPARE(card.CardStr(), loaded);
}

QTEST_GUILESS_MAIN(TestCryptoModule)
#include "tst_cryptomodule.moc"
