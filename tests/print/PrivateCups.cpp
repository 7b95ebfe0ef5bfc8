#include "PrivateCups.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cups/cups.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QStringList SbinPaths = {u"/usr/sbin"_s, u"/usr/local/sbin"_s, u"/sbin"_s};

QString tool(const QString &name)
{
    QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(name, SbinPaths);
    return path;
}

// A domain socket's path must stay short, so the folder goes under /tmp
// when the temporary folder's path is long.
QString shortTempRoot()
{
    const QString temp = QDir::tempPath();
    return temp.size() <= 60 ? temp : u"/tmp"_s;
}

} // namespace

PrivateCups::PrivateCups() : m_dir(shortTempRoot() + u"/borvessa-cups-XXXXXX"_s)
{
}

PrivateCups::~PrivateCups()
{
    stop();
}

bool PrivateCups::installed()
{
    return !tool(u"cupsd"_s).isEmpty() && !tool(u"lpadmin"_s).isEmpty();
}

QString PrivateCups::socketPath() const
{
    return m_dir.filePath(u"cups.sock"_s);
}

QString PrivateCups::log() const
{
    QFile file(m_dir.filePath(u"log/error_log"_s));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll().right(4000)) : QString();
}

bool PrivateCups::writeFile(const QString &relative, const QByteArray &text, bool executable)
{
    QFile file(m_dir.filePath(relative));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        return false;
    // Backends that only their owner may run are run as root by cupsd.
    return file.setPermissions(executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                          : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                                | QFile::ReadOther);
}

bool PrivateCups::start(QString *error)
{
    const auto failed = [error](const QString &why) {
        *error = why;
        return false;
    };
    if (!m_dir.isValid())
        return failed(u"no temporary folder"_s);
    const QString root = m_dir.path();
    // The daemon's own user must reach its folders.
    QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                    | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    QDir dir(root);
    for (const char *sub : {"spool", "cache", "state", "tmp", "log", "serverbin/backend"})
        dir.mkpath(QString::fromLatin1(sub));
    // Filters run as the daemon's user and keep their files in its TempDir.
    ::chmod(QFile::encodeName(dir.filePath(u"tmp"_s)).constData(), 01777);
    // The system's filters and helpers, with backends of our own.
    for (const char *sub : {"filter", "daemon", "cgi-bin", "notifier", "monitor", "driver"})
        QFile::link(u"/usr/lib/cups/"_s + QString::fromLatin1(sub), dir.filePath(u"serverbin/"_s + QString::fromLatin1(sub)));

    // As root, cupsd refuses to run jobs as root; as another user it runs
    // them as that user.
    QByteArray user = "lp";
    QByteArray group = "lp";
    QByteArray systemGroup = "\nSystemGroup root";
    if (geteuid() != 0) {
        systemGroup.clear();
        const passwd *pw = getpwuid(geteuid());
        const struct group *gr = getgrgid(getegid());
        user = pw ? QByteArray(pw->pw_name) : QByteArray::number(geteuid());
        group = gr ? QByteArray(gr->gr_name) : QByteArray::number(getegid());
    }
    const QByteArray r = root.toUtf8();
    const QByteArray files = "ServerRoot " + r + "\nRequestRoot " + r + "/spool\nCacheDir " + r
                             + "/cache\nStateDir " + r + "/state\nTempDir " + r + "/tmp\nServerBin " + r
                             + "/serverbin\nAccessLog " + r + "/log/access_log\nErrorLog " + r
                             + "/log/error_log\nPageLog " + r + "/log/page_log\nPrintcap " + r
                             + "/printcap\nUser " + user + "\nGroup " + group
                             + systemGroup + "\nSandboxing Relaxed\n";
    const QByteArray conf = "Listen " + socketPath().toUtf8()
                            + "\nLogLevel info\nWebInterface No\nBrowsing No\nJobRetryLimit 0\n"
                              "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"
                              "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n";
    if (!writeFile(u"cups-files.conf"_s, files) || !writeFile(u"cupsd.conf"_s, conf))
        return failed(u"cannot write the daemon's configuration"_s);

    m_daemon = std::make_unique<QProcess>();
    m_daemon->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_daemon->start(tool(u"cupsd"_s), {u"-f"_s, u"-c"_s, dir.filePath(u"cupsd.conf"_s), u"-s"_s,
                                       dir.filePath(u"cups-files.conf"_s)});
    if (!m_daemon->waitForStarted(5000))
        return failed(u"cupsd does not start: "_s + m_daemon->errorString());

    m_hadServer = qEnvironmentVariableIsSet("CUPS_SERVER");
    m_oldServer = qgetenv("CUPS_SERVER");
    qputenv("CUPS_SERVER", socketPath().toUtf8());
    // libcups keeps the server it first used; this process may have asked
    // the system's before.
    cupsSetServer(socketPath().toUtf8().constData());

    for (int tries = 0; tries < 100; ++tries) {
        if (m_daemon->state() != QProcess::Running || m_daemon->waitForFinished(100))
            return failed(u"cupsd ended: "_s + log());
        if (QFile::exists(socketPath())) {
            QProcess lpstat;
            lpstat.start(tool(u"lpstat"_s), {u"-r"_s});
            if (lpstat.waitForFinished(5000) && lpstat.exitCode() == 0)
                return true;
        }
    }
    return failed(u"cupsd does not answer: "_s + log());
}

