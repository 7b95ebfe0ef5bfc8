#pragma once

#include "KeyedCollection.h"

#include <cstdint>

// The saved answer of one box.
struct clsAnsw
{
    QString Answ;
    std::int16_t ControlNum = 0;

    bool operator==(const clsAnsw &) const = default;
};

// The answers of a card, keyed by box number text.
class clsAnsws : public KeyedCollection<clsAnsw>
{
public:
    clsAnsw *Add(std::int16_t ControlNum, const QString &Answ, const QString &sKey)
    {
        return append(clsAnsw{Answ, ControlNum}, sKey);
    }
};
