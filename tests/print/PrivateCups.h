#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A CUPS daemon of the test's own, on a domain socket in a temporary folder,
// with queues whose backends are scripts. Never the system's daemon: the
// test process and the programs it starts talk to it through CUPS_SERVER.
// The daemon is stopped when the object goes.
class PrivateCups
{
public:
    enum class Backend {
        Completes, // reads the job and ends well
        Fails,     // reports the reason and fails; the queue aborts the job
        Holds      // reads the job and keeps it processing for a long time
    };

    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups &) = delete;
    PrivateCups &operator=(const PrivateCups &) = delete;

    // Whether cupsd and lpadmin are on this machine.
    static bool installed();

    // Starts the daemon and points this process at it; false with the
    // reason when it does not come up.
    bool start(QString *error);
    // A queue with no driver, enabled and accepting jobs.
    bool addQueue(const QString &name, Backend backend, const QString &failure = {});
    bool setDefault(const QString &name);
    bool removeQueue(const QString &name);

    QString socketPath() const;
    // The daemon's error log, for a failing test's message.
    QString log() const;

private:
    bool admin(const QStringList &args);
    bool writeFile(const QString &relative, const QByteArray &text, bool executable = false);
    void stop();

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_daemon;
    QByteArray m_oldServer;
    bool m_hadServer = false;
};