bool PrivateCups::run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(tool(program), args);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit
           && process.exitCode() == 0;
}

bool PrivateCups::admin(const QStringList &args)
{
    return run(u"lpadmin"_s, args);
}

bool PrivateCups::pause(const QString &name, const QString &reason)
{
    return run(u"cupsdisable"_s, reason.isEmpty() ? QStringList{name} : QStringList{u"-r"_s, reason, name});
}

bool PrivateCups::resume(const QString &name)
{
    return run(u"cupsenable"_s, {name}) && run(u"cupsaccept"_s, {name});
}

bool PrivateCups::reject(const QString &name)
{
    return run(u"cupsreject"_s, {name});
}

namespace {

// A printer description with A4, Letter and A6, the given margins on every
// edge, and custom sizes and trays where asked.
QByteArray describe(const QString &name, const PrivateCups::Printer &p)
{
    struct Size
    {
        const char *name;
        int width;
        int height;
    };
    const Size sizes[] = {{"A4", 595, 842}, {"Letter", 612, 792}, {"A6", 297, 420}};
    const QByteArray m = QByteArray::number(p.margin);
    QByteArray t = "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
                   "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"TEST.PPD\"\n"
                   "*Manufacturer: \"Test\"\n*Product: \"(Test)\"\n*ModelName: \"" + name.toUtf8()
                   + "\"\n*ShortNickName: \"" + name.toUtf8() + "\"\n*NickName: \"" + name.toUtf8()
                   + "\"\n*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: False\n"
                     "*DefaultColorSpace: Gray\n*FileSystem: False\n*Throughput: \"1\"\n"
                     "*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n";
    if (p.pdf)
        t += "*cupsFilter2: \"application/vnd.cups-pdf application/pdf 0 -\"\n";
    t += "*HWMargins: " + m + " " + m + " " + m + " " + m + "\n";
    if (p.customSizes)
        t += "*VariablePaperSize: True\n*MaxMediaWidth: \"1000\"\n*MaxMediaHeight: \"1500\"\n"
             "*NonUIOrderDependency: 100 AnySetup *CustomPageSize\n"
             "*CustomPageSize True: \"pop pop pop <</PageSize [5 -2 roll]/ImagingBBox null>>setpagedevice\"\n"
             "*ParamCustomPageSize Width: 1 points 36 1000\n*ParamCustomPageSize Height: 2 points 36 1500\n"
             "*ParamCustomPageSize WidthOffset: 3 points 0 0\n*ParamCustomPageSize HeightOffset: 4 points 0 0\n"
             "*ParamCustomPageSize Orientation: 5 int 0 3\n";
    for (const char *key : {"PageSize", "PageRegion"}) {
        t += "*OpenUI *" + QByteArray(key) + ": PickOne\n*OrderDependency: 10 AnySetup *" + key + "\n*Default"
             + key + ": A4\n";
        for (const Size &s : sizes)
            t += "*" + QByteArray(key) + " " + s.name + ": \"<</PageSize[" + QByteArray::number(s.width) + " "
                 + QByteArray::number(s.height) + "]/ImagingBBox null>>setpagedevice\"\n";
        t += "*CloseUI: *" + QByteArray(key) + "\n";
    }
    t += "*DefaultImageableArea: A4\n";
    for (const Size &s : sizes)
        t += "*ImageableArea " + QByteArray(s.name) + ": \"" + m + " " + m + " "
             + QByteArray::number(s.width - p.margin) + " " + QByteArray::number(s.height - p.margin) + "\"\n";
    t += "*DefaultPaperDimension: A4\n";
    for (const Size &s : sizes)
        t += "*PaperDimension " + QByteArray(s.name) + ": \"" + QByteArray::number(s.width) + " "
             + QByteArray::number(s.height) + "\"\n";
    if (!p.trays.isEmpty()) {
        t += "*OpenUI *InputSlot: PickOne\n*OrderDependency: 20 AnySetup *InputSlot\n*DefaultInputSlot: "
             + p.trays.first().toUtf8() + "\n";
        for (int i = 0; i < p.trays.size(); ++i)
            t += "*InputSlot " + p.trays.at(i).toUtf8() + ": \"<</MediaPosition " + QByteArray::number(i)
                 + ">>setpagedevice\"\n";
        t += "*CloseUI: *InputSlot\n";
    }
    t += "*DefaultFont: Courier\n*Font Courier: Standard \"(002.004S)\" Standard ROM\n";
    return t;
}

} // namespace

