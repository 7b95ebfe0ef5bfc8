#include "PrivatePostgres.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QUrl>
#include <QVersionNumber>

#include <algorithm>

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString User = u"borvessa"_s;
const QString Host = u"127.0.0.1"_s;
const QString PeopleDatabase = u"people"_s;
constexpr int LaunchTries = 5;
constexpr int ReadyTimeout = 20000;

bool executable(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// The folder holding initdb and postgres: the newest version where Debian
// keeps them, else the folder initdb is found in on PATH.
QString binFolder()
{
    const QDir lib(u"/usr/lib/postgresql"_s);
    QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString &a, const QString &b) {
        return QVersionNumber::fromString(a) > QVersionNumber::fromString(b);
    });
    for (const QString &version : std::as_const(versions)) {
        const QString bin = lib.filePath(version + u"/bin"_s);
        if (executable(bin + u"/initdb"_s) && executable(bin + u"/postgres"_s))
            return bin;
    }
    const QString initdb = QStandardPaths::findExecutable(u"initdb"_s);
    if (initdb.isEmpty())
        return {};
    // Links such as /usr/local/bin/initdb lead to the server's own folder.
    const QString bin = QFileInfo(QFileInfo(initdb).canonicalFilePath()).absolutePath();
    return executable(bin + u"/postgres"_s) ? bin : QString();
}

// A server tool from the server's folder; the client tools may also be
// elsewhere on PATH.
QString tool(const QString &bin, const QString &name)
{
    const QString path = bin + u'/' + name;
    return executable(path) ? path : QStandardPaths::findExecutable(name);
}

QString sbinTool(const QString &name)
{
    QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(name, {u"/usr/sbin"_s, u"/usr/bin"_s, u"/sbin"_s, u"/bin"_s});
    return path;
}

// Whether users other than the owner may pass through every folder down to
// path, as the server's user must when the test runs as root.
bool othersCanReach(const QString &path)
{
    QString folder = QFileInfo(path).canonicalFilePath();
    while (!folder.isEmpty()) {
        struct stat st;
        if (::stat(QFile::encodeName(folder).constData(), &st) != 0 || !(st.st_mode & S_IXOTH))
            return false;
        if (folder == u"/"_s)
            break;
        folder = QFileInfo(folder).absolutePath();
    }
    return true;
}

// The socket's path must stay short, and as root the server's user must
// reach the folder.
QString tempRoot()
{
    const QString temp = QDir::tempPath();
    if (temp.size() > 60 || (geteuid() == 0 && !othersCanReach(temp)))
        return u"/tmp"_s;
    return temp;
}

// A port nothing listens on now: the one the kernel gives a socket bound to
// port 0 on the loopback address.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd >= 0) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
                           && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size) == 0;
        ::close(fd);
        if (bound)
            return ntohs(address.sin_port);
    }
    return QRandomGenerator::global()->bounded(20000, 60000);
}

bool chownTo(const QString &path, unsigned uid, unsigned gid)
{
    return ::chown(QFile::encodeName(path).constData(), uid, gid) == 0;
}

} // namespace

PrivatePostgres::PrivatePostgres() : m_dir(tempRoot() + u"/borvessa-pg-XXXXXX"_s), m_bin(binFolder())
{
}

PrivatePostgres::~PrivatePostgres()
{
    stop();
}

bool PrivatePostgres::installed()
{
    const QString bin = binFolder();
    return !bin.isEmpty() && !tool(bin, u"pg_isready"_s).isEmpty() && !tool(bin, u"createdb"_s).isEmpty();
}

QString PrivatePostgres::dataPath() const
{
    return m_dir.filePath(u"pg/data"_s);
}

QString PrivatePostgres::socketPath() const
{
    return m_dir.filePath(u"pg/run"_s);
}

QString PrivatePostgres::logPath() const
{
    return m_dir.filePath(u"server.log"_s);
}

QString PrivatePostgres::url() const
{
    return url(PeopleDatabase);
}

QString PrivatePostgres::url(const QString &database) const
{
    return u"postgresql://%1@%2:%3/%4"_s.arg(User, Host, QString::number(m_port),
                                             QString::fromLatin1(QUrl::toPercentEncoding(database)));
}

QString PrivatePostgres::log() const
{
    QFile file(logPath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll().right(4000)) : QString();
}

