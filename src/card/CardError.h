#pragma once

#include <QString>

// Why a card could not be loaded or saved: the file, the line where there is
// one, and what is wrong.
struct CardError
{
    QString file;
    int line = 0; // 0 when the fault belongs to no line
    QString reason;

    bool isNull() const { return reason.isEmpty(); }
    // "FILE: line N: reason" or "FILE: reason".
    QString message() const;
};
