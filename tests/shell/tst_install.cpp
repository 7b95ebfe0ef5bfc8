// Where the program keeps its cards: beside it in the build folder, or in the
// user's own copies of the installed cards; and what "cmake --install" puts
// into a prefix.

#include "Card.h"
#include "CardFolder.h"
#include "Messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using Files = QMap<QString, QByteArray>;

constexpr QFileDevice::Permissions ReadOnly =
    QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
constexpr QFileDevice::Permissions UserWritable = ReadOnly | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions ModeBits = UserWritable | QFileDevice::ExeOwner
    | QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::WriteOther | QFileDevice::ExeOther;

const Files InstalledCards = {
    {u"Canada.qcf"_s, "installed Canada card"},
    {u"US.qcf"_s, "installed US card"},
    {u"Canada.gif"_s, QByteArray("GIF89a\0\x01\x02", 9)},
    {u"readme.txt"_s, "Read me first.\r\n"},
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file of a folder with its bytes; hidden files too, so a leftover
// temporary copy shows.
Files filesIn(const QString &dir)
{
    Files files;
    const QDir d(dir);
    for (const QString &name : d.entryList(QDir::Files | QDir::Hidden, QDir::Name))
        files.insert(name, readFile(d.filePath(name)));
    return files;
}

QFileDevice::Permissions modeOf(const QString &path)
{
    return QFile::permissions(path) & ModeBits;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void programBesideBundledCardsUsesThem();
    void buildFolder_data();
    void buildFolder();
    void cardFilesOfAFolder_data();
    void cardFilesOfAFolder();
    void firstStartCopiesTheInstalledCards();
    void laterStartsKeepTheUsersCards();
    void copyFailuresAreReported_data();
    void copyFailuresAreReported();

    void installIntoPrefix();
    void registryFileFollowsPrefixAndDestdir_data();
    void registryFileFollowsPrefixAndDestdir();
    void installedDesktopFilesAreValid_data();
    void installedDesktopFilesAreValid();

private:
    // A prefix laid out as installed: bin/ without cards, and the given files
    // read-only in the installed cards folder. Returns bin/.
    QString makeInstalledPrefix(const Files &files);
    // Installs the build folder into a temporary prefix once. Empty on
    // failure, with m_installLog saying why.
    QString installedPrefix();
    QString cannotInstall() const;
    // Runs cmake with args as a user who is not root: when the tests run as
    // root, as "nobody" through setpriv. owned lists the folders and files
    // that user must be able to write. PATH starts with m_standIns.
    bool runCmakeAsUser(const QStringList &args, const QStringList &owned, const QString &destdir,
                        QString *log);
    // A stand-in system-information program on the PATH of the install.
    QString standInSysInfo();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_installed;
    std::unique_ptr<QTemporaryDir> m_standIns;
    QString m_buildDir;
    QString m_cmake;
    QString m_installLog;
    QByteArray m_installManifest;
    Messages::RecordingSink m_sink;
};

void TestInstall::initTestCase()
{
    Messages::setSink(&m_sink);
    // The tests run from <build>/bin.
    const QString bin = qEnvironmentVariable("BORVESSA_BIN_DIR");
    if (!bin.isEmpty()) {
        m_buildDir = QFileInfo(bin).absolutePath();
        m_cmake = QStandardPaths::findExecutable(u"cmake"_s);
    }
}

void TestInstall::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(u"data"_s)));
    m_sink.messages.clear();
}

void TestInstall::cleanup()
{
    // Read-only folders would stop the temporary folder from being removed.
    QDirIterator it(m_dir->path(), QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        QFile::setPermissions(it.next(), UserWritable | QFileDevice::ExeOwner);
    m_dir.reset();
}

QString TestInstall::makeInstalledPrefix(const Files &files)
{
    const QString bin = m_dir->filePath(u"prefix/bin"_s);
    QDir().mkpath(bin);
    writeFile(bin + u"/borvessa"_s, "program");
    const QString cards = CardFolder::installedCardsFolder(bin);
    QDir().mkpath(cards);
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QString path = QDir(cards).filePath(it.key());
        writeFile(path, it.value());
        QFile::setPermissions(path, ReadOnly);
    }
    QFile::setPermissions(cards, ReadOnly | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther);
    return bin;
}

