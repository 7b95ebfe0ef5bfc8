#pragma once

#include "TwipGeometry.h"

#include <QImage>

// What the page renderer draws besides the answers. The defaults give the
// printed page: answers only.
struct RenderOptions
{
    // The card picture, faint under the answers, for the preview. It lies
    // where the blank card lies on the sheet: from the paper's corner, at the
    // picture's width and height in twips, whatever the print settings.
    bool drawPicture = false;
    QImage picture;
    qreal pictureOpacity = 0.3;

    // The alignment page: each printed box's outline with its answer.
    bool drawOutlines = false;
};
