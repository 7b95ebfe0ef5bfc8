#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
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
    // A queue with a printer description, whose backend writes each job as
    // it reaches the printer into outputFile: PDF for a PDF printer, else
    // PostScript. The description declares the unprintable margins (points,
    // every edge), custom sizes or none, and the trays.
    struct Printer
    {
        bool pdf = true;
        double margin = 0;
        bool customSizes = true;
        QStringList trays;
    };
    bool addFileQueue(const QString &name, const Printer &printer, const QString &outputFile);
    // cupsdisable, cupsenable and cupsreject, by their IPP names.
    bool pause(const QString &name, const QString &reason = {});
    bool resume(const QString &name);
    bool reject(const QString &name);
    bool setDefault(const QString &name);
    bool removeQueue(const QString &name);

    QString socketPath() const;
    // The daemon's error log, for a failing test's message.
    QString log() const;

private:
    bool admin(const QStringList &args);
    bool run(const QString &program, const QStringList &args);
    bool writeFile(const QString &relative, const QByteArray &text, bool executable = false);
    void stop();

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_daemon;
    QByteArray m_oldServer;
    bool m_hadServer = false;
};
