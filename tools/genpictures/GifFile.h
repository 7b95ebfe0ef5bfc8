#pragma once

#include "IndexedImage.h"

#include <QString>

// Writes an indexed picture as a single-frame GIF file through giflib.
class GifFile
{
public:
    // False, with the reason in error, when the file cannot be written.
    static bool write(const QString &path, const IndexedImage &image, QString *error = nullptr);
};
