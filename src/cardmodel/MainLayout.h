#pragma once

#include <cstdint>

// The main window's size in twips, for its welcome state and for an open
// card. Sums are taken in 32-bit integers, so a tall card cannot overflow.
namespace MainLayout {

constexpr int WelcomeHeight = 3324;
constexpr int WelcomeWidth = 3744;
constexpr int PanelGap = 300;     // picture to control panel
constexpr int BottomMargin = 1000;
constexpr int RightMargin = 600;

struct CardWindowLayout
{
    std::int32_t panelLeft = 0;  // left of both panel frames
    std::int32_t height = 0;     // main window height
    std::int32_t width = 0;      // main window width
};

// pictureLeft etc. in twips; panelTop/panelHeight is the printing frame, the
// lower of the panel's frames; panelWidth the question frame's width.
CardWindowLayout forCard(float pictureLeft, float pictureTop, float pictureWidth,
                         float pictureHeight, float panelTop, float panelHeight, float panelWidth);

} // namespace MainLayout