bool PrivateCups::addFileQueue(const QString &name, const Printer &printer, const QString &outputFile)
{
    // The job is written beside its place and moved there whole.
    const QByteArray out = outputFile.toUtf8();
    const QByteArray script = "#!/bin/sh\n[ $# -eq 0 ] && exit 0\nif [ $# -ge 6 ]; then cat \"$6\"; else cat; fi >'"
                              + out + ".part' || exit 1\nmv '" + out + ".part' '" + out + "'\nexit 0\n";
    const QString scheme = u"file"_s + name.toLower();
    const QString ppd = name + u".ppd"_s;
    if (!writeFile(u"serverbin/backend/"_s + scheme, script, true) || !writeFile(ppd, describe(name, printer)))
        return false;
    return admin({u"-p"_s, name, u"-E"_s, u"-v"_s, scheme + u":/"_s, u"-P"_s, m_dir.filePath(ppd), u"-o"_s,
                  u"printer-error-policy=abort-job"_s});
}

bool PrivateCups::addQueue(const QString &name, Backend backend, const QString &failure)
{
    // Without arguments a backend lists its devices; with six the sixth is
    // the job's file, else the job comes on standard input.
    QByteArray script = "#!/bin/sh\n[ $# -eq 0 ] && exit 0\nif [ $# -ge 6 ]; then cat \"$6\"; else cat; fi >/dev/null\n";
    switch (backend) {
    case Backend::Completes:
        script += "exit 0\n";
        break;
    case Backend::Fails:
        script += "echo \"ERROR: " + failure.toUtf8() + "\" >&2\nexit 1\n";
        break;
    case Backend::Holds:
        script += "echo \"INFO: " + failure.toUtf8() + "\" >&2\nexec sleep 60\n";
        break;
    }
    const QString scheme = u"test"_s + name.toLower();
    if (!writeFile(u"serverbin/backend/"_s + scheme, script, true))
        return false;
    return admin({u"-p"_s, name, u"-E"_s, u"-v"_s, scheme + u":/"_s, u"-o"_s,
                  u"printer-error-policy=abort-job"_s});
}

bool PrivateCups::setDefault(const QString &name)
{
    return admin({u"-d"_s, name});
}

bool PrivateCups::removeQueue(const QString &name)
{
    return admin({u"-x"_s, name});
}

void PrivateCups::stop()
{
    if (!m_daemon)
        return;
    if (m_daemon->state() != QProcess::NotRunning) {
        m_daemon->terminate();
        if (!m_daemon->waitForFinished(5000)) {
            m_daemon->kill();
            m_daemon->waitForFinished(2000);
        }
    }
    m_daemon.reset();
    if (m_hadServer)
        qputenv("CUPS_SERVER", m_oldServer);
    else
        qunsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
}
