#pragma once

#include "KeyedCollection.h"

#include <cstdint>

// The question shown for one answer box.
struct Question
{
    QString question;
    std::int16_t ControlNum = 0;

    bool operator==(const Question &) const = default;
};

// The questions of a card, keyed by box number text.
class Questions : public KeyedCollection<Question>
{
public:
    Question *Add(std::int16_t ControlNum, const QString &question, const QString &sKey)
    {
        return append(Question{question, ControlNum}, sKey);
    }
};
