#include "GifFile.h"

#include <QFile>

#include <gif_lib.h>

#include <fcntl.h>
#include <unistd.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

QString reason(int code)
{
    const char *text = GifErrorString(code);
    return text ? QString::fromLatin1(text) : u"giflib error %1"_s.arg(code);
}

} // namespace

IndexedImage GifFile::quantize(const QImage &image)
{
    IndexedImage out;
    if (image.isNull())
        return out;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const std::size_t count = std::size_t(rgb.width()) * std::size_t(rgb.height());
    std::vector<GifByteType> red(count), green(count), blue(count);
    std::size_t i = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x, ++i) {
            red[i] = GifByteType(qRed(line[x]));
            green[i] = GifByteType(qGreen(line[x]));
            blue[i] = GifByteType(qBlue(line[x]));
        }
    }
    int size = 256;
    std::vector<GifColorType> map(256, GifColorType{0, 0, 0});
    out.pixels.resize(count);
    if (GifQuantizeBuffer(unsigned(rgb.width()), unsigned(rgb.height()), &size, red.data(), green.data(),
                          blue.data(), out.pixels.data(), map.data())
        != GIF_OK) {
        return {};
    }
    out.width = rgb.width();
    out.height = rgb.height();
    // Entries past the colours the picture needs stay black.
    for (const GifColorType &c : map)
        out.palette.push_back(qRgb(c.Red, c.Green, c.Blue));
    return out;
}

bool GifFile::write(const QString &path, const IndexedImage &image, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (image.palette.size() != 256
        || image.pixels.size() != std::size_t(image.width) * std::size_t(image.height)) {
        return fail(u"the picture needs 256 palette entries and one index per pixel"_s);
    }

    // Opened here rather than by giflib, which would make the file private to
    // its owner; the umask decides as for any other file.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0)
        return fail(u"cannot create %1"_s.arg(path));
    int code = 0;
    GifFileType *gif = EGifOpenFileHandle(fd, &code);
    if (!gif) {
        ::close(fd);
        return fail(u"cannot create %1: %2"_s.arg(path, reason(code)));
    }

    ColorMapObject *map = GifMakeMapObject(256, nullptr);
    for (int i = 0; i < 256; ++i) {
        map->Colors[i].Red = GifByteType(qRed(image.palette[i]));
        map->Colors[i].Green = GifByteType(qGreen(image.palette[i]));
        map->Colors[i].Blue = GifByteType(qBlue(image.palette[i]));
    }
    // giflib keeps its own copy of the screen's colour map.
    bool ok = EGifPutScreenDesc(gif, image.width, image.height, 8, 0, map) == GIF_OK
              && EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
    GifFreeMapObject(map);

    std::vector<GifPixelType> line(std::size_t(image.width));
    for (int y = 0; ok && y < image.height; ++y) {
        const auto *row = image.pixels.data() + std::size_t(y) * std::size_t(image.width);
        line.assign(row, row + image.width);
        ok = EGifPutLine(gif, line.data(), image.width) == GIF_OK;
    }
    const int writeError = gif->Error;
    if (EGifCloseFile(gif, &code) != GIF_OK && ok) {
        ok = false;
    } else if (!ok) {
        code = writeError;
    }
    if (!ok) {
        QFile::remove(path);
        return fail(u"cannot write %1: %2"_s.arg(path, reason(code)));
    }
    return true;
}
