// The About box with its registry file and the system-information start, and
// the readme dialog.

#include "Messages.h"
#include "ProductInfo.h"
#include "Registry.h"
#include "SysInfo.h"
#include "frmAbout.h"
#include "frmReadme.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QResource>
#include <QTemporaryDir>
#include <QProcess>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString Unavailable = u"System Information Is Unavailable At This Time"_s;
const QString ProgramSection = u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"_s;
const QString LocationSection = u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\n"_s;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void getKeyValue_data();
    void getKeyValue();
    void userFileOverridesSystemFiles();

    void startSysInfo_data();
    void startSysInfo();
    void startSysInfoStartsARealProgram_data();
    void startSysInfoStartsARealProgram();

    void installationRecordsTheSystemInformationProgram();
    void aboutBoxShowsTheProduct();
    void builtInPicturesAreTheDrawing_data();
    void builtInPicturesAreTheDrawing();
    void aboutBoxCloses_data();
    void aboutBoxCloses();

    void readmeText_data();
    void readmeText();
    void longReadmeIsCut_data();
    void longReadmeIsCut();
    void readmeButtons_data();
    void readmeButtons();
    void unreadableReadmeIsReported_data();
    void unreadableReadmeIsReported();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    void writeRegistry(const QString &folder, const QString &text)
    {
        writeFile(path(folder + u"/Borvessa/registry.ini"_s), text.toUtf8());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    Messages::RecordingSink m_sink;
};

void TestAbout::initTestCase()
{
    Messages::setSink(&m_sink);
}

void TestAbout::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_sink.messages.clear();
    Registry::setSearchPaths({path(u"user"_s), path(u"system"_s)});
}

void TestAbout::cleanup()
{
    Registry::setSearchPaths({});
}

void TestAbout::getKeyValue_data()
{
    QTest::addColumn<QString>("registry");
    QTest::addColumn<QString>("passed");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char *name, const QString &lines, const QString &passed, bool found,
                        const QString &expected) { QTest::newRow(name) << lines << passed << found << expected; };
    const QString s = ProgramSection;
    row("plain string", s + u"PATH=/usr/bin/sys info"_s, {}, true, u"/usr/bin/sys info"_s);
    row("quoted string", s + u"PATH = \"/opt/Sys Info/run \""_s, {}, true, u"/opt/Sys Info/run "_s);
    row("terminating zero", s + uR"(PATH="/usr/bin/sysinfo\0")"_s, {}, true, u"/usr/bin/sysinfo"_s);
    row("only the last zero dropped", s + uR"(PATH="a\0\0")"_s, {}, true, u"a"_s + QChar(0));
    row("escapes", s + uR"(PATH="C:\dir\\x \"y\"")"_s, {}, true, uR"(C:\dir\x "y")"_s);
    row("number", s + u"PATH=dword:0000002a"_s, u"old"_s, true, u"42"_s);
    row("largest number", s + u"PATH=dword:ffffffff"_s, {}, true, u"4294967295"_s);
    row("another type keeps keyVal", s + u"PATH=hex:01,02"_s, u"kept"_s, true, u"kept"_s);
    row("missing value", s + u"OTHER=/x"_s, u"old"_s, false, {});
    row("missing key", u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools]\nPATH=/x"_s, u"old"_s, false, {});
    row("other root", u"[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\nPATH=/x"_s, {}, false, {});
    row("names in any case", u"[hkey_local_machine\\software\\microsoft\\shared tools\\msinfo]\npath=/x"_s, {}, true,
        u"/x"_s);
    row("bad number is no value", s + u"PATH=dword:123456789"_s, u"old"_s, false, {});
    row("comments and CR LF", u"; PATH=/a\r\n"_s + s + u"# PATH=/b\r\nPATH=/c\r\n"_s, {}, true, u"/c"_s);
}

void TestAbout::getKeyValue()
{
    QFETCH(QString, registry);
    QFETCH(QString, passed);
    QFETCH(bool, found);
    QFETCH(QString, expected);

    writeRegistry(u"system"_s, registry);
    QString keyVal = passed;
    QCOMPARE(GetKeyValue(KeyRoot::HKEY_LOCAL_MACHINE, SysInfo::programKey(), u"PATH"_s, keyVal), found);
    QCOMPARE(keyVal, expected);
}

