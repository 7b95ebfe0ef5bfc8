#pragma once

#include <QList>
#include <QString>

// A card file for the print tests: the installed Canada card with chosen
// print settings and some boxes moved, shown or hidden and answered.
struct PrintTestCard
{
    struct Box
    {
        int box = 0;
        int left = 0;
        int top = 0;
        bool visible = true;
        QString answer;
    };

    QString orientation = QStringLiteral("P");
    int paperHeight = 7200; // 360 pt
    int paperWidth = 4320;  // 216 pt
    int margin = 0;
    QString enlarge = QStringLiteral("1");
    QString fontName = QStringLiteral("DejaVu Sans");
    QString fontSize = QStringLiteral("8");
    QList<Box> boxes;

    QString text() const;
    // Writes the card file; false on failure.
    bool write(const QString &path) const;
};
