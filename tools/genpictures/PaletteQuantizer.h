#pragma once

#include "IndexedImage.h"

#include <QImage>

#include <map>
#include <vector>

// Reduces a drawn picture to 256 colours without dithering. The palette holds
// the key colours the picture was painted with, then the blends between pairs
// of them that antialiased edges use most, then the commonest leftover
// colours; each pixel takes its nearest palette entry. The result depends on
// the pixels alone, so equal pictures give equal files.
class PaletteQuantizer
{
public:
    static constexpr int PaletteSize = 256;
    // Blends between two key colours are taken in steps of 1/RampSteps.
    static constexpr int RampSteps = 16;

    static IndexedImage quantize(const QImage &image, const std::vector<QRgb> &keyColours);

    // How often each colour occurs, alpha ignored.
    static std::map<QRgb, long long> histogram(const QImage &image);
    static std::vector<QRgb> buildPalette(const std::map<QRgb, long long> &histogram,
                                          const std::vector<QRgb> &keyColours);
    // The index of the palette entry nearest a colour; the lowest index wins a tie.
    static int nearest(const std::vector<QRgb> &palette, QRgb colour);
};