// The standard folders: the user's file over the system's, and the first
// system folder over the later ones, one value at a time.
void TestAbout::userFileOverridesSystemFiles()
{
    const QByteArray oldHome = qgetenv("XDG_CONFIG_HOME");
    const QByteArray oldDirs = qgetenv("XDG_CONFIG_DIRS");
    auto restore = qScopeGuard([&] {
        qputenv("XDG_CONFIG_HOME", oldHome);
        qputenv("XDG_CONFIG_DIRS", oldDirs);
    });
    qputenv("XDG_CONFIG_HOME", path(u"home"_s).toUtf8());
    qputenv("XDG_CONFIG_DIRS", (path(u"xdg1"_s) + u':' + path(u"xdg2"_s)).toUtf8());
    Registry::setSearchPaths({});

    writeRegistry(u"xdg2"_s, ProgramSection + u"PATH=/xdg2\nA=xdg2\nB=xdg2\n"_s);
    writeRegistry(u"xdg1"_s, ProgramSection + u"A=xdg1\n"_s);
    writeRegistry(u"home"_s, ProgramSection + u"PATH=/home\n"_s);

    const auto read = [](const QString &name) {
        QString keyVal;
        GetKeyValue(KeyRoot::HKEY_LOCAL_MACHINE, SysInfo::programKey(), name, keyVal);
        return keyVal;
    };
    QCOMPARE(read(u"PATH"_s), u"/home"_s);
    QCOMPARE(read(u"A"_s), u"xdg1"_s);
    QCOMPARE(read(u"B"_s), u"xdg2"_s);
}

void TestAbout::startSysInfo_data()
{
    QTest::addColumn<QString>("registry");  // %D stands for the tools folder
    QTest::addColumn<QString>("file");      // created in the tools folder
    QTest::addColumn<bool>("startSucceeds");
    QTest::addColumn<QString>("started");   // the program handed to the starter

    const auto row = [](const char *name, const QString &registry, const QString &file, bool startSucceeds,
                        const QString &started) { QTest::newRow(name) << registry << file << startSucceeds << started; };
    const QString path = ProgramSection + u"PATH=%D/monitor\n"_s;
    const QString folder = LocationSection + u"MSINFO=%D\n"_s;
    row("PATH without the other key", path, {}, true, u"%D/monitor"_s);
    row("PATH before the folder", path + folder, u"MSINFO32.EXE"_s, true, u"%D/monitor"_s);
    row("folder with the program", folder, u"MSINFO32.EXE"_s, true, u"%D/MSINFO32.EXE"_s);
    row("program in lower case", folder, u"msinfo32.exe"_s, true, u"%D/msinfo32.exe"_s);
    row("folder lacking the program", folder, u"other.exe"_s, true, {});
    row("folder that does not exist", LocationSection + u"MSINFO=%D/none\n"_s, {}, true, {});
    row("empty PATH tries the folder", ProgramSection + u"PATH=\"\"\n"_s + folder, u"MSINFO32.EXE"_s, true,
        u"%D/MSINFO32.EXE"_s);
    row("neither", {}, {}, true, {});
    row("start fails", path, {}, false, u"%D/monitor"_s);
}

void TestAbout::startSysInfo()
{
    QFETCH(QString, registry);
    QFETCH(QString, file);
    QFETCH(bool, startSucceeds);
    QFETCH(QString, started);

    const QString tools = path(u"tools"_s);
    QDir().mkpath(tools);
    if (!file.isEmpty())
        writeFile(tools + u'/' + file, {});
    writeRegistry(u"system"_s, QString(registry).replace(u"%D"_s, tools));

    QStringList programs;
    SysInfo sysInfo;
    sysInfo.setStarter([&](const QString &program) {
        programs.append(program);
        return startSucceeds;
    });
    const bool ok = startSucceeds && !started.isEmpty();
    QCOMPARE(sysInfo.StartSysInfo(), ok);

    QCOMPARE(programs, started.isEmpty() ? QStringList() : QStringList{started.replace(u"%D"_s, tools)});
    QCOMPARE(m_sink.texts(), ok ? QStringList() : QStringList{Unavailable});
    if (!ok) {
        QVERIFY(m_sink.messages.first().title.isEmpty());
        QCOMPARE(m_sink.messages.first().buttons, Messages::Buttons::Ok);
    }
}