void TestInstall::programBesideBundledCardsUsesThem()
{
    // The tests run from the build folder's bin/, beside the bundled cards,
    // as the program does when ./run.sh starts it.
    const QString bin = QDir::cleanPath(QCoreApplication::applicationDirPath());
    if (!QFile::exists(bin + u"/Canada.qcf"_s))
        QSKIP("the bundled cards are not beside the test");
    QCOMPARE(CardFolder::resolve(), bin);
    QVERIFY(!QFileInfo::exists(CardFolder::userCardsFolder()));
    QVERIFY(m_sink.messages.isEmpty());
}

void TestInstall::cardFilesOfAFolder_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("cards");
    // Names of a named pipe, a link to /dev/zero and a link to a regular card.
    QTest::addColumn<QStringList>("special");

    QTest::newRow("sorted without regard to case")
        << QStringList{u"us.qcf"_s, u"Canada.qcf"_s, u"CANADA_Blue.QCF"_s, u"b.Qcf"_s} << QStringList{}
        << QStringList{u"b.Qcf"_s, u"Canada.qcf"_s, u"CANADA_Blue.QCF"_s, u"us.qcf"_s} << QStringList{};
    QTest::newRow("other names left out")
        << QStringList{u"Canada.gif"_s, u"Canada.qcfd"_s, u"Canada.qcf.bak"_s, u"qcf"_s, u"xqcf"_s, u"readme.txt"_s}
        << QStringList{} << QStringList{} << QStringList{};
    QTest::newRow("hidden files and folders left out")
        << QStringList{u".hidden.qcf"_s, u".qcf"_s, u"Card.qcf"_s} << QStringList{u"Folder.qcf"_s}
        << QStringList{u"Card.qcf"_s} << QStringList{};
    QTest::newRow("spaces and accents") << QStringList{u"\u00c9t\u00e9 card.qcf"_s, u"a b.qcf"_s} << QStringList{}
                                        << QStringList{u"a b.qcf"_s, u"\u00c9t\u00e9 card.qcf"_s}
                                        << QStringList{};
    QTest::newRow("empty folder") << QStringList{} << QStringList{} << QStringList{} << QStringList{};
    // Neither a pipe nor a device can be read as a card; a link to a card can.
    QTest::newRow("pipe and link to a device left out")
        << QStringList{} << QStringList{} << QStringList{u"Linked.qcf"_s}
        << QStringList{u"Pipe.qcf"_s, u"Zero.qcf"_s, u"Linked.qcf"_s};
    QTest::newRow("only a pipe and a link to a device")
        << QStringList{} << QStringList{} << QStringList{}
        << QStringList{u"Pipe.qcf"_s, u"Zero.qcf"_s};
}

void TestInstall::cardFilesOfAFolder()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, cards);
    QFETCH(QStringList, special);
    const QString dir = m_dir->filePath(u"cards"_s);
    QVERIFY(QDir().mkpath(dir));
    for (const QString &name : files)
        writeFile(QDir(dir).filePath(name), "card");
    for (const QString &name : folders)
        QVERIFY(QDir(dir).mkdir(name));
    if (!special.isEmpty()) {
        QCOMPARE(::mkfifo(QFile::encodeName(QDir(dir).filePath(special.at(0))).constData(), 0600), 0);
        QVERIFY(QFile::link(u"/dev/zero"_s, QDir(dir).filePath(special.at(1))));
    }
    if (special.size() > 2) {
        writeFile(m_dir->filePath(u"card.bin"_s), "card");
        QVERIFY(QFile::link(m_dir->filePath(u"card.bin"_s), QDir(dir).filePath(special.at(2))));
    }

    QCOMPARE(CardFolder::cardFiles(dir), cards);
    // The same list as a QDir name filter gives, which has no test for a
    // link's target.
    if (special.isEmpty())
        QCOMPARE(CardFolder::cardFiles(dir),
                 QDir(dir).entryList({u"*.qcf"_s}, QDir::Files, QDir::Name | QDir::IgnoreCase));
    QCOMPARE(CardFolder::isUsableBuildFolder(dir), !cards.isEmpty());
}

