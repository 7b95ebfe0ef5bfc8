#pragma once

#include "IndexedImage.h"

#include <QString>

// Reduces a picture to 256 colours and writes it as a single-frame GIF file,
// both through giflib.
class GifFile
{
public:
    // giflib's median cut on 5 bits per channel, without dithering. The result
    // depends on the pixels alone, so equal pictures give equal files. A null
    // image gives an empty IndexedImage.
    static IndexedImage quantize(const QImage &image);

    // False, with the reason in error, when the file cannot be written.
    static bool write(const QString &path, const IndexedImage &image, QString *error = nullptr);
};
