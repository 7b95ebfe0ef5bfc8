#pragma once

#include "PictureFile.h"

#include <QImage>
#include <QString>

#include <future>

// Finds a card's files in the application folder and decodes its picture on
// a worker thread while the card window is built. It tells nobody: its
// failures are texts for the window to show.
class CardOpener
{
public:
    // name: the card's name; fileName: its card file, or empty for the name
    // + ".qcf" in any case. Starts decoding the picture, name + ".gif".
    CardOpener(const QString &appPath, const QString &name, const QString &fileName = {});

    QString cardFile() const { return m_cardFile; }

    // Waits for the picture. False when it cannot be used; error() then says
    // why, naming the file. Called once.
    bool finishPicture();
    QImage picture() const { return m_picture; }
    // Set when the picture did not decode completely but can be shown.
    QString notice() const { return m_notice; }
    QString error() const { return m_error; }

    // The file of that name in folder, compared without regard to case, as
    // the cards expect; the name as given when there is none.
    static QString fileIn(const QString &folder, const QString &wanted);

private:
    QString m_cardFile;
    QString m_pictureFile;
    std::future<PictureFile::Result> m_result;
    QImage m_picture;
    QString m_notice;
    QString m_error;
};