void TestInstall::buildFolder_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("usable");

    QTest::newRow("cards beside the program") << QStringList{u"Canada.qcf"_s, u"Canada.gif"_s}
                                              << QStringList{} << false << true;
    QTest::newRow("upper-case extension") << QStringList{u"CANADA.QCF"_s} << QStringList{} << false << true;
    QTest::newRow("pictures and readme only") << QStringList{u"Canada.gif"_s, u"readme.txt"_s}
                                              << QStringList{} << false << false;
    QTest::newRow("a folder named like a card") << QStringList{} << QStringList{u"Canada.qcf"_s} << false
                                                << false;
    QTest::newRow("cards in a read-only folder") << QStringList{u"Canada.qcf"_s} << QStringList{} << true
                                                 << false;
}

void TestInstall::buildFolder()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(bool, readOnly);
    QFETCH(bool, usable);
    if (readOnly && ::geteuid() == 0)
        QSKIP("root may write into any folder");

    const QString dir = m_dir->filePath(u"build/bin"_s);
    QVERIFY(QDir().mkpath(dir));
    for (const QString &name : files)
        writeFile(QDir(dir).filePath(name), "card");
    for (const QString &name : folders)
        QVERIFY(QDir(dir).mkdir(name));
    if (readOnly)
        QVERIFY(QFile::setPermissions(dir, ReadOnly | QFileDevice::ExeOwner));

    QCOMPARE(CardFolder::isUsableBuildFolder(dir), usable);
    QCOMPARE(CardFolder::resolve(dir), usable ? dir : CardFolder::userCardsFolder());
    // The cards beside the program stay where they are.
    files.sort();
    QCOMPARE(filesIn(dir).keys(), files);
}

void TestInstall::firstStartCopiesTheInstalledCards()
{
    const QString bin = makeInstalledPrefix(InstalledCards);
    const QString installed = CardFolder::installedCardsFolder(bin);
    QCOMPARE(installed, m_dir->filePath(u"prefix/share/borvessa/cards"_s));

    const QString folder = CardFolder::resolve(bin);
    QCOMPARE(folder, m_dir->filePath(u"data/Borvessa/Cards"_s));
    QCOMPARE(folder, CardFolder::userCardsFolder());
    // Every installed file arrived whole, and no temporary copy is left over.
    QCOMPARE(filesIn(folder), InstalledCards);
    for (const QString &name : InstalledCards.keys()) {
        QCOMPARE(modeOf(QDir(folder).filePath(name)), UserWritable);
        QCOMPARE(modeOf(QDir(installed).filePath(name)), ReadOnly);
    }
    QCOMPARE(filesIn(installed), InstalledCards);
    QVERIFY2(m_sink.messages.isEmpty(), qPrintable(m_sink.texts().join(u'\n')));
}

void TestInstall::laterStartsKeepTheUsersCards()
{
    const QString bin = makeInstalledPrefix(InstalledCards);
    const QString folder = CardFolder::resolve(bin);
    QCOMPARE(filesIn(folder), InstalledCards);

    // The user saves answers; an update installs a new card and a changed one.
    writeFile(QDir(folder).filePath(u"Canada.qcf"_s), "the user's answers");
    const QString installed = CardFolder::installedCardsFolder(bin);
    QFile::setPermissions(installed, UserWritable | QFileDevice::ExeOwner);
    QFile::remove(QDir(installed).filePath(u"US.qcf"_s));
    writeFile(QDir(installed).filePath(u"US.qcf"_s), "updated US card");
    writeFile(QDir(installed).filePath(u"Mexico.qcf"_s), "new Mexico card");

    QCOMPARE(CardFolder::resolve(bin), folder);
    Files expected = InstalledCards;
    expected[u"Canada.qcf"_s] = "the user's answers";
    expected[u"Mexico.qcf"_s] = "new Mexico card";
    QCOMPARE(filesIn(folder), expected);
    QVERIFY(m_sink.messages.isEmpty());
}