// The default starter, with a stand-in program that leaves a marker file.
void TestAbout::startSysInfoStartsARealProgram_data()
{
    QTest::addColumn<QString>("registry");
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("starts");

    QTest::newRow("PATH") << ProgramSection + u"PATH=\"%D/sys info\"\n"_s << u"sys info"_s << true;
    QTest::newRow("folder") << LocationSection + u"MSINFO=%D\n"_s << u"MSINFO32.EXE"_s << true;
    QTest::newRow("PATH names no program") << ProgramSection + u"PATH=%D/none\n"_s << u"other"_s << false;
}

void TestAbout::startSysInfoStartsARealProgram()
{
    QFETCH(QString, registry);
    QFETCH(QString, script);
    QFETCH(bool, starts);

    const QString tools = path(u"tools"_s);
    const QString marker = path(u"started"_s);
    writeFile(tools + u'/' + script, "#!/bin/sh\n: > '" + marker.toUtf8() + "'\n");
    QFile::setPermissions(tools + u'/' + script, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    writeRegistry(u"system"_s, registry.replace(u"%D"_s, tools));

    QCOMPARE(SysInfo().StartSysInfo(), starts);
    if (starts)
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
    QCOMPARE(m_sink.texts(), starts ? QStringList() : QStringList{Unavailable});
}

void TestAbout::installationRecordsTheSystemInformationProgram()
{
    // The install step finds the desktop's program and writes it as PATH;
    // System Info then starts it.
    const QString tools = path(u"tools"_s);
    const QString marker = path(u"started"_s);
    const QString program = tools + u"/sys-info \"viewer\""_s;
    writeFile(program, "#!/bin/sh\n: > '" + marker.toUtf8() + "'\n");
    QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString registry = path(u"system"_s) + u"/Borvessa/registry.ini"_s;
    QProcess cmake;
    cmake.start(u"cmake"_s, {u"-DREGISTRY_FILE="_s + registry,
                             u"-DSYSINFO_PROGRAMS="_s + tools + u"/missing;"_s + program,
                             u"-P"_s, qEnvironmentVariable("BORVESSA_SOURCE_DIR") + u"/packaging/RecordSysInfo.cmake"_s});
    if (!cmake.waitForStarted())
        QSKIP("cmake is not available");
    QVERIFY(cmake.waitForFinished());
    QCOMPARE(cmake.exitCode(), 0);
    QString value;
    QVERIFY(GetKeyValue(KeyRoot::HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"_s, u"PATH"_s, value));
    QCOMPARE(value, program);
    QVERIFY(SysInfo().StartSysInfo());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);

    // Without any such program nothing is written.
    QFile::remove(registry);
    cmake.start(u"cmake"_s, {u"-DREGISTRY_FILE="_s + registry, u"-DSYSINFO_PROGRAMS="_s + tools + u"/missing"_s,
                             u"-P"_s, qEnvironmentVariable("BORVESSA_SOURCE_DIR") + u"/packaging/RecordSysInfo.cmake"_s});
    QVERIFY(cmake.waitForFinished());
    QCOMPARE(cmake.exitCode(), 0);
    QVERIFY(!QFile::exists(registry));
}

void TestAbout::aboutBoxShowsTheProduct()
{
    QPointer<frmAbout> about = new frmAbout;
    auto cleanup = qScopeGuard([&] { delete about; });
    about->show();

    QCOMPARE(about->windowTitle(), u"About Borvessa"_s);
    QCOMPARE(about->findChild<QLabel *>(u"lblTitle"_s)->text(), u"Borvessa"_s);
    const QString version = about->findChild<QLabel *>(u"lblVersion"_s)->text();
    QCOMPARE(version, u"Version "_s + ProductInfo::version());
    QVERIFY2(QRegularExpression(u"^Version \\d+\\.\\d+\\.\\d+$"_s).match(version).hasMatch(), qPrintable(version));
    QVERIFY(!about->findChild<QLabel *>(u"Image1"_s)->pixmap().isNull());

    // With no registry file, "&System Info..." reports that there is none.
    auto *sysInfoButton = about->findChild<QPushButton *>(u"cmdSysInfo"_s);
    QCOMPARE(sysInfoButton->text(), u"&System Info..."_s);
    QTest::mouseClick(sysInfoButton, Qt::LeftButton);
    QCOMPARE(m_sink.texts(), QStringList{Unavailable});
    QVERIFY(about->isVisible());
}

void TestAbout::aboutBoxCloses_data()
{
    QTest::addColumn<QString>("target"); // a child's name, "" for the window itself, or a key
    QTest::addColumn<bool>("closes");

    QTest::newRow("window") << QString() << true;
    for (const char *name : {"Image1", "lblTitle", "lblVersion", "lblDisclaimer", "cmdOK"})
        QTest::newRow(name) << QString::fromLatin1(name) << true;
    QTest::newRow("Escape") << u"Escape"_s << true;
    QTest::newRow("Label1 selects instead") << u"Label1"_s << false;
}

void TestAbout::aboutBoxCloses()
{
    QFETCH(QString, target);
    QFETCH(bool, closes);

    QPointer<frmAbout> about = new frmAbout;
    auto cleanup = qScopeGuard([&] { delete about; });
    about->show();
    QVERIFY(QTest::qWaitForWindowExposed(about));

    if (target == u"Escape")
        QTest::keyClick(about, Qt::Key_Escape);
    else if (target.isEmpty())
        QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(2, 2));
    else
        QTest::mouseClick(about->findChild<QWidget *>(target), Qt::LeftButton);

    if (closes) {
        QTRY_VERIFY(about.isNull());
    } else {
        QTest::qWait(10);
        QVERIFY(about && about->isVisible());
    }
}

void TestAbout::readmeText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("Windows-1252") << QByteArray("caf\xe9 \x80 5") << u"café € 5"_s;
    QTest::newRow("markup shown as written") << QByteArray("<b>x</b> &amp;") << u"<b>x</b> &amp;"_s;
    QTest::newRow("line ends") << QByteArray("one\r\ntwo\r\n\r\nend\rx") << u"one\ntwo\n\nend\nx"_s;
}

