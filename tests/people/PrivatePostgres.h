#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A PostgreSQL server of the test's own, with its data, socket and log in a
// temporary folder, listening on 127.0.0.1 only. Never the system's cluster.
// The user "borvessa" is its superuser, trusted without a password, and the
// database "people" exists once it has started. As root the server runs as
// "nobody", since postgres refuses to run as root. The server is stopped and
// its folder removed when the object goes.
class PrivatePostgres
{
public:
    PrivatePostgres();
    ~PrivatePostgres();
    PrivatePostgres(const PrivatePostgres &) = delete;
    PrivatePostgres &operator=(const PrivatePostgres &) = delete;

    // Whether initdb and postgres are on this machine.
    static bool installed();

    // Makes the cluster and starts the server; false with the reason and the
    // tail of the server's log when it does not come up. Should the test
    // die, the server ends with the thread that called this.
    bool start(QString *error);

    // postgresql://borvessa@127.0.0.1:PORT/people, or another database on
    // the same server.
    QString url() const;
    QString url(const QString &database) const;
    // A fresh empty database, so that each test case can have its own.
    bool createDatabase(const QString &name, QString *error);

    // The server's log, for a failing test's message.
    QString log() const;

private:
    QString dataPath() const;
    QString socketPath() const;
    QString logPath() const;
    bool prepareFolders(QString *error);
    bool initCluster(QString *error);
    // Starts the server on a free port, retrying when another program takes
    // the port first.
    bool launch(QString *error);
    // Runs a program to its end, as the server's user when asked; false with
    // its output as the reason.
    bool run(const QString &program, const QStringList &args, bool asServerUser, QString *output,
             int timeout = 30000) const;
    void prepare(QProcess &process, const QString &program, const QStringList &args, bool asServerUser,
                 bool endWithTest = false) const;
    void stop();

    QTemporaryDir m_dir;
    QString m_bin;
    std::unique_ptr<QProcess> m_server;
    int m_port = 0;
    bool m_dropRoot = false;
    unsigned m_uid = 0;
    unsigned m_gid = 0;
};
