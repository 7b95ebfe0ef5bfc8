#pragma once

#include "Card.h"
#include "PictureFile.h"

#include <QImage>
#include <QString>

#include <future>
#include <memory>
#include <optional>

// Opens a card below the windows: finds its files in the application folder,
// reads and checks the card file, and decodes the picture on a worker thread
// meanwhile. It tells nobody: its failures are texts for the window to show.
class CardOpener
{
public:
    // name: the card's name; fileName: its card file, or empty for the name
    // + ".qcf" in any case. Starts decoding the picture, name + ".gif".
    CardOpener(const QString &appPath, const QString &name, const QString &fileName = {});

    QString cardFile() const { return m_cardFile; }

    // Reads the card file as the card window takes it. False when it cannot
    // be used; error() then names the file and the fault.
    bool readCard();
    // The card read, for the card window; null before readCard or after.
    std::unique_ptr<Card> takeCard() { return std::move(m_card); }

    // Waits for the picture. False when it cannot be used; error() then says
    // why, naming the file. Called once; a second call repeats the answer.
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
    std::optional<bool> m_pictureUsable;
    std::unique_ptr<Card> m_card;
    QImage m_picture;
    QString m_notice;
    QString m_error;
};
