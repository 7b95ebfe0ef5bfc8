#pragma once

#include <QMarginsF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>

// The CUPS queues a card can be printed on, through libcups: which there
// are, whether one takes jobs now, the paper it is asked for and the tray.
// Jobs go to CUPS as PDF files with the card's own paper and no scaling, so
// the page that reaches the printer is the page Export PDF writes.
namespace CupsDestination {

// The installed queues, sorted, and the system's default among them (empty
// when none is the default).
QStringList printers(QString *defaultPrinter = nullptr);

// Why the queue cannot take a job now: not installed, paused or disabled,
// or not accepting jobs; empty when it can.
QString unavailable(const QString &printer);

// The paper a job asks the queue for.
struct Media
{
    // The queue's size, or a custom size, as CUPS names it; empty for a queue
    // without a driver, which prints the document on its own paper.
    QByteArray name;
    QMarginsF margins;  // the queue's unprintable margins, in twips, portrait
};

// The queue's paper of the card's portrait size (twips), or a custom size of
// it where the queue takes custom sizes; none when it takes neither.
std::optional<Media> media(const QString &printer, const QSizeF &portraitTwips);

// The queue's input trays, as CUPS names them; empty when it has one.
QStringList trays(const QString &printer);

struct Job
{
    QString printer;
    QString file;  // a PDF file of the pages to print
    QString title;
    Media media;
    QString tray;  // empty: the queue's own choice
};

// Hands the file to the queue with the card's paper and no scaling or
// fitting. The job's id, or 0 with CUPS's reason in error.
int submit(const Job &job, QString *error);

} // namespace CupsDestination