void PrivatePostgres::prepare(QProcess &process, const QString &program, const QStringList &args,
                              bool asServerUser, bool endWithTest) const
{
    // Nothing of the caller's libpq settings may point the tools elsewhere,
    // and the log stays in English so that its messages can be recognised.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &key : env.keys()) {
        if (key.startsWith(u"PG"_s))
            env.remove(key);
    }
    env.remove(u"LC_ALL"_s);
    env.insert(u"LC_MESSAGES"_s, u"C"_s);
    process.setProcessEnvironment(env);
    // The caller's working folder may be closed to the server's user.
    process.setWorkingDirectory(m_dir.path());

    const bool dropRoot = asServerUser && m_dropRoot;
    // setpriv replaces itself with the program, so the process started is
    // the program. With a parent death signal, a test that crashes takes
    // its server along (an immediate shutdown) instead of leaving it behind.
    const QString setpriv = sbinTool(u"setpriv"_s);
    if (!setpriv.isEmpty() && (dropRoot || endWithTest)) {
        QStringList wrapped;
        if (dropRoot)
            wrapped << u"--reuid=%1"_s.arg(m_uid) << u"--regid=%1"_s.arg(m_gid) << u"--clear-groups"_s;
        if (endWithTest)
            wrapped << u"--pdeathsig=SIGQUIT"_s;
        process.setProgram(setpriv);
        process.setArguments(wrapped + QStringList{u"--"_s, program} + args);
    } else if (dropRoot) {
        // runuser stays as the program's parent.
        const passwd *pw = getpwuid(m_uid);
        process.setProgram(sbinTool(u"runuser"_s));
        process.setArguments(QStringList{u"-u"_s, pw ? QString::fromLocal8Bit(pw->pw_name) : u"nobody"_s,
                                         u"--"_s, program}
                             + args);
    } else {
        process.setProgram(program);
        process.setArguments(args);
    }
}

bool PrivatePostgres::run(const QString &program, const QStringList &args, bool asServerUser,
                          QString *output, int timeout) const
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    prepare(process, program, args, asServerUser);
    process.start();
    const bool finished = process.waitForFinished(timeout);
    if (!finished) {
        process.kill();
        process.waitForFinished(2000);
    }
    if (output) {
        *output = QString::fromLocal8Bit(process.readAll()).trimmed();
        if (!finished)
            *output = program + u" did not finish: "_s + process.errorString() + u'\n' + *output;
    }
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PrivatePostgres::prepareFolders(QString *error)
{
    const QString root = m_dir.path();
    // postgres refuses to run as root; as root it runs as nobody, who must
    // pass through the temporary folder to its own.
    m_dropRoot = geteuid() == 0;
    if (m_dropRoot) {
        const passwd *pw = getpwnam("nobody");
        if (!pw) {
            *error = u"no user nobody to run the server as"_s;
            return false;
        }
        const struct group *gr = getgrnam("nogroup");
        m_uid = pw->pw_uid;
        m_gid = gr ? gr->gr_gid : pw->pw_gid;
    }
    QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                    | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    // The server's own folder holds the cluster and the socket; the log
    // stays outside, written through the descriptor this process opens.
    for (const QString &folder : {m_dir.filePath(u"pg"_s), socketPath()}) {
        if (!QDir().mkpath(folder)
            || !QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)
            || (m_dropRoot && !chownTo(folder, m_uid, m_gid))) {
            *error = u"cannot make the folder "_s + folder;
            return false;
        }
    }
    return true;
}

bool PrivatePostgres::initCluster(QString *error)
{
    const QString initdb = tool(m_bin, u"initdb"_s);
    const QStringList common = {u"-D"_s, dataPath(), u"-U"_s, User, u"--auth=trust"_s, u"-E"_s, u"UTF8"_s,
                                u"--no-sync"_s};
    QString output;
    if (!run(initdb, common + QStringList{u"--locale=C.UTF-8"_s}, true, &output)) {
        // Where the C.UTF-8 locale is missing, initdb has removed the folder
        // it made and can try again without a locale.
        QString second;
        if (!run(initdb, common + QStringList{u"--no-locale"_s}, true, &second)) {
            *error = u"initdb failed:\n"_s + output + u"\n--- with --no-locale:\n"_s + second;
            return false;
        }
    }
    // Password-free access on the loopback address, and nowhere else.
    const QString hba = dataPath() + u"/pg_hba.conf"_s;
    QFile file(hba);
    const QByteArray text = "host all all 127.0.0.1/32 trust\n";
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()) {
        *error = u"cannot write "_s + hba;
        return false;
    }
    file.close();
    if (m_dropRoot && !chownTo(hba, m_uid, m_gid)) {
        *error = u"cannot hand "_s + hba + u" to the server's user"_s;
        return false;
    }
    return true;
}

