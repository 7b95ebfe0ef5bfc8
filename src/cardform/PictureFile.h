#pragma once

#include <QImage>
#include <QString>

#include <future>

// Reads a card picture. A picture that decodes only in part is still
// returned, with a notice that names the file: the card's answers matter more
// than its picture.
namespace PictureFile {

struct Result
{
    QImage image;   // what could be read; null when nothing
    QString error;  // why the file cannot be used at all; empty when it can
    QString notice; // set when the picture did not decode completely
};

// Decodes each file once per path and modification time while the program
// runs: reopening a card, the preview and printing reuse the picture. Safe to
// call from any thread, so a picture can decode while its card window is built.
Result read(const QString &path);

// Reads the picture on the picture reader's own thread, so that it decodes
// while the caller goes on (building the card's window, say).
std::future<Result> readInBackground(const QString &path);

// Starts the picture reader's thread ahead of its first use: a thread made on
// demand can wait milliseconds for a processor of its own, while one that
// already exists is woken at once. It then stays for the rest of the run.
void startBackgroundReader();

// Forgets every decoded picture (the next read decodes again).
void clearCache();

// True when the GIF data decodes to its end; *reason says why not.
bool gifComplete(const QByteArray &data, QString *reason);

} // namespace PictureFile