void TestInstall::copyFailuresAreReported_data()
{
    QTest::addColumn<QString>("blocker");
    QTest::addColumn<bool>("withCards");
    QTest::addColumn<QString>("named");
    QTest::addColumn<QStringList>("arrived");

    QStringList others = InstalledCards.keys();
    others.removeOne(u"US.qcf"_s);
    QTest::newRow("a folder named like a card") << u"data/Borvessa/Cards/US.qcf/"_s << true << u"US.qcf"_s
                                                << others;
    QTest::newRow("the card folder cannot be made") << u"data/Borvessa"_s << true
                                                    << QDir::toNativeSeparators(u"/Borvessa/Cards"_s)
                                                    << QStringList{};
    QTest::newRow("no installed cards") << QString() << false
                                        << QDir::toNativeSeparators(u"/share/borvessa/cards"_s)
                                        << QStringList{};
}

void TestInstall::copyFailuresAreReported()
{
    QFETCH(QString, blocker);
    QFETCH(bool, withCards);
    QFETCH(QString, named);
    QFETCH(QStringList, arrived);

    QString bin;
    if (withCards) {
        bin = makeInstalledPrefix(InstalledCards);
    } else {
        bin = m_dir->filePath(u"prefix/bin"_s);
        QVERIFY(QDir().mkpath(bin));
    }
    if (blocker.endsWith(u'/'))
        QVERIFY(QDir().mkpath(m_dir->filePath(blocker)));
    else if (!blocker.isEmpty())
        writeFile(m_dir->filePath(blocker), "in the way");

    // The program goes on with the cards it has, with a warning for the
    // program to show; the folder itself shows nothing.
    QString warning;
    QCOMPARE(CardFolder::resolve(bin, &warning), CardFolder::userCardsFolder());
    QVERIFY(m_sink.messages.isEmpty());
    QVERIFY2(warning.contains(named), qPrintable(warning));
    QCOMPARE(filesIn(CardFolder::userCardsFolder()).keys(), arrived);
}

QString TestInstall::cannotInstall() const
{
    if (m_buildDir.isEmpty())
        return u"BORVESSA_BIN_DIR does not name the build folder's bin/"_s;
    if (m_cmake.isEmpty())
        return u"cmake is not found"_s;
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(u"setpriv"_s);
        const passwd *user = ::getpwnam("nobody");
        if (setpriv.isEmpty() || !user)
            return u"the tests run as root, and setpriv or the user nobody is missing"_s;
        // The install reads the build folder as that user.
        const QString script = QDir(m_buildDir).filePath(u"cmake_install.cmake"_s);
        const int readable = QProcess::execute(
            setpriv, {u"--reuid=%1"_s.arg(user->pw_uid), u"--regid=%1"_s.arg(user->pw_gid), u"--clear-groups"_s,
                      u"test"_s, u"-r"_s, script});
        if (readable != 0)
            return u"the user nobody cannot read %1"_s.arg(script);
    }
    return {};
}

QString TestInstall::standInSysInfo()
{
    if (!m_standIns) {
        m_standIns = std::make_unique<QTemporaryDir>();
        QFile::setPermissions(m_standIns->path(), UserWritable | QFileDevice::ExeOwner | QFileDevice::ExeGroup
                                                      | QFileDevice::ExeOther);
        const QString program = m_standIns->filePath(u"gnome-system-monitor"_s);
        writeFile(program, "#!/bin/sh\nexit 0\n");
        QFile::setPermissions(program, ReadOnly | QFileDevice::ExeOwner | QFileDevice::ExeGroup
                                           | QFileDevice::ExeOther);
    }
    return m_standIns->filePath(u"gnome-system-monitor"_s);
}

bool TestInstall::runCmakeAsUser(const QStringList &args, const QStringList &owned, const QString &destdir,
                                 QString *log)
{
    QString program = m_cmake;
    QStringList arguments = args;
    if (::geteuid() == 0) {
        // cannotInstall() made sure of both.
        const QString setpriv = QStandardPaths::findExecutable(u"setpriv"_s);
        const passwd *user = ::getpwnam("nobody");
        for (const QString &path : owned) {
            if (::chown(QFile::encodeName(path).constData(), user->pw_uid, user->pw_gid) != 0) {
                *log = u"cannot hand %1 to nobody"_s.arg(path);
                return false;
            }
        }
        arguments.prepend(m_cmake);
        arguments.prepend(u"--clear-groups"_s);
        arguments.prepend(u"--regid=%1"_s.arg(user->pw_gid));
        arguments.prepend(u"--reuid=%1"_s.arg(user->pw_uid));
        program = setpriv;
    }
    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"DESTDIR"_s);
    if (!destdir.isEmpty())
        env.insert(u"DESTDIR"_s, destdir);
    env.insert(u"PATH"_s, QFileInfo(standInSysInfo()).absolutePath() + u':' + env.value(u"PATH"_s));
    install.setProcessEnvironment(env);
    install.setWorkingDirectory(QDir::tempPath());
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(program, arguments);
    const bool done = install.waitForFinished(120000);
    *log = QString::fromLocal8Bit(install.readAll());
    if (!done || install.exitStatus() != QProcess::NormalExit || install.exitCode() != 0) {
        log->prepend(u"cmake %1 failed:\n"_s.arg(args.join(u' ')));
        return false;
    }
    return true;
}

