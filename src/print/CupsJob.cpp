#include "CupsJob.h"

#include <QThread>

#include <cups/cups.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace CupsJob {

namespace {

struct IppDeleter
{
    void operator()(ipp_t *ipp) const { ippDelete(ipp); }
};
using Ipp = std::unique_ptr<ipp_t, IppDeleter>;

QString text(ipp_t *response, const char *name)
{
    ipp_attribute_t *attr = ippFindAttribute(response, name, IPP_TAG_ZERO);
    QStringList values;
    for (int i = 0; attr && i < ippGetCount(attr); ++i) {
        const QString value = QString::fromUtf8(ippGetString(attr, i, nullptr)).trimmed();
        if (!value.isEmpty() && value != u"none")
            values << value;
    }
    return values.join(u", "_s);
}

// One Get-Job-Attributes request: the job's state and reason, or Unknown.
Outcome askJob(int jobId)
{
    ipp_t *request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = "ipp://localhost/jobs/" + QByteArray::number(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    static const char *const wanted[] = {"job-state", "job-state-reasons", "job-printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(std::size(wanted)), nullptr, wanted);
    const Ipp response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
    Outcome outcome;
    if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_CONFLICTING)
        return outcome;
    ipp_attribute_t *state = ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM);
    if (!state)
        return outcome;
    switch (ippGetInteger(state, 0)) {
    case IPP_JSTATE_COMPLETED:
        outcome.state = Outcome::Completed;
        break;
    case IPP_JSTATE_STOPPED:
    case IPP_JSTATE_CANCELED:
    case IPP_JSTATE_ABORTED:
        outcome.state = Outcome::Stopped;
        break;
    default:
        outcome.state = Outcome::Waiting;
        break;
    }
    outcome.reason = text(response.get(), "job-printer-state-message");
    if (outcome.reason.isEmpty())
        outcome.reason = text(response.get(), "job-state-reasons");
    return outcome;
}

} // namespace

Outcome waitForEnd(int jobId, std::chrono::milliseconds limit)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + limit;
    for (;;) {
        const Outcome outcome = askJob(jobId);
        if (outcome.state != Outcome::Waiting || Clock::now() >= end)
            return outcome;
        QThread::msleep(100);
    }
}

} // namespace CupsJob
