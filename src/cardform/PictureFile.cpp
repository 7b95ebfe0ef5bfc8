#include "PictureFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
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

} // namespace PictureFile
