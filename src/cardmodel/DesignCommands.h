#pragma once

#include <QString>

// What the design window asks of a card: step one box, or the card picture,
// by the typed increment. Each command returns why it was refused (and then
// nothing changed), or an empty text when it was carried out.
class DesignCommands
{
public:
    virtual ~DesignCommands() = default;

    // command is "U", "D", "L" or "R"; moveOrSize moves the box, else its
    // width changes (L narrower, R wider).
    virtual QString nudgeBox(int box, const QString &command, const QString &step, bool moveOrSize) = 0;
    // The same for the picture; without moveOrSize, U and D change its
    // height, L and R its width.
    virtual QString nudgePicture(const QString &command, const QString &step, bool moveOrSize) = 0;
};
