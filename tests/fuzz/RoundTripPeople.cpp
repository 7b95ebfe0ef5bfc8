#include "RoundTrip.h"

#include "PeopleCsv.h"

using namespace Qt::StringLiterals;

QString RoundTrip::peopleCsv(const QByteArray &bytes, bool *read)
{
    PeopleCsv::Reading reading;
    QString error;
    const bool ok = PeopleCsv::read(u"people.csv"_s, bytes, &reading, &error);
    if (read)
        *read = ok;
    if (!ok)
        return error.startsWith(u"people.csv: "_s) ? QString() : u"the refusal does not name the file: "_s + error;
    if (reading.people.size() != reading.lines.size())
        return u"a person without its line"_s;
    int previous = 1;
    for (std::size_t i = 0; i < reading.people.size(); ++i) {
        if (const QString fault = reading.people[i].fault(); !fault.isEmpty())
            return u"line %1 was taken with a fault: %2"_s.arg(reading.lines[i]).arg(fault);
        if (reading.lines[i] <= previous)
            return u"line %1 comes after line %2"_s.arg(reading.lines[i]).arg(previous);
        previous = reading.lines[i];
    }
    // What was read writes out and reads back as the same people.
    PeopleCsv::Reading again;
    if (!PeopleCsv::read(u"again.csv"_s, PeopleCsv::write(reading.people), &again, &error))
        return u"the written people do not read back: "_s + error;
    if (again.people.size() != reading.people.size() || !again.refused.isEmpty())
        return u"%1 people read back as %2"_s.arg(reading.people.size()).arg(again.people.size());
    for (std::size_t i = 0; i < reading.people.size(); ++i) {
        if (!again.people[i].sameValues(reading.people[i]))
            return u"the person of line %1 reads back changed"_s.arg(reading.lines[i]);
    }
    return {};
}