void TestAbout::readmeText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);

    writeFile(path(u"readme.txt"_s), bytes);
    QString text;
    QVERIFY(frmReadme::loadReadme(path(u"readme.txt"_s), &text, nullptr));
    QCOMPARE(text, expected);

    frmReadme dialog;
    dialog.setText(text);
    const auto *box = dialog.findChild<QPlainTextEdit *>(u"Text1"_s);
    QCOMPARE(box->toPlainText(), expected);
    QVERIFY(box->isReadOnly());
}

void TestAbout::longReadmeIsCut_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("cut");
    constexpr qint64 limit = frmReadme::MaxShownBytes;
    QTest::newRow("just below the limit") << limit - 1 << false;
    QTest::newRow("at the limit") << limit << false;
    QTest::newRow("one byte more") << limit + 1 << true;
    QTest::newRow("50 MB") << qint64(50) * 1024 * 1024 << true;
}

void TestAbout::longReadmeIsCut()
{
    QFETCH(qint64, size);
    QFETCH(bool, cut);
    const QString file = path(u"readme.txt"_s);
    {
        // Lines of 64 bytes with CR LF ends, and a shorter last line without one.
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QByteArray line(62, 'a');
        line += "\r\n";
        for (qint64 left = size; left > 0; left -= line.size())
            out.write(left >= line.size() ? line : line.left(left - 1) + 'z');
    }
    QCOMPARE(QFileInfo(file).size(), size);
    QString text;
    QVERIFY(frmReadme::loadReadme(file, &text, nullptr));
    const qint64 shown = std::min(size, frmReadme::MaxShownBytes);
    const qint64 lineEnds = shown / 64;
    const QString note = u"[The readme is longer than 1 MB and was cut here."_s;
    if (cut) {
        QVERIFY(text.contains(note));
        QVERIFY(text.contains(QDir::toNativeSeparators(file)));
        QCOMPARE(text.indexOf(note), shown - lineEnds + 2);
    } else {
        QVERIFY(!text.contains(note));
        QCOMPARE(text.size(), shown - lineEnds);
    }
}

