#include "PrivateCups.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cups/cups.h>

#include <grp.h>
#include <pwd.h>
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

bool PrivateCups::admin(const QStringList &args)
{
    QProcess lpadmin;
    lpadmin.setProcessChannelMode(QProcess::ForwardedChannels);
    lpadmin.start(tool(u"lpadmin"_s), args);
    return lpadmin.waitForFinished(10000) && lpadmin.exitStatus() == QProcess::NormalExit
           && lpadmin.exitCode() == 0;
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
