#pragma once

#include <QString>

#include <chrono>

// Follows a job on a CUPS destination after it was handed over, through
// libcups, until the queue has printed or stopped it.
namespace CupsJob {

struct Outcome
{
    enum State {
        Completed, // CUPS finished the job
        Stopped,   // stopped, aborted or cancelled by CUPS or the printer
        Waiting,   // still pending or processing when the time ran out
        Unknown    // the job or the server could not be found
    };
    State state = Unknown;
    // CUPS's reason: the printer's message for the job, else its state reasons.
    QString reason;
};

// Waits up to the limit for the job to be completed or stopped.
Outcome waitForEnd(int jobId, std::chrono::milliseconds limit);

} // namespace CupsJob