QString TestInstall::installedPrefix()
{
    if (m_installed)
        return m_installed->path();
    // cmake --install rewrites the build folder's list of installed files;
    // keep the one of a real installation, which an uninstall may need.
    const QString manifest = QDir(m_buildDir).filePath(u"install_manifest.txt"_s);
    const bool hadManifest = QFileInfo::exists(manifest);
    const QByteArray oldManifest = readFile(manifest);
    const auto restoreManifest = qScopeGuard([&] {
        if (hadManifest) {
            writeFile(manifest, oldManifest);
            if (::geteuid() == 0)
                (void)::chown(QFile::encodeName(manifest).constData(), 0, 0);
        } else {
            QFile::remove(manifest);
        }
    });
    // The user installs from a build folder that is not theirs to change, but
    // the list of installed files is.
    writeFile(manifest, oldManifest);

    auto prefix = std::make_unique<QTemporaryDir>();
    if (!runCmakeAsUser({u"--install"_s, m_buildDir, u"--prefix"_s, prefix->path()}, {prefix->path(), manifest},
                        {}, &m_installLog))
        return {};
    m_installManifest = readFile(manifest);
    m_installed = std::move(prefix);
    return m_installed->path();
}

void TestInstall::installIntoPrefix()
{
    if (const QString why = cannotInstall(); !why.isEmpty())
        QSKIP(qPrintable(why));
    const QString prefix = installedPrefix();
    QVERIFY2(!prefix.isEmpty(), qPrintable(m_installLog));
    const QDir p(prefix);

    const QStringList cards{u"Canada.qcf"_s, u"US.qcf"_s,          u"Canada_Blue.qcf"_s, u"Canada.gif"_s,
                            u"US.gif"_s,     u"Canada_Blue.gif"_s, u"readme.txt"_s,
                            u"Canada.fields"_s, u"US.fields"_s, u"Canada_Blue.fields"_s};
    QStringList expected{u"bin/borvessa"_s, u"bin/borvessa-card"_s,
                         u"share/applications/borvessa.desktop"_s,
                         u"share/metainfo/example.borvessa.Borvessa.metainfo.xml"_s};
    for (const QString &card : cards)
        expected.append(u"share/borvessa/cards/"_s + card);
    for (const QString &file : expected)
        QVERIFY2(QFileInfo(p.filePath(file)).isFile(), qPrintable(file + u" is not installed"_s));
    QVERIFY(QFileInfo(p.filePath(u"bin/borvessa"_s)).isExecutable());
    QVERIFY(QFileInfo(p.filePath(u"bin/borvessa-card"_s)).isExecutable());

    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QString icon = p.filePath(u"share/icons/hicolor/%1x%1/apps/borvessa.png"_s.arg(side));
        QCOMPARE(QImageReader(icon).size(), QSize(side, side));
    }
    // The system-information program on the PATH is recorded inside the
    // prefix, and listed with the installed files.
    const QString registry = p.filePath(u"etc/xdg/Borvessa/registry.ini"_s);
    QVERIFY2(readFile(registry).contains("PATH=\"" + QFile::encodeName(standInSysInfo()) + "\"\n"),
             qPrintable(m_installLog));
    QVERIFY(m_installManifest.split('\n').contains(QFile::encodeName(registry)));

    const QByteArray metainfo = readFile(p.filePath(u"share/metainfo/example.borvessa.Borvessa.metainfo.xml"_s));
    QVERIFY(metainfo.contains("<release version=\"" BORVESSA_VERSION "\""));
    QVERIFY(!metainfo.contains('@'));

    // A user starts the installed program: the cards are copied into the
    // user's data folder, and a save writes there, not into the prefix.
    const QString installed = p.filePath(u"share/borvessa/cards"_s);
    for (const QString &card : cards)
        QFile::setPermissions(QDir(installed).filePath(card), ReadOnly);
    const Files before = filesIn(installed);
    const QString folder = CardFolder::resolve(p.filePath(u"bin"_s));
    QCOMPARE(folder, CardFolder::userCardsFolder());
    QCOMPARE(filesIn(folder), before);

    Card card;
    QVERIFY(card.LoadCard(QDir(folder).filePath(u"Canada.qcf"_s)));
    QVERIFY(card.SaveValueToCardStr(u"Saved in the user's folder"_s, 30, QString()));
    QVERIFY(card.SaveCardStrToFile());
    Card again;
    QVERIFY(again.LoadCard(QDir(folder).filePath(u"Canada.qcf"_s)));
    QVERIFY(again.CardStr().contains(u"Saved in the user's folder"_s));
    QCOMPARE(filesIn(installed), before);
    QVERIFY2(m_sink.messages.isEmpty(), qPrintable(m_sink.texts().join(u'\n')));
}

