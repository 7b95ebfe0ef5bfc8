#pragma once

#include "Messages.h"

// Shows the program's messages as message boxes, always as plain text.
class MessageBoxSink : public Messages::Sink
{
public:
    Messages::Answer show(const Messages::Message &message) override;

    // How long a passing notice stays.
    static constexpr int NoticeMilliseconds = 10000;
};
