#pragma once

#include <QString>
#include <QStringList>

// Decides the folder in which the program reads and saves its cards. Started
// from its build folder, the program works on the cards beside it; installed,
// it works on the user's own copies of the installed cards, which are copied
// on first start and never overwritten afterwards.
class CardFolder
{
public:
    // The card folder for a program in exeDir (empty: the running program's
    // folder). Copy failures are left in warning, for the caller to show, and
    // the program goes on with the cards it has.
    static QString resolve(const QString &exeDir = {}, QString *warning = nullptr);

    // True when dir holds card files, as cardFiles() lists them, and the user
    // may write in it.
    static bool isUsableBuildFolder(const QString &dir);
    // The card files of dir: its regular files (or links to one) named *.qcf
    // in any case, hidden ones left out, sorted by name without regard to case.
    static QStringList cardFiles(const QString &dir);
    // Where the installed cards are, relative to an installed program.
    static QString installedCardsFolder(const QString &exeDir);
    // The user's own card folder in the user's data folder.
    static QString userCardsFolder();

    // Copies every file of from that is not yet in to, each under a temporary
    // name first, and makes the copies writable by the user. Returns the names
    // copied; error receives a line naming each file that failed (empty when
    // none did).
    static QStringList copyMissingCards(const QString &from, const QString &to, QString *error);
};