void TestAbout::readmeButtons_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("declined");

    QTest::newRow("I Agree") << u"buAgree"_s << false;
    QTest::newRow("I Do Not Agree") << u"buAgreeNot"_s << true;
    QTest::newRow("window frame") << u"frame"_s << false;
    QTest::newRow("Escape") << u"Escape"_s << false;
}

// An empty readme, shown modally; every way out closes the dialog, and only
// "I Do Not Agree" declines.
void TestAbout::readmeButtons()
{
    QFETCH(QString, action);
    QFETCH(bool, declined);

    writeFile(path(u"readme.txt"_s), {});
    QString caption;
    QString text = u"unset"_s;
    int result = -1;
    bool reportsDeclined = !declined;
    bool stillVisible = true;
    QTimer::singleShot(0, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *dialog = qobject_cast<frmReadme *>(modal);
        if (!dialog) {
            if (modal)
                modal->close();
            return;
        }
        caption = dialog->windowTitle();
        text = dialog->findChild<QPlainTextEdit *>(u"Text1"_s)->toPlainText();
        if (action == u"frame")
            dialog->close();
        else if (action == u"Escape")
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(dialog->findChild<QPushButton *>(action), Qt::LeftButton);
        reportsDeclined = dialog->declined();
        result = dialog->result();
        stillVisible = dialog->isVisible();
    });

    QCOMPARE(frmReadme::showReadme(nullptr, path(u"readme.txt"_s)), !declined);
    QCOMPARE(caption, u"Readme.txt"_s);
    QCOMPARE(text, QString());
    QCOMPARE(reportsDeclined, declined);
    QCOMPARE(result, declined ? int(QDialog::Rejected) : int(QDialog::Accepted));
    QVERIFY(!stillVisible);
    QVERIFY(m_sink.messages.isEmpty());
}

void TestAbout::unreadableReadmeIsReported_data()
{
    QTest::addColumn<bool>("folder");

    QTest::newRow("missing") << false;
    QTest::newRow("a folder") << true;
}

// The message names the file and no dialog appears.
void TestAbout::unreadableReadmeIsReported()
{
    QFETCH(bool, folder);

    const QString file = path(u"readme.txt"_s);
    if (folder)
        QVERIFY(QDir().mkpath(file));
    bool dialogShown = false;
    QTimer guard;
    connect(&guard, &QTimer::timeout, this, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            dialogShown = true;
            modal->close();
        }
    });
    guard.start(0);

    QVERIFY(frmReadme::showReadme(nullptr, file));
    QVERIFY(!dialogShown);
    QCOMPARE(m_sink.messages.size(), 1);
    const QString text = m_sink.messages.first().text;
    QVERIFY2(text.startsWith(u"The readme file "_s + file + u" cannot be read: "_s), qPrintable(text));
}

void TestAbout::builtInPicturesAreTheDrawing_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<bool>("builtIn");
    for (int side : ProductInfo::BuiltInSides)
        QTest::addRow("%d px, built in", side) << side << true;
    QTest::newRow("48 px, drawn") << 48 << false;
}

void TestAbout::builtInPicturesAreTheDrawing()
{
    // The pixels kept in the program are those of the drawing, so a stale or
    // misread resource shows up here; kept uncompressed, as a start would
    // otherwise inflate them.
    QFETCH(int, side);
    QFETCH(bool, builtIn);
    const QResource resource(ProductInfo::builtInResource(side));
    QCOMPARE(resource.isValid(), builtIn);
    if (builtIn) {
        QCOMPARE(resource.compressionAlgorithm(), QResource::NoCompression);
        QCOMPARE(resource.size(), qint64(side) * side * 4);
    }
    const QImage shown = ProductInfo::picture(side).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(shown.size(), QSize(side, side));
    QCOMPARE(shown, ProductInfo::drawnPicture(side));
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestAbout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_about.moc"
