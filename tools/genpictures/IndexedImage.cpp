#include "IndexedImage.h"

QImage IndexedImage::toImage() const
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = palette[pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]];
    }
    return image;
}
