#include "PictureFile.h"

#include <QBuffer>
#include <QCache>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <gif_lib.h>

#include <cstring>

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

// Decoded pictures by canonical path, weighed by their size in KiB; a card
// picture is a few MiB at most, so this keeps the last few dozen.
QCache<QString, Decoded> &cache()
{
    static QCache<QString, Decoded> pictures(64 * 1024);
    return pictures;
}

Result decode(const QString &path);

} // namespace

bool gifComplete(const QByteArray &data, QString *reason)
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
    DGifCloseFile(gif, &code);
    return ok;
}

Result read(const QString &path)
{
    const QFileInfo info(path);
    const QString key = info.canonicalFilePath();
    if (key.isEmpty())
        return decode(path);
    const Decoded *known = cache().object(key);
    if (known && known->modified == info.lastModified() && known->size == info.size())
        return known->result;
    Result result = decode(path);
    if (result.error.isEmpty()) {
        const qsizetype kib = std::max<qsizetype>(1, result.image.sizeInBytes() / 1024);
        cache().insert(key, new Decoded{info.lastModified(), info.size(), result}, kib);
    }
    return result;
}

void clearCache()
{
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
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    result.image = reader.read();
    const bool isGif = data.startsWith("GIF87a") || data.startsWith("GIF89a");
    QString reason;
    if (isGif && !gifComplete(data, &reason)) {
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
