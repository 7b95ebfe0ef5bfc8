#include "PictureFile.h"

#include <QBuffer>
#include <QCache>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRgb>
#include <QThreadPool>

#include <gif_lib.h>

#include <cstring>
#include <mutex>

using namespace Qt::StringLiterals;

namespace PictureFile {

namespace {

struct Input
{
    const QByteArray *data;
    qsizetype pos = 0;
};

int readInput(GifFileType *gif, GifByteType *to, int wanted)
{
    auto *in = static_cast<Input *>(gif->UserData);
    const qsizetype n = std::min<qsizetype>(wanted, in->data->size() - in->pos);
    if (n <= 0)
        return 0;
    std::memcpy(to, in->data->constData() + in->pos, size_t(n));
    in->pos += n;
    return int(n);
}

struct Decoded
{
    QDateTime modified;
    qint64 size = 0;
    Result result;
};

// Guards the cache; decoding itself runs outside it.
std::mutex &cacheMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Decoded pictures by canonical path, weighed by their size in KiB; a card
// picture is a few MiB at most, so this keeps the last few dozen.
QCache<QString, Decoded> &cache()
{
    static QCache<QString, Decoded> pictures(64 * 1024);
    return pictures;
}

Result decode(const QString &path);

} // namespace

// The single frame of a complete GIF that fills its screen, without
// transparency, as the RGB32 image Qt's reader makes of it; null for any
// other GIF, which Qt's reader then decodes.
static QImage plainGifImage(GifFileType *gif)
{
    if (gif->ImageCount != 1)
        return {};
    const SavedImage &frame = gif->SavedImages[0];
    const GifImageDesc &desc = frame.ImageDesc;
    const ColorMapObject *map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    GraphicsControlBlock control;
    const bool transparent = DGifSavedExtensionToGCB(gif, 0, &control) == GIF_OK
        && control.TransparentColor != NO_TRANSPARENT_COLOR;
    if (!map || transparent || desc.Left != 0 || desc.Top != 0 || desc.Width != gif->SWidth
        || desc.Height != gif->SHeight || desc.Width <= 0 || desc.Height <= 0)
        return {};
    QRgb colours[256];
    for (int i = 0; i < 256; ++i) {
        const GifColorType c = i < map->ColorCount ? map->Colors[i] : GifColorType{0, 0, 0};
        colours[i] = qRgb(c.Red, c.Green, c.Blue);
    }
    QImage image(desc.Width, desc.Height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const GifByteType *bits = frame.RasterBits;
    for (int y = 0; y < desc.Height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < desc.Width; ++x) {
            const GifByteType index = *bits++;
            if (index >= map->ColorCount)
                return {}; // outside the colour map: left to Qt's reader
            line[x] = colours[index];
        }
    }
    return image;
}

// Decodes the GIF data with giflib; true when it decodes to its end, and then
// *image is the picture where plainGifImage() can make it.
static bool slurpGif(const QByteArray &data, QImage *image, QString *reason)
{
    Input in{&data};
    int code = 0;
    GifFileType *gif = DGifOpen(&in, readInput, &code);
    if (!gif) {
        *reason = QString::fromUtf8(GifErrorString(code));
        return false;
    }
    const bool ok = DGifSlurp(gif) == GIF_OK;
    if (!ok)
        *reason = QString::fromUtf8(GifErrorString(gif->Error));
    else if (image)
        *image = plainGifImage(gif);
    DGifCloseFile(gif, &code);
    return ok;
}

bool gifComplete(const QByteArray &data, QString *reason)
{
    return slurpGif(data, nullptr, reason);
}

Result read(const QString &path)
{
    const QFileInfo info(path);
    const QString key = info.canonicalFilePath();
    if (key.isEmpty())
        return decode(path);
    {
        const std::lock_guard lock(cacheMutex());
        const Decoded *known = cache().object(key);
        if (known && known->modified == info.lastModified() && known->size == info.size())
            return known->result;
    }
    Result result = decode(path);
    if (result.error.isEmpty()) {
        const qsizetype kib = std::max<qsizetype>(1, result.image.sizeInBytes() / 1024);
        const std::lock_guard lock(cacheMutex());
        cache().insert(key, new Decoded{info.lastModified(), info.size(), result}, kib);
    }
    return result;
}

// One thread that never expires: started once, woken for every picture.
static QThreadPool &readerPool()
{
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(1);
        p->setExpiryTimeout(-1);
        return p;
    }();
    return *pool;
}

std::future<Result> readInBackground(const QString &path)
{
    auto promise = std::make_shared<std::promise<Result>>();
    std::future<Result> result = promise->get_future();
    readerPool().start([promise, path] {
        try {
            promise->set_value(read(path));
        } catch (...) {
            promise->set_exception(std::current_exception());
        }
    });
    return result;
}

void startBackgroundReader()
{
    readerPool().start([] {});
}

void clearCache()
{
    const std::lock_guard lock(cacheMutex());
    cache().clear();
}

namespace {

Result decode(const QString &path)
{
    Result result;
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    const QByteArray data = file.readAll();
    const bool isGif = data.startsWith("GIF87a") || data.startsWith("GIF89a");
    QString reason;
    // A plain, complete GIF (every card picture) is decoded once, by the
    // completeness check itself.
    const bool complete = !isGif || slurpGif(data, &result.image, &reason);
    if (complete && !result.image.isNull())
        return result;
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    result.image = reader.read();
    if (!complete) {
        result.notice = u"The card picture %1 is damaged and is shown only in part (%2). "
                        u"The card's answers are not affected."_s
                            .arg(shown, reason);
        if (result.image.isNull()) {
            // Nothing decoded: the card opens without its picture.
            result.notice = u"The card picture %1 is damaged and cannot be shown (%2). "
                            u"The card's answers are not affected."_s
                                .arg(shown, reason);
        }
        return result;
    }
    if (result.image.isNull())
        result.error = reader.errorString();
    return result;
}

} // namespace

} // namespace PictureFile