bool PrivatePostgres::launch(QString *error)
{
    const QString postgres = tool(m_bin, u"postgres"_s);
    const QString isready = tool(m_bin, u"pg_isready"_s);
    for (int attempt = 1; attempt <= LaunchTries; ++attempt) {
        m_port = freePort();
        const qint64 logStart = QFileInfo(logPath()).size();
        m_server = std::make_unique<QProcess>();
        m_server->setStandardOutputFile(logPath(), QIODevice::Append);
        m_server->setProcessChannelMode(QProcess::MergedChannels);
        // Durability is of no use to a test and only slows it.
        prepare(*m_server, postgres,
                {u"-D"_s, dataPath(), u"-p"_s, QString::number(m_port), u"-k"_s, socketPath(), u"-h"_s, Host,
                 u"-c"_s, u"fsync=off"_s, u"-c"_s, u"synchronous_commit=off"_s, u"-c"_s,
                 u"full_page_writes=off"_s},
                true, true);
        m_server->start();
        if (!m_server->waitForStarted(5000)) {
            *error = u"postgres does not start: "_s + m_server->errorString();
            return false;
        }
        // pg_isready names the user and a database that exist, so that its
        // tries leave no errors in the log.
        const QStringList ping = {u"-q"_s, u"-h"_s, Host, u"-p"_s, QString::number(m_port), u"-U"_s, User,
                                  u"-d"_s, u"postgres"_s, u"-t"_s, u"1"_s};
        const QDeadlineTimer deadline(ReadyTimeout);
        bool ended = false;
        while (!deadline.hasExpired()) {
            if (m_server->state() == QProcess::NotRunning || m_server->waitForFinished(100)) {
                ended = true;
                break;
            }
            if (run(isready, ping, false, nullptr, 5000))
                return true;
        }
        if (!ended) {
            *error = u"postgres does not answer on port %1 within %2 s:\n"_s.arg(m_port).arg(ReadyTimeout / 1000)
                     + log();
            return false;
        }
        // Another program may have taken the port since it was found free.
        QFile file(logPath());
        QByteArray attemptLog;
        if (file.open(QIODevice::ReadOnly) && file.seek(logStart))
            attemptLog = file.readAll();
        if (!attemptLog.contains("could not bind") && !attemptLog.contains("could not create any TCP/IP sockets")) {
            *error = u"postgres ended:\n"_s + log();
            return false;
        }
    }
    *error = u"postgres found no free port in %1 tries:\n"_s.arg(LaunchTries) + log();
    return false;
}

bool PrivatePostgres::start(QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    if (m_server && m_server->state() == QProcess::Running)
        return true;
    if (m_bin.isEmpty()) {
        *error = u"initdb and postgres are not installed"_s;
        return false;
    }
    if (!m_dir.isValid()) {
        *error = u"no temporary folder: "_s + m_dir.errorString();
        return false;
    }
    if (!prepareFolders(error) || !initCluster(error) || !launch(error))
        return false;
    if (!createDatabase(PeopleDatabase, error)) {
        stop();
        return false;
    }
    return true;
}

bool PrivatePostgres::createDatabase(const QString &name, QString *error)
{
    // A client over TCP, which any user may run.
    QString output;
    if (run(tool(m_bin, u"createdb"_s), {u"-h"_s, Host, u"-p"_s, QString::number(m_port), u"-U"_s, User, name},
            false, &output))
        return true;
    if (error)
        *error = u"createdb %1 failed: "_s.arg(name) + output + u"\n"_s + log();
    return false;
}

void PrivatePostgres::stop()
{
    if (!m_server)
        return;
    if (m_server->state() != QProcess::NotRunning) {
        // The postmaster's id is the first line of postmaster.pid; under
        // runuser it is not the process started here.
        pid_t pid = static_cast<pid_t>(m_server->processId());
        QFile pidFile(dataPath() + u"/postmaster.pid"_s);
        if (pidFile.open(QIODevice::ReadOnly)) {
            bool ok = false;
            const pid_t postmaster = static_cast<pid_t>(pidFile.readLine().trimmed().toLong(&ok));
            if (ok && postmaster > 0)
                pid = postmaster;
        }
        // SIGQUIT is the immediate shutdown: the postmaster ends its
        // children, waits for them, and ends itself.
        ::kill(pid, SIGQUIT);
        if (!m_server->waitForFinished(10000)) {
            ::kill(pid, SIGKILL);
            m_server->kill();
            m_server->waitForFinished(2000);
        }
    }
    m_server.reset();
}
