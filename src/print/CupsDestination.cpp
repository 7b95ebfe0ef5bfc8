#include "CupsDestination.h"

#include <cups/cups.h>

#include <cmath>
#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

namespace CupsDestination {

namespace {

constexpr double TwipsPerHundredthMm = 1440.0 / 2540.0;

struct DestDeleter
{
    void operator()(cups_dest_t *dest) const { cupsFreeDests(1, dest); }
};
using Dest = std::unique_ptr<cups_dest_t, DestDeleter>;

struct InfoDeleter
{
    void operator()(cups_dinfo_t *info) const { cupsFreeDestInfo(info); }
};
using Info = std::unique_ptr<cups_dinfo_t, InfoDeleter>;

Dest named(const QString &printer)
{
    return Dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(), nullptr));
}

QString option(const cups_dest_t *dest, const char *name)
{
    return QString::fromUtf8(cupsGetOption(name, dest->num_options, dest->options));
}

// The message the queue was stopped with (cupsdisable -r) or the printer
// gave; the list of destinations leaves it out, so the queue is asked.
QString stateMessage(const cups_dest_t *dest)
{
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    char uri[1024];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s",
                     dest->name);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-state-message");
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    ipp_attribute_t *attr = response ? ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT) : nullptr;
    const QString text = attr ? QString::fromUtf8(ippGetString(attr, 0, nullptr)).trimmed() : QString();
    ippDelete(response);
    return text;
}

// The printer's own message, else its state reasons, for the user.
QString reason(const cups_dest_t *dest)
{
    QString text = stateMessage(dest);
    if (text.isEmpty()) {
        QStringList reasons = option(dest, "printer-state-reasons").split(u',', Qt::SkipEmptyParts);
        reasons.removeAll(u"none"_s);
        reasons.removeAll(u"paused"_s);
        text = reasons.join(u", "_s);
    }
    return text.isEmpty() ? QString() : u" (%1)"_s.arg(text);
}

// The queue's smallest margins over its named sizes, in hundredths of a mm:
// what a custom size of that printer leaves unprinted.
QMarginsF smallestMargins(cups_dest_t *dest, cups_dinfo_t *info)
{
    const int count = cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_FLAGS_DEFAULT);
    QMarginsF least;
    for (int i = 0; i < count; ++i) {
        cups_size_t size{};
        if (!cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, dest, info, i, CUPS_MEDIA_FLAGS_DEFAULT, &size))
            continue;
        const QMarginsF m(size.left, size.top, size.right, size.bottom);
        least = i == 0 ? m
                       : QMarginsF(std::min(least.left(), m.left()), std::min(least.top(), m.top()),
                                   std::min(least.right(), m.right()), std::min(least.bottom(), m.bottom()));
    }
    return least;
}

// A custom size of the card's paper, where the queue's custom range holds it.
// libcups only finds the queue's named sizes, so the range is read from the
// custom_min_ and custom_max_ sizes the queue lists among its media.
std::optional<Media> customMedia(cups_dest_t *dest, cups_dinfo_t *info, int width, int length)
{
    ipp_attribute_t *supported = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA);
    // pwgMediaForPWG answers in one buffer of its own: each size is copied.
    std::optional<pwg_media_t> least;
    std::optional<pwg_media_t> most;
    for (int i = 0; supported && i < ippGetCount(supported); ++i) {
        const char *name = ippGetString(supported, i, nullptr);
        const pwg_media_t *size = name ? pwgMediaForPWG(name) : nullptr;
        if (!size)
            continue;
        if (!strncmp(name, "custom_min_", 11))
            least = *size;
        else if (!strncmp(name, "custom_max_", 11))
            most = *size;
    }
    if (!least || !most || width < least->width || width > most->width || length < least->length
        || length > most->length)
        return std::nullopt;
    char name[128];
    if (!pwgFormatSizeName(name, sizeof name, "custom", nullptr, width, length, nullptr))
        return std::nullopt;
    return Media{QByteArray(name), smallestMargins(dest, info) * TwipsPerHundredthMm};
}

} // namespace

