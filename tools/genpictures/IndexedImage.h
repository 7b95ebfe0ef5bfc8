#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// A picture of palette indices, one byte per pixel, row after row.
struct IndexedImage
{
    int width = 0;
    int height = 0;
    std::vector<QRgb> palette;
    std::vector<std::uint8_t> pixels;

    // The picture in full colour again.
    QImage toImage() const;
};