void TestInstall::registryFileFollowsPrefixAndDestdir_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("registry");
    QTest::newRow("/usr keeps its settings in /etc") << u"/usr"_s << u"etc/xdg/Borvessa/registry.ini"_s;
    QTest::newRow("/usr/local") << u"/usr/local"_s << u"usr/local/etc/xdg/Borvessa/registry.ini"_s;
    QTest::newRow("/opt") << u"/opt/borvessa"_s << u"opt/borvessa/etc/xdg/Borvessa/registry.ini"_s;
}

// A package build installs into DESTDIR: nothing may land outside it.
void TestInstall::registryFileFollowsPrefixAndDestdir()
{
    QFETCH(QString, prefix);
    QFETCH(QString, registry);
    if (const QString why = cannotInstall(); !why.isEmpty())
        QSKIP(qPrintable(why));
    const QString script = QDir(m_buildDir).filePath(u"packaging/cmake_install.cmake"_s);
    QVERIFY(QFileInfo::exists(script));
    const QTemporaryDir holder;
    QVERIFY(holder.isValid());
    const QString destdir = holder.path();
    QString log;
    QVERIFY2(runCmakeAsUser({u"-DCMAKE_INSTALL_PREFIX="_s + prefix, u"-P"_s, script}, {destdir}, destdir, &log),
             qPrintable(log));
    const QString file = QDir(destdir).filePath(registry);
    QVERIFY2(readFile(file).contains("PATH=\"" + QFile::encodeName(standInSysInfo()) + "\"\n"),
             qPrintable(log));
    QVERIFY(QFileInfo(QDir(destdir).filePath(prefix.mid(1) + u"/share/applications/borvessa.desktop"_s)).isFile());
}

void TestInstall::installedDesktopFilesAreValid_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");

    QTest::newRow("desktop entry") << u"desktop-file-validate"_s << QStringList{}
                                   << u"share/applications/borvessa.desktop"_s;
    QTest::newRow("AppStream metainfo") << u"appstreamcli"_s << QStringList{u"validate"_s, u"--no-net"_s}
                                        << u"share/metainfo/example.borvessa.Borvessa.metainfo.xml"_s;
}

void TestInstall::installedDesktopFilesAreValid()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);

    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        QSKIP(qPrintable(tool + u" is not installed"_s));
    if (const QString why = cannotInstall(); !why.isEmpty())
        QSKIP(qPrintable(why));
    const QString prefix = installedPrefix();
    QVERIFY2(!prefix.isEmpty(), qPrintable(m_installLog));

    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(program, arguments << QDir(prefix).filePath(file));
    QVERIFY(validate.waitForFinished(60000));
    const QByteArray output = validate.readAll();
    QVERIFY2(validate.exitStatus() == QProcess::NormalExit && validate.exitCode() == 0, output.constData());
    // desktop-file-validate passes files with hints; none are wanted.
    if (tool == u"desktop-file-validate"_s)
        QVERIFY2(output.trimmed().isEmpty(), output.constData());
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