QStringList printers(QString *defaultPrinter)
{
    cups_dest_t *dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    QStringList names;
    if (defaultPrinter)
        defaultPrinter->clear();
    for (int i = 0; i < count; ++i) {
        if (dests[i].instance)
            continue; // a user's set of options for a queue, not a queue
        const QString name = QString::fromUtf8(dests[i].name);
        names << name;
        if (dests[i].is_default && defaultPrinter)
            *defaultPrinter = name;
    }
    cupsFreeDests(count, dests);
    names.sort(Qt::CaseInsensitive);
    return names;
}

QString unavailable(const QString &printer)
{
    const Dest dest = named(printer);
    if (!dest)
        return u"The printer \"%1\" is not installed."_s.arg(printer);
    if (option(dest.get(), "printer-state") == u"5")
        return u"The printer \"%1\" is paused or disabled%2; nothing was sent to it. Resume the printer, "
               "then print again."_s.arg(printer, reason(dest.get()));
    if (option(dest.get(), "printer-is-accepting-jobs") == u"false")
        return u"The printer \"%1\" is not accepting jobs%2; nothing was sent to it."_s.arg(printer,
                                                                                              reason(dest.get()));
    return {};
}

std::optional<Media> media(const QString &printer, const QSizeF &portraitTwips)
{
    const Dest dest = named(printer);
    if (!dest)
        return std::nullopt;
    const Info info(cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get()));
    if (!info)
        return std::nullopt;
    // A queue without a driver lists no paper and hands the PDF to the
    // printer as it is, on the paper the document itself gives.
    ipp_attribute_t *listed = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest.get(), info.get(), CUPS_MEDIA);
    if (!listed || ippGetCount(listed) == 0)
        return Media{};
    // Rounded up: a description-based queue cuts a custom size down to whole
    // points, and a size that lies on a whole point must not lose one.
    const int width = int(std::ceil(portraitTwips.width() / TwipsPerHundredthMm - 0.001));
    const int length = int(std::ceil(portraitTwips.height() / TwipsPerHundredthMm - 0.001));
    cups_size_t size{};
    // The queue's own size where it is the card's within half a point either
    // way (a description's A6 is 297 by 420 points), else a custom size:
    // never a neighbouring size.
    constexpr int Tolerance = 17; // hundredths of a millimetre
    if (!cupsGetDestMediaBySize(CUPS_HTTP_DEFAULT, dest.get(), info.get(), width, length,
                                CUPS_MEDIA_FLAGS_DEFAULT, &size)
        || std::abs(size.width - width) > Tolerance || std::abs(size.length - length) > Tolerance)
        return customMedia(dest.get(), info.get(), width, length);
    return Media{QByteArray(size.media),
                 QMarginsF(size.left, size.top, size.right, size.bottom) * TwipsPerHundredthMm};
}

QStringList trays(const QString &printer)
{
    const Dest dest = named(printer);
    if (!dest)
        return {};
    const Info info(cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get()));
    ipp_attribute_t *sources = info ? cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest.get(), info.get(),
                                                            CUPS_MEDIA_SOURCE)
                                    : nullptr;
    QStringList names;
    for (int i = 0; sources && i < ippGetCount(sources); ++i)
        names << QString::fromUtf8(ippGetString(sources, i, nullptr));
    return names.size() > 1 ? names : QStringList();
}

int submit(const Job &job, QString *error)
{
    int count = 0;
    cups_option_t *options = nullptr;
    if (!job.media.name.isEmpty())
        count = cupsAddOption(CUPS_MEDIA, job.media.name.constData(), count, &options);
    // The page is the card's paper already: CUPS must neither scale it nor
    // fit it to the printable area.
    count = cupsAddOption("print-scaling", "none", count, &options);
    count = cupsAddOption("fit-to-page", "false", count, &options);
    // The tray goes as the media collection's source: a queue with a printer
    // description maps that, not a bare media-source, to its input slot.
    const QByteArray tray = "{media-source=" + job.tray.toUtf8() + "}";
    if (!job.tray.isEmpty())
        count = cupsAddOption("media-col", tray.constData(), count, &options);
    const int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, job.printer.toUtf8().constData(),
                                  job.file.toLocal8Bit().constData(), job.title.toUtf8().constData(), count,
                                  options);
    cupsFreeOptions(count, options);
    if (id <= 0 && error)
        *error = u"The printer \"%1\" refused the job: %2."_s.arg(job.printer,
                                                                  QString::fromUtf8(cupsLastErrorString()));
    return id;
}

} // namespace CupsDestination
