#pragma once

#include "TwipGeometry.h"

#include <QImage>

// What the page renderer draws besides the answers. The defaults give the
// printed page: answers only.
struct RenderOptions
{
    // The card picture, faint under the answers, for the preview. Its
    // rectangle is in the card window's twips and goes through the same
    // print transform as the boxes.
    bool drawPicture = false;
    QImage picture;
    TwipRect pictureRect;
    qreal pictureOpacity = 0.3;

    // The alignment page: each printed box's outline with its answer.
    bool drawOutlines = false;
};
